// The loopback server's room reactions, heard by real clients: state words,
// presenter requests and answers, pushed commands, a full room, and a room that
// goes with its owner.
#include <gtest/gtest.h>

#include <memory>

#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopServer.h"
#include "tests/network/QNTestOwner.h"
#include "tests/core/TestLogs.h"

namespace
{
constexpr uint32_t kTimedOut = 0xFFFFFFFF;

// The network object with its raw sender open, for the commands without a builder.
class CRawInterface : public CQNInterface
{
public:
    using CQNInterface::CQNInterface;
    using CQNInterface::SendCommand;
    // The threads call virtual members: they end before this class is taken apart.
    ~CRawInterface() override { StopThreads(); }
};

struct CClient
{
    CTestOwner owner;
    std::unique_ptr<CRawInterface> net = std::make_unique<CRawInterface>(&owner, &owner);

    uint16_t wUserIndex = kNoIndex;

    bool Login(uint16_t wPort, const std::u16string& szId)
    {
        if (!net->Connect("127.0.0.1", wPort)) return false;
        if (owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == kTimedOut) return false;
        net->SendLogin(szId, u"", 0, false);
        QNEvent ack = owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN);
        QNLoginAck r;
        if (ack.nMsg == kTimedOut || !DecodeLoginAck(ack.payload.data(), ack.payload.size(), r)) return false;
        wUserIndex = r.wUserIndex;
        return true;
    }
    // The room record of the answer to an open or a join; room index 0 when none came.
    QNRoomInfo Answer(uint16_t wAck)
    {
        QNRoomInfo r;
        QNEvent e = owner.WaitFor(kMsgRoomPacket, wAck);
        if (e.nMsg == kTimedOut || !DecodeRoomInfo(e.payload.data(), e.payload.size(), r)) r.wRoomIndex = 0;
        return r;
    }
    QNRoomInfo Open(const std::u16string& szCode, uint16_t wMaxUser)
    {
        QNConfOpen open;
        open.wRoomType = 1;
        open.wMaxUser = wMaxUser;
        open.szTitle = u"Review";
        open.szConfCode = szCode;
        net->SendConfOpen(open);
        return Answer(ACK_CONF_OPEN);
    }
    void Presenter(const QNPresenterRequest& r)
    {
        Bytes b;
        EncodePresenterRequest(r, b);
        net->SendCommand(CMD_CONF_PRESENTER, 0, b.data(), b.size());
    }
    void AudioSettings(const QNAudioSettings& r) { net->SendAudioSettings(r); }
    // The nth 535 received, with its sub; kind 65535 when none came.
    QNAudioSettings RemoteSetting(int nth, uint16_t* pSub = nullptr)
    {
        QNAudioSettings r;
        r.wKind = kNoIndex;
        QNEvent e = owner.WaitFor(kMsgRoomPacket, INFO_CONF_REMOTESETTING, nth);
        if (e.nMsg == kTimedOut || !DecodeAudioSettings(e.payload.data(), e.payload.size(), r))
            r.wKind = kNoIndex;
        if (pSub) *pSub = e.wSub;
        return r;
    }
    uint16_t U16Of(uint16_t wCommand, int nth = 1)
    {
        QNEvent e = owner.WaitFor(kMsgRoomPacket, wCommand, nth);
        uint16_t v = kNoIndex;
        return e.nMsg != kTimedOut && DecodeU16(e.payload.data(), e.payload.size(), v) ? v : kNoIndex;
    }
};

class RoomLoopbackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server = std::make_unique<CLoopServer>(DefaultLoopConfig(), &log);
        ASSERT_TRUE(server->Start(0));
        ASSERT_TRUE(alice.Login(server->Port(), u"alice"));
        ASSERT_TRUE(bob.Login(server->Port(), u"bob"));
    }
    void TearDown() override { server->Stop(); }

    CNullLog log;
    std::unique_ptr<CLoopServer> server;
    CClient alice, bob;
};
} // namespace

TEST_F(RoomLoopbackTest, StateWordsAndPresenterChangesReachTheRoom)
{
    QNRoomInfo room = alice.Open(u"REVIEW", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    uint16_t chBob = bob.Answer(ACK_CONF_JOIN).wMyChannel;
    EXPECT_EQ(room.wMyChannel, bob.U16Of(INFO_CONF_PRESIDER)) << "the owner presides";
    EXPECT_EQ((std::vector<uint16_t>{room.wMyChannel, chBob}), server->RoomMembers(room.wRoomIndex));

    // The state word names its sender's channel in its low half (65535: its own), with the
    // sender's rights behind it.
    ASSERT_TRUE(bob.net->SendAvState(0x00060000 | 0xFFFF));
    for (CClient* c : {&alice, &bob})
    {
        QNEvent e = c->owner.WaitFor(kMsgRoomPacket, INFO_CONF_AVSTATE);
        QNUserState state;
        ASSERT_TRUE(DecodeUserState(e.payload.data(), e.payload.size(), state));
        EXPECT_EQ(0x00060000u | chBob, state.dwWord);
        EXPECT_EQ(3u, state.dwRights) << "talk and draw";
    }

    // A request goes to the presider with the requester's channel.
    bob.Presenter({PRESENTER_REQUEST, kNoIndex, 0});
    QNEvent req = alice.owner.WaitFor(kMsgRoomPacket, CMD_CONF_PRESENTER);
    QNPresenterRequest r;
    ASSERT_TRUE(DecodePresenterRequest(req.payload.data(), req.payload.size(), r));
    EXPECT_EQ(PRESENTER_REQUEST, r.wKind);
    EXPECT_EQ(chBob, r.wRequesterChannel);

    // Only the presider's answer counts; a refusal tells the requester and no one else.
    bob.Presenter({PRESENTER_ANSWER, chBob, 1});
    alice.Presenter({PRESENTER_ANSWER, chBob, 0});
    QNEvent no = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_PRESENTER);
    ASSERT_TRUE(DecodePresenterRequest(no.payload.data(), no.payload.size(), r));
    EXPECT_EQ(0, r.wAccepted);

    // An acceptance tells the requester, then sets the presenter for everyone.
    alice.Presenter({PRESENTER_ANSWER, chBob, 1});
    QNEvent yes = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_PRESENTER, 2);
    ASSERT_TRUE(DecodePresenterRequest(yes.payload.data(), yes.payload.size(), r));
    EXPECT_EQ(1, r.wAccepted);
    EXPECT_EQ(chBob, alice.U16Of(INFO_CONF_PRESENTER_SET));
    EXPECT_EQ(chBob, bob.U16Of(INFO_CONF_PRESENTER_SET));
    EXPECT_EQ(1, alice.owner.Count(kMsgRoomPacket, INFO_CONF_PRESENTER_SET));
    EXPECT_EQ(0, alice.owner.Count(kMsgRoomPacket, INFO_CONF_PRESENTER));

    // Pushed commands arrive as the server's own.
    Bytes rights;
    EncodeRoomRights({room.wRoomIndex, 0x1F}, rights);
    EXPECT_EQ(2u, server->SendToRoom(room.wRoomIndex, INFO_CONF_RIGHTS, 0, rights));
    EXPECT_EQ(rights, bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RIGHTS, 2).payload);
    EXPECT_EQ(0u, server->SendToRoom(999, INFO_CONF_RIGHTS, 0, rights));
    EXPECT_TRUE(server->SendToUser(u"alice", NAK_CALL, 105, {}));
    EXPECT_EQ(105u, alice.owner.WaitFor(kMsgRoomPacket, NAK_CALL).dwExtra);
    EXPECT_FALSE(server->SendToUser(u"nobody", NAK_CALL, 105, {}));
}

TEST_F(RoomLoopbackTest, AFullRoomRefusesWithNoSeat)
{
    QNRoomInfo room = alice.Open(u"SOLO", 1);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    QNEvent nak = bob.owner.WaitFor(kMsgRoomPacket, NAK_CONF_JOIN);
    EXPECT_EQ(1202u, nak.dwExtra);
    EXPECT_EQ(0, bob.owner.Count(kMsgRoomPacket, ACK_CONF_JOIN));
    EXPECT_EQ(1u, server->RoomMembers(room.wRoomIndex).size());
}

TEST_F(RoomLoopbackTest, TheRoomGoesWithItsOwner)
{
    QNRoomInfo room = alice.Open(u"OWNED", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0, bob.Answer(ACK_CONF_JOIN).wRoomIndex);

    ASSERT_TRUE(alice.net->SendConfQuit());
    EXPECT_EQ(room.wMyChannel,
              [&]
              {
                  QNEvent e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_QUIT);
                  QNRoomUser u;
                  return DecodeRoomUser(e.payload.data(), e.payload.size(), u) ? u.wChannel : kNoIndex;
              }());
    // Everyone in the lobby hears of the deletion, the owner and the member left behind included.
    EXPECT_EQ(room.wRoomIndex, bob.U16Of(INFO_CONF_DELETE));
    EXPECT_EQ(room.wRoomIndex, alice.U16Of(INFO_CONF_DELETE));
    EXPECT_TRUE(server->RoomMembers(room.wRoomIndex).empty());
    EXPECT_EQ(0, bob.net->Record().RoomIndex());

    // The member's own quit afterwards changes nothing, and the room cannot be joined.
    ASSERT_TRUE(bob.net->SendConfQuit());
    alice.net->SendConfJoin(room.wRoomIndex, u"", u"");
    EXPECT_EQ(1206u, alice.owner.WaitFor(kMsgRoomPacket, NAK_CONF_JOIN).dwExtra);
    EXPECT_EQ(1, bob.owner.Count(kMsgRoomPacket, INFO_CONF_DELETE));
    EXPECT_EQ(0, alice.owner.Count(kMsgRoomPacket, INFO_CONF_CLOSE));
}

TEST_F(RoomLoopbackTest, UserOptionsReachTheOthersAndInviteRepliesTheirInviter)
{
    // The records as they travel: 546/547 u16 channel, u16 option, u32 value; 660 u32 with bit 16
    // the acceptance, u16 sender, u16 inviter.
    Bytes option, reply;
    EncodeUserOption({3, 1, 1}, option);
    EXPECT_EQ((Bytes{3, 0, 1, 0, 1, 0, 0, 0}), option);
    EncodeInviteReply({kInviteReplyAccepted, 2, 1}, reply);
    EXPECT_EQ((Bytes{0, 0, 1, 0, 2, 0, 1, 0}), reply);

    auto userIndex = [](CClient& c)
    {
        QNEvent e = c.owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN);
        QNLoginAck ack;
        return DecodeLoginAck(e.payload.data(), e.payload.size(), ack) ? ack.wUserIndex : kNoIndex;
    };
    const uint16_t wAlice = userIndex(alice), wBob = userIndex(bob);
    ASSERT_NE(kNoIndex, wAlice);
    ASSERT_NE(kNoIndex, wBob);

    QNRoomInfo room = alice.Open(u"OPTIONS", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    const uint16_t chBob = bob.Answer(ACK_CONF_JOIN).wMyChannel;

    // Bob's full-screen option reaches Alice as 547 from his channel, whatever channel he wrote.
    ASSERT_TRUE(bob.net->SendUserOption({kNoIndex, 1, 1}));
    QNEvent heard = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_USEROPTION);
    QNUserOption got;
    ASSERT_TRUE(DecodeUserOption(heard.payload.data(), heard.payload.size(), got));
    EXPECT_EQ(chBob, got.wChannel);
    EXPECT_EQ(1, got.wOption);
    EXPECT_EQ(1u, got.dwValue);
    EXPECT_EQ(chBob, heard.wSub);
}

TEST_F(RoomLoopbackTest, OneToOneTrafficReachesItsAddresseeInTheSendersLayoutWithTheSendersIndex)
{
    const uint16_t wAlice = alice.wUserIndex, wBob = bob.wUserIndex;
    // Each goes to the user at bytes 6-7 as the next command but one, byte for byte, with the
    // sender's own index at 4-5 whatever the sender wrote there.
    struct Case
    {
        uint16_t wCommand;
        Bytes payload;
    };
    Bytes text, invite, reply, offer, answer, block;
    EncodeMessage({999, u"ff0000hi", wBob}, text);
    EncodeInvitation({2, 999, wBob}, invite);
    EncodeInviteReply({kInviteReplyAccepted, 999, wBob}, reply);
    EncodeFileOffer({70000, 999, wBob, u"a.pdf"}, offer);
    EncodeFileReply({kFileReplyAccepted, 999, wBob}, answer);
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    EncodeFileData({999, wBob, bytes, sizeof bytes}, block);
    for (const Case& c :
         {Case{CMD_MSG_TEXT, text}, Case{CMD_MSG_INVITE, invite}, Case{CMD_MSG_INVITEREPLY, reply},
          Case{CMD_MSG_FILEOFFER, offer}, Case{CMD_MSG_FILEANSWER, answer}, Case{DAT_MSG_FILE, block}})
    {
        SCOPED_TRACE(c.wCommand);
        ASSERT_TRUE(alice.net->SendCommand(c.wCommand, kNoIndex, c.payload.data(), c.payload.size()));
        QNEvent got = bob.owner.WaitFor(kMsgRoomPacket, static_cast<uint16_t>(c.wCommand + 2));
        Bytes want = c.payload;
        want[4] = static_cast<uint8_t>(wAlice);
        want[5] = static_cast<uint8_t>(wAlice >> 8);
        EXPECT_EQ(want, got.payload);
    }
    QNMessage m;
    QNEvent got = bob.owner.WaitFor(kMsgRoomPacket, INFO_MSG_TEXT);
    ASSERT_TRUE(DecodeMessage(got.payload.data(), got.payload.size(), m));
    EXPECT_EQ(wAlice, m.wSenderIndex);
    EXPECT_EQ(u"ff0000hi", m.szText);

    // An addressee not logged in: the sender hears the next command with its index, sub 1000.
    ASSERT_TRUE(bob.net->SendMessengerText(wBob, 777, u"000000lost"));
    ASSERT_TRUE(bob.net->SendInvite(2, wBob, 777));
    ASSERT_TRUE(bob.net->SendInviteReply(wBob, 777, false));
    ASSERT_TRUE(bob.net->SendFileOffer(wBob, 777, u"a.pdf", 10));
    ASSERT_TRUE(bob.net->SendFileReply(wBob, 777, true));
    ASSERT_TRUE(bob.net->SendFileData(wBob, 777, bytes, sizeof bytes));
    for (uint16_t wNak : {NAK_MSG_TEXT, NAK_MSG_INVITE, NAK_MSG_INVITEANSWER, NAK_MSG_FILEOFFER,
                          NAK_MSG_FILEANSWER, NAK_MSG_FILEDATA})
    {
        EXPECT_EQ(777, bob.U16Of(wNak)) << wNak;
        EXPECT_EQ(1000, bob.owner.WaitFor(kMsgRoomPacket, wNak).wSub) << wNak;
    }
    // A payload too short to name its addressee goes nowhere (the invitation behind it arrives).
    ASSERT_TRUE(alice.net->SendCommand(CMD_MSG_TEXT, kNoIndex, text.data(), 7));
    ASSERT_TRUE(alice.net->SendInvite(2, wAlice, wBob));
    ASSERT_NE(kTimedOut, bob.owner.WaitFor(kMsgRoomPacket, INFO_MSG_INVITE, 2).nMsg);
    EXPECT_EQ(1, bob.owner.Count(kMsgRoomPacket, INFO_MSG_TEXT));
    // The tests' own invitation has the same layout.
    ASSERT_TRUE(server->SendInvitation(u"alice", u"bob", 2));
    QNInvitation inv;
    QNEvent e = bob.owner.WaitFor(kMsgRoomPacket, INFO_MSG_INVITE, 3);
    ASSERT_TRUE(DecodeInvitation(e.payload.data(), e.payload.size(), inv));
    EXPECT_EQ((std::vector<uint32_t>{2, wAlice, wBob}),
              (std::vector<uint32_t>{inv.dwRoomIndex, inv.wInviterIndex, inv.wInviteeIndex}));
    EXPECT_FALSE(server->SendInvitation(u"alice", u"nobody", 2));

    // A user configured unreachable is refused with sub 1204 though logged in.
    LoopConfig cfg = DefaultLoopConfig();
    int nBadLine = 0;
    EXPECT_FALSE(ParseLoopConfig("unreachable\n", cfg, &nBadLine));
    EXPECT_EQ(1, nBadLine);
    ASSERT_TRUE(ParseLoopConfig("unreachable dave\n", cfg, nullptr));
    CLoopServer other(cfg, &log);
    ASSERT_TRUE(other.Start(0));
    CClient carol, dave;
    ASSERT_TRUE(carol.Login(other.Port(), u"carol"));
    ASSERT_TRUE(dave.Login(other.Port(), u"dave"));
    ASSERT_TRUE(carol.net->SendMessengerText(carol.wUserIndex, dave.wUserIndex, u"000000hi"));
    QNEvent nak = carol.owner.WaitFor(kMsgRoomPacket, NAK_MSG_TEXT);
    EXPECT_EQ(1204, nak.wSub);
    EXPECT_EQ(dave.wUserIndex, carol.U16Of(NAK_MSG_TEXT));
    EXPECT_EQ(0, dave.owner.Count(kMsgRoomPacket, INFO_MSG_TEXT));
    other.Stop();
}

TEST_F(RoomLoopbackTest, AudioSettingsReachTheirAddresseeWithTheSendersOwnIndex)
{
    QNRoomInfo room = alice.Open(u"SOUND", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(kNoIndex, bob.Answer(ACK_CONF_JOIN).wMyChannel);
    constexpr uint16_t kForged = 999;

    // A request and an order go to the target, naming their real sender whatever it claimed.
    alice.AudioSettings({AUDIOSETTINGS_REQUEST, kForged, bob.wUserIndex});
    uint16_t wSub = 0;
    QNAudioSettings asked = bob.RemoteSetting(1, &wSub);
    EXPECT_EQ(AUDIOSETTINGS_REQUEST, asked.wKind);
    EXPECT_EQ(alice.wUserIndex, asked.wRequester);
    EXPECT_EQ(room.wMyChannel, wSub) << "sub: the sender's channel";

    // An answer goes back to the requester and names its real author as the target.
    bob.AudioSettings({AUDIOSETTINGS_ANSWER, alice.wUserIndex, kForged, 40, 70, 3, 2, 3, 2, 15});
    QNAudioSettings answer = alice.RemoteSetting(1);
    EXPECT_EQ(AUDIOSETTINGS_ANSWER, answer.wKind);
    EXPECT_EQ(bob.wUserIndex, answer.wTarget);
    EXPECT_EQ(70, answer.bSpeakerVolume);
    EXPECT_EQ(15, answer.bFrameRate);

    // Unknown kinds and short records go nowhere: bob's next 535 is the order sent after them.
    alice.AudioSettings({7, kForged, bob.wUserIndex});
    Bytes shortRecord(kAudioSettingsBytes - 1, 0);
    shortRecord[4] = static_cast<uint8_t>(bob.wUserIndex);
    alice.net->SendCommand(CMD_CONF_AUDIOSETTINGS, 0, shortRecord.data(), shortRecord.size());
    alice.AudioSettings({AUDIOSETTINGS_APPLY, kForged, bob.wUserIndex, 30, 20, 3, 3, 2, 3, 10});
    QNAudioSettings order = bob.RemoteSetting(2);
    EXPECT_EQ(AUDIOSETTINGS_APPLY, order.wKind);
    EXPECT_EQ(alice.wUserIndex, order.wRequester);
    EXPECT_EQ(20, order.bSpeakerVolume);
    EXPECT_EQ(2, bob.owner.Count(kMsgRoomPacket, INFO_CONF_REMOTESETTING));
}

// The room's board messages go to the others and wait for those who join later, in order.
TEST_F(RoomLoopbackTest, BoardMessagesReachALateJoinerInOrder)
{
    QNRoomInfo room = alice.Open(u"BOARD", 10);
    ASSERT_NE(0, room.wRoomIndex);
    const Bytes first(80, 1), second(90, 2), third(100, 3);
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, first.data(), first.size()));
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, second.data(), second.size()));
    // Her state word comes back to her after the server took both.
    ASSERT_TRUE(alice.net->SendAvState(kNoIndex));
    ASSERT_NE(kTimedOut, alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_AVSTATE).nMsg);

    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0, bob.Answer(ACK_CONF_JOIN).wRoomIndex);
    QNEvent e1 = bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 1);
    QNEvent e2 = bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 2);
    EXPECT_EQ(first, e1.payload);
    EXPECT_EQ(second, e2.payload);
    EXPECT_EQ(room.wMyChannel, e1.wSub) << "the sender's channel";

    // Once in, bob hears the next one once, as it is relayed.
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, third.data(), third.size()));
    EXPECT_EQ(third, bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 3).payload);
    EXPECT_EQ(0, alice.owner.Count(kMsgBoardPacket, DAT_BOARD_ROOM)) << "nobody hears their own";
}

TEST_F(RoomLoopbackTest, ViewModeAndPropertiesReachTheRoomAndLaterJoiners)
{
    QNRoomInfo room = alice.Open(u"VIEWS", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0, bob.Answer(ACK_CONF_JOIN).wRoomIndex);
    // A joiner of a fresh room hears the board and talk and draw.
    QNViewMode mode;
    QNEvent e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_VIEWMODE);
    ASSERT_TRUE(DecodeViewMode(e.payload.data(), e.payload.size(), mode));
    EXPECT_EQ(1, mode.wViewMode);
    EXPECT_EQ(0, mode.wFlags);

    // The others hear the mode and the full-screen flag, with the sender's channel; the sender does not.
    ASSERT_TRUE(alice.net->SendViewMode(2, true));
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_VIEWMODE, 2);
    ASSERT_TRUE(DecodeViewMode(e.payload.data(), e.payload.size(), mode));
    EXPECT_EQ(room.wRoomIndex, mode.wRoomIndex);
    EXPECT_EQ(2, mode.wViewMode);
    EXPECT_EQ(1, mode.wFlags);
    EXPECT_EQ(room.wMyChannel, e.dwExtra);

    // Properties go to every member, the sender too: the rights they grant, then the record.
    S_ROOMPROPERTY property;
    property.bTalk = property.bMediaShare = true;
    property.wMaxUsers = 10;
    ASSERT_TRUE(alice.net->SendRoomProperty(property));
    for (CClient* c : {&alice, &bob})
    {
        // The first came with the entry.
        QNEvent r = c->owner.WaitFor(kMsgRoomPacket, INFO_CONF_RIGHTS, 2);
        ASSERT_EQ(8u + kRoomPropertySize, r.payload.size());
        QNRoomRights rights;
        ASSERT_TRUE(DecodeRoomRights(r.payload.data(), r.payload.size(), rights));
        EXPECT_EQ(0x11u, rights.dwRights);
        QNRoomProperty record;
        ASSERT_TRUE(DecodeRoomProperty(r.payload.data() + 8, kRoomPropertySize, record));
        EXPECT_EQ(property, UnpackRoomProperty(record));
    }

    // A later joiner hears the room as it stands.
    CClient carol;
    ASSERT_TRUE(carol.Login(server->Port(), u"carol"));
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0, carol.Answer(ACK_CONF_JOIN).wRoomIndex);
    e = carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_VIEWMODE);
    ASSERT_TRUE(DecodeViewMode(e.payload.data(), e.payload.size(), mode));
    EXPECT_EQ(2, mode.wViewMode);
    EXPECT_EQ(1, mode.wFlags);
    e = carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RIGHTS);
    QNRoomRights rights;
    ASSERT_TRUE(DecodeRoomRights(e.payload.data(), e.payload.size(), rights));
    EXPECT_EQ(0x11u, rights.dwRights);
    EXPECT_EQ(8u + kRoomPropertySize, e.payload.size());
}

TEST_F(RoomLoopbackTest, TheChiefsBarCommandsReachTheRoomAndTheLobby)
{
    QNRoomInfo room = alice.Open(u"BAR", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    uint16_t chBob = bob.Answer(ACK_CONF_JOIN).wMyChannel;
    QNEvent e = bob.owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN);
    std::vector<QNRoomOption> options = DecodeRoomOptions(e.payload.data(), e.payload.size());
    ASSERT_EQ(10u, options.size()) << "ten layouts of 49 users by default";
    EXPECT_EQ((QNRoomOption{1, 49}), options.front());
    QNRoomState state;
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_STATE);
    ASSERT_TRUE(DecodeRoomState(e.payload.data(), e.payload.size(), state));
    EXPECT_EQ(0, state.wLectureState);

    // Only the chief's room record counts; everyone logged in hears the new title.
    QNConfUpdate update;
    update.szTitle = u"Not yours";
    ASSERT_TRUE(bob.net->SendConfUpdate(update));
    update.szTitle = u"Renamed";
    update.szPassword = u"pw";
    ASSERT_TRUE(alice.net->SendConfUpdate(update));
    for (CClient* c : {&alice, &bob})
    {
        e = c->owner.WaitFor(kMsgRoomPacket, INFO_CONF_UPDATE);
        QNLobbyConf conf;
        ASSERT_TRUE(DecodeLobbyConf(e.payload.data(), e.payload.size(), conf));
        EXPECT_EQ(room.wRoomIndex, conf.wRoomIndex);
        EXPECT_EQ(u"Renamed", conf.szTitle);
    }

    // A type whose limit the room exceeds is refused to the sender; one it fits reaches everyone.
    ASSERT_TRUE(alice.net->SendRoomType(4, 1));
    EXPECT_NE(kTimedOut, alice.owner.WaitFor(kMsgRoomPacket, NAK_CONF_CONFTYPE).nMsg);
    ASSERT_TRUE(alice.net->SendRoomType(10, 49));
    for (CClient* c : {&alice, &bob})
    {
        e = c->owner.WaitFor(kMsgRoomPacket, INFO_CONF_CONFTYPE);
        QNRoomType type;
        ASSERT_TRUE(DecodeRoomType(e.payload.data(), e.payload.size(), type));
        EXPECT_EQ(10, type.wRoomType);
    }
    EXPECT_EQ(0, bob.owner.Count(kMsgRoomPacket, NAK_CONF_CONFTYPE));

    // The lecture's state and length go to every member, and to a later joiner.
    ASSERT_TRUE(alice.net->SendCmd532(1, 45));
    for (CClient* c : {&alice, &bob})
    {
        e = c->owner.WaitFor(kMsgRoomPacket, INFO_CONF_STATE, 2);
        ASSERT_TRUE(DecodeRoomState(e.payload.data(), e.payload.size(), state));
        EXPECT_EQ(1, state.wLectureState);
        EXPECT_EQ(45, state.wLectureMinutes);
    }

    // Everyone else's room window follows the chief's; the sender hears nothing back.
    ASSERT_TRUE(bob.net->SendCmd538(1, true)); // not the chief: dropped
    ASSERT_TRUE(alice.net->SendCmd538(1, false));
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_MAXIMIZE);
    QNMaximize m;
    ASSERT_TRUE(DecodeMaximize(e.payload.data(), e.payload.size(), m));
    EXPECT_EQ(1, m.wMarker);
    EXPECT_EQ(0, m.nMaximize);

    // A member makes itself presenter and stops again; every member hears its channel.
    ASSERT_TRUE(bob.net->SendSetPresenter(bob.wUserIndex, true));
    EXPECT_EQ(chBob, alice.U16Of(INFO_CONF_PRESENTER_SET));
    EXPECT_EQ(chBob, bob.U16Of(INFO_CONF_PRESENTER_SET));
    ASSERT_TRUE(bob.net->SendSetPresenter(bob.wUserIndex, false));
    EXPECT_EQ(chBob, alice.U16Of(INFO_CONF_PRESENTER_CLEAR));
    EXPECT_FALSE(bob.net->SendSetPresenter(kNoIndex, true));
    // The presider makes Bob presenter and clears him; Bob cannot name the presider.
    ASSERT_TRUE(alice.net->SendSetPresenter(bob.wUserIndex, true));
    EXPECT_EQ(chBob, alice.U16Of(INFO_CONF_PRESENTER_SET, 2));
    EXPECT_EQ(chBob, bob.U16Of(INFO_CONF_PRESENTER_SET, 2));
    ASSERT_TRUE(alice.net->SendSetPresenter(bob.wUserIndex, false));
    EXPECT_EQ(chBob, bob.U16Of(INFO_CONF_PRESENTER_CLEAR, 2));
    ASSERT_TRUE(bob.net->SendSetPresenter(alice.wUserIndex, true));
    ASSERT_TRUE(bob.net->SendSetPresenter(bob.wUserIndex, false)); // in order: the drop comes first
    EXPECT_EQ(chBob, alice.U16Of(INFO_CONF_PRESENTER_CLEAR, 3));
    EXPECT_EQ(2, alice.owner.Count(kMsgRoomPacket, INFO_CONF_PRESENTER_SET));

    CClient carol;
    ASSERT_TRUE(carol.Login(server->Port(), u"carol"));
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0, carol.Answer(ACK_CONF_JOIN).wRoomIndex);
    e = carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_STATE);
    ASSERT_TRUE(DecodeRoomState(e.payload.data(), e.payload.size(), state));
    EXPECT_EQ(1, state.wLectureState);
    EXPECT_EQ(45, state.wLectureMinutes);
    EXPECT_EQ(0, alice.owner.Count(kMsgRoomPacket, INFO_CONF_MAXIMIZE));
    EXPECT_EQ(1, bob.owner.Count(kMsgRoomPacket, INFO_CONF_MAXIMIZE));
}

// The presider's commands on others: a chat line to the others only, a new chief kept for
// joiners, rights, moves and banishing; the same from anyone else are dropped.
TEST_F(RoomLoopbackTest, ChiefCommandsReachEveryMemberAndOnlyTheChiefsCount)
{
    QNRoomInfo room = alice.Open(u"CHIEF", 10);
    ASSERT_NE(0, room.wRoomIndex);
    const uint16_t chAlice = room.wMyChannel;
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    const uint16_t chBob = bob.Answer(ACK_CONF_JOIN).wMyChannel;
    ASSERT_NE(kTimedOut, alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, 2).nMsg);

    // 460: to the others with the sender's user index, never back.
    ASSERT_TRUE(bob.net->SendChatText(0x0000FF, u"hello"));
    QNEvent line = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT);
    QNChat chat;
    ASSERT_TRUE(DecodeChat(line.payload.data(), line.payload.size(), chat));
    EXPECT_EQ(bob.wUserIndex, chat.wSenderUserIndex);
    EXPECT_EQ(u"hello", chat.szText);
    EXPECT_EQ(0x0000FFu, chat.dwColour);

    // Bob's rights change and his 390 are not his to send.
    ASSERT_TRUE(bob.net->SendUserRights(chAlice, 0));
    ASSERT_TRUE(bob.net->SendCmd390(chBob));
    // Once his own state word is back, the server has been through both.
    ASSERT_TRUE(bob.net->SendAvState(kNoIndex));
    ASSERT_NE(kTimedOut, bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_AVSTATE).nMsg);
    // Alice takes bob's talk right: everyone hears his word and rights.
    ASSERT_TRUE(alice.net->SendUserRights(chBob, 0x1E));
    for (CClient* c : {&alice, &bob})
    {
        QNEvent e = c->owner.WaitFor(kMsgRoomPacket, INFO_CONF_AVSTATE, 2);
        QNUserState state;
        ASSERT_TRUE(DecodeUserState(e.payload.data(), e.payload.size(), state));
        EXPECT_EQ(chBob, state.Channel());
        EXPECT_EQ(0x1Eu, state.dwRights);
    }
    // Alice hands the chief to bob: 391 to both; bob presides now.
    ASSERT_TRUE(alice.net->SendCmd390(chBob));
    EXPECT_EQ(chBob, alice.U16Of(INFO_CONF_PRESIDER, 2)) << "the first was her entry's";
    EXPECT_EQ(chBob, bob.U16Of(INFO_CONF_PRESIDER, 2));
    EXPECT_EQ(2, alice.owner.Count(kMsgRoomPacket, INFO_CONF_AVSTATE))
        << "bob's earlier commands were dropped";
    EXPECT_EQ(2, alice.owner.Count(kMsgRoomPacket, INFO_CONF_PRESIDER));

    // A joiner hears the new chief and bob's rights in his record.
    CClient carol;
    ASSERT_TRUE(carol.Login(server->Port(), u"carol"));
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    const uint16_t chCarol = carol.Answer(ACK_CONF_JOIN).wMyChannel;
    EXPECT_EQ(chBob, carol.U16Of(INFO_CONF_PRESIDER));
    bool bSawBob = false;
    for (int i = 1; i <= 3; ++i)
    {
        QNEvent e = carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, i);
        QNRoomUser u;
        ASSERT_TRUE(DecodeRoomUser(e.payload.data(), e.payload.size(), u));
        if (u.wChannel != chBob) continue;
        bSawBob = true;
        EXPECT_EQ(0u, u.dwTalkRight);
        EXPECT_EQ(1u, u.dwDrawRight);
    }
    EXPECT_TRUE(bSawBob);

    // Bob moves carol to a free channel above her, then swaps her with alice.
    const uint16_t chFree = 9;
    ASSERT_TRUE(bob.net->SendChannelMove(chFree, chCarol));
    QNEvent moved = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHGCHANNEL);
    QNChannelChange change;
    ASSERT_TRUE(DecodeChannelChange(moved.payload.data(), moved.payload.size(), change));
    EXPECT_EQ(carol.wUserIndex, change.wUserIndex);
    EXPECT_EQ(chCarol, change.wOldChannel);
    EXPECT_EQ(chFree, change.wNewChannel);
    ASSERT_TRUE(bob.net->SendChannelMove(chAlice, chFree));
    EXPECT_NE(kTimedOut, carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHGCHANNEL, 3).nMsg);
    EXPECT_EQ((std::vector<uint16_t>{chAlice, chBob, chFree}), server->RoomMembers(room.wRoomIndex));

    // Alice cannot banish; bob banishes carol (now on alice's old channel): she hears 401, the
    // others her leaving.
    ASSERT_TRUE(alice.net->SendBanish(bob.wUserIndex, chBob));
    ASSERT_TRUE(bob.net->SendBanish(carol.wUserIndex, chAlice));
    EXPECT_NE(kTimedOut, carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_BANISH).nMsg);
    QNEvent gone = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_QUIT);
    QNRoomUser left;
    ASSERT_TRUE(DecodeRoomUser(gone.payload.data(), gone.payload.size(), left));
    EXPECT_EQ(carol.wUserIndex, left.wUserIndex);
    EXPECT_EQ((std::vector<uint16_t>{chBob, chFree}), server->RoomMembers(room.wRoomIndex));
    EXPECT_EQ(0, bob.owner.Count(kMsgRoomPacket, INFO_CONF_BANISH));
}

TEST_F(RoomLoopbackTest, OwnRecordingsReachTheOthersAndTheRecorderStateNamesTheRecorder)
{
    QNRoomInfo room = alice.Open(u"RECORD", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    const uint16_t chBob = bob.Answer(ACK_CONF_JOIN).wMyChannel;

    // 490 reaches the others as 491 with the recorder's channel.
    ASSERT_TRUE(alice.net->SendRecordState(true, alice.wUserIndex));
    QNEvent e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RECORD);
    EXPECT_EQ(Bytes({uint8_t(room.wMyChannel), 0, 1, 0}), e.payload);
    EXPECT_EQ(room.wMyChannel, e.dwExtra);

    // 544 with the room index asks who records: 545 to the asker only.
    ASSERT_TRUE(bob.net->SendRecorderStateQuery());
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RECORDERSTATE);
    Bytes expected;
    EncodeRecorderState({room.wRoomIndex, 1, room.wMyChannel}, expected);
    EXPECT_EQ(expected, e.payload);
    EXPECT_EQ(6u, e.payload.size());

    ASSERT_TRUE(alice.net->SendRecordState(false, alice.wUserIndex));
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RECORD, 2);
    EXPECT_EQ(Bytes({uint8_t(room.wMyChannel), 0, 0, 0}), e.payload);

    // An empty 544 is a listener's recording: the others hear it as a start.
    ASSERT_TRUE(bob.net->SendCmd544());
    e = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RECORD);
    EXPECT_EQ(Bytes({uint8_t(chBob), 0, 1, 0}), e.payload);
    ASSERT_TRUE(bob.net->SendRecorderStateQuery());
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RECORDERSTATE, 2);
    expected.clear();
    EncodeRecorderState({room.wRoomIndex, 1, chBob}, expected);
    EXPECT_EQ(expected, e.payload);

    // The recorder leaving ends its recording for the room.
    bob.net->SendConfQuit();
    alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_QUIT);
    ASSERT_TRUE(alice.net->SendRecorderStateQuery());
    e = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_RECORDERSTATE);
    expected.clear();
    EncodeRecorderState({room.wRoomIndex, 0, kNoIndex}, expected);
    EXPECT_EQ(expected, e.payload);
}

TEST(RoomRecordLoopback, AnAutomaticRoomCarriesItsSettingsAndModeValueFour)
{
    LoopConfig cfg = DefaultLoopConfig();
    int nErrLine = 0;
    ASSERT_TRUE(ParseLoopConfig("autorecord 1 0 5 wmv playeronly\n", cfg, &nErrLine));
    EXPECT_FALSE(ParseLoopConfig("autorecord 77 0 5\n", cfg, &nErrLine)) << "no such room";
    EXPECT_FALSE(ParseLoopConfig("autorecord 1 0 5 mp3\n", cfg, &nErrLine));
    CNullLog log;
    CLoopServer server(cfg, &log);
    ASSERT_TRUE(server.Start(0));
    CClient alice;
    ASSERT_TRUE(alice.Login(server.Port(), u"alice"));
    alice.net->SendConfJoin(1, u"", u"");
    QNEvent e = alice.owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN);
    ASSERT_EQ(kRoomRecordSettingsOffset + 8, e.payload.size());
    EXPECT_EQ((QNRoomRecordSettings{0, 5, 0x2010}),
              DecodeRoomRecordSettings(e.payload.data(), e.payload.size()));
    EXPECT_EQ(QNRoomRecordSettings{}, DecodeRoomRecordSettings(e.payload.data(), e.payload.size() - 1))
        << "a short tail is no settings";
    QNViewMode mode;
    e = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_VIEWMODE);
    ASSERT_TRUE(DecodeViewMode(e.payload.data(), e.payload.size(), mode));
    EXPECT_EQ(4, mode.wModeValue);
    server.Stop();
}

TEST_F(RoomLoopbackTest, AMediaShareReachesTheRoomAndLateJoinersUntilItsSharerLeaves)
{
    QNRoomInfo room = alice.Open(u"SHARE", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    const uint16_t chBob = bob.Answer(ACK_CONF_JOIN).wMyChannel;
    ASSERT_NE(kNoIndex, chBob);

    QNMediaShareRecord shared;
    shared.wSharer = bob.wUserIndex;
    shared.wLength = 7200;
    shared.szPath = u"MOVIE.MP4";
    shared.SetVolume(50);
    ASSERT_TRUE(bob.net->SendMediaShareRecord(shared));
    shared.SetPlay(MEDIASHARE_PLAYING);
    shared.SetPosition(3725);
    ASSERT_TRUE(bob.net->SendMediaShareState(shared.dwFlags));
    ASSERT_TRUE(alice.net->SendMediaShareState(0)) << "alice shares nothing: dropped";

    auto record = [](CClient& c, int nth, uint16_t* pSub)
    {
        QNEvent e = c.owner.WaitFor(kMsgRoomPacket, INFO_MEDIASHARE_STATE, nth);
        QNMediaShareRecord r;
        r.wSharer = 0;
        if (e.nMsg != kTimedOut) DecodeMediaShareRecord(e.payload.data(), e.payload.size(), r);
        *pSub = e.wSub;
        return r;
    };
    auto flags = [](CClient& c, int nth, uint16_t* pSub)
    {
        QNEvent e = c.owner.WaitFor(kMsgRoomPacket, INFO_MEDIASHARE_POSITION, nth);
        uint32_t v = 0xFFFFFFFF;
        if (e.nMsg != kTimedOut) DecodeU32(e.payload.data(), e.payload.size(), v);
        *pSub = e.wSub;
        return v;
    };
    uint16_t wSub = 0;
    QNMediaShareRecord heard = record(alice, 1, &wSub);
    EXPECT_EQ(u"MOVIE.MP4", heard.szPath);
    EXPECT_EQ(7200, heard.wLength);
    EXPECT_EQ(chBob, wSub);
    EXPECT_EQ(shared.dwFlags, flags(alice, 1, &wSub));
    EXPECT_EQ(chBob, wSub);

    // A late joiner hears the running share: the record, then its state.
    CClient carol;
    ASSERT_TRUE(carol.Login(server->Port(), u"carol"));
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0, carol.Answer(ACK_CONF_JOIN).wRoomIndex);
    EXPECT_EQ(u"MOVIE.MP4", record(carol, 1, &wSub).szPath);
    EXPECT_EQ(chBob, wSub);
    EXPECT_EQ(shared.dwFlags, flags(carol, 1, &wSub));
    EXPECT_EQ(0, bob.owner.Count(kMsgRoomPacket, INFO_MEDIASHARE_STATE)) << "the sharer hears no echo";

    // Bob leaves: the share ends; carol coming back hears none.
    bob.net->SendConfQuit();
    ASSERT_NE(kTimedOut, carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_QUIT).nMsg);
    carol.net->SendConfQuit();
    ASSERT_NE(kTimedOut, alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_QUIT, 2).nMsg);
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(kTimedOut, carol.owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN, 2).nMsg);
    ASSERT_TRUE(alice.net->SendUserOption({kNoIndex, 1, 1}));
    ASSERT_NE(kTimedOut, carol.owner.WaitFor(kMsgRoomPacket, INFO_CONF_USEROPTION).nMsg);
    EXPECT_EQ(1, carol.owner.Count(kMsgRoomPacket, INFO_MEDIASHARE_STATE));
    EXPECT_EQ(1, alice.owner.Count(kMsgRoomPacket, INFO_MEDIASHARE_POSITION))
        << "alice's own 566 was dropped";
}

TEST_F(RoomLoopbackTest, PushGoesToTheRoomsOthersWithTheSendersIndex)
{
    QNRoomInfo room = alice.Open(u"PUSH", 10);
    ASSERT_NE(0, room.wRoomIndex);
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    bob.Answer(ACK_CONF_JOIN);
    const uint8_t bytes[] = {7, 8, 9};
    // Whatever index the sender writes, the others read the server's.
    ASSERT_TRUE(alice.net->SendPushFile(999, 4, u"notes.txt"));
    ASSERT_TRUE(alice.net->SendPushData(999, bytes, sizeof bytes));
    ASSERT_TRUE(alice.net->SendCmd522(999));

    QNPushFile file;
    QNEvent e = bob.owner.WaitFor(kMsgRoomPacket, INFO_PUSH_BEGIN);
    ASSERT_TRUE(DecodePushFile(e.payload.data(), e.payload.size(), file));
    EXPECT_EQ(alice.wUserIndex, file.wSender);
    EXPECT_EQ(4u, file.dwFileSize);
    EXPECT_EQ(u"notes.txt", file.szFileName);
    QNPushChunk chunk;
    e = bob.owner.WaitFor(kMsgRoomPacket, INFO_PUSH_CHUNK);
    ASSERT_TRUE(DecodePushChunk(e.payload.data(), e.payload.size(), chunk));
    EXPECT_EQ(alice.wUserIndex, chunk.wSender);
    EXPECT_EQ(Bytes(bytes, bytes + 3), Bytes(chunk.pData, chunk.pData + chunk.nLength));
    EXPECT_EQ(alice.wUserIndex, bob.U16Of(INFO_PUSH_CANCEL));
    EXPECT_EQ(0, alice.owner.Count(kMsgRoomPacket, INFO_PUSH_BEGIN)) << "not back to the sender";
}
