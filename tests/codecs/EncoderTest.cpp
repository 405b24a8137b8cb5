// The encoders: units within bounds that decode back to the pattern, key pictures on request;
// Speex equal to libspeex used directly.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

#include <speex/speex.h>

#include "CodecFixtures.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/codecs/H263Encoder.h"
#include "lmvideo/codecs/H264Encoder.h"
#include "lmvideo/codecs/SpeexEncoder.h"
#include "lmvideo/fixtures/StampedPattern.h"
#include "lmvideo/rtp/AnnexB.h"
#include "lmvideo/rtp/RtpPacket.h"

namespace
{
constexpr int kFrames = 30;
// From picture 41 the pattern's black-to-white bar edge comes in at the right border, where
// motion has nothing to predict it from.
constexpr int kFramesPastTheEdge = 45;
constexpr int kKeyRequestAt = 7;

struct EncodedFrame
{
    std::vector<Bytes> units;
    bool bKey = false;
};

// Encodes the pattern at CIF as 32-bit RGB, bottom-up as cameras deliver it, asking for a key
// picture at kKeyRequestAt.
template <class Encoder> std::vector<EncodedFrame> EncodePattern(Encoder& encoder, int nFrames = kFrames)
{
    Bytes planar(PatternBytes(kCifWidth, kCifHeight)), rgb(kCifWidth * kCifHeight * 4);
    PictureConverter converter;
    std::vector<EncodedFrame> frames;
    Bytes output(512 * 1024);
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    for (int n = 0; n < nFrames; ++n)
    {
        MakeStampedPattern(static_cast<uint32_t>(n), kCifWidth, kCifHeight, planar.data());
        EXPECT_TRUE(converter.Convert(
            planar.data(), static_cast<int32_t>(planar.size()), {kCifWidth, kCifHeight, LM_FMT_YUV420, 0},
            rgb.data(), static_cast<int32_t>(rgb.size()), {kCifWidth, -kCifHeight, LM_FMT_RGB32, 0}, true));
        const S_LMPICTURE picture{kCifWidth, -kCifHeight, LM_FMT_RGB32, n == kKeyRequestAt};
        EXPECT_TRUE(encoder.Encode(rgb.data(), static_cast<int32_t>(rgb.size()), picture,
                                   static_cast<int32_t>(output.size()), output.data(), *result))
            << encoder.ErrorText();
        EncodedFrame frame;
        frame.bKey = result->bKeyFrame != 0;
        size_t at = 0;
        for (uint32_t i = 0; i < result->nCount; ++i)
        {
            frame.units.emplace_back(output.begin() + at, output.begin() + at + result->nSizes[i]);
            at += result->nSizes[i];
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

// Checks the units' RTP framing and decodes them with libavcodec behind our depacketizer.
void ExpectDecodesToThePattern(VideoCodec codec, const std::vector<EncodedFrame>& frames, uint8_t payloadType)
{
    VideoDecoder decoder(codec, false);
    Bytes picture(kCifBytes), original(kCifBytes);
    for (size_t n = 0; n < frames.size(); ++n)
    {
        SCOPED_TRACE(n);
        ASSERT_FALSE(frames[n].units.empty());
        bool bGot = false;
        for (size_t i = 0; i < frames[n].units.size(); ++i)
        {
            const Bytes& unit = frames[n].units[i];
            ASSERT_LE(unit.size(), kRtpMaxUnitBytes);
            EXPECT_EQ(unit[0] >> 6, 2);
            EXPECT_EQ(unit[1] & 0x7F, payloadType);
            EXPECT_EQ((unit[1] & 0x80) != 0, i + 1 == frames[n].units.size()); // marker on the last
            DecodedPicture info;
            bGot = decoder.Decode(unit.data(), static_cast<int32_t>(unit.size()), picture.data(),
                                  static_cast<int32_t>(picture.size()), info);
        }
        ASSERT_TRUE(bGot) << decoder.ErrorText();
        MakeStampedPattern(static_cast<uint32_t>(n), kCifWidth, kCifHeight, original.data());
        EXPECT_GE(LumaPsnr(picture.data(), original.data(), kCifWidth, kCifHeight), 32.0);
        EXPECT_EQ(ReadPatternStamp(picture.data(), kCifWidth, kCifHeight), static_cast<int32_t>(n));
    }
    EXPECT_TRUE(frames[0].bKey);
    EXPECT_TRUE(frames[kKeyRequestAt].bKey);
    EXPECT_FALSE(frames[kKeyRequestAt - 1].bKey);
}
} // namespace

TEST(H264Encoder, UnitsDecodeToThePatternAndAKeyRequestGivesAnIdr)
{
    for (const char* szOptions : {"speed=1;", "speed=1;compat;"})
    {
        SCOPED_TRACE(szOptions);
        H264Encoder encoder;
        ASSERT_TRUE(encoder.SetOptions(szOptions));
        ASSERT_TRUE(encoder.Init(15, 384000, 1350, kCifWidth, kCifHeight)) << encoder.ErrorText();
        const std::vector<EncodedFrame> frames = EncodePattern(encoder);
        ExpectDecodesToThePattern(VideoCodec::H264, frames, 96);
        // The requested key picture holds an IDR slice.
        bool bIdr = false;
        for (const Bytes& unit : frames[kKeyRequestAt].units)
        {
            const uint8_t type = NalType(unit[12]);
            bIdr |= type == kNalTypeIdr || (type == 28 && NalType(unit[13]) == kNalTypeIdr) || type == 24;
        }
        EXPECT_TRUE(bIdr);
        // Compat: one NAL unit per packet, never an aggregate or a fragment.
        if (std::string(szOptions).find("compat") != std::string::npos)
            for (const EncodedFrame& frame : frames)
                for (const Bytes& unit : frame.units)
                    EXPECT_LT(NalType(unit[12]), 24);
    }
}

TEST(H264Encoder, RefusesBadSettingsAndUseBeforeInit)
{
    H264Encoder encoder;
    EXPECT_FALSE(encoder.SetOptions("turbo;"));
    EXPECT_EQ(encoder.ErrorCode(), kCodecInvalidArgument);
    Bytes out(1000);
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    EXPECT_FALSE(encoder.Encode(out.data(), 10, {2, 2, LM_FMT_YUV420, 0}, 1000, out.data(), *result));
    EXPECT_EQ(encoder.ErrorCode(), LM_E_NOTINITIALIZED);
    for (auto settings : {std::array<int32_t, 5>{0, 384000, 1350, 352, 288},
                          {15, 0, 1350, 352, 288},
                          {15, 384000, 1000, 352, 288},
                          {15, 384000, 1350, 351, 288},
                          {15, 384000, 1350, 0, 288}})
    {
        EXPECT_FALSE(encoder.Init(settings[0], settings[1], settings[2], settings[3], settings[4]));
        EXPECT_EQ(encoder.ErrorCode(), kCodecInvalidArgument);
    }
    // An output too small for the picture's units.
    ASSERT_TRUE(encoder.Init(15, 384000, 1350, kCifWidth, kCifHeight));
    Bytes planar(PatternBytes(kCifWidth, kCifHeight));
    MakeStampedPattern(0, kCifWidth, kCifHeight, planar.data());
    EXPECT_FALSE(encoder.Encode(planar.data(), static_cast<int32_t>(planar.size()),
                                {kCifWidth, kCifHeight, LM_FMT_YUV420, 1}, 100, out.data(), *result));
    EXPECT_EQ(encoder.ErrorCode(), LM_E_BUFFERTOOSMALL);
    // A source short of its size.
    EXPECT_FALSE(encoder.Encode(planar.data(), static_cast<int32_t>(planar.size()) - 1,
                                {kCifWidth, kCifHeight, LM_FMT_YUV420, 1}, 1000, out.data(), *result));
    EXPECT_EQ(encoder.ErrorCode(), kCodecInvalidArgument);
}

TEST(H263Encoder, UnitsDecodeToThePatternAndAKeyRequestGivesAnIntraPicture)
{
    H263Encoder encoder;
    ASSERT_TRUE(encoder.Init(15, 384000, 1350, kCifWidth, kCifHeight)) << encoder.ErrorText();
    ExpectDecodesToThePattern(VideoCodec::H263, EncodePattern(encoder, kFramesPastTheEdge), 34);
    EXPECT_FALSE(encoder.Init(15, 384000, 1350, 320, 240));
    EXPECT_EQ(encoder.ErrorCode(), kCodecInvalidArgument);
}

TEST(SpeexEncoder, EqualsLibspeexUsedDirectly)
{
    const Bytes tone = ReadFixture("tone-16k.raw");
    ASSERT_EQ(tone.size(), 32000u);
    SpeexEncoder ours;
    ASSERT_TRUE(ours.Init(16000, 20));

    void* direct = speex_encoder_init(&speex_wb_mode);
    int quality = 8, rate = 16000, frame = 0;
    speex_encoder_ctl(direct, SPEEX_SET_QUALITY, &quality);
    speex_encoder_ctl(direct, SPEEX_SET_SAMPLING_RATE, &rate);
    speex_encoder_ctl(direct, SPEEX_GET_FRAME_SIZE, &frame);
    ASSERT_EQ(frame, 320);
    SpeexBits bits;
    speex_bits_init(&bits);
    for (size_t at = 0; at + 640 <= tone.size(); at += 640)
    {
        uint8_t out[200];
        int32_t written = 0;
        ASSERT_TRUE(ours.Encode(&tone[at], 640, out, sizeof out, written));
        std::vector<spx_int16_t> samples(320);
        std::memcpy(samples.data(), &tone[at], 640);
        speex_bits_reset(&bits);
        speex_encode_int(direct, samples.data(), &bits);
        char expected[200];
        const int n = speex_bits_write(&bits, expected, sizeof expected);
        ASSERT_EQ(written, n);
        EXPECT_EQ(0, std::memcmp(out, expected, n));
    }
    speex_bits_destroy(&bits);
    speex_encoder_destroy(direct);

    uint8_t out[200];
    int32_t written = 0;
    EXPECT_FALSE(ours.Encode(tone.data(), 639, out, sizeof out, written));
    EXPECT_EQ(ours.ErrorCode(), kCodecInvalidArgument);
    EXPECT_FALSE(ours.Encode(tone.data(), 640, out, 5, written));
    EXPECT_EQ(ours.ErrorCode(), LM_E_BUFFERTOOSMALL);
    EXPECT_FALSE(ours.Init(44100, 20));
    EXPECT_FALSE(ours.Init(16000, 30));
}
