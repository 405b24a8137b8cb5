// The room dispatcher's rows: every room packet has one, a payload is read once and a
// short one is dropped with one DEBUG line before any handler sees it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/media/RoomVoice.h"
#include "confclient/network/QNCommands.h"
#include "confclient/people/ChatFeature.h"
#include "confclient/people/PushReceiveFeature.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "tests/media/RoomVoiceRig.h"
#include "tests/session/RecordedNotices.h"

namespace
{
struct Listed
{
    uint16_t wCode;
    const char* pszName;
};
constexpr Listed kListed[] = {
#define QN_COMMAND(code, name, cipher, table, list) {code, #name},
#include "confclient/network/QNCommands.def"
#undef QN_COMMAND
};

struct LogLines : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int nLevel, const std::string& text) override
    {
        if (nLevel == LOG_DEBUG) lines.push_back(text);
    }
};

// Records the handler each command reached, with the payload as that handler saw it.
struct RecordedCommands : IRoomCommands
{
    std::vector<std::string> calls;

#define PLAIN(method)                                                                                        \
    void method(uint16_t, const QNPacketDesc&) override                                                      \
    {                                                                                                        \
        calls.push_back(#method);                                                                            \
    }
#define DECODED(method, record)                                                                              \
    void method(uint16_t, const QNPacketDesc&, const record&) override                                       \
    {                                                                                                        \
        calls.push_back(#method);                                                                            \
    }
    PLAIN(OnRoomAck)
    PLAIN(OnRoomNak)
    PLAIN(OnRoomRecord)
    PLAIN(OnRoomEnd)
    PLAIN(OnSessionValueCleared)
    PLAIN(OnBanished)
    DECODED(OnSessionValue, uint16_t)
#undef PLAIN
#undef DECODED
};

// The session's rows reach the recorder; the chat and push rows reach features whose views record.
struct RecordedRoom : IChatView, IPushReceiveView
{
    RecordedCommands session;
    CRoomState room = InRoom();
    RecordedNotices notices;
    CChatFeature chat{room, *this};
    CPushReceiveFeature pushReceive{room, *this};
    RoomHandlers handlers{.pSession = &session, .pChat = &chat, .pPushReceive = &pushReceive};
    std::u16string szChatText;
    const uint8_t* pPushData = nullptr;
    size_t nPushData = 0;

    static CRoomState InRoom()
    {
        CRoomState r;
        r.info.wRoomIndex = 1;
        return r;
    }
    void OnChatReceived(const std::u16string&, const std::u16string& szText, uint32_t) override
    {
        session.calls.push_back("OnChat");
        szChatText = szText;
    }
    bool BeginPushReceive(uint16_t, const std::u16string&, const std::u16string&, uint32_t) override
    {
        return true;
    }
    void OnPushCancelled(uint16_t, const std::u16string&) override {}
    void OnPushData(uint16_t, const uint8_t* p, size_t n) override
    {
        session.calls.push_back("OnPushData");
        pPushData = p;
        nPushData = n;
    }
};

QNPacketDesc DescOf(const Bytes& payload)
{
    QNPacketDesc desc;
    desc.pData = payload.empty() ? nullptr : payload.data();
    desc.nLength = static_cast<uint32_t>(payload.size());
    return desc;
}
} // namespace

TEST(RoomDispatcher, EveryRoomPacketHasOneRowAndEveryRowIsARoomPacket)
{
    for (const Listed& c : kListed)
    {
        if (!IsRoomPacketCommand(c.wCode)) continue;
        const RoomHandlerRow* pRow = FindRoomHandlerRow(c.wCode);
        ASSERT_NE(nullptr, pRow) << c.pszName << " reaches the room dispatcher without a row";
        if (pRow->pszIgnoredBecause)
        {
            EXPECT_STRNE("", pRow->pszIgnoredBecause) << c.pszName;
        }
    }
    // A row for a lobby, sound, video or board code would never run.
    for (uint32_t code = 0; code <= 0xFFFF; ++code)
    {
        if (!FindRoomHandlerRow(static_cast<uint16_t>(code))) continue;
        EXPECT_TRUE(IsRoomPacketCommand(static_cast<uint16_t>(code))) << code;
        EXPECT_NE(nullptr, FindCommandInfo(static_cast<uint16_t>(code))) << code;
    }
}

TEST(RoomDispatcher, ReadsOnceAndDropsShortPayloadsWithOneLine)
{
    QNChat chat;
    chat.wSenderUserIndex = 3;
    chat.szText = u"hello";
    Bytes chatBytes;
    EncodeChat(chat, chatBytes);
    Bytes chatCut(chatBytes.begin(),
                  chatBytes.begin() + 7); // the text is as long as the payload; the head is not

    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        Bytes payload;
        const char* pszHandler; // "" when no handler may run
        size_t nDebugLines;
    } cases[] = {
        {"whole chat line", INFO_CONF_CHAT, chatBytes, "OnChat", 0},
        {"chat line cut short", INFO_CONF_CHAT, chatCut, "", 1},
        {"empty u16 record", NTF_CONF_326, {}, "", 1},
        {"u16 record", NTF_CONF_326, {5, 0}, "OnSessionValue", 0},
        {"push chunk without its id", INFO_PUSH_CHUNK, {7}, "", 1},
        {"plain row with no payload", INFO_CONF_CLOSE, {}, "OnRoomEnd", 0},
        {"outbound-only code", CMD_CONF_OPEN, {1, 2, 3}, "", 0},
        {"checked row, short", INFO_DRAWTOOL_COMMAND, {1, 2, 3, 4}, "", 1},
        {"checked row, whole", INFO_DRAWTOOL_COMMAND, {1, 2, 3, 4, 5, 6}, "", 0},
        {"code without a row", 9999, {1, 2}, "", 0},
    };
    for (const auto& c : cases)
    {
        RecordedRoom recorded;
        LogLines log;
        DispatchRoomCommand(recorded.handlers, &log, c.wCommand, DescOf(c.payload));
        std::vector<std::string> expected;
        if (*c.pszHandler) expected.push_back(c.pszHandler);
        EXPECT_EQ(expected, recorded.session.calls) << c.pszCase;
        EXPECT_EQ(c.nDebugLines, log.lines.size()) << c.pszCase;
    }
}

TEST(RoomDispatcher, HandlersSeeTheDecodedPayload)
{
    QNChat chat;
    chat.szText = u"hi there";
    Bytes chatBytes;
    EncodeChat(chat, chatBytes);
    RecordedRoom recorded;
    DispatchRoomCommand(recorded.handlers, nullptr, INFO_CONF_CHAT, DescOf(chatBytes));
    EXPECT_EQ(u"hi there", recorded.szChatText);

    // The chunk is the payload after the sender's two bytes.
    Bytes pushBytes = {9, 0, 'a', 'b', 'c'};
    QNPacketDesc pushDesc = DescOf(pushBytes);
    pushDesc.dwExtra = 3;
    DispatchRoomCommand(recorded.handlers, nullptr, INFO_PUSH_CHUNK, pushDesc);
    EXPECT_EQ(pushBytes.data() + 2, recorded.pPushData);
    EXPECT_EQ(3u, recorded.nPushData);
}

// 535 reaches the room's voice as the 13-byte record: a kind 2 from the chief is applied to this
// user's speaker, microphone and mute; the same from a member without the control right, or one
// cut short, changes nothing.
TEST(RoomDispatcher, RemoteAudioSettingsReachTheVoiceOnlyFromTheChief)
{
    struct Case
    {
        const char* pszCase;
        uint16_t wRequester;
        size_t nCut;
        bool bApplied;
    } cases[] = {
        {"from the chief", RoomVoiceRig::kChief, 0, true},
        {"from another member", RoomVoiceRig::kOther, 0, false},
        {"from the chief, cut short", RoomVoiceRig::kChief, 1, false},
    };
    for (const Case& c : cases)
    {
        RoomVoiceRig rig;
        CRoomVoice& voice = rig.Start();
        int nSpeakerBefore = rig.view.nSpeaker;
        QNAudioSettings apply;
        apply.wKind = AUDIOSETTINGS_APPLY;
        apply.wRequester = c.wRequester;
        apply.wTarget = RoomVoiceRig::kMe;
        apply.bMicVolume = 70;
        apply.bSpeakerVolume = 20;
        apply.bMicBoost = 3;
        apply.bMic = 3;
        apply.bMute = 2;
        Bytes payload;
        EncodeAudioSettings(apply, payload);
        payload.resize(payload.size() - c.nCut);
        RoomHandlers handlers{.pVoice = &voice};
        DispatchRoomCommand(handlers, nullptr, INFO_CONF_REMOTESETTING, DescOf(payload));
        EXPECT_EQ(c.bApplied, voice.Muted()) << c.pszCase;
        EXPECT_EQ(c.bApplied ? 20 : nSpeakerBefore, rig.view.nSpeaker) << c.pszCase;
        EXPECT_EQ(c.bApplied ? 20 : 60, rig.mixer.volumes[MIXER_SPEAKER]) << c.pszCase;
    }
}
