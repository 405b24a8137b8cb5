// Little-endian building of payloads into a growing byte vector.
#pragma once
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string_view>
#include <vector>

class ByteWriter
{
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : m_out(out) {}

    ByteWriter& U8(uint8_t v) { return Put(v, 1); }
    ByteWriter& U16(uint16_t v) { return Put(v, 2); }
    ByteWriter& U32(uint32_t v) { return Put(v, 4); }
    ByteWriter& I32(int32_t v) { return Put(static_cast<uint32_t>(v), 4); }

    ByteWriter& Bytes(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        m_out.insert(m_out.end(), b, b + n);
        return *this;
    }

    ByteWriter& Zeros(size_t n)
    {
        m_out.insert(m_out.end(), n, 0);
        return *this;
    }

    // A fixed field of nUnits UTF-16 units, cut to leave room for the terminator, zero-padded.
    ByteWriter& Utf16Field(std::u16string_view s, size_t nUnits)
    {
        size_t n = nUnits ? std::min(s.size(), nUnits - 1) : 0;
        for (size_t i = 0; i < n; ++i)
            U16(s[i]);
        return Zeros((nUnits - n) * 2);
    }

    // A fixed field of nBytes single-byte characters, cut to leave room for the terminator.
    ByteWriter& AnsiField(std::string_view s, size_t nBytes)
    {
        size_t n = nBytes ? std::min(s.size(), nBytes - 1) : 0;
        Bytes(s.data(), n);
        return Zeros(nBytes - n);
    }

    size_t Size() const { return m_out.size(); }

private:
    ByteWriter& Put(uint32_t v, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }

    std::vector<uint8_t>& m_out;
};
