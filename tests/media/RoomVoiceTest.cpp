// The room's voice over a fake engine: device choice, init failures, talk and its grants,
// voice out, received voice and its checks, levels with the automatic microphone level, and
// the remote audio settings with the control-right check.
#include <gtest/gtest.h>

#include "confclient/media/VoiceChannels.h"
#include "confclient/network/QNPayloads.h"
#include "tests/media/RoomVoiceRig.h"
#include "core/ByteWriter.h"

namespace
{
std::vector<uint8_t> VoiceFrom(uint16_t wSender)
{
    std::vector<uint8_t> b;
    ByteWriter(b).U8(1).U8(1).U16(wSender).U16(0).U32(0).U8(0).U8(0).U8(0xFC);
    return b;
}

bool Has(const std::vector<std::string>& v, const std::string& s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}
} // namespace

TEST(RoomVoice, DevicesAreChosenByTheirRememberedNames)
{
    struct
    {
        const char* what;
        std::u16string szMic, szSpeaker;
        std::vector<std::u16string> mics;
        int nGrade;
        int nMicDevice;
        std::string szSpeakerId;
        int nSpeakerIndex;
        std::u16string szMicWritten, szSpeakerWritten; // empty: nothing written
    } cases[] = {
        {"both found",
         u"Mic B",
         u"Speakers 2",
         {u"Mic A", u"Mic B"},
         1,
         1,
         "guid-2",
         1,
         u"Mic B",
         u"Speakers 2"},
        {"names with blanks",
         u" Mic B ",
         u"Speakers 1",
         {u"Mic A", u"Mic B  "},
         1,
         1,
         "guid-1",
         0,
         u" Mic B ",
         u"Speakers 1"},
        {"both gone: defaults, the first names remembered",
         u"Old mic",
         u"Old speakers",
         {u"Mic A", u"Mic B"},
         1,
         -1,
         "",
         0,
         u"Mic A",
         u"Speakers 1"},
        {"a name listed twice keeps its device index",
         u"Mic B",
         u"Speakers 1",
         {u"Mic A", u"Mic A", u"Mic B"},
         1,
         2,
         "guid-1",
         0,
         u"Mic B",
         u"Speakers 1"},
        {"a listener has no microphone",
         u"Old mic",
         u"Speakers 1",
         {u"Mic A"},
         4,
         -2,
         "guid-1",
         0,
         u"Old mic",
         u"Speakers 1"},
        {"no microphones at all", u"", u"Speakers 1", {}, 1, -1, "guid-1", 0, u"", u"Speakers 1"},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        rig.settings.WriteString(SettingsKey::Common, u"DeviceMicName", c.szMic);
        rig.settings.WriteString(SettingsKey::Common, u"DeviceSpkName", c.szSpeaker);
        rig.devices.mics = c.mics;
        CRoomVoice& voice = rig.Start(c.nGrade);
        EXPECT_EQ(voice.MicDevice(), c.nMicDevice) << c.what;
        EXPECT_EQ(voice.SpeakerId(), c.szSpeakerId) << c.what;
        EXPECT_EQ(voice.SpeakerIndex(), c.nSpeakerIndex) << c.what;
        EXPECT_EQ(rig.settings.ReadString(SettingsKey::Common, u"DeviceMicName", u""), c.szMicWritten)
            << c.what;
        EXPECT_EQ(rig.settings.ReadString(SettingsKey::Common, u"DeviceSpkName", u""), c.szSpeakerWritten)
            << c.what;
        EXPECT_TRUE(Has(rig.calls.log, "init 10 mic " + std::to_string(c.nMicDevice) + " spk '" +
                                           c.szSpeakerId + "' 100 30"))
            << c.what;
        EXPECT_TRUE(Has(rig.calls.log, "mixer open " + std::to_string(c.nSpeakerIndex) + " " +
                                           std::to_string(c.nMicDevice == -1 ? 0 : c.nMicDevice)))
            << c.what;
    }
}

// The program's own key, where the option lives, is known only after the voice was made.
TEST(RoomVoice, TheMicrophoneLineOptionIsReadWhenTheDevicesOpen)
{
    for (uint32_t dwOption : {0u, 1u})
    {
        RoomVoiceRig rig;
        CRoomVoice voice(rig.room, rig.notices,
                         RoomVoicePorts{rig.devices, rig.mixer, rig.network, rig.settings, rig.view},
                         &rig.log);
        rig.settings.WriteDword(SettingsKey::Program, u"Auto_SelectMic", dwOption);
        voice.SetMyUser(RoomVoiceRig::kMe, 1);
        voice.InitVoiceEngine();
        EXPECT_EQ(Has(rig.calls.Take(), "mixer mute " + std::to_string(MIXER_MICROPHONE) + " 0"),
                  dwOption == 1)
            << dwOption;
    }
}

TEST(RoomVoice, InitFailuresAreToldAndDisableWhatDoesNotWork)
{
    struct
    {
        uint32_t dwError;
        std::vector<std::u16string> notices;
        std::string talkImages;
        bool bMicSlider, bSpeaker, bMixer;
    } cases[] = {
        {VOICE_ERROR_MIC, {u"<IDS_CANT_VOICEINIT_MIC>"}, "unavailable", false, true, true},
        {VOICE_ERROR_SPEAKER, {u"<IDS_CANT_VOICEINIT_SPEAKER>"}, "off", true, false, true},
        {VOICE_ERROR_BOTH, {u"<IDS_CANT_VOICEINIT_BOTH>"}, "unavailable", false, false, false},
        {5, {}, "off", true, true, true},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        rig.devices.bInitOk = false;
        rig.devices.dwInitError = c.dwError;
        CRoomVoice& voice = rig.Start();
        EXPECT_EQ(voice.InitResult(), 0);
        EXPECT_EQ(rig.notices.chatNotices, c.notices) << c.dwError;
        EXPECT_EQ(rig.view.talkImages, c.talkImages) << c.dwError;
        EXPECT_EQ(rig.view.bMicSliderEnabled, c.bMicSlider) << c.dwError;
        EXPECT_EQ(rig.view.bSpeakerEnabled, c.bSpeaker) << c.dwError;
        bool bMixer = std::any_of(rig.calls.log.begin(), rig.calls.log.end(),
                                  [](const std::string& s) { return s.rfind("mixer open", 0) == 0; });
        EXPECT_EQ(bMixer, c.bMixer) << c.dwError;
        std::string szText =
            c.notices.empty()
                ? ""
                : "<" +
                      std::string(c.dwError == VOICE_ERROR_MIC       ? "IDS_CANT_VOICEINIT_MIC"
                                  : c.dwError == VOICE_ERROR_SPEAKER ? "IDS_CANT_VOICEINIT_SPEAKER"
                                                                     : "IDS_CANT_VOICEINIT_BOTH") +
                      ">";
        EXPECT_EQ(rig.log.lines.back(),
                  "4 [Audio init Failed] " + szText + " (" + std::to_string(c.dwError) + ")");

        // Talk cannot be granted without a microphone.
        voice.SetTalkState(true, false, true);
        bool bMicWorks = c.dwError != VOICE_ERROR_MIC && c.dwError != VOICE_ERROR_BOTH;
        EXPECT_EQ(rig.view.bTalkEnabled, bMicWorks) << c.dwError;
        EXPECT_EQ(voice.StartStopTalk(true, false), bMicWorks) << c.dwError;
    }
}

TEST(RoomVoice, AnEngineThatCannotBeMadeIgnoresTalkUntilReinit)
{
    RoomVoiceRig rig;
    rig.devices.bCreates = false;
    CRoomVoice& voice = rig.Start();
    EXPECT_EQ(rig.view.talkImages, "off");
    voice.SetTalkState(true, false, false);
    EXPECT_TRUE(voice.StartStopTalk(true, true)) << "accepted and ignored";
    EXPECT_FALSE(voice.Talking());

    rig.devices.bCreates = true;
    voice.ReinitVoice();
    EXPECT_EQ(voice.InitResult(), 1);
    voice.SetTalkState(true, true, false);
    EXPECT_TRUE(voice.StartStopTalk(true, false));
    EXPECT_TRUE(voice.Talking());
}

TEST(RoomVoice, TalkFollowsGrantsWithTheSavedStateAndAnnouncesTheMicrophone)
{
    RoomVoiceRig rig;
    CRoomVoice& voice = rig.Start();
    rig.calls.Take();
    EXPECT_FALSE(voice.StartStopTalk(true, true)) << "not granted yet";

    // The first grant restores the saved state (not talking), which still announces it.
    voice.SetTalkState(true, false, true);
    EXPECT_TRUE(rig.view.bTalkEnabled);
    EXPECT_EQ(rig.calls.Take(), (std::vector<std::string>{"purge voice", "av state 20001", "my row"}));
    EXPECT_TRUE(voice.StartStopTalk(true, true));
    EXPECT_EQ(rig.calls.Take(), (std::vector<std::string>{"talk start", "av state 00001", "my row"}));
    EXPECT_EQ(rig.view.talkImages, "on");
    EXPECT_EQ(rig.view.tooltips[0], "IDCT_CHECK_TALKOFF");
    EXPECT_FALSE(voice.StartStopTalk(true, true)) << "already talking";

    // Withdrawn: talk stops, queued voice goes, the talking state is kept for the next grant.
    voice.SetTalkState(false, false, true);
    EXPECT_EQ(rig.calls.Take(),
              (std::vector<std::string>{"talk stop", "purge voice", "av state 20001", "my row"}));
    EXPECT_FALSE(voice.Talking());
    EXPECT_FALSE(rig.view.bTalkEnabled);
    voice.SetTalkState(true, false, true);
    EXPECT_TRUE(voice.Talking()) << "granted again: talking as before";

    // A forced withdrawal does not overwrite what was saved by an earlier one.
    voice.SetTalkState(false, false, false);
    voice.SetTalkState(false, true, false);
    voice.SetTalkState(true, true, false);
    EXPECT_TRUE(voice.Talking());

    // Reinit closes the engine and restores talking on the new one.
    rig.calls.Take();
    voice.ReinitVoice();
    std::vector<std::string> calls = rig.calls.Take();
    EXPECT_EQ(calls.front(), "talk stop");
    EXPECT_TRUE(Has(calls, "user out 10"));
    EXPECT_EQ(calls.back(), "my row");
    EXPECT_TRUE(Has(calls, "talk start"));
    EXPECT_TRUE(voice.Talking());
}

TEST(RoomVoice, AListenerNeverTalks)
{
    RoomVoiceRig rig;
    CRoomVoice& voice = rig.Start(4);
    voice.SetTalkState(true, true, true);
    EXPECT_FALSE(rig.view.bTalkEnabled);
    EXPECT_FALSE(voice.StartStopTalk(true, true));
    EXPECT_FALSE(Has(rig.calls.log, "talk start"));
}

TEST(RoomVoice, CapturedVoiceGoesLiveOrToTheRecordingOnly)
{
    struct
    {
        bool bSend, bRecording;
        std::vector<std::string> calls;
    } cases[] = {
        {true, false, {"send voice 20 flag 1"}},
        {true, true, {"send voice 20 flag 1"}},
        {false, true, {"send voice 20 flag 2"}},
        {false, false, {}},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        CRoomVoice& voice = rig.Start();
        rig.calls.Take();
        voice.SetVoiceSendFlag(c.bSend);
        rig.network.bRecording = c.bRecording;
        uint8_t packet[20] = {};
        voice.SendCapturedVoice(packet, sizeof packet);
        EXPECT_EQ(rig.calls.Take(), c.calls);
    }
}

TEST(RoomVoice, ReceivedVoiceReachesTheEngineOnlyFromItsChannelsOwnUser)
{
    struct
    {
        const char* what;
        uint32_t dwInitError; // 0: init works
        bool bMuted;
        uint16_t wSub, wSender;
        int nReceived;
    } cases[] = {
        {"the channel's own user", 0, false, RoomVoiceRig::kOtherChannel, RoomVoiceRig::kOther, 1},
        {"one user speaking as another", 0, false, RoomVoiceRig::kOtherChannel, RoomVoiceRig::kChief, 0},
        {"a channel nobody holds", 0, false, 9, RoomVoiceRig::kOther, 0},
        {"muted", 0, true, RoomVoiceRig::kOtherChannel, RoomVoiceRig::kOther, 0},
        {"no speaker", VOICE_ERROR_SPEAKER, false, RoomVoiceRig::kOtherChannel, RoomVoiceRig::kOther, 0},
        {"no microphone still hears", VOICE_ERROR_MIC, false, RoomVoiceRig::kOtherChannel,
         RoomVoiceRig::kOther, 1},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        rig.devices.bInitOk = c.dwInitError == 0;
        rig.devices.dwInitError = c.dwInitError;
        CRoomVoice& voice = rig.Start();
        voice.SetMute(c.bMuted);
        std::vector<uint8_t> packet = VoiceFrom(c.wSender);
        voice.PlayReceivedVoice(c.wSub, packet.data(), packet.size());
        EXPECT_EQ(rig.devices.pLast->nReceived, c.nReceived) << c.what;
    }
    RoomVoiceRig rig;
    CRoomVoice& voice = rig.Start();
    voice.CloseVoice();
    std::vector<uint8_t> packet = VoiceFrom(RoomVoiceRig::kOther);
    voice.PlayReceivedVoice(RoomVoiceRig::kOtherChannel, packet.data(), packet.size()); // no engine: dropped
}

TEST(RoomVoice, LevelsShowInTheListAndTheVideoViewUnlessMuted)
{
    struct
    {
        const char* what;
        bool bMuted;
        uint16_t wUser;
        int nLevel;
        std::vector<std::string> calls;
    } cases[] = {
        {"another member speaking", false, RoomVoiceRig::kOther, 35, {"icon 3 speaking 35", "peak 3 35"}},
        {"another member quiet", false, RoomVoiceRig::kOther, 19, {"icon 3 quiet 19", "peak 3 19"}},
        {"muted: others are not shown", true, RoomVoiceRig::kOther, 35, {}},
        {"muted: the own level still is", true, RoomVoiceRig::kMe, 35, {"icon 1 speaking 35", "peak 1 35"}},
        {"an unknown user", false, 77, 35, {}},
        {"everyone", false, 0xFFFE, 35, {}},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        CRoomVoice& voice = rig.Start();
        voice.SetMute(c.bMuted);
        rig.calls.Take();
        voice.OnVoiceEvent(c.wUser, c.nLevel);
        EXPECT_EQ(rig.calls.Take(), c.calls) << c.what;
    }
    RoomVoiceRig rig;
    CRoomVoice& voice = rig.Start();
    // Levels the engine posted arrive as the latest of each user.
    rig.devices.pLast->levels = {{RoomVoiceRig::kChief, 0}, {RoomVoiceRig::kOther, 25}};
    rig.calls.Take();
    voice.OnVoiceLevelsPosted();
    EXPECT_EQ(rig.calls.Take(),
              (std::vector<std::string>{"icon 2 quiet 0", "peak 2 0", "icon 3 speaking 25", "peak 3 25"}));
    rig.room.info.wRoomType = 8;
    rig.calls.Take();
    voice.OnVoiceEvent(RoomVoiceRig::kOther, 50);
    EXPECT_TRUE(rig.calls.log.empty()) << "a document room shows no levels";
}

TEST(RoomVoice, AutomaticMicrophoneLevel)
{
    struct
    {
        const char* what;
        std::vector<std::pair<uint32_t, int>> reports; // ms after the first, level
        int nMicVolume;                                // before
        int nAfter;
    } cases[] = {
        {"ten quiet reports within 3 s raise by 2",
         {{0, 10},
          {100, 10},
          {200, 10},
          {300, 10},
          {400, 10},
          {500, 10},
          {600, 10},
          {700, 10},
          {800, 10},
          {900, 10}},
         45,
         47},
        {"a loud report restarts the count",
         {{0, 10},
          {100, 10},
          {200, 10},
          {300, 10},
          {400, 10},
          {500, 50},
          {600, 10},
          {700, 10},
          {800, 10},
          {900, 10}},
         45,
         45},
        {"quiet reports spread over more than 3 s",
         {{0, 10},
          {400, 10},
          {800, 10},
          {1200, 10},
          {1600, 10},
          {2000, 10},
          {2400, 10},
          {2800, 10},
          {3200, 10},
          {3600, 10}},
         45,
         45},
        {"levels under 5 do not count",
         {{0, 4}, {100, 4}, {200, 4}, {300, 4}, {400, 4}, {500, 4}, {600, 4}, {700, 4}, {800, 4}, {900, 4}},
         45,
         45},
        {"a clipping report lowers above 50", {{0, 95}}, 60, 58},
        {"but not at 50", {{0, 95}}, 50, 50},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        rig.settings.WriteDword(SettingsKey::Program, u"bUseAutoMicLevelControl", 1);
        rig.mixer.volumes[MIXER_MICROPHONE] = c.nMicVolume;
        CRoomVoice& voice = rig.Start();
        uint32_t dwStart = rig.devices.dwTick;
        for (auto [dt, nLevel] : c.reports)
        {
            rig.devices.dwTick = dwStart + dt;
            voice.OnVoiceEvent(RoomVoiceRig::kMe, nLevel);
        }
        EXPECT_EQ(rig.mixer.volumes[MIXER_MICROPHONE], c.nAfter) << c.what;
        EXPECT_EQ(rig.view.nMic, c.nAfter) << c.what;
    }
}

// The bar's volume sliders set the speaker's line, or the recording line that is not muted.
TEST(RoomVoice, VolumeSlidersSetTheirMixerLines)
{
    struct
    {
        const char* what;
        bool bSpeaker;
        bool bMicMuted, bAltMuted;
        int nPos;
        int nLine, nVolume;
    } cases[] = {
        {"speaker", true, false, false, 70, MIXER_SPEAKER, 70},
        {"microphone", false, false, false, 20, MIXER_MICROPHONE, 20},
        {"the microphone muted, the other recording line on", false, true, false, 35, MIXER_ALT_RECORDING,
         35},
        {"both muted: the microphone", false, true, true, 35, MIXER_MICROPHONE, 35},
        {"beyond the range", true, false, false, 140, MIXER_SPEAKER, 100},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        CRoomVoice& voice = rig.Start();
        rig.mixer.mutes[MIXER_MICROPHONE] = c.bMicMuted;
        rig.mixer.mutes[MIXER_ALT_RECORDING] = c.bAltMuted;
        std::map<int, int> before = rig.mixer.volumes;
        voice.OnVolumeSlider(c.bSpeaker, c.nPos);
        before[c.nLine] = c.nVolume;
        EXPECT_EQ(rig.mixer.volumes, before) << c.what;
    }
}

TEST(RoomVoice, AnswersARequestWithItsSettingsPerInitResult)
{
    struct
    {
        const char* what;
        bool bInitOk;
        uint32_t dwError;
        bool bTalking;
        uint8_t bMicVolume, bSpeakerVolume, bMicBoost, bMic, bMute;
        bool bGranted = true;
    } cases[] = {
        {"working", true, 0, true, 45, 60, 2, 2, 3},
        {"working, not talking", true, 0, false, 45, 60, 2, 3, 3},
        {"working, talk not granted", true, 0, false, 45, 60, 2, 1, 3, false},
        {"no microphone: the speaker's half", false, VOICE_ERROR_MIC, false, 0, 60, 0, 0, 3},
        {"no speaker: the microphone's half", false, VOICE_ERROR_SPEAKER, false, 45, 0, 0, 3, 0},
        {"neither", false, VOICE_ERROR_BOTH, false, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        rig.devices.bInitOk = c.bInitOk;
        rig.devices.dwInitError = c.dwError;
        rig.settings.WriteDword(SettingsKey::Program, u"MicBoost", 1);
        rig.room.dwFrameRate = 15;
        CRoomVoice& voice = rig.Start();
        voice.SetTalkState(c.bGranted, false, false);
        if (c.bTalking) voice.StartStopTalk(true, false);
        voice.OnAudioSettings(
            {AUDIOSETTINGS_REQUEST, RoomVoiceRig::kChief, RoomVoiceRig::kMe, 9, 9, 9, 9, 9, 9, 9});
        ASSERT_EQ(rig.network.answers.size(), 1u) << c.what;
        const QNAudioSettings& a = rig.network.answers[0];
        EXPECT_EQ(a.wKind, AUDIOSETTINGS_ANSWER);
        EXPECT_EQ(a.wRequester, RoomVoiceRig::kChief);
        EXPECT_EQ(a.wTarget, RoomVoiceRig::kMe);
        EXPECT_EQ(a.bMicVolume, c.bMicVolume) << c.what;
        EXPECT_EQ(a.bSpeakerVolume, c.bSpeakerVolume) << c.what;
        EXPECT_EQ(a.bMicBoost, c.bMicBoost) << c.what;
        EXPECT_EQ(a.bMic, c.bMic) << c.what;
        EXPECT_EQ(a.bMute, c.bMute) << c.what;
        EXPECT_EQ(a.bVideo, 2) << c.what;
        EXPECT_EQ(a.bFrameRate, 15) << c.what;
    }
    RoomVoiceRig rig;
    CRoomVoice& voice = rig.Start();
    voice.OnAudioSettings({AUDIOSETTINGS_REQUEST, RoomVoiceRig::kChief, RoomVoiceRig::kOther});
    EXPECT_TRUE(rig.network.answers.empty()) << "a request for someone else";
    voice.OnAudioSettings(
        {AUDIOSETTINGS_ANSWER, RoomVoiceRig::kMe, RoomVoiceRig::kOther, 1, 2, 3, 2, 3, 2, 10});
    ASSERT_EQ(rig.view.shown.size(), 1u);
    EXPECT_EQ(rig.view.shown[0].bSpeakerVolume, 2);
}

TEST(RoomVoice, OnlyTheChiefAppliesSettings)
{
    QNAudioSettings order{
        AUDIOSETTINGS_APPLY, RoomVoiceRig::kChief, RoomVoiceRig::kMe, 70, 255, 2, 2, 2, 3, 10};
    struct
    {
        const char* what;
        uint16_t wRequester;
        bool bApplied;
    } cases[] = {
        {"the owner", RoomVoiceRig::kChief, true},
        {"the presider", RoomVoiceRig::kOther, true},
        {"another member", 77, false},
    };
    for (const auto& c : cases)
    {
        RoomVoiceRig rig;
        rig.room.wPresiderChannel = RoomVoiceRig::kOtherChannel;
        rig.room.dwFrameRate = 15;
        rig.room.dwVideoStop = 1;
        CRoomVoice& voice = rig.Start();
        voice.SetTalkState(true, false, false);
        rig.calls.Take();
        rig.log.lines.clear();
        QNAudioSettings r = order;
        r.wRequester = c.wRequester;
        voice.OnAudioSettings(r);
        if (!c.bApplied)
        {
            EXPECT_TRUE(rig.calls.log.empty()) << c.what;
            EXPECT_FALSE(voice.Talking()) << c.what;
            EXPECT_EQ(rig.room.dwFrameRate, 15u) << c.what;
            continue;
        }
        EXPECT_EQ(rig.view.nSpeaker, 100) << "255 clamped to the slider's range";
        EXPECT_EQ(rig.mixer.volumes[MIXER_SPEAKER], 100);
        EXPECT_EQ(rig.mixer.volumes[MIXER_MICROPHONE], 70);
        EXPECT_TRUE(voice.Talking()) << c.what;
        EXPECT_TRUE(voice.Muted()) << c.what;
        EXPECT_TRUE(rig.view.bMuteChecked);
        EXPECT_EQ(rig.view.speakerImages, "on");
        EXPECT_EQ(rig.settings.ReadDword(SettingsKey::Program, u"MicBoost", 0), 1u);
        EXPECT_EQ(rig.room.dwVideoStop, 0u) << "video byte 3: stopped";
        EXPECT_EQ(rig.room.dwFrameRate, 10u);
        EXPECT_EQ(rig.log.lines, (std::vector<std::string>{
                                     "2 [INFO_CONF_REMOTESETTING] Speaker VolumeOld:60, New:100",
                                     "2 [INFO_CONF_REMOTESETTING] Mic Volume Old:45, New:70",
                                     "2 [INFO_CONF_REMOTESETTING] Mic On/Off Old:0, New:1",
                                     "2 [INFO_CONF_REMOTESETTING] Mic Boost 1",
                                     "2 [INFO_CONF_REMOTESETTING] Mute On/Off Old:0, New:1",
                                     "2 [INFO_CONF_REMOTESETTING] VideoStop old:1, new:0",
                                     "2 [INFO_CONF_REMOTESETTING] SendFrame old:15, new:10",
                                 }))
            << c.what;
        EXPECT_TRUE(Has(rig.calls.log, "reset peaks"));

        // The same settings again change nothing, log only the boost, and still set the mixer.
        rig.log.lines.clear();
        rig.calls.Take();
        voice.OnAudioSettings(r);
        EXPECT_EQ(rig.log.lines, (std::vector<std::string>{"2 [INFO_CONF_REMOTESETTING] Mic Boost 1"}));
        EXPECT_TRUE(Has(rig.calls.log, "mixer volume 2 100"));
    }
}

TEST(VoiceChannelTable, OnlyTheChannelsOwnUserMaySpeakOnIt)
{
    CVoiceChannelTable table;
    table.Publish({{3, 17}, {4, 18}});
    std::vector<uint8_t> bytes = VoiceFrom(17);
    EXPECT_TRUE(table.SenderMatches(3, bytes.data(), bytes.size()));
    EXPECT_FALSE(table.SenderMatches(4, bytes.data(), bytes.size()))
        << "user 17 speaking as channel 4's user";
    EXPECT_FALSE(table.SenderMatches(5, bytes.data(), bytes.size())) << "a channel nobody holds";
    EXPECT_FALSE(table.SenderMatches(3, bytes.data(), 3)) << "too short to name a sender";
    table.Publish({});
    EXPECT_FALSE(table.SenderMatches(3, bytes.data(), bytes.size())) << "the user left";
}
