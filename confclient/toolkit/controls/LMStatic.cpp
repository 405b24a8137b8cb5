// CLMStatic: colours, fonts, safe and wrapped text of a skinned label.
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/ControlRules.h"
#include <string>

CLMStatic::CLMStatic()
{
    m_brush.CreateSolidBrush(RGB(255, 255, 255));
    SetBkMode(TRANSPARENT);
}

void CLMStatic::SetBkColor(COLORREF colour)
{
    m_crBack = colour;
    m_brush.CreateSolidBrush(colour);
    m_bNullBrush = false;
}

void CLMStatic::SetBkMode(int mode)
{
    m_nBkMode = mode;
    if (mode == TRANSPARENT)
    {
        // The stock null brush is not ours to delete.
        m_brush.DeleteObject();
        m_bNullBrush = true;
    }
}

void CLMStatic::SetColors(COLORREF text, COLORREF back, int mode)
{
    SetTextColor(text);
    SetBkColor(back);
    SetBkMode(mode);
}

void CLMStatic::SetTextFontStyle(int height, const wchar_t* face, int style)
{
    FontStyle fs = DecodeFontStyle(style);
    m_font.CreateFont(height, fs.nWeight, fs.bItalic, fs.bUnderline, fs.bStrikeOut, face);
    UseFont();
}

void CLMStatic::SetTextFont(int height, const wchar_t* face, int weight)
{
    m_font.CreateFont(height, weight, FALSE, FALSE, FALSE, face);
    UseFont();
}

void CLMStatic::UseFont()
{
    // Some static controls select their own font after asking the parent for colours: give them ours.
    if (m_hWnd && m_font)
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_font)), FALSE);
}

void CLMStatic::SetText(const wchar_t* text)
{
    std::wstring shown = EscapeAmpersands(std::wstring(text ? text : L""));
    SetWindowText(shown.c_str());
    RedrawBackground();
}

void CLMStatic::SetWrapText(const wchar_t* text)
{
    if (!text || !m_hWnd) return;
    RECT client;
    GetClientRect(&client);
    CClientDC dc(m_hWnd);
    HFONT font = m_font ? static_cast<HFONT>(m_font) : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CSelectObject select(dc, font);
    auto measure = [&](const std::wstring& line)
    {
        RECT r{0, 0, 0, 0};
        ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r, DT_CALCRECT);
        return static_cast<int>(r.right - r.left);
    };
    std::wstring wrapped =
        WrapWords(std::wstring(text), static_cast<int>(client.right - client.left), measure);
    SetText(wrapped.c_str());
}

void CLMStatic::RedrawBackground()
{
    if (!m_hWnd || !IsWindowVisible()) return;
    HWND parent = GetParent();
    if (!parent) return;
    RECT r;
    GetWindowRect(&r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HBRUSH CLMStatic::CtlColor(HDC hDC, UINT ctlMsg)
{
    ::SetTextColor(hDC, m_crText);
    ::SetBkColor(hDC, m_crBack);
    ::SetBkMode(hDC, m_nBkMode);
    if (m_font) ::SelectObject(hDC, m_font);
    return m_bNullBrush ? static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)) : static_cast<HBRUSH>(m_brush);
}
