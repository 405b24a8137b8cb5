// CInputDlg: set-up and layout, choices, OK, Cancel, Enter and the error, painting.
#include "confclient/notices/InputDlg.h"

#include <cwchar>
#include <string>

#include <uxtheme.h>

#include "ResourceIds.h"
#include "confclient/notices/InfoDlg2.h"
#include "winui/Gdi.h"

namespace
{
constexpr int kWidth = 262;
constexpr int kHeight = 300;
} // namespace

CInputDlg::CInputDlg(INoticeHost& host, IZoomOwner& owner, uint16_t wCommand, int nZoom)
    : CDialog(IDD_INPUTDLG, nullptr), m_host(host), m_owner(owner), m_model(owner, wCommand, nZoom)
{
}

bool CInputDlg::Show(CInputDlg* pDlg, CWnd* pParent)
{
    if (pDlg->Create(IDD_INPUTDLG, pParent) && pDlg->m_hWnd) return true;
    if (!pDlg->m_hWnd) delete pDlg;
    return false;
}

BOOL CInputDlg::OnInitDialog()
{
    ::SendDlgItemMessageW(m_hWnd, IDC_ZOOM_SPIN, UDM_SETRANGE32, kZoomMin, kZoomMax);
    if (!m_title.Load(m_host))
    {
        LogF(m_host.NoticeLog(), LOG_ERROR, "[ZOOM] the dialog's title pictures are missing");
        return TRUE;
    }
    m_caption.SubclassDlgItem(IDC_ZOOM_TITLE, this);
    m_caption.SetTextFont(NoticeFontHeight(m_host.NoticeText("IDS_MAM_FONTSIZE")),
                          m_host.NoticeText("IDS_DEFAULT_FONT").c_str(), FW_SEMIBOLD);
    m_caption.SetTextColor(RGB(0x56, 0x60, 0x7C));
    m_caption.SetBkMode(TRANSPARENT);
    ::MoveWindow(m_caption, 7, 6, 200, 14, FALSE);
    m_caption.SetText(m_host.NoticeText("IDMS_MENU_DRAW_ZOOM").c_str());

    m_close.SubclassDlgItem(IDC_ZOOM_CLOSE, this);
    m_ok.SubclassDlgItem(IDC_ZOOM_OK, this);
    m_cancel.SubclassDlgItem(IDC_ZOOM_CANCEL, this);
    m_close.LoadBitmapsAndSize(IDB_CLOSE_N, IDB_CLOSE_P, IDB_CLOSE_F, 0);
    m_ok.LoadBitmapsAndSize(IDB_ZOOM_OK_N, IDB_ZOOM_OK_P, IDB_ZOOM_OK_F, 0);
    m_cancel.LoadBitmapsAndSize(IDB_ZOOM_CANCEL_N, IDB_ZOOM_CANCEL_P, IDB_ZOOM_CANCEL_F, 0);
    ::SetWindowPos(m_close, nullptr, 240, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(m_ok, nullptr, 50, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(m_cancel, nullptr, 145, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    const char* const labels[] = {"IDMS_BOARD_ZOOM_WIDTH", "IDMS_BOARD_ZOOM_PAGE", "IDMS_BOARD_ZOOM_USERSET"};
    for (int i = 0; i < kZoomChoiceCount; ++i)
    {
        const ZoomChoice& c = kZoomChoices[i];
        m_radios[i].SubclassDlgItem(c.nRadio, this);
        ::SetWindowTheme(m_radios[i], L"", L"");
        if (i >= 8)
            m_radios[i].SetWindowText(m_host.NoticeText(labels[i - 8]).c_str());
        else
            m_radios[i].SetWindowText((std::to_wstring(c.nValue) + L"%").c_str());
        if (c.nRadio == kZoomRadioUserSet)
            ::MoveWindow(m_radios[i], 30, 190, 100, 20, FALSE);
        else
            ::MoveWindow(m_radios[i], i < 5 ? 30 : 140, 60 + 25 * (i % 5), 100, 20, FALSE);
    }
    ::MoveWindow(GetDlgItem(IDC_ZOOM_EDIT), 140, 190, 40, 20, FALSE);
    ::MoveWindow(GetDlgItem(IDC_ZOOM_SPIN), 180, 190, 20, 20, FALSE);
    ::SendMessageW(GetDlgItem(IDC_ZOOM_SPIN), UDM_SETBUDDY,
                   reinterpret_cast<WPARAM>(GetDlgItem(IDC_ZOOM_EDIT)), 0);
    ShowSelection();

    ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER);
    CentreNoticeWindow(m_hWnd, m_host.MainRoomWindow(), 0);
    ShowWindow(SW_SHOW);
    ::SetFocus(m_ok);
    return FALSE;
}

void CInputDlg::ShowSelection()
{
    for (int i = 0; i < kZoomChoiceCount; ++i)
        m_radios[i].SetCheck(i == m_model.RadioIndex() ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(GetDlgItem(IDC_ZOOM_EDIT), m_model.IsUserSet());
    std::optional<int> value = m_model.EditValue();
    if (!value && !m_model.IsUserSet()) value = m_owner.BoardZoomPercent();
    if (value) ::SetDlgItemInt(m_hWnd, IDC_ZOOM_EDIT, static_cast<UINT>(*value), FALSE);
}

void CInputDlg::ShowBoardZoom(int nPercent)
{
    if (!m_model.IsUserSet()) ::SetDlgItemInt(m_hWnd, IDC_ZOOM_EDIT, static_cast<UINT>(nPercent), FALSE);
}

std::optional<int> CInputDlg::EditNumber() const
{
    wchar_t text[16] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_ZOOM_EDIT, text, 15);
    wchar_t* pEnd = nullptr;
    const long n = std::wcstol(text, &pEnd, 10);
    if (pEnd == text || *pEnd != 0 || n < -100000 || n > 100000) return std::nullopt;
    return static_cast<int>(n);
}

void CInputDlg::ShowError()
{
    // The skinned box, one button; then the number is chosen again, when the dialog is still there.
    HWND hWnd = m_hWnd;
    CInfoDlg2::Ask(m_host, this, m_host.NoticeText("IDMS_BOARD_ZOOM_ERR"), 1, 0, NOTICEBOX_MODAL);
    if (!::IsWindow(hWnd)) return;
    HWND hEdit = GetDlgItem(IDC_ZOOM_EDIT);
    ::SetFocus(hEdit);
    ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
    ::SendMessageW(hEdit, EM_SCROLLCARET, 0, 0);
}

BOOL CInputDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int nId = LOWORD(wParam);
    if (nId >= IDC_ZOOM_FIRST && nId <= IDC_ZOOM_LAST && HIWORD(wParam) == BN_CLICKED)
    {
        m_model.Choose(nId, EditNumber().value_or(0));
        ShowSelection();
        return TRUE;
    }
    switch (nId)
    {
    case IDC_ZOOM_OK:
        if (m_model.Ok(EditNumber()))
            DestroyWindow();
        else
            ShowError();
        return TRUE;
    case IDC_ZOOM_CANCEL:
    case IDC_ZOOM_CLOSE:
    case IDCANCEL:
        if (nId == IDCANCEL) return TRUE; // Escape is swallowed
        m_model.Cancel();
        DestroyWindow();
        return TRUE;
    case IDOK:
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CInputDlg::PreTranslateMessage(MSG* pMsg)
{
    const bool bMine = pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd);
    if (bMine && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP))
    {
        const WPARAM k = pMsg->wParam;
        if (k == VK_ESCAPE || k == VK_CANCEL || k == VK_SPACE) return TRUE;
        if (k == VK_RETURN)
        {
            if (pMsg->message == WM_KEYDOWN && !m_model.Enter(EditNumber())) ShowError();
            return TRUE;
        }
    }
    if (bMine && pMsg->message == WM_LBUTTONUP && pMsg->hwnd == GetDlgItem(IDC_ZOOM_SPIN))
        m_model.Enter(EditNumber());
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CInputDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST) return HTCAPTION; // the whole dialog drags the window
    return CDialog::WindowProc(msg, wParam, lParam);
}

BOOL CInputDlg::OnEraseBkgnd(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    CDC dc(hDC);
    m_title.Paint(hDC, client.right);
    RECT below = client;
    below.top = m_title.Height();
    dc.FillSolidRect(below, RGB(0xF6, 0xF6, 0xF6));
    CBrush frame;
    frame.CreateSolidBrush(RGB(0x70, 0x82, 0xA1));
    ::FrameRect(hDC, &client, frame);
    RECT box{15, 39, 245, 235};
    CBrush grey;
    grey.CreateSolidBrush(RGB(0xD2, 0xD2, 0xD2));
    ::FrameRect(hDC, &box, grey);
    return TRUE;
}

void CInputDlg::OnDestroy()
{
    m_owner.OnZoomDialogClosed();
    CDialog::OnDestroy();
}
