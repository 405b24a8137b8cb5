// Calls out of a room and the phone book at the loopback server, through the network object's
// own builders: an answered call brings a phone member to everyone, hanging up sends it out,
// refusals carry their codes, and the phone book is stored, answered and refused byte for byte.
#include <gtest/gtest.h>

#include <memory>

#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopServer.h"
#include "tests/core/TestLogs.h"
#include "tests/network/QNTestOwner.h"

namespace
{
constexpr uint32_t kCallTimedOut = 0xFFFFFFFF;

class CCallNetwork : public CQNInterface
{
public:
    using CQNInterface::CQNInterface;
    using CQNInterface::SendCommand;
    ~CCallNetwork() override { StopThreads(); }
};

struct CCallClient
{
    CTestOwner owner;
    std::unique_ptr<CCallNetwork> net = std::make_unique<CCallNetwork>(&owner, &owner);

    bool Login(uint16_t wPort, const std::u16string& szId)
    {
        if (!net->Connect("127.0.0.1", wPort)) return false;
        if (owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == kCallTimedOut) return false;
        net->SendLogin(szId, u"", 0, false);
        return owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg != kCallTimedOut;
    }
    QNRoomInfo Enter(uint16_t wAck)
    {
        QNRoomInfo r;
        QNEvent e = owner.WaitFor(kMsgRoomPacket, wAck);
        if (e.nMsg == kCallTimedOut || !DecodeRoomInfo(e.payload.data(), e.payload.size(), r))
            r.wRoomIndex = 0;
        return r;
    }
    // The nth room user record of a command (323 or 332).
    std::optional<QNRoomUser> User(uint16_t wCommand, int nth)
    {
        QNEvent e = owner.WaitFor(kMsgRoomPacket, wCommand, nth);
        QNRoomUser u;
        if (e.nMsg == kCallTimedOut || !DecodeRoomUser(e.payload.data(), e.payload.size(), u))
            return std::nullopt;
        return u;
    }
};

Bytes PhoneMemberBytes(const QNRoomUser& heard, uint16_t wCamType, const std::u16string& szNumber)
{
    QNRoomUser want;
    want.wChannel = heard.wChannel;
    want.wUserIndex = heard.wUserIndex;
    want.wLevel = 2;
    want.wCamType = wCamType;
    want.szUserId = want.szName = szNumber;
    Bytes b;
    EncodeRoomUser(want, b);
    return b;
}

class CallLoopbackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LoopConfig cfg = DefaultLoopConfig();
        ASSERT_TRUE(
            ParseLoopConfig("call 0299990001 fail 101\ncall 0299990002 ring\ncallanswer 50\n", cfg, nullptr));
        cfg.phoneBooks[u"bob"] = u"Desk = 0;1234\n";
        server = std::make_unique<CLoopServer>(cfg, &log);
        ASSERT_TRUE(server->Start(0));
        ASSERT_TRUE(alice.Login(server->Port(), u"alice"));
        ASSERT_TRUE(bob.Login(server->Port(), u"bob"));
    }
    void TearDown() override { server->Stop(); }
    // alice opens a room of nMax seats and bob joins it when there is a seat for him.
    uint16_t OpenRoom(uint16_t wMax)
    {
        QNConfOpen open;
        open.wRoomType = 1;
        open.wMaxUser = wMax;
        open.szTitle = u"Calls";
        open.szConfCode = u"CALLS";
        alice.net->SendConfOpen(open);
        QNRoomInfo room = alice.Enter(ACK_CONF_OPEN);
        if (wMax > 1)
        {
            bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
            bob.Enter(ACK_CONF_JOIN);
        }
        return room.wRoomIndex;
    }

    CNullLog log;
    std::unique_ptr<CLoopServer> server;
    CCallClient alice, bob;
};
} // namespace

TEST_F(CallLoopbackTest, AnsweredCallBringsAPhoneMemberThatHangingUpSendsOut)
{
    ASSERT_NE(0, OpenRoom(10));
    // alice hears two 323 on entering (herself, then bob), bob two on joining (alice, himself).
    ASSERT_TRUE(alice.User(INFO_CONF_JOIN, 2));
    ASSERT_TRUE(bob.User(INFO_CONF_JOIN, 2));

    ASSERT_TRUE(alice.net->SendPhoneCall({kCallTelephone | kCallVoice, u"0212345678"}));
    QNEvent answer = alice.owner.WaitFor(kMsgRoomPacket, INFO_CALL_END);
    ASSERT_NE(kCallTimedOut, answer.nMsg);
    EXPECT_TRUE(answer.payload.empty());
    std::optional<QNRoomUser> atAlice = alice.User(INFO_CONF_JOIN, 3);
    std::optional<QNRoomUser> atBob = bob.User(INFO_CONF_JOIN, 3);
    ASSERT_TRUE(atAlice && atBob);
    EXPECT_EQ(PhoneMemberBytes(*atAlice, 1, u"0212345678"),
              alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, 3).payload);
    EXPECT_EQ(PhoneMemberBytes(*atAlice, 1, u"0212345678"),
              bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, 3).payload);
    EXPECT_EQ(2u, server->RoomMembers(alice.net->Record().RoomIndex()).size()) << "a phone is no connection";

    // bob did not place the call and does not preside: his 400 changes nothing. alice's does.
    ASSERT_TRUE(bob.net->SendBanish(atBob->wUserIndex, atBob->wChannel));
    ASSERT_TRUE(alice.net->SendBanish(atAlice->wUserIndex, atAlice->wChannel));
    std::optional<QNRoomUser> goneAtAlice = alice.User(INFO_CONF_QUIT, 1);
    std::optional<QNRoomUser> goneAtBob = bob.User(INFO_CONF_QUIT, 1);
    ASSERT_TRUE(goneAtAlice && goneAtBob);
    EXPECT_EQ(atAlice->wChannel, goneAtAlice->wChannel);
    EXPECT_EQ(u"0212345678", goneAtBob->szUserId);

    // A terminal answers as camera type 2; the next member takes the channel the phone left.
    ASSERT_TRUE(alice.net->SendPhoneCall({kCallTerminal, u"10.0.0.1"}));
    std::optional<QNRoomUser> terminal = bob.User(INFO_CONF_JOIN, 4);
    ASSERT_TRUE(terminal);
    EXPECT_EQ(2, terminal->wCamType);
    EXPECT_EQ(atAlice->wChannel, terminal->wChannel);
    EXPECT_EQ(1, bob.owner.Count(kMsgRoomPacket, INFO_CONF_QUIT));
}

TEST_F(CallLoopbackTest, RefusedAndRingingCallsBringNoMember)
{
    ASSERT_NE(0, OpenRoom(10));
    struct
    {
        const char* pszCase;
        QNPhoneCall call;
        uint16_t wCode;
    } cases[] = {
        {"video call to a telephone", {kCallTelephone, u"0212345678"}, 108},
        {"configured failure", {kCallTelephone | kCallVoice, u"0299990001"}, 101},
    };
    int nth = 0;
    for (const auto& c : cases)
    {
        ASSERT_TRUE(alice.net->SendPhoneCall(c.call));
        QNEvent nak = alice.owner.WaitFor(kMsgRoomPacket, NAK_CALL, ++nth);
        EXPECT_EQ(c.wCode, nak.dwExtra) << c.pszCase;
        EXPECT_TRUE(nak.payload.empty()) << c.pszCase;
    }

    // A ringing number keeps the room's line: a second call is refused with 2 until alice hangs up.
    ASSERT_TRUE(alice.net->SendPhoneCall({kCallTelephone | kCallVoice, u"0299990002"}));
    ASSERT_TRUE(alice.net->SendPhoneCall({kCallTelephone | kCallVoice, u"0212345678"}));
    EXPECT_EQ(2u, alice.owner.WaitFor(kMsgRoomPacket, NAK_CALL, ++nth).dwExtra);
    ASSERT_TRUE(alice.net->SendCmd810());
    ASSERT_NE(kCallTimedOut, alice.owner.WaitFor(kMsgRoomPacket, INFO_CALL_END).nMsg);
    // An 810 with nothing being placed is not answered; the line is free again.
    ASSERT_TRUE(alice.net->SendCmd810());
    ASSERT_TRUE(alice.net->SendPhoneCall({kCallTelephone | kCallVoice, u"0212345678"}));
    ASSERT_TRUE(bob.User(INFO_CONF_JOIN, 3));
    ASSERT_NE(kCallTimedOut, alice.owner.WaitFor(kMsgRoomPacket, INFO_CALL_END, 2).nMsg);
    EXPECT_EQ(3, bob.owner.Count(kMsgRoomPacket, INFO_CONF_JOIN)) << "the ringing number never joined";
}

TEST_F(CallLoopbackTest, AFullRoomRefusesACall)
{
    ASSERT_NE(0, OpenRoom(1));
    ASSERT_TRUE(alice.net->SendPhoneCall({kCallTelephone | kCallVoice, u"0212345678"}));
    EXPECT_EQ(109u, alice.owner.WaitFor(kMsgRoomPacket, NAK_CALL).dwExtra);
}

TEST_F(CallLoopbackTest, PhoneBookIsStoredAnsweredAndRefused)
{
    auto query = [](CCallClient& c, uint16_t wCommand, int nth)
    {
        c.net->SendTerminalQuery();
        return c.owner.WaitFor(kMsgRoomPacket, wCommand, nth);
    };
    // Nothing stored for alice yet; bob's was preloaded.
    EXPECT_EQ(1406u, query(alice, NAK_PRIVATE_LOADDATA, 1).dwExtra);
    EXPECT_EQ(Bytes({2, 0,   30, 0,   'D', 0,   'e', 0,   's', 0,   'k', 0,   ' ', 0,    '=', 0, ' ',
                     0, '0', 0,  ';', 0,   '1', 0,   '2', 0,   '3', 0,   '4', 0,   '\n', 0,   0, 0}),
              query(bob, ACK_PRIVATE_LOADDATA, 1).payload);

    ASSERT_TRUE(alice.net->SendTerminalCall(u"A = 0;1\n"));
    Bytes stored;
    EncodePrivateData({kPrivateDataPhoneBook, u"A = 0;1\n"}, stored);
    EXPECT_EQ(stored, query(alice, ACK_PRIVATE_LOADDATA, 1).payload);

    // 3999 characters and the terminator fit; one more is refused and the book stays.
    ASSERT_TRUE(alice.net->SendTerminalCall(std::u16string(4000, u'x')));
    EXPECT_EQ(1407u, alice.owner.WaitFor(kMsgRoomPacket, NAK_PRIVATE_SAVEDATA, 1).dwExtra);
    EXPECT_EQ(stored, query(alice, ACK_PRIVATE_LOADDATA, 2).payload);
    // A length field that does not count the text is refused too.
    const Bytes liar = {2, 0, 8, 0, 'A', 0, 0, 0};
    ASSERT_TRUE(alice.net->SendCommand(CMD_PRIVATE_SAVEDATA, 0, liar.data(), liar.size()));
    EXPECT_EQ(1407u, alice.owner.WaitFor(kMsgRoomPacket, NAK_PRIVATE_SAVEDATA, 2).dwExtra);
    ASSERT_TRUE(alice.net->SendTerminalCall(std::u16string(3999, u'y')));
    EXPECT_EQ(8004u, query(alice, ACK_PRIVATE_LOADDATA, 3).payload.size());

    // An empty text clears it.
    ASSERT_TRUE(alice.net->SendTerminalCall(u""));
    EXPECT_EQ(1406u, query(alice, NAK_PRIVATE_LOADDATA, 2).dwExtra);
    EXPECT_EQ(2, alice.owner.Count(kMsgRoomPacket, NAK_PRIVATE_SAVEDATA));
}
