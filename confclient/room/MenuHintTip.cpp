// CMenuHintTip: one tool on the owner, tracked to the item's rectangle.
#include "confclient/room/MenuHintTip.h"

#include <commctrl.h>

CMenuHintTip::~CMenuHintTip()
{
    if (m_hTip) ::DestroyWindow(m_hTip);
}

bool CMenuHintTip::Create(HWND hOwner, const std::wstring& szText, int nXOffset, DWORD dwStyle,
                          const std::wstring& szTitle)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_hOwner = hOwner;
    m_nXOffset = nXOffset;
    m_szText = szText.empty() ? L"No Text associated" : szText;
    m_hTip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr, nullptr, nullptr);
    if (!m_hTip) return false;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    ti.hwnd = hOwner;
    ti.uId = reinterpret_cast<UINT_PTR>(hOwner);
    ti.lpszText = m_szText.data();
    ::SendMessageW(m_hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_hTip, TTM_SETMAXTIPWIDTH, 0, 300);
    if (!szTitle.empty())
        ::SendMessageW(m_hTip, TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(szTitle.c_str()));
    return true;
}

void CMenuHintTip::UpdateTool()
{
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hOwner;
    ti.uId = reinterpret_cast<UINT_PTR>(m_hOwner);
    ti.lpszText = m_szText.data();
    ::SendMessageW(m_hTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CMenuHintTip::SetText(const std::wstring& szText)
{
    m_szText = szText;
    if (m_hTip) UpdateTool();
}

void CMenuHintTip::ShowAtMenuItem(HMENU hMenu, UINT nCommand)
{
    if (!m_hTip) return;
    POINT at{};
    RECT rc{};
    int nPos = -1;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i)
        if (::GetMenuItemID(hMenu, i) == nCommand) nPos = i;
    if (!m_bAtCursor && nPos >= 0 && ::GetMenuItemRect(nullptr, hMenu, static_cast<UINT>(nPos), &rc))
        at = {rc.right + m_nXOffset, rc.bottom};
    else
        ::GetCursorPos(&at);
    ::SendMessageW(m_hTip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hOwner;
    ti.uId = reinterpret_cast<UINT_PTR>(m_hOwner);
    ::SendMessageW(m_hTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    ::SetWindowPos(m_hTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_bShown = true;
}

void CMenuHintTip::Hide()
{
    if (!m_hTip || !m_bShown) return;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hOwner;
    ti.uId = reinterpret_cast<UINT_PTR>(m_hOwner);
    ::SendMessageW(m_hTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    m_bShown = false;
}

void CMenuHintTip::OnMenuSelect(UINT nCommand, UINT nFlags, HMENU hMenu, const std::wstring& szHint)
{
    if ((nFlags & MF_POPUP) || (nFlags == 0xFFFF && !hMenu))
    {
        Hide();
        return;
    }
    if (!szHint.empty()) SetText(szHint);
    ShowAtMenuItem(hMenu, nCommand);
}
