// The codec libraries under Wine, loaded by name through the holders: each factory binds and a
// picture or a sound frame goes through each object and back; what hosts pass is checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/fixtures/JpegWithoutTables.h"
#include "lmvideo/fixtures/StampedPattern.h"

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int kWidth = 352, kHeight = 288;
constexpr int32_t kInvalidArgument = LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER);
const wchar_t kLibrary01[] = L"LMLibrary01U.dll";
const wchar_t kLibrary04[] = L"LMLibrary04U.dll";

Bytes Pattern(uint32_t nFrame)
{
    Bytes picture(PatternBytes(kWidth, kHeight));
    MakeStampedPattern(nFrame, kWidth, kHeight, picture.data());
    return picture;
}

int32_t Size(const Bytes& b)
{
    return static_cast<int32_t>(b.size());
}

// A file the build put beside the test program; empty when it is missing.
Bytes ReadBesideProgram(const wchar_t* szName)
{
    wchar_t szPath[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath, n);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + szName;
    Bytes bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb"))
    {
        uint8_t chunk[4096];
        for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        fclose(file);
    }
    return bytes;
}

double LumaPsnr(const Bytes& a, const Bytes& b)
{
    double sum = 0;
    for (int i = 0; i < kWidth * kHeight; ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * kWidth * kHeight / sum);
}

struct CodecCase
{
    const wchar_t* szEncoderLibrary;
    const wchar_t* szEncoder;
    const wchar_t* szOptions;
    const wchar_t* szDecoder;
};
} // namespace

TEST(CodecLibraries, ConvertResizeAndFlipRoundTrip)
{
    IIppColorSpaceConverterPtr converter;
    IIppResizerPtr resizer;
    IIppFlipperPtr flipper;
    ASSERT_TRUE(converter && resizer && flipper);
    const Bytes planar = Pattern(1234);
    Bytes rgb(kWidth * kHeight * 4), upside(rgb.size()), back(planar.size());
    const S_LMPICTURE yuv{kWidth, kHeight, LM_FMT_YUV420, 0}, bgra{kWidth, kHeight, LM_FMT_RGB32, 0},
        bgraDown{kWidth, -kHeight, LM_FMT_RGB32, 0};
    ASSERT_TRUE(converter->Convert(planar.data(), Size(planar), yuv, rgb.data(), Size(rgb), bgraDown));
    ASSERT_TRUE(flipper->Flip(rgb.data(), Size(rgb), bgraDown, upside.data(), Size(upside), bgra));
    ASSERT_TRUE(converter->Convert(upside.data(), Size(upside), bgra, back.data(), Size(back), yuv));
    EXPECT_EQ(ReadPatternStamp(back.data(), kWidth, kHeight), 1234);
    EXPECT_GT(LumaPsnr(back, planar), 40);

    Bytes half(PatternBytes(kWidth / 2, kHeight / 2)), again(planar.size());
    ASSERT_TRUE(resizer->Resize(planar.data(), Size(planar), yuv, half.data(), Size(half),
                                {kWidth / 2, kHeight / 2, LM_FMT_YUV420, 0}));
    ASSERT_TRUE(resizer->Resize(half.data(), Size(half), {kWidth / 2, kHeight / 2, LM_FMT_YUV420, 0},
                                again.data(), Size(again), yuv));
    EXPECT_EQ(ReadPatternStamp(again.data(), kWidth, kHeight), 1234);

    // What a host passes is checked: a short target, a size of 0, an odd planar size.
    EXPECT_FALSE(converter->Convert(planar.data(), Size(planar), yuv, rgb.data(), Size(rgb) - 1, bgra));
    EXPECT_EQ(converter->GetLastErrorCode(), kInvalidArgument);
    EXPECT_NE(converter->GetLastErrorMessage(), nullptr);
    EXPECT_FALSE(
        resizer->Resize(planar.data(), Size(planar), yuv, half.data(), Size(half), {0, 10, LM_FMT_RGB32, 0}));
    EXPECT_EQ(resizer->GetLastErrorCode(), kInvalidArgument);
    EXPECT_FALSE(flipper->Flip(planar.data(), Size(planar), {kWidth - 1, kHeight, LM_FMT_YUV420, 0},
                               back.data(), Size(back), yuv));
    EXPECT_EQ(flipper->GetLastErrorCode(), kInvalidArgument);
}

// A picture made by the build host's ffmpeg, with its tables and without (as webcams send
// it), decodes exactly as that ffmpeg decodes it.
TEST(CodecLibraries, MjpegDecoderEqualsTheCommandLinesDecode)
{
    const Bytes jpeg = ReadBesideProgram(L"cif.jpg"), expected = ReadBesideProgram(L"cif.jpg.yuv");
    ASSERT_FALSE(jpeg.empty());
    ASSERT_EQ(expected.size(), PatternBytes(kWidth, kHeight));
    const Bytes bare = JpegWithoutTables(jpeg);
    ASSERT_LT(bare.size(), jpeg.size());
    IIppMjpegDecoderPtr decoder;
    ASSERT_TRUE(decoder);
    for (const Bytes* input : {&jpeg, &bare})
    {
        Bytes output(expected.size());
        S_LMPICTURE picture{kWidth, kHeight, nullptr, 0};
        ASSERT_TRUE(decoder->Decode(input->data(), Size(*input), 0, output.data(), &picture))
            << decoder->GetLastErrorMessage();
        EXPECT_EQ(picture.nWidth, kWidth);
        EXPECT_EQ(picture.nHeight, kHeight);
        EXPECT_STREQ(picture.szFormat, LM_FMT_YUV420);
        EXPECT_TRUE(output == expected) << (input == &bare ? "without tables" : "with tables");
    }
}

TEST(CodecLibraries, MjpegDecoderRefusesWhatIsNotAPicture)
{
    IIppMjpegDecoderPtr decoder;
    ASSERT_TRUE(decoder);
    Bytes output(PatternBytes(kWidth, kHeight));
    const uint8_t notJpeg[64] = {0xFF, 0xD8, 0xFF};
    S_LMPICTURE picture{kWidth, kHeight, nullptr, 0};
    EXPECT_FALSE(decoder->Decode(notJpeg, sizeof notJpeg, 0, output.data(), &picture));
    EXPECT_NE(decoder->GetLastErrorCode(), 0);
    EXPECT_FALSE(decoder->Decode(notJpeg, sizeof notJpeg, 0, output.data(), nullptr));
    EXPECT_EQ(decoder->GetLastErrorCode(), kInvalidArgument);
}

class CodecRoundTrip : public testing::TestWithParam<CodecCase>
{
};

// Encodes stamped pictures (as bottom-up 32-bit RGB, as a camera gives them) and decodes every
// unit: each picture comes back with its stamp, close to the original, a key picture where asked.
TEST_P(CodecRoundTrip, EncodedUnitsDecodeBack)
{
    const CodecCase& c = GetParam();
    CLMObjectPtr<ILMVideoEncoder> encoder(1, c.szEncoderLibrary, c.szEncoder);
    CLMObjectPtr<ILMVideoDecoder> decoder(1, kLibrary01, c.szDecoder);
    ASSERT_TRUE(encoder && decoder);
    ASSERT_TRUE(encoder->SetOptions(c.szOptions));
    ASSERT_TRUE(encoder->Init(15, 384000, 1350, kWidth, kHeight)) << encoder->GetLastErrorMessage();

    IIppColorSpaceConverterPtr converter;
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    Bytes rgb(kWidth * kHeight * 4), units(256 * 1024), decoded(PatternBytes(kWidth, kHeight));
    for (uint32_t n = 0; n < 8; ++n)
    {
        SCOPED_TRACE(n);
        const Bytes planar = Pattern(n);
        ASSERT_TRUE(converter->Convert(planar.data(), Size(planar), {kWidth, kHeight, LM_FMT_YUV420, 0},
                                       rgb.data(), Size(rgb), {kWidth, -kHeight, LM_FMT_RGB32, 0}));
        const S_LMPICTURE picture{kWidth, -kHeight, LM_FMT_RGB32, n == 5};
        ASSERT_TRUE(encoder->Encode(rgb.data(), Size(rgb), picture, Size(units), units.data(), result.get()))
            << encoder->GetLastErrorMessage();
        EXPECT_EQ(result->bKeyFrame != 0, n == 0 || n == 5);
        bool bGot = false;
        S_DECODEDFRAME frame{};
        size_t at = 0;
        for (uint32_t i = 0; i < result->nCount; ++i)
        {
            EXPECT_LE(result->nSizes[i], 1350u);
            bGot = decoder->Decode(units.data() + at, static_cast<int32_t>(result->nSizes[i]), 0,
                                   decoded.data(), Size(decoded), &frame) != 0;
            at += result->nSizes[i];
        }
        ASSERT_TRUE(bGot) << decoder->GetLastErrorMessage();
        EXPECT_EQ(frame.nWidth, kWidth);
        EXPECT_EQ(frame.nHeight, kHeight);
        EXPECT_STREQ(frame.szFormat, LM_FMT_YUV420);
        EXPECT_EQ(ReadPatternStamp(decoded.data(), kWidth, kHeight), static_cast<int32_t>(n));
        EXPECT_GE(LumaPsnr(decoded, planar), 32);
    }
    // A record with no room: refused, nothing written past it.
    EXPECT_FALSE(encoder->Encode(rgb.data(), Size(rgb), {kWidth, -kHeight, LM_FMT_RGB32, 1}, 10, units.data(),
                                 result.get()));
    EXPECT_EQ(encoder->GetLastErrorCode(), LM_E_BUFFERTOOSMALL);
    EXPECT_FALSE(encoder->Encode(rgb.data(), Size(rgb) - 1, {kWidth, -kHeight, LM_FMT_RGB32, 0}, Size(units),
                                 units.data(), result.get()));
    EXPECT_EQ(encoder->GetLastErrorCode(), kInvalidArgument);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CodecRoundTrip,
    testing::Values(CodecCase{kLibrary04, L"GetH264RtpEncoder", L"speed=1;", L"GetH264RtpDecoder"},
                    CodecCase{kLibrary04, L"GetH264RtpEncoder", L"speed=1;compat;", L"GetH264Decoder"},
                    CodecCase{kLibrary01, L"GetH263RtpEncoder", L"", L"GetH263RtpDecoder"},
                    CodecCase{kLibrary01, L"GetH263RtpEncoder", L"", L"GetH263Decoder"}));

TEST(CodecLibraries, SpeexEncodesWidebandFrames)
{
    IXiphSpeexEncoderPtr encoder;
    ASSERT_TRUE(encoder);
    ASSERT_TRUE(encoder->Init(16000, 20));
    Bytes samples(640);
    for (int i = 0; i < 320; ++i)
    {
        const auto v = static_cast<int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 16000));
        samples[2 * i] = static_cast<uint8_t>(v), samples[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
    uint8_t out[200];
    int32_t written = 0;
    ASSERT_TRUE(encoder->Encode(samples.data(), 640, 0, out, sizeof out, &written));
    // Wideband at quality 8: 27.8 kbit/s, 70 bytes a frame here.
    EXPECT_GT(written, 40);
    EXPECT_LT(written, 100);
    EXPECT_FALSE(encoder->Encode(samples.data(), 320, 0, out, sizeof out, &written));
    EXPECT_EQ(encoder->GetLastErrorCode(), kInvalidArgument);
    EXPECT_FALSE(encoder->Encode(samples.data(), 640, 0, out, sizeof out, nullptr));
    EXPECT_EQ(encoder->GetLastErrorCode(), kInvalidArgument);
}
