// The session's notices: the notice box in its modes, invitation notices and the room an accepted
// invitation leads to, the share notice bar, the user options, and the sharer entries the notices
// reach (they log until desktop sharing comes).
#include <windows.h>

#include "confclient/notices/InfoDlg2.h"
#include "confclient/notices/InviteNoticeDlg.h"
#include "confclient/notices/NoticeDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"

#include <vector>

HWND IConfDlg::MainRoomWindow() const
{
    return m_pMainView && m_pMainView->m_hWnd ? m_pMainView->m_hWnd : nullptr;
}

int IConfDlg::ShowMessageBox(const std::wstring& szText, int nButtons, uint16_t wTimeout, int nMode)
{
    // The main dialog steps back while a room is open: the room window owns the question.
    HWND hOwner = MainRoomWindow() ? MainRoomWindow() : MainWnd();
    const int nAnswer =
        CInfoDlg2::Ask(*this, CWnd::FromHandlePermanent(hOwner), szText, nButtons, wTimeout, nMode);
    AddLog(LOG_DEBUG, L"[NOTICE] answered %d: %s", nAnswer, szText.c_str());
    return nAnswer;
}

void IConfDlg::ShowMessageBoxModeless(const std::wstring& szText, int nButtons, int nMode, uint16_t wValue)
{
    HWND hOwner = MainRoomWindow() ? MainRoomWindow() : MainWnd();
    if (nMode == NOTICEBOX_NOTICE) m_bNoticeOpen = true;
    if (!CInfoDlg2::Tell(*this, CWnd::FromHandlePermanent(hOwner), szText, nButtons, nMode, wValue))
        AddLog(LOG_ERROR, L"[NOTICE] the box could not be made: %s", szText.c_str());
}

namespace
{
// The program file's version as "a.b.c.d"; empty when it carries none.
std::wstring ProgramFileVersion()
{
    wchar_t szPath[MAX_PATH] = {};
    if (!::GetModuleFileNameW(nullptr, szPath, MAX_PATH)) return std::wstring();
    DWORD dwHandle = 0;
    const DWORD nSize = ::GetFileVersionInfoSizeW(szPath, &dwHandle);
    if (!nSize) return std::wstring();
    std::vector<uint8_t> info(nSize);
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nFixed = 0;
    if (!::GetFileVersionInfoW(szPath, 0, nSize, info.data()) ||
        !::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&pFixed), &nFixed) || !pFixed ||
        nFixed < sizeof(VS_FIXEDFILEINFO))
        return std::wstring();
    wchar_t szVersion[64];
    swprintf(szVersion, 64, L"%u.%u.%u.%u", HIWORD(pFixed->dwFileVersionMS), LOWORD(pFixed->dwFileVersionMS),
             HIWORD(pFixed->dwFileVersionLS), LOWORD(pFixed->dwFileVersionLS));
    return szVersion;
}
} // namespace

void IConfDlg::ShowAbout()
{
    // One about box at a time: it is the session's one notice.
    if (m_bNoticeOpen) return;
    ShowMessageBoxModeless(Formatted(&m_log, GetText("IDS_ABOUTMSG"), m_szExeName, ProgramFileVersion()), 1,
                           NOTICEBOX_NOTICE);
}

bool IConfDlg::LoadSkinImage(const wchar_t* pszFile, CLMPictureEx& picture)
{
    const std::wstring szFolder = IsPlayerMode() ? L"\\skinplay\\" : L"\\skin\\";
    const std::wstring szPath = m_szProgramFolder + szFolder + pszFile;
    if (GetFileAttributesW(szPath.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return picture.LoadFromFile(szPath.c_str());
}

void IConfDlg::SendUserOption(uint16_t wOption, uint32_t dwValue)
{
    if (IsPlayerMode() || !m_pNet) return;
    m_pNet->SendUserOption({m_room.wMyChannel, wOption, dwValue});
}

void IConfDlg::JoinRoomByIndex(uint16_t wRoomIndex)
{
    const S_CONFINFOEX* pConf = FindConfInfo(wRoomIndex);
    EnterRoomRequest(wRoomIndex, pConf ? pConf->szConfCode : u"", u"", false);
}

void IConfDlg::JoinNextRoom()
{
    const uint16_t wRoom = m_wRoomToJoinNext;
    m_wRoomToJoinNext = kNoIndex;
    if (wRoom == kNoIndex) return;
    AddLog(LOG_INFO, L"[INVITE] joining the room of the accepted invitation: %d", wRoom);
    JoinRoomByIndex(wRoom);
}

std::optional<std::wstring> IConfDlg::FindLobbyUser(uint16_t wUserIndex) const
{
    for (const S_ENTIRE_USER& u : m_lobby.Users())
        if (u.wUserIndex == wUserIndex) return WideOf(u.szName);
    return std::nullopt;
}

void IConfDlg::ShowInviteNotice(uint16_t wInviter, uint16_t wRoomIndex, const std::u16string& szRoomTitle)
{
    std::optional<int> slot = m_inviteNotices.Add(wInviter, wRoomIndex);
    if (!slot) return; // that invitation's notice is open already
    auto* pNotice = new CInviteNoticeDlg(*this, wInviter, wRoomIndex, WideOf(szRoomTitle), *slot);
    if (!CInviteNoticeDlg::Show(pNotice, nullptr))
    {
        m_inviteNotices.Remove(wInviter, wRoomIndex);
        AddLog(LOG_ERROR, L"[INVITE] the notice could not be made");
    }
}

void IConfDlg::AcceptInvitation(uint16_t wRoomIndex)
{
    AddLog(LOG_INFO, L"[INVITE] accepted: room %d", wRoomIndex);
    if (m_room.InRoom())
    {
        m_wRoomToJoinNext = wRoomIndex;
        OnRoomClosed(true);
        return;
    }
    JoinRoomByIndex(wRoomIndex);
}

void IConfDlg::DeclineInvitation(uint16_t wInviter)
{
    AddLog(LOG_INFO, L"[INVITE] declined: user %d", wInviter);
    if (m_pNet) m_pNet->SendInviteReply(m_wMyIndex, wInviter, false);
}

void IConfDlg::RemoveInviteNotice(uint16_t wInviter, uint16_t wRoomIndex)
{
    m_inviteNotices.Remove(wInviter, wRoomIndex);
}

void IConfDlg::ShowNoticeDlg(int nMode)
{
    if (m_hNoticeBar && IsWindow(m_hNoticeBar)) return;
    auto* pBar = new CNoticeDlg(*this, nMode);
    m_hNoticeBar = CNoticeDlg::Show(pBar) ? pBar->m_hWnd : nullptr;
}

void IConfDlg::SetDesktopShareState(uint16_t wUser, int nCode)
{
    AddLog(LOG_INFO, L"[SHARE] desktop-share state of user %d: code %d (no desktop sharing in this build)",
           wUser, nCode);
}

bool IConfDlg::IsLocalSharer() const
{
    return m_wSharingUser != kNoIndex && m_wSharingUser == m_wMyIndex;
}

void IConfDlg::StopLocalShare()
{
    AddLog(LOG_INFO, L"[SHARE] stop the local share (no desktop sharing in this build)");
}

void IConfDlg::EndRemoteShare(uint16_t wSharerSlot)
{
    AddLog(LOG_INFO, L"[SHARE] end the share of slot %d (no desktop sharing in this build)", wSharerSlot);
}
