// A record's fields as text, from its one field description: tests compare records with it and
// print the difference when they differ.
#pragma once
#include <cstdint>
#include <string>

class FieldText
{
public:
    void U8(const uint8_t& v) { Add(v); }
    void U16(const uint16_t& v) { Add(v); }
    void U32(const uint32_t& v) { Add(v); }
    void I32(const int32_t& v) { Add(v); }
    void Pad(size_t) {}
    void Utf16(const std::u16string& s, size_t)
    {
        m_text += '"';
        for (char16_t c : s)
            m_text += c < 0x80 ? std::string(1, static_cast<char>(c)) : "\\u" + std::to_string(c);
        m_text += "\" ";
    }
    const std::string& Text() const { return m_text; }

private:
    void Add(int64_t v) { m_text += std::to_string(v) + " "; }
    std::string m_text;
};

template <class Record> std::string FieldsText(const Record& r)
{
    FieldText io;
    Fields(io, const_cast<Record&>(r)); // the printer only reads
    return io.Text();
}
