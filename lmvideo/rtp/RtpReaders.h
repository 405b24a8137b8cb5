// Bounds-checked readers for RTP payloads: big-endian bytes and most-significant-first bits,
// each with a sticky error, so a packet is read whole and checked once.
#pragma once
#include <cstddef>
#include <cstdint>

class BigEndianReader
{
public:
    BigEndianReader(const uint8_t* p, size_t nLen) : m_p(p), m_nLen(p ? nLen : 0) {}

    bool Ok() const { return !m_bError; }
    size_t Remaining() const { return m_bError ? 0 : m_nLen - m_nPos; }

    uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Take(4)); }

    // The next n bytes, stepped over, or null on a short read.
    const uint8_t* Span(size_t n)
    {
        if (!Need(n)) return nullptr;
        const uint8_t* p = m_p + m_nPos;
        m_nPos += n;
        return p;
    }

    void Skip(size_t n) { Span(n); }

private:
    bool Need(size_t n)
    {
        if (m_bError || n > m_nLen - m_nPos) m_bError = true;
        return !m_bError;
    }

    uint32_t Take(size_t n)
    {
        if (!Need(n)) return 0;
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v = (v << 8) | m_p[m_nPos + i];
        m_nPos += n;
        return v;
    }

    const uint8_t* m_p;
    size_t m_nLen;
    size_t m_nPos = 0;
    bool m_bError = false;
};

class BitReader
{
public:
    BitReader(const uint8_t* p, size_t nLen) : m_p(p), m_nBits(p ? nLen * 8 : 0) {}

    bool Ok() const { return !m_bError; }

    // Up to 32 bits, first bit most significant; 0 and the error on a short read.
    uint32_t Bits(unsigned n)
    {
        if (m_bError || n > m_nBits - m_nPos)
        {
            m_bError = true;
            return 0;
        }
        uint32_t v = 0;
        for (unsigned i = 0; i < n; ++i, ++m_nPos)
            v = (v << 1) | ((m_p[m_nPos / 8] >> (7 - m_nPos % 8)) & 1);
        return v;
    }

private:
    const uint8_t* m_p;
    size_t m_nBits;
    size_t m_nPos = 0;
    bool m_bError = false;
};
