// RFC 2190 packetization of H.263 pictures.
#include "lmvideo/rtp/H263Packetizer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "lmvideo/rtp/H263Picture.h"
#include "lmvideo/rtp/RtpPacket.h"

namespace
{
constexpr size_t kModeAHeaderBytes = 4;
constexpr size_t kModeBHeaderBytes = 8;

// A place a unit may start: a group of blocks (no macroblock record) or a reported macroblock.
struct SplitPoint
{
    size_t nBit;
    const H263MacroblockInfo* pMacroblock;
};

std::vector<SplitPoint> SplitPoints(const uint8_t* p, size_t n, const H263MacroblockInfo* pMb, size_t nMb)
{
    std::vector<SplitPoint> points;
    for (size_t i = 0; i + 3 <= n; ++i)
        if (IsH263StartCode(p + i)) points.push_back({8 * i, nullptr});
    for (size_t i = 0; i < nMb; ++i)
        if (pMb[i].nBitOffset > 0 && pMb[i].nBitOffset < 8 * n)
            points.push_back({pMb[i].nBitOffset, &pMb[i]});
    // A group start wins over a macroblock at the same bit: mode A needs less header.
    std::stable_sort(points.begin(), points.end(),
                     [](const SplitPoint& a, const SplitPoint& b) {
                         return a.nBit != b.nBit ? a.nBit < b.nBit
                                                 : (a.pMacroblock == nullptr && b.pMacroblock != nullptr);
                     });
    points.erase(std::unique(points.begin(), points.end(),
                             [](const SplitPoint& a, const SplitPoint& b) { return a.nBit == b.nBit; }),
                 points.end());
    points.push_back({8 * n, nullptr});
    return points;
}

void WriteModeA(uint8_t* h, unsigned sbit, unsigned ebit, const H263PictureHeader& pic)
{
    h[0] = static_cast<uint8_t>(sbit << 3 | ebit);
    h[1] = static_cast<uint8_t>(pic.nSourceFormat << 5 | pic.bInter << 4 | pic.bUnrestrictedVectors << 3 |
                                pic.bArithmeticCoding << 2 | pic.bAdvancedPrediction << 1);
    h[2] = 0;
    h[3] = pic.nTemporalReference;
}

void WriteModeB(uint8_t* h, unsigned sbit, unsigned ebit, const H263PictureHeader& pic,
                const H263MacroblockInfo& mb)
{
    h[0] = static_cast<uint8_t>(0x80 | sbit << 3 | ebit);
    h[1] = static_cast<uint8_t>(pic.nSourceFormat << 5 | (mb.nQuant & 0x1F));
    uint16_t where = static_cast<uint16_t>((mb.nGob & 0x1F) << 11 | (mb.nAddress & 0x1FF) << 2);
    h[2] = static_cast<uint8_t>(where >> 8);
    h[3] = static_cast<uint8_t>(where);
    uint32_t flags = uint32_t(pic.bInter) << 31 | uint32_t(pic.bUnrestrictedVectors) << 30 |
                     uint32_t(pic.bArithmeticCoding) << 29 | uint32_t(pic.bAdvancedPrediction) << 28 |
                     uint32_t(mb.nHmv1 & 0x7F) << 21 | uint32_t(mb.nVmv1 & 0x7F) << 14 |
                     uint32_t(mb.nHmv2 & 0x7F) << 7 | uint32_t(mb.nVmv2 & 0x7F);
    for (int i = 0; i < 4; ++i)
        h[4 + i] = static_cast<uint8_t>(flags >> (24 - 8 * i));
}
} // namespace

bool H263Packetizer::Packetize(const uint8_t* pPicture, size_t n, uint32_t nTimestamp,
                               const H263MacroblockInfo* pMacroblocks, size_t nMacroblocks,
                               RtpUnitWriter& out)
{
    H263PictureHeader pic;
    if (!ParseH263PictureHeader(pPicture, n, pic) || pic.nSourceFormat < 1 || pic.nSourceFormat > 5 ||
        pic.bPbFrames)
        return false;
    std::vector<SplitPoint> points = SplitPoints(pPicture, n, pMacroblocks, nMacroblocks);

    uint16_t nSequence = m_nSequence;
    for (size_t from = 0; from + 1 < points.size();)
    {
        const SplitPoint& start = points[from];
        const size_t nHeader = start.pMacroblock ? kModeBHeaderBytes : kModeAHeaderBytes;
        const size_t nFirstByte = start.nBit / 8;
        // The furthest split point whose stretch still fits; the byte holding a split is
        // sent in both units, each saying which of its bits are its own.
        size_t to = from;
        while (to + 1 < points.size() &&
               (points[to + 1].nBit + 7) / 8 - nFirstByte <= kRtpMaxPayloadBytes - nHeader)
            ++to;
        if (to == from) return false;
        const size_t nEndBit = points[to].nBit;
        const size_t nBytes = (nEndBit + 7) / 8 - nFirstByte;
        const unsigned sbit = start.nBit % 8, ebit = (8 - nEndBit % 8) % 8;

        uint8_t* p = out.BeginUnit(kRtpHeaderBytes + nHeader + nBytes);
        if (!p) return false;
        WriteRtpHeader(p, to + 1 == points.size(), kRtpPayloadH263, nSequence++, nTimestamp, m_nSsrc);
        if (start.pMacroblock)
            WriteModeB(p + kRtpHeaderBytes, sbit, ebit, pic, *start.pMacroblock);
        else
            WriteModeA(p + kRtpHeaderBytes, sbit, ebit, pic);
        std::memcpy(p + kRtpHeaderBytes + nHeader, pPicture + nFirstByte, nBytes);
        out.EndUnit(kRtpHeaderBytes + nHeader + nBytes);
        from = to;
    }
    m_nSequence = nSequence;
    return true;
}
