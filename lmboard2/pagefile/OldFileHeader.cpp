// Old page header conversion.
#include "lmboard2/pagefile/OldFileHeader.h"

#include "core/ByteReader.h"

S_BOARD_FILEHDR ConvertOldFileHeader(const uint8_t* pData, const AnsiDecoder& decode)
{
    ByteReader r(pData, kOldFileHeaderSize);
    S_BOARD_FILEHDR h;
    h.dwSize = r.U32();
    h.dwReserved = r.U32();
    h.byKind = r.U8();
    h.bySubPage = r.U8();
    r.Skip(2);
    h.dwNumber = r.U32();
    S_BOARD_FILEHDR::SetText(h.szName, decode(r.AnsiField(32)));
    S_BOARD_FILEHDR::SetText(h.szTitle, decode(r.AnsiField(32)));
    S_BOARD_FILEHDR::SetText(h.szCaption, decode(r.AnsiField(32)));
    return h;
}
