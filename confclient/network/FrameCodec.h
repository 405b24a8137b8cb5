// Pure frame encoding and decoding with an explicit round-key table: shared by
// the client's network object and the loopback conference server.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "confclient/network/SeedCipher.h"

enum class FrameFault : uint8_t
{
    None,
    Short,        // fewer bytes than a header
    BadHeader,    // wrong mask byte, or a total length that disagrees with the frame
    BadPadding,   // padding count above 15 or above the payload
    PartialBlock, // ciphered payload that is not whole 16-byte blocks
};

// Builds a whole frame from a plain payload: header, mask, and for ciphered
// commands SEED with the given table over the zero-padded payload.
std::vector<uint8_t> EncodeFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* pPlain, size_t nLen,
                                 const SeedRoundKeys& rk);

// Builds a whole frame from a payload that is already masked; the header's
// command and sub are taken from pHeader, padding and length are set here.
std::vector<uint8_t> SealMaskedPayload(const uint8_t* pHeader, const uint8_t* pMasked, size_t nLen,
                                       const SeedRoundKeys& rk);

// Decodes a received frame in place with the given table (ignored for masked
// commands): afterwards its payload, from offset 10, is plain. Returns the plain
// length, or nothing with the fault when the frame must be dropped.
std::optional<size_t> DecodeFrame(uint8_t* pFrame, size_t nFrameLen, const SeedRoundKeys& rk,
                                  FrameFault* pFault = nullptr);

const char* FrameFaultText(FrameFault fault);
