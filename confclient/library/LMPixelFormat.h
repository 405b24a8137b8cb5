// Pixel-format names as they pass between the video objects, and the byte count of a picture.
#pragma once
#include <cstdint>

inline constexpr const wchar_t* LM_FMT_YUV420 = L"12YUV420"; // planar Y, U, V at 4:2:0
inline constexpr const wchar_t* LM_FMT_RGB555 = L"16RGB555";
inline constexpr const wchar_t* LM_FMT_RGB565 = L"16RGB565";
inline constexpr const wchar_t* LM_FMT_YUY2 = L"16YUY2";
inline constexpr const wchar_t* LM_FMT_UYVY = L"16UYVY";
inline constexpr const wchar_t* LM_FMT_RGB24 = L"24RGB24"; // B, G, R bytes
inline constexpr const wchar_t* LM_FMT_RGB32 = L"32RGB32"; // B, G, R, A bytes
inline constexpr const wchar_t* LM_FMT_NONE = L"00NONE";   // no usable format

// Bytes of a width x height picture in a named format (the magnitudes of the sizes count, as a
// negative height only turns the rows); -1 for an unknown or null name, a size of 0, or planar
// 4:2:0 with an odd size.
int64_t LMPictureBytes(const wchar_t* szFormat, int32_t nWidth, int32_t nHeight);
