// A board page drawn for printing.
#include "lmboard2/control/PageImage.h"

void CPageImage::PlaceStamp(DrawPt pt)
{
    BITMAP bm{};
    if (!m_hStamp || !GetObjectW(m_hStamp, sizeof bm, &bm)) return;
    if (pt.x < 0 || pt.y < 0 || pt.x + bm.bmWidth > m_bitmaps.Width() ||
        pt.y + bm.bmHeight > m_bitmaps.Height())
        return;
    HDC hdcStamp = CreateCompatibleDC(m_bitmaps.Drawing());
    HGDIOBJ hOld = SelectObject(hdcStamp, m_hStamp);
    TransparentBlt(m_bitmaps.Drawing(), pt.x, pt.y, bm.bmWidth, bm.bmHeight, hdcStamp, 0, 0, bm.bmWidth,
                   bm.bmHeight, RGB(255, 255, 255));
    SelectObject(hdcStamp, hOld);
    DeleteDC(hdcStamp);
}
