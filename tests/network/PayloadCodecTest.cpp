// The payload codec shared by the client and the loopback server: records
// survive a round trip at their documented offsets, and short or lying payloads are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"

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
}

TEST(PayloadCodec, PeopleRecordsByteForByte)
{
    auto hex = [](const Bytes& b)
    {
        std::string s;
        char sz[4];
        for (uint8_t v : b)
        {
            std::snprintf(sz, sizeof sz, "%02x", v);
            s += sz;
        }
        return s;
    };
    Bytes b;
    EncodeChat({7, 0x00112233, u"hi"}, b);
    EXPECT_EQ("0700"
              "0400"
              "33221100"
              "6800"
              "6900",
              hex(b))
        << "460/461";
    b.clear();
    EncodeUserState({0x00020005, 0x1B}, b);
    EXPECT_EQ("05000200"
              "1b000000",
              hex(b))
        << "411";
    b.clear();
    EncodeBanish({3, 12, 4}, b);
    EXPECT_EQ(std::string(24, '0') + "0300" + "0c00" + "0400" + std::string(268, '0'), hex(b))
        << "400: 152 bytes";
    b.clear();
    EncodeChannelMove({2, 9}, b);
    EXPECT_EQ("0200"
              "0900",
              hex(b))
        << "440";

    QNSystemOption o;
    o.dwOption0 = 0x1000;
    o.dwOption4 = 0x80000000;
    o.dwOption24 = 0x80044;
    o.dwOption36 = 0x30000;
    o.dwOption50 = 3;
    o.dwOption62 = 0x20000;
    o.szDssAddress = u"h";
    o.wDssPort = 0x1234;
    b.clear();
    EncodeSystemOption(o, b);
    ASSERT_EQ(kSystemOptionSize, b.size()) << "251";
    auto u32At = [&b](size_t n) { return b[n] | b[n + 1] << 8 | b[n + 2] << 16 | uint32_t(b[n + 3]) << 24; };
    EXPECT_EQ(0x1000u, u32At(0));
    EXPECT_EQ(0x80000000u, u32At(4));
    EXPECT_EQ(0x80044u, u32At(24));
    EXPECT_EQ(0x30000u, u32At(36));
    EXPECT_EQ(3u, u32At(50));
    EXPECT_EQ(0x20000u, u32At(62));
    EXPECT_EQ('h', b[66]);
    EXPECT_EQ(0x34, b[130]);
    QNSystemOption back;
    ASSERT_TRUE(DecodeSystemOption(b.data(), b.size(), back));
    EXPECT_TRUE(back.VideoOff());
    EXPECT_EQ(2, back.RightMode());
    EXPECT_EQ(1, back.MessageMode());
    EXPECT_EQ(1, back.PresenterMode());
    EXPECT_TRUE(back.UseInvite());
    EXPECT_EQ(1, back.UseRemoteControl());
    EXPECT_EQ(1, back.UseDesktop());
    EXPECT_EQ(3, back.MediaShareMode());
    EXPECT_FALSE(back.UsePhoneCall());
    EXPECT_TRUE(back.UseHwCall());
    EXPECT_FALSE(DecodeSystemOption(b.data(), b.size() - 1, back));
}

TEST(PayloadCodec, ChatTextIsBoundedByItsLengthAndThePayload)
{
    Bytes line;
    EncodeChat({5, 0xFF, u"abcd"}, line);
    struct
    {
        const char* pszCase;
        uint16_t wStated; // byte length written at 2
        size_t nCut;      // bytes cut from the end
        const char16_t* pszText;
    } cases[] = {
        {"as sent", 8, 0, u"abcd"},
        {"a shorter stated length", 4, 0, u"ab"},
        {"an odd stated length keeps whole units", 5, 0, u"ab"},
        {"a stated length past the payload", 400, 0, u"abcd"},
        {"a payload cut inside a unit", 8, 1, u"abc"},
        {"no text", 0, 0, u""},
    };
    for (const auto& c : cases)
    {
        Bytes b = line;
        b[2] = static_cast<uint8_t>(c.wStated);
        b[3] = static_cast<uint8_t>(c.wStated >> 8);
        b.resize(b.size() - c.nCut);
        QNChat r;
        ASSERT_TRUE(DecodeChat(b.data(), b.size(), r)) << c.pszCase;
        EXPECT_EQ(std::u16string(c.pszText), r.szText) << c.pszCase;
        EXPECT_EQ(5, r.wSenderUserIndex) << c.pszCase;
    }
    QNChat r;
    EXPECT_FALSE(DecodeChat(line.data(), 7, r)) << "a header cut short";
    Bytes huge;
    EncodeChat({1, 0, std::u16string(5000, u'x')}, huge);
    ASSERT_TRUE(DecodeChat(huge.data(), huge.size(), r));
    EXPECT_EQ(kMaxChatUnits, r.szText.size());
}
