// The room's events: entering and refusals, the room closing, the services the room
// windows ask of the session, and what the room's features ask of the windows, the
// network and the control panel as their view.
#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "confclient/network/QNCommands.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/people/ChatCommands.h"
#include "confclient/people/ChatLog.h"
#include "confclient/people/ParticipantRows.h"
#include "confclient/people/ParticipantsFeature.h"
#include "confclient/people/UserMenuRules.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/session/roomdispatch/RoomRules.h"

void IConfDlg::OnRoomOpened(const QNPacketDesc* pDesc, bool bOpenAck)
{
    QNRoomInfo info;
    if (!DecodeRoomInfo(pDesc->pData, pDesc->pData ? pDesc->nLength : 0, info) || info.wRoomIndex == 0)
    {
        AddLog(LOG_DEBUG, L"[ROOM] room record dropped");
        return;
    }
    // Only the answer to this client's own open or join enters a room.
    bool bAsked = m_room.AwaitsEntry() || m_room.RoomIndex() == info.wRoomIndex;
    if (!bAsked) return;
    bool bEntering = m_room.Enter(info, bOpenAck);
    m_room.options = DecodeRoomOptions(pDesc->pData, pDesc->nLength);
    m_room.recordSettings = DecodeRoomRecordSettings(pDesc->pData, pDesc->nLength);
    if (m_pNet) m_pNet->SetMyIndex(m_room.wMyChannel);

    if (!m_pMainView && (!PrepareRoom() || !CreateRoomWindows()))
    {
        AddLog(LOG_ERROR, L"[ROOM] the room windows could not be made");
        QuitRoom(QUIT_CAUSE_LEFT);
        return;
    }
    InitPanels(bEntering);
    LayoutRoom();
    AddLog(LOG_INFO,
           L"[%hs] RoomIndex:%d, Title:%s, ConfCode:%s, RoomType:%d, MaxUser:%d, ExtraLocalVideo:%d",
           RoomCommandName(bOpenAck ? ACK_CONF_OPEN : ACK_CONF_JOIN), info.wRoomIndex,
           WideOf(info.szTitle).c_str(), WideOf(info.szConfCode).c_str(), info.wRoomType, info.wMaxUser,
           info.wExtraLocalVideo);
    if (bOpenAck)
    {
        S_CONFINFOEX conf;
        if (const S_CONFINFOEX* pKnown = FindConfInfo(info.wRoomIndex)) conf = *pKnown;
        conf.wRoomIndex = info.wRoomIndex;
        conf.wRoomType = info.wRoomType;
        conf.wMaxUser = info.wMaxUser;
        conf.szTitle = info.szTitle;
        conf.szConfCode = info.szConfCode;
        conf.wOwnerIndex = info.wOwnerIndex;
        m_lobby.UpdateConf(conf);
    }
    else
    {
        Broadcast(WM_QN_SESSION_EVENT, ACK_CONF_JOIN, 0);
        std::erase_if(m_outsideWindows, [](HWND h) { return !IsWindow(h); });
    }
    m_presenter.UpdatePresenterButton();
    if (m_pMainView) m_pMainView->Refresh();
    OnLobbyChanged();
}

void IConfDlg::OnRoomRefused(uint16_t wCommand, uint16_t wReason)
{
    m_room.wPendingJoinRoom = 0;
    m_room.bPanelAwaitsEntry = false;
    m_room.bPendingOpen = false;
    const char* pszKey = NakConfTextKey(wReason);
    std::wstring text = pszKey ? GetText(pszKey) : std::wstring();
    if (pszKey) ShowMessageBoxModeless(text);
    AddLog(LOG_ERROR, L"[%hs] %s (%d)", RoomCommandName(wCommand), text.c_str(), wReason);
    if (m_room.InRoom()) QuitRoom(QUIT_CAUSE_LEFT);
    Broadcast(WM_QN_SESSION_EVENT, wCommand, MAKELONG(wReason, m_room.wPendingInvite));
    if (wCommand == NAK_CONF_OPEN) m_room.wPendingInvite = 0;
    PanelAnswer(wCommand == NAK_CONF_OPEN ? "CREATE" : "JOIN", 0);
}

void IConfDlg::OnConfRecord(uint16_t wCommand, const uint8_t* p, size_t n)
{
    QNLobbyConf conf;
    if (!DecodeLobbyConf(p, n, conf))
    {
        AddLog(LOG_DEBUG, L"[ROOM] conference record dropped");
        return;
    }
    m_lobby.UpdateConf(conf);
    SendTextToClients(wCommand, LobbyConfText(conf));
    if (wCommand == INFO_CONF_UPDATE && conf.wRoomIndex == m_room.RoomIndex() && !IsPlayerMode() &&
        m_pMainView)
    {
        // The chief renamed the room or changed its most participants: the room window follows.
        m_room.info.szTitle = conf.szTitle;
        m_room.info.wMaxUser = conf.wMaxUser;
        m_pMainView->SetRoomTitle(WideOf(conf.szTitle));
        m_pMainView->Refresh();
    }
    OnLobbyChanged();
}

namespace
{
struct ThreadWindows
{
    HWND hMain;
    std::vector<HWND> keep;
    std::vector<HWND> close;
};

BOOL CALLBACK CollectThreadWindow(HWND h, LPARAM l)
{
    auto* w = reinterpret_cast<ThreadWindows*>(l);
    // Only the dialogs the user sees: the thread's hidden helper windows (COM, input methods) stay.
    wchar_t szClass[16] = {};
    GetClassNameW(h, szClass, 16);
    if (h != w->hMain && IsWindowVisible(h) && wcscmp(szClass, L"#32770") == 0 &&
        std::find(w->keep.begin(), w->keep.end(), h) == w->keep.end())
        w->close.push_back(h);
    return TRUE;
}
} // namespace

void IConfDlg::OnRoomGone(uint16_t wCommand, const uint8_t* p, size_t n)
{
    uint16_t wRoom = 0;
    if (!DecodeU16(p, n, wRoom))
    {
        AddLog(LOG_DEBUG, L"[ROOM] closed room dropped");
        return;
    }
    m_lobby.RemoveConf(wRoom);
    if (wRoom == m_room.RoomIndex() && m_room.InRoom() && !IsPlayerMode() && !m_bLeavingRoom)
    {
        // The room's own windows and the messengers are the session's to delete; every other
        // dialog of this thread (boxes, notices) closes with the room.
        ThreadWindows w{MainWnd(), {}, {}};
        CWnd* owned[] = {m_pMainView, m_pRoomCtrl};
        for (CWnd* pWnd : owned)
            if (pWnd) w.keep.push_back(pWnd->m_hWnd);
        for (const S_MESSAGEINFO& e : m_messengers.Entries())
            w.keep.push_back(static_cast<CMessangeDlg*>(m_messengers.Slot(e.wSlot))->m_hWnd);
        EnumThreadWindows(GetCurrentThreadId(), &CollectThreadWindow, reinterpret_cast<LPARAM>(&w));
        for (HWND h : w.close)
            if (IsWindow(h)) SendMessageW(h, WM_CLOSE, 0, 0);
        QuitRoom(QUIT_CAUSE_ROOM_CLOSED);
    }
    if (wCommand == INFO_CONF_DELETE) Broadcast(WM_QN_SESSION_EVENT, INFO_CONF_DELETE, 0);
    SendTextToClients(wCommand, DecimalText(wRoom));
    OnLobbyChanged();
}

bool IConfDlg::IsChief() const
{
    return m_room.IsChief(m_wMyIndex);
}

std::wstring IConfDlg::RoomUserName(uint16_t wChannel) const
{
    // Read from the record: windows.h renames GetUserName.
    const S_ROOMUSERINFO* pUser = m_room.users.FindUser(wChannel);
    return pUser ? WideOf(pUser->Name) : std::wstring();
}

std::wstring IConfDlg::LobbyUserName(uint16_t wUserIndex) const
{
    for (const S_ENTIRE_USER& u : m_lobby.Users())
        if (u.wUserIndex == wUserIndex) return WideOf(u.szName);
    return std::wstring();
}

void IConfDlg::AddChatNotice(const std::wstring& szText, int nKind)
{
    if (m_pChat) m_pChat->AddNotice(szText, nKind);
}

void IConfDlg::SendRoomChat(const std::wstring& szText)
{
    if (!m_pNet || !m_room.InRoom() || szText.empty()) return;
    // The server sends the line to the others only: the own line is written here, at once.
    std::u16string szLine = U16Of(szText).substr(0, kMaxChatInput);
    if (m_pNet->SendChatText(m_dwChatColour, szLine) && m_pChat)
        m_pChat->OnChatReceived(WideOf(m_szMyName), WideOf(szLine), m_dwChatColour);
}

ChatInputMode IConfDlg::ChatInput() const
{
    SChatInputRights rights;
    rights.bPlayerMode = IsPlayerMode();
    rights.wMyLevel = m_wMyLevel;
    rights.bControlRight = IsChief();
    rights.bPresenter = m_room.wPresenterChannel != 0xFFFF && m_room.wPresenterChannel == m_room.wMyChannel;
    // Until a member sets the room's properties, the room lets everyone chat.
    rights.bRoomChatRight = !m_room.property || m_room.property->bChat;
    return ChatInputModeOf(rights);
}

void IConfDlg::SetChatColour(uint32_t dwColour)
{
    m_dwChatColour = dwColour & 0xFFFFFF;
    RegWriteDword(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"TxtChat_COLOR", m_dwChatColour);
}

void IConfDlg::LeaveRoomRequested()
{
    if (m_room.InRoom()) OnRoomClosed(true);
}

void IConfDlg::RequestPresenter()
{
    if (!m_pNet || !m_room.InRoom()) return;
    m_pNet->SendPresenterRequest({PRESENTER_REQUEST, m_room.wMyChannel, 0});
}

void IConfDlg::AskPresenterQuestion(uint16_t wRequester)
{
    // The request is a chat line whose permit and deny links answer it.
    if (!m_room.InRoom() || !m_pNet || !m_pChat) return;
    std::wstring szName = WideOf(ChatOneLine(U16Of(RoomUserName(wRequester))));
    std::wstring text =
        Formatted(&m_log, GetText(IsPlayerMode() ? "IDS_REQ_PRESENTER_PLAYER" : "IDS_REQ_PRESENTER_CONFIRM"),
                  szName.c_str());
    m_pChat->AddPresenterRequest(text + L"  " + GetText("IDS_MSG_PERMIT") + L"  " + GetText("IDS_MSG_DENY"),
                                 wRequester);
}

void IConfDlg::AnswerPresenterRequest(uint16_t wChannel, bool bPermit)
{
    if (!m_room.InRoom() || !m_pNet || IsPlayerMode()) return;
    m_pNet->SendPresenterRequest({PRESENTER_ANSWER, wChannel, static_cast<uint16_t>(bPermit)});
    if (bPermit) return;
    std::wstring text = Formatted(&m_log, GetText("IDS_REQ_PRESENTER_ME_DENY"),
                                  WideOf(ChatOneLine(U16Of(RoomUserName(wChannel)))).c_str());
    AddChatNotice(text, NOTICE_KIND_NOTICE);
    AddLog(LOG_INFO, L"[INFO_CONF_PRESENTER] %s", text.c_str());
}

SUserMenuInputs IConfDlg::UserMenuInputs(uint16_t wChannel) const
{
    SUserMenuInputs in;
    in.bVideoOff = m_sysOption.VideoOff();
    in.nMessageMode = m_sysOption.MessageMode();
    in.nPresenterMode = m_sysOption.PresenterMode();
    in.bUseInvite = m_sysOption.UseInvite();
    in.bUseRemoteControl = m_sysOption.UseRemoteControl();
    in.bUseDesktop = m_sysOption.UseDesktop();
    in.nMediaShareMode = m_sysOption.MediaShareMode();
    in.bUsePhoneCall = m_sysOption.UsePhoneCall();
    in.bUseHwCall = m_sysOption.UseHwCall();
    in.nRightMode = m_sysOption.RightMode();
    in.bControlRight = IsChief();
    in.bOwner = m_room.info.wOwnerIndex == m_wMyIndex;
    in.bPlayerMode = IsPlayerMode();
    in.nMyGrade = UserGrade(m_wMyLevel);
    in.bRemoteControlBit = (m_wMyLevel >> 8) & 1;
    in.wMyChannel = m_room.wMyChannel;
    in.wChiefChannel = m_room.wPresiderChannel;
    in.wPresenterUserIndex = m_room.users.GetUserIndex(m_room.wPresenterChannel);
    in.bTalkAll = m_room.dwRights & (1u << RIGHT_TALK);
    in.bDrawAll = m_room.dwRights & (1u << RIGHT_DRAW);
    in.bShareAll = m_room.dwRights & (1u << RIGHT_DS);
    in.bMediaShareAll = m_room.dwRights & (1u << RIGHT_MEDIASHARE);
    in.wTarget = wChannel;
    if (const S_ROOMUSERINFO* pUser = m_room.users.FindUser(wChannel))
    {
        in.wTargetUser = pUser->userIndex;
        in.nTargetGrade = UserGrade(pUser->level);
        in.wTargetTerminal = pUser->camType;
        in.wTargetCamKind = pUser->camType;
        in.bTargetControl = wChannel == m_room.wPresiderChannel;
        in.bTargetTalk = pUser->talkRight;
        in.bTargetDraw = pUser->drawRight;
        in.bTargetDs = pUser->dsRight;
        in.bTargetShare = pUser->shareRight;
        in.bTargetMediaShare = pUser->mediaShareRight || wChannel == m_room.wPresiderChannel;
    }
    return in;
}

S_ROOMUSERINFO* IConfDlg::CUserRowRoom::FindUser(uint16_t wChannel)
{
    return m_dlg.m_room.users.FindUser(wChannel);
}

bool IConfDlg::CUserRowRoom::HasControlRight(uint16_t wChannel) const
{
    if (wChannel == m_dlg.m_room.wPresiderChannel) return true;
    const S_ROOMUSERINFO* pUser = m_dlg.m_room.users.FindUser(wChannel);
    return pUser && GradeIsAdmin(UserGrade(pUser->level), m_dlg.m_sysOption.RightMode());
}

uint16_t IConfDlg::CUserRowRoom::PresenterUserIndex() const
{
    return m_dlg.m_room.users.GetUserIndex(m_dlg.m_room.wPresenterChannel);
}

std::u16string IConfDlg::CUserRowRoom::PositionText(const std::u16string& szName, uint16_t wLevel) const
{
    if (!GradeIsAdmin(UserGrade(wLevel), m_dlg.m_sysOption.RightMode())) return szName;
    return szName + u" (" + U16Of(m_dlg.GetText("IDMS_POSITION_ADMIN")) + u")";
}

std::u16string IConfDlg::CUserRowRoom::Text(const char* pszKey) const
{
    return U16Of(m_dlg.GetText(pszKey));
}

SSeatDragRoom IConfDlg::CSeatDragRoom::DragRoom() const
{
    const SUserMenuInputs in = m_dlg.UserMenuInputs(65535);
    SSeatDragRoom r;
    r.bPlayerMode = in.bPlayerMode;
    r.bControlRight = in.bControlRight;
    r.nMyGrade = in.nMyGrade;
    r.bVideoOff = in.bVideoOff;
    r.wRoomType = m_dlg.m_room.info.wRoomType;
    r.nUsers = static_cast<int>(m_dlg.m_room.users.Users().size());
    const int nViews = m_dlg.GetVideoCount(0);
    r.wSeatCount =
        static_cast<uint16_t>(std::max(nViews, MaxVideoSenders(m_dlg.m_room.info.dwFlags, nViews)));
    return r;
}

uint16_t IConfDlg::SelectedListChannel() const
{
    return m_pUserList && m_pUserList->m_hWnd ? m_pUserList->SelectedChannel() : 65535;
}

void IConfDlg::CSeatDragRoom::SendChannelMove(uint16_t wFrom, uint16_t wTo)
{
    m_dlg.AddLog(LOG_INFO, L"[ROOM] channel move %u <-> %u", wFrom, wTo);
    if (m_dlg.m_pNet) m_dlg.m_pNet->SendChannelMove(wFrom, wTo);
}

void IConfDlg::UserAction(uint32_t nCommand, uint16_t wChannel)
{
    if (nCommand >= UMC_ALL_TALK && nCommand <= UMC_ALL_MEDIASHARE)
    {
        ToggleRoomRight(nCommand);
        return;
    }
    if (nCommand == UMC_INVITE || nCommand == UMC_CALL)
    {
        if (m_pMainView && (nCommand == UMC_INVITE || m_pRoomCtrl))
            m_pMainView->PostMessage(nCommand == UMC_INVITE ? 4052 : 4051, 0, 0);
        return;
    }
    const S_ROOMUSERINFO* pUser = m_room.users.FindUser(wChannel);
    if (!m_pNet || !m_room.InRoom() || !pUser) return;
    const bool bPc = pUser->camType == 0;
    switch (nCommand)
    {
    case UMC_MESSAGE:
        OpenMessenger(pUser->userIndex);
        return;
    case UMC_GIVE_CHIEF:
        if (IsChief() || m_room.info.wOwnerIndex == m_wMyIndex) m_pNet->SendCmd390(wChannel);
        return;
    case UMC_AUDIO_REMOTE:
    {
        // The user's sound settings are asked for; the answer is logged until the quick
        // settings panel shows it.
        QNAudioSettings ask;
        ask.wKind = AUDIOSETTINGS_REQUEST;
        ask.wRequester = m_wMyIndex;
        ask.wTarget = pUser->userIndex;
        if (bPc && !IsPlayerMode()) m_pNet->SendAudioSettings(ask);
        return;
    }
    case UMC_CAMERA:
    case UMC_REMOTECTRL:
        AddLog(LOG_INFO, L"[ROOM] %s for CH:%d: no camera control or remote control in this build",
               nCommand == UMC_CAMERA ? L"camera control" : L"remote control", wChannel);
        return;
    case UMC_PRESENTER:
    {
        // The presenter made again is the presenter cleared.
        const bool bSet = pUser->userIndex != m_room.users.GetUserIndex(m_room.wPresenterChannel);
        if (IsChief() && !IsPlayerMode() && m_pNet->SendSetPresenter(pUser->userIndex, bSet))
            m_presenter.SetPresenter(wChannel, bSet);
        return;
    }
    case UMC_BANISH:
    {
        // The name is an argument of the formatter, never its format.
        std::wstring text = Formatted(&m_log, GetText("IDS_MSG_BANISH"), WideOf(pUser->Name).c_str());
        if (text.size() > 259) text.resize(259);
        uint16_t wUser = pUser->userIndex;
        // The room may have gone while the question was open.
        if (ShowMessageBox(text, 2) == NOTICEBOX_FIRST && m_pNet && m_room.InRoom())
            m_pNet->SendBanish(wUser, wChannel);
        return;
    }
    default:
        break;
    }
    // One right of the five inverted, the others as the record holds them.
    uint32_t dwBit = nCommand == UMC_TALK         ? 1u
                     : nCommand == UMC_DRAW       ? 2u
                     : nCommand == UMC_DS         ? 4u
                     : nCommand == UMC_SHARE      ? 8u
                     : nCommand == UMC_MEDIASHARE ? 16u
                                                  : 0u;
    if (!dwBit || (!bPc && dwBit <= 2)) return; // talk and draw are for PC users only
    m_pNet->SendUserRights(wChannel, CParticipantsFeature::RightsOf(*pUser) ^ dwBit);
}

std::wstring IConfDlg::RunChatCommand(const SChatCommand& cmd)
{
    switch (cmd.id)
    {
    case SChatCommand::STATE:
        return Formatted(
            &m_log, std::wstring(L"\n*State\n%s, %d, RoomIndex:%d, UserIndex:%d, Channel:%d\r\n"),
            WideOf(m_szMyName).c_str(), m_wMyLevel, m_room.RoomIndex(), m_wMyIndex, m_room.wMyChannel);
    case SChatCommand::CODEC:
        if (cmd.szArg.empty()) return std::wstring();
        return L"Codec Option : " + WideOf(cmd.szArg) + L"\r\n";
    case SChatCommand::VOICE:
        m_voiceHost.Voice().VoiceShowLog();
        return std::wstring();
    default:
        // The video, sharing and voice parts these tune have no window in this build yet.
        AddLog(LOG_INFO, L"[CHAT] local command %d: nothing to tune yet", static_cast<int>(cmd.id));
        return std::wstring();
    }
}

void IConfDlg::RemoveUserRow(uint16_t wChannel)
{
    // The list follows the room's records (ShowRoomUsers); a request of the user goes.
    if (m_pChat) m_pChat->RemovePresenterRequest(wChannel);
    m_mediaShare.OnMemberLeft(wChannel);
    // A push from a user who left ends as cancelled by that user.
    if (m_pRoomCtrl && m_pRoomCtrl->Push())
    {
        const uint16_t wSender = m_pRoomCtrl->Push()->PushSender();
        if (wSender != CFilePush::kNoSender && !m_room.users.FindUserByIndex(wSender))
            m_pRoomCtrl->OnPushCancelled(wSender, U16Of(LobbyUserName(wSender)));
    }
}

void IConfDlg::UpdateUserRow(uint16_t wChannel, uint16_t wStatus, uint32_t)
{
    // The status word: the channel, then bit 16 voice error and bit 17 voice off.
    if (m_pUserList && m_pUserList->Rows())
        m_pUserList->Rows()->UpdateUserRow(wChannel | (static_cast<uint32_t>(wStatus) << 16));
}

void IConfDlg::ShowSpeaking(uint16_t wChannel, bool bSpeaking)
{
    if (m_pUserList && m_pUserList->Rows()) m_pUserList->Rows()->SetVoiceIcon(wChannel, bSpeaking);
}

void IConfDlg::SetVideoState(uint16_t wChannel, uint32_t dwValue)
{
    if (m_pVideoView) m_pVideoView->SetVideoState(wChannel, dwValue);
}

void IConfDlg::SetViewName(uint16_t wChannel, const std::u16string& szName)
{
    if (m_pVideoView) m_pVideoView->SetViewName(wChannel, szName);
}

void IConfDlg::SetMyChannel(uint16_t wChannel)
{
    if (m_pNet) m_pNet->SetMyIndex(wChannel);
}

void IConfDlg::SendAvState(uint32_t dwState)
{
    if (m_pNet) m_pNet->SendAvState(dwState);
}

void IConfDlg::ApplyMyRights(uint32_t dwRights)
{
    // Talk follows the record with the next ShowRoomUsers; the log tells what the chief set.
    AddLog(LOG_INFO, L"[INFO_CONF_AVSTATE] Talk:%d, Draw:%d, Desktop:%d, Share:%d, MediaShare:%d",
           dwRights & 1, (dwRights >> 1) & 1, (dwRights >> 2) & 1, (dwRights >> 3) & 1, (dwRights >> 4) & 1);
}

void IConfDlg::EnablePresenterButton(bool bEnable)
{
    if (m_pRoomCtrl) m_pRoomCtrl->UpdatePresenterButton(bEnable);
}

void IConfDlg::PostPresenterQuestion(uint16_t wRequesterChannel)
{
    // The question waits for the user: asked from a posted message, not inside the sent one.
    PostMessageW(MainWnd(), WM_QN_PRESENTER_QUESTION, wRequesterChannel, 0);
}
