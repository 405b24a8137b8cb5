// The room's voice over recording fakes: an engine, devices, a mixer, the network and the bar,
// each keeping what it was asked, in one call log where order matters.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "confclient/media/RoomVoice.h"
#include "confclient/network/registry/Settings.h"
#include "tests/session/RecordedNotices.h"

struct VoiceCalls
{
    std::vector<std::string> log;
    void Add(const std::string& s) { log.push_back(s); }
    // The calls since the last Take.
    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }
};

struct FakeVoiceEngine : IRoomVoiceEngine
{
    FakeVoiceEngine(VoiceCalls& calls, bool bOk, uint32_t dwError) : calls(calls), bOk(bOk), dwError(dwError)
    {
    }
    bool InitVoice(uint16_t wUser, int nMic, const std::string& szSpeaker, uint32_t dwJitter,
                   uint32_t dwDevice, uint32_t& dwErr) override
    {
        calls.Add("init " + std::to_string(wUser) + " mic " + std::to_string(nMic) + " spk '" + szSpeaker +
                  "' " + std::to_string(dwJitter) + " " + std::to_string(dwDevice));
        dwErr = bOk ? 0 : dwError;
        return bOk;
    }
    void SetMicBoost(int n) override { calls.Add("boost " + std::to_string(n)); }
    void TalkStart() override { calls.Add("talk start"); }
    void TalkStop() override { calls.Add("talk stop"); }
    void OnUserOut(uint16_t w) override { calls.Add("user out " + std::to_string(w)); }
    void StopAllChannel() override { calls.Add("stop all"); }
    void SetVoicePlayerFlag(bool b) override { calls.Add(std::string("player flag ") + (b ? "1" : "0")); }
    void OnRecvVoice(const uint8_t*, size_t n) override { ++nReceived; }
    void ShowLogDialog() override { calls.Add("show log"); }
    std::vector<std::pair<uint16_t, int>> TakeLevels() override
    {
        std::vector<std::pair<uint16_t, int>> out;
        out.swap(levels);
        return out;
    }
    std::vector<std::pair<uint16_t, int>> levels;
    VoiceCalls& calls;
    bool bOk;
    uint32_t dwError;
    std::atomic<int> nReceived{0};
};

struct FakeVoiceDevices : IVoiceDevices
{
    explicit FakeVoiceDevices(VoiceCalls& calls) : calls(calls) {}
    std::unique_ptr<IRoomVoiceEngine> CreateEngine() override
    {
        if (!bCreates) return nullptr;
        auto p = std::make_unique<FakeVoiceEngine>(calls, bInitOk, dwInitError);
        pLast = p.get();
        return p;
    }
    std::vector<std::u16string> MicrophoneNames() override { return mics; }
    std::vector<VoiceSpeakerDevice> SpeakerDevices() override { return speakers; }
    uint32_t TickCount() override { return dwTick; }
    VoiceCalls& calls;
    bool bCreates = true;
    bool bInitOk = true;
    uint32_t dwInitError = 0;
    FakeVoiceEngine* pLast = nullptr;
    std::vector<std::u16string> mics = {u"Mic A", u"Mic B"};
    std::vector<VoiceSpeakerDevice> speakers = {{"guid-1", u"Speakers 1"}, {"guid-2", u"Speakers 2"}};
    uint32_t dwTick = 100000;
};

struct FakeVoiceMixer : IVoiceMixer
{
    explicit FakeVoiceMixer(VoiceCalls& calls) : calls(calls) {}
    void Open(int nSpeaker, int nMic) override
    {
        calls.Add("mixer open " + std::to_string(nSpeaker) + " " + std::to_string(nMic));
    }
    int Volume(int nKind) override { return volumes[nKind]; }
    void SetVolume(int nKind, int n) override
    {
        volumes[nKind] = n;
        calls.Add("mixer volume " + std::to_string(nKind) + " " + std::to_string(n));
    }
    bool Muted(int nKind) override { return mutes[nKind]; }
    void SetMute(int nKind, bool b) override
    {
        mutes[nKind] = b;
        calls.Add("mixer mute " + std::to_string(nKind) + " " + (b ? "1" : "0"));
    }
    VoiceCalls& calls;
    std::map<int, int> volumes = {{MIXER_SPEAKER, 60}, {MIXER_MICROPHONE, 45}, {MIXER_ALT_RECORDING, 30}};
    std::map<int, bool> mutes;
};

struct FakeVoiceNetwork : IVoiceNetwork
{
    explicit FakeVoiceNetwork(VoiceCalls& calls) : calls(calls) {}
    void SendVoice(const uint8_t*, size_t n, uint8_t bFlag) override
    {
        calls.Add("send voice " + std::to_string(n) + " flag " + std::to_string(bFlag));
    }
    bool Recording() override { return bRecording; }
    void PurgeVoiceQueue() override { calls.Add("purge voice"); }
    void SendAvState(uint32_t dw) override
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "av state %05X", dw);
        calls.Add(buf);
    }
    void SendAudioSettings(const QNAudioSettings& r) override { answers.push_back(r); }
    VoiceCalls& calls;
    std::atomic<bool> bRecording{false};
    std::vector<QNAudioSettings> answers;
};

struct RecordedVoiceView : IRoomVoiceView
{
    explicit RecordedVoiceView(VoiceCalls& calls) : calls(calls) {}
    static const char* Name(VoiceImages i)
    {
        return i == VoiceImages::On ? "on" : i == VoiceImages::Off ? "off" : "unavailable";
    }
    void SetTalkImages(VoiceImages i) override { talkImages = Name(i); }
    void SetSpeakerImages(VoiceImages i) override { speakerImages = Name(i); }
    void SetTalkToggle(bool b) override { bTalkChecked = b; }
    void EnableTalkToggle(bool b) override { bTalkEnabled = b; }
    bool TalkToggleEnabled() override { return bTalkEnabled; }
    void SetMuteToggle(bool b) override { bMuteChecked = b; }
    void EnableMicSlider(bool b) override { bMicSliderEnabled = b; }
    void EnableSpeakerControls(bool b) override { bSpeakerEnabled = b; }
    int SpeakerSlider() override { return nSpeaker; }
    void SetSpeakerSlider(int n) override { nSpeaker = n; }
    int MicSlider() override { return nMic; }
    void SetMicSlider(int n) override { nMic = n; }
    void SetTooltip(int nWhich, const char* pszKey) override { tooltips[nWhich] = pszKey; }
    void SetBoostCheck(bool b) override { calls.Add(std::string("boost check ") + (b ? "1" : "0")); }
    void RewriteMyRow() override { calls.Add("my row"); }
    bool ShowsLevels() override { return bShowsLevels; }
    void SetVoiceIcon(uint16_t ch, bool bSpeaking, int n) override
    {
        calls.Add("icon " + std::to_string(ch) + (bSpeaking ? " speaking " : " quiet ") + std::to_string(n));
    }
    void SetPeakLevel(uint16_t ch, int n) override
    {
        calls.Add("peak " + std::to_string(ch) + " " + std::to_string(n));
    }
    void ResetPeakLevels() override { calls.Add("reset peaks"); }
    uint8_t VideoState() override { return 2; }
    void ShowRemoteSettings(const QNAudioSettings& r) override { shown.push_back(r); }

    VoiceCalls& calls;
    std::string talkImages, speakerImages;
    bool bTalkChecked = false, bTalkEnabled = false, bMuteChecked = false;
    bool bMicSliderEnabled = true, bSpeakerEnabled = true, bShowsLevels = true;
    int nSpeaker = 0, nMic = 0;
    std::map<int, std::string> tooltips;
    std::vector<QNAudioSettings> shown;
};

struct VoiceLogLines : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int nLevel, const std::string& text) override
    {
        lines.push_back(std::to_string(nLevel) + " " + text);
    }
};

// A room with the local user (index 10, channel 1), the chief (index 20, channel 2, the owner)
// and another member (index 30, channel 3).
struct RoomVoiceRig
{
    static constexpr uint16_t kMe = 10, kMyChannel = 1, kChief = 20, kChiefChannel = 2, kOther = 30,
                              kOtherChannel = 3;
    VoiceCalls calls;
    CRoomState room;
    RecordedNotices notices;
    FakeVoiceDevices devices{calls};
    FakeVoiceMixer mixer{calls};
    FakeVoiceNetwork network{calls};
    CMapSettings settings;
    RecordedVoiceView view{calls};
    VoiceLogLines log;
    std::unique_ptr<CRoomVoice> voice;

    RoomVoiceRig()
    {
        room.info.wRoomIndex = 5;
        room.info.wRoomType = 1;
        room.info.wOwnerIndex = kChief;
        room.wMyChannel = kMyChannel;
        for (auto [ch, idx] : {std::pair{kMyChannel, kMe}, {kChiefChannel, kChief}, {kOtherChannel, kOther}})
        {
            S_ROOMUSERINFO u;
            u.channel = ch;
            u.userIndex = idx;
            room.users.AddUser(u);
        }
    }
    // The voice as the bar makes it at start-up, for a user of this grade.
    CRoomVoice& Start(int nGrade = 1)
    {
        voice = std::make_unique<CRoomVoice>(room, notices,
                                             RoomVoicePorts{devices, mixer, network, settings, view}, &log);
        voice->SetMyUser(kMe, nGrade);
        voice->InitVoiceEngine();
        voice->PublishChannels();
        return *voice;
    }
};
