// CPhoneAddDlg: kinds, labels and measured layout, the entry handed to the dialer, keys and painting.
#include "confclient/room/PhoneAddDlg.h"

#include "ResourceIds.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/room/CallToHTerminal.h"
#include "winui/Gdi.h"

namespace
{
// The form's own size until the dialer places it.
constexpr int kFormWidth = 300, kFormHeight = 150;
} // namespace

CPhoneAddDlg::CPhoneAddDlg(CCallToHTerminal& owner) : CDialog(IDD_PHONEADD, nullptr), m_pOwner(&owner) {}

BOOL CPhoneAddDlg::OnInitDialog()
{
    INoticeHost& host = m_pOwner->Host();
    m_kinds = {host.NoticeText("IDS_MENU_VOICECALL"), host.NoticeText("IDS_MENU_VIDEOCALL"),
               host.NoticeText("IDS_MENU_HWCALL")};
    HWND hKind = GetDlgItem(IDC_PHONEADD_KIND);
    const int nKinds = (m_pOwner->CallOptions() & kUseHwCall) ? 3 : 2;
    for (int i = 0; i < nKinds; ++i)
        ::SendMessageW(hKind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_kinds[i].c_str()));
    ::SendMessageW(hKind, CB_SETCURSEL, 0, 0);

    m_kindLabel.SubclassDlgItem(IDC_PHONEADD_KINDLABEL, this);
    m_nameLabel.SubclassDlgItem(IDC_PHONEADD_NAMELABEL, this);
    m_numberLabel.SubclassDlgItem(IDC_PHONEADD_NUMBERLABEL, this);
    const std::wstring szName = host.NoticeText("IDS_COMMON_NAME");
    const std::wstring szNumber = host.NoticeText("IDS_COMMON_NUMBER");
    CLMStatic* labels[] = {&m_kindLabel, &m_nameLabel, &m_numberLabel};
    for (CLMStatic* pLabel : labels)
        pLabel->SetColors(RGB(31, 58, 95), RGB(255, 255, 255), OPAQUE);
    m_kindLabel.SetText(host.NoticeText("IDS_COMMON_KIND").c_str());
    m_nameLabel.SetText(szName.c_str());
    m_numberLabel.SetText(szNumber.c_str());

    // The kind stays the first entry: its label and list are placed hidden. The edits follow their
    // labels' measured texts; the English and German texts sit two pixels higher.
    ::SetWindowPos(m_kindLabel, nullptr, 15, 10, 100, 15, SWP_NOZORDER | SWP_HIDEWINDOW);
    ::SetWindowPos(hKind, nullptr, 90, 5, 100, 15, SWP_NOZORDER | SWP_HIDEWINDOW);
    const int y = 8;
    ::MoveWindow(m_nameLabel, 5, y, 100, 15, FALSE);
    ::MoveWindow(m_numberLabel, 90, y, 100, 15, FALSE);
    const int wName = TextWidth(szName);
    const int wNumber = TextWidth(szNumber);
    ::MoveWindow(GetDlgItem(IDC_PHONEADD_NAME), wName + 9, 7, 80 - (wName + 9), 17, FALSE);
    ::MoveWindow(GetDlgItem(IDC_PHONEADD_NUMBER), wNumber + 94, 7, 210 - (wNumber + 94), 17, FALSE);

    m_add.SubclassDlgItem(IDC_PHONEADD_ADD, this);
    m_add.LoadBitmapsAndSize(IDB_PHONEADD_ADD, IDB_PHONEADD_ADD + 1, IDB_PHONEADD_ADD + 2, IDB_PHONEADD_ADD);
    ::MoveWindow(m_add, 215, 3, m_add.m_nWidth, m_add.m_nHeight, FALSE);
    m_close.SubclassDlgItem(IDC_PHONEADD_CLOSE, this);
    m_close.LoadBitmapsAndSize(IDB_PHONEADD_CLOSE, IDB_PHONEADD_CLOSE + 1, IDB_PHONEADD_CLOSE + 2,
                               IDB_PHONEADD_CLOSE);
    ::SetWindowPos(m_close, nullptr, 110, 70, m_close.m_nWidth, m_close.m_nHeight,
                   SWP_NOZORDER | SWP_HIDEWINDOW);
    if (m_tips.Create(this)) m_tips.AddTool(&m_add, host.NoticeText("IDS_MSG_PHONENUMBER_ADD").c_str());

    ::SetWindowPos(m_hWnd, nullptr, 0, 0, kFormWidth, kFormHeight, SWP_NOZORDER | SWP_NOMOVE);
    ShowWindow(SW_SHOW);
    ::SetFocus(GetDlgItem(IDC_PHONEADD_NAME));
    return FALSE;
}

int CPhoneAddDlg::TextWidth(const std::wstring& szText) const
{
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    RECT r{0, 0, 0, 0};
    ::DrawTextW(hDC, szText.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
    return r.right - r.left;
}

void CPhoneAddDlg::SetNumber(const std::wstring& szNumber)
{
    ::SetDlgItemTextW(m_hWnd, IDC_PHONEADD_NUMBER, szNumber.c_str());
}

void CPhoneAddDlg::Add()
{
    if (!m_pOwner) return;
    // The kind is the index of the list's text among the three kind texts.
    std::wstring szKind;
    HWND hKind = GetDlgItem(IDC_PHONEADD_KIND);
    const int nSel = static_cast<int>(::SendMessageW(hKind, CB_GETCURSEL, 0, 0));
    if (nSel >= 0)
    {
        const CString text = GetWindowTextString(hKind);
        for (size_t i = 0; i < m_kinds.size(); ++i)
            if (m_kinds[i] == text.GetString()) szKind = std::to_wstring(i);
    }
    const std::wstring szName = GetWindowTextString(GetDlgItem(IDC_PHONEADD_NAME)).GetString();
    const std::wstring szNumber = GetWindowTextString(GetDlgItem(IDC_PHONEADD_NUMBER)).GetString();
    if (!m_pOwner->AddPhoneEntry(szKind, szName, szNumber)) return;
    ::SetDlgItemTextW(m_hWnd, IDC_PHONEADD_NAME, L"");
    ::SetDlgItemTextW(m_hWnd, IDC_PHONEADD_NUMBER, L"");
}

BOOL CPhoneAddDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_PHONEADD_ADD:
        Add();
        return TRUE;
    case IDC_PHONEADD_CLOSE:
        DestroyWindow();
        return TRUE;
    case IDOK:
    case IDCANCEL:
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CPhoneAddDlg::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hWnd || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))) return FALSE;
    if (pMsg->message == WM_KEYDOWN)
    {
        if (pMsg->wParam == VK_RETURN)
        {
            Add();
            return TRUE;
        }
        // Escape and Ctrl+Break go on without this form's own key handling: they never close it.
        if (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) return FALSE;
    }
    if (m_tips.m_hWnd && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
        m_tips.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CPhoneAddDlg::OnEraseBkgnd(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    CDC(hDC).FillSolidRect(client, RGB(255, 255, 255));
    return TRUE;
}

LRESULT CPhoneAddDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
    {
        DestroyWindow();
        return 0;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CPhoneAddDlg::OnDestroy()
{
    // Every way the form closes clears the dialer's pointer to it and gives the list its height back.
    if (m_pOwner) m_pOwner->OnEntryFormGone();
    m_pOwner = nullptr;
    CDialog::OnDestroy();
}
