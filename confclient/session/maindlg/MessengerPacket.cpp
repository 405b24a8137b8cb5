// One-to-one messages, files and invitations, calls to phones and private data:
// the room commands that reach a messenger window, a box or the session's records.
#include <windows.h>

#include "confclient/room/InviteNoticeDlg.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomdispatch/RoomRules.h"

namespace
{
// Kinds of messenger lines.
enum : int
{
    MSGKIND_NOTICE = 4,
    MSGKIND_TEXT = 5,
    MSGKIND_FILE_OFFER = 7,
    MSGKIND_FILE_ANSWER = 8,
    MSGKIND_FILE_CANCEL = 9,
};
} // namespace

CMessangeDlg* IConfDlg::FindMessenger(uint16_t wUserIndex) const
{
    for (CMessangeDlg* p : m_messengers)
        if (p && p->m_hWnd && p->PeerIndex() == wUserIndex) return p;
    return nullptr;
}

void IConfDlg::DeliverToMessenger(uint16_t wUserIndex, const std::wstring& szText, int nKind)
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
            pSlot->UpdateRoomState(m_wRoomIndex != 0, m_wRoomIndex != 0 ? m_wRoomIndex : kNoIndex);
            pMsg = pSlot;
            break;
        }
    }
    if (!pMsg)
    {
        AddLog(LOG_ERROR, L"[MESSENGER] no window for user %d", wUserIndex);
        return;
    }
    pMsg->AddLine(szText, nKind);
}

void IConfDlg::OnMessengerPacket(uint16_t wCommand, const QNPacketDesc& desc)
{
    const uint8_t* p = desc.pData;
    const size_t n = p ? desc.nLength : 0;
    auto dropped = [&]
    { AddLog(LOG_DEBUG, L"[MESSENGER] command %u: payload of %u bytes dropped", wCommand, static_cast<unsigned>(n)); };
    switch (wCommand)
    {
    case 611:
    case 621:
    case 631:
    case 641:
    case 651:
    case 661:
    {
        uint16_t wUser = kNoIndex;
        if (!DecodeU16(p, n, wUser))
        {
            dropped();
            break;
        }
        // The addressee is not logged in.
        if (desc.wSub == 1000 || desc.wSub == 1204) DeliverToMessenger(wUser, GetText("IDS_MSG_NONUSER"), MSGKIND_NOTICE);
        break;
    }
    case 612:
    {
        QNMessage m;
        if (!DecodeMessage(p, n, m))
        {
            dropped();
            break;
        }
        DeliverToMessenger(m.wSenderIndex, WideOf(m.szText), MSGKIND_TEXT);
        break;
    }
    case 622:
    {
        QNFileOffer o;
        if (!DecodeFileOffer(p, n, o))
        {
            dropped();
            break;
        }
        DeliverToMessenger(o.wSenderIndex, LobbyUserName(o.wSenderIndex) + L" " + GetText("IDS_MSG_FILESEND_REQ") +
                                               L" " + WideOf(o.szFileName),
                           MSGKIND_FILE_OFFER);
        break;
    }
    case 632:
    {
        QNFileAnswer a;
        if (!DecodeFileAnswer(p, n, a))
        {
            dropped();
            break;
        }
        if (a.wAnswer == FILEANSWER_CANCEL)
        {
            DeliverToMessenger(a.wSenderIndex, GetText("IDS_MSG_FILETRANS_CANCEL_ORDER"), MSGKIND_FILE_CANCEL);
            if (CMessangeDlg* pMsg = FindMessenger(a.wSenderIndex)) pMsg->CancelTransfer(a.wTransferId);
        }
        else
            DeliverToMessenger(a.wSenderIndex, GetText("IDS_MSG_FILESEND_REQ"), MSGKIND_FILE_ANSWER);
        break;
    }
    case 642:
    {
        QNFileData d;
        if (!DecodeFileData(p, n, d))
        {
            dropped();
            break;
        }
        if (CMessangeDlg* pMsg = FindMessenger(d.wSenderIndex)) pMsg->OnFileData(d.wTransferId, d.dwOffset, d.pData, d.nData);
        break;
    }
    case 652:
    {
        QNInvitation inv;
        if (!DecodeInvitation(p, n, inv))
        {
            dropped();
            break;
        }
        const S_CONFINFOEX* pConf = FindConfInfo(inv.wRoomIndex);
        std::wstring szInviter = LobbyUserName(inv.wInviterIndex);
        if (!pConf || szInviter.empty())
        {
            AddLog(LOG_INFO, L"[INVITE] room %d or user %d unknown", inv.wRoomIndex, inv.wInviterIndex);
            break;
        }
        m_wPendingInvite = inv.wRoomIndex;
        auto* pNotice = new CInviteNoticeDlg(szInviter, WideOf(pConf->szTitle), GetText("IDS_MSG_INVITE_REQ"));
        if (!pNotice->Create(nullptr)) delete pNotice; // a created notice deletes itself when closed
        DeliverToMessenger(inv.wInviterIndex, GetText("IDS_MSG_INVITE_REQ") + L" " + WideOf(pConf->szTitle),
                           MSGKIND_NOTICE);
        break;
    }
    case 662:
    {
        QNInviteAnswer a;
        if (!DecodeInviteAnswer(p, n, a))
        {
            dropped();
            break;
        }
        std::wstring text = GetText(a.wAccepted ? "IDS_MSG_INVITE_OK" : "IDS_MSG_INVITE_CANCLE_RECV");
        DeliverToMessenger(a.wInviteeIndex, text, MSGKIND_NOTICE);
        ShowMessageBoxModeless(LobbyUserName(a.wInviteeIndex) + L" " + text);
        break;
    }
    default:
        break;
    }
}

void IConfDlg::OnCallPacket(uint16_t wCommand, uint16_t wExtra)
{
    // Calls are placed from the call window of the phone subsystem; none is open in this build,
    // so the end of a call has no window to reset. The failure is still told.
    if (wCommand != 802) return;
    if (const char* pszKey = CallFailureTextKey(wExtra)) ShowMessageBoxModeless(GetText(pszKey));
    AddLog(LOG_ERROR, L"[CALL] failed (%d)", wExtra);
}

void IConfDlg::OnPrivateData(uint16_t wCommand, const QNPacketDesc& desc)
{
    if (wCommand == 901)
    {
        QNPrivateData d;
        if (!DecodePrivateData(desc.pData, desc.pData ? desc.nLength : 0, d))
        {
            AddLog(LOG_DEBUG, L"[PRIVATE_DATA] dropped");
            return;
        }
        m_szPrivateData = d.szText;
        AddLog(LOG_INFO, L"[PRIVATE_DATA] %u characters", static_cast<unsigned>(d.szText.size()));
        return;
    }
    uint16_t wReason = static_cast<uint16_t>(desc.dwExtra);
    if (wReason == 1406) return; // nothing saved yet: not a failure
    const char* pszKey = wCommand == 902 ? "IDS_MSG_PHONE_LOADFAIL" : "IDS_MSG_PHONE_SAVEFAIL";
    std::wstring text = GetText(pszKey) + L" (" + std::to_wstring(wReason) + L")";
    ShowMessageBoxModeless(text);
    AddLog(LOG_ERROR, L"[%s] %s", wCommand == 902 ? L"NAK_PRIVATE_LOADDATA" : L"NAK_PRIVATE_SAVEDATA",
           GetText(pszKey).c_str());
}
