// CMemoDlg: set-up and placement, the keys, the menu's new, open and save, the window's chrome.
#include "confclient/room/MemoDlg.h"

#include <commdlg.h>

#include <fstream>
#include <iterator>

#include "ResourceIds.h"
#include "confclient/notices/InfoDlg2.h"
#include "core/TextFile.h"
#include "winui/Gdi.h"
#include "winui/WideText.h"
#include "winui/WinApp.h"

namespace
{
constexpr int kMemoWidth = 300, kMemoHeight = 220;
// The memo's light yellow.
constexpr COLORREF kMemoBack = 0xCCFFFF;

std::u16string AnsiText(std::string_view bytes)
{
    if (bytes.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return U16Of(text);
}
} // namespace

CMemoDlg::CMemoDlg(IMemoHost& host) : CDialog(IDD_MEMO, nullptr), m_host(host) {}

bool CMemoDlg::Create(CWnd* pParent)
{
    return CRichEditCtrlGS::LoadControlLibrary() && CDialog::Create(IDD_MEMO, pParent) && m_hWnd;
}

BOOL CMemoDlg::OnInitDialog()
{
    INoticeHost& notices = m_host.MemoNotices();
    if (!m_title.Load(notices, {L"MemoTitle1.gif", L"MemoTitle2.gif", L"MemoTitle3.gif"},
                      {IDR_MEMO_TITLE_L, IDR_MEMO_TITLE_M, IDR_MEMO_TITLE_R}))
    {
        LogF(notices.NoticeLog(), LOG_ERROR, "[MEMO] the memo's title pictures are missing");
        DestroyWindow();
        return FALSE;
    }
    m_hIcon = static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_MEMO), IMAGE_ICON,
                                              0, 0, LR_DEFAULTSIZE | LR_SHARED));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ModifyStyle(0, WS_SYSMENU | WS_MINIMIZEBOX);
    m_menuButton.SubclassDlgItem(IDC_MEMO_MENU, this);
    m_minimize.SubclassDlgItem(IDC_MEMO_MINIMIZE, this);
    m_close.SubclassDlgItem(IDC_MEMO_CLOSE, this);
    m_menuButton.LoadBitmapsAndSize(IDB_MEMO_MENU, IDB_MEMO_MENU + 1, IDB_MEMO_MENU + 2, 0);
    m_minimize.LoadBitmapsAndSize(IDB_MEMO_MINIMIZE, IDB_MEMO_MINIMIZE + 1, IDB_MEMO_MINIMIZE + 2, 0);
    m_close.LoadBitmapsAndSize(IDB_MEMO_CLOSE, IDB_MEMO_CLOSE + 1, IDB_MEMO_CLOSE + 2, 0);

    m_text.Attach(GetDlgItem(IDC_MEMO_TEXT));
    // The control's default limit (32K characters) would cut a longer memo without a word.
    ::SendMessageW(m_text.GetSafeHwnd(), EM_EXLIMITTEXT, 0, kMemoTextLimit);
    ::SendMessageW(m_text.GetSafeHwnd(), EM_SETBKGNDCOLOR, 0, kMemoBack);
    SetWindowText(notices.NoticeText("IDS_MEMO_TITLE").c_str());

    const RECT area = m_host.RoomAreaRect();
    ::SetWindowPos(m_hWnd, nullptr, area.right - kMemoWidth, area.top + 55, kMemoWidth, kMemoHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetFocus(m_text.GetSafeHwnd());
    return FALSE;
}

void CMemoDlg::Layout(int cx, int cy)
{
    if (!m_text.GetSafeHwnd()) return;
    ::MoveWindow(m_menuButton, 4, 4, 13, 12, FALSE);
    ::SetWindowPos(m_minimize, nullptr, cx - 34, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(m_close, nullptr, cx - 16, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const int nTop = m_title.Height();
    ::MoveWindow(m_text.GetSafeHwnd(), 0, nTop, cx, cy > nTop ? cy - nTop : 0, FALSE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL CMemoDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_text.GetSafeHwnd())
    {
        const auto nKey = static_cast<unsigned>(pMsg->wParam);
        if (nKey == VK_ESCAPE)
        {
            m_host.ShowMemo(false);
            return TRUE;
        }
        if (nKey == kMemoSwallowedKey) return TRUE;
        m_model.OnKey(nKey);
        if (nKey == VK_TAB)
        {
            // A tab in the text, not a move to the next control.
            ::SendMessageW(m_text.GetSafeHwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\t"));
            return TRUE;
        }
        return FALSE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CMemoDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_MEMO_MENU:
        ShowMenu();
        return TRUE;
    case IDC_MEMO_MINIMIZE:
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
        return TRUE;
    case IDC_MEMO_CLOSE:
        if (m_host.RoomMainWindowExists()) m_host.ShowMemo(false);
        return TRUE;
    case IDM_MEMO_NEWFILE:
        NewMemo();
        return TRUE;
    case IDM_MEMO_OPEN:
        OpenMemo();
        return TRUE;
    case IDM_MEMO_SAVE:
        SaveMemo();
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CMemoDlg::ShowMenu()
{
    INoticeHost& notices = m_host.MemoNotices();
    HMENU hMenu = ::CreatePopupMenu();
    ::AppendMenuW(hMenu, MF_STRING, IDM_MEMO_NEWFILE, notices.NoticeText("IDMS_MEMO_NEWFILE").c_str());
    ::AppendMenuW(hMenu, MF_STRING, IDM_MEMO_OPEN, notices.NoticeText("IDMS_MEMO_OPEN").c_str());
    ::AppendMenuW(hMenu, MF_STRING, IDM_MEMO_SAVE, notices.NoticeText("IDMS_MEMO_SAVE").c_str());
    RECT rc{};
    ::GetWindowRect(m_menuButton, &rc);
    ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left, rc.bottom, 0, m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
}

bool CMemoDlg::ConfirmSave()
{
    HWND hWnd = m_hWnd;
    return m_model.ConfirmSave(
        [&]
        {
            return CInfoDlg2::Ask(m_host.MemoNotices(), this,
                                  m_host.MemoNotices().NoticeText("IDS_MEMO_SAVECONFIRM"), 3, 0,
                                  NOTICEBOX_MODAL);
        },
        [&] { return ::IsWindow(hWnd) && m_host.SaveChatToFile(m_text.GetSafeHwnd(), m_hWnd); });
}

void CMemoDlg::NewMemo()
{
    if (ConfirmSave() && m_hWnd) m_text.Clear();
}

void CMemoDlg::OpenMemo()
{
    if (!ConfirmSave() || !m_hWnd) return;
    wchar_t szFile[MAX_PATH] = {};
    const std::wstring szFolder = m_host.SaveFolder();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Text file (*.txt)\0*.txt\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"txt";
    ofn.lpstrInitialDir = szFolder.empty() ? nullptr : szFolder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (::GetOpenFileNameW(&ofn)) LoadMemoFile(szFile);
}

bool CMemoDlg::LoadMemoFile(const std::wstring& szPath)
{
    std::ifstream file(szPath.c_str(), std::ios::binary);
    if (!file)
    {
        Tell("IDS_MEMO_OPENFAILED");
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::wstring text = WideOf(DecodeTextFile(bytes, AnsiText));
    if (static_cast<long>(text.size()) > kMemoTextLimit)
    {
        Tell("IDS_MEMO_TOOLARGE");
        return false;
    }
    ::SetWindowTextW(m_text.GetSafeHwnd(), text.c_str());
    return true;
}

void CMemoDlg::SaveMemo()
{
    m_model.OnSaved(m_host.SaveChatToFile(m_text.GetSafeHwnd(), m_hWnd));
}

void CMemoDlg::Tell(const char* pszKey)
{
    INoticeHost& notices = m_host.MemoNotices();
    CInfoDlg2::Ask(notices, this, notices.NoticeText(pszKey), 1, 0, NOTICEBOX_MODAL);
}

BOOL CMemoDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (::IsIconic(m_hWnd))
    {
        ::FillRect(hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        ::DrawIcon(hDC, (rc.right - ::GetSystemMetrics(SM_CXICON)) / 2,
                   (rc.bottom - ::GetSystemMetrics(SM_CYICON)) / 2, m_hIcon);
        return TRUE;
    }
    m_title.Paint(hDC, rc.right);
    return TRUE;
}

LRESULT CMemoDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_NCHITTEST:
    {
        // The surface outside the controls drags the window.
        LRESULT nHit = CDialog::WindowProc(msg, wParam, lParam);
        return nHit == HTCLIENT ? HTCAPTION : nHit;
    }
    case WM_GETMINMAXINFO:
    {
        auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
        pInfo->ptMinTrackSize = {kMemoWidth, kMemoHeight};
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi))
            pInfo->ptMaxTrackSize = {mi.rcWork.right - mi.rcWork.left, mi.rcWork.bottom - mi.rcWork.top};
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
        {
            m_host.ShowMemo(false);
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
