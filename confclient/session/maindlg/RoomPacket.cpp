// The room's command handlers: what each inbound room command the network object
// sends the main dialog as 0x552 does to session state, windows, texts, log lines
// and the outside windows. The dispatcher has read the payload before a handler runs.
#include <windows.h>

#include <algorithm>

#include "confclient/network/QNCommands.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/session/roomdispatch/RoomRules.h"

namespace
{
std::wstring Joined(const std::wstring& a, const std::wstring& b)
{
    return a + L" " + b;
}
} // namespace

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
    Broadcast(WM_QN_SESSION_EVENT, 326, wValue);
}

void IConfDlg::OnSessionValueCleared(uint16_t, const QNPacketDesc&)
{
    Broadcast(WM_QN_SESSION_EVENT, 326, static_cast<LPARAM>(0xFFFFFFFFu));
}

void IConfDlg::OnRoomEnd(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnRoomGone(wCommand, desc.pData, desc.pData ? desc.nLength : 0);
}

void IConfDlg::OnRoomTypeRefused(uint16_t, const QNPacketDesc&)
{
    std::wstring text = GetText("IDS_ROOMTYPE_NONCHANGE");
    ShowMessageBoxModeless(text);
    AddLog(LOG_ERROR, L"[NAK_CONF_CONFTYPE] %s", text.c_str());
}

void IConfDlg::OnRoomType(uint16_t, const QNPacketDesc&, const QNRoomType& type)
{
    if (type.wRoomIndex != m_room.RoomIndex() || !m_room.InRoom()) return;
    m_room.info.wRoomType = type.wRoomType;
    m_room.info.dwFlags = type.dwFlags;
    AddLog(LOG_INFO, L"[INFO_CONF_CONFTYPE] RoomType:%d", m_room.info.wRoomType);
    if (m_pVideoView) m_pVideoView->SetViewCount(ClampViewCount(GetVideoCount(0)));
    ShowRoomUsers();
    m_presenter.UpdatePresenterButton();
    LayoutRoom();
}

void IConfDlg::OnBanished(uint16_t, const QNPacketDesc&)
{
    if (!m_room.InRoom()) return;
    std::wstring text = GetText("IDS_BANISHED");
    QuitRoom(INFO_CONF_BANISH);
    ShowMessageBoxModeless(text);
    AddLog(LOG_INFO, L"[INFO_CONF_BANISH] %s", text.c_str());
}

void IConfDlg::OnRoomState(uint16_t wCommand, const QNPacketDesc&, const QNRoomState& state)
{
    if (wCommand == NTF_CONF_STATE && IsPlayerMode()) return;
    if (state.wRoomIndex != m_room.RoomIndex()) return;
    m_room.wRoomState = state.wState;
    AddLog(LOG_DEBUG, L"[INFO_CONF_STATE] State:%d, Flags:0x%x", state.wState, state.dwFlags);
}

// View.
void IConfDlg::OnViewMode(uint16_t, const QNPacketDesc&, const QNViewMode& mode)
{
    if (IsPlayerMode() || mode.wRoomIndex != m_room.RoomIndex()) return;
    if (mode.wViewMode != m_room.wViewMode || mode.wModeValue != m_room.wModeValue)
        ChangeViewMode(mode.wViewMode, mode.wModeValue);
    if (mode.wModeValue == 4 && m_pNet) m_pNet->SendRecorderStateQuery();
}

void IConfDlg::OnFloatVideo(uint16_t, const QNPacketDesc&, const QNFloatVideo& f)
{
    if (m_room.InRoom() && f.wChannel == m_room.wMyChannel && m_pVideoView &&
        (f.nMode != 0) != m_pVideoView->IsFloating())
        m_pVideoView->SetFloating(f.nMode);
}

void IConfDlg::OnMaximize(uint16_t, const QNPacketDesc&, const QNMaximize& m)
{
    if (m.wMarker != 1 || IsPlayerMode() || !m_pRoomCtrl) return;
    if (m.nMaximize)
        m_pRoomCtrl->MaximizeRoomWindow();
    else
        m_pRoomCtrl->RestoreRoomWindow();
}

void IConfDlg::OnRemoteSettingPacket(uint16_t, const QNPacketDesc&, const QNRemoteSetting& s)
{
    OnRemoteSetting(s);
}

// Recording.
void IConfDlg::OnRecordingNotice(uint16_t wCommand, const QNPacketDesc&, const QNRecordNotice& r)
{
    OnRecordNotice(wCommand, r.wChannel, r.wFlag);
}

void IConfDlg::OnServerRecordStart(uint16_t, const QNPacketDesc&, const QNServerRecordLocal& r)
{
    OnServerRecordLocal(r);
}

void IConfDlg::OnServerRecordRefused(uint16_t, const QNPacketDesc&)
{
    std::wstring text = Joined(GetText("IDS_RECORD_SERVER"), GetText("IDS_RECORD_FAIL_OTHERUSER"));
    AddChatNotice(text, 4);
    AddLog(LOG_ERROR, L"[NAK_CONF_SERVERRECORD] %s", text.c_str());
    if (m_pRoomCtrl) m_pRoomCtrl->EnableServerRecordMenu(IsChief());
}

void IConfDlg::OnBoardComplete(uint16_t, const QNPacketDesc&)
{
    std::wstring text = GetText("IDMS_BOARD_RECVCOMPLETE");
    AddChatNotice(text, 4);
    AddLog(LOG_INFO, L"[INFO_CONF_BOARDCOMPLETE] %s", text.c_str());
}

void IConfDlg::OnRecorderState(uint16_t, const QNPacketDesc&, const QNRecorderState& s)
{
    m_room.wRecorderState = s.wState;
    if (m_pRoomCtrl)
    {
        m_pRoomCtrl->EnableServerRecordMenu(IsChief() && s.wState == 0);
        m_pRoomCtrl->EnableRecordButtons(s.wState == 0);
    }
}

// File push, media share, camera control, desktop share.
void IConfDlg::OnPushBegin(uint16_t, const QNPacketDesc&, const QNPushBegin& b)
{
    if (!m_room.InRoom() || !m_pRoomCtrl || b.wSenderChannel == m_room.wMyChannel) return;
    std::wstring szSender = RoomUserName(b.wSenderChannel);
    m_pRoomCtrl->BeginPushReceive(b.wPushId, szSender, WideOf(b.szFileName), b.dwFileSize);
    AddChatNotice(GetText("IDS_MSG_PUSH_MAN"), 4);
    AddChatNotice(Joined(szSender, GetText("IDS_MSG_PUSHRECV_START")), 4);
}

void IConfDlg::OnPushCancel(uint16_t, const QNPacketDesc&, const uint16_t& wPushId)
{
    if (m_room.InRoom() && m_pRoomCtrl) m_pRoomCtrl->OnPushCancelled(wPushId);
}

void IConfDlg::OnPushChunk(uint16_t, const QNPacketDesc& desc, const QNPushChunk& chunk)
{
    // The chunk's length is the descriptor's, bounded by the payload.
    size_t nChunk = std::min<size_t>(desc.dwExtra, chunk.nLength);
    if (m_room.InRoom() && m_pRoomCtrl) m_pRoomCtrl->OnPushData(chunk.pData, nChunk);
}

void IConfDlg::OnShareVideoState(bool bPlaying)
{
    if (m_pMediaShareView) m_pMediaShareView->UpdateVideoState(bPlaying);
}

void IConfDlg::OnSharePosition(uint32_t dwPositionMs)
{
    if (m_pMediaShareView) m_pMediaShareView->UpdatePosition(dwPositionMs);
}

void IConfDlg::OnCamControl(uint16_t, const QNPacketDesc&, const QNCamControl& c)
{
    // Cameras are driven by the video subsystem; the command is noted for now.
    AddLog(LOG_INFO, L"[CAMCONTROL] CH:%d, Action:%d, Value:%d", c.wTargetChannel, c.wAction, c.wValue);
}

void IConfDlg::OnDesktopShare(uint16_t wCommand, const QNPacketDesc& desc)
{
    AddLog(LOG_INFO, L"[DESKTOPSHARE] command %d, %u bytes", wCommand,
           static_cast<unsigned>(desc.pData ? desc.nLength : 0));
}

// Calls.
void IConfDlg::OnCall(uint16_t wCommand, const QNPacketDesc& desc)
{
    OnCallPacket(wCommand, static_cast<uint16_t>(desc.dwExtra));
}

// Chat.
void IConfDlg::OnChatReceived(const std::u16string& szSender, const std::u16string& szText, uint32_t dwColour)
{
    if (m_pChat) m_pChat->OnChatReceived(WideOf(szSender), WideOf(szText), dwColour);
}
