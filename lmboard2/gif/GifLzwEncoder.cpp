// LZW for GIF: hashed string table of 5003 entries, codes from 9 to 12 bits, a clear code when it is full.
#include "lmboard2/gif/GifLzwEncoder.h"

#include <algorithm>

namespace
{
constexpr int kBlockBytes = 254; // bytes gathered before a sub-block is written
}

bool CGifLzwEncoder::Encode(const uint8_t* pPixels, size_t nPixels, std::ostream& out)
{
    m_hashKeys.assign(kHashSize, -1);
    m_hashCodes.assign(kHashSize, 0);
    m_pOut = &out;
    m_nBits = kInitBits;
    m_nLargest = (1 << m_nBits) - 1;
    m_nFreeCode = kEndCode + 1;
    m_nAccum = 0;
    m_nAccumBits = 0;
    m_nBlockFill = 0;

    Emit(kClearCode);
    if (nPixels)
    {
        int nPrefix = pPixels[0];
        for (size_t i = 1; i < nPixels; ++i)
        {
            const int c = pPixels[i];
            const int32_t nKey = (c << kMaxBits) + nPrefix;
            int h = nPrefix ^ (c << 4);
            const int nStep = h == 0 ? 1 : kHashSize - h;
            bool bFound = false;
            while (m_hashKeys[h] >= 0)
            {
                if (m_hashKeys[h] == nKey)
                {
                    bFound = true;
                    break;
                }
                h -= nStep;
                if (h < 0) h += kHashSize;
            }
            if (bFound)
            {
                nPrefix = m_hashCodes[h];
                continue;
            }
            Emit(nPrefix);
            nPrefix = c;
            if (m_nFreeCode < kMaxCode)
            {
                m_hashCodes[h] = static_cast<uint16_t>(m_nFreeCode++);
                m_hashKeys[h] = nKey;
            }
            else
                ClearTable();
        }
        Emit(nPrefix);
    }
    Emit(kEndCode);
    if (m_nAccumBits > 0) PutByte(static_cast<uint8_t>(m_nAccum));
    FlushBlock();
    m_pOut = nullptr;
    return static_cast<bool>(out);
}

void CGifLzwEncoder::ClearTable()
{
    std::fill(m_hashKeys.begin(), m_hashKeys.end(), -1);
    m_nFreeCode = kEndCode + 1;
    Emit(kClearCode);
}

// Least significant bit first. The code size grows once the next free code no longer fits it, and returns
// to 9 bits after a clear code.
void CGifLzwEncoder::Emit(int nCode)
{
    m_nAccum |= static_cast<uint32_t>(nCode) << m_nAccumBits;
    m_nAccumBits += m_nBits;
    while (m_nAccumBits >= 8)
    {
        PutByte(static_cast<uint8_t>(m_nAccum));
        m_nAccum >>= 8;
        m_nAccumBits -= 8;
    }
    if (nCode == kClearCode)
    {
        m_nBits = kInitBits;
        m_nLargest = (1 << m_nBits) - 1;
    }
    else if (m_nFreeCode > m_nLargest && m_nBits < kMaxBits)
    {
        ++m_nBits;
        m_nLargest = m_nBits == kMaxBits ? kMaxCode : (1 << m_nBits) - 1;
    }
}

void CGifLzwEncoder::PutByte(uint8_t b)
{
    m_block[m_nBlockFill++] = b;
    if (m_nBlockFill >= kBlockBytes) FlushBlock();
}

void CGifLzwEncoder::FlushBlock()
{
    if (!m_nBlockFill) return;
    const char nLength = static_cast<char>(m_nBlockFill);
    m_pOut->put(nLength);
    m_pOut->write(reinterpret_cast<const char*>(m_block), m_nBlockFill);
    m_nBlockFill = 0;
}
