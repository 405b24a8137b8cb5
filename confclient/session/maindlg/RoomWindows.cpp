// The room's windows: the layout table, the room rectangle, the windows made in
// their fixed order, the side-panel states, the placement and the teardown.
#include <windows.h>

#include <algorithm>
#include <type_traits>

#include "ResourceIds.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/room/EBookDlg.h"
#include "confclient/boardhost/FloatingBoardToolDlg.h"
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/room/PlayerDlg.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/PropertyDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/session/texttable/TextTableResource.h"
#include "winui/WinApp.h"

// How the session makes, finds and destroys the window of one slot: its dialog class and the
// member that owns it. The room windows table says when and under which parent.
struct IConfDlg::RoomWindowMaker
{
    CWnd* (*pfnWindow)(IConfDlg& dlg);
    bool (*pfnMake)(IConfDlg& dlg, CWnd* pParent);
    void (*pfnDestroy)(IConfDlg& dlg);
};

namespace
{
template <class Dlg, Dlg* IConfDlg::*Member> CWnd* WindowOf(IConfDlg& dlg)
{
    return dlg.*Member;
}

// A window that cannot be made is deleted again and the caller stops there.
template <class Dlg, Dlg* IConfDlg::*Member> bool MakeWindow(IConfDlg& dlg, CWnd* pParent)
{
    Dlg* pNew;
    if constexpr (std::is_constructible_v<Dlg, IRoomHost*, IAgendaListHost*>)
        pNew = new Dlg(&dlg, &dlg);
    else if constexpr (std::is_constructible_v<Dlg, IMediaShareHost*>)
        pNew = new Dlg(static_cast<IMediaShareHost*>(&dlg));
    else if constexpr (std::is_constructible_v<Dlg, IRoomHost*>)
        pNew = new Dlg(&dlg);
    else
        pNew = new Dlg;
    if (!pNew->Create(pParent))
    {
        delete pNew;
        return false;
    }
    dlg.*Member = pNew;
    return true;
}

template <class Dlg, Dlg* IConfDlg::*Member> void DestroyWindowOf(IConfDlg& dlg)
{
    Dlg*& pWnd = dlg.*Member;
    if (!pWnd) return;
    if (pWnd->m_hWnd) pWnd->DestroyWindow();
    delete pWnd;
    pWnd = nullptr;
}

void SendSize(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd) return;
    RECT rc;
    GetClientRect(pWnd->m_hWnd, &rc);
    SendMessageW(pWnd->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
}
} // namespace

bool IConfDlg::LoadLayoutTable()
{
    CTextTable table;
    std::u16string text;
    // Without the resource the defaults stay: LoadTextTableResource leaves the text empty.
    LoadTextTableResource(AfxGetResourceHandle(), IDR_INI_LAYOUT, table, &text);
    m_layout.Load(text,
                  [&table](const std::u16string& key)
                  {
                      const std::u16string* p = table.Find(key);
                      return p ? *p : std::u16string();
                  });
    return true;
}

const CRoomInfo* IConfDlg::GetLayoutInfo(uint16_t nType) const
{
    return m_layout.GetLayoutInfo(nType, m_room.info.wRoomType);
}

uint16_t IConfDlg::GetVideoCount(uint16_t nType) const
{
    if (nType == 0) nType = m_room.info.wRoomType;
    return nType == 0 ? 0 : VideoCountOfType(nType);
}

bool IConfDlg::PrepareRoom()
{
    if (!LoadLayoutTable()) return false;
    OnPrepareRoom();
    Broadcast(WM_QN_ROOM_WINDOWS, ROOMWINDOWS_PREPARED, reinterpret_cast<LPARAM>(MainWnd()));
    return true;
}

void IConfDlg::LoadRoomPosition(S_ROOMPOSITION& pos, bool bReadSaved)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    S_RECT workArea{work.left, work.top, work.right, work.bottom};
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    S_RECT virtualScreen{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    std::wstring saved;
    if (bReadSaved)
        saved = RegReadString(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"Room_Position", L"");
    pos = ComputeRoomPosition(U16Of(saved), workArea, virtualScreen);
}

void IConfDlg::SaveMainPlacement(bool bSave)
{
    // In full screen the room keeps the rectangle it had before.
    if (!bSave || m_bFullScreen || !m_pMainView || !m_pMainView->m_hWnd) return;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(m_pMainView->m_hWnd, &wp)) return;
    const RECT& r = wp.rcNormalPosition;
    m_roomPos.rect = {r.left, r.top, r.right, r.bottom};
    m_roomPos.bMaximized = wp.showCmd == SW_SHOWMAXIMIZED;
}

void IConfDlg::SaveRoomPosition()
{
    SaveMainPlacement(true);
    std::wstring text = WideOf(FormatRoomPosition(m_roomPos));
    RegWriteString(HKEY_CURRENT_USER, RegProgramKey(m_szExeName).c_str(), L"Room_Position", text.c_str());
}

void IConfDlg::OnRoomClosed(bool bSave)
{
    SaveMainPlacement(bSave);
    PostMessageW(MainWnd(), WM_QN_ROOM_CLOSED, 0, 0);
}

const IConfDlg::RoomWindowMakers& IConfDlg::Makers()
{
#define ROOM_WINDOW(slot, Dlg, member)                                                                       \
    {                                                                                                        \
        &WindowOf<Dlg, &IConfDlg::member>, &MakeWindow<Dlg, &IConfDlg::member>,                              \
            &DestroyWindowOf<Dlg, &IConfDlg::member>                                                         \
    }
    // In slot order.
    static const RoomWindowMakers makers = {{
        ROOM_WINDOW(SLOT_MAINVIEW, CRoomMainViewDlg, m_pMainView),
        ROOM_WINDOW(SLOT_VIDEOVIEW, CRoomVideoViewDlg, m_pVideoView),
        ROOM_WINDOW(SLOT_MEDIASHAREVIEW, CRoomMediaShareViewDlg, m_pMediaShareView),
        ROOM_WINDOW(SLOT_QUESTION, CQuestionDlg, m_pQuestion),
        ROOM_WINDOW(SLOT_MANAGETOOL, CManageToolDlg, m_pManageTool),
        ROOM_WINDOW(SLOT_CHAT, CRoomTxtChatDlg, m_pChat),
        ROOM_WINDOW(SLOT_AGENDALIST, CRoomAgendaListDlg, m_pAgendaList),
        ROOM_WINDOW(SLOT_EBOOK, CEBookDlg, m_pEBook),
        ROOM_WINDOW(SLOT_USERLIST, CRoomUserListDlg, m_pUserList),
        ROOM_WINDOW(SLOT_BOARDTOOL, CFloatingBoardToolDlg, m_pBoardTool),
        ROOM_WINDOW(SLOT_ROOMCTRL, CRoomCtrlDlg, m_pRoomCtrl),
        ROOM_WINDOW(SLOT_PLAYER, CPlayerDlg, m_pPlayer),
    }};
#undef ROOM_WINDOW
    return makers;
}

CWnd* IConfDlg::RoomWindow(RoomSlot slot)
{
    return slot == SLOT_NONE ? nullptr : Makers()[slot].pfnWindow(*this);
}

bool IConfDlg::CreateRoomWindows()
{
    AddLog(LOG_INFO, L"[ROOM] windows for type %d, flags 0x%x", m_room.info.wRoomType, m_room.info.dwFlags);
    for (const RoomWindowRow& row : RoomWindowRows())
    {
        if (!row.pfnWanted(m_room, IsPlayerMode()) || RoomWindow(row.slot)) continue;
        if (!Makers()[row.slot].pfnMake(*this, RoomWindow(row.parent))) return false;
        OnRoomWindowMade(row.slot);
    }
    m_pMainView->SetRoomTitle(WideOf(m_room.info.szTitle));
    m_pMainView->SetPane(PANE_CTRLBAR, m_pRoomCtrl);
    m_pMainView->SetPane(PANE_MANAGETOOL, m_pManageTool);
    m_pMainView->SetPane(PANE_BOARDTOOL, m_pBoardTool);
    m_pMainView->SetPane(PANE_PLAYER, m_pPlayer);
    m_pMainView->SetChildViews(m_pVideoView, m_pMediaShareView, m_pQuestion);
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    return true;
}

void IConfDlg::OnRoomWindowMade(RoomSlot slot)
{
    switch (slot)
    {
    case SLOT_MAINVIEW:
        StartRoomBoard();
        StartCallDialer();
        m_pMainView->SetAboutItem(GetText("IDMS_ABOUTBOX"), [this] { ShowAbout(); });
        CRoomMainViewDlg::GroupOnTaskbar(m_szExeName, m_szProgramFolder + L"\\skin");
        m_pMainView->SetFileDrop(m_launch.fields.szEditionKind == u"1",
                                 [this](DropAction action, const std::wstring& szPath)
                                 {
                                     if (action == DROP_UNSUPPORTED)
                                         ShowMessageBox(GetText("IDMS_BOARD_UNSUPPORT"), 1);
                                     else
                                         AddLog(LOG_ERROR, L"[PLAYER] no player to play %s", szPath.c_str());
                                 });
        break;
    case SLOT_VIDEOVIEW:
        m_pVideoView->SetViewCount(ClampViewCount(GetVideoCount(0)));
        m_pVideoView->LoadFloatingPosition(m_szExeName);
        break;
    case SLOT_MEDIASHAREVIEW:
        if (!m_pMediaShareView->CreateChildren())
            AddLog(LOG_ERROR, L"[MEDIASHARE] the tool bar could not be made");
        else
            m_hShareToolBar = m_pMediaShareView->ToolBar()->m_hWnd;
        break;
    case SLOT_BOARDTOOL:
        AttachBoardPalette();
        break;
    case SLOT_ROOMCTRL:
    {
        m_pRoomCtrl->SetMainView(m_pMainView);
        m_pRoomCtrl->SetRecording(this);
        m_hRoomCtrl = m_pRoomCtrl->m_hWnd;
        m_voiceHost.Start(m_pRoomCtrl, MainWnd(), m_wMyIndex, (m_wMyLevel & 0xFF) % 10, IsPlayerMode());
        // The conference time counts from the room's start as the lobby knows it.
        const S_CONFINFOEX* pConf = FindConfInfo(m_room.RoomIndex());
        int64_t nElapsed = pConf ? static_cast<int64_t>(::time(nullptr)) - pConf->dwStartTime : 0;
        m_pRoomCtrl->OnElapsedTimeInfo(nElapsed > 0 ? nElapsed : 0);
        m_voiceHost.OnMembersChanged(IsChief());
        break;
    }
    default:
        break;
    }
}

bool IConfDlg::InitPanels(bool bEntering)
{
    LoadRoomPosition(m_roomPos, bEntering);
    if (bEntering)
    {
        m_room.wViewMode = 0;
        m_bLayoutDone = false;
        m_bFullScreen = false;
        m_bPanelShown = true;
        std::wstring key = RegProgramKey(m_szExeName);
        m_bDualMonitor = RegReadDword(HKEY_CURRENT_USER, key.c_str(), L"DualMonitor", 0) != 0;
        m_nAgendaListState =
            static_cast<int>(RegReadDword(HKEY_CURRENT_USER, key.c_str(), L"AgendaListState", 1));
        m_nUserListState =
            static_cast<int>(RegReadDword(HKEY_CURRENT_USER, key.c_str(), L"UserListState", 1));
        m_nChatWndState = static_cast<int>(RegReadDword(HKEY_CURRENT_USER, key.c_str(), L"ChatWndState", 1));
        m_dwChatColour = RegReadDword(HKEY_CURRENT_USER, key.c_str(), L"TxtChat_COLOR", 0);
        m_nEbookState = static_cast<int>(RegReadDword(HKEY_CURRENT_USER, key.c_str(), L"EbookWndState", 1));
    }
    if (m_pMainView && m_pMainView->m_hWnd)
    {
        HWND hMain = m_pMainView->m_hWnd;
        const S_RECT& r = m_roomPos.rect;
        SetWindowPos(hMain, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        // A normal room shows its window once the join is complete (LayoutRoom).
        bool bShow = !bEntering || IsPlayerMode();
        ShowWindow(hMain, bShow ? SW_SHOW : SW_HIDE);
        if (bShow)
        {
            RedrawWindow(hMain, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            SetForegroundWindow(hMain);
        }
    }
    if (m_pRoomCtrl) m_nRoomCtrlMode = m_pRoomCtrl->Mode();

    m_messengers.UpdateRoomState(m_room.InRoom(), m_room.InRoom() ? m_room.RoomIndex() : kNoIndex);
    return true;
}

void IConfDlg::LayoutRoom()
{
    if (!m_pMainView || !m_pMainView->m_hWnd) return;
    UpdateBoardLock();
    HWND hMain = m_pMainView->m_hWnd;
    // The room rectangle is taken once; later the user moves and sizes the window.
    if (!m_bLayoutDone)
    {
        const S_RECT& r = m_roomPos.rect;
        SetWindowPos(hMain, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(hMain, m_roomPos.bMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    }
    // A panel's saved state says whether its body shows or only its title.
    if (!m_bLayoutDone)
        for (auto [pPanel, nState] : SidePanelStates())
            if (pPanel) pPanel->SetExpanded(nState != 0);
    ApplyRoomView();
    m_bLayoutDone = true;
    for (const RoomWindowRow& row : RoomWindowRows())
        SendSize(RoomWindow(row.slot));
    m_pMainView->Refresh();
}

std::array<std::pair<CSidePanelDlg*, int>, 4> IConfDlg::SidePanelStates() const
{
    return {{{m_pAgendaList, m_nAgendaListState},
             {m_pEBook, m_nEbookState},
             {m_pUserList, m_nUserListState},
             {m_pChat, m_nChatWndState}}};
}

void IConfDlg::SaveSidePanelStates()
{
    std::wstring key = RegProgramKey(m_szExeName);
    const wchar_t* names[] = {L"AgendaListState", L"EbookWndState", L"UserListState", L"ChatWndState"};
    int* states[] = {&m_nAgendaListState, &m_nEbookState, &m_nUserListState, &m_nChatWndState};
    auto panels = SidePanelStates();
    for (size_t i = 0; i < panels.size(); ++i)
    {
        if (!panels[i].first) continue;
        *states[i] = panels[i].first->IsExpanded() ? 1 : 0;
        RegWriteDword(HKEY_CURRENT_USER, key.c_str(), names[i], static_cast<DWORD>(*states[i]));
    }
}

void IConfDlg::DestroyRoomWindows()
{
    if (!IsPlayerMode()) SaveSidePanelStates();
    m_bFullScreen = false;
    m_bLayoutDone = false;
    m_hRoomCtrl = nullptr;
    m_hShareToolBar = nullptr;
    m_nRoomCtrlMode = 0;
    m_voiceHost.Stop();
    m_call.OnRoomLeft();
    DestroyBoardPreview();
    // The board outlives the agenda list: it forgets the list and its tree first.
    if (m_pMainView && m_pMainView->Board())
    {
        m_pMainView->Board()->SetAgendaList(nullptr);
        m_pMainView->Board()->SetAgendaTree(nullptr);
    }
    // Children first, then their parents.
    std::span<const RoomWindowRow> rows = RoomWindowRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        Makers()[it->slot].pfnDestroy(*this);
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

void IConfDlg::ShowRoomUsers()
{
    if (!m_room.InRoom()) return;
    m_voiceHost.OnMembersChanged(IsChief());
    std::vector<std::pair<uint16_t, std::wstring>> rows;
    for (const S_ROOMUSERINFO& u : m_room.users.Users())
    {
        // The row tells the user's roles and rights after the name.
        std::wstring szRow = WideOf(u.Name);
        if (u.channel == m_room.wPresiderChannel) szRow += L" [" + GetText("IDS_ROLE_PRESIDER") + L"]";
        if (u.channel == m_room.wPresenterChannel) szRow += L" [" + GetText("IDS_ROLE_PRESENTER") + L"]";
        std::wstring szRights;
        const std::pair<uint32_t, const char*> rights[] = {{u.talkRight, "IDS_RIGHT_TALK"},
                                                           {u.drawRight, "IDS_RIGHT_DRAW"},
                                                           {u.dsRight, "IDS_RIGHT_DESKTOP"},
                                                           {u.shareRight, "IDS_RIGHT_SHARE"},
                                                           {u.mediaShareRight, "IDS_RIGHT_MEDIA"}};
        for (const auto& [dwRight, pszKey] : rights)
            if (dwRight) szRights += (szRights.empty() ? L"" : L" ") + GetText(pszKey);
        if (!szRights.empty()) szRow += L" [" + szRights + L"]";
        rows.emplace_back(u.channel, szRow);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (m_pUserList && m_pUserList->Rows())
    {
        std::vector<uint16_t> members;
        for (const S_ROOMUSERINFO& u : m_room.users.Users())
            members.push_back(u.channel);
        m_pUserList->Rows()->Sync(members, m_room.wPresiderChannel, m_room.wPresenterChannel);
    }
    if (m_pVideoView) m_pVideoView->ShowUsers(rows);
    // Rights, the presenter and the chief all come through here: the chat's input follows them.
    if (m_pChat) m_pChat->UpdateInputState();
    // The chief may have changed: the questionnaire's address follows.
    ApplyShareAndQuestionViews();
}

void IConfDlg::PostBacklogNotice()
{
    if (HWND h = m_hRoomCtrl.load()) PostMessageW(h, WM_QN_SEND_BACKLOG, 0, 0); // the queue drained: normal
}

void IConfDlg::PostPushChunkSent(uint32_t nBytes)
{
    // The main window hands it to the control bar on the window thread.
    PostMessageW(MainWnd(), WM_QN_PUSH_CHUNK_SENT, nBytes, 0);
}

void IConfDlg::OnRoomTypeChanged()
{
    if (m_pVideoView) m_pVideoView->SetViewCount(ClampViewCount(GetVideoCount(0)));
    ShowRoomUsers();
    m_presenter.UpdatePresenterButton();
    LayoutRoom();
    if (m_pRoomCtrl && m_pRoomCtrl->PropertyDlg()) m_pRoomCtrl->PropertyDlg()->OnRoomTypeChanged();
}

void IConfDlg::ShowViewMode(uint16_t wViewMode)
{
    m_room.wViewMode = ResolveViewMode(wViewMode, m_room.info.wRoomType, m_room.info.dwFlags);
    ApplyRoomView();
}

void IConfDlg::QueryRecorderState()
{
    if (m_pNet) m_pNet->SendRecorderStateQuery();
}

void IConfDlg::MaximizeRoom(bool bMaximize)
{
    if (!m_pRoomCtrl) return;
    if (bMaximize)
        m_pRoomCtrl->MaximizeRoomWindow();
    else
        m_pRoomCtrl->RestoreRoomWindow();
}

void IConfDlg::SetOwnVideoFloating(int nMode)
{
    if (m_pVideoView && (nMode != 0) != m_pVideoView->IsFloating())
    {
        m_pVideoView->SetFloating(static_cast<uint8_t>(nMode));
        ApplyRoomView();
    }
}
