// The board transfer's state bar: texts, bar and cancel button over the portable progress state.
#include "confclient/boardhost/FileUploadStateDlg.h"

#include "resources/ResourceIds.h"

namespace
{
constexpr COLORREF kStateBack = RGB(255, 255, 255);
constexpr COLORREF kStateFrame = RGB(164, 186, 214);
constexpr COLORREF kStateBar = RGB(114, 169, 229);
} // namespace

CFileUploadStateDlg::CFileUploadStateDlg(bool bDownload, TransferTexts texts, CLMBoard2& board)
    : CDialog(IDD_FILEUPLOADSTATE, nullptr), m_progress(bDownload, std::move(texts)), m_board(board)
{
}

BOOL CFileUploadStateDlg::Create(CWnd* pParent, SUploadStateLook look)
{
    m_look = std::move(look);
    return CDialog::Create(IDD_FILEUPLOADSTATE, pParent) && m_hWnd;
}

BOOL CFileUploadStateDlg::OnInitDialog()
{
    for (CLMStatic* p : {&m_title, &m_state})
    {
        p->SubclassDlgItem(p == &m_title ? IDC_UPLOADSTATE_TITLE : IDC_UPLOADSTATE_STATE, this);
        p->SetTextFontStyle(m_look.nFontSize, m_look.fontFace.c_str(), 0);
        p->SetBkColor(kStateBack);
    }
    m_title.SetText(m_look.readyText.c_str());
    m_bar.SubclassDlgItem(IDC_UPLOADSTATE_BAR, this);
    m_bar.SetRange32(0, 100);
    m_bar.m_crBack = kStateBack;
    m_bar.m_gradient = {kStateBar, kStateBar};
    m_bar.SetTextFormat(L"%d%%", PBS_SHOW_PERCENT);
    m_cancel.SubclassDlgItem(IDC_UPLOADSTATE_CANCEL, this);
    m_cancel.LoadBitmapsAndSize(IDB_UPLOADCANCEL_N, IDB_UPLOADCANCEL_P, IDB_UPLOADCANCEL_F,
                                IDB_UPLOADCANCEL_D);
    // Only an upload can be cancelled from here, once its first file goes.
    m_cancel.EnableWindow(FALSE);
    m_cancel.ShowWindow(m_progress.IsDownload() ? SW_HIDE : SW_SHOW);
    if (m_tips.Create(this)) m_tips.AddTool(&m_cancel, m_look.cancelTip.c_str());
    RECT rc{};
    GetClientRect(&rc);
    Layout(rc.right);
    return FALSE;
}

void CFileUploadStateDlg::OnSize(UINT, int cx, int)
{
    if (m_bar.m_hWnd) Layout(cx);
}

void CFileUploadStateDlg::Layout(int cx)
{
    ::MoveWindow(m_title.m_hWnd, 5, 7, 220, 14, TRUE);
    ::MoveWindow(m_state.m_hWnd, cx - 570, 7, 340, 14, TRUE);
    ::MoveWindow(m_bar.m_hWnd, cx - 215, 6, m_progress.IsDownload() ? 210 : 150, 15, TRUE);
    ::SetWindowPos(m_cancel.m_hWnd, nullptr, cx - 57, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CFileUploadStateDlg::BeginProgress(uint32_t nTotal)
{
    m_progress.Begin(nTotal, GetTickCount());
    m_bar.SetPos(0);
}

void CFileUploadStateDlg::SetFileIndex(uint32_t nCurrent, uint32_t nTotal)
{
    const std::u16string text = m_progress.FileText(nCurrent, nTotal);
    m_title.SetText(std::wstring(text.begin(), text.end()).c_str());
    if (nCurrent == 1 && !m_progress.IsDownload()) m_cancel.EnableWindow(TRUE);
}

void CFileUploadStateDlg::OnBytes(uint32_t nBytes)
{
    const std::optional<CTransferProgress::Step> step = m_progress.OnBytes(nBytes, GetTickCount());
    if (!step) return;
    m_bar.SetPos(step->nPercent);
    ::UpdateWindow(m_bar.m_hWnd);
    if (step->text) m_state.SetText(std::wstring(step->text->begin(), step->text->end()).c_str());
}

int CFileUploadStateDlg::Percent() const
{
    return static_cast<int>(::SendMessageW(m_bar.m_hWnd, PBM_GETPOS, 0, 0));
}

BOOL CFileUploadStateDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_tips.m_hWnd) m_tips.RelayEvent(pMsg);
    if (pMsg->message == WM_KEYDOWN &&
        (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CFileUploadStateDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case kMsgBytesMoved:
        OnBytes(static_cast<uint32_t>(wParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_UPLOADSTATE_CANCEL && HIWORD(wParam) == BN_CLICKED)
        {
            m_board.UploadCancel();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
    {
        RECT rc{};
        GetClientRect(&rc);
        HDC hDC = reinterpret_cast<HDC>(wParam);
        ::FillRect(hDC, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH hFrame = ::CreateSolidBrush(kStateFrame);
        ::FrameRect(hDC, &rc, hFrame);
        ::DeleteObject(hFrame);
        return 1;
    }
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
