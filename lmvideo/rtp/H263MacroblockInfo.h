// Where the encoder put each macroblock it reports: the points at which a group of blocks
// too large for one unit may be split, with what a receiver needs to resume decoding there.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct H263MacroblockInfo
{
    uint32_t nBitOffset = 0; // from the picture's first bit
    uint8_t nQuant = 0;
    uint8_t nGob = 0;
    uint16_t nAddress = 0; // within its group of blocks
    int8_t nHmv1 = 0, nVmv1 = 0, nHmv2 = 0, nVmv2 = 0;
};

// Reads the encoder's side data: 12-byte little-endian records (bit offset u32, quant u8,
// group u8, address u16, four predictor bytes). A cut last record is ignored.
std::vector<H263MacroblockInfo> ReadH263MacroblockInfo(const uint8_t* p, size_t n);
