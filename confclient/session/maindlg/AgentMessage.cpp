// The control agent: the registered message by which outside programs drive the
// main program, the conference entry the server sends as 261, and the restart
// that ends the program and starts it again.
#include <windows.h>

#include <shellapi.h>

#include "confclient/network/registry/Registry.h"
#include "confclient/session/agent/AgentCommands.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/maindlg/SessionMessages.h"

void IConfDlg::OnAgentMessage(WPARAM wParam, LPARAM lParam)
{
    std::optional<AgentCommand> cmd = AgentCommandOf(wParam);
    if (!cmd)
    {
        AddLog(LOG_ERROR, L"[AGENT] refused code %u", static_cast<unsigned>(wParam));
        return;
    }
    AddLog(LOG_INFO, L"[AGENT] %u %ld", static_cast<unsigned>(wParam), static_cast<long>(lParam));
    HWND hMain = MainWnd();
    switch (*cmd)
    {
    case AgentCommand::Show:
        ShowWindow(hMain, IsIconic(hMain) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(hMain);
        break;
    case AgentCommand::LeaveRoom:
        if (m_room.InRoom()) QuitRoom(QUIT_CAUSE_LEFT);
        break;
    case AgentCommand::Logout:
        QuitProgram();
        break;
    case AgentCommand::Restart:
        m_bRestartRequested = true;
        QuitProgram();
        break;
    case AgentCommand::JoinRoom:
    {
        // Only the index comes with a message: the code is the lobby list's.
        const S_CONFINFOEX* pConf =
            lParam > 0 && lParam < 65535 ? FindConfInfo(static_cast<uint16_t>(lParam)) : nullptr;
        if (pConf)
        {
            AddLog(LOG_INFO, L"[AGENT] join RoomIndex:%d", pConf->wRoomIndex);
            EnterRoomRequest(pConf->wRoomIndex, pConf->szConfCode, u"", false);
        }
        else
            AddLog(LOG_ERROR, L"[AGENT] no room %ld to join", static_cast<long>(lParam));
        break;
    }
    }
}

void IConfDlg::OnConfEntryText(const std::u16string& text)
{
    std::optional<S_AGENTJOIN> join = ParseAgentJoinText(text);
    const S_CONFINFOEX* pConf = join ? FindConfInfo(join->wRoomIndex) : nullptr;
    if (!pConf)
    {
        AddLog(LOG_ERROR, L"[AGENT] no such room to join: %s", WideOf(text.substr(0, 64)).c_str());
        return;
    }
    std::u16string szCode = join->szConfCode.empty() ? pConf->szConfCode : join->szConfCode;
    AddLog(LOG_INFO, L"[AGENT] join RoomIndex:%d", join->wRoomIndex);
    EnterRoomRequest(join->wRoomIndex, szCode, u"", false);
}

void IConfDlg::RememberProgramFolder()
{
    RegWriteString(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"ProgramFolder",
                   m_szProgramFolder.c_str());
}

void IConfDlg::RestartIfRequested()
{
    if (!m_bRestartRequested) return;
    m_bRestartRequested = false;
    std::wstring szFolder =
        RegReadString(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"ProgramFolder", L"");
    if (szFolder.empty())
    {
        AddLog(LOG_ERROR, L"[RESTART] no program folder");
        return;
    }
    std::wstring szExe = szFolder + L"\\" + m_szExeName + L".exe";
    // This instance still holds the single-instance mutex and may still have its window:
    // the flag makes the new one start on its own instead of handing its command line here.
    RegWriteDword(HKEY_CURRENT_USER, kRegCommonKey, L"Logout_State", 1);
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = L"open";
    sei.lpFile = szExe.c_str();
    sei.lpParameters = m_szCmdLine.empty() ? nullptr : m_szCmdLine.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&sei))
    {
        AddLog(LOG_INFO, L"[RESTART] %s", szExe.c_str());
        return;
    }
    AddLog(LOG_ERROR, L"[RESTART] cannot start %s (%u)", szExe.c_str(),
           static_cast<unsigned>(GetLastError()));
    RegWriteDword(HKEY_CURRENT_USER, kRegCommonKey, L"Logout_State", 0);
}
