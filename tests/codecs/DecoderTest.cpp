// MJPEG and the video decoders, bit for bit against the ffmpeg command line's decodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "CodecFixtures.h"
#include "lmvideo/codecs/MjpegDecoder.h"
#include "lmvideo/codecs/VideoDecoder.h"
#include "lmvideo/fixtures/JpegWithoutTables.h"

namespace
{
struct Decoded
{
    std::vector<Bytes> pictures;
    int nNoPicture = 0;
};

// Feeds every input to one decoder and keeps each picture it writes.
Decoded DecodeAll(VideoDecoder& decoder, const std::vector<Bytes>& inputs)
{
    Decoded out;
    Bytes picture(1280 * 720 * 3 / 2);
    for (const Bytes& input : inputs)
    {
        DecodedPicture info;
        if (decoder.Decode(input.data(), static_cast<int32_t>(input.size()), picture.data(),
                           static_cast<int32_t>(picture.size()), info))
            out.pictures.emplace_back(picture.begin(), picture.begin() + info.nWidth * info.nHeight * 3 / 2);
        else
        {
            EXPECT_EQ(decoder.ErrorCode(), LM_E_NOPICTURE) << decoder.ErrorText();
            ++out.nNoPicture;
        }
    }
    return out;
}

// The CLI's decode of a stream, cut into pictures.
std::vector<Bytes> ReferencePictures(const std::string& name, size_t pictureBytes)
{
    const Bytes all = ReadFixture(name);
    std::vector<Bytes> pictures;
    for (size_t at = 0; at + pictureBytes <= all.size(); at += pictureBytes)
        pictures.emplace_back(all.begin() + at, all.begin() + at + pictureBytes);
    return pictures;
}

// A stream cut into blocks of the given size, whatever they hold.
std::vector<Bytes> Blocks(const Bytes& stream, size_t nBlock)
{
    std::vector<Bytes> blocks;
    for (size_t at = 0; at < stream.size(); at += nBlock)
        blocks.emplace_back(stream.begin() + at, stream.begin() + std::min(at + nBlock, stream.size()));
    return blocks;
}

// Whether every picture of got is one of expected, in expected's order, none twice.
bool IsInOrderWithin(const std::vector<Bytes>& got, const std::vector<Bytes>& expected)
{
    size_t at = 0;
    for (const Bytes& picture : got)
    {
        while (at < expected.size() && expected[at] != picture)
            ++at;
        if (at++ == expected.size()) return false;
    }
    return true;
}

// Packets from the first packet of the picture with the given time stamp index.
size_t FirstPacketOfPicture(const std::vector<Bytes>& packets, size_t nPicture)
{
    size_t pictures = 0;
    for (size_t i = 0; i < packets.size(); ++i)
    {
        if (pictures == nPicture) return i;
        if (packets[i][1] & 0x80) // marker: the picture's last packet
            ++pictures;
    }
    return packets.size();
}
} // namespace

TEST(MjpegDecoder, EqualsTheCommandLineWithOrWithoutHuffmanTablesAndRefusesLargerPictures)
{
    const Bytes jpeg = ReadFixture("cif-1.jpg"), expected = ReadFixture("cif-1.jpg.yuv");
    const Bytes bare = JpegWithoutTables(jpeg);
    ASSERT_LT(bare.size(), jpeg.size());
    MjpegDecoder decoder;
    for (const Bytes* input : {&jpeg, &bare})
    {
        Bytes out(kCifBytes);
        int32_t w = 0, h = 0;
        ASSERT_TRUE(decoder.Decode(input->data(), static_cast<int32_t>(input->size()), out.data(), kCifWidth,
                                   kCifHeight, w, h))
            << decoder.ErrorText();
        EXPECT_EQ(w, kCifWidth);
        EXPECT_EQ(h, kCifHeight);
        EXPECT_EQ(out, expected);
    }
    Bytes small(176 * 144 * 3 / 2);
    int32_t w = 0, h = 0;
    EXPECT_FALSE(
        decoder.Decode(jpeg.data(), static_cast<int32_t>(jpeg.size()), small.data(), 176, 144, w, h));
    EXPECT_EQ(decoder.ErrorCode(), LM_E_BUFFERTOOSMALL);
    EXPECT_FALSE(decoder.Decode(jpeg.data(), 0, small.data(), 176, 144, w, h));
    EXPECT_EQ(decoder.ErrorCode(), kCodecInvalidArgument);
    // Damaged: the decoder says so rather than writing past anything.
    Bytes cut(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_FALSE(decoder.Decode(cut.data(), static_cast<int32_t>(cut.size()), small.data(), 176, 144, w, h));
}

struct StreamCase
{
    const char* szName;
    VideoCodec codec;
    size_t nPictureBytes;
};

class VideoDecoderStreams : public testing::TestWithParam<StreamCase>
{
};

TEST_P(VideoDecoderStreams, RtpAndPlainStreamsInAnyBlocksEqualTheCommandLinesDecode)
{
    const StreamCase& c = GetParam();
    const std::vector<Bytes> expected = ReferencePictures(std::string(c.szName) + ".yuv", c.nPictureBytes);
    ASSERT_FALSE(expected.empty());
    const std::vector<Bytes> packets = ReadCapture(std::string(c.szName) + ".rtp");

    VideoDecoder rtp(c.codec, false);
    EXPECT_EQ(DecodeAll(rtp, packets).pictures, expected);
    VideoDecoder rtpToPlain(c.codec, true);
    EXPECT_EQ(DecodeAll(rtpToPlain, packets).pictures, expected);

    // A stream's picture is known whole when the next begins: all but the last come out,
    // however the stream is cut; a block that completes several gives the newest (all are
    // decoded, so the next equal the command line's too).
    const Bytes stream = ReadFixture(c.szName);
    const std::vector<Bytes> allButLast(expected.begin(), expected.end() - 1);
    VideoDecoder whole(c.codec, true);
    EXPECT_EQ(DecodeAll(whole, SplitStream(c.codec, stream)).pictures, allButLast);
    for (size_t nBlock : {1, 7, 1000, 10000})
    {
        VideoDecoder cut(c.codec, true);
        const std::vector<Bytes> got = DecodeAll(cut, Blocks(stream, nBlock)).pictures;
        EXPECT_TRUE(IsInOrderWithin(got, allButLast)) << nBlock;
        if (nBlock < 100) EXPECT_EQ(got.size(), allButLast.size()) << nBlock;
        ASSERT_FALSE(got.empty());
        EXPECT_TRUE(got.back() == allButLast.back()) << nBlock;
    }

    // Only the plain-stream decoder takes plain streams; neither takes what is neither.
    Bytes out(c.nPictureBytes);
    DecodedPicture info;
    EXPECT_FALSE(rtp.Decode(stream.data(), 100, out.data(), static_cast<int32_t>(out.size()), info));
    EXPECT_EQ(rtp.ErrorCode(), kCodecInvalidArgument);
    const Bytes text = {'n', 'o', 't', ' ', 'v', 'i', 'd', 'e', 'o'};
    VideoDecoder fresh(c.codec, true);
    EXPECT_FALSE(fresh.Decode(text.data(), static_cast<int32_t>(text.size()), out.data(),
                              static_cast<int32_t>(out.size()), info));
    EXPECT_EQ(fresh.ErrorCode(), kCodecInvalidArgument);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, VideoDecoderStreams,
                         testing::Values(StreamCase{"cif.h264", VideoCodec::H264, kCifBytes},
                                         StreamCase{"720p.h264", VideoCodec::H264, 1280 * 720 * 3 / 2},
                                         StreamCase{"cif.h263", VideoCodec::H263, kCifBytes}));

TEST(VideoDecoder, StartsAtTheNextKeyPictureAndLosesOnlyTheDamagedPicture)
{
    // Key pictures every 15: joining at picture 3 waits for picture 15.
    const std::vector<Bytes> packets = ReadCapture("cif.h264.rtp");
    const std::vector<Bytes> expected = ReferencePictures("cif.h264.yuv", kCifBytes);
    ASSERT_EQ(expected.size(), 30u);
    VideoDecoder late(VideoCodec::H264, false);
    const Decoded joined = DecodeAll(
        late, std::vector<Bytes>(packets.begin() + FirstPacketOfPicture(packets, 3), packets.end()));
    ASSERT_EQ(joined.pictures.size(), 15u);
    EXPECT_EQ(joined.pictures.front(), expected[15]);
    EXPECT_EQ(joined.pictures.back(), expected[29]);

    // The second packet of H.263 picture 1 (a predicted picture of two packets) lost: that
    // picture alone is missing, the one before it comes out exactly, the rest still come out.
    const std::vector<Bytes> h263 = ReadCapture("cif.h263.rtp");
    const std::vector<Bytes> reference = ReferencePictures("cif.h263.yuv", kCifBytes);
    const size_t first = FirstPacketOfPicture(h263, 1);
    ASSERT_EQ(FirstPacketOfPicture(h263, 2) - first, 2u);
    std::vector<Bytes> lossy = h263;
    lossy.erase(lossy.begin() + first + 1);
    VideoDecoder decoder(VideoCodec::H263, false);
    const Decoded decoded = DecodeAll(decoder, lossy);
    ASSERT_EQ(decoded.pictures.size(), reference.size() - 1);
    for (size_t i = 0; i < 1; ++i)
        EXPECT_EQ(decoded.pictures[i], reference[i]) << i;
}

TEST(VideoDecoder, RefusesWhatDoesNotFit)
{
    const std::vector<Bytes> pictures = SplitStream(VideoCodec::H264, ReadFixture("cif.h264"));
    VideoDecoder decoder(VideoCodec::H264, true);
    Bytes out(kCifBytes - 1);
    DecodedPicture info;
    // The first picture is known whole once the second starts.
    for (size_t i = 0; i < 2; ++i)
        EXPECT_FALSE(decoder.Decode(pictures[i].data(), static_cast<int32_t>(pictures[i].size()), out.data(),
                                    static_cast<int32_t>(out.size()), info));
    EXPECT_EQ(decoder.ErrorCode(), LM_E_BUFFERTOOSMALL);
    EXPECT_FALSE(decoder.Decode(pictures[0].data(), -1, out.data(), static_cast<int32_t>(out.size()), info));
    EXPECT_EQ(decoder.ErrorCode(), kCodecInvalidArgument);
    EXPECT_FALSE(decoder.Decode(pictures[0].data(), 10, nullptr, 0, info));
    EXPECT_EQ(decoder.ErrorCode(), kCodecInvalidArgument);
}
