// The decoders' front: RTP packets or plain streams in, whole pictures out, whatever the
// size of the blocks a stream arrives in.
#include <gtest/gtest.h>

#include "lmvideo/rtp/H263Packetizer.h"
#include "lmvideo/rtp/H264Packetizer.h"
#include "lmvideo/rtp/VideoInputFront.h"
#include "tests/rtp/RtpTestStreams.h"

namespace
{
struct Stream
{
    Bytes bytes;
    std::vector<Bytes> pictures;
    std::vector<bool> keys;
};

// Parameter sets and a two-slice IDR picture; a two-slice P picture; SEI and a P picture.
Stream H264Stream()
{
    std::vector<std::vector<Bytes>> pictures = {
        {MakeNal(9, 2, 1), MakeNal(7, 12, 2), MakeNal(8, 5, 3), MakeSlice(5, true, 900, 4),
         MakeSlice(5, false, 700, 5)},
        {MakeSlice(1, true, 300, 6), MakeSlice(1, false, 200, 7)},
        {MakeNal(6, 20, 8), MakeSlice(1, true, 2, 9)},
    };
    Stream s;
    for (const auto& nals : pictures)
    {
        s.pictures.push_back(MakeAnnexB(nals));
        s.bytes.insert(s.bytes.end(), s.pictures.back().begin(), s.pictures.back().end());
    }
    s.keys = {true, false, false};
    return s;
}

Stream H263Stream()
{
    Stream s;
    for (uint8_t i = 0; i < 3; ++i)
    {
        s.pictures.push_back(MakeH263Picture(i == 0, i, {300, 200, 1}, 0).bits);
        s.bytes.insert(s.bytes.end(), s.pictures.back().begin(), s.pictures.back().end());
        s.keys.push_back(i == 0);
    }
    return s;
}

Packets Blocks(const Bytes& bytes, size_t nBlock)
{
    Packets blocks;
    for (size_t i = 0; i < bytes.size(); i += nBlock)
        blocks.emplace_back(bytes.begin() + i, bytes.begin() + std::min(bytes.size(), i + nBlock));
    return blocks;
}

Packets RtpOf(VideoCodec codec, const Stream& s)
{
    Bytes buffer(kMaxAccessUnitBytes + (1 << 20));
    std::vector<uint32_t> sizes(8192);
    Packets packets;
    H264Packetizer h264(1, 0, false);
    H263Packetizer h263(1, 0);
    for (size_t i = 0; i < s.pictures.size(); ++i)
    {
        RtpUnitWriter writer(buffer.data(), buffer.size(), sizes.data(), sizes.size());
        const Bytes& pic = s.pictures[i];
        bool bOk = codec == VideoCodec::H264
                       ? h264.Packetize(pic.data(), pic.size(), 3000 * i, writer)
                       : h263.Packetize(pic.data(), pic.size(), 3000 * i, nullptr, 0, writer);
        EXPECT_TRUE(bOk);
        for (Bytes& p : SplitUnits(buffer.data(), sizes.data(), writer.UnitCount()))
            packets.push_back(p);
    }
    return packets;
}

std::vector<AccessUnit> Feed(VideoInputFront& front, const Packets& blocks)
{
    std::vector<AccessUnit> units;
    AccessUnit unit;
    for (const Bytes& block : blocks)
    {
        front.Push(block.data(), block.size());
        while (front.Pop(unit))
            units.push_back(unit);
    }
    front.Flush();
    while (front.Pop(unit))
        units.push_back(unit);
    return units;
}
} // namespace

TEST(VideoInputFront, EitherInputGivesTheSamePictures)
{
    const Stream h264 = H264Stream(), h263 = H263Stream();
    struct
    {
        const char* name;
        VideoCodec codec;
        const Stream& stream;
        Packets blocks;
        VideoInputFront::Input input;
    } cases[] = {
        {"H.264 RTP", VideoCodec::H264, h264, RtpOf(VideoCodec::H264, h264), VideoInputFront::Input::Rtp},
        {"H.264 stream whole", VideoCodec::H264, h264, {h264.bytes}, VideoInputFront::Input::Stream},
        {"H.264 stream by bytes", VideoCodec::H264, h264, Blocks(h264.bytes, 1),
         VideoInputFront::Input::Stream},
        {"H.264 stream by 7", VideoCodec::H264, h264, Blocks(h264.bytes, 7), VideoInputFront::Input::Stream},
        {"H.264 stream by pictures", VideoCodec::H264, h264, h264.pictures, VideoInputFront::Input::Stream},
        {"H.263 RTP", VideoCodec::H263, h263, RtpOf(VideoCodec::H263, h263), VideoInputFront::Input::Rtp},
        {"H.263 stream by bytes", VideoCodec::H263, h263, Blocks(h263.bytes, 1),
         VideoInputFront::Input::Stream},
        {"H.263 stream by 5", VideoCodec::H263, h263, Blocks(h263.bytes, 5), VideoInputFront::Input::Stream},
        {"H.263 stream by pictures", VideoCodec::H263, h263, h263.pictures, VideoInputFront::Input::Stream},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        VideoInputFront front(c.codec);
        std::vector<AccessUnit> units = Feed(front, c.blocks);
        EXPECT_EQ(c.input, front.InputKind());
        ASSERT_EQ(c.stream.pictures.size(), units.size());
        for (size_t i = 0; i < units.size(); ++i)
        {
            EXPECT_EQ(c.stream.pictures[i], units[i].data) << i;
            EXPECT_EQ(c.stream.keys[i], units[i].bKey) << i;
            EXPECT_FALSE(units[i].bAfterLoss);
        }
        EXPECT_EQ(0u, front.DroppedPictures());
        EXPECT_EQ(0u, front.RejectedBlocks());
    }
}

TEST(VideoInputFront, AStreamPictureLeavesWhenTheNextBegins)
{
    const Stream s = H264Stream();
    VideoInputFront front(VideoCodec::H264);
    AccessUnit unit;
    front.Push(s.pictures[0].data(), s.pictures[0].size());
    EXPECT_FALSE(front.Pop(unit));
    front.Push(s.pictures[1].data(), 6); // start code, header and the slice's first byte
    ASSERT_TRUE(front.Pop(unit));
    EXPECT_EQ(s.pictures[0], unit.data);
}

TEST(VideoInputFront, WhatComesBeforeAPictureStartIsSkipped)
{
    const Stream s = H264Stream();
    Bytes midPicture = MakeAnnexB({MakeSlice(1, false, 50, 20)});
    struct
    {
        const char* name;
        Packets blocks;
        uint32_t nRejected;
    } cases[] = {
        {"neither RTP nor a stream", {{0x12, 0x34, 0x56}, {}, {0, 0, 2}, s.bytes}, 2},
        {"joined inside a picture", {midPicture, s.bytes}, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        VideoInputFront front(VideoCodec::H264);
        std::vector<AccessUnit> units = Feed(front, c.blocks);
        ASSERT_EQ(s.pictures.size(), units.size());
        EXPECT_EQ(s.pictures[0], units[0].data);
        EXPECT_EQ(c.nRejected, front.RejectedBlocks());
    }
}

TEST(VideoInputFront, RtpLossesReachTheDecoder)
{
    const Stream s = H263Stream();
    Packets packets = RtpOf(VideoCodec::H263, s);
    ASSERT_EQ(3u, packets.size());
    packets.erase(packets.begin() + 1);
    VideoInputFront front(VideoCodec::H263);
    std::vector<AccessUnit> units = Feed(front, packets);
    ASSERT_EQ(2u, units.size());
    EXPECT_EQ(s.pictures[2], units[1].data);
    // The lost picture was whole: the next one opens with its start code and is kept.
    EXPECT_TRUE(units[1].bAfterLoss);
    EXPECT_EQ(0u, front.DroppedPictures());
}

TEST(VideoInputFront, APictureBeyondAnyOfOursIsDroppedAlone)
{
    const Stream s = H264Stream();
    Stream huge;
    huge.pictures = {MakeAnnexB({MakeSlice(5, true, kMaxAccessUnitBytes + 100, 1)}), s.pictures[1]};
    for (const Bytes& p : huge.pictures)
        huge.bytes.insert(huge.bytes.end(), p.begin(), p.end());
    struct
    {
        const char* name;
        Packets blocks;
    } cases[] = {
        {"stream", Blocks(huge.bytes, 65536)},
        {"RTP", RtpOf(VideoCodec::H264, huge)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        VideoInputFront front(VideoCodec::H264);
        std::vector<AccessUnit> units = Feed(front, c.blocks);
        ASSERT_EQ(1u, units.size());
        EXPECT_EQ(s.pictures[1], units[0].data);
        EXPECT_TRUE(units[0].bAfterLoss);
        EXPECT_EQ(1u, front.DroppedPictures());
    }
}
