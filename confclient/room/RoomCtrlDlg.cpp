// CRoomCtrlDlg: button commands go to the session; state changes show in the buttons and the status line.
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/PropertyDlg.h"
#include "confclient/room/RoomCtrlCapture.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

CRoomCtrlDlg::CRoomCtrlDlg(IRoomHost* pHost) : CRoomDlg(IDD_ROOMCTRL), m_pHost(pHost) {}

BOOL CRoomCtrlDlg::OnInitDialog()
{
    SetHotKeySink(this);
    CRoomDlg::OnInitDialog();
    if (!LoadSkinImages())
    {
        // Without its background the bar is not shown.
        if (m_pHost)
            LogF(m_pHost->Notices().NoticeLog(), LOG_ERROR,
                 "[ROOMCTRL] the bar's background pictures are missing");
        ShowWindow(SW_HIDE);
        return FALSE;
    }
    InitSkinControls();
    // The user's pen colour from the palette by user number; without a room, any of them.
    uint16_t wUser;
    if (m_pHost)
        wUser = m_pHost->Notices().MyUserIndex();
    else
    {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        wUser = static_cast<uint16_t>(std::rand());
    }
    m_nPenIndex = ::PenPaletteIndex(wUser);
    m_crPen = m_crHighlighter = PenColourOfUser(wUser);
    if (m_pHost)
    {
        S_BOARDACTIONS actions;
        actions.dwLineColour = m_crPen;
        m_pHost->ApplyBoardActions(actions);
    }
    RECT rc;
    GetClientRect(&rc);
    PlaceControls(rc.right);
    ApplyBarItems();
    return TRUE;
}

void CRoomCtrlDlg::OnDestroy()
{
    if (HotKeySink() == this) SetHotKeySink(nullptr);
    ::KillTimer(m_hWnd, kClockTimer);
    CRoomDlg::OnDestroy();
}

std::wstring CRoomCtrlDlg::Text(const char* pszKey) const
{
    return m_pHost ? m_pHost->RoomText(pszKey) : std::wstring();
}

void CRoomCtrlDlg::SetStatus(const std::wstring& szText)
{
    ::SetDlgItemTextW(m_hWnd, IDC_ROOMCTRL_STATUS, szText.c_str());
}

std::wstring CRoomCtrlDlg::Status() const
{
    return GetWindowTextString(GetDlgItem(IDC_ROOMCTRL_STATUS));
}

void CRoomCtrlDlg::UpdatePresenterButton(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_PRESENTER), bEnable);
}

void CRoomCtrlDlg::StopRecord(int nReason)
{
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_RECORD), BM_SETCHECK, BST_UNCHECKED, 0);
    SetStatus(
        Text(nReason == kStopForServerRecord ? "IDS_ROOMCTRL_RECORDSTOP_SERVER" : "IDS_ROOMCTRL_RECORDSTOP"));
}

void CRoomCtrlDlg::EnableServerRecordMenu(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_SERVERRECORD), bEnable);
}

void CRoomCtrlDlg::EnableRecordButtons(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_RECORD), bEnable);
}

void CRoomCtrlDlg::SetTalkCheck(bool bChecked)
{
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_TALK), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CRoomCtrlDlg::EnableTalk(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_TALK), bEnable);
}

bool CRoomCtrlDlg::TalkEnabled() const
{
    return ::IsWindowEnabled(GetDlgItem(IDC_ROOMCTRL_TALK));
}

void CRoomCtrlDlg::SetMuteCheck(bool bChecked)
{
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_MUTE), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CRoomCtrlDlg::EnableMute(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_MUTE), bEnable);
}

void CRoomCtrlDlg::ShowLevel(int nLevel)
{
    ::SetDlgItemTextW(m_hWnd, IDC_ROOMCTRL_LEVEL, std::to_wstring(nLevel).c_str());
}

void CRoomCtrlDlg::MaximizeRoomWindow()
{
    if (m_pMainView && m_pMainView->m_hWnd) m_pMainView->ShowWindow(SW_MAXIMIZE);
    m_barState.bMaximised = IsRoomMaximized();
    ApplyBarItems();
}

void CRoomCtrlDlg::RestoreRoomWindow()
{
    // Full screen is left through its own item, not by restoring.
    if (m_barState.bFullScreen) return;
    if (m_pMainView && m_pMainView->m_hWnd) m_pMainView->ShowWindow(SW_RESTORE);
    m_barState.bMaximised = IsRoomMaximized();
    ApplyBarItems();
}

bool CRoomCtrlDlg::IsRoomMaximized() const
{
    return m_pMainView && m_pMainView->m_hWnd && ::IsZoomed(m_pMainView->m_hWnd);
}

void CRoomCtrlDlg::LeaveRoom()
{
    if (m_pHost) m_pHost->LeaveRoomRequested();
}

void CRoomCtrlDlg::SetBarState(const S_BARSTATE& state)
{
    m_barState = state;
    ApplyBarItems();
}

void CRoomCtrlDlg::ApplyBarItems()
{
    if (!m_hWnd) return;
    for (const S_BARITEM& item : BarItems(m_barState))
    {
        HWND hItem = GetDlgItem(item.nId);
        if (!hItem) continue;
        ::EnableWindow(hItem, item.bEnabled);
        ::SendMessageW(hItem, BM_SETCHECK, item.bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!m_bSkinned) ::ShowWindow(hItem, item.bShown ? SW_SHOWNA : SW_HIDE);
    }
    // The skinned bar shows an item where its place and the room's state both let it.
    if (m_bSkinned)
    {
        RECT rc;
        GetClientRect(&rc);
        PlaceControls(rc.right);
    }
}

LRESULT CRoomCtrlDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; MenuMessage(msg, wParam, lParam, &result)) return result;
    if (msg == WM_NETWORK_STATE)
    {
        OnNetworkState(static_cast<int>(wParam));
        return 0;
    }
    switch (msg)
    {
    case WM_ERASEBKGND:
        if (!m_bSkinned) break;
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    {
        // The texts stand on the menu row's plain band.
        if (!m_hMenuRowBrush) break;
        ::SetBkColor(reinterpret_cast<HDC>(wParam), kMenuRowColour);
        ::SetTextColor(reinterpret_cast<HDC>(wParam), 0);
        return reinterpret_cast<LRESULT>(m_hMenuRowBrush);
    }
    case WM_PEN_COLOUR:
        OnPenColour(static_cast<COLORREF>(wParam));
        return 0;
    case CBitmapSlider::kMsgMoving:
        OnSliderMoving(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case CBitmapSlider::kMsgMoved:
        OnSliderMoved(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    default:
        break;
    }
    if (PushMessage(msg, wParam, lParam)) return 0;
    return CRoomDlg::WindowProc(msg, wParam, lParam);
}

BOOL CRoomCtrlDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A menu command (no control, code 0) the bar runs itself.
    if (lParam == 0 && HIWORD(wParam) == 0 && OnBarMenuCommand(LOWORD(wParam))) return TRUE;
    // An address chosen from the web field's list.
    if (LOWORD(wParam) == IDC_ROOMCTRL_WEBADDRESS && HIWORD(wParam) == CBN_SELENDOK)
    {
        HWND hField = reinterpret_cast<HWND>(lParam);
        auto nSel = static_cast<int>(::SendMessageW(hField, CB_GETCURSEL, 0, 0));
        auto nLen = static_cast<int>(::SendMessageW(hField, CB_GETLBTEXTLEN, nSel, 0));
        if (nSel < 0 || nLen < 0) return TRUE;
        std::wstring szAddress(static_cast<size_t>(nLen) + 1, L'\0');
        nLen = static_cast<int>(
            ::SendMessageW(hField, CB_GETLBTEXT, nSel, reinterpret_cast<LPARAM>(szAddress.data())));
        szAddress.resize(static_cast<size_t>(std::max(nLen, 0)));
        LoadWebAddress(szAddress);
        return TRUE;
    }
    if (HIWORD(wParam) != BN_CLICKED) return CRoomDlg::OnCommand(wParam, lParam);
    switch (LOWORD(wParam))
    {
    case IDC_ROOMCTRL_LEAVE:
        LeaveRoom();
        return TRUE;
    case IDC_ROOMCTRL_PRESENTER:
        if (m_pHost) m_pHost->RequestPresenter();
        return TRUE;
    case IDC_ROOMCTRL_RECORD:
        if (m_pRecording) m_pRecording->OnRecordCommand();
        return TRUE;
    case IDC_ROOMCTRL_SERVERRECORD:
        if (m_pRecording) m_pRecording->OnServerRecordCommand();
        return TRUE;
    case IDC_ROOMCTRL_MAXIMIZE:
    case IDC_ROOMCTRL_RESTORE:
    case IDC_ROOMCTRL_FULLSCREEN:
    case IDC_ROOMCTRL_LAYOUT:
    case IDC_ROOMCTRL_MENU_FILE:
    case IDC_ROOMCTRL_MENU_VIEW:
    case IDC_ROOMCTRL_MENU_DRAW:
    case IDC_ROOMCTRL_MENU_TOOL:
    case IDC_ROOMCTRL_MENU_INVITE:
        OnBarMenuCommand(LOWORD(wParam));
        return TRUE;
    case IDC_ROOMCTRL_DOCOPEN:
        if (m_pHost) m_pHost->OpenBoardDocument();
        return TRUE;
    case IDC_ROOMCTRL_MINIMIZE:
        if (m_pMainView && m_pMainView->m_hWnd) m_pMainView->ShowWindow(SW_MINIMIZE);
        return TRUE;
    case IDC_ROOMCTRL_WEB:
    case IDC_ROOMCTRL_WEBDRAW:
        OnBarMenuCommand(LOWORD(wParam));
        return TRUE;
    case IDC_ROOMCTRL_TALK:
    case IDC_ROOMCTRL_MUTE:
    {
        bool bChecked = ::SendMessageW(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (!m_pVoiceActions) return TRUE;
        if (LOWORD(wParam) == IDC_ROOMCTRL_TALK)
            m_pVoiceActions->OnTalkClicked(bChecked);
        else
            m_pVoiceActions->OnMuteClicked(bChecked);
        return TRUE;
    }
    default:
        break;
    }
    int nMode = ViewModeOfItem(LOWORD(wParam));
    if (nMode < 0) return CRoomDlg::OnCommand(wParam, lParam);
    // The check follows the room's answer, through SetBarState.
    if (m_pHost && nMode != m_barState.wViewMode) m_pHost->ViewModeRequested(static_cast<uint16_t>(nMode));
    return TRUE;
}

void CRoomCtrlDlg::OnSize(UINT type, int cx, int cy)
{
    PlaceControls(cx);
}
