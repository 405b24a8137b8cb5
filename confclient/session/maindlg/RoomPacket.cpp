// The room's command handlers: what each inbound room command the network object
// sends the main dialog as 0x552 does to session state, windows, texts, log lines
// and the outside windows. The dispatcher has read the payload before a handler runs.
#include <windows.h>

#include "confclient/network/QNCommands.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/room/TransferFilesWin.h"
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
bool IConfDlg::BeginPushReceive(uint16_t wSender, const std::u16string& szSender,
                                const std::u16string& szFile, uint32_t dwSize)
{
    return m_pRoomCtrl && m_pRoomCtrl->BeginPushReceive(wSender, szSender, szFile, dwSize);
}

void IConfDlg::OnPushCancelled(uint16_t wSender, const std::u16string& szSender)
{
    if (m_pRoomCtrl) m_pRoomCtrl->OnPushCancelled(wSender, szSender);
}

void IConfDlg::OnPushData(uint16_t wSender, const uint8_t* p, size_t n)
{
    if (m_pRoomCtrl) m_pRoomCtrl->OnPushData(wSender, p, n);
}

// The push the control bar sends: the network with the own user number.
bool IConfDlg::SendPushFile(uint32_t dwSize, const std::u16string& szName)
{
    return m_pNet && m_pNet->SendPushFile(m_wMyIndex, dwSize, szName);
}

bool IConfDlg::SendPushData(const uint8_t* p, size_t n)
{
    return m_pNet && m_pNet->SendPushData(m_wMyIndex, p, n);
}

bool IConfDlg::SendPushCancel()
{
    return m_pNet && m_pNet->SendCmd522(m_wMyIndex);
}

uint32_t IConfDlg::TransferPace() const
{
    return ::TransferPace(RegProgramKey(m_szExeName));
}

void IConfDlg::ShowPushProgress(int nPercent, const std::wstring& szText)
{
    if (m_pChat) m_pChat->UpdatePushProgress(nPercent, szText);
}

void IConfDlg::EndPushProgress()
{
    if (m_pChat) m_pChat->EndPushProgress();
}

void IConfDlg::AddReceivedFile(const std::wstring& szPath)
{
    if (m_pChat) m_pChat->AddReceivedFile(szPath);
}

void IConfDlg::CancelFilePush()
{
    if (m_pRoomCtrl) m_pRoomCtrl->CancelFilePush(true);
}

// Chat.
void IConfDlg::OnChatReceived(const std::u16string& szSender, const std::u16string& szText, uint32_t dwColour)
{
    if (m_pChat) m_pChat->OnChatReceived(WideOf(szSender), WideOf(szText), dwColour);
}
