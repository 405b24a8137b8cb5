// The room command dispatcher: every inbound room command the network object
// sends the main dialog as 0x552 becomes session state, window updates, texts,
// log lines and notices to the outside windows. Payloads are read through the
// bounded decoders; a payload too short for its record is dropped with a DEBUG line.
#include <windows.h>

#include "confclient/network/QNCommands.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/maindlg/RoomFlags.h"
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
    const auto* pDesc = reinterpret_cast<const QNPacketDesc*>(lParam);
    if (!pDesc) return;
    const uint8_t* p = pDesc->pData;
    const size_t n = p ? pDesc->nLength : 0;
    const uint16_t wCommand = static_cast<uint16_t>(wCode);
    const uint16_t wExtra = static_cast<uint16_t>(pDesc->dwExtra);
    // True when the payload was read; a payload too short for its record is dropped with a DEBUG line.
    auto valid = [&](bool bRead)
    {
        if (!bRead)
            AddLog(LOG_DEBUG, L"[ROOM] command %u: payload of %u bytes dropped", wCommand, static_cast<unsigned>(n));
        return bRead;
    };

    switch (wCommand)
    {
    // Open, join, leave and close.
    case ACK_CONF_OPEN:
    case ACK_CONF_JOIN:
        OnRoomOpened(pDesc, wCommand == ACK_CONF_OPEN);
        break;
    case NAK_CONF_OPEN:
    case NAK_CONF_JOIN:
        OnRoomRefused(wCommand, wExtra);
        break;
    case INFO_CONF_OPEN:
    case INFO_CONF_UPDATE:
        OnConfRecord(wCommand, p, n);
        break;
    case INFO_CONF_JOIN:
    {
        if (m_wRoomIndex == 0 || pDesc->dwExtra == 0) break;
        QNRoomUser user;
        if (!valid(DecodeRoomUser(p, n, user))) break;
        OnUserJoined(user);
        if (!IsPlayerMode() && PanelConnected() && m_wPendingJoin[1])
        {
            m_wPendingJoin[1] = 0;
            if (m_bOpenedByMe)
                PanelAnswer("CREATE", m_wRoomIndex);
            else
                PanelAnswer("JOIN", 1);
        }
        break;
    }
    case NTF_CONF_326:
    {
        uint16_t wValue = 0;
        if (valid(DecodeU16(p, n, wValue)))
            Broadcast(WM_QN_SESSION_EVENT, 326, wValue);
        break;
    }
    case NTF_CONF_327:
        Broadcast(WM_QN_SESSION_EVENT, 326, static_cast<LPARAM>(0xFFFFFFFFu));
        break;
    case INFO_CONF_QUIT:
        OnRoomUserLeft(p, n);
        break;
    case INFO_CONF_CLOSE:
    case INFO_CONF_DELETE:
        OnRoomGone(wCommand, p, n);
        break;
    case INFO_CONF_VIEWNAME:
    {
        std::vector<QNViewName> names;
        if (!valid(DecodeViewNames(p, n, names))) break;
        for (size_t i = 0; i < names.size(); ++i)
        {
            m_viewNames[i] = names[i].szName;
            if (m_pVideoView) m_pVideoView->SetViewName(p + 4 + i * kViewNameEntrySize);
        }
        break;
    }
    case NAK_CONF_CONFTYPE:
    {
        std::wstring text = GetText("IDS_ROOMTYPE_NONCHANGE");
        ShowMessageBoxModeless(text);
        AddLog(LOG_ERROR, L"[NAK_CONF_CONFTYPE] %s", text.c_str());
        break;
    }
    case INFO_CONF_CONFTYPE:
    {
        QNRoomType type;
        if (!valid(DecodeRoomType(p, n, type) && type.wRoomIndex == m_wRoomIndex && m_wRoomIndex != 0)) break;
        m_wRoomType = type.wRoomType;
        m_dwRoomFlags = type.dwFlags;
        AddLog(LOG_INFO, L"[INFO_CONF_CONFTYPE] RoomType:%d", m_wRoomType);
        if (m_pVideoView) m_pVideoView->SetViewCount(ClampViewCount(GetVideoCount(0)));
        ShowRoomUsers();
        UpdatePresenterButton();
        LayoutRoom();
        break;
    }
    case INFO_CONF_BANISH:
    {
        if (m_wRoomIndex == 0) break;
        std::wstring text = GetText("IDS_BANISHED");
        QuitRoom(INFO_CONF_BANISH);
        ShowMessageBoxModeless(text);
        AddLog(LOG_INFO, L"[INFO_CONF_BANISH] %s", text.c_str());
        break;
    }
    case NTF_CONF_STATE:
    case INFO_CONF_STATE:
    {
        if (wCommand == NTF_CONF_STATE && IsPlayerMode()) break;
        QNRoomState state;
        if (!valid(DecodeRoomState(p, n, state))) break;
        if (state.wRoomIndex != m_wRoomIndex) break;
        m_wRoomState = state.wState;
        AddLog(LOG_DEBUG, L"[INFO_CONF_STATE] State:%d, Flags:0x%x", state.wState, state.dwFlags);
        break;
    }

    // Users, rights, presenter and view.
    case INFO_CONF_PRESIDER:
    {
        uint16_t wChannel = kNoIndex;
        if (valid(DecodeU16(p, n, wChannel)))
            SetPresider(wChannel);
        break;
    }
    case INFO_CONF_AVSTATE:
    {
        uint32_t dwWord = 0;
        if (!valid(DecodeU32(p, n, dwWord) && m_pRoomUsers)) break;
        m_pRoomUsers->SetAvFlags(&dwWord);
        // Someone else (the chief) changed this user's state: it is announced as the user's own.
        // The server's echo of what this client announced is no change and goes no further.
        if (static_cast<uint16_t>(dwWord & 0xFFFF) == m_wMyChannel && dwWord != m_dwMyAvState && m_pNet)
        {
            m_dwMyAvState = dwWord;
            UpdatePresenterButton();
            m_pNet->SendAvState(dwWord);
        }
        ShowRoomUsers();
        break;
    }
    case INFO_CONF_RIGHTS:
    {
        QNRoomRights rights;
        if (!valid(DecodeRoomRights(p, n, rights))) break;
        if (rights.wRoomIndex == m_wRoomIndex) ApplyRights(rights.dwRights);
        break;
    }
    case CMD_CONF_VIEWMODE:
    case INFO_CONF_VIEWMODE:
    {
        QNViewMode mode;
        if (!valid(DecodeViewMode(p, n, mode))) break;
        if (IsPlayerMode() || mode.wRoomIndex != m_wRoomIndex) break;
        if (mode.wViewMode != m_wViewMode || mode.wModeValue != m_wModeValue)
            ChangeViewMode(mode.wViewMode, mode.wModeValue);
        if (mode.wModeValue == 4 && m_pNet) m_pNet->SendRecorderStateQuery();
        break;
    }
    case INFO_CONF_CHGCHANNEL:
    {
        QNChannelChange change;
        if (!valid(DecodeChannelChange(p, n, change) && m_pRoomUsers)) break;
        S_ROOMUSERINFO* pUser = m_pRoomUsers->FindUserByIndex(change.wUserIndex);
        if (!pUser)
        {
            AddLog(LOG_INFO, L"[INFO_CONF_CHGCHANNEL] unknown user %d", change.wUserIndex);
            break;
        }
        pUser->channel = change.wNewChannel;
        AddLog(LOG_INFO, L"[INFO_CONF_CHGCHANNEL] ID:%s, Name:%s, CH:%d => CH:%d\n", WideOf(pUser->ID).c_str(),
               WideOf(pUser->Name).c_str(), change.wOldChannel, change.wNewChannel);
        if (change.wOldChannel == m_wMyChannel && change.wUserIndex == m_wMyIndex)
        {
            m_wMyChannel = change.wNewChannel;
            if (m_pNet) m_pNet->SetMyIndex(m_wMyChannel);
        }
        ShowRoomUsers();
        if (m_wPresiderChannel == change.wOldChannel) SetPresider(change.wNewChannel);
        break;
    }
    case CMD_CONF_VIDEOSTATE:
    case INFO_CONF_VIDEOSTATE:
    {
        uint32_t dwValue = 0;
        if (!valid(DecodeU32(p, n, dwValue))) break;
        uint16_t wChannel = static_cast<uint16_t>(dwValue & 0xFFFF);
        if (m_wRoomIndex == 0 || wChannel == kNoIndex || !m_pRoomUsers) break;
        S_ROOMUSERINFO* pUser = m_pRoomUsers->FindUser(wChannel);
        if (!pUser) break;
        uint16_t wStop = (dwValue >> 17) & 1;
        uint16_t wCam = (dwValue >> 18) & 0xF;
        if (pUser->videoStop == wStop && pUser->camType == wCam) break;
        pUser->videoStop = wStop;
        pUser->camType = wCam;
        if (m_pVideoView) m_pVideoView->SetVideoState(wChannel, dwValue);
        break;
    }
    case CMD_CONF_USERSTATUS:
    case INFO_CONF_USERSTATUS:
    {
        QNUserStatus status;
        if (!valid(DecodeUserStatus(p, n, status))) break;
        if (m_pUserList) m_pUserList->UpdateUserRow(status.wChannel, status.wStatus, status.dwFlags);
        break;
    }
    case INFO_CONF_FLOATVIDEO:
    {
        QNFloatVideo f;
        if (!valid(DecodeFloatVideo(p, n, f))) break;
        if (m_wRoomIndex != 0 && f.wChannel == m_wMyChannel && m_pVideoView &&
            (f.nMode != 0) != m_pVideoView->IsFloating())
            m_pVideoView->SetFloating(f.nMode);
        break;
    }
    case INFO_CONF_SEAT:
    {
        QNSeat seat;
        if (!valid(DecodeSeat(p, n, seat) && m_pRoomUsers)) break;
        m_pRoomUsers->SetUserValue(seat.wChannel, seat.wSeat);
        if (seat.wChannel == m_wMyChannel)
        {
            AddLog(LOG_INFO, L"[INFO_CONF_SEAT] Seat:%d, SendSize:%dx%d", seat.wSeat, seat.wWidth, seat.wHeight);
            m_wCaptureSize[0] = seat.wWidth;
            m_wCaptureSize[1] = seat.wHeight;
        }
        LayoutRoom();
        break;
    }
    case CMD_CONF_MAXIMIZE:
    case INFO_CONF_MAXIMIZE:
    {
        QNMaximize m;
        if (!valid(DecodeMaximize(p, n, m) && m.wMarker == 1)) break;
        if (IsPlayerMode() || !m_pRoomCtrl) break;
        if (m.nMaximize)
            m_pRoomCtrl->MaximizeRoomWindow();
        else
            m_pRoomCtrl->RestoreRoomWindow();
        break;
    }
    case CMD_CONF_PRESENTER:
    case INFO_CONF_PRESENTER:
    {
        QNPresenterRequest req;
        if (!valid(DecodePresenterRequest(p, n, req))) break;
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
        break;
    }
    case NAK_CONF_PRESENTER:
    {
        UpdatePresenterButton();
        std::wstring text = GetText("IDS_SET_PRESENTER_FAILED");
        AddChatNotice(text, 4);
        AddLog(LOG_ERROR, L"[NAK_CONF_PRESENTER] %s", text.c_str());
        break;
    }
    case INFO_CONF_PRESENTER_SET:
    case INFO_CONF_PRESENTER_CLEAR:
    {
        uint16_t wChannel = kNoIndex;
        if (valid(DecodeU16(p, n, wChannel)))
            SetPresenter(wChannel, wCommand == INFO_CONF_PRESENTER_SET);
        break;
    }
    case NAK_CONF_SET_PRESENTER:
    {
        UpdatePresenterButton();
        if (wExtra == kReasonConfExistUser)
        {
            AddLog(LOG_ERROR, L"[NAK_CONF_SET_PRESENTER] ERR_CONF_EXISTUSER");
            break;
        }
        std::wstring text = GetText("IDS_SET_PRESENTER_FAILED");
        AddChatNotice(text, 4);
        AddLog(LOG_ERROR, L"[NAK_CONF_SET_PRESENTER] %s", text.c_str());
        break;
    }
    case INFO_CONF_REMOTESETTING:
    {
        QNRemoteSetting s;
        if (!valid(DecodeRemoteSetting(p, n, s))) break;
        OnRemoteSetting(s);
        break;
    }
    case CMD_CONF_USEROPTION:
    case INFO_CONF_USEROPTION:
    {
        QNUserOption o;
        if (!valid(DecodeUserOption(p, n, o) && m_pRoomUsers)) break;
        m_pRoomUsers->SetUserValue(o.wChannel, o.dwValue);
        break;
    }
    case INFO_DRAWTOOL_COMMAND:
    {
        uint32_t dwCommand = 0;
        valid(DecodeDrawToolCommand(p, n, dwCommand));
        // The screen drawing tool comes with the whiteboard; without it there is nothing to tell.
        break;
    }

    // Recording.
    case INFO_CONF_RECORD:
    case INFO_CONF_SERVERRECORD:
    {
        QNRecordNotice r;
        if (!valid(DecodeRecordNotice(p, n, r))) break;
        OnRecordNotice(wCommand, r.wChannel, r.wFlag);
        break;
    }
    case INFO_CONF_SERVERRECORD_LOCAL:
    {
        QNServerRecordLocal r;
        if (!valid(DecodeServerRecordLocal(p, n, r))) break;
        OnServerRecordLocal(r);
        break;
    }
    case NAK_CONF_SERVERRECORD:
    case NAK_CONF_SERVERRECORD_STOP:
    {
        std::wstring text = Joined(GetText("IDS_RECORD_SERVER"), GetText("IDS_RECORD_FAIL_OTHERUSER"));
        AddChatNotice(text, 4);
        AddLog(LOG_ERROR, L"[NAK_CONF_SERVERRECORD] %s", text.c_str());
        if (m_pRoomCtrl) m_pRoomCtrl->EnableServerRecordMenu(IsChief());
        break;
    }
    case INFO_CONF_BOARDCOMPLETE:
    {
        std::wstring text = GetText("IDMS_BOARD_RECVCOMPLETE");
        AddChatNotice(text, 4);
        AddLog(LOG_INFO, L"[INFO_CONF_BOARDCOMPLETE] %s", text.c_str());
        break;
    }
    case INFO_CONF_RECORDERSTATE:
    {
        QNRecorderState s;
        if (!valid(DecodeRecorderState(p, n, s))) break;
        m_wRecorderState = s.wState;
        if (m_pRoomCtrl)
        {
            m_pRoomCtrl->EnableServerRecordMenu(IsChief() && s.wState == 0);
            m_pRoomCtrl->EnableRecordButtons(s.wState == 0);
        }
        break;
    }

    // File push, media share, camera control, desktop share.
    case INFO_PUSH_BEGIN:
    {
        QNPushBegin b;
        if (!valid(DecodePushBegin(p, n, b))) break;
        if (m_wRoomIndex == 0 || !m_pRoomCtrl || b.wSenderChannel == m_wMyChannel) break;
        std::wstring szSender = RoomUserName(b.wSenderChannel);
        m_pRoomCtrl->BeginPushReceive(b.wPushId, szSender, WideOf(b.szFileName), b.dwFileSize);
        AddChatNotice(GetText("IDS_MSG_PUSH_MAN"), 4);
        AddChatNotice(Joined(szSender, GetText("IDS_MSG_PUSHRECV_START")), 4);
        break;
    }
    case INFO_PUSH_CANCEL:
    {
        uint16_t wPushId = 0;
        if (!valid(DecodeU16(p, n, wPushId))) break;
        if (m_wRoomIndex != 0 && m_pRoomCtrl) m_pRoomCtrl->OnPushCancelled(wPushId);
        break;
    }
    case INFO_PUSH_CHUNK:
    {
        // The chunk follows the push id; its length is the descriptor's, bounded by the payload.
        if (!valid(n >= 2)) break;
        size_t nChunk = std::min<size_t>(pDesc->dwExtra, n - 2);
        if (m_wRoomIndex != 0 && m_pRoomCtrl) m_pRoomCtrl->OnPushData(p + 2, nChunk);
        break;
    }
    case CMD_MEDIASHARE_STATE:
    case INFO_MEDIASHARE_STATE:
    {
        QNMediaShareState s;
        if (!valid(DecodeMediaShareState(p, n, s))) break;
        if (s.wSharerChannel != m_wMyChannel && m_pMediaShareView) m_pMediaShareView->UpdateVideoState(s.wState != 0);
        break;
    }
    case CMD_MEDIASHARE_POSITION:
    case INFO_MEDIASHARE_POSITION:
    {
        QNMediaSharePosition s;
        if (!valid(DecodeMediaSharePosition(p, n, s))) break;
        if (m_pMediaShareView) m_pMediaShareView->UpdatePosition(s.dwPositionMs);
        break;
    }
    case INFO_CONF_CAMCONTROL:
    {
        QNCamControl c;
        if (!valid(DecodeCamControl(p, n, c))) break;
        // Cameras are driven by the video subsystem; the command is noted for now.
        AddLog(LOG_INFO, L"[CAMCONTROL] CH:%d, Action:%d, Value:%d", c.wTargetChannel, c.wAction, c.wValue);
        break;
    }
    case NAK_DESKTOP_SHARE:
    case INFO_DESKTOP_SHARE:
    case INFO_DESKTOP_CONTROL:
        AddLog(LOG_INFO, L"[DESKTOPSHARE] command %d, %u bytes", wCommand, static_cast<unsigned>(n));
        break;

    // Messenger, invitations, calls and private data.
    case NAK_MSG_TEXT:
    case INFO_MSG_TEXT:
    case NAK_MSG_FILEOFFER:
    case INFO_MSG_FILEOFFER:
    case NAK_MSG_FILEANSWER:
    case INFO_MSG_FILEANSWER:
    case NAK_MSG_FILEDATA:
    case INFO_MSG_FILEDATA:
    case NAK_MSG_INVITE:
    case INFO_MSG_INVITE:
    case NAK_MSG_INVITEANSWER:
    case INFO_MSG_INVITEANSWER:
        OnMessengerPacket(wCommand, *pDesc);
        break;
    case INFO_CALL_END:
    case NAK_CALL:
        OnCallPacket(wCommand, wExtra);
        break;
    case ACK_PRIVATE_LOADDATA:
    case NAK_PRIVATE_LOADDATA:
    case NAK_PRIVATE_SAVEDATA:
        OnPrivateData(wCommand, *pDesc);
        break;

    // Chat.
    case CMD_CONF_CHAT:
    case INFO_CONF_CHAT:
    {
        QNChat chat;
        if (!valid(DecodeChat(p, n, chat))) break;
        if (m_pChat) m_pChat->OnChatReceived(RoomUserName(chat.wSenderChannel), WideOf(chat.szText), chat.dwColour);
        break;
    }
    default:
        break;
    }
}
