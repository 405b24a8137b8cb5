// CQuestionDlg: the browser fills the view.
#include "confclient/room/QuestionDlg.h"

#include "confclient/toolkit/browser/WebBrowser2.h"
#include "resources/ResourceIds.h"

CQuestionDlg::CQuestionDlg() : CDialog(IDD_QUESTION, nullptr) {}

CQuestionDlg::~CQuestionDlg() = default;

BOOL CQuestionDlg::Create(CWnd* pParent)
{
    return CDialog::Create(IDD_QUESTION, pParent) && m_hWnd;
}

bool CQuestionDlg::Navigate(const std::wstring& szAddress)
{
    m_szAddress = szAddress;
    if (!m_pWeb)
    {
        RECT rc;
        GetClientRect(&rc);
        auto pWeb = std::make_unique<CWebBrowser2>();
        if (!pWeb->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, m_hWnd, IDC_QUESTION_WEB))
            return false;
        m_pWeb = std::move(pWeb);
    }
    return m_pWeb->Navigate(szAddress.c_str(), nullptr, nullptr, nullptr, nullptr);
}

std::wstring CQuestionDlg::BrowserAddress() const
{
    return m_pWeb ? m_pWeb->GetLocationURL() : std::wstring();
}

void CQuestionDlg::OnSize(UINT, int cx, int cy)
{
    if (m_pWeb && m_pWeb->GetSafeHwnd())
        ::SetWindowPos(m_pWeb->GetSafeHwnd(), nullptr, 0, 0, cx, cy,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CQuestionDlg::OnDestroy()
{
    if (m_pWeb) m_pWeb->DestroyWindow();
    m_pWeb.reset();
    CDialog::OnDestroy();
}
