// One field description per payload record, written once beside the record and visited by
// every side that needs its fields:
//   template <class IO> void Fields(IO& io, QNRoomType& r) { io.U16(r.wRoomIndex); io.U32(r.dwFlags); }
// FieldReader decodes through the bounded reader (a short payload sets its sticky error),
// FieldWriter encodes; tests visit the same description to compare and print records.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

class FieldReader
{
public:
    explicit FieldReader(ByteReader& rd) : m_rd(rd) {}
    void U8(uint8_t& v) { v = m_rd.U8(); }
    void U16(uint16_t& v) { v = m_rd.U16(); }
    void U32(uint32_t& v) { v = m_rd.U32(); }
    void I32(int32_t& v) { v = m_rd.I32(); }
    // Bytes the layout reserves: skipped on reading, zeros on writing.
    void Pad(size_t n) { m_rd.Skip(n); }
    // A fixed-width UTF-16 field of nUnits units, ended early by a zero unit.
    void Utf16(std::u16string& s, size_t nUnits) { s = m_rd.Utf16Field(nUnits); }

private:
    ByteReader& m_rd;
};

class FieldWriter
{
public:
    explicit FieldWriter(ByteWriter& w) : m_w(w) {}
    void U8(const uint8_t& v) { m_w.U8(v); }
    void U16(const uint16_t& v) { m_w.U16(v); }
    void U32(const uint32_t& v) { m_w.U32(v); }
    void I32(const int32_t& v) { m_w.I32(v); }
    void Pad(size_t n) { m_w.Zeros(n); }
    void Utf16(const std::u16string& s, size_t nUnits) { m_w.Utf16Field(s, nUnits); }

private:
    ByteWriter& m_w;
};

// The record's fields, written in the order its description gives.
template <class Record> void EncodeFields(const Record& r, std::vector<uint8_t>& out)
{
    ByteWriter w(out);
    FieldWriter io(w);
    // The writer only reads the fields; the description takes the record as the reader does.
    Fields(io, const_cast<Record&>(r));
}

// The record's fields from p; false when the payload is too short for them.
template <class Record> bool DecodeFields(const uint8_t* p, size_t n, Record& r)
{
    ByteReader rd(p, n);
    FieldReader io(rd);
    Fields(io, r);
    return rd.Ok();
}
