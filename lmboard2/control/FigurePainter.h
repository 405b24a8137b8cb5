// Draws the figures of drawing records onto a device context: antialiased through GDI+ by
// default, or plain GDI with a masking pen for the fluorescent colours.
#pragma once
#include <array>
#include <windows.h>

#include "lmboard2/records/DrawRecord.h"
#include "lmboard2/records/DrawRules.h"

class CFigurePainter
{
public:
    explicit CFigurePainter(bool bAntialiased) : m_bAntialiased(bAntialiased) {}
    void SetAntialiased(bool b) { m_bAntialiased = b; }
    bool IsAntialiased() const { return m_bAntialiased; }

    void Line(HDC hdc, const DrawStyle& style, DrawPt a, DrawPt b) const;
    void Rectangle(HDC hdc, const DrawStyle& style, DrawBox box) const;
    void Ellipse(HDC hdc, const DrawStyle& style, DrawBox box) const;
    void Triangle(HDC hdc, const DrawStyle& style, const std::array<DrawPt, 3>& pts) const;
    // Word-wrapped text in its box, transparent, unclipped, broken like an edit control.
    static void Text(HDC hdc, const DrawRecord& rec);

private:
    bool m_bAntialiased;
};

// The font of a text record as the system's LOGFONTW and back (the face name always ends).
LOGFONTW LogFontOf(const S_BOARD_LOGFONT& font);
S_BOARD_LOGFONT BoardFontOf(const LOGFONTW& lf);

// GDI+ for the module's life: started before the first antialiased figure.
bool StartGdiPlus();
