// The messenger windows as the messenger feature sees them: a line opens its user's
// window when needed; file blocks and cancels reach their windows.
#include <windows.h>

#include "confclient/room/MessangeDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"

CMessangeDlg* IConfDlg::FindMessenger(uint16_t wUserIndex) const
{
    for (CMessangeDlg* p : m_messengers)
        if (p && p->m_hWnd && p->PeerIndex() == wUserIndex) return p;
    return nullptr;
}

void IConfDlg::DeliverToMessenger(uint16_t wUserIndex, const std::u16string& szText, MessengerLineKind nKind)
{
    CMessangeDlg* pMsg = FindMessenger(wUserIndex);
    if (!pMsg)
    {
        // A slot whose window the user closed is used again.
        for (CMessangeDlg*& pSlot : m_messengers)
        {
            if (pSlot && pSlot->m_hWnd) continue;
            delete pSlot;
            pSlot = new CMessangeDlg(this, wUserIndex, LobbyUserName(wUserIndex));
            if (!pSlot->Create(nullptr))
            {
                delete pSlot;
                pSlot = nullptr;
                break;
            }
            pSlot->UpdateRoomState(m_room.InRoom(), m_room.InRoom() ? m_room.RoomIndex() : kNoIndex);
            pMsg = pSlot;
            break;
        }
    }
    if (!pMsg)
    {
        AddLog(LOG_ERROR, L"[MESSENGER] no window for user %d", wUserIndex);
        return;
    }
    pMsg->AddLine(WideOf(szText), nKind);
}

void IConfDlg::CancelTransfer(uint16_t wUserIndex, uint16_t wTransferId)
{
    if (CMessangeDlg* pMsg = FindMessenger(wUserIndex)) pMsg->CancelTransfer(wTransferId);
}

void IConfDlg::OnMessengerFileData(const QNFileData& data)
{
    if (CMessangeDlg* pMsg = FindMessenger(data.wSenderIndex))
        pMsg->OnFileData(data.wTransferId, data.dwOffset, data.pData, data.nData);
}

std::optional<std::u16string> IConfDlg::ConfTitle(uint16_t wRoomIndex) const
{
    const S_CONFINFOEX* pConf = FindConfInfo(wRoomIndex);
    if (!pConf) return std::nullopt;
    return pConf->szTitle;
}
