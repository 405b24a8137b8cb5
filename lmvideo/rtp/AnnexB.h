// H.264 byte streams (Annex B): NAL units between start codes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct NalSpan
{
    const uint8_t* p;
    size_t n;
};

constexpr uint8_t kNalTypeIdr = 5;

inline uint8_t NalType(uint8_t header)
{
    return header & 0x1F;
}

// Whether a NAL unit can only be the first of a picture's: a delimiter, SEI, parameter
// set, reserved type 14-18, or a slice at macroblock 0 (H.264 7.4.1.2.3).
bool NalOpensPicture(const uint8_t* p, size_t n);

// The NAL units of a byte stream, without start codes or trailing zero bytes; bytes before
// the first start code and empty units are skipped.
std::vector<NalSpan> SplitAnnexB(const uint8_t* p, size_t n);

// Appends a four-byte start code and the unit.
void AppendAnnexBNal(std::vector<uint8_t>& out, const uint8_t* p, size_t n);
