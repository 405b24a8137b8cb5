// Bounds-checked little-endian reading of received bytes, with a sticky error:
// read every field, then check Ok() once and drop the payload if it was short.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class ByteReader
{
public:
    ByteReader(const void* pData, size_t nLen)
        : m_p(static_cast<const uint8_t*>(pData)), m_nLen(pData ? nLen : 0)
    {
    }

    bool Ok() const { return !m_bError; }
    size_t Offset() const { return m_nPos; }
    size_t Remaining() const { return m_bError ? 0 : m_nLen - m_nPos; }
    const uint8_t* Current() const { return m_p + m_nPos; }

    uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
    int32_t I32() { return static_cast<int32_t>(Take(4)); }

    // Copies n bytes out; on a short read the target is zero-filled and the error set.
    void Bytes(void* pOut, size_t n)
    {
        if (!Need(n))
        {
            std::memset(pOut, 0, n);
            return;
        }
        std::memcpy(pOut, m_p + m_nPos, n);
        m_nPos += n;
    }

    // Returns a pointer to the next n bytes and steps over them, or null on a short read.
    const uint8_t* Span(size_t n)
    {
        if (!Need(n)) return nullptr;
        const uint8_t* p = m_p + m_nPos;
        m_nPos += n;
        return p;
    }

    void Skip(size_t n) { Span(n); }

    // A fixed field of nUnits UTF-16 units: the text up to the first zero unit.
    std::u16string Utf16Field(size_t nUnits)
    {
        const uint8_t* p = Span(nUnits * 2);
        std::u16string s;
        if (!p) return s;
        for (size_t i = 0; i < nUnits; ++i)
        {
            char16_t c = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
            if (c == 0) break;
            s.push_back(c);
        }
        return s;
    }

    // A fixed field of nBytes single-byte characters: the text up to the first zero byte.
    std::string AnsiField(size_t nBytes)
    {
        const uint8_t* p = Span(nBytes);
        std::string s;
        if (!p) return s;
        for (size_t i = 0; i < nBytes && p[i]; ++i)
            s.push_back(static_cast<char>(p[i]));
        return s;
    }

private:
    bool Need(size_t n)
    {
        if (m_bError || n > m_nLen - m_nPos)
        {
            m_bError = true;
            return false;
        }
        return true;
    }

    uint64_t Take(size_t n)
    {
        if (!Need(n)) return 0;
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v |= uint64_t(m_p[m_nPos + i]) << (8 * i);
        m_nPos += n;
        return v;
    }

    const uint8_t* m_p;
    size_t m_nLen;
    size_t m_nPos = 0;
    bool m_bError = false;
};
