// Reading drawing records within their length.
#include "lmboard2/records/DrawRecord.h"

#include "core/ByteReader.h"
#include "lmboard2/boardbase/BoardLogFont.h"

namespace
{
BoardPen ReadPen(ByteReader& r)
{
    BoardPen p;
    p.byFluorescent = r.U8();
    p.dwColor = r.U32();
    p.byWidth = r.U8();
    return p;
}

BoardPoint ReadPoint(ByteReader& r)
{
    BoardPoint p;
    p.x = r.U16();
    p.y = r.U16();
    return p;
}

// A string of UTF-16 units ending with a NUL inside the fields; false when it does not end.
bool ReadString(ByteReader& r, std::u16string& out)
{
    out.clear();
    while (r.Remaining() >= 2)
    {
        char16_t c = r.U16();
        if (c == 0) return true;
        out.push_back(c);
    }
    return false;
}

// Whole points up to the end of the fields; false when a part of one is left over.
bool ReadPoints(ByteReader& r, std::vector<BoardPoint>& out)
{
    if (r.Remaining() % 4) return false;
    out.reserve(r.Remaining() / 4);
    while (r.Remaining())
        out.push_back(ReadPoint(r));
    return true;
}
} // namespace

std::optional<DrawRecord> ParseDrawRecord(const uint8_t* pData, size_t nAvail)
{
    if (!pData || nAvail < 2) return std::nullopt;
    size_t nLen = pData[0] | (pData[1] << 8);
    if (nLen < kMinRecordLength || nLen > kMaxRecordLength || nLen > nAvail - 2) return std::nullopt;

    DrawRecord rec;
    rec.byType = pData[2];
    rec.nSize = nLen + 2;
    // The fields lie between the type byte and the terminator.
    ByteReader r(pData + 3, nLen - 2);
    switch (rec.byType)
    {
    case REC_CLEAR:
        break;
    case REC_POINTER:
    case REC_SCROLL:
    case REC_STAMP:
        rec.pt = ReadPoint(r);
        break;
    case REC_ERASER:
        if (!ReadPoints(r, rec.points)) return std::nullopt;
        break;
    case REC_TEXT:
        rec.dwTextColor = r.U32();
        for (uint16_t& v : rec.rcText)
            v = r.U16();
        rec.font = ReadLogFont(r);
        if (!r.Ok() || !ReadString(r, rec.text)) return std::nullopt;
        break;
    case REC_ZOOM:
        rec.byZoomIndex = r.U8();
        if (rec.byZoomIndex >= kZoomPresetCount) return std::nullopt;
        break;
    case REC_SEGMENTS:
        if (r.Remaining() % 14) return std::nullopt;
        while (r.Remaining())
        {
            BoardSegment s;
            s.pen = ReadPen(r);
            s.x0 = static_cast<int16_t>(r.U16());
            s.y0 = static_cast<int16_t>(r.U16());
            s.x1 = static_cast<int16_t>(r.U16());
            s.y1 = static_cast<int16_t>(r.U16());
            rec.segments.push_back(s);
        }
        break;
    case REC_BROWSER:
        for (std::u16string& s : rec.browser)
            if (!ReadString(r, s)) return std::nullopt;
        break;
    case REC_PEN:
    case REC_SHAPE:
        rec.pen = ReadPen(r);
        if (rec.byType == REC_SHAPE) rec.byShape = r.U8();
        rec.pt = ReadPoint(r);
        if (!r.Ok() || !ReadPoints(r, rec.points)) return std::nullopt;
        break;
    default:
        return std::nullopt;
    }
    if (!r.Ok() || r.Remaining() != 0) return std::nullopt;
    return rec;
}
