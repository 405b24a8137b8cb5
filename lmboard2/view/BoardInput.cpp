// The draw modes' reaction to the left button.
#include "lmboard2/view/BoardInput.h"

#include "lmboard2/records/DrawReplay.h"

namespace
{
uint16_t U16(int v)
{
    return static_cast<uint16_t>(v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v));
}
} // namespace

DrawPt CBoardInput::Clamp(DrawPt pt) const
{
    return ClampToPage(pt, m_cxPage, m_cyPage, ClampMargin(m_byPressMode, m_pen.byWidth));
}

uint8_t CBoardInput::FigureMode(bool bShift) const
{
    return m_byPressMode == DRAW_PEN && bShift ? static_cast<uint8_t>(DRAW_LINE) : m_byPressMode;
}

DrawPt CBoardInput::EndPoint(DrawPt pt, bool bShift) const
{
    DrawPt end = Clamp(pt);
    if (m_byPressMode == DRAW_STRAIGHT || bShift) end = SnapStraight(m_start, end);
    return end;
}

void CBoardInput::ButtonDown(const BoardPen& pen, DrawPt page, DrawPt window, bool bInPage)
{
    m_byPressMode = DrawMode();
    if (m_byPressMode != DRAW_SCROLL && !bInPage) return;
    m_pen = pen;
    m_bPressed = true;
    m_window = window;
    m_start = m_last = Clamp(page);
    switch (m_byPressMode)
    {
    case DRAW_TEXT:
        m_owner.OpenTextBox(m_start);
        m_bPressed = false;
        break;
    case DRAW_POINTER:
        m_owner.PointerAt(m_start);
        break;
    case DRAW_SCROLL:
        m_scrollStart = m_owner.ScrollPosition();
        break;
    case DRAW_ERASER:
        m_owner.ErasePoint(m_start);
        break;
    default:
        break;
    }
}

void CBoardInput::Move(DrawPt page, DrawPt window, bool bShift)
{
    if (!m_bPressed) return;
    const uint8_t byFigure = FigureMode(bShift);
    DrawPt pt = Clamp(page);
    if (byFigure == DRAW_PEN)
    {
        if (pt == m_last) return;
        m_owner.DrawPreview(DRAW_PEN, m_pen, m_last, pt);
        m_owner.Writer().AddPenPoint(m_pen, U16(m_start.x), U16(m_start.y), U16(pt.x), U16(pt.y), false);
        m_last = pt;
        return;
    }
    if (IsLineMode(byFigure) || IsShapeMode(byFigure))
    {
        m_last = EndPoint(page, bShift);
        m_owner.DrawBand(byFigure, m_pen, m_start, m_last);
        return;
    }
    switch (m_byPressMode)
    {
    case DRAW_ERASER:
        if (pt == m_last) return;
        m_owner.ErasePoint(pt);
        m_owner.Writer().AddEraserPoint(U16(pt.x), U16(pt.y), false);
        m_last = pt;
        break;
    case DRAW_POINTER:
        m_owner.PointerAt(pt);
        break;
    case DRAW_SCROLL:
        m_owner.ScrollBy(m_window.x - window.x, m_window.y - window.y);
        m_window = window;
        break;
    default:
        break;
    }
}

void CBoardInput::ButtonUp(DrawPt page, DrawPt window, bool bShift)
{
    if (!m_bPressed) return;
    m_bPressed = false;
    const uint8_t byFigure = FigureMode(bShift);
    CSockBoard& writer = m_owner.Writer();
    if (byFigure == DRAW_PEN)
    {
        DrawPt pt = Clamp(page);
        m_owner.DrawPreview(DRAW_PEN, m_pen, m_last, pt);
        writer.AddPenPoint(m_pen, U16(m_start.x), U16(m_start.y), U16(pt.x), U16(pt.y), true);
        return;
    }
    if (IsLineMode(byFigure) || IsShapeMode(byFigure))
    {
        DrawPt end = EndPoint(page, bShift);
        m_owner.EndBand();
        m_owner.DrawPreview(byFigure, m_pen, m_start, end);
        if (IsLineMode(byFigure))
            writer.AddPenPoint(m_pen, U16(m_start.x), U16(m_start.y), U16(end.x), U16(end.y), true);
        else
            writer.AddShapePoint(m_pen, byFigure, U16(m_start.x), U16(m_start.y), U16(end.x), U16(end.y),
                                 true);
        return;
    }
    DrawPt pt = Clamp(page);
    switch (m_byPressMode)
    {
    case DRAW_ERASER:
        m_owner.ErasePoint(pt);
        writer.AddEraserPoint(U16(pt.x), U16(pt.y), true);
        break;
    case DRAW_POINTER:
        m_owner.PointerAt(pt);
        writer.SendPointer(U16(pt.x), U16(pt.y));
        break;
    case DRAW_STAMP:
        if (m_owner.StampAt(pt)) writer.SendStamp(U16(pt.x), U16(pt.y));
        break;
    case DRAW_SCROLL:
        m_owner.ScrollBy(m_window.x - window.x, m_window.y - window.y);
        if (!(m_owner.ScrollPosition() == m_scrollStart)) m_owner.SendScrollPosition();
        break;
    default:
        break;
    }
}
