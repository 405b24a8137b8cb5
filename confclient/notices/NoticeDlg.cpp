// CNoticeDlg: text, placement and translucency, the toggle and the close button, keys, background.
#include "confclient/notices/NoticeDlg.h"

#include "ResourceIds.h"
#include "confclient/session/texttable/TextTable.h"

namespace
{
constexpr BYTE kAlpha = 150;
}

CNoticeDlg::CNoticeDlg(INoticeHost& host, int nMode)
    : CDialog(IDD_NOTICEDLG, nullptr), m_host(host), m_nMode(nMode)
{
}

bool CNoticeDlg::Show(CNoticeDlg* pBar)
{
    if (pBar->Create(IDD_NOTICEDLG, nullptr) && pBar->m_hWnd) return true;
    if (!pBar->m_hWnd) delete pBar;
    return false;
}

BOOL CNoticeDlg::OnInitDialog()
{
    m_toggle.SubclassDlgItem(IDC_SHARE_DRAWTOOL, this);
    m_close.SubclassDlgItem(IDC_SHARE_CLOSE, this);
    m_text.SubclassDlgItem(IDC_SHARE_TEXT, this);
    m_toggle.LoadBitmaps(IDB_PEN_N, IDB_PEN_P, IDB_PEN_H, IDB_PEN_D);
    m_close.LoadBitmaps(IDB_SHARECLOSE_N, IDB_SHARECLOSE_P, IDB_SHARECLOSE_F, IDB_SHARECLOSE_D);

    const char* pszKey = m_nMode ? "IDMS_SHARE_NAME" : "IDMS_SHARE_REMOTECTRL";
    m_szText = Formatted(m_host.NoticeLog(), std::wstring(L"%s (%s)"), m_host.NoticeText(pszKey),
                         m_host.MyDisplayName());
    m_text.SetTextColor(RGB(255, 255, 255));
    m_text.SetBkMode(TRANSPARENT);
    m_text.SetTextFont(NoticeFontHeight(m_host.NoticeText("IDS_MAM_FONTSIZE")),
                       m_host.NoticeText("IDS_DEFAULT_FONT").c_str(), FW_MEDIUM);
    ::MoveWindow(m_text, 38, 6, 300, 18, FALSE);
    m_text.SetText(m_szText.c_str());

    if (!LoadNoticePicture(m_host, m_back, L"back_sharerTop.gif", IDR_BACK_SHARERTOP))
    {
        LogF(m_host.NoticeLog(), LOG_ERROR, "[SHARE] the notice bar's background is missing");
        return TRUE;
    }
    const int cx = m_back.m_nWidth;
    const int cy = m_back.m_nHeight;
    // Centred at the top of the monitor the room uses.
    HWND hRoom = m_host.MainRoomWindow();
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    HMONITOR hMonitor = ::MonitorFromWindow(hRoom ? hRoom : m_host.MainDialog(), MONITOR_DEFAULTTOPRIMARY);
    ::GetMonitorInfoW(hMonitor, &mi);
    const int x = mi.rcMonitor.left + (mi.rcMonitor.right - mi.rcMonitor.left - cx) / 2;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x, mi.rcMonitor.top, cx, cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::MoveWindow(m_toggle, cx - 45, 2, 16, 16, FALSE);
    ::MoveWindow(m_close, cx - 22, 2, 16, 16, FALSE);

    m_tip.Create(this);
    m_tip.AddTool(&m_close, m_host.NoticeText("IDMS_SHARE_CLOSE").c_str());
    m_tip.AddTool(&m_toggle, m_host.NoticeText("IDMS_DS_DRAWTOOLTITLE").c_str());
    ::SendMessageW(m_tip, TTM_ACTIVATE, TRUE, 0);

    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, kAlpha, LWA_ALPHA);
    return FALSE;
}

BOOL CNoticeDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_SHARE_DRAWTOOL:
        OnToggle();
        return TRUE;
    case IDC_SHARE_CLOSE:
        OnClose();
        return TRUE;
    case IDOK:
    case IDCANCEL:
        return TRUE; // the bar never closes by keyboard
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CNoticeDlg::OnToggle()
{
    ::PostMessageW(m_host.MainDialog(), kMsgShowDrawTool, m_toggle.GetCheck() ? 1 : 0, 0);
    UpdateToggleTip();
}

void CNoticeDlg::UpdateToggleTip()
{
    const char* pszKey = m_toggle.GetCheck() ? "IDMS_DRAWTOOL_HIDE" : "IDMS_DS_DRAWTOOLTITLE";
    m_tip.UpdateTipText(m_host.NoticeText(pszKey).c_str(), &m_toggle);
}

void CNoticeDlg::OnClose()
{
    constexpr uint16_t kNobody = 0xFFFF;
    if (m_host.IsLocalSharer())
        m_host.StopLocalShare();
    else if (m_host.SharingUser() == kNobody)
        ::PostMessageW(m_host.MainDialog(), kMsgHideDrawTool, 0, 0);
    else
        m_host.EndRemoteShare(m_host.SharingUser());
}

BOOL CNoticeDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))
    {
        if (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST) m_tip.RelayEvent(pMsg);
        if (pMsg->message == WM_KEYDOWN &&
            (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL))
            return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CNoticeDlg::OnEraseBkgnd(HDC hDC)
{
    m_back.Render(hDC, 0, 0, -1, -1, 0);
    return TRUE;
}
