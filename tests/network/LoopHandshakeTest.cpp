// The loopback server's handshake is strict: a key frame that is not exactly the client's
// round-key table closes the connection unanswered; a short login record and a second login
// on a logged-in connection are refused with reason 1004.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/SeedCipher.h"
#include "confclient/network/transport/NetPlatform.h"
#include "loopserver/LoopServer.h"

namespace
{
class CNullLog : public ILogSink
{
public:
    void AddLog(int, const std::string&) override {}
};

struct Frame
{
    uint16_t wCommand;
    uint16_t wSub;
    std::vector<uint8_t> payload;
};

// A client written from the protocol document: whole frames out, whole frames in.
class CRawClient
{
public:
    explicit CRawClient(uint16_t wPort)
    {
        const uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        m_keys = SeedCipher::KeySchedule(key);
        int nErr = 0;
        m_s = NetOpenTcp(&nErr);
        uint32_t dwAddr = 0;
        m_bConnected =
            m_s != kNoSocket && NetResolve("127.0.0.1", &dwAddr) && NetConnect(m_s, dwAddr, wPort, &nErr);
    }
    ~CRawClient()
    {
        if (m_s != kNoSocket) NetShutdownClose(m_s);
    }
    bool Connected() const { return m_bConnected; }

    void Send(uint16_t wCommand, const std::vector<uint8_t>& payload)
    {
        std::vector<uint8_t> frame = EncodeFrame(wCommand, 0, payload.data(), payload.size(), m_keys);
        ASSERT_EQ(static_cast<int>(frame.size()), NetSend(m_s, frame.data(), frame.size()));
    }
    void SendKey(size_t nBytes)
    {
        std::vector<uint8_t> table(nBytes, 0x5A);
        for (size_t i = 0; i < m_keys.size() && 4 * i + 3 < nBytes; ++i)
            for (int b = 0; b < 4; ++b)
                table[4 * i + b] = static_cast<uint8_t>(m_keys[i] >> (8 * b));
        Send(CMD_SEED_KEY, table);
    }
    // The next frame, or nothing once the server has closed the connection.
    std::optional<Frame> Receive()
    {
        std::vector<uint8_t> frame(kFrameHeaderSize);
        if (!ReadAll(frame.data(), kFrameHeaderSize)) return std::nullopt;
        PacketHeader h = PacketHeader::Read(frame.data());
        if (h.dwTotalLength < kFrameHeaderSize || h.dwTotalLength > kMaxFrameLength) return std::nullopt;
        frame.resize(h.dwTotalLength);
        if (!ReadAll(frame.data() + kFrameHeaderSize, frame.size() - kFrameHeaderSize)) return std::nullopt;
        std::optional<size_t> n = DecodeFrame(frame.data(), frame.size(), m_keys);
        if (!n) return std::nullopt;
        return Frame{
            h.wCommand, h.wSub,
            std::vector<uint8_t>(frame.begin() + kFrameHeaderSize, frame.begin() + kFrameHeaderSize + *n)};
    }

private:
    bool ReadAll(uint8_t* p, size_t n)
    {
        while (n > 0)
        {
            int r = NetRecv(m_s, p, n);
            if (r <= 0) return false;
            p += r;
            n -= static_cast<size_t>(r);
        }
        return true;
    }

    SeedRoundKeys m_keys{};
    NetSocket m_s = kNoSocket;
    bool m_bConnected = false;
};

class LoopHandshakeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NetStartup();
        server = std::make_unique<CLoopServer>(DefaultLoopConfig(), &log);
        ASSERT_TRUE(server->Start(0));
    }
    void TearDown() override
    {
        server->Stop();
        NetCleanup();
    }
    std::vector<uint8_t> LoginRecord(const std::u16string& szId)
    {
        QNLoginRequest req;
        req.szUserId = szId;
        Bytes b;
        EncodeLogin(req, b);
        return b;
    }

    CNullLog log;
    std::unique_ptr<CLoopServer> server;
};
} // namespace

TEST_F(LoopHandshakeTest, OnlyAWholeKeyTableIsAnswered)
{
    for (size_t nBytes : {0u, 4u, 127u, 129u, 256u})
    {
        CRawClient client(server->Port());
        ASSERT_TRUE(client.Connected());
        client.SendKey(nBytes);
        EXPECT_FALSE(client.Receive().has_value()) << nBytes << " key bytes: closed without an answer";
    }
    CRawClient client(server->Port());
    ASSERT_TRUE(client.Connected());
    client.SendKey(kRoundKeyBytes);
    std::optional<Frame> answer = client.Receive();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(ACK_SEED_KEY, answer->wCommand);
    EXPECT_EQ(kRoundKeyBytes, answer->payload.size());
}

TEST_F(LoopHandshakeTest, ShortAndSecondLoginsAreRefused)
{
    // Each case logs in as another user: a closed connection's user may not be gone yet.
    struct
    {
        const char* pszCase;
        size_t nBytes; // of the whole record
        const char16_t* pszId;
    } cases[] = {
        {"empty record", 0, u"alice"},
        {"10 bytes", 10, u"bob"},
        {"one byte short", 131, u"carol"},
    };
    for (const auto& c : cases)
    {
        const std::vector<uint8_t> whole = LoginRecord(c.pszId);
        ASSERT_EQ(132u, whole.size());
        const std::vector<uint8_t> record(whole.begin(), whole.begin() + c.nBytes);
        CRawClient client(server->Port());
        ASSERT_TRUE(client.Connected());
        client.SendKey(kRoundKeyBytes);
        ASSERT_TRUE(client.Receive().has_value());
        client.Send(CMD_LOBY_LOGIN, record);
        std::optional<Frame> answer = client.Receive();
        ASSERT_TRUE(answer.has_value()) << c.pszCase;
        EXPECT_EQ(NAK_LOBY_LOGIN, answer->wCommand) << c.pszCase;
        EXPECT_EQ(1004, answer->wSub) << c.pszCase;

        // The connection stays usable: the whole record then logs in.
        client.Send(CMD_LOBY_LOGIN, whole);
        answer = client.Receive();
        ASSERT_TRUE(answer.has_value()) << c.pszCase;
        EXPECT_EQ(ACK_LOBY_LOGIN, answer->wCommand) << c.pszCase;
        // Its lobby lists follow; a second login on the logged-in connection is refused.
        client.Send(CMD_LOBY_LOGIN_EX, whole);
        std::optional<Frame> f;
        while ((f = client.Receive()) && f->wCommand != NAK_LOBY_LOGIN)
        {
        }
        ASSERT_TRUE(f.has_value()) << c.pszCase;
        EXPECT_EQ(1004, f->wSub) << c.pszCase;
    }
}
