// The fixtures' files and what the codec tests compare with.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lmvideo/codecs/VideoDecoder.h"

using Bytes = std::vector<uint8_t>;

constexpr int kCifWidth = 352, kCifHeight = 288;
constexpr size_t kCifBytes = kCifWidth * kCifHeight * 3 / 2;

// A fixture file's bytes (the test fails when it is missing).
Bytes ReadFixture(const std::string& name);
// The packets of a capture: two-byte big-endian length, then the packet.
std::vector<Bytes> ReadCapture(const std::string& name);
// The pictures of a plain stream as libavcodec's parser splits it.
std::vector<Bytes> SplitStream(VideoCodec codec, const Bytes& stream);
// Luma PSNR in dB of two 4:2:0 pictures of the same size.
double LumaPsnr(const uint8_t* a, const uint8_t* b, int width, int height);
