// LOGFONTW layout of text records.
#include "lmboard2/boardbase/BoardLogFont.h"

void WriteLogFont(ByteWriter& w, const S_BOARD_LOGFONT& lf)
{
    w.I32(lf.lfHeight).I32(lf.lfWidth).I32(lf.lfEscapement).I32(lf.lfOrientation).I32(lf.lfWeight);
    w.U8(lf.lfItalic).U8(lf.lfUnderline).U8(lf.lfStrikeOut).U8(lf.lfCharSet);
    w.U8(lf.lfOutPrecision).U8(lf.lfClipPrecision).U8(lf.lfQuality).U8(lf.lfPitchAndFamily);
    size_t n = 0;
    while (n < 31 && lf.lfFaceName[n])
        ++n;
    for (size_t i = 0; i < 32; ++i)
        w.U16(i < n ? lf.lfFaceName[i] : 0);
}

S_BOARD_LOGFONT ReadLogFont(ByteReader& r)
{
    S_BOARD_LOGFONT lf;
    lf.lfHeight = r.I32();
    lf.lfWidth = r.I32();
    lf.lfEscapement = r.I32();
    lf.lfOrientation = r.I32();
    lf.lfWeight = r.I32();
    lf.lfItalic = r.U8();
    lf.lfUnderline = r.U8();
    lf.lfStrikeOut = r.U8();
    lf.lfCharSet = r.U8();
    lf.lfOutPrecision = r.U8();
    lf.lfClipPrecision = r.U8();
    lf.lfQuality = r.U8();
    lf.lfPitchAndFamily = r.U8();
    bool bEnded = false;
    for (size_t i = 0; i < 32; ++i)
    {
        char16_t c = r.U16();
        if (c == 0) bEnded = true;
        lf.lfFaceName[i] = (bEnded || i == 31) ? u'\0' : c;
    }
    return lf;
}
