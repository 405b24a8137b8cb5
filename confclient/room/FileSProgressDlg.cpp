// CFileSProgressDlg: the bar's range is scaled for large files; the panel is its picture's size.
#include "confclient/room/FileSProgressDlg.h"

#include <commctrl.h>

#include "confclient/notices/SkinPictures.h"
#include "resources/ResourceIds.h"

BOOL CFileSProgressDlg::Create(CWnd* pParent)
{
    return CDialog::Create(IDD_FILESPROGRESS, pParent) && m_hWnd;
}

BOOL CFileSProgressDlg::OnInitDialog()
{
    if (!LoadNoticePicture(m_host, m_back, L"back_FSendbarDlg.gif", IDR_BACK_FSENDBAR))
    {
        DestroyWindow();
        return FALSE;
    }
    m_name.SubclassDlgItem(IDC_FILESPROGRESS_NAME, this);
    m_name.SetBkMode(TRANSPARENT);
    m_bar.SubclassDlgItem(IDC_FILESPROGRESS_BAR, this);
    m_bar.SetRange32(m_range.nLow, m_range.nHigh);
    m_bar.SetPos(m_range.nLow);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_back.m_nWidth, m_back.m_nHeight, SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

void CFileSProgressDlg::SetLayout(int nFontSize, const std::wstring& szFace, int nWidth, int nHeight)
{
    m_name.SetTextFontStyle(nFontSize, szFace.c_str(), 0);
    ::MoveWindow(m_bar.m_hWnd, 8, 13, nWidth + 1, nHeight + 3, TRUE);
    ::MoveWindow(m_name.m_hWnd, 8, nHeight + 19, nWidth, nHeight - 2, TRUE);
}

void CFileSProgressDlg::BeginTransfer(uint32_t dwTotal, const std::wstring& szName)
{
    const std::u16string name = FileProgressName(std::u16string(szName.begin(), szName.end()));
    m_name.SetText(std::wstring(name.begin(), name.end()).c_str());
    m_dwTotal = dwTotal ? dwTotal : kEmptyTotal;
    m_nRunning = kEmptyTotal;
    m_range = FileProgressRange(m_dwTotal);
    m_bar.SetRange32(m_range.nLow, m_range.nHigh);
    m_bar.SetPos(m_range.nLow);
    m_bar.m_crBack = RGB(255, 255, 255);
    m_bar.m_gradient = {RGB(0, 0, 127), RGB(0, 0, 127)};
    m_bar.SetTextColor(RGB(255, 255, 255), RGB(0, 0, 127));
    m_bar.SetTextFormat(L"                %d%%", PBS_SHOW_PERCENT);
}

void CFileSProgressDlg::UpdateTransfer(uint32_t dwDone, uint32_t dwDelta)
{
    m_dwDone = dwDone;
    if (m_dwTotal == kNotStarted) return;
    m_nRunning += dwDelta;
    m_bar.SetPos(m_range.Position(m_nRunning));
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

std::wstring CFileSProgressDlg::NameText() const
{
    return GetWindowTextString(m_name.m_hWnd);
}

int CFileSProgressDlg::BarPosition() const
{
    return static_cast<int>(::SendMessageW(m_bar.m_hWnd, PBM_GETPOS, 0, 0));
}

int CFileSProgressDlg::BarLow() const
{
    return static_cast<int>(::SendMessageW(m_bar.m_hWnd, PBM_GETRANGE, TRUE, 0));
}

int CFileSProgressDlg::BarHigh() const
{
    return static_cast<int>(::SendMessageW(m_bar.m_hWnd, PBM_GETRANGE, FALSE, 0));
}

BOOL CFileSProgressDlg::OnEraseBkgnd(HDC hDC)
{
    m_back.Render(hDC, 0, 0, m_back.m_nWidth, m_back.m_nHeight, 0);
    return TRUE;
}
