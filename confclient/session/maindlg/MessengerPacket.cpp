// One-to-one messages, files and invitations, calls to phones and private data:
// the room commands that reach a messenger window, a box or the session's records.
#include <windows.h>

#include "confclient/network/QNCommands.h"
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
    pMsg->AddLine(szText, nKind);
}

void IConfDlg::OnMessengerPacket(uint16_t wCommand, const QNPacketDesc& desc)
{
    const uint8_t* p = desc.pData;
    const size_t n = p ? desc.nLength : 0;
    // True when the payload was read; a payload too short for its record is dropped with a DEBUG line.
    auto valid = [&](bool bRead)
    {
        if (!bRead)
            AddLog(LOG_DEBUG, L"[MESSENGER] command %u: payload of %u bytes dropped", wCommand,
                   static_cast<unsigned>(n));
        return bRead;
    };
    switch (wCommand)
    {
    case NAK_MSG_TEXT:
    case NAK_MSG_FILEOFFER:
    case NAK_MSG_FILEANSWER:
    case NAK_MSG_FILEDATA:
    case NAK_MSG_INVITE:
    case NAK_MSG_INVITEANSWER:
    {
        uint16_t wUser = kNoIndex;
        if (!valid(DecodeU16(p, n, wUser))) break;
        // The addressee is not logged in.
        if (desc.wSub == 1000 || desc.wSub == 1204)
            DeliverToMessenger(wUser, GetText("IDS_MSG_NONUSER"), MSGKIND_NOTICE);
        break;
    }
    case INFO_MSG_TEXT:
    {
        QNMessage m;
        if (!valid(DecodeMessage(p, n, m))) break;
        DeliverToMessenger(m.wSenderIndex, WideOf(m.szText), MSGKIND_TEXT);
        break;
    }
    case INFO_MSG_FILEOFFER:
    {
        QNFileOffer o;
        if (!valid(DecodeFileOffer(p, n, o))) break;
        DeliverToMessenger(o.wSenderIndex,
                           LobbyUserName(o.wSenderIndex) + L" " + GetText("IDS_MSG_FILESEND_REQ") + L" " +
                               WideOf(o.szFileName),
                           MSGKIND_FILE_OFFER);
        break;
    }
    case INFO_MSG_FILEANSWER:
    {
        QNFileAnswer a;
        if (!valid(DecodeFileAnswer(p, n, a))) break;
        if (a.wAnswer == FILEANSWER_CANCEL)
        {
            DeliverToMessenger(a.wSenderIndex, GetText("IDS_MSG_FILETRANS_CANCEL_ORDER"),
                               MSGKIND_FILE_CANCEL);
            if (CMessangeDlg* pMsg = FindMessenger(a.wSenderIndex)) pMsg->CancelTransfer(a.wTransferId);
        }
        else
            DeliverToMessenger(a.wSenderIndex, GetText("IDS_MSG_FILESEND_REQ"), MSGKIND_FILE_ANSWER);
        break;
    }
    case INFO_MSG_FILEDATA:
    {
        QNFileData d;
        if (!valid(DecodeFileData(p, n, d))) break;
        if (CMessangeDlg* pMsg = FindMessenger(d.wSenderIndex))
            pMsg->OnFileData(d.wTransferId, d.dwOffset, d.pData, d.nData);
        break;
    }
    case INFO_MSG_INVITE:
    {
        QNInvitation inv;
        if (!valid(DecodeInvitation(p, n, inv))) break;
        const S_CONFINFOEX* pConf = FindConfInfo(inv.wRoomIndex);
        std::wstring szInviter = LobbyUserName(inv.wInviterIndex);
        if (!pConf || szInviter.empty())
        {
            AddLog(LOG_INFO, L"[INVITE] room %d or user %d unknown", inv.wRoomIndex, inv.wInviterIndex);
            break;
        }
        m_room.wPendingInvite = inv.wRoomIndex;
        auto* pNotice =
            new CInviteNoticeDlg(szInviter, WideOf(pConf->szTitle), GetText("IDS_MSG_INVITE_REQ"));
        if (!pNotice->Create(nullptr)) delete pNotice; // a created notice deletes itself when closed
        DeliverToMessenger(inv.wInviterIndex, GetText("IDS_MSG_INVITE_REQ") + L" " + WideOf(pConf->szTitle),
                           MSGKIND_NOTICE);
        break;
    }
    case INFO_MSG_INVITEANSWER:
    {
        QNInviteAnswer a;
        if (!valid(DecodeInviteAnswer(p, n, a))) break;
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
    if (wCommand == ACK_PRIVATE_LOADDATA)
    {
        QNPrivateData d;
        if (!DecodePrivateData(desc.pData, desc.pData ? desc.nLength : 0, d))
        {
            AddLog(LOG_DEBUG, L"[PRIVATE_DATA] dropped");
            return;
        }
        m_room.szPrivateData = d.szText;
        AddLog(LOG_INFO, L"[PRIVATE_DATA] %u characters", static_cast<unsigned>(d.szText.size()));
        return;
    }
    uint16_t wReason = static_cast<uint16_t>(desc.dwExtra);
    if (wReason == 1406) return; // nothing saved yet: not a failure
    const char* pszKey =
        wCommand == NAK_PRIVATE_LOADDATA ? "IDS_MSG_PHONE_LOADFAIL" : "IDS_MSG_PHONE_SAVEFAIL";
    std::wstring text = GetText(pszKey) + L" (" + std::to_wstring(wReason) + L")";
    ShowMessageBoxModeless(text);
    AddLog(LOG_ERROR, L"[%hs] %s", RoomCommandName(wCommand), GetText(pszKey).c_str());
}
