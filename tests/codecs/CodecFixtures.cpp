// Reading the fixtures.
#include "CodecFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

extern "C"
{
#include <libavcodec/avcodec.h>
}

Bytes ReadFixture(const std::string& name)
{
    std::ifstream in(std::string(QUILLON_FIXTURES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing fixture " << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Bytes> ReadCapture(const std::string& name)
{
    const Bytes all = ReadFixture(name);
    std::vector<Bytes> packets;
    for (size_t at = 0; at + 2 <= all.size();)
    {
        const size_t n = static_cast<size_t>(all[at] << 8 | all[at + 1]);
        if (at + 2 + n > all.size()) break;
        packets.emplace_back(all.begin() + at + 2, all.begin() + at + 2 + n);
        at += 2 + n;
    }
    return packets;
}

std::vector<Bytes> SplitStream(VideoCodec codec, const Bytes& stream)
{
    const AVCodecID id = codec == VideoCodec::H264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_H263;
    AVCodecParserContext* parser = av_parser_init(id);
    AVCodecContext* context = avcodec_alloc_context3(avcodec_find_decoder(id));
    std::vector<Bytes> pictures;
    const uint8_t* p = stream.data();
    size_t left = stream.size();
    // Past the end, a null input flushes the last picture.
    for (bool bEnd = false; !bEnd;)
    {
        uint8_t* out = nullptr;
        int outBytes = 0;
        bEnd = left == 0;
        const int used = av_parser_parse2(parser, context, &out, &outBytes, bEnd ? nullptr : p,
                                          static_cast<int>(left), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        p += used;
        left -= static_cast<size_t>(used);
        if (outBytes > 0) pictures.emplace_back(out, out + outBytes);
    }
    av_parser_close(parser);
    avcodec_free_context(&context);
    return pictures;
}

double LumaPsnr(const uint8_t* a, const uint8_t* b, int width, int height)
{
    double sum = 0;
    for (int i = 0; i < width * height; ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    if (sum == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 * width * height / sum);
}
