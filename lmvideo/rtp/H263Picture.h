// The H.263 picture header fields that RTP units repeat, and where pictures and groups of
// blocks start in a bitstream.
#pragma once
#include <cstddef>
#include <cstdint>

struct H263PictureHeader
{
    uint8_t nTemporalReference = 0;
    uint8_t nSourceFormat = 0; // 1..5 sub-QCIF..16CIF; 7 extended (H.263+)
    bool bInter = false;       // false: an intra picture
    bool bUnrestrictedVectors = false;
    bool bArithmeticCoding = false;
    bool bAdvancedPrediction = false;
    bool bPbFrames = false;
};

// False unless the bytes start with a picture start code and a well-formed type field.
bool ParseH263PictureHeader(const uint8_t* p, size_t n, H263PictureHeader& out);

// A byte-aligned start code at p[0..2]: a picture (group number 0) or a group of blocks.
inline bool IsH263StartCode(const uint8_t* p)
{
    return p[0] == 0 && p[1] == 0 && (p[2] & 0x80);
}

inline bool IsH263PictureStart(const uint8_t* p)
{
    return p[0] == 0 && p[1] == 0 && (p[2] & 0xFC) == 0x80;
}
