// What the media library's benchmarks share natively and under Wine: the recorder's input frames,
// the seek targets, and the bare libavformat seek loop the player is measured beside.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kCaptureWidth = 1024, kCaptureHeight = 738, kRate = 15, kKbps = 1200,
                     kSampleRate = 16000;
inline constexpr int kFrames = 90; // six seconds of recording a pass

// Frame n, bottom-up RGB32: moving bars with noise-free gradients, as a screen gives them.
std::vector<uint8_t> ScreenFrame(int n);

// 50 whole-second targets in the one-hour movie, each more than 60 s from the one before.
std::vector<int> SeekTargets();

// libavformat's own, single-threaded: for each target seek back to the key frame before it, flush,
// decode until the picture at the target. Milliseconds per target; empty when the movie does
// not open.
std::vector<double> BareSeekLatencies(const std::string& movie);
