// The session as the control bar's commands need it: what the menus are built from, and the
// room's type, lecture, record and properties sent for everyone in the room.
#include <windows.h>

#include <algorithm>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/boardhost/RoomBoard.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/people/UserMenuRules.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomstate/RoomFlags.h"

namespace
{
constexpr uint16_t kDocumentRoom = 8;

uint8_t MediaShareKindOf(uint32_t dwFlags)
{
    if (dwFlags & ROOMFLAG_MEDIASHARE_MOVIE) return 3;
    return (dwFlags & ROOMFLAG_MEDIASHARE_SOUND) ? 2 : 0;
}

// The properties the session knows of the room: the rights in force and its most participants.
S_ROOMPROPERTY KnownProperty(const CRoomState& room)
{
    // A member has set the properties: they stand as set, with the rights in force. Before, the
    // room lets everyone chat and record.
    S_ROOMPROPERTY p = room.property.value_or(S_ROOMPROPERTY());
    if (!room.property) p.bChat = p.bRecord = true;
    p.bTalk = room.dwRights & 0x1;
    p.bDraw = room.dwRights & 0x2;
    p.bDesktopShare = room.dwRights & 0x4;
    p.bMediaShare = room.dwRights & 0x10;
    p.wMaxUsers = room.info.wMaxUser;
    p.nCaptureSize = 1;
    return p;
}
} // namespace

S_MENUCONDITIONS IConfDlg::MenuConditions() const
{
    S_MENUCONDITIONS c;
    c.bPlayback = IsPlayerMode();
    c.nGrade = (m_wMyLevel & 0xFF) % 10;
    c.bControlRight = IsChief();
    c.bDrawRight = c.bControlRight || (m_room.dwRights & 0x2);
    c.bMediaShareRight = c.bControlRight || (m_room.dwRights & 0x10);
    uint32_t dwFlags = m_room.info.dwFlags;
    c.bEBook = dwFlags & ROOMFLAG_EBOOK;
    c.bQuestionnaire = m_room.bQuestionnaire || (dwFlags & ROOMFLAG_QUESTIONNAIRE);
    c.bNoVideoControls = dwFlags & ROOMFLAG_NOVIDEOVIEW;
    c.nMediaShareKind = MediaShareKindOf(dwFlags);
    std::vector<S_ROOMOPTION> options = RoomOptions();
    c.nOfferedLayouts = static_cast<int>(OfferedLayouts(
                                             [&options](uint16_t wLayout)
                                             {
                                                 for (const S_ROOMOPTION& o : options)
                                                     if (o.wLayout == wLayout) return true;
                                                 return false;
                                             })
                                             .size());
    return c;
}

void IConfDlg::MaximizeForEveryone(bool bMaximize)
{
    if (m_pNet && IsChief() && !IsPlayerMode()) m_pNet->SendCmd538(1, bMaximize);
}

void IConfDlg::RoomTypeCommand(int nCommand)
{
    if (!m_pNet || !IsChief() || IsPlayerMode()) return;
    S_ROOMTYPECHANGE change = RoomTypeChange(nCommand, m_room.info.wRoomType,
                                             static_cast<int>(m_room.users.Count()), RoomOptions());
    if (change.action == ROOMTYPE_TOO_MANY)
        ShowMessageBoxModeless(GetText("IDS_ROOMTYPE_NONCHANGE"));
    else if (change.action == ROOMTYPE_SEND)
        m_pNet->SendRoomType(change.wType, change.wUserLimit);
}

void IConfDlg::LectureCommand(uint16_t wValue)
{
    if (m_pNet && !IsPlayerMode()) m_pNet->SendCmd532(wValue, m_room.wLectureMinutes);
}

S_PROPERTYROOM IConfDlg::PropertyRoom() const
{
    S_PROPERTYROOM r;
    r.current = KnownProperty(m_room);
    r.szTitle = m_room.info.szTitle;
    r.nParticipants = static_cast<int>(m_room.users.Count());
    r.bControlRight = IsChief();
    r.bDocumentRoom = m_room.info.wRoomType == kDocumentRoom;
    r.nMaxUserChoices = std::max(static_cast<int>(kMaxViewNames), static_cast<int>(m_room.info.wMaxUser));
    r.bHasVideo = !(m_room.info.dwFlags & ROOMFLAG_NOVIDEOVIEW);
    r.nMediaShareKind = MediaShareKindOf(m_room.info.dwFlags);
    return r;
}

void IConfDlg::UpdateRoomTexts(const std::u16string& szTitle, const std::u16string& szPassword)
{
    if (!m_room.InRoom())
    {
        ShowMessageBoxModeless(GetText("IDS_MSG_INVITE_ACCEPTFAILED"));
        return;
    }
    // The session never hears the room's password: one typed is a change.
    if (szTitle == m_room.info.szTitle && szPassword.empty()) return;
    QNRoomProperty words = PackRoomProperty(KnownProperty(m_room));
    QNConfUpdate record{words.dwRights, words.dwOptions, words.dwShares, szPassword, szTitle};
    if (m_pNet && !IsPlayerMode()) m_pNet->SendConfUpdate(record);
}

void IConfDlg::ToggleRoomRight(uint32_t nCommand)
{
    // One room-wide right inverted, every other property as the room has it; the list menu's
    // checks follow when the room announces the change.
    if (!m_pNet || !m_room.InRoom() || !IsChief() || IsPlayerMode()) return;
    S_ROOMPROPERTY property = KnownProperty(m_room);
    bool& bRight = nCommand == UMC_ALL_TALK    ? property.bTalk
                   : nCommand == UMC_ALL_DRAW  ? property.bDraw
                   : nCommand == UMC_ALL_SHARE ? property.bDesktopShare
                                               : property.bMediaShare;
    bRight = !bRight;
    m_pNet->SendRoomProperty(property);
}

void IConfDlg::SendRoomProperty(const S_ROOMPROPERTY& property)
{
    if (m_pNet && !IsPlayerMode()) m_pNet->SendRoomProperty(property);
}

S_CLOCKROOM IConfDlg::ClockRoom() const
{
    S_CLOCKROOM r;
    r.bRvEdition = m_launch.fields.szEditionKind == u"1";
    r.nLectureMinutes = m_room.wLectureMinutes;
    r.nLectureState = m_room.wLectureState;
    r.bPlayback = IsPlayerMode();
    // The chief, or with no chief in the room its presider, the lowest channel.
    r.bMayEndLecture = IsChief();
    r.szTitle = m_room.info.szTitle;
    return r;
}

void IConfDlg::OnLectureChanged()
{
    if (m_pRoomCtrl) m_pRoomCtrl->OnElapsedTimeInfo(0);
}

std::vector<S_ROOMOPTION> IConfDlg::RoomOptions() const
{
    std::vector<S_ROOMOPTION> options;
    for (const QNRoomOption& o : m_room.options)
        options.push_back({o.wLayout, o.wUserLimit});
    return options;
}

void IConfDlg::LoadCapturedPage()
{
    CRoomBoard* pBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (pBoard && pBoard->IsCreated()) pBoard->Board().Load(L"", 7, 1);
}

void IConfDlg::LoadBoardWeb(const std::wstring& szAddress)
{
    CRoomBoard* pBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (!pBoard || !pBoard->IsCreated()) return;
    AddLog(LOG_INFO, L"[BOARD] web page %s", szAddress.c_str());
    pBoard->Board().Load(szAddress, 1, 1);
}

void IConfDlg::DrawOnWebPage()
{
    CRoomBoard* pBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (pBoard && pBoard->IsCreated()) pBoard->Board().Load(L"", 2, 1);
}

void IConfDlg::LeaveWebPage()
{
    // The agenda shows its current page again, which takes the board off the web page.
    if (m_pAgendaList && m_pAgendaList->m_hWnd)
        m_pAgendaList->SendMessage(CRoomAgendaListDlg::kGoToPageMessage,
                                   static_cast<WPARAM>(m_pAgendaList->CurrentPage()), 0);
}

void IConfDlg::ApplyBoardActions(const S_BOARDACTIONS& a)
{
    CRoomBoard* pRoomBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (!pRoomBoard || !pRoomBoard->IsCreated()) return;
    CLMBoard2& board = pRoomBoard->Board();
    if (a.bFluorescent) board.SetLineFluorescent(*a.bFluorescent);
    if (a.nLineThick) board.SetLineThick(*a.nLineThick);
    if (a.dwLineColour) board.SetLineColor(static_cast<long>(*a.dwLineColour));
    if (a.nDrawMode) board.SetDrawMode(*a.nDrawMode);
    if (a.nZoom) board.SetZoom(*a.nZoom);
    if (a.bClear) board.DrawClear();
    if (a.bFontDialog) board.SetTextFont();
    if (a.bSave) board.Save();
    if (a.bPrint) board.Print();
}
