// The room's command handlers: what each inbound room command the network object
// sends the main dialog as 0x552 does to session state, windows, texts, log lines
// and the outside windows. The dispatcher has read the payload before a handler runs.
#include <windows.h>

#include "confclient/network/QNCommands.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/session/roomdispatch/RoomRules.h"

void IConfDlg::OnRoomPacket(WPARAM wCode, LPARAM lParam)
{
    if (const auto* pDesc = reinterpret_cast<const QNPacketDesc*>(lParam))
        DispatchRoomCommand(m_roomHandlers, &m_log, static_cast<uint16_t>(wCode), *pDesc);
}

// Open, join, leave and close.
void IConfDlg::OnRoomAck(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnRoomOpened(&desc, wCommand == ACK_CONF_OPEN);
}

void IConfDlg::OnRoomNak(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnRoomRefused(wCommand, static_cast<uint16_t>(desc.dwExtra));
}

void IConfDlg::OnRoomRecord(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnConfRecord(wCommand, desc.pData, desc.pData ? desc.nLength : 0);
}

void IConfDlg::OnUserJoin(uint16_t, const QNPacketDesc& desc, const QNRoomUser& user)
{
    if (!m_room.InRoom() || desc.dwExtra == 0) return;
    OnUserJoined(user);
    if (!IsPlayerMode() && PanelConnected() && m_room.bPanelAwaitsEntry)
    {
        m_room.bPanelAwaitsEntry = false;
        if (m_room.bOpenedByMe)
            PanelAnswer("CREATE", m_room.RoomIndex());
        else
            PanelAnswer("JOIN", 1);
    }
}

void IConfDlg::OnSessionValue(uint16_t, const QNPacketDesc&, const uint16_t& wValue)
{
    Broadcast(WM_QN_SESSION_EVENT, NTF_CONF_326, wValue);
}

void IConfDlg::OnSessionValueCleared(uint16_t, const QNPacketDesc&)
{
    Broadcast(WM_QN_SESSION_EVENT, NTF_CONF_326, static_cast<LPARAM>(0xFFFFFFFFu));
}

void IConfDlg::OnUserQuit(uint16_t, const QNPacketDesc& desc)
{
    OnRoomUserLeft(desc.pData, desc.pData ? desc.nLength : 0);
}

void IConfDlg::OnRoomEnd(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnRoomGone(wCommand, desc.pData, desc.pData ? desc.nLength : 0);
}

void IConfDlg::OnViewNames(uint16_t, const QNPacketDesc&, const std::vector<QNViewName>& names)
{
    for (size_t i = 0; i < names.size(); ++i)
    {
        m_room.viewNames[i] = names[i].szName;
        if (m_pVideoView) m_pVideoView->SetViewName(names[i].wChannel, names[i].szName);
    }
}

void IConfDlg::OnBanished(uint16_t, const QNPacketDesc&)
{
    if (!m_room.InRoom()) return;
    std::wstring text = GetText("IDS_BANISHED");
    QuitRoom(INFO_CONF_BANISH);
    ShowMessageBoxModeless(text);
    AddLog(LOG_INFO, L"[INFO_CONF_BANISH] %s", text.c_str());
}

// Users, rights, presenter and view.
void IConfDlg::OnPresider(uint16_t, const QNPacketDesc&, const uint16_t& wChannel)
{
    SetPresider(wChannel);
}

void IConfDlg::OnAvState(uint16_t, const QNPacketDesc&, const uint32_t& dwWord)
{
    if (!m_room.InRoom()) return;
    m_room.users.SetAvFlags(&dwWord);
    // Someone else (the chief) changed this user's state: it is announced as the user's own.
    // The server's echo of what this client announced is no change and goes no further.
    if (static_cast<uint16_t>(dwWord & 0xFFFF) == m_room.wMyChannel && dwWord != m_room.dwMyAvState && m_pNet)
    {
        m_room.dwMyAvState = dwWord;
        UpdatePresenterButton();
        m_pNet->SendAvState(dwWord);
    }
    ShowRoomUsers();
}

void IConfDlg::OnRights(uint16_t, const QNPacketDesc&, const QNRoomRights& rights)
{
    if (rights.wRoomIndex == m_room.RoomIndex()) ApplyRights(rights.dwRights);
}

void IConfDlg::OnChannelChange(uint16_t, const QNPacketDesc&, const QNChannelChange& change)
{
    if (!m_room.InRoom()) return;
    S_ROOMUSERINFO* pUser = m_room.users.FindUserByIndex(change.wUserIndex);
    if (!pUser)
    {
        AddLog(LOG_INFO, L"[INFO_CONF_CHGCHANNEL] unknown user %d", change.wUserIndex);
        return;
    }
    pUser->channel = change.wNewChannel;
    AddLog(LOG_INFO, L"[INFO_CONF_CHGCHANNEL] ID:%s, Name:%s, CH:%d => CH:%d\n", WideOf(pUser->ID).c_str(),
           WideOf(pUser->Name).c_str(), change.wOldChannel, change.wNewChannel);
    if (change.wOldChannel == m_room.wMyChannel && change.wUserIndex == m_wMyIndex)
    {
        m_room.wMyChannel = change.wNewChannel;
        if (m_pNet) m_pNet->SetMyIndex(m_room.wMyChannel);
    }
    ShowRoomUsers();
    if (m_room.wPresiderChannel == change.wOldChannel) SetPresider(change.wNewChannel);
}

void IConfDlg::OnVideoState(uint16_t, const QNPacketDesc&, const uint32_t& dwValue)
{
    uint16_t wChannel = static_cast<uint16_t>(dwValue & 0xFFFF);
    if (!m_room.InRoom() || wChannel == kNoIndex || !m_room.InRoom()) return;
    S_ROOMUSERINFO* pUser = m_room.users.FindUser(wChannel);
    if (!pUser) return;
    uint16_t wStop = (dwValue >> 17) & 1;
    uint16_t wCam = (dwValue >> 18) & 0xF;
    if (pUser->videoStop == wStop && pUser->camType == wCam) return;
    pUser->videoStop = wStop;
    pUser->camType = wCam;
    if (m_pVideoView) m_pVideoView->SetVideoState(wChannel, dwValue);
}

void IConfDlg::OnUserStatus(uint16_t, const QNPacketDesc&, const QNUserStatus& status)
{
    if (m_pUserList) m_pUserList->UpdateUserRow(status.wChannel, status.wStatus, status.dwFlags);
}

void IConfDlg::OnSeat(uint16_t, const QNPacketDesc&, const QNSeat& seat)
{
    if (!m_room.InRoom()) return;
    m_room.users.SetUserValue(seat.wChannel, seat.wSeat);
    if (seat.wChannel == m_room.wMyChannel)
    {
        AddLog(LOG_INFO, L"[INFO_CONF_SEAT] Seat:%d, SendSize:%dx%d", seat.wSeat, seat.wWidth, seat.wHeight);
        m_room.wCaptureWidth = seat.wWidth;
        m_room.wCaptureHeight = seat.wHeight;
    }
    LayoutRoom();
}

void IConfDlg::OnPresenterRequest(uint16_t, const QNPacketDesc&, const QNPresenterRequest& req)
{
    UpdatePresenterButton();
    if (req.wKind == PRESENTER_REQUEST)
        // The question waits for the user: asked from a posted message, not inside this sent one.
        PostMessageW(MainWnd(), WM_QN_PRESENTER_QUESTION, req.wRequesterChannel, 0);
    else if (!req.wAccepted)
    {
        std::wstring text = GetText("IDS_REQ_PRESENTER_DENY");
        AddChatNotice(text, 4);
        AddLog(LOG_INFO, L"[INFO_CONF_PRESENTER] %s", text.c_str());
    }
}

void IConfDlg::OnPresenterRefused(uint16_t, const QNPacketDesc&)
{
    UpdatePresenterButton();
    std::wstring text = GetText("IDS_SET_PRESENTER_FAILED");
    AddChatNotice(text, 4);
    AddLog(LOG_ERROR, L"[NAK_CONF_PRESENTER] %s", text.c_str());
}

void IConfDlg::OnPresenterChange(uint16_t wCommand, const QNPacketDesc&, const uint16_t& wChannel)
{
    SetPresenter(wChannel, wCommand == INFO_CONF_PRESENTER_SET);
}

void IConfDlg::OnSetPresenterRefused(uint16_t, const QNPacketDesc& desc)
{
    UpdatePresenterButton();
    if (static_cast<uint16_t>(desc.dwExtra) == kReasonConfExistUser)
    {
        AddLog(LOG_ERROR, L"[NAK_CONF_SET_PRESENTER] ERR_CONF_EXISTUSER");
        return;
    }
    std::wstring text = GetText("IDS_SET_PRESENTER_FAILED");
    AddChatNotice(text, 4);
    AddLog(LOG_ERROR, L"[NAK_CONF_SET_PRESENTER] %s", text.c_str());
}

void IConfDlg::OnUserOption(uint16_t, const QNPacketDesc&, const QNUserOption& o)
{
    m_room.users.SetUserValue(o.wChannel, o.dwValue);
}

// Recording: the control bar when there is one.
void IConfDlg::StopRecordForServer()
{
    if (m_pRoomCtrl) m_pRoomCtrl->StopRecord(CRoomCtrlDlg::kStopForServerRecord);
}

void IConfDlg::EnableServerRecordMenu(bool bEnable)
{
    if (m_pRoomCtrl) m_pRoomCtrl->EnableServerRecordMenu(bEnable);
}

void IConfDlg::EnableRecordButtons(bool bEnable)
{
    if (m_pRoomCtrl) m_pRoomCtrl->EnableRecordButtons(bEnable);
}

std::u16string IConfDlg::RecordFolder()
{
    return TempFolder().u16string();
}

// The receive of a pushed file: the control bar when there is one.
bool IConfDlg::BeginPushReceive(uint16_t wPushId, const std::u16string& szSender,
                                const std::u16string& szFile, uint32_t dwSize)
{
    if (!m_pRoomCtrl) return false;
    m_pRoomCtrl->BeginPushReceive(wPushId, WideOf(szSender), WideOf(szFile), dwSize);
    return true;
}

void IConfDlg::OnPushCancelled(uint16_t wPushId)
{
    if (m_pRoomCtrl) m_pRoomCtrl->OnPushCancelled(wPushId);
}

void IConfDlg::OnPushData(const uint8_t* p, size_t n)
{
    if (m_pRoomCtrl) m_pRoomCtrl->OnPushData(p, n);
}

// Media share, camera control, desktop share.
void IConfDlg::OnShareVideoState(bool bPlaying)
{
    if (m_pMediaShareView) m_pMediaShareView->UpdateVideoState(bPlaying);
}

void IConfDlg::OnSharePosition(uint32_t dwPositionMs)
{
    if (m_pMediaShareView) m_pMediaShareView->UpdatePosition(dwPositionMs);
}

// Chat.
void IConfDlg::OnChatReceived(const std::u16string& szSender, const std::u16string& szText, uint32_t dwColour)
{
    if (m_pChat) m_pChat->OnChatReceived(WideOf(szSender), WideOf(szText), dwColour);
}
