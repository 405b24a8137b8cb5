// The voice packet's layout and its rejections.
#include <gtest/gtest.h>

#include <vector>

#include "volumora/core/VoicePacket.h"

TEST(VoicePacket, LayoutIsLittleEndianTwelveBytesThenOpus)
{
    VoicePacket p;
    p.wSender = 0x0102;
    p.wSequence = 0x0304;
    p.dwTimestamp = 0x05060708;
    p.bFlags = kVoiceFlagTalkSpurtStart;
    p.opus = {0xAA, 0xBB};
    std::vector<uint8_t> bytes = EncodeVoicePacket(p);
    EXPECT_EQ(bytes,
              (std::vector<uint8_t>{1, 1, 0x02, 0x01, 0x04, 0x03, 0x08, 0x07, 0x06, 0x05, 1, 0, 0xAA, 0xBB}));

    VoicePacket back;
    ASSERT_TRUE(DecodeVoicePacket(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.wSender, p.wSender);
    EXPECT_EQ(back.wSequence, p.wSequence);
    EXPECT_EQ(back.dwTimestamp, p.dwTimestamp);
    EXPECT_EQ(back.bFlags, p.bFlags);
    EXPECT_EQ(back.opus, p.opus);
}

TEST(VoicePacket, MalformedPacketsAreRefused)
{
    auto make = [](uint8_t bVersion, uint8_t bCodec, size_t nOpus)
    {
        VoicePacket p;
        p.bVersion = bVersion;
        p.bCodec = bCodec;
        p.opus.assign(nOpus, 0x55);
        return EncodeVoicePacket(p);
    };
    struct
    {
        const char* what;
        std::vector<uint8_t> bytes;
        bool bOk;
    } cases[] = {
        {"largest Opus packet", make(1, 1, kMaxOpusPacketBytes), true},
        {"one byte of Opus", make(1, 1, 1), true},
        {"Opus packet too long", make(1, 1, kMaxOpusPacketBytes + 1), false},
        {"no Opus bytes", make(1, 1, 0), false},
        {"another version", make(2, 1, 10), false},
        {"another codec", make(1, 2, 10), false},
        {"short header", std::vector<uint8_t>(kVoiceHeaderBytes - 1, 1), false},
        {"empty", {}, false},
    };
    for (const auto& c : cases)
    {
        VoicePacket p;
        EXPECT_EQ(DecodeVoicePacket(c.bytes.data(), c.bytes.size(), p), c.bOk) << c.what;
    }
}
