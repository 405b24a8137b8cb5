// The main dialog's side of the lobby commands: each command the lobby dispatcher
// decodes becomes session state, log lines, notices to the outside windows and,
// where the protocol asks, an answer to the server.
#include <windows.h>

#include "confclient/network/QNCommands.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/session/agent/AgentCommands.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/session/startup/CopyData.h"

void IConfDlg::SendLobbyLogin()
{
    if (!m_pNet) return;
    const S_LAUNCHFIELDS& f = m_launch.fields;
    m_pNet->SendLogin(f.szUserId, f.szLoginKey, f.nLoginKind, PanelConnected());
}

void IConfDlg::OnLobbyLoginAck(const QNLoginAck& ack)
{
    m_bLobbyLoggedIn = true;
    m_nLoginRetry = 0;
    m_wMyLevel = ack.wLevel;
    m_wMyIndex = ack.wUserIndex;
    m_wGroupCode = ack.wGroupCode;
    m_szMyName = ack.szName;
    AddLog(LOG_INFO, L"[ACK_LOBY_LOGIN] ID:%s, Name:%s, UserIndex:%d, UserLevel:%d, Groupcode:%d",
           WideOf(m_launch.fields.szUserId).c_str(), WideOf(m_szMyName).c_str(), m_wMyIndex, m_wMyLevel,
           m_wGroupCode);
    Broadcast(WM_QN_SESSION_EVENT, ACK_LOBY_LOGIN, 0);
    m_bPendingLobbyNotice = true;
    m_room.dwVideoStop = RegReadDword(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"VideoStop", 0);
    SetTimer(MainWnd(), TIMER_KEEPALIVE, kKeepAlivePeriodMs, nullptr);
    RemoveSplash();
    PanelAnswer("CONNECT", 1);
    OnLobbyChanged();
}

void IConfDlg::OnLobbyLoginRefused()
{
    m_wLastRefusal = m_pNet ? m_pNet->TakeLastSub() : 0;
    switch (::OnLoginRefused(m_wLastRefusal, m_nLoginRetry))
    {
    case LoginRefusalAction::Retry:
        AddLog(LOG_ERROR, L"[NAK_LOBY_LOGIN] DB Connect Failed. Try ReLogin.");
        SetTimer(MainWnd(), TIMER_RELOGIN, 500, nullptr);
        return;
    case LoginRefusalAction::NotifyOnly:
        AddLog(LOG_ERROR, L"[NAK_LOBY_LOGIN] UnKnown Error");
        Broadcast(WM_QN_SESSION_EVENT, NAK_LOBY_LOGIN, 0);
        return;
    default:
        break;
    }
    std::wstring text = GetText(NakLobbyLoginTextKey(m_wLastRefusal));
    AddLog(LOG_ERROR, L"[NAK_LOBY_LOGIN] %s (%d)", text.c_str(), m_wLastRefusal);
    // The box waits for the user: shown from a posted message, not inside the network's sent one.
    RemoveSplash();
    PostMessageW(MainWnd(), WM_QN_REFUSAL_BOX, m_wLastRefusal, 0);
}

void IConfDlg::ShowRefusalBox(uint16_t wCode)
{
    std::wstring text = GetText(NakLobbyLoginTextKey(wCode));
    if (::OnLoginRefused(wCode, kMaxLoginRetries) == LoginRefusalAction::AskBanish)
    {
        if (ShowMessageBox(text, 2) == NOTICEBOX_FIRST && m_pNet)
        {
            m_pNet->SendCmd220(m_launch.fields.szUserId);
            return;
        }
    }
    else
        ShowMessageBox(text);
    PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_REFUSED);
}

void IConfDlg::OnLobbyPacket(WPARAM wCode, LPARAM lParam)
{
    // lParam is 0 for a notice that is not a frame (the forced logout).
    const auto* pDesc = reinterpret_cast<const QNPacketDesc*>(lParam);
    DispatchLobbyCommand(static_cast<uint16_t>(wCode), pDesc ? pDesc->pData : nullptr,
                         pDesc ? pDesc->nLength : 0, *this);
}

void IConfDlg::OnDroppedPayload(uint16_t wCommand, size_t nLength)
{
    const QNCommandInfo* pInfo = FindCommandInfo(wCommand);
    AddLog(LOG_ERROR, L"[%hs] malformed payload of %u bytes", pInfo ? pInfo->pszName : "?",
           static_cast<unsigned>(nLength));
}

void IConfDlg::OnKeepAliveAnswer()
{
    if (!m_keepAlive.Outstanding()) return; // an answer nobody asked for measures nothing
    KillTimer(MainWnd(), TIMER_PINGANSWER);
    int nState = m_pRoomCtrl ? m_pRoomCtrl->NetworkIndicator().State() : 0;
    if (auto a = m_keepAlive.OnAnswer(GetTickCount(), nState))
    {
        AddLog(LOG_DEBUG, L"[ACK_KEEP_ALIVE] RTT:%u", a->dwRttMs);
        // A slow round trip is the worst state; a recovered one is normal again.
        if (a->nNetNotice && m_pRoomCtrl) m_pRoomCtrl->OnNetworkState(a->nNetNotice == 2 ? 2 : 0);
    }
}

void IConfDlg::OnSeedKeyAnswer()
{
    AddLog(LOG_DEBUG, L"[ACK_SEED_KEY]");
    SendLobbyLogin();
}

void IConfDlg::OnLobbyUserLogin(const QNLobbyUser& u)
{
    m_lobby.AddUser(u);
    SendTextToClients(INFO_USER_LOGIN, LobbyUserText(u));
    OnLobbyChanged();
}

void IConfDlg::OnLobbyUserLogout(const QNLobbyUser& u)
{
    SendTextToClients(INFO_USER_LOGOUT, LobbyUserText(u));
    m_lobby.RemoveUser(u.wUserIndex);
    OnLobbyChanged();
}

void IConfDlg::OnLobbyConfRecord(const QNLobbyConf& c)
{
    if (!FindConfInfo(c.wRoomIndex)) m_lobby.UpdateConf(c);
    SendTextToClients(INFO_CONF_RECORD_LOBBY, LobbyConfText(*FindConfInfo(c.wRoomIndex)));
    OnLobbyChanged();
}

void IConfDlg::OnLobbyBanishAnswer()
{
    if (!m_pNet) return;
    AddLog(LOG_INFO, L"[ACK_LOBY_BANISH]");
    SendLobbyLogin();
}

void IConfDlg::OnForcedLogout()
{
    m_bLogoutUnderway = true;
    PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_FORCED);
}

void IConfDlg::OnLobbyUserList(const std::vector<QNLobbyUser>& users)
{
    std::vector<S_ENTIRE_USER> list;
    for (const QNLobbyUser& u : users)
    {
        list.push_back(u);
        SendTextToClients(DAT_LOBY_USERLIST, LobbyUserText(list.back()));
    }
    m_lobby.SetUsers(std::move(list));
    OnLobbyChanged();
}

void IConfDlg::OnLobbyUserListChanged()
{
    m_bUserListChanged1 = m_bUserListChanged2 = true;
    Broadcast(WM_QN_SESSION_EVENT, INFO_LOBY_USERLIST_CHANGED, 0);
}

void IConfDlg::OnLobbyConfList(const std::vector<QNLobbyConf>& confs)
{
    std::vector<S_CONFINFOEX> list;
    for (const QNLobbyConf& c : confs)
        list.push_back(c);
    for (uint16_t wGone : m_lobby.ReplaceConfs(std::move(list)))
        SendTextToClients(INFO_CONF_CLOSE, DecimalText(wGone));
    for (const S_CONFINFOEX& c : m_lobby.Confs())
        SendTextToClients(DAT_LOBY_CONFLIST, LobbyConfText(c));
    OnLobbyChanged();
}

void IConfDlg::OnInviteAccepted(const std::optional<uint16_t>& room)
{
    Broadcast(WM_QN_SESSION_EVENT, INFO_LOBY_INVITE_ACCEPTED, 0);
    const S_CONFINFOEX* pConf = room ? FindConfInfo(*room) : nullptr;
    if (pConf && m_pNet && m_bLobbyLoggedIn)
    {
        AddLog(LOG_INFO, L"Reconnect ConfCode:%s %s", WideOf(pConf->szConfCode).c_str(),
               WideOf(pConf->szTitle).c_str());
        OnClientCommand(CLIENTCMD_JOIN, DecimalText(*room) + u'\n' + pConf->szConfCode);
    }
    else
        PostMessageW(MainWnd(), WM_QN_NOTICE_BOX, NOTICE_INVITE_ACCEPTFAILED, 0);
}

void IConfDlg::OnSystemOption(const QNSystemOption& opt)
{
    m_sysOption = opt;
    AddLog(LOG_INFO, L"[INFO_SYSTEM_OPTION] DSSIp:%s, DSSPort:%d, UseRemoteControl:%d, UseDesktop:%d",
           WideOf(opt.szDssAddress).c_str(), opt.wDssPort, opt.UseRemoteControl(), opt.UseDesktop());
    SendTextToClients(INFO_SYSTEM_OPTION, opt.szDssAddress + u'\n' + DecimalText(opt.wDssPort) + u'\n' +
                                              DecimalText(opt.UseRemoteControl()) + u'\n' +
                                              DecimalText(opt.UseDesktop()));
}

void IConfDlg::OnAgendaLocked()
{
    Broadcast(WM_QN_SESSION_EVENT, NAK_LOBY_AGENDALOCK, m_room.RoomIndex());
    std::wstring text = GetText("IDMS_ALREADY_CONFOPEN");
    AddLog(LOG_INFO, L"[NAK_LOBY_AGENDALOCK] %s", text.c_str());
    PostMessageW(MainWnd(), WM_QN_NOTICE_BOX, NOTICE_ALREADY_CONFOPEN, 0);
}

void IConfDlg::OnLobbyBroadcast(const uint32_t& value)
{
    Broadcast(WM_QN_SESSION_EVENT, INFO_LOBY_BROADCAST, value);
}

void IConfDlg::OnNetworkWarning()
{
    AddLog(LOG_INFO, L"[INFO_NETWORK_STATE]");
    if (m_pRoomCtrl) m_pRoomCtrl->OnNetworkState(2);
}
