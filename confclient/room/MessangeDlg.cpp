// CMessangeDlg: the history follows the messenger log; the window draws its own frame and keeps
// its place in the registry.
#include "confclient/room/MessangeDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>

#include "confclient/network/registry/Registry.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/room/MonitorWorkArea.h"
#include "confclient/session/texttable/TextTable.h"
#include "resources/ResourceIds.h"
#include "winui/WinApp.h"

namespace
{
constexpr COLORREF kBackColour = RGB(225, 239, 248);
constexpr COLORREF kFrameColour = RGB(164, 186, 214);
constexpr int kBorder = 4;
constexpr int kTitleHeight = 23;
constexpr int kDefaultHeight = 345;
constexpr UINT kMsgAcceptInvite = WM_APP + 0x110;

std::wstring MsgWide(const std::u16string& s)
{
    return std::wstring(s.begin(), s.end());
}

std::u16string MsgU16(const std::wstring& s)
{
    return std::u16string(s.begin(), s.end());
}

RECT MessengerWorkArea(HWND hWnd)
{
    const S_RECT r = WorkAreaOf(hWnd);
    return {r.left, r.top, r.right, r.bottom};
}
} // namespace

CMessangeDlg::CMessangeDlg(INoticeHost& notices, IMessengerHost& host, int nValue)
    : CDialog(IDD_MESSANGE, nullptr), m_notices(notices), m_host(host), m_bSkipActivation(nValue == 0),
      m_log(*this, {MsgU16(notices.NoticeText("IDS_MSG_YES")), MsgU16(notices.NoticeText("IDS_MSG_NO")),
                    MsgU16(notices.NoticeText("IDS_MSG_CANCEL"))})
{
    // The history's class is the rich edit's: its library comes before the template.
    CRichEditCtrlGS::LoadControlLibrary();
    m_hIcon = static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_MESSENGER),
                                              IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

BOOL CMessangeDlg::Create()
{
    return CDialog::Create(IDD_MESSANGE, nullptr);
}

BOOL CMessangeDlg::OnInitDialog()
{
    if (m_hIcon)
    {
        SendMessageW(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
        SendMessageW(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    }
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                        ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_MINIMIZEBOX | WS_SYSMENU);

    m_history.Attach(GetDlgItem(IDC_MSG_HISTORY));
    ::SendMessageW(GetDlgItem(IDC_MSG_INPUT), EM_LIMITTEXT, kMaxMessageUnits, 0);
    m_peerName.SubclassDlgItem(IDC_MSG_PEERNAME, this);
    struct
    {
        CHBitmapButton& button;
        int nId;
        WORD wBitmap;
    } buttons[] = {
        {m_save, IDC_MSG_SAVE, IDB_MSG_SAVE},
        {m_file, IDC_MSG_FILE, IDB_MSG_FILE},
        {m_invite, IDC_MSG_INVITE, IDB_MSG_INVITE},
        {m_minimise, IDC_MSG_MINIMIZE, IDB_MSG_MINIMIZE},
        {m_maximise, IDC_MSG_MAXIMIZE, IDB_MSG_MAXIMIZE},
        {m_restore, IDC_MSG_RESTORE, IDB_MSG_RESTORE},
        {m_close, IDC_MSG_CLOSE, IDB_MSG_CLOSE},
    };
    for (auto& b : buttons)
    {
        b.button.SubclassDlgItem(b.nId, this);
        b.button.LoadBitmapsAndSize(b.wBitmap, b.wBitmap + 1, b.wBitmap + 2, b.wBitmap + 3);
    }
    m_restore.ShowWindow(SW_HIDE);

    static const wchar_t* const kTops[] = {L"Mback_top1.gif", L"Mback_top2.gif", L"Mback_top3.gif"};
    for (int i = 0; i < 3; ++i)
        if (!LoadNoticePicture(m_notices, m_top[i], kTops[i], IDR_BACK_MTOP1 + i)) return FailSetUp();
    CLMPictureEx bar;
    if (!LoadNoticePicture(m_notices, bar, L"back_FSendbarDlg.gif", IDR_BACK_FSENDBAR)) return FailSetUp();
    m_nMinWidth += bar.m_nWidth;

    const uint32_t dwFeatures = m_host.FeatureWord();
    if (dwFeatures & 0x200000) m_invite.ShowWindow(SW_HIDE);
    if (!(dwFeatures & 0x10)) m_file.EnableWindow(FALSE);
    if (dwFeatures & 0x10) ::DragAcceptFiles(m_hWnd, TRUE);
    m_invite.EnableWindow(FALSE);

    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    LayOut(rc.right, rc.bottom);
    LoadPosition();

    if (m_tips.Create(this))
    {
        m_tips.AddTool(&m_minimise, Text("IDCT_BTN_MINIMIZE").c_str());
        m_tips.AddTool(&m_maximise, Text("IDCT_BTN_MAXIMIZE").c_str());
        m_tips.AddTool(&m_close, Text("IDCT_BTN_ROOMCLOSE").c_str());
        m_tips.AddTool(&m_restore, Text("IDCT_BTN_RESTORE").c_str());
    }

    // Drops and copies from programs of a lower integrity level reach the window too.
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    if (HMODULE hUser = ::GetModuleHandleW(L"USER32.DLL"))
        if (auto pfn = reinterpret_cast<FilterFn>(
                reinterpret_cast<void*>(::GetProcAddress(hUser, "ChangeWindowMessageFilter"))))
            for (UINT msg : {UINT(WM_DROPFILES), UINT(WM_COPYDATA), 0x49u})
                pfn(msg, 1 /* MSGFLT_ADD */);
    return TRUE;
}

BOOL CMessangeDlg::FailSetUp()
{
    // A picture that loads from neither the skin nor the resources: no window; the maker frees it.
    m_bSetUpFailed = true;
    DestroyWindow();
    return FALSE;
}

bool CMessangeDlg::ActivateByMiddleClick(HWND hWnd)
{
    POINT pt{10, 10};
    ::ClientToScreen(hWnd, &pt);
    HWND hAt = ::WindowFromPoint(pt);
    if (!hAt || (hAt != hWnd && !::IsChild(hWnd, hAt))) return false;
    POINT old;
    ::GetCursorPos(&old);
    ::SetCursorPos(pt.x, pt.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_MIDDLEDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_MIDDLEUP;
    ::SendInput(2, in, sizeof(INPUT));
    ::SetCursorPos(old.x, old.y);
    return true;
}

void CMessangeDlg::Open(const std::wstring& szPeerId, const std::wstring& szPeerName, int nSlot)
{
    m_szPeerId = szPeerId;
    m_szPeerName = szPeerName;
    m_nSlot = nSlot;
    const std::wstring szFormat = Text("IDS_MSG_MESSAGE");
    ::SetWindowTextW(m_hWnd,
                     MsgWide(Formatted(m_notices.NoticeLog(), MsgU16(szFormat), MsgU16(szPeerName))).c_str());
    const std::wstring szFace = Text("IDS_DEFAULT_FONT");
    m_peerName.SetTextFontStyle(NoticeFontHeight(Text("IDS_THICK_FONTSIZE")),
                                szFace.empty() ? L"Tahoma" : szFace.c_str(), 0);
    m_peerName.SetBkMode(TRANSPARENT);
    m_peerName.SetTextColor(RGB(255, 255, 255));
    ::MoveWindow(m_peerName.m_hWnd, 42, 6, 150, 19, TRUE);
    m_peerName.SetText(szPeerName.c_str());
    ::SendMessageW(m_history.GetSafeHwnd(), EM_SETEVENTMASK, 0, ENM_LINK);
    m_dwColour = RegReadDword(HKEY_CURRENT_USER, m_host.ProgramKey().c_str(), L"TxtChat_COLOR", 0);
}

void CMessangeDlg::UpdateRoomState(bool bInRoom, uint16_t wRoomIndex)
{
    m_invite.EnableWindow(bInRoom);
    m_wRoomIndex = wRoomIndex;
}

void CMessangeDlg::ReceiveMessage(int nKind, const std::u16string& szText, const std::u16string& szExtra,
                                  uint32_t dwValue)
{
    if (nKind == MSGKIND_INVITATION)
    {
        // A new invitation is answered afresh.
        if (dwValue < kNoRoom) m_wInvitedRoom = static_cast<uint16_t>(dwValue);
        m_bAcceptFailed = false;
        m_bLeaveRoomWarned = false;
    }
    AddMessage(nKind, MsgWide(szText), false, MsgWide(szExtra));
}

void CMessangeDlg::AddMessage(int nKind, const std::wstring& szText, bool bLocal, const std::wstring& szExtra)
{
    if (!m_bActive)
    {
        ::FlashWindow(m_hWnd, TRUE);
        m_nFlashes = 1;
        ::SetTimer(m_hWnd, kFlashTimer, 1000, nullptr);
    }
    else
        ::KillTimer(m_hWnd, kFlashTimer);

    std::u16string szBody = MsgU16(szText);
    std::u16string szName = MsgU16(m_szPeerName);
    if (nKind == MSGKIND_TEXT && bLocal)
    {
        szBody = FormatMessengerText(m_dwColour, szBody);
        szName = MsgU16(m_notices.MyDisplayName());
    }
    const bool bUnlinkInvite = bLocal || m_bAcceptFailed || m_bLeaveRoomWarned;
    m_log.Add(nKind, szBody, szName, MsgU16(szExtra.empty() ? m_szPeerName : szExtra), bUnlinkInvite);

    if (!bLocal) return;
    switch (nKind)
    {
    case MSGKIND_TEXT:
        if (m_wPeerIndex != 65535) m_host.SendMessengerText(m_wPeerIndex, szBody);
        break;
    case MSGKIND_INVITE_ACCEPTED:
    case MSGKIND_INVITE_REFUSED:
        if (m_wPeerIndex != 65535) m_host.SendInviteReply(m_wPeerIndex, nKind == MSGKIND_INVITE_ACCEPTED);
        break;
    default:
        break;
    }
}

void CMessangeDlg::SendInput()
{
    HWND hInput = GetDlgItem(IDC_MSG_INPUT);
    std::wstring szText = GetWindowTextString(hInput);
    if (szText.empty()) return;
    if (::CompareStringOrdinal(szText.c_str(), -1, L"/state", -1, TRUE) == CSTR_EQUAL)
    {
        // A local look at the session: shown in red, never sent.
        AddMessage(MSGKIND_COMMAND, L"\n*State\n" + m_host.StateFields() + L"\r\n", false);
    }
    else
        AddMessage(MSGKIND_TEXT, szText, true);
    ::SetWindowTextW(hInput, L"");
}

void CMessangeDlg::SendInvite()
{
    if (m_host.InRoom() && m_host.IsRoomUser(m_wPeerIndex, m_szPeerId))
        AddMessage(MSGKIND_STATUS, Text("IDS_MSG_INVITE_NON_YOUR"), false);
    else if (m_wRoomIndex != kNoRoom && m_host.SendInvite(m_wRoomIndex, m_wPeerIndex))
        AddMessage(MSGKIND_STATUS, Text("IDS_MSG_INVITE_SEND"), false);
    ::SetFocus(GetDlgItem(IDC_MSG_INPUT));
}

void CMessangeDlg::OnLinkClicked(LONG nPos)
{
    switch (m_log.LinkAt(static_cast<uint32_t>(nPos)))
    {
    case CMessengerLog::LINK_INVITE_YES:
        if (m_host.InRoom() && m_wRoomIndex == m_wInvitedRoom)
            AddMessage(MSGKIND_INVITE_ACCEPTED, Text("IDS_MSG_INVITE_NON_ME"), false);
        else if (m_host.InRoom() && !m_bLeaveRoomWarned)
        {
            AddMessage(MSGKIND_INVITE_ACCEPTED, Text("IDS_MSG_INVITE_INCONF"), false);
            m_bLeaveRoomWarned = true;
        }
        else if (m_host.InRoom())
        {
            // The second click leaves this room; the invitation is taken once the session is ready.
            m_bLeaveRoomWarned = false;
            m_host.LeaveRoomForInvitation();
            ::SetTimer(m_hWnd, kInviteTimer, 1000, nullptr);
        }
        else
            // Accepted after the click has returned: joining may take the window's thread a while.
            ::PostMessageW(m_hWnd, kMsgAcceptInvite, 0, 0);
        break;
    case CMessengerLog::LINK_INVITE_NO:
        AddMessage(MSGKIND_INVITE_REFUSED, Text("IDS_MSG_INVITE_CANCLE"), true);
        break;
    case CMessengerLog::LINK_OFFER_YES:
        if (m_pTransfer) m_pTransfer->AcceptOffer();
        break;
    case CMessengerLog::LINK_OFFER_NO:
        if (m_pTransfer) m_pTransfer->RefuseOffer();
        break;
    case CMessengerLog::LINK_CANCEL:
        if (m_pTransfer) m_pTransfer->Cancel();
        break;
    default:
        break;
    }
    ::SetFocus(GetDlgItem(IDC_MSG_INPUT));
}

void CMessangeDlg::AcceptInvitation()
{
    if (m_host.InRoom())
    {
        AddMessage(MSGKIND_INVITE_ACCEPTED, Text("IDS_MSG_MAM_INVITE_ALREADYCONF"), false);
        return;
    }
    if (!m_host.LobbyHasRoom(m_wInvitedRoom))
    {
        m_bAcceptFailed = true;
        m_host.AskBox(Text("IDS_MSG_INVITE_ACCEPTFAILED"), 1);
        return;
    }
    AddMessage(MSGKIND_INVITE_ACCEPTED, m_szPeerName + L" " + Text("IDS_MSG_INVITE_OK"), true);
    m_host.JoinRoomByIndex(m_wInvitedRoom);
}

void CMessangeDlg::ForceClose()
{
    // Logout: a transfer ends without a question; the session frees the object.
    m_bClosedByProgram = true;
    if (m_hWnd) Close();
    // Cancelled without asking; the send thread is joined and a partial file deleted.
    m_pTransfer.reset();
}

bool CMessangeDlg::Close()
{
    if (m_pTransfer && m_pTransfer->Running())
    {
        const char* pszAsk = m_pTransfer->Receiving() ? "IDS_MSG_FILERECV_ING" : "IDS_MSG_FILESEND_ING";
        if (!m_bClosedByProgram && m_host.AskBox(Text(pszAsk), 2) == 2) return false;
        m_pTransfer->Cancel();
    }
    ::KillTimer(m_hWnd, kSendEndTimer);
    ::KillTimer(m_hWnd, kReceiveEndTimer);
    if (m_pProgress && m_pProgress->m_hWnd) m_pProgress->DestroyWindow();
    m_pProgress.reset();
    SavePosition();
    ::KillTimer(m_hWnd, kFlashTimer);
    ::KillTimer(m_hWnd, kInviteTimer);
    m_bMaximised = false;
    const uint16_t wPeer = m_wPeerIndex;
    m_wPeerIndex = 65535;
    m_wRoomIndex = kNoRoom;
    if (!m_bClosedByProgram) m_host.TakeQueuedMessages(m_szPeerId, wPeer);
    DestroyWindow();
    return true;
}

void CMessangeDlg::PostNcDestroy()
{
    // A window its user closed frees itself; one the program closed is freed by the session.
    if (!m_bClosedByProgram && !m_bSetUpFailed) delete this;
}

void CMessangeDlg::LoadPosition()
{
    const std::wstring szPos =
        RegReadString(HKEY_CURRENT_USER, m_host.ProgramKey().c_str(), L"MessageWindow_Pos", L"");
    int v[4] = {};
    if (std::swscanf(szPos.c_str(), L"%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3]) != 4)
        v[0] = v[1] = v[2] = v[3] = 0;
    int cx = v[2] <= m_nMinWidth ? m_nMinWidth : v[2];
    int cy = v[3] < kMinHeight ? kMinHeight + 100 : v[3];
    if (v[0] <= 0 && v[1] <= 0 && v[2] <= 0 && v[3] <= 0)
    {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_nMinWidth, kDefaultHeight,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const RECT work = MessengerWorkArea(m_hWnd);
    cx = std::min<int>(cx, work.right - work.left);
    cy = std::min<int>(cy, work.bottom - work.top);
    int x = std::clamp<int>(v[0], work.left, work.right - cx);
    int y = std::clamp<int>(v[1], work.top, work.bottom - cy);
    HWND hRoom = m_notices.MainRoomWindow();
    if (hRoom && ::IsWindowVisible(hRoom) && !::IsIconic(hRoom))
    {
        RECT r;
        ::GetWindowRect(hRoom, &r);
        x = (r.left + r.right - cx) / 2;
        y = (r.top + r.bottom - cy) / 2;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMessangeDlg::SavePosition()
{
    RECT r;
    ::GetWindowRect(m_hWnd, &r);
    if (m_bMaximised) r = m_rcRestore;
    wchar_t sz[64];
    std::swprintf(sz, 64, L"%d,%d,%d,%d", static_cast<int>(r.left), static_cast<int>(r.top),
                  static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
    RegWriteString(HKEY_CURRENT_USER, m_host.ProgramKey().c_str(), L"MessageWindow_Pos", sz);
}

void CMessangeDlg::LayOut(int cx, int cy)
{
    // The first layout is the template's; its distances to the right and bottom edges are kept.
    if (!m_bLaidOut)
    {
        cx = 327;
        cy = 411;
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_nRightMargin = cx - (12 + 305);
        m_nHistoryBottom = cy - (88 + 255);
        m_nInputBottom = cy - (356 + 39);
        m_bLaidOut = true;
    }
    auto place = [this](int nId, int x, int y, int w, int h)
    {
        ::SetWindowPos(GetDlgItem(nId), nullptr, x, y, std::max(w, 0), std::max(h, 0),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int nWide = cx - 12 - m_nRightMargin;
    place(IDC_MSG_TITLE, 0, 0, cx - 3, kTitleHeight);
    place(IDC_MSG_HISTORY, 12, 88, nWide, cy - m_nHistoryBottom - 88);
    place(IDC_MSG_INPUT, 12, cy - m_nInputBottom - 39, nWide, 39);
    place(IDC_MSG_SAVE, 1, 27, 75, 49);
    place(IDC_MSG_FILE, 76, 27, 75, 49);
    place(IDC_MSG_INVITE, 151, 27, 75, 49);
    place(IDC_MSG_MINIMIZE, cx - 60, 3, 18, 17);
    place(IDC_MSG_MAXIMIZE, cx - 40, 3, 18, 17);
    place(IDC_MSG_RESTORE, cx - 40, 3, 18, 17);
    place(IDC_MSG_CLOSE, cx - 21, 3, 18, 17);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMessangeDlg::OnSize(UINT type, int cx, int cy)
{
    if (type != SIZE_MINIMIZED && m_bLaidOut) LayOut(cx, cy);
}

LRESULT CMessangeDlg::HitTest(POINT pt) const
{
    if (m_bMaximised) return HTCLIENT;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const bool bLeft = pt.x < kBorder, bRight = pt.x >= rc.right - kBorder;
    const bool bTop = pt.y < kBorder, bBottom = pt.y >= rc.bottom - kBorder;
    if (bTop && bLeft) return HTTOPLEFT;
    if (bTop && bRight) return HTTOPRIGHT;
    if (bBottom && bLeft) return HTBOTTOMLEFT;
    if (bBottom && bRight) return HTBOTTOMRIGHT;
    if (bLeft) return HTLEFT;
    if (bRight) return HTRIGHT;
    if (bTop) return HTTOP;
    if (bBottom) return HTBOTTOM;
    if (pt.y < kTitleHeight) return HTCAPTION;
    return HTCLIENT;
}

void CMessangeDlg::ToggleMaximise()
{
    if (!m_bMaximised)
    {
        ::GetWindowRect(m_hWnd, &m_rcRestore);
        const RECT work = MessengerWorkArea(m_hWnd);
        m_bMaximised = true;
        ::SetWindowPos(m_hWnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                       SWP_NOZORDER);
        m_maximise.ShowWindow(SW_HIDE);
        m_restore.ShowWindow(SW_SHOW);
        return;
    }
    m_bMaximised = false;
    const RECT& r = m_rcRestore;
    ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    m_restore.ShowWindow(SW_HIDE);
    m_maximise.ShowWindow(SW_SHOW);
}

void CMessangeDlg::Paint(HDC hDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (::IsIconic(m_hWnd))
    {
        if (m_hIcon)
            ::DrawIcon(hDC, (rc.right - ::GetSystemMetrics(SM_CXICON)) / 2,
                       (rc.bottom - ::GetSystemMetrics(SM_CYICON)) / 2, m_hIcon);
        return;
    }
    const int nTop = m_top[0].m_nHeight;
    m_top[0].Render(hDC, 0, 0, m_top[0].m_nWidth, nTop, 0);
    const int nMiddle = rc.right - m_top[0].m_nWidth - m_top[2].m_nWidth;
    if (nMiddle > 0) m_top[1].Render(hDC, m_top[0].m_nWidth, 0, nMiddle, nTop, 0);
    m_top[2].Render(hDC, rc.right - m_top[2].m_nWidth, 0, m_top[2].m_nWidth, nTop, 0);
    RECT below{0, nTop, rc.right, rc.bottom};
    HBRUSH hBack = ::CreateSolidBrush(kBackColour);
    ::FillRect(hDC, &below, hBack);
    ::DeleteObject(hBack);
    HBRUSH hFrame = ::CreateSolidBrush(kFrameColour);
    ::FrameRect(hDC, &rc, hFrame);
    ::DeleteObject(hFrame);
}

BOOL CMessangeDlg::OnEraseBkgnd(HDC hDC)
{
    Paint(hDC);
    return TRUE;
}

BOOL CMessangeDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED) return CDialog::OnCommand(wParam, lParam);
    switch (LOWORD(wParam))
    {
    case IDC_MSG_SAVE:
        m_host.SaveChatToFile(m_history.GetSafeHwnd(), m_hWnd);
        ::SetFocus(GetDlgItem(IDC_MSG_INPUT));
        return TRUE;
    case IDC_MSG_INVITE:
        SendInvite();
        return TRUE;
    case IDC_MSG_FILE:
        ChooseFile();
        return TRUE;
    case IDC_MSG_MINIMIZE:
        m_bIgnoreNextActivation = true;
        ShowWindow(SW_MINIMIZE);
        return TRUE;
    case IDC_MSG_MAXIMIZE:
    case IDC_MSG_RESTORE:
        ToggleMaximise();
        return TRUE;
    case IDC_MSG_CLOSE:
        Close();
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CMessangeDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
    {
        if (pMsg->wParam == VK_RETURN && pMsg->hwnd == GetDlgItem(IDC_MSG_INPUT))
        {
            SendInput();
            return TRUE;
        }
        if (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) return TRUE;
    }
    if (m_tips.m_hWnd) m_tips.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CMessangeDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (TransferMessage(msg, wParam, lParam)) return 0;
    switch (msg)
    {
    case WM_NCHITTEST:
    {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ScreenToClient(m_hWnd, &pt);
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, HitTest(pt));
        return TRUE;
    }
    case WM_GETMINMAXINFO:
    {
        auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
        const RECT work = MessengerWorkArea(m_hWnd);
        pInfo->ptMinTrackSize = {m_nMinWidth, kMinHeight};
        pInfo->ptMaxTrackSize = {work.right - work.left, work.bottom - work.top};
        return TRUE;
    }
    case WM_LBUTTONDBLCLK:
        ToggleMaximise();
        return TRUE;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION)
        {
            ToggleMaximise();
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (wParam == kFlashTimer)
        {
            if (++m_nFlashes > kFlashes)
                ::KillTimer(m_hWnd, kFlashTimer);
            else
                ::FlashWindow(m_hWnd, TRUE);
            return TRUE;
        }
        if (wParam == kInviteTimer)
        {
            if (m_host.StateValue() == 1)
            {
                ::KillTimer(m_hWnd, kInviteTimer);
                AcceptInvitation();
            }
            return TRUE;
        }
        break;
    case kMsgAcceptInvite:
        AcceptInvitation();
        return TRUE;
    case WM_ACTIVATE:
        if (m_bSkipActivation)
            m_bSkipActivation = false;
        else if (m_bIgnoreNextActivation)
            m_bIgnoreNextActivation = false;
        else if (LOWORD(wParam) != WA_INACTIVE)
        {
            ::KillTimer(m_hWnd, kFlashTimer);
            m_bActive = true;
        }
        else
            m_bActive = false;
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) m_bIgnoreNextActivation = true;
        if ((wParam & 0xFFF0) == SC_CLOSE)
        {
            Close();
            return TRUE;
        }
        break;
    case WM_CLOSE:
        Close();
        return TRUE;
    case WM_NOTIFY:
    {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (pHdr && pHdr->idFrom == IDC_MSG_HISTORY && pHdr->code == EN_LINK)
        {
            const ENLINK* pLink = reinterpret_cast<const ENLINK*>(lParam);
            if (pLink->msg == WM_LBUTTONDOWN) OnLinkClicked(pLink->chrg.cpMin);
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CMessangeDlg::InsertText(uint32_t nPos, const std::u16string& szText, uint32_t dwColour)
{
    m_history.InsertText(static_cast<LONG>(nPos), MsgWide(szText), dwColour);
}

void CMessangeDlg::DeleteText(SChatRange range)
{
    m_history.DeleteRange(static_cast<LONG>(range.nStart), static_cast<LONG>(range.nEnd));
}

void CMessangeDlg::SetLink(SChatRange range, bool bLink)
{
    m_history.SetLink(static_cast<LONG>(range.nStart), static_cast<LONG>(range.nEnd), bLink);
}
