// The transport without a peer: the stream parser fed in pieces, the send lists,
// purges and backlog notice, and the inbound routing to the owner.
#include <gtest/gtest.h>

#include <cstring>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/transport/QNInterface.h"
#include "tests/network/QNTestOwner.h"

namespace
{
std::vector<uint8_t> Frame(uint16_t wCommand, std::vector<uint8_t> payload, uint16_t wSub = 0)
{
    SeedRoundKeys zero{}; // the tables of a network object that has not exchanged keys
    return EncodeFrame(wCommand, wSub, payload.data(), payload.size(), zero);
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

class TransportTest : public ::testing::Test
{
protected:
    CTestOwner owner;
    CQNInterface net{&owner, &owner};

    // Feeds the bytes in the given piece sizes (the rest in one piece), then lets
    // the dispatch thread deliver what was complete.
    void Feed(const std::vector<uint8_t>& bytes, std::initializer_list<size_t> pieces = {})
    {
        size_t nPos = 0;
        for (size_t n : pieces)
        {
            net.TakeReceived(bytes.data() + nPos, n);
            nPos += n;
        }
        if (nPos < bytes.size()) net.TakeReceived(bytes.data() + nPos, bytes.size() - nPos);
    }
    std::vector<uint16_t> Delivered()
    {
        std::vector<uint16_t> v;
        for (const QNEvent& e : owner.Events())
            v.push_back(e.wCommand);
        return v;
    }
};
} // namespace

TEST_F(TransportTest, ParserDeliversWholeFramesWhateverTheReadSplits)
{
    ASSERT_TRUE(net.StartPlayer());
    auto a = Frame(INFO_CONF_CHAT, {1, 2, 3});
    auto b = Frame(ACK_KEEP_ALIVE, {9});
    struct
    {
        std::vector<uint8_t> bytes;
        std::initializer_list<size_t> pieces;
        std::vector<uint16_t> expected;
    } cases[] = {
        {Cat({a, b}), {}, {INFO_CONF_CHAT, ACK_KEEP_ALIVE}},             // two frames in one read
        {a, {5}, {INFO_CONF_CHAT}},                                      // a header over two reads
        {Cat({a, b}), {a.size() + 3}, {INFO_CONF_CHAT, ACK_KEEP_ALIVE}}, // the second one split
        {Cat({{0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, a}), {}, {}},       // a bad first byte drops all held
        {Cat({Frame(ACK_KEEP_ALIVE, {}), a}), {}, {ACK_KEEP_ALIVE, INFO_CONF_CHAT}},
    };
    for (auto& c : cases)
    {
        owner.events.clear();
        Feed(c.bytes, c.pieces);
        owner.WaitUntil([&] { return owner.events.size() >= c.expected.size() && net.InboundFrames() == 0; },
                        2);
        EXPECT_EQ(c.expected, Delivered());
        EXPECT_EQ(0u, net.HeldBytes());
    }
    // After a drop the next good frame is delivered.
    owner.events.clear();
    Feed(b);
    EXPECT_EQ(ACK_KEEP_ALIVE, owner.WaitFor(kMsgLobbyPacket, ACK_KEEP_ALIVE).wCommand);
}

TEST_F(TransportTest, ParserDropsImpossibleLengthsAndKeepsGoing)
{
    ASSERT_TRUE(net.StartPlayer());
    for (uint32_t dwLength : {0u, 9u, kMaxFrameLength + 1, 0xFFFFFFFFu})
    {
        std::vector<uint8_t> bad(kFrameHeaderSize + 6, 0);
        PacketHeader h;
        h.wCommand = ACK_KEEP_ALIVE;
        h.dwTotalLength = dwLength;
        h.Write(bad.data());
        Feed(bad);
        EXPECT_EQ(0u, net.HeldBytes()) << dwLength;
    }
    Feed(Frame(ACK_KEEP_ALIVE, {1}));
    EXPECT_EQ(ACK_KEEP_ALIVE, owner.WaitFor(kMsgLobbyPacket, ACK_KEEP_ALIVE).wCommand);
    EXPECT_EQ(1, owner.Count(kMsgLobbyPacket, ACK_KEEP_ALIVE));
}

TEST_F(TransportTest, ForcedLogoutGoesToTheOwnerAndNeverToTheInboundList)
{
    Feed(Cat({Frame(INFO_LOBY_FORCED_LOGOUT, {}), Frame(ACK_KEEP_ALIVE, {1})}));
    // 223 was sent to the owner synchronously on the receiving thread, with lParam 0.
    auto events = owner.Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(kMsgLobbyPacket, events[0].nMsg);
    EXPECT_EQ(INFO_LOBY_FORCED_LOGOUT, events[0].wCommand);
    EXPECT_TRUE(events[0].bNullDesc);
    EXPECT_TRUE(net.IsClosedByServer());
    EXPECT_EQ(1u, net.InboundFrames()); // only the keep-alive answer waits
}

TEST_F(TransportTest, RoutingByCommandWithTheDescriptor)
{
    ASSERT_TRUE(net.StartPlayer());
    struct
    {
        uint16_t wCommand;
        uint16_t wSub;
        size_t nLen;
        uint32_t nMsg;
        uint32_t dwExtra;
    } cases[] = {
        {ACK_SEED_KEY, 0, 128, kMsgLobbyPacket, 0},
        {NAK_LOBY_LOGIN, 1005, 0, kMsgLobbyPacket, 1005},
        {INFO_LOBY_BROADCAST, 0, 4, kMsgLobbyPacket, 0},
        {INFO_CONF_CLOSE, 0, 2, kMsgRoomPacket, 0},
        {272, 0, 4, kMsgRoomPacket, 0},
        {NAK_CONF_JOIN, 1202, 0, kMsgRoomPacket, 1202},
        {INFO_CONF_JOIN, 3, 160, kMsgRoomPacket, 160},
        {INFO_PUSH_CHUNK, 0, 50, kMsgRoomPacket, 48},
        {INFO_PUSH_CHUNK, 0, 1, kMsgRoomPacket, 0},
        {DAT_BOARD_ROOM, 4, 72, kMsgBoardPacket, 4},
        {DAT_BOARD_LOBBY, 4, 72, kMsgBoardPacket, 4},
        {DAT_VIDEO_FRAME, 5, 800, 0, 0},
    };
    for (auto& c : cases)
    {
        std::vector<uint8_t> payload(c.nLen, 0x3C);
        net.InjectInbound(c.wCommand, c.wSub, payload.data(), payload.size());
        QNEvent e = owner.WaitFor(c.nMsg, c.wCommand, 1, 5);
        ASSERT_EQ(c.nMsg, e.nMsg) << c.wCommand;
        EXPECT_EQ(payload, e.payload) << c.wCommand;
        if (c.nMsg)
        {
            EXPECT_EQ(c.dwExtra, e.dwExtra) << c.wCommand;
        }
        else
        {
            EXPECT_EQ(c.wSub, e.wSub);
        }
        owner.events.clear();
    }
    // The server table of 21 went into the session record before the owner saw it.
    EXPECT_EQ(0x3C3C3C3Cu, net.Codec().ServerRoundKeys()[0]);
}

TEST_F(TransportTest, ReceivedFramesAreDecodedOrUnmaskedOnTheirPath)
{
    ASSERT_TRUE(net.StartPlayer());
    std::vector<uint8_t> text = {'h', 0, 'i', 0};
    Feed(Cat({Frame(DAT_VOICE, {1, 2, 3}, 9), Frame(INFO_CONF_CHAT, text), Frame(DAT_BOARD_ROOM, {5, 6})}));
    // Voice was handed over on the receiving thread, unmasked.
    auto events = owner.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(DAT_VOICE, events[0].wCommand);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), events[0].payload);
    EXPECT_EQ(9, events[0].wSub);
    EXPECT_EQ(text, owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT).payload);
    EXPECT_EQ((std::vector<uint8_t>{5, 6}), owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM).payload);

    // A ciphered frame with a padding count above its payload, or a partial block,
    // is dropped; the one after it arrives.
    std::vector<uint8_t> badPad(kFrameHeaderSize);
    PacketHeader h;
    h.byPadding = 5;
    h.wCommand = INFO_SERVER_NOTICE;
    h.dwTotalLength = kFrameHeaderSize;
    h.Write(badPad.data());
    std::vector<uint8_t> partial(kFrameHeaderSize + 17, 0x11);
    h.byPadding = 0;
    h.dwTotalLength = static_cast<uint32_t>(partial.size());
    h.Write(partial.data());
    Feed(Cat({badPad, partial, Frame(ACK_KEEP_ALIVE, {4})}));
    EXPECT_EQ(ACK_KEEP_ALIVE, owner.WaitFor(kMsgLobbyPacket, ACK_KEEP_ALIVE).wCommand);
    EXPECT_EQ(0, owner.Count(kMsgLobbyPacket, INFO_SERVER_NOTICE));
}

TEST_F(TransportTest, InboundListDropsMediaFirstWhenTheOwnerFallsBehind)
{
    // No dispatch thread: everything waits.
    std::vector<uint8_t> big(1 << 20, 1);
    for (int i = 0; i < 40; ++i)
        net.InjectInbound(DAT_VIDEO_FRAME, 0, big.data(), big.size());
    EXPECT_LE(net.InboundFrames(), kMaxInboundBytes / big.size());
    for (int i = 0; i < 20; ++i)
        net.InjectInbound(INFO_CONF_CHAT, 0, big.data(), big.size());
    EXPECT_EQ(20u, net.InboundFrames()); // every chat frame kept, the video made room
    net.InjectInbound(DAT_VIDEO_FRAME, 0, big.data(), 10);
    net.PurgeInboundMedia();
    EXPECT_EQ(20u, net.InboundFrames());
}

TEST_F(TransportTest, SendListsAreServedControlFirst)
{
    uint16_t queued[] = {DAT_VIDEO_FRAME, DAT_MOVIE_AUDIO, DAT_BOARD_ROOM, DAT_MOVIE_VIDEO, DAT_VIDEO_2020,
                         CMD_CONF_CHAT,   DAT_VIDEO,       DAT_MSG_FILE,   DAT_VOICE,       CMD_KEEP_ALIVE};
    for (uint16_t c : queued)
        net.QueueFrame(Frame(c, {1}));
    std::vector<uint16_t> order;
    std::vector<uint8_t> f;
    while (net.NextFrameToSend(f))
        order.push_back(PacketHeader::Read(f.data()).wCommand);
    std::vector<uint16_t> expected = {CMD_CONF_CHAT,   DAT_VOICE,      CMD_KEEP_ALIVE,  DAT_BOARD_ROOM,
                                      DAT_MSG_FILE,    DAT_VIDEO_2020, DAT_VIDEO_FRAME, DAT_VIDEO,
                                      DAT_MOVIE_VIDEO, DAT_MOVIE_AUDIO};
    EXPECT_EQ(expected, order);
}

TEST_F(TransportTest, PurgesKeepWhatTheyMust)
{
    auto fill = [&]
    {
        for (uint16_t c :
             {CMD_CONF_CHAT, DAT_VOICE, DAT_CONF_UPLOAD, DAT_CONF_UPLOAD_END, DAT_MSG_FILE, DAT_BOARD_ROOM,
              DAT_PUSH_CHUNK, DAT_VIDEO_FRAME, DAT_MOVIE_VIDEO, DAT_MOVIE_AUDIO, DAT_VIDEO_2020})
            net.QueueFrame(Frame(c, {1}));
    };
    auto counts = [&]
    {
        std::vector<size_t> v;
        for (size_t i = 0; i < kSendListCount; ++i)
            v.push_back(net.QueuedFrames(i));
        return v;
    };
    fill();
    EXPECT_EQ((std::vector<size_t>{2, 5, 1, 1, 1, 1}), counts());
    EXPECT_EQ(0, net.IsUploadIdle());
    net.PurgeVoiceQueue();
    net.ClearVideoQueue();
    net.ClearMediaShareQueue();
    net.ClearShareVoiceQueue();
    EXPECT_EQ((std::vector<size_t>{1, 5, 0, 0, 0, 1}), counts());
    net.ClearSendQueues(false); // leaving a room: 503, 506 and 640 stay
    EXPECT_EQ((std::vector<size_t>{0, 3, 0, 0, 0, 0}), counts());
    net.ClearSendQueues(true);
    EXPECT_EQ((std::vector<size_t>{0, 0, 0, 0, 0, 0}), counts());
    EXPECT_EQ(1, net.IsUploadIdle());
    net.QueueFrame(Frame(DAT_MSG_FILE, {1}));
    EXPECT_EQ(1, net.IsUploadIdle());
}

TEST_F(TransportTest, BacklogNoticeAtMostOnceInTenSecondsAndOnlyWithFewFramesWaiting)
{
    uint32_t now = 1000;
    net.SetClock([&] { return now; });
    owner.bWantsBacklog = true;
    net.QueueFrame(Frame(CMD_CONF_CHAT, {1}));
    EXPECT_EQ(1, owner.nBacklogNotices);
    now = 1009;
    net.QueueFrame(Frame(CMD_CONF_CHAT, {1}));
    EXPECT_EQ(1, owner.nBacklogNotices); // within 10 s
    for (int i = 0; i < 5; ++i)
        net.QueueFrame(Frame(CMD_CONF_CHAT, {1}));
    now = 1010;
    net.QueueFrame(Frame(CMD_CONF_CHAT, {1})); // 8 waiting
    EXPECT_EQ(1, owner.nBacklogNotices);
    net.ClearSendQueues(true);
    now = 1019;
    net.QueueFrame(Frame(CMD_CONF_CHAT, {1})); // the 1010 check counts: still too soon
    EXPECT_EQ(1, owner.nBacklogNotices);
    now = 1020;
    net.QueueFrame(Frame(CMD_CONF_CHAT, {1}));
    EXPECT_EQ(2, owner.nBacklogNotices);
    owner.bWantsBacklog = false; // no room control window in mode 2
    now = 1040;
    net.QueueFrame(Frame(CMD_CONF_CHAT, {1}));
    EXPECT_EQ(2, owner.nBacklogNotices);
}

TEST_F(TransportTest, BuildersSendNothingBeforeTheKeyNorWithoutAUserIndex)
{
    EXPECT_FALSE(net.SendLogin(u"alice", u"", 0, false)); // no key yet
    net.SendSeedKey();
    EXPECT_TRUE(net.SendLogin(u"alice", u"", 0, false));
    EXPECT_FALSE(net.SendChatText(0, u"hi")); // no user index before 201
    std::vector<uint8_t> f;
    ASSERT_TRUE(net.NextFrameToSend(f));
    EXPECT_EQ(CMD_SEED_KEY, PacketHeader::Read(f.data()).wCommand);
    ASSERT_TRUE(net.NextFrameToSend(f));
    EXPECT_EQ(CMD_LOBY_LOGIN, PacketHeader::Read(f.data()).wCommand);
    EXPECT_FALSE(net.NextFrameToSend(f));
}

namespace
{
// Keeps what the recorder would be handed.
class CRecordingInterface : public CQNInterface
{
public:
    using CQNInterface::CQNInterface;
    void RecordFrame(uint16_t wCommand, const uint8_t* p, size_t n, bool) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        recorded.push_back({wCommand, std::vector<uint8_t>(p, p + n)});
    }
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> Recorded()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return recorded;
    }

private:
    std::mutex m_lock;
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> recorded;
};

void LogIn(CQNInterface& net, CTestOwner& owner, uint16_t wUserIndex)
{
    Bytes ack;
    EncodeLoginAck({1, wUserIndex, 0, u"alice", u"Alice"}, ack);
    net.InjectInbound(ACK_LOBY_LOGIN, 0, ack.data(), ack.size());
    owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN);
}
} // namespace

TEST(TransportRecording, RecordableFramesBothWaysReachTheRecorderWithPlainPayloads)
{
    CTestOwner owner;
    CRecordingInterface net(&owner, &owner);
    ASSERT_TRUE(net.StartPlayer());
    net.SendSeedKey();
    LogIn(net, owner, 5);
    EXPECT_EQ(5, net.Record().MyUserIndex());
    ASSERT_TRUE(net.SendChatText(1, u"x"));
    std::vector<uint8_t> video(40, 9);
    net.SendVideo(DAT_VIDEO, video.data(), video.size()); // 2000 is never recorded
    net.SendVideo(DAT_VIDEO_FRAME, video.data(), video.size());
    SeedRoundKeys keys = net.Codec().ClientRoundKeys();
    std::vector<uint8_t> chat = {1, 2, 3};
    std::vector<uint8_t> in = EncodeFrame(INFO_CONF_CHAT, 0, chat.data(), chat.size(), keys);
    net.TakeReceived(in.data(), in.size());
    owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT);
    net.InjectInbound(INFO_CONF_CHAT, 0, chat.data(), chat.size()); // played back: not recorded again
    owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT, 2);

    auto rec = net.Recorded();
    ASSERT_EQ(3u, rec.size());
    EXPECT_EQ(CMD_CONF_CHAT, rec[0].first);
    EXPECT_EQ(DAT_VIDEO_FRAME, rec[1].first);
    EXPECT_EQ(video, rec[1].second);
    EXPECT_EQ(INFO_CONF_CHAT, rec[2].first);
    EXPECT_EQ(chat, rec[2].second);
}

TEST(TransportRecording, PlayerModeSendsNoRecordableCommandAndTheRecordCanStartOver)
{
    CTestOwner owner;
    owner.bPlayer = true;
    CQNInterface net(&owner, &owner);
    ASSERT_TRUE(net.StartPlayer());
    net.SendSeedKey();
    LogIn(net, owner, 5);
    EXPECT_FALSE(net.SendChatText(0, u"x"));
    EXPECT_TRUE(net.SendKeepAlive());
    std::vector<uint8_t> f;
    std::vector<uint16_t> queued;
    while (net.NextFrameToSend(f))
        queued.push_back(PacketHeader::Read(f.data()).wCommand);
    EXPECT_EQ((std::vector<uint16_t>{CMD_SEED_KEY, CMD_KEEP_ALIVE}), queued);
    net.ResetSessionRecord();
    EXPECT_EQ(kNoIndex, net.Record().MyUserIndex());
}
