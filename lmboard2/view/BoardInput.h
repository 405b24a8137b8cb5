// Local input of the board: the left-button state machine of every draw mode. Points arrive
// already in page coordinates; it clamps and snaps them, has the owner draw, and hands the
// records to the writer.
#pragma once
#include <cstdint>
#include <optional>

#include "lmboard2/boardmsg/SockBoard.h"
#include "lmboard2/records/DrawRules.h"

class IBoardInputOwner
{
public:
    virtual ~IBoardInputOwner() = default;
    // A rubber band: the previous band is restored, the figure drawn on screen only.
    virtual void DrawBand(uint8_t byMode, const BoardPen& pen, DrawPt a, DrawPt b) = 0;
    // The band is gone (restored from the drawing).
    virtual void EndBand() = 0;
    // A figure drawn for good: into the drawing and on screen.
    virtual void DrawPreview(uint8_t byMode, const BoardPen& pen, DrawPt a, DrawPt b) = 0;
    // The eraser's square at the point, restored from the background.
    virtual void ErasePoint(DrawPt pt) = 0;
    // The stamp at the point; false when it does not fit the page.
    virtual bool StampAt(DrawPt pt) = 0;
    // The pointer window moved to the point.
    virtual void PointerAt(DrawPt pt) = 0;
    // Text tool: a click opens a box there, or commits the open box when outside it.
    virtual void OpenTextBox(DrawPt pt) = 0;
    // Hand scroll by a drag in window pixels; the position as sent in record 163.
    virtual void ScrollBy(int dx, int dy) = 0;
    virtual DrawPt ScrollPosition() const = 0;
    virtual void SendScrollPosition() = 0;
    virtual CSockBoard& Writer() = 0;
};

class CBoardInput
{
public:
    explicit CBoardInput(IBoardInputOwner& owner) : m_owner(owner) {}

    void SetPageSize(int cx, int cy)
    {
        m_cxPage = cx;
        m_cyPage = cy;
    }
    void SetDrawMode(uint8_t byMode) { m_byMode = byMode; }
    // The tool in effect: hand scroll while the space bar is held.
    uint8_t DrawMode() const { return m_bSpace ? static_cast<uint8_t>(DRAW_SCROLL) : m_byMode; }
    uint8_t ChosenMode() const { return m_byMode; }
    bool IsPressed() const { return m_bPressed; }
    // A tablet pen's pressure changes the width of the stroke in progress.
    void SetStrokeWidth(uint8_t byWidth) { m_pen.byWidth = byWidth; }

    // Left button. bInPage: the window point falls on the page (a stroke starts only there);
    // window: the point in window pixels (hand scroll).
    void ButtonDown(const BoardPen& pen, DrawPt page, DrawPt window, bool bInPage);
    void Move(DrawPt page, DrawPt window, bool bShift);
    void ButtonUp(DrawPt page, DrawPt window, bool bShift);
    // Space bar: its first press (not a repeat) switches to hand scroll until released.
    void SpaceDown() { m_bSpace = true; }
    void SpaceUp() { m_bSpace = false; }

private:
    DrawPt Clamp(DrawPt pt) const;
    // The figure's mode for a held Shift: the pen draws straight lines.
    uint8_t FigureMode(bool bShift) const;
    DrawPt EndPoint(DrawPt pt, bool bShift) const;

    IBoardInputOwner& m_owner;
    uint8_t m_byMode = DRAW_SCROLL;
    bool m_bSpace = false;
    bool m_bPressed = false;
    uint8_t m_byPressMode = DRAW_SCROLL; // the tool of the press in progress
    BoardPen m_pen;
    int m_cxPage = 1600;
    int m_cyPage = 1200;
    DrawPt m_start, m_last, m_window;
    DrawPt m_scrollStart;
};
