// Messenger commands through their rows: which user's messenger gets which line, the
// invitation kept for an answer, and unknown users or rooms told of without a window.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/MessengerFeature.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "core/Utf8Text.h"
#include "tests/session/RecordedNotices.h"
#include "tests/core/TestLogs.h"

namespace
{
constexpr uint16_t kAnn = 7;      // a logged-in lobby user
constexpr uint16_t kStranger = 8; // not in the lobby's list
constexpr uint16_t kRoomA = 12;   // a room of the lobby's list

struct RecordedMessenger : IMessengerView
{
    std::vector<std::string> calls;

    void DeliverToMessenger(int nKind, uint16_t wUserIndex, const std::u16string& szText,
                            uint32_t dwValue) override
    {
        calls.push_back("line to " + std::to_string(wUserIndex) + " kind " + std::to_string(nKind) + ": " +
                        Utf8Of(szText) + (dwValue ? " value " + std::to_string(dwValue) : std::string()));
    }
    void OnMessengerFileOffer(const QNFileOffer& o) override
    {
        calls.push_back("offer from " + std::to_string(o.wSenderIndex) + ": " + Utf8Of(o.szFileName) + " " +
                        std::to_string(o.dwFileSize));
    }
    void OnMessengerFileReply(uint16_t wUserIndex, bool bAccepted) override
    {
        calls.push_back("reply from " + std::to_string(wUserIndex) + (bAccepted ? " accepted" : " ended"));
    }
    void OnMessengerFileData(const QNFileData& d) override
    {
        calls.push_back("file data from " + std::to_string(d.wSenderIndex) + ": " +
                        std::string(reinterpret_cast<const char*>(d.pData), d.nData));
    }
    void ShowInviteNotice(uint16_t wInviter, uint16_t wRoomIndex, const std::u16string& szRoomTitle) override
    {
        calls.push_back("invite notice from " + std::to_string(wInviter) + " to " +
                        std::to_string(wRoomIndex) + " " + Utf8Of(szRoomTitle));
    }
    std::u16string LobbyName(uint16_t wUserIndex) const override { return wUserIndex == kAnn ? u"Ann" : u""; }
    std::optional<std::u16string> ConfTitle(uint16_t wRoomIndex) const override
    {
        if (wRoomIndex == kRoomA) return u"Room A";
        return std::nullopt;
    }
};

struct Messenger
{
    CRoomState room;
    RecordedNotices notices;
    RecordedMessenger view;
    LogLines log;
    CMessengerFeature feature{room, notices, view, &log};
    RoomHandlers handlers{.pMessenger = &feature};

    void Dispatch(uint16_t wCommand, const Bytes& payload, uint16_t wSub = 0)
    {
        QNPacketDesc desc;
        desc.pData = payload.empty() ? nullptr : payload.data();
        desc.nLength = static_cast<uint32_t>(payload.size());
        desc.wSub = wSub; // the network client hands these commands' sub in the header only
        DispatchRoomCommand(handlers, &log, wCommand, desc);
    }
};

template <class Record> Bytes Encoded(void (*encode)(const Record&, Bytes&), const Record& r)
{
    Bytes out;
    encode(r, out);
    return out;
}

Bytes U16(uint16_t v)
{
    Bytes out;
    EncodeU16(v, out);
    return out;
}
} // namespace

TEST(MessengerFeature, UndeliveredToAUserNotLoggedInIsToldInTheirMessenger)
{
    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        uint16_t wSub;
        Bytes payload;
        std::vector<std::string> calls;
    } cases[] = {
        {"text, no such user", NAK_MSG_TEXT, 1000, U16(kAnn), {"line to 7 kind 1: <IDS_MSG_NONUSER>"}},
        {"file offer, user gone",
         NAK_MSG_FILEOFFER,
         1204,
         U16(kAnn),
         {"line to 7 kind 1: <IDS_MSG_NONUSER>", "reply from 7 ended"}},
        {"file answer",
         NAK_MSG_FILEANSWER,
         1000,
         U16(kStranger),
         {"line to 8 kind 1: <IDS_MSG_NONUSER>", "reply from 8 ended"}},
        {"file data ends the send",
         NAK_MSG_FILEDATA,
         1000,
         U16(kAnn),
         {"line to 7 kind 1: <IDS_MSG_NONUSER>", "reply from 7 ended"}},
        {"invitation", NAK_MSG_INVITE, 1204, U16(kAnn), {"line to 7 kind 1: <IDS_MSG_NONUSER>"}},
        {"invitation answer", NAK_MSG_INVITEANSWER, 1000, U16(kAnn), {"line to 7 kind 1: <IDS_MSG_NONUSER>"}},
        {"another status", NAK_MSG_TEXT, 1001, U16(kAnn), {}},
        {"no user index", NAK_MSG_TEXT, 1000, {}, {}},
    };
    for (const auto& c : cases)
    {
        Messenger m;
        m.Dispatch(c.wCommand, c.payload, c.wSub);
        EXPECT_EQ(c.calls, m.view.calls) << c.pszCase;
        EXPECT_TRUE(m.notices.boxes.empty()) << c.pszCase;
    }
}

TEST(MessengerFeature, LinesFilesAndAnswersReachTheSendersMessenger)
{
    QNFileData data;
    data.wSenderIndex = kAnn;
    data.wReceiverIndex = 1;
    const uint8_t block[] = {'a', 'b', 'c'};
    data.pData = block;
    data.nData = sizeof(block);

    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        Bytes payload;
        std::vector<std::string> calls;
    } cases[] = {
        {"text",
         INFO_MSG_TEXT,
         Encoded(EncodeMessage, QNMessage{kAnn, u"00ff00hello", 1}),
         {"line to 7 kind 5: 00ff00hello"}},
        {"file offer",
         INFO_MSG_FILEOFFER,
         Encoded(EncodeFileOffer, QNFileOffer{10, kAnn, 1, u"a.txt"}),
         {"offer from 7: a.txt 10"}},
        {"file accepted",
         INFO_MSG_FILEANSWER,
         Encoded(EncodeFileReply, QNFileReply{kFileReplyAccepted, kAnn, 1}),
         {"reply from 7 accepted"}},
        {"file refused or cancelled",
         INFO_MSG_FILEANSWER,
         Encoded(EncodeFileReply, QNFileReply{0, kAnn, 1}),
         {"reply from 7 ended"}},
        {"file data", INFO_MSG_FILEDATA, Encoded(EncodeFileData, data), {"file data from 7: abc"}},
        {"text cut short", INFO_MSG_TEXT, {5, 0, 0}, {}},
        {"file answer cut short", INFO_MSG_FILEANSWER, {0, 0, 1, 0, 7, 0, 1, 0}, {}},
    };
    for (const auto& c : cases)
    {
        Messenger m;
        m.Dispatch(c.wCommand, c.payload);
        EXPECT_EQ(c.calls, m.view.calls) << c.pszCase;
        EXPECT_TRUE(m.notices.boxes.empty()) << c.pszCase;
    }
}

TEST(MessengerFeature, InvitationFromAKnownUserIntoAKnownRoomIsKeptForTheAnswer)
{
    struct
    {
        const char* pszCase;
        QNInvitation invitation;
        std::vector<std::string> calls;
        uint16_t wPendingInvite;
        size_t nLogLines;
    } cases[] = {
        {"known user and room",
         {kRoomA, kAnn, 1},
         {"invite notice from 7 to 12 Room A", "line to 7 kind 12: <IDS_MSG_INVITE_REQ> value 12"},
         kRoomA,
         0},
        {"unknown room", {13, kAnn, 1}, {}, 5, 1},
        {"a room index past 16 bits", {0x1000C, kAnn, 1}, {}, 5, 1},
        {"unknown user", {kRoomA, kStranger, 1}, {}, 5, 1},
    };
    for (const auto& c : cases)
    {
        Messenger m;
        m.room.wPendingInvite = 5;
        m.Dispatch(INFO_MSG_INVITE, Encoded(EncodeInvitation, c.invitation));
        EXPECT_EQ(c.calls, m.view.calls) << c.pszCase;
        EXPECT_EQ(c.wPendingInvite, m.room.wPendingInvite) << c.pszCase;
        EXPECT_EQ(c.nLogLines, m.log.lines.size()) << c.pszCase;
    }
    Messenger m;
    m.Dispatch(INFO_MSG_INVITE, Encoded(EncodeInvitation, QNInvitation{13, kStranger, 1}));
    EXPECT_EQ(std::vector<std::string>{"2 [INVITE] room 13 or user 8 unknown"}, m.log.lines);
}

TEST(MessengerFeature, InviteAnswerGoesToTheMessengerAndABox)
{
    struct
    {
        const char* pszCase;
        QNInviteReply answer;
        std::vector<std::string> calls;
        std::u16string szBox;
    } cases[] = {
        {"accepted",
         {kInviteReplyAccepted, kAnn, 1},
         {"line to 7 kind 0: Ann <IDS_MSG_INVITE_OK>"},
         u"Ann <IDS_MSG_INVITE_OK>"},
        {"refused",
         {0, kAnn, 1},
         {"line to 7 kind 0: Ann <IDS_MSG_INVITE_CANCLE_RECV>"},
         u"Ann <IDS_MSG_INVITE_CANCLE_RECV>"},
        {"stranger",
         {kInviteReplyAccepted, kStranger, 1},
         {"line to 8 kind 0:  <IDS_MSG_INVITE_OK>"},
         u" <IDS_MSG_INVITE_OK>"},
    };
    for (const auto& c : cases)
    {
        Messenger m;
        m.Dispatch(INFO_MSG_INVITEANSWER, Encoded(EncodeInviteReply, c.answer));
        EXPECT_EQ(c.calls, m.view.calls) << c.pszCase;
        EXPECT_EQ(std::vector<std::u16string>{c.szBox}, m.notices.boxes) << c.pszCase;
    }
}
