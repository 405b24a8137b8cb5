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

void IConfDlg::OnSessionValue(uint16_t, const QNPacketDesc&, const uint16_t& wValue)
{
    Broadcast(WM_QN_SESSION_EVENT, NTF_CONF_326, wValue);
}

void IConfDlg::OnSessionValueCleared(uint16_t, const QNPacketDesc&)
{
    Broadcast(WM_QN_SESSION_EVENT, NTF_CONF_326, static_cast<LPARAM>(0xFFFFFFFFu));
}

void IConfDlg::OnRoomEnd(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnRoomGone(wCommand, desc.pData, desc.pData ? desc.nLength : 0);
}

void IConfDlg::OnBanished(uint16_t, const QNPacketDesc&)
{
    if (!m_room.InRoom()) return;
    std::wstring text = GetText("IDS_BANISHED");
    QuitRoom(INFO_CONF_BANISH);
    ShowMessageBoxModeless(text);
    AddLog(LOG_INFO, L"[INFO_CONF_BANISH] %s", text.c_str());
}

// Recording: the control bar when there is one.
void IConfDlg::StopRecordForServer()
{
    if (m_recordControl.IsRecording()) m_recordControl.StopRecord(RECORD_STOP_SERVER_MP4);
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

// Chat.
void IConfDlg::OnChatReceived(const std::u16string& szSender, const std::u16string& szText, uint32_t dwColour)
{
    if (m_pChat) m_pChat->OnChatReceived(WideOf(szSender), WideOf(szText), dwColour);
}
