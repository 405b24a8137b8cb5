// The messenger windows as the session keeps them: the table's deliveries reach their windows,
// which are made on demand, and the services the windows ask of the session.
#include <windows.h>

#include <commdlg.h>

#include "confclient/network/registry/Registry.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/maindlg/SessionMessages.h"

CMessangeDlg* IConfDlg::FindMessenger(uint16_t wUserIndex) const
{
    return static_cast<CMessangeDlg*>(m_messengers.FindByIndex(wUserIndex));
}

void IConfDlg::DeliverToMessenger(int nKind, uint16_t wUserIndex, const std::u16string& szText,
                                  uint32_t dwValue)
{
    std::u16string szId;
    for (const S_ENTIRE_USER& u : m_lobby.Users())
        if (u.wUserIndex == wUserIndex) szId = u.szUserId;
    int nCode = 0;
    const bool bInRoom = m_room.InRoom();
    const uint16_t wRoom = bInRoom ? m_room.RoomIndex() : kNoIndex;
    if (!m_messengers.Deliver(nKind, wUserIndex, szId, U16Of(LobbyUserName(wUserIndex)), szText, dwValue,
                              bInRoom, wRoom, &nCode))
        AddLog(LOG_ERROR, L"[MESSENGER] no window for user %d (%d)", wUserIndex, nCode);
}

IMessengerWindow* IConfDlg::CreateMessenger(const S_MESSAGEINFO& info)
{
    auto* pDlg = new CMessangeDlg(*this, *this);
    if (!pDlg->Create() || !pDlg->m_hWnd)
    {
        AddLog(LOG_ERROR, L"[MESSENGER] the window could not be made");
        delete pDlg;
        return nullptr;
    }
    pDlg->SetPeer(info.wUserIndex);
    pDlg->Open(WideOf(info.szId), WideOf(info.szName), info.wSlot);
    pDlg->ShowWindow(SW_SHOWNOACTIVATE);
    ::SetWindowPos(pDlg->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetWindowPos(pDlg->m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CMessangeDlg::ActivateByMiddleClick(pDlg->m_hWnd);
    return pDlg;
}

void IConfDlg::DeleteMessenger(IMessengerWindow* pWindow)
{
    delete static_cast<CMessangeDlg*>(pWindow);
}

void IConfDlg::TakeQueuedMessages(const std::wstring& szPeerId, uint16_t wPeerIndex)
{
    m_messengers.TakeQueuedMessages(U16Of(szPeerId), wPeerIndex);
}

std::wstring IConfDlg::ProgramKey() const
{
    return RegProgramKey(m_szExeName);
}

std::wstring IConfDlg::StateFields() const
{
    // The local user's ID, level word and user index.
    return WideOf(m_launch.fields.szUserId) + L", " + std::to_wstring(m_wMyLevel) + L", " +
           std::to_wstring(m_wMyIndex);
}

bool IConfDlg::SendMessengerText(uint16_t wPeer, const std::u16string& szWire)
{
    return m_pNet && m_pNet->SendMessengerText(m_wMyIndex, wPeer, szWire);
}

bool IConfDlg::SendInvite(uint16_t wRoomIndex, uint16_t wPeer)
{
    return m_pNet && m_pNet->SendInvite(wRoomIndex, m_wMyIndex, wPeer);
}

bool IConfDlg::SendInviteReply(uint16_t wPeer, bool bAccept)
{
    return m_pNet && m_pNet->SendInviteReply(m_wMyIndex, wPeer, bAccept);
}

bool IConfDlg::IsRoomUser(uint16_t wPeerIndex, const std::wstring& szPeerId) const
{
    if (!m_room.InRoom()) return false;
    for (const S_ROOMUSERINFO& u : m_room.users.Users())
        if (u.userIndex == wPeerIndex || (!szPeerId.empty() && WideOf(u.ID) == szPeerId)) return true;
    return false;
}

void IConfDlg::LeaveRoomForInvitation()
{
    // The room goes with its window's placement kept; the messenger joins the invited room once
    // the session is back in the lobby.
    if (m_room.InRoom()) OnRoomClosed(true);
}

uint32_t IConfDlg::FeatureWord() const
{
    // Files may always be sent; the invite button goes when the system options turn invitations off.
    return 0x10u | (m_sysOption.UseInvite() ? 0u : 0x200000u);
}

void IConfDlg::OnMessengerFileOffer(const QNFileOffer& offer)
{
    // An offer opens the sender's window as a message does.
    std::u16string szId;
    for (const S_ENTIRE_USER& u : m_lobby.Users())
        if (u.wUserIndex == offer.wSenderIndex) szId = u.szUserId;
    const bool bInRoom = m_room.InRoom();
    int nCode = 0;
    IMessengerWindow* pWindow =
        m_messengers.FindOrCreate(offer.wSenderIndex, szId, U16Of(LobbyUserName(offer.wSenderIndex)), bInRoom,
                                  bInRoom ? m_room.RoomIndex() : kNoIndex, &nCode);
    if (!pWindow)
    {
        AddLog(LOG_ERROR, L"[MESSENGER] no window for the offer of user %d (%d)", offer.wSenderIndex, nCode);
        return;
    }
    static_cast<CMessangeDlg*>(pWindow)->OnFileOffer(offer.szFileName, offer.dwFileSize);
}

void IConfDlg::OnMessengerFileReply(uint16_t wUserIndex, bool bAccepted)
{
    if (CMessangeDlg* pMsg = FindMessenger(wUserIndex)) pMsg->OnFileReply(bAccepted);
}

void IConfDlg::OnMessengerFileData(const QNFileData& data)
{
    if (CMessangeDlg* pMsg = FindMessenger(data.wSenderIndex)) pMsg->OnFileData(data.pData, data.nData);
}

void IConfDlg::PostFileBlockSent(uint16_t wReceiver, uint32_t nBytes)
{
    PostMessageW(MainWnd(), WM_QN_FILE_BLOCK_SENT, wReceiver, nBytes);
}

void IConfDlg::OnFileBlockSent(uint16_t wReceiver, uint32_t nBytes)
{
    // The frame's sub names the receiver: its ID finds the window even after a new login.
    const std::u16string szId = m_messengers.GetUserIdByIndex(wReceiver);
    IMessengerWindow* pWindow =
        szId.empty() ? m_messengers.FindByIndex(wReceiver) : m_messengers.FindById(szId);
    if (pWindow) pWindow->OnFileDataAck(nBytes);
}

bool IConfDlg::SendFileOffer(uint16_t wPeer, const std::u16string& szName, uint32_t dwSize)
{
    return m_pNet && m_pNet->SendFileOffer(m_wMyIndex, wPeer, szName, dwSize);
}

bool IConfDlg::SendFileReply(uint16_t wPeer, bool bAccept)
{
    return m_pNet && m_pNet->SendFileReply(m_wMyIndex, wPeer, bAccept);
}

bool IConfDlg::SendFileData(uint16_t wPeer, const uint8_t* p, size_t n)
{
    return m_pNet && m_pNet->SendFileData(m_wMyIndex, wPeer, p, n);
}

std::optional<std::u16string> IConfDlg::ConfTitle(uint16_t wRoomIndex) const
{
    const S_CONFINFOEX* pConf = FindConfInfo(wRoomIndex);
    if (!pConf) return std::nullopt;
    return pConf->szTitle;
}
