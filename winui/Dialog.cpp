// CDialog: template loading, the modal loop and the routing of dialog commands.
#include "winui/Dialog.h"
#include "winui/WinApp.h"

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The dialog procedure only takes the dialog over: once attached, every message goes through
    // CWnd's window procedure first and this procedure asks for default handling.
    if (CWnd::FromHandlePermanent(hWnd) || !t_pWndInit) return FALSE;
    CWnd* pWnd = t_pWndInit;
    t_pWndInit = nullptr;
    pWnd->m_hWnd = nullptr;
    if (!pWnd->SubclassWindow(hWnd)) return FALSE;
    if (msg != WM_INITDIALOG) return FALSE;
    // A template without a font sends WM_INITDIALOG first: it will not come round again.
    LRESULT result = 0;
    Current saved = pWnd->m_current;
    pWnd->m_current = Current{msg, wParam, lParam};
    try
    {
        result = pWnd->WindowProc(msg, wParam, lParam);
    }
    catch (...)
    {
        result = FALSE;
    }
    pWnd->m_current = saved;
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParent)
{
    if (m_hWnd) return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParent;
    t_pWndInit = this;
    HWND hWnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDTemplate),
                                     pParent ? pParent->m_hWnd : nullptr, &CDialog::StaticDlgProc, 0);
    t_pWndInit = nullptr;
    if (!hWnd)
    {
        m_hWnd = nullptr;
        return FALSE;
    }
    m_bCreated = true;
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    HWND hParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    bool reenable = hParent && ::IsWindowEnabled(hParent);
    if (reenable) ::EnableWindow(hParent, FALSE);
    m_nModalResult = -1;
    if (!Create(m_nIDTemplate, m_pParentWnd))
    {
        if (reenable) ::EnableWindow(hParent, TRUE);
        return -1;
    }
    m_bInModalLoop = true;
    if (m_hWnd && !IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);

    MSG msg;
    while (m_bInModalLoop && m_hWnd)
    {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0)
        {
            // WM_QUIT ends every loop: hand it on to the one outside this dialog.
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!AfxPreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_bInModalLoop = false;

    if (reenable) ::EnableWindow(hParent, TRUE);
    if (hParent && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hParent);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_nModalResult = result;
    if (m_bInModalLoop)
    {
        m_bInModalLoop = false;
        // Wake the loop if it sleeps in GetMessage.
        PostMessage(WM_NULL);
    }
    else if (m_hWnd)
    {
        ShowWindow(SW_HIDE);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    return m_hWnd && ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED && lParam) return FALSE;
    switch (LOWORD(wParam))
    {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(msg, wParam, lParam);
}
