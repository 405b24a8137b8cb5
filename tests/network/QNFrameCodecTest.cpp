// Frame encoding rules, the key exchange frame, and inbound decoding with its
// choice of key table and its refusal of malformed frames.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNFrameCodec.h"

namespace
{
class RecordingQueue : public IFrameQueue
{
public:
    void QueueFrame(std::vector<uint8_t> frame) override { frames.push_back(std::move(frame)); }
    std::vector<std::vector<uint8_t>> frames;
};

class FakeSession : public IQNSession
{
public:
    bool IsPlayerMode() const override { return bPlayer; }
    void AddLog(int nLevel, const std::string& text) override { lines.push_back({nLevel, text}); }
    bool bPlayer = false;
    std::vector<std::pair<int, std::string>> lines;
};

struct CodecFixture : ::testing::Test
{
    RecordingQueue queue;
    FakeSession session;
    CQNFrameCodec codec{queue, &session};

    void SetUp() override { codec.SendSeedKey(123456); }

    // Sends a command through the codec the way a builder does.
    bool Send(uint16_t wCommand, std::vector<uint8_t> payload, uint16_t wSub = 0)
    {
        std::vector<uint8_t> frame(kFrameHeaderSize + payload.size());
        BuildPacketHeader(wCommand, static_cast<uint32_t>(payload.size()), frame.data(), wSub);
        if (!payload.empty()) std::memcpy(frame.data() + kFrameHeaderSize, payload.data(), payload.size());
        return codec.EncryptAndQueue(wCommand, frame.data(), payload.size());
    }
};
} // namespace

TEST_F(CodecFixture, KeyFrameIsTheFirstAndMaskedOnly)
{
    ASSERT_EQ(1u, queue.frames.size());
    const std::vector<uint8_t>& f = queue.frames[0];
    PacketHeader h = PacketHeader::Read(f.data());
    EXPECT_EQ(kFrameMask, h.byMask);
    EXPECT_EQ(CMD_SEED_KEY, h.wCommand);
    EXPECT_EQ(0, h.byPadding);
    EXPECT_EQ(138u, h.dwTotalLength);
    EXPECT_EQ(0, h.wSub); // the 65535 the sender passes is not kept
    for (size_t i = 0; i < 32; ++i)
    {
        uint32_t w = 0;
        for (int b = 0; b < 4; ++b)
            w |= uint32_t(f[10 + 4 * i + b] ^ kFrameMask) << (8 * b);
        EXPECT_EQ(codec.ClientRoundKeys()[i], w);
    }
    ASSERT_FALSE(session.lines.empty());
    EXPECT_EQ(LOG_DEBUG, session.lines[0].first);
    EXPECT_EQ("[CMD_SEED_KEY]", session.lines[0].second);
}

TEST(ClientKey, DrawsFromTheCRuntimeGenerator)
{
    uint8_t key[16];
    CQNFrameCodec::MakeClientKey(1, key);
    // Seed 1 gives the first draws 41, 18467, 6334, 26500.
    const uint8_t expected[16] = {41, 0, 0, 0, 0x23, 0x48, 0, 0, 0xbe, 0x18, 0, 0, 0x84, 0x67, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, key, 16));
}

TEST_F(CodecFixture, LengthTable)
{
    struct
    {
        size_t nPayload;
        uint32_t dwTotal;
        uint8_t byPadding;
    } rows[] = {{0, 10, 0}, {1, 26, 15}, {16, 26, 0}, {17, 42, 15}};
    for (auto r : rows)
    {
        queue.frames.clear();
        ASSERT_TRUE(Send(CMD_CONF_CHAT, std::vector<uint8_t>(r.nPayload, 0x5a)));
        ASSERT_EQ(1u, queue.frames.size());
        PacketHeader h = PacketHeader::Read(queue.frames[0].data());
        EXPECT_EQ(r.dwTotal, h.dwTotalLength) << r.nPayload;
        EXPECT_EQ(r.byPadding, h.byPadding) << r.nPayload;
        EXPECT_EQ(r.dwTotal, queue.frames[0].size());
    }
}

TEST_F(CodecFixture, MaskedCommandsAreNeverBlockCiphered)
{
    for (uint16_t cmd : {uint16_t(1000), uint16_t(2010), uint16_t(3000), uint16_t(3100)})
    {
        queue.frames.clear();
        ASSERT_TRUE(Send(cmd, {1, 2, 3}));
        const std::vector<uint8_t>& f = queue.frames.at(0);
        ASSERT_EQ(13u, f.size());
        EXPECT_EQ(0, f[1]);
        EXPECT_EQ(1 ^ kFrameMask, f[10]);
        EXPECT_EQ(3 ^ kFrameMask, f[12]);
    }
    queue.frames.clear();
    ASSERT_TRUE(Send(DAT_VOICE, {})); // an empty masked payload is a bare header
    EXPECT_EQ(10u, queue.frames.at(0).size());
}

TEST_F(CodecFixture, SubTravelsOnlyWithCommand640)
{
    ASSERT_TRUE(Send(DAT_MSG_FILE, std::vector<uint8_t>(8), 0x1234));
    ASSERT_TRUE(Send(CMD_CONF_CHAT, std::vector<uint8_t>(8), 0x1234));
    EXPECT_EQ(0x1234, PacketHeader::Read(queue.frames[1].data()).wSub);
    EXPECT_EQ(0, PacketHeader::Read(queue.frames[2].data()).wSub);
}

TEST_F(CodecFixture, PlayerModeDropsRecordableCommandsOnly)
{
    session.bPlayer = true;
    queue.frames.clear();
    EXPECT_FALSE(Send(CMD_CONF_CHAT, {1}));  // 460 is recordable
    EXPECT_FALSE(Send(DAT_BOARD_ROOM, {1})); // so is 3000
    EXPECT_TRUE(Send(CMD_KEEP_ALIVE, {0}));
    EXPECT_TRUE(Send(DAT_VIDEO, {1})); // 2000 never is
    EXPECT_EQ(2u, queue.frames.size());
}

TEST_F(CodecFixture, NothingIsSentOnceTheSessionIsGone)
{
    codec.DetachSession();
    queue.frames.clear();
    EXPECT_FALSE(Send(CMD_CONF_CHAT, {1}));
    EXPECT_FALSE(Send(DAT_VOICE, {1}));
    EXPECT_TRUE(queue.frames.empty());
}

TEST_F(CodecFixture, InboundTableChoice)
{
    SeedRoundKeys serverKeys;
    for (size_t i = 0; i < 32; ++i)
        serverKeys[i] = 0x01020304u * uint32_t(i + 7);
    uint8_t wire[128];
    for (size_t i = 0; i < 32; ++i)
        for (int b = 0; b < 4; ++b)
            wire[4 * i + b] = uint8_t(serverKeys[i] >> (8 * b));
    codec.SetServerRoundKeys(wire);
    EXPECT_EQ(serverKeys, codec.ServerRoundKeys());

    const std::vector<uint8_t> plain = {'h', 'e', 'l', 'l', 'o', 0,  1,  2,  3, 4,
                                        5,   6,   7,   8,   9,   10, 11, 12, 13};
    struct
    {
        uint16_t wCommand;
        bool bServerTable;
    } rows[] = {{ACK_SEED_KEY, false},  {NTF_SERVER_040, true}, {INFO_PUSH_CHUNK, true},
                {CMD_CONF_CHAT, false}, {INFO_CONF_JOIN, true}, {INFO_DESKTOP_SHARE, true}};
    for (auto r : rows)
    {
        const SeedRoundKeys& rk = r.bServerTable ? serverKeys : codec.ClientRoundKeys();
        std::vector<uint8_t> f = EncodeFrame(r.wCommand, 7, plain.data(), plain.size(), rk);
        std::optional<size_t> n = codec.DecodeInbound(f.data(), f.size());
        ASSERT_TRUE(n.has_value()) << r.wCommand;
        ASSERT_EQ(plain.size(), *n);
        EXPECT_EQ(0, std::memcmp(plain.data(), f.data() + 10, plain.size())) << r.wCommand;
    }
}

TEST_F(CodecFixture, MalformedInboundFramesAreDroppedAndLogged)
{
    const uint8_t plain[20] = {9, 8, 7};
    std::vector<uint8_t> good = EncodeFrame(CMD_CONF_CHAT, 0, plain, sizeof plain, codec.ClientRoundKeys());
    ASSERT_EQ(42u, good.size());

    struct Case
    {
        const char* what;
        size_t nLen;
        void (*mutate)(std::vector<uint8_t>&);
    } cases[] = {
        {"bad mask byte", 42, [](std::vector<uint8_t>& f) { f[0] = 0x00; }},
        {"padding above 15", 42, [](std::vector<uint8_t>& f) { f[1] = 16; }},
        {"padding above the payload", 10,
         [](std::vector<uint8_t>& f)
         {
             f.resize(10);
             f[4] = 10;
             f[1] = 5;
         }},
        {"partial block", 33,
         [](std::vector<uint8_t>& f)
         {
             f.resize(33);
             f[4] = 33;
         }},
        {"length disagrees", 42, [](std::vector<uint8_t>& f) { f[4] = 43; }},
        {"shorter than a header", 9, [](std::vector<uint8_t>& f) { f.resize(9); }},
    };
    for (const Case& c : cases)
    {
        std::vector<uint8_t> f = good;
        c.mutate(f);
        session.lines.clear();
        EXPECT_FALSE(codec.DecodeInbound(f.data(), f.size()).has_value()) << c.what;
        ASSERT_EQ(1u, session.lines.size()) << c.what;
        EXPECT_EQ(LOG_ERROR, session.lines[0].first);
    }

    std::vector<uint8_t> f = good; // and the good one still decodes
    EXPECT_EQ(sizeof plain, codec.DecodeInbound(f.data(), f.size()).value_or(0));
}

TEST(CommandList, DerivedTables)
{
    EXPECT_EQ(QNCipher::Mask, CipherOf(CMD_SEED_KEY));
    EXPECT_EQ(QNCipher::Seed, CipherOf(9999)); // unlisted codes are ciphered
    EXPECT_EQ(QNKeyTable::Client, InboundTableOf(ACK_SEED_KEY));
    EXPECT_EQ(QNKeyTable::Server, InboundTableOf(NTF_SERVER_040));
    int nServer = 0;
    for (int c = 0; c < 65536; ++c)
        nServer += InboundTableOf(uint16_t(c)) == QNKeyTable::Server;
    EXPECT_EQ(36, nServer);
    struct
    {
        uint16_t c;
        uint8_t list;
    } lists[] = {{1, 0},    {1000, 0}, {503, 1},  {640, 1}, {3100, 1},
                 {2010, 2}, {2201, 3}, {2202, 4}, {2020, 5}};
    for (auto r : lists)
        EXPECT_EQ(r.list, SendListOf(r.c)) << r.c;
    EXPECT_TRUE(IsRecordableCommand(300));
    EXPECT_FALSE(IsRecordableCommand(331));
    EXPECT_FALSE(IsRecordableCommand(2000));
    EXPECT_TRUE(IsRecordableCommand(3011));
}
