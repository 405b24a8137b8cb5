// CMessangeDlg: one list of lines; each transfer keeps one line that follows its progress.
#include "confclient/room/MessangeDlg.h"
#include "resources/ResourceIds.h"

CMessangeDlg::CMessangeDlg(IRoomHost* pHost, uint16_t wPeerIndex, const std::wstring& szPeerName)
    : CRoomDlg(IDD_MESSENGER), m_pHost(pHost), m_wPeerIndex(wPeerIndex), m_szPeerName(szPeerName)
{
}

BOOL CMessangeDlg::OnInitDialog()
{
    SetWindowText(m_szPeerName.c_str());
    return TRUE;
}

void CMessangeDlg::AddLine(const std::wstring& szText, int nKind)
{
    AppendListLine(GetDlgItem(IDC_MESSENGER_LIST), szText, nKind);
}

int CMessangeDlg::LineCount() const
{
    return static_cast<int>(::SendMessageW(GetDlgItem(IDC_MESSENGER_LIST), LB_GETCOUNT, 0, 0));
}

std::wstring CMessangeDlg::LineText(int nIndex) const
{
    return ListLineText(GetDlgItem(IDC_MESSENGER_LIST), nIndex);
}

void CMessangeDlg::OnFileData(uint16_t wTransferId, uint32_t dwOffset, const uint8_t* p, size_t n)
{
    Transfer& transfer = m_transfers[wTransferId];
    if (transfer.bCancelled || !p) return;
    transfer.dwReceived += static_cast<uint32_t>(n);
    ShowTransfer(wTransferId, transfer);
}

void CMessangeDlg::CancelTransfer(uint16_t wTransferId)
{
    Transfer& transfer = m_transfers[wTransferId];
    transfer.bCancelled = true;
    ShowTransfer(wTransferId, transfer);
}

void CMessangeDlg::ShowTransfer(uint16_t wTransferId, const Transfer& transfer)
{
    std::wstring szText = L"#" + std::to_wstring(wTransferId) + L": " + std::to_wstring(transfer.dwReceived) +
                          L" " +
                          (m_pHost ? m_pHost->RoomText("IDS_ROOMCTRL_BYTES_RECEIVED") : std::wstring());
    if (transfer.bCancelled && m_pHost)
        szText += L" - " + m_pHost->RoomText("IDS_MSG_FILETRANS_CANCEL_ORDER");
    HWND hList = GetDlgItem(IDC_MESSENGER_LIST);
    if (transfer.nLine < 0)
        m_transfers[wTransferId].nLine = AppendListLine(hList, szText, 0);
    else
        ReplaceListLine(hList, transfer.nLine, szText);
}

void CMessangeDlg::ForceClose()
{
    m_bForceClosed = true;
    DestroyWindow();
}

void CMessangeDlg::UpdateRoomState(bool bInviteEnabled, uint16_t wRoomIndex)
{
    m_wRoomIndex = wRoomIndex;
    ::EnableWindow(GetDlgItem(IDC_MESSENGER_INVITE), bInviteEnabled);
}

void CMessangeDlg::OnSize(UINT type, int cx, int cy)
{
    int nGap = DluToPixelsX(4);
    int nRow = DluToPixelsY(14);
    int nButton = DluToPixelsX(50);
    ::MoveWindow(GetDlgItem(IDC_MESSENGER_LIST), nGap, nGap, cx - 2 * nGap, cy - 3 * nGap - nRow, TRUE);
    ::MoveWindow(GetDlgItem(IDC_MESSENGER_INVITE), cx - nGap - nButton, cy - nGap - nRow, nButton, nRow,
                 TRUE);
}
