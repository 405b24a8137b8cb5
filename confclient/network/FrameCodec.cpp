// Frame encoding and decoding.
#include "confclient/network/FrameCodec.h"

#include <cstring>

#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"

std::vector<uint8_t> SealMaskedPayload(const uint8_t* pHeader, const uint8_t* pMasked, size_t nLen,
                                       const SeedRoundKeys& rk)
{
    PacketHeader h = PacketHeader::Read(pHeader);
    std::vector<uint8_t> frame;
    if (CipherOf(h.wCommand) == QNCipher::Mask)
    {
        frame.resize(kFrameHeaderSize + nLen);
        if (nLen) std::memcpy(frame.data() + kFrameHeaderSize, pMasked, nLen);
        h.byPadding = 0;
    }
    else
    {
        size_t nCiphered = SeedCipher::RoundUp(nLen);
        frame.resize(kFrameHeaderSize + nCiphered); // zero-filled: the padding is zero bytes
        SeedCipher::EncryptBuffer(pMasked, nLen, frame.data() + kFrameHeaderSize, rk);
        h.byPadding = static_cast<uint8_t>(nCiphered - nLen);
    }
    h.dwTotalLength = static_cast<uint32_t>(frame.size());
    h.Write(frame.data());
    return frame;
}

std::vector<uint8_t> EncodeFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* pPlain, size_t nLen,
                                 const SeedRoundKeys& rk)
{
    PacketHeader h;
    h.wCommand = wCommand;
    h.wSub = wSub;
    uint8_t header[kFrameHeaderSize];
    h.Write(header);
    std::vector<uint8_t> masked(nLen);
    XorPayload(pPlain, nLen, masked.data());
    return SealMaskedPayload(header, masked.data(), nLen, rk);
}

std::optional<size_t> DecodeFrame(uint8_t* pFrame, size_t nFrameLen, const SeedRoundKeys& rk,
                                  FrameFault* pFault)
{
    auto fail = [pFault](FrameFault f) -> std::optional<size_t>
    {
        if (pFault) *pFault = f;
        return std::nullopt;
    };
    if (pFault) *pFault = FrameFault::None;
    if (!pFrame || nFrameLen < kFrameHeaderSize) return fail(FrameFault::Short);
    PacketHeader h = PacketHeader::Read(pFrame);
    if (h.byMask != kFrameMask || h.dwTotalLength != nFrameLen) return fail(FrameFault::BadHeader);

    uint8_t* pPayload = pFrame + kFrameHeaderSize;
    size_t nPayload = nFrameLen - kFrameHeaderSize;
    if (CipherOf(h.wCommand) == QNCipher::Mask)
    {
        XorPayload(pPayload, nPayload, pPayload);
        return nPayload;
    }
    // The padding count comes from the peer: never more than one block's worth
    // nor more than the payload, and the ciphered part is whole blocks.
    if (h.byPadding > 15 || h.byPadding > nPayload) return fail(FrameFault::BadPadding);
    if (nPayload % SeedCipher::kBlockSize != 0) return fail(FrameFault::PartialBlock);
    SeedCipher::DecryptBuffer(pPayload, nPayload, pPayload, rk);
    size_t nPlain = nPayload - h.byPadding;
    XorPayload(pPayload, nPlain, pPayload);
    return nPlain;
}

const char* FrameFaultText(FrameFault fault)
{
    switch (fault)
    {
    case FrameFault::None:
        return "none";
    case FrameFault::Short:
        return "shorter than a header";
    case FrameFault::BadHeader:
        return "bad mask byte or length";
    case FrameFault::BadPadding:
        return "padding count beyond the payload";
    case FrameFault::PartialBlock:
        return "ciphered payload not whole blocks";
    }
    return "unknown";
}
