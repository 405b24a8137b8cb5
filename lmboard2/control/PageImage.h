// CPageImage: a board page drawn away from the screen, for printing: its background (white
// 1600 x 1200 or its picture) with the page file's records replayed onto it.
#pragma once
#include <windows.h>

#include "lmboard2/control/BoardBitmaps.h"
#include "lmboard2/control/FigurePainter.h"
#include "lmboard2/pagefile/BoardPageStore.h"

class CPageImage final : public IPageTarget
{
public:
    // hStamp: the check-mark stamp (not owned), placed where the records put it.
    explicit CPageImage(HBITMAP hStamp) : m_painter(StartGdiPlus()), m_hStamp(hStamp) {}

    CBoardBitmaps& Bitmaps() { return m_bitmaps; }
    const CSurfaceBitmap& Drawing() const { return m_bitmaps.DrawingBitmap(); }

    // IPageTarget
    bool DrawPicture(const std::filesystem::path& picture) override { return m_bitmaps.LoadPicture(picture); }
    void FillWhite(int nWidth, int nHeight) override { m_bitmaps.MakeBlank(nWidth, nHeight); }
    void ClearToBackground() override { m_bitmaps.ClearToBackground(); }
    void DrawLine(const DrawStyle& style, DrawPt a, DrawPt b) override
    {
        m_painter.Line(m_bitmaps.Drawing(), style, a, b);
    }
    void DrawRectangle(const DrawStyle& style, DrawBox box) override
    {
        m_painter.Rectangle(m_bitmaps.Drawing(), style, box);
    }
    void DrawEllipse(const DrawStyle& style, DrawBox box) override
    {
        m_painter.Ellipse(m_bitmaps.Drawing(), style, box);
    }
    void DrawTriangle(const DrawStyle& style, const std::array<DrawPt, 3>& pts) override
    {
        m_painter.Triangle(m_bitmaps.Drawing(), style, pts);
    }
    void Erase(DrawBox box) override
    {
        RECT rc{box.left, box.top, box.right, box.bottom};
        m_bitmaps.RestoreBox(rc);
    }
    void DrawText(const DrawRecord& rec) override { CFigurePainter::Text(m_bitmaps.Drawing(), rec); }
    void PlaceStamp(DrawPt pt) override;
    // The view's state does not print.
    void MovePointer(DrawPt) override {}
    void ScrollTo(DrawPt) override {}
    void SetZoom(uint16_t) override {}
    void OpenBrowser(const std::u16string (&)[4]) override {}

private:
    CBoardBitmaps m_bitmaps;
    CFigurePainter m_painter;
    HBITMAP m_hStamp;
};
