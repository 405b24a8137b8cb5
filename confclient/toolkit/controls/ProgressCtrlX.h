// CProgressCtrlX: a progress bar with a colour gradient, an optional snake and a text formatted from the
// position.
#pragma once
#include "winui/Controls.h"
#include <vector>

// Style bits of the control beyond the system's progress styles.
constexpr DWORD PBS_SHOW_PERCENT = 0x0100;
constexpr DWORD PBS_SHOW_POSITION = 0x0200;
constexpr DWORD PBS_TEXTMASK = 0x0300;
constexpr DWORD PBS_REVERSE = 0x4000;
constexpr DWORD PBS_SNAKE = 0x8000;

class CProgressCtrlX : public CProgressCtrl
{
public:
    CProgressCtrlX();

    // Sends PBM_SETPOS only when the position changes; returns the old position.
    int SetPos(int pos);
    // A format with one "%d" (such as "%d" or "%d%%") and text bits (PBS_SHOW_PERCENT or
    // PBS_SHOW_POSITION) shows the position as text; anything else shows no text.
    void SetTextFormat(const wchar_t* format, DWORD styleBits);
    void SetTextColor(COLORREF overBar, COLORREF overBack)
    {
        m_crTextOnBar = overBar;
        m_crTextOnBack = overBack;
    }

    std::vector<COLORREF> m_gradient;
    HBRUSH m_pbrBack = nullptr;
    COLORREF m_crBack;
    COLORREF m_crTextOnBar;
    COLORREF m_crTextOnBack;
    RECT m_rcMargins{0, 0, 0, 0};
    int m_nSnakePos = 0;
    int m_nSnakeSize = 10;
    int m_nSnakeDir = 1;
    CString m_strTextFormat;
    int m_nStep = 10;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hDC);
    void DrawGradient(HDC hDC, const RECT& bar, int from, int to, bool vertical);
    // Moves the snake (absolute or relative) and keeps the control's own position inside its range.
    LRESULT MoveSnake(int newHead);
};
