// The loopback server's handshake is strict: a key frame that is not exactly the client's
// round-key table closes the connection unanswered; a short login record and a second login
// on a logged-in connection are refused with reason 1004; keep-alives are answered after
// the login only, their echo bounded.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "loopserver/LoopServer.h"
#include "tests/network/RawLoopClient.h"
#include "tests/core/TestLogs.h"

namespace
{
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
        ASSERT_TRUE(client.SendKey(nBytes));
        EXPECT_FALSE(client.Receive().has_value()) << nBytes << " key bytes: closed without an answer";
    }
    CRawClient client(server->Port());
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.SendKey(kRoundKeyBytes));
    std::optional<RawFrame> answer = client.Receive();
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
        ASSERT_TRUE(client.SendKey(kRoundKeyBytes));
        ASSERT_TRUE(client.Receive().has_value());
        ASSERT_TRUE(client.Send(CMD_LOBY_LOGIN, record));
        std::optional<RawFrame> answer = client.Receive();
        ASSERT_TRUE(answer.has_value()) << c.pszCase;
        EXPECT_EQ(NAK_LOBY_LOGIN, answer->wCommand) << c.pszCase;
        EXPECT_EQ(1004, answer->wSub) << c.pszCase;

        // The connection stays usable: the whole record then logs in.
        ASSERT_TRUE(client.Send(CMD_LOBY_LOGIN, whole));
        answer = client.Receive();
        ASSERT_TRUE(answer.has_value()) << c.pszCase;
        EXPECT_EQ(ACK_LOBY_LOGIN, answer->wCommand) << c.pszCase;
        // Its lobby lists follow; a second login on the logged-in connection is refused.
        ASSERT_TRUE(client.Send(CMD_LOBY_LOGIN_EX, whole));
        std::optional<RawFrame> f;
        while ((f = client.Receive()) && f->wCommand != NAK_LOBY_LOGIN)
        {
        }
        ASSERT_TRUE(f.has_value()) << c.pszCase;
        EXPECT_EQ(1004, f->wSub) << c.pszCase;
    }
}

TEST_F(LoopHandshakeTest, KeepAlivesAreAnsweredAfterLoginWithABoundedEcho)
{
    CRawClient client(server->Port());
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.SendKey(kRoundKeyBytes));
    ASSERT_TRUE(client.Receive().has_value());
    // Before the login it is ignored: the login's answer comes first.
    ASSERT_TRUE(client.Send(CMD_KEEP_ALIVE, {7}));
    ASSERT_TRUE(client.Send(CMD_LOBY_LOGIN, LoginRecord(u"alice")));
    std::optional<RawFrame> f = client.Receive();
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(ACK_LOBY_LOGIN, f->wCommand);

    struct
    {
        size_t nSent;
        size_t nEchoed;
    } cases[] = {{1, 1}, {1024, 1024}, {70000, 1024}};
    for (const auto& c : cases)
    {
        std::vector<uint8_t> payload(c.nSent);
        for (size_t i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<uint8_t>(i * 7);
        ASSERT_TRUE(client.Send(CMD_KEEP_ALIVE, payload));
        while ((f = client.Receive()) && f->wCommand != ACK_KEEP_ALIVE)
        {
        }
        ASSERT_TRUE(f.has_value()) << c.nSent;
        payload.resize(c.nEchoed);
        EXPECT_EQ(payload, f->payload) << c.nSent;
    }
}
