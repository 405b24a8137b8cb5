// CRoomCtrlDlg: the memo pad it owns, made on first use and shown or hidden by File 32904.
#include "confclient/room/RoomCtrlDlg.h"

void CRoomCtrlDlg::ShowMemo(bool bShow)
{
    if (!m_pMemo && bShow && m_pHost)
    {
        auto pMemo = std::make_unique<CMemoDlg>(static_cast<IMemoHost&>(*this));
        if (!pMemo->Create(this)) return;
        m_pMemo = std::move(pMemo);
    }
    if (!m_pMemo || !m_pMemo->m_hWnd) return;
    if (bShow)
    {
        m_pMemo->ShowWindow(SW_RESTORE);
        m_pMemo->ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_pMemo->m_hWnd);
    }
    else
        m_pMemo->ShowWindow(SW_HIDE);
}

RECT CRoomCtrlDlg::RoomAreaRect() const
{
    RECT rc{};
    HWND hArea = m_pMainView && m_pMainView->m_hWnd ? m_pMainView->m_hWnd : ::GetParent(m_hWnd);
    if (hArea) ::GetWindowRect(hArea, &rc);
    return rc;
}

bool CRoomCtrlDlg::RoomMainWindowExists() const
{
    return m_pMainView && ::IsWindow(m_pMainView->m_hWnd);
}
