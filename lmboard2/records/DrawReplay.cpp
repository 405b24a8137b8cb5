// Replaying drawing records into a surface.
#include "lmboard2/records/DrawReplay.h"

namespace
{
DrawPt Pt(BoardPoint p)
{
    return {p.x, p.y};
}
} // namespace

void DrawFigure(IDrawSurface& surface, const BoardPen& pen, uint8_t byMode, DrawPt a, DrawPt b)
{
    if (IsLineMode(byMode))
    {
        surface.DrawLine(LineStyle(pen), a, b);
        return;
    }
    if (!IsShapeMode(byMode)) return;
    bool bFilled = byMode >= DRAW_FILL_RECT;
    DrawStyle style = ShapeStyle(pen, bFilled);
    switch (byMode)
    {
    case DRAW_RECT:
    case DRAW_FILL_RECT:
        surface.DrawRectangle(style, BoxOf(a, b));
        break;
    case DRAW_ELLIPSE:
    case DRAW_FILL_ELLIPSE:
        surface.DrawEllipse(style, BoxOf(a, b));
        break;
    default:
        surface.DrawTriangle(style, TriangleOf(a, b));
        break;
    }
}

int ReplayDrawRecord(const uint8_t* pData, size_t nAvail, bool bApplyToView, bool bTarget,
                     IDrawSurface& surface)
{
    std::optional<DrawRecord> rec = ParseDrawRecord(pData, nAvail);
    return rec ? ReplayDrawRecord(*rec, bApplyToView, bTarget, surface) : 0;
}

int ReplayDrawRecord(const DrawRecord& rec, bool bApplyToView, bool bTarget, IDrawSurface& surface)
{
    switch (rec.byType)
    {
    case REC_CLEAR:
        if (!bTarget) surface.ClearToBackground();
        break;
    case REC_POINTER:
        if (bApplyToView) surface.MovePointer(Pt(rec.pt));
        break;
    case REC_SCROLL:
        if (bApplyToView) surface.ScrollTo(Pt(rec.pt));
        break;
    case REC_ZOOM:
        if (bApplyToView && rec.byZoomIndex < kZoomPresetCount)
            surface.SetZoom(kZoomPresets[rec.byZoomIndex]);
        break;
    case REC_ERASER:
        for (BoardPoint p : rec.points)
            surface.Erase(EraserBox(Pt(p)));
        break;
    case REC_TEXT:
        surface.DrawText(rec);
        break;
    case REC_SEGMENTS:
        for (const BoardSegment& s : rec.segments)
            surface.DrawLine(LineStyle(s.pen), DrawPt{s.x0, s.y0}, DrawPt{s.x1, s.y1});
        break;
    case REC_BROWSER:
        surface.OpenBrowser(rec.browser);
        break;
    case REC_PEN:
    case REC_SHAPE:
    {
        uint8_t byMode = rec.byType == REC_PEN ? uint8_t(DRAW_PEN) : rec.byShape;
        DrawPt from = Pt(rec.pt);
        for (BoardPoint p : rec.points)
        {
            DrawFigure(surface, rec.pen, byMode, from, Pt(p));
            from = Pt(p);
        }
        break;
    }
    case REC_STAMP:
        surface.PlaceStamp(Pt(rec.pt));
        break;
    default:
        return 0;
    }
    return rec.byType;
}
