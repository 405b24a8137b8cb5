// The whole client against the loopback server: key exchange, login, two users
// in one room exchanging chat and video, the send-side notices, forced logout,
// stopping while the owner is busy, and every fault the server can play.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "confclient/network/QNCommands.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/record/RecordReader.h"
#include "confclient/network/record/RecordStatus.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopServer.h"
#include "tests/network/QNTestOwner.h"
#include "tests/core/TestLogs.h"

namespace
{
struct CClient
{
    CTestOwner owner;
    std::unique_ptr<CQNInterface> net = std::make_unique<CQNInterface>(&owner, &owner);

    // Connects and logs in; returns the own user index, or 65535.
    uint16_t Login(uint16_t wPort, const std::u16string& szId)
    {
        if (!net->Connect("127.0.0.1", wPort)) return kNoIndex;
        if (owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == 0xFFFFFFFF) return kNoIndex;
        net->SendLogin(szId, u"", 0, false);
        QNEvent ack = owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN);
        QNLoginAck a;
        if (ack.nMsg == 0xFFFFFFFF || !DecodeLoginAck(ack.payload.data(), ack.payload.size(), a))
            return kNoIndex;
        return a.wUserIndex;
    }
    // Joins a room; returns the own channel, or 65535.
    uint16_t Join(uint16_t wRoom)
    {
        net->SendConfJoin(wRoom, u"", u"");
        QNEvent ack = owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN);
        QNRoomInfo r;
        if (ack.nMsg == 0xFFFFFFFF || !DecodeRoomInfo(ack.payload.data(), ack.payload.size(), r))
            return kNoIndex;
        return r.wMyChannel;
    }
};

class LoopbackTest : public ::testing::Test
{
protected:
    void Serve(std::vector<LoopFault> scenario = {})
    {
        LoopConfig cfg = DefaultLoopConfig();
        cfg.scenario = std::move(scenario);
        server = std::make_unique<CLoopServer>(cfg, &log);
        ASSERT_TRUE(server->Start(0));
    }
    void TearDown() override
    {
        if (server) server->Stop();
    }
    // Alice and Bob in room 1, Alice's temporary files in a new folder of that name.
    std::filesystem::path BothInRoomRecording(CClient& alice, CClient& bob, const std::string& szFolder)
    {
        namespace fs = std::filesystem;
        fs::path folder =
            fs::temp_directory_path() /
            (szFolder + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(folder);
        alice.owner.tempFolder = folder;
        EXPECT_NE(kNoIndex, alice.Login(server->Port(), u"alice"));
        EXPECT_NE(kNoIndex, bob.Login(server->Port(), u"bob"));
        EXPECT_NE(kNoIndex, alice.Join(1));
        EXPECT_NE(kNoIndex, bob.Join(1));
        EXPECT_NE(0xFFFFFFFF, alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, 2).nMsg);
        return folder;
    }

    CNullLog log;
    std::unique_ptr<CLoopServer> server;
};
} // namespace

TEST_F(LoopbackTest, TwoClientsLogInJoinOneRoomAndExchangeChatAndVideo)
{
    Serve();
    CClient alice, bob;
    uint16_t wAlice = alice.Login(server->Port(), u"alice");
    ASSERT_NE(kNoIndex, wAlice);
    ASSERT_NE(kNoIndex, bob.Login(server->Port(), u"bob"));
    EXPECT_EQ(kConnConnected, alice.owner.WaitFor(kMsgConnectionState, kConnConnected).wCommand);
    EXPECT_EQ((std::vector<uint16_t>{CMD_SEED_KEY, CMD_SEED_KEY}), server->FirstCommands());
    EXPECT_EQ(wAlice, alice.net->Record().MyUserIndex());
    EXPECT_EQ(u"Alice", alice.net->Record().Me().szName);
    EXPECT_TRUE(alice.net->IsConnected());
    // The lobby lists came, and alice heard of bob.
    EXPECT_NE(0xFFFFFFFF, bob.owner.WaitFor(kMsgLobbyPacket, DAT_LOBY_CONFLIST).nMsg);
    EXPECT_NE(0xFFFFFFFF, alice.owner.WaitFor(kMsgLobbyPacket, INFO_USER_LOGIN).nMsg);

    uint16_t chAlice = alice.Join(1);
    uint16_t chBob = bob.Join(1);
    ASSERT_NE(kNoIndex, chAlice);
    ASSERT_NE(kNoIndex, chBob);
    EXPECT_NE(chAlice, chBob);
    EXPECT_EQ(1, alice.net->Record().RoomIndex());
    // Alice learns of bob (323 with the length as extra), bob of both members.
    QNEvent join = alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, 2);
    EXPECT_EQ(kRoomUserSize, join.dwExtra);
    EXPECT_NE(0xFFFFFFFF, bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_JOIN, 2).nMsg);
    EXPECT_NE(0xFFFFFFFF, bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_PRESIDER).nMsg);
    // The network object's own record knows bob in the room.
    S_VUSERINFO bobInfo;
    ASSERT_TRUE(alice.net->Record().FindUser(bob.net->Record().MyUserIndex(), bobInfo));
    EXPECT_EQ(chBob, bobInfo.wChannel);
    EXPECT_EQ(u"Bob", bobInfo.szName);

    ASSERT_TRUE(alice.net->SendChatText(0xFF0000, u"good morning"));
    QNChat chat;
    QNEvent line = bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT);
    ASSERT_TRUE(DecodeChat(line.payload.data(), line.payload.size(), chat));
    EXPECT_EQ(u"good morning", chat.szText);
    EXPECT_EQ(alice.net->Record().MyUserIndex(), chat.wSenderUserIndex);
    EXPECT_EQ(chAlice, line.wSub);

    std::vector<uint8_t> video(8192);
    for (size_t i = 0; i < video.size(); ++i)
        video[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(alice.net->SendVideo(DAT_VIDEO_FRAME, video.data(), video.size()));
    QNEvent frame = bob.owner.WaitFor(0, DAT_VIDEO_FRAME);
    EXPECT_EQ(video, frame.payload);
    EXPECT_EQ(chAlice, frame.wSub);

    // Board data and voice are relayed the same way, on their own paths.
    std::vector<uint8_t> board(72, 0x11), voice(320, 0x22);
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, board.data(), board.size()));
    // Voice for the recording only stays home while no recording runs; live voice goes.
    std::vector<uint8_t> recordOnly(40, 0x33);
    EXPECT_FALSE(alice.net->SendVoice(recordOnly.data(), recordOnly.size(), 2));
    ASSERT_TRUE(alice.net->SendVoice(voice.data(), voice.size()));
    QNEvent boardIn = bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM);
    EXPECT_EQ(board, boardIn.payload);
    EXPECT_EQ(chAlice, boardIn.dwExtra);
    EXPECT_EQ(voice, bob.owner.WaitFor(0, DAT_VOICE).payload);
    // An agenda order comes back to its sender too.
    std::vector<uint8_t> order(80, 0);
    order[0] = 53;
    order[4] = 8;
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, order.data(), order.size()));
    EXPECT_EQ(order, alice.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM).payload);
    EXPECT_EQ(order, bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 2).payload);
    // A delete check (mode request "Edit_Del") is granted to its sender as a mode change (code 2);
    // the others get the request, as they get any other mode name.
    auto mode = [](const char* pszName, uint8_t byCode = 1)
    {
        std::vector<uint8_t> m(72, 0);
        m[0] = byCode;
        for (size_t i = 0; pszName[i]; ++i)
            m[8 + i * 2] = static_cast<uint8_t>(pszName[i]);
        return m;
    };
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, mode("Capture").data(), 72));
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, mode("Edit_Del").data(), 72));
    EXPECT_EQ(mode("Edit_Del", 2), alice.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 2).payload);
    EXPECT_EQ(mode("Capture"), bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 3).payload);
    EXPECT_EQ(mode("Edit_Del"), bob.owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, 4).payload);

    // Leaving: bob hears of it.
    ASSERT_TRUE(alice.net->SendConfQuit());
    EXPECT_NE(0xFFFFFFFF, bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_QUIT).nMsg);
    EXPECT_EQ(0, alice.net->Record().RoomIndex());
}

TEST_F(LoopbackTest, SentFramesAreReportedWithTheirDataBytes)
{
    Serve();
    CClient alice;
    ASSERT_NE(kNoIndex, alice.Login(server->Port(), u"alice"));
    std::vector<uint8_t> chunk(100, 0x42);
    ASSERT_TRUE(alice.net->SendPushData(3, chunk.data(), chunk.size()));
    ASSERT_TRUE(alice.net->SendFileData(3, 17, chunk.data(), 33));
    ASSERT_TRUE(alice.net->SendBoardData(DAT_BOARD_ROOM, chunk.data(), 72));
    std::vector<uint8_t> big(70000, 1); // past 16 bits
    ASSERT_TRUE(alice.net->SendPushData(3, big.data(), big.size()));
    CTestOwner& o = alice.owner;
    ASSERT_TRUE(o.WaitUntil(
        [&] { return o.pushChunks.size() == 2 && !o.fileBlocks.empty() && !o.boardSent.empty(); }));
    EXPECT_EQ(100u, o.pushChunks[0]);
    EXPECT_EQ(70000u, o.pushChunks[1]);
    EXPECT_EQ(17, o.fileBlocks[0].first);
    EXPECT_EQ(33u, o.fileBlocks[0].second);
    EXPECT_EQ(DAT_BOARD_ROOM, o.boardSent[0].first);
    EXPECT_EQ(std::vector<uint8_t>(72, 0x42), o.boardSent[0].second); // unmasked
}

TEST_F(LoopbackTest, ForcedLogoutThenLossReportsClosedByServerOnce)
{
    Serve({LoopFault::ForcedLogout});
    CClient alice;
    ASSERT_NE(kNoIndex, alice.Login(server->Port(), u"alice"));
    alice.net->SendKeepAlive();
    QNEvent forced = alice.owner.WaitFor(kMsgLobbyPacket, INFO_LOBY_FORCED_LOGOUT);
    EXPECT_TRUE(forced.bNullDesc);
    QNEvent closed = alice.owner.WaitFor(kMsgConnectionState, kConnClosed);
    EXPECT_EQ(1u, closed.dwExtra);
    EXPECT_FALSE(alice.net->IsConnected());
    alice.net->StopThreads();
    EXPECT_EQ(1, alice.owner.Count(kMsgConnectionState, kConnClosed));
}

TEST_F(LoopbackTest, SecondLoginOfOneIdBanishesTheFirst)
{
    Serve();
    CClient first, second;
    ASSERT_NE(kNoIndex, first.Login(server->Port(), u"carol"));
    ASSERT_TRUE(second.net->Connect("127.0.0.1", server->Port()));
    second.owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY);
    second.net->SendLogin(u"carol", u"", 0, false);
    EXPECT_EQ(1000u, second.owner.WaitFor(kMsgLobbyPacket, NAK_LOBY_LOGIN).dwExtra);
    EXPECT_EQ(1000, second.net->TakeLastSub());
    second.net->SendCmd220(u"carol");
    EXPECT_NE(0xFFFFFFFF, second.owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_BANISH).nMsg);
    EXPECT_EQ(1u, first.owner.WaitFor(kMsgConnectionState, kConnClosed).dwExtra);
    second.net->SendLogin(u"carol", u"", 0, false);
    EXPECT_NE(0xFFFFFFFF, second.owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg);
}

TEST_F(LoopbackTest, StopWhileTheOwnerIsBusyInAHandlerWaitsForIt)
{
    Serve();
    CClient alice;
    std::atomic<bool> bInHandler{false}, bHandlerDone{false};
    alice.owner.onPacket = [&](uint16_t wCommand)
    {
        if (wCommand != ACK_KEEP_ALIVE) return;
        bInHandler = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        bHandlerDone = true;
    };
    ASSERT_NE(kNoIndex, alice.Login(server->Port(), u"alice"));
    alice.net->SendKeepAlive();
    while (!bInHandler)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    alice.net->StopThreads();
    EXPECT_TRUE(bHandlerDone);
    alice.net.reset();                                                 // nothing runs on it any more
    EXPECT_EQ(0, alice.owner.Count(kMsgConnectionState, kConnClosed)); // a local close is no loss
}

TEST_F(LoopbackTest, EveryStreamFaultLeavesTheClientAliveAndTheNextFrameDelivered)
{
    std::vector<LoopFault> faults = {LoopFault::BadFirstByte, LoopFault::ShortLength,  LoopFault::LongLength,
                                     LoopFault::BadPadding,   LoopFault::PartialBlock, LoopFault::Delay};
    Serve(faults);
    CClient alice;
    ASSERT_NE(kNoIndex, alice.Login(server->Port(), u"alice"));
    for (size_t i = 1; i <= faults.size(); ++i)
    {
        ASSERT_TRUE(alice.net->SendKeepAlive());
        EXPECT_NE(0xFFFFFFFF, alice.owner.WaitFor(kMsgLobbyPacket, ACK_KEEP_ALIVE, static_cast<int>(i)).nMsg)
            << i;
    }
    EXPECT_EQ(0, alice.owner.Count(kMsgLobbyPacket, INFO_SERVER_NOTICE));
    EXPECT_EQ(0, alice.owner.Count(kMsgConnectionState, kConnClosed));
}

TEST_F(LoopbackTest, ClosesByTheServerAreReportedOnceAsLosses)
{
    for (LoopFault fault : {LoopFault::CloseMidFrame, LoopFault::Close})
    {
        Serve({fault});
        CClient alice;
        ASSERT_NE(kNoIndex, alice.Login(server->Port(), u"alice"));
        alice.net->SendKeepAlive();
        EXPECT_EQ(0u, alice.owner.WaitFor(kMsgConnectionState, kConnClosed).dwExtra);
        EXPECT_EQ(0, alice.owner.Count(kMsgLobbyPacket, ACK_KEEP_ALIVE));
        // A send after the loss finds the socket gone; it is not a second report.
        alice.net->SendKeepAlive();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        alice.net->StopThreads();
        EXPECT_EQ(1, alice.owner.Count(kMsgConnectionState, kConnClosed));
        server->Stop();
    }
}

TEST_F(LoopbackTest, ConnectFailureIsReportedAndNoThreadRuns)
{
    CClient alice;
    Serve();
    uint16_t wPort = server->Port();
    server->Stop(); // nobody listens there now
    EXPECT_EQ(0, alice.net->Connect("127.0.0.1", wPort));
    EXPECT_EQ(kConnFailed, alice.owner.WaitFor(kMsgConnectionState, kConnFailed).wCommand);
    EXPECT_EQ(0, alice.net->Connect(std::string(200, '1').c_str(), wPort)); // does not fit the address field
}

TEST_F(LoopbackTest, ManyClientsAtOnceEachHearOfTheOthers)
{
    LoopConfig cfg = DefaultLoopConfig();
    const int nClients = 12;
    for (int i = 0; i < nClients; ++i)
        cfg.users.push_back({u"user" + std::u16string(1, char16_t(u'a' + i)), u"", u"User", 1, 0});
    server = std::make_unique<CLoopServer>(cfg, &log);
    ASSERT_TRUE(server->Start(0));
    std::vector<std::unique_ptr<CClient>> clients;
    for (int i = 0; i < nClients; ++i)
    {
        clients.push_back(std::make_unique<CClient>());
        ASSERT_TRUE(clients.back()->net->Connect("127.0.0.1", server->Port()));
    }
    for (int i = 0; i < nClients; ++i)
    {
        CClient& c = *clients[i];
        ASSERT_NE(0xFFFFFFFF, c.owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg);
        c.net->SendLogin(u"user" + std::u16string(1, char16_t(u'a' + i)), u"", 0, false);
        ASSERT_NE(0xFFFFFFFF, c.owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg);
    }
    EXPECT_EQ(size_t(nClients), server->LoggedInUsers());
    // The first heard of every later one.
    EXPECT_NE(0xFFFFFFFF, clients[0]->owner.WaitFor(kMsgLobbyPacket, INFO_USER_LOGIN, nClients - 1).nMsg);
    for (auto& c : clients)
        c->net->StopThreads();
    for (int i = 0; i < 1000 && server->LoggedInUsers() != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(0u, server->LoggedInUsers());
}

namespace
{
// The commands an owner heard that a recording keeps, in order, with their payloads.
std::vector<std::pair<uint16_t, std::vector<uint8_t>>> RecordableHeard(const std::vector<QNEvent>& events,
                                                                       size_t nFrom)
{
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> out;
    for (size_t i = nFrom; i < events.size(); ++i)
    {
        const QNEvent& e = events[i];
        bool bInbound =
            e.nMsg == 0 || e.nMsg == kMsgLobbyPacket || e.nMsg == kMsgRoomPacket || e.nMsg == kMsgBoardPacket;
        if (bInbound && IsRecordableCommand(e.wCommand)) out.push_back({e.wCommand, e.payload});
    }
    return out;
}
} // namespace

TEST_F(LoopbackTest, LiveConferenceRecordedThenPlayedBackAtDoubleSpeedThroughTheInboundPath)
{
    Serve();
    namespace fs = std::filesystem;
    CClient alice, bob;
    const fs::path folder = BothInRoomRecording(alice, bob, "quillon-live-");
    ASSERT_FALSE(HasFailure());

    const fs::path recording = folder / "meeting.qn";
    size_t nFrom = alice.owner.Events().size();
    ASSERT_EQ(1, alice.net->StartRecord(recording, 0));
    std::vector<uint8_t> video(4096, 0x5a);
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_TRUE(bob.net->SendChatText(0x00FF00, u"line " + std::u16string(1, char16_t(u'0' + i))));
        ASSERT_NE(0xFFFFFFFF, alice.owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT, i + 1).nMsg);
        video[0] = static_cast<uint8_t>(i);
        ASSERT_TRUE(bob.net->SendVideo(DAT_VIDEO_FRAME, video.data(), video.size()));
        ASSERT_NE(0xFFFFFFFF, alice.owner.WaitFor(0, DAT_VIDEO_FRAME, i + 1).nMsg);
    }
    alice.net->StopRecord(REC_SUCCESS);
    auto heard = RecordableHeard(alice.owner.Events(), nFrom);
    ASSERT_EQ(6u, heard.size());

    CClient player;
    player.owner.bPlayer = true;
    player.owner.dPlaySpeed = 2.0;
    player.owner.tempFolder = folder;
    ASSERT_EQ(1, player.net->OpenPlayback(recording));
    EXPECT_EQ(kMsgRecordStatus, player.owner.WaitFor(kMsgRecordStatus, REC_PLAY_END).nMsg);
    // The end is told by the playback thread; the last replayed frame may still be on the inbound list.
    ASSERT_NE(0xFFFFFFFF, player.owner.WaitFor(0, DAT_VIDEO_FRAME, 3).nMsg);
    EXPECT_EQ(heard, RecordableHeard(player.owner.Events(), 0));
    EXPECT_EQ(0, player.owner.Count(kMsgRecordStatus, REC_PLAY_BROKEN));
    EXPECT_LE(player.net->PlayFileStart(), player.net->PlayFileEnd());

    player.net.reset();
    std::error_code ec;
    fs::remove_all(folder, ec);
}

// Voice for the recording only, as the room's voice sends it while its voice-send flag is off: it
// lands in the sender's recording and never reaches the server or the room.
TEST_F(LoopbackTest, RecordingOnlyVoiceLandsInTheRecordingAndNotAtTheServer)
{
    Serve();
    namespace fs = std::filesystem;
    CClient alice, bob;
    const fs::path folder = BothInRoomRecording(alice, bob, "quillon-voice-");
    ASSERT_FALSE(HasFailure());

    const fs::path recording = folder / "voice.qn";
    ASSERT_EQ(1, alice.net->StartRecord(recording, 0));
    std::vector<uint8_t> voice(60, 0x44);
    ASSERT_TRUE(alice.net->SendVoice(voice.data(), voice.size(), 2));
    // A line after it: once Bob has it, the server and Bob have had all Alice sent before it.
    ASSERT_TRUE(alice.net->SendChatText(0, u"after the voice"));
    ASSERT_NE(0xFFFFFFFF, bob.owner.WaitFor(kMsgRoomPacket, INFO_CONF_CHAT).nMsg);
    alice.net->StopRecord(REC_SUCCESS);
    EXPECT_EQ(0, bob.owner.Count(0, DAT_VOICE));
    std::vector<uint16_t> sent = server->CommandsFrom(u"alice");
    EXPECT_EQ(0, std::count(sent.begin(), sent.end(), DAT_VOICE));

    // The recording, read as the player reads it, holds the voice.
    CRecordFileReader reader;
    ASSERT_EQ(1, reader.Open(recording));
    SRecordHead head;
    std::vector<uint8_t> payload;
    std::vector<std::vector<uint8_t>> recorded;
    while (reader.ReadHead(head) == CRecordFileReader::Next::Record &&
           reader.ReadPayload(payload, head.dwLength))
        if (head.wCommand == DAT_VOICE) recorded.push_back(payload);
    EXPECT_EQ(std::vector<std::vector<uint8_t>>{voice}, recorded);

    std::error_code ec;
    fs::remove_all(folder, ec);
}
