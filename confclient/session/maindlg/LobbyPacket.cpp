// The lobby command dispatcher: every lobby command the network object sends
// the main dialog as 0x550 becomes session state, log lines, notices to the
// outside windows and, where the protocol asks, an answer to the server.
#include <windows.h>

#include "confclient/network/QNCommands.h"
#include "confclient/network/registry/Registry.h"
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

void IConfDlg::OnLoginAck(const QNPacketDesc* pDesc)
{
    m_bLobbyLoggedIn = true;
    m_nLoginRetry = 0;
    QNLoginAck ack;
    // A short answer leaves the record at its defaults instead of reading past the payload.
    if (pDesc && pDesc->pData) DecodeLoginAck(pDesc->pData, pDesc->nLength, ack);
    m_wMyLevel = ack.wLevel;
    m_wMyIndex = ack.wUserIndex;
    m_wGroupCode = ack.wGroupCode;
    m_szMyName = ack.szName;
    AddLog(LOG_INFO, L"[ACK_LOBY_LOGIN] ID:%s, Name:%s, UserIndex:%d, UserLevel:%d, Groupcode:%d",
           WideOf(m_launch.fields.szUserId).c_str(), WideOf(m_szMyName).c_str(), m_wMyIndex, m_wMyLevel,
           m_wGroupCode);
    Broadcast(WM_QN_SESSION_EVENT, ACK_LOBY_LOGIN, 0);
    m_bPendingLobbyNotice = true;
    m_dwVideoStop = RegReadDword(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"VideoStop", 0);
    SetTimer(MainWnd(), TIMER_KEEPALIVE, kKeepAlivePeriodMs, nullptr);
    RemoveSplash();
    PanelAnswer("CONNECT", 1);
}

void IConfDlg::OnLoginRefused()
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
        if (MessageBoxW(MainWnd(), text.c_str(), m_szExeName.c_str(), MB_OKCANCEL) == IDOK && m_pNet)
        {
            m_pNet->SendCmd220(m_launch.fields.szUserId);
            return;
        }
    }
    else
        MessageBoxW(MainWnd(), text.c_str(), m_szExeName.c_str(), MB_OK);
    PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_REFUSED);
}

void IConfDlg::OnLobbyPacket(WPARAM wCode, LPARAM lParam)
{
    const auto* pDesc = reinterpret_cast<const QNPacketDesc*>(lParam);
    const uint8_t* p = pDesc ? pDesc->pData : nullptr;
    size_t n = pDesc && p ? pDesc->nLength : 0;
    switch (wCode)
    {
    case ACK_KEEP_ALIVE:
    {
        if (!m_keepAlive.Outstanding()) break; // an answer nobody asked for measures nothing
        KillTimer(MainWnd(), TIMER_PINGANSWER);
        if (auto a = m_keepAlive.OnAnswer(GetTickCount(), 0))
            AddLog(LOG_DEBUG, L"[ACK_KEEP_ALIVE] RTT:%u", a->dwRttMs);
        break;
    }
    case ACK_SEED_KEY:
        AddLog(LOG_DEBUG, L"[ACK_SEED_KEY]");
        SendLobbyLogin();
        break;
    case INFO_USER_LOGIN:
    {
        QNLobbyUser u;
        if (!DecodeLobbyUser(p, n, u)) break;
        m_lobby.AddUser(u);
        SendTextToClients(INFO_USER_LOGIN, LobbyUserText(u));
        OnLobbyChanged();
        break;
    }
    case INFO_USER_LOGOUT:
    {
        QNLobbyUser u;
        if (!DecodeLobbyUser(p, n, u)) break;
        SendTextToClients(INFO_USER_LOGOUT, LobbyUserText(u));
        m_lobby.RemoveUser(u.wUserIndex);
        OnLobbyChanged();
        break;
    }
    case INFO_CONF_RECORD_LOBBY:
    {
        QNLobbyConf c;
        if (!DecodeLobbyConf(p, n, c)) break;
        if (!FindConfInfo(c.wRoomIndex)) m_lobby.UpdateConf(c);
        SendTextToClients(INFO_CONF_RECORD_LOBBY, LobbyConfText(*FindConfInfo(c.wRoomIndex)));
        OnLobbyChanged();
        break;
    }
    case ACK_LOBY_LOGIN:
        OnLoginAck(pDesc);
        OnLobbyChanged();
        break;
    case NAK_LOBY_LOGIN:
        OnLoginRefused();
        break;
    case ACK_LOBY_BANISH:
        if (!m_pNet) break;
        AddLog(LOG_INFO, L"[ACK_LOBY_BANISH]");
        SendLobbyLogin();
        break;
    case INFO_LOBY_FORCED_LOGOUT:
        // lParam is 0 here: a notice, not a frame.
        m_bLogoutUnderway = true;
        PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_FORCED);
        break;
    case DAT_LOBY_USERLIST:
    {
        std::vector<QNLobbyUser> users;
        if (!DecodeUserList(p, n, users)) break;
        std::vector<S_ENTIRE_USER> list;
        for (const QNLobbyUser& u : users)
        {
            list.push_back(u);
            SendTextToClients(DAT_LOBY_USERLIST, LobbyUserText(list.back()));
        }
        m_lobby.SetUsers(std::move(list));
        OnLobbyChanged();
        break;
    }
    case 232:
        m_bUserListChanged1 = m_bUserListChanged2 = true;
        Broadcast(WM_QN_SESSION_EVENT, 232, 0);
        break;
    case DAT_LOBY_CONFLIST:
    {
        std::vector<QNLobbyConf> confs;
        if (!DecodeConfList(p, n, confs)) break;
        std::vector<S_CONFINFOEX> list;
        for (const QNLobbyConf& c : confs)
            list.push_back(c);
        for (uint16_t wGone : m_lobby.ReplaceConfs(std::move(list)))
            SendTextToClients(INFO_CONF_CLOSE, DecimalText(wGone));
        for (const S_CONFINFOEX& c : m_lobby.Confs())
            SendTextToClients(DAT_LOBY_CONFLIST, LobbyConfText(c));
        OnLobbyChanged();
        break;
    }
    case 242:
    {
        Broadcast(WM_QN_SESSION_EVENT, 242, 0);
        uint16_t wRoom = 0;
        const S_CONFINFOEX* pConf = DecodeU16(p, n, wRoom) ? FindConfInfo(wRoom) : nullptr;
        if (pConf && m_pNet && m_bLobbyLoggedIn)
        {
            AddLog(LOG_INFO, L"Reconnect ConfCode:%s %s", WideOf(pConf->szConfCode).c_str(),
                   WideOf(pConf->szTitle).c_str());
            OnClientCommand(CLIENTCMD_JOIN, DecimalText(wRoom) + u'\n' + pConf->szConfCode);
        }
        else
            PostMessageW(MainWnd(), WM_QN_NOTICE_BOX, NOTICE_INVITE_ACCEPTFAILED, 0);
        break;
    }
    case INFO_SERVER_NOTICE:
    case INFO_SYSTEM_OPTION:
    {
        QNSystemOption opt;
        if (!DecodeSystemOption(p, n, opt)) break;
        m_sysOption = opt;
        AddLog(LOG_INFO, L"[INFO_SYSTEM_OPTION] DSSIp:%s, DSSPort:%d, UseRemoteControl:%d, UseDesktop:%d",
               WideOf(opt.szDssAddress).c_str(), opt.wDssPort, opt.wUseRemoteControl, opt.wUseDesktop);
        SendTextToClients(INFO_SYSTEM_OPTION, opt.szDssAddress + u'\n' + DecimalText(opt.wDssPort) + u'\n' +
                                                  DecimalText(opt.wUseRemoteControl) + u'\n' +
                                                  DecimalText(opt.wUseDesktop));
        break;
    }
    case 261:
        // The server's conference entry: "<room index>\n<conference code>", handled as the agent's join.
        if (std::optional<std::u16string> text = DecodeConfEntryText(p, n))
            OnConfEntryText(*text);
        else
            AddLog(LOG_ERROR, L"[CONF_ENTRY] malformed payload of %u bytes", static_cast<unsigned>(n));
        break;
    case 262:
    {
        Broadcast(WM_QN_SESSION_EVENT, 262, m_wRoomIndex);
        std::wstring text = GetText("IDMS_ALREADY_CONFOPEN");
        AddLog(LOG_INFO, L"[NAK_LOBY_AGENDALOCK] %s", text.c_str());
        PostMessageW(MainWnd(), WM_QN_NOTICE_BOX, NOTICE_ALREADY_CONFOPEN, 0);
        break;
    }
    case 271:
    {
        uint32_t dw = 0;
        if (DecodeU32(p, n, dw)) Broadcast(WM_QN_SESSION_EVENT, 271, dw);
        break;
    }
    default:
        break;
    }
}
