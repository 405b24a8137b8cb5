// The payload codec shared by the client and the loopback server: records
// survive a round trip at their documented offsets, and short or lying payloads are refused.
#include <gtest/gtest.h>

#include <functional>

#include "confclient/network/QNPayloads.h"

TEST(PayloadCodec, LoginAnswerFieldsSitAtTheirFixedOffsets)
{
    Bytes b;
    EncodeLoginAck({7, 0x1234, 0x0506, u"alice", u"Alice"}, b);
    ASSERT_EQ(kLoginAckSize, b.size());
    EXPECT_EQ(7, b[0]);
    EXPECT_EQ(0x34, b[14]);
    EXPECT_EQ(0x12, b[15]);
    EXPECT_EQ(0x06, b[18]);
    EXPECT_EQ('A', b[88]);
    EXPECT_EQ(0, b[89]);
}

TEST(PayloadCodec, RecordsRoundTripAndShortPayloadsAreRefused)
{
    QNLobbyConf conf;
    conf.wRoomIndex = 3;
    conf.szTitle = std::u16string(150, u'T'); // longer than its field: cut to 100 units
    conf.szConfCode = u"CODE";
    QNRoomUser user;
    user.wChannel = 4;
    user.szName = u"Bob";
    user.dwMediaShareRight = 9;

    struct Case
    {
        const char* pszName;
        Bytes bytes;
        size_t nSize;
        std::function<bool(const uint8_t*, size_t)> decode;
    };
    auto enc = [](auto fn, const auto& rec)
    {
        Bytes b;
        fn(rec, b);
        return b;
    };
    Case cases[] = {
        {"login", enc(EncodeLogin, QNLoginRequest{u"id", u"pw", 5, 1}), 132,
         [](const uint8_t* p, size_t n)
         {
             QNLoginRequest r;
             return DecodeLogin(p, n, r) && r.szUserId == u"id" && r.szSecond == u"pw" && r.wValue == 5 &&
                    r.wPanel == 1;
         }},
        {"conf", enc(EncodeLobbyConf, conf), kLobbyConfSize,
         [](const uint8_t* p, size_t n)
         {
             QNLobbyConf r;
             return DecodeLobbyConf(p, n, r) && r.wRoomIndex == 3 && r.szTitle.size() == 100 &&
                    r.szConfCode == u"CODE";
         }},
        {"room user", enc(EncodeRoomUser, user), kRoomUserSize,
         [](const uint8_t* p, size_t n)
         {
             QNRoomUser r;
             return DecodeRoomUser(p, n, r) && r.wChannel == 4 && r.szName == u"Bob" &&
                    r.dwMediaShareRight == 9;
         }},
        {"room info", enc(EncodeRoomInfo, QNRoomInfo{9, 1, 49, 0, 0, 2, 1, u"t", u"c"}), kRoomInfoSize,
         [](const uint8_t* p, size_t n)
         {
             QNRoomInfo r;
             return DecodeRoomInfo(p, n, r) && r.wRoomIndex == 9 && r.wMyChannel == 2 && r.szConfCode == u"c";
         }},
        {"chat", enc(EncodeChat, QNChat{1, 65535, 0xFF, u"hello"}), 20,
         [](const uint8_t* p, size_t n)
         {
             QNChat r;
             return DecodeChat(p, n, r) && r.szText == u"hello" && r.dwColour == 0xFF;
         }},
        {"join", enc(EncodeConfJoin, QNConfJoin{2, u"ROOM2", u""}), 100,
         [](const uint8_t* p, size_t n)
         {
             QNConfJoin r;
             return DecodeConfJoin(p, n, r) && r.wRoomIndex == 2 && r.szConfCode == u"ROOM2";
         }},
    };
    for (auto& c : cases)
    {
        EXPECT_EQ(c.nSize, c.bytes.size()) << c.pszName;
        EXPECT_TRUE(c.decode(c.bytes.data(), c.bytes.size())) << c.pszName;
        EXPECT_FALSE(c.decode(c.bytes.data(), c.bytes.size() - 1)) << c.pszName;
        EXPECT_FALSE(c.decode(nullptr, 0)) << c.pszName;
    }
}

TEST(PayloadCodec, CountsAndLengthsFromThePeerMustFitThePayload)
{
    std::vector<QNLobbyUser> users(3);
    Bytes b;
    EncodeUserList(users, b);
    std::vector<QNLobbyUser> back;
    EXPECT_TRUE(DecodeUserList(b.data(), b.size(), back));
    EXPECT_EQ(3u, back.size());
    b[0] = 4; // one more than follows
    EXPECT_FALSE(DecodeUserList(b.data(), b.size(), back));

    Bytes chat;
    EncodeChat({0, 0, 0, u"abc"}, chat);
    chat[8] = 4; // a text length past the end
    QNChat r;
    EXPECT_FALSE(DecodeChat(chat.data(), chat.size(), r));
}
