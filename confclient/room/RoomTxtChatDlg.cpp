// CRoomTxtChatDlg: the rich-edit log follows the chat log line by line; the title band above it,
// the input line below it.
#include "confclient/room/RoomTxtChatDlg.h"

#include <richedit.h>

#include <algorithm>
#include <commdlg.h>
#include <shellapi.h>

#include "confclient/people/ChatCommands.h"
#include "confclient/people/UserMenuRules.h"
#include "confclient/room/ChatIme.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "resources/ResourceIds.h"
#include "winui/WString.h"
#include "winui/WinApp.h"

namespace
{
// Far above the 1,000 lines the log keeps, each at most a name, a stamp and 1,024 units.
constexpr LPARAM kChatLogTextLimit = 4 * 1024 * 1024;
CChatLog::SClock LocalClock()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return {st.wHour, st.wMinute, st.wSecond};
}

std::wstring WideFrom(const std::u16string& s)
{
    return std::wstring(s.begin(), s.end());
}

std::u16string U16From(const std::wstring& s)
{
    return std::u16string(s.begin(), s.end());
}

// A picture of the push line: the blank placeholder (1 x 17), the progress bar (130 x 17, filled
// to the percent in light cyan with its text centred) or the status box (204 x 15, text left).
HBITMAP DrawChatPicture(const SChatPicture& picture, HFONT hFont)
{
    const SIZE size = picture.kind == SChatPicture::PROGRESS ? SIZE{130, 17}
                      : picture.kind == SChatPicture::STATUS ? SIZE{204, 15}
                                                             : SIZE{1, 17};
    HDC hScreen = ::GetDC(nullptr);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, size.cx, size.cy);
    ::ReleaseDC(nullptr, hScreen);
    if (!hBitmap)
    {
        ::DeleteDC(hDC);
        return nullptr;
    }
    HGDIOBJ hOldBitmap = ::SelectObject(hDC, hBitmap);
    HGDIOBJ hOldFont = hFont ? ::SelectObject(hDC, hFont) : nullptr;
    RECT rc{0, 0, size.cx, size.cy};
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const std::wstring szText = WideFrom(picture.szText);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, RGB(0, 0, 0));
    if (picture.kind == SChatPicture::PROGRESS)
    {
        ::FrameRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        RECT fill{1, 1, std::clamp(picture.nPercent, 0, 100) * size.cx / 100, size.cy - 1};
        if (fill.right > fill.left)
        {
            HBRUSH hFill = ::CreateSolidBrush(RGB(147, 255, 255));
            ::FillRect(hDC, &fill, hFill);
            ::DeleteObject(hFill);
        }
        ::DrawTextW(hDC, szText.c_str(), static_cast<int>(szText.size()), &rc,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    else if (picture.kind == SChatPicture::STATUS)
        ::DrawTextW(hDC, szText.c_str(), static_cast<int>(szText.size()), &rc,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (hOldFont) ::SelectObject(hDC, hOldFont);
    ::SelectObject(hDC, hOldBitmap);
    ::DeleteDC(hDC);
    return hBitmap;
}

// The grey of a hint, and the line between the log and the input.
constexpr COLORREF kHintColour = RGB(150, 150, 150);
constexpr COLORREF kInputLineColour = RGB(164, 185, 214);
} // namespace

CRoomTxtChatDlg::CRoomTxtChatDlg(IRoomHost* pHost)
    : CSidePanelDlg(IDD_ROOMTXTCHAT, SIDEPANEL_CHAT, kCollapseChatCommand), m_pHost(pHost),
      m_model(*this, LocalClock)
{
    // The log's class is the rich edit's: its library comes before the template.
    CRichEditCtrlGS::LoadControlLibrary();
}

BOOL CRoomTxtChatDlg::OnInitDialog()
{
    // Without its title band the panel has nothing to show.
    if (!m_header.LoadPictures(m_pHost)) return FALSE;
    m_header.Attach(*this, m_pHost, IDC_CHAT_POPUP, IDC_CHAT_FLOAT, IDC_CHAT_ALPHA, "IDMS_TXT_FLOATING");
    m_log.Attach(GetDlgItem(IDC_ROOMCHAT_LIST));
    m_pictures.Attach(CImageDataObject::Create());
    ::SendMessageW(m_log.GetSafeHwnd(), EM_SETEVENTMASK, 0, ENM_LINK);
    // The rich edit's own limit (32,767 characters) is far below 1,000 lines: the trim bounds the log.
    ::SendMessageW(m_log.GetSafeHwnd(), EM_EXLIMITTEXT, 0, kChatLogTextLimit);
    m_input.Attach(GetDlgItem(IDC_ROOMCHAT_EDIT));
    ::SendMessageW(m_input.GetSafeHwnd(), EM_EXLIMITTEXT, 0, kMaxChatInput);
    if (UserLanguageIsKorean()) SetNativeImeMode(m_input.GetSafeHwnd());
    m_colour.SubclassDlgItem(IDC_ROOMCHAT_COLOUR, this);
    m_colour.LoadBitmapsAndSize(IDB_CHAT_COLOUR, IDB_CHAT_COLOUR + 1, IDB_CHAT_COLOUR + 3,
                                IDB_CHAT_COLOUR + 2);
    m_save.SubclassDlgItem(IDC_CHAT_SAVE, this);
    m_save.LoadBitmapsAndSize(IDB_CHAT_SAVE, IDB_CHAT_SAVE + 1, IDB_CHAT_SAVE + 3, IDB_CHAT_SAVE + 2);
    m_header.AddTip(m_colour, "IDMS_TXT_TXTFONT");
    m_header.AddTip(m_save, "IDMS_TXT_TXTSAVE");
    if (m_pHost)
    {
        m_szEnableHint = m_pHost->RoomText("IDS_ENABLE_CHAT");
        m_szDisableHint = m_pHost->RoomText("IDS_DISABLE_CHAT");
        const std::wstring szTitle = m_pHost->RoomText("IDMS_CHAT");
        SetWindowText(szTitle.c_str());
        ::SetWindowTextW(GetDlgItem(IDC_CHAT_TITLE), szTitle.c_str());
        if (m_pHost->UserMenuInputs(65535).bPlayerMode)
        {
            m_colour.EnableWindow(FALSE);
            m_save.EnableWindow(FALSE);
            m_header.FloatButton().ShowWindow(SW_HIDE);
        }
    }
    m_header.UpdatePopup(IsExpanded());
    const BOOL bResult = CSidePanelDlg::OnInitDialog();
    Layout();
    UpdateInputState();
    return bResult;
}

void CRoomTxtChatDlg::AddMessage(int nKind, const std::wstring& szText, const std::wstring& szName,
                                 uint32_t dwColour)
{
    // The insert, its colour, a trim and the scroll each repaint the log: one paint a line. A
    // hidden log (a collapsed panel) paints nothing, and turning redraw on would show it.
    HWND hLog = m_log.GetSafeHwnd();
    const bool bBatch = hLog && ::IsWindowVisible(hLog);
    if (bBatch) ::SendMessageW(hLog, WM_SETREDRAW, FALSE, 0);
    m_model.AddMessage(nKind, U16From(szText), U16From(szName), dwColour);
    if (!bBatch) return;
    ::SendMessageW(hLog, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hLog, nullptr, FALSE);
}

void CRoomTxtChatDlg::OnChatReceived(const std::wstring& szSender, const std::wstring& szText,
                                     uint32_t dwColour)
{
    AddMessage(CHATLINE_CHAT, szText, szSender, dwColour);
}

void CRoomTxtChatDlg::AddNotice(const std::wstring& szText, int nKind)
{
    AddMessage(nKind == NOTICE_KIND_JOINLEAVE ? CHATLINE_JOINLEAVE : CHATLINE_NOTICE, szText, std::wstring(),
               0);
}

void CRoomTxtChatDlg::AddPresenterRequest(const std::wstring& szText, uint16_t wChannel)
{
    if (!m_pHost) return;
    m_model.AddPresenterRequest(U16From(szText), U16From(m_pHost->RoomText("IDS_MSG_PERMIT")),
                                U16From(m_pHost->RoomText("IDS_MSG_DENY")), wChannel);
}

void CRoomTxtChatDlg::InsertText(uint32_t nPos, const std::u16string& szText, uint32_t dwColour)
{
    m_log.InsertText(static_cast<LONG>(nPos), WideFrom(szText), dwColour);
}

void CRoomTxtChatDlg::DeleteText(SChatRange range)
{
    m_log.DeleteRange(static_cast<LONG>(range.nStart), static_cast<LONG>(range.nEnd));
}

void CRoomTxtChatDlg::SetLink(SChatRange range, bool bLink)
{
    m_log.SetLink(static_cast<LONG>(range.nStart), static_cast<LONG>(range.nEnd), bLink);
}

void CRoomTxtChatDlg::SetPicture(uint32_t nPos, const SChatPicture& picture)
{
    const LONG nAt = static_cast<LONG>(nPos);
    if (nAt < m_log.GetTextLength()) m_log.DeleteRange(nAt, nAt + 1);
    HBITMAP hBitmap = DrawChatPicture(picture, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0)));
    if (m_pictures && SUCCEEDED(m_log.InsertPicture(nAt, *m_pictures.Get(), hBitmap))) return;
    if (!m_pictures && hBitmap) ::DeleteObject(hBitmap);
    // Without the picture one character holds its place, so that the log's positions stay true.
    m_log.InsertText(nAt, L"\x25AE", 0);
}

BOOL CRoomTxtChatDlg::PreTranslateMessage(MSG* pMsg)
{
    m_header.RelayEvent(pMsg);
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && pMsg->hwnd == m_input.GetSafeHwnd())
    {
        Send();
        return TRUE;
    }
    // A video tile dragged over the panel shows its cursor; released here it goes nowhere.
    if (m_pHost && m_pHost->SeatDrag().IsDragging() &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        if (pMsg->message == WM_MOUSEMOVE)
            ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_DRAGTILE)));
        else if (pMsg->message == WM_LBUTTONUP)
            m_pHost->SeatDrag().CancelDrag();
    }
    return CSidePanelDlg::PreTranslateMessage(pMsg);
}

BOOL CRoomTxtChatDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_CHAT_SAVE:
    case ID_CHAT_SAVE:
        SaveLog();
        return TRUE;
    case IDC_ROOMCHAT_COLOUR:
    case ID_CHAT_COLOUR:
        ChooseChatColour();
        return TRUE;
    case IDC_ROOMCHAT_EDIT:
        if (HIWORD(wParam) == EN_SETFOCUS || HIWORD(wParam) == EN_KILLFOCUS)
        {
            OnInputFocus(HIWORD(wParam) == EN_SETFOCUS);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CSidePanelDlg::OnCommand(wParam, lParam);
}

LRESULT CRoomTxtChatDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY)
    {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (pHdr && pHdr->idFrom == IDC_ROOMCHAT_LIST && pHdr->code == EN_LINK)
        {
            const ENLINK* pLink = reinterpret_cast<const ENLINK*>(lParam);
            if (pLink->msg == WM_LBUTTONDOWN) OnLinkClicked(pLink->chrg.cpMin);
            return 0;
        }
    }
    if (msg == WM_CHAT_PERMIT || msg == WM_CHAT_DENY)
    {
        Answer(static_cast<LONG>(wParam), msg == WM_CHAT_PERMIT);
        return 0;
    }
    if (msg == CBitmapSlider::kMsgMoving && wParam == IDC_CHAT_ALPHA)
    {
        if (IsFloating()) SetAlpha(static_cast<int>(lParam));
        return 0;
    }
    const bool bPanelCommand =
        msg == WM_COMMAND && (LOWORD(wParam) == kCollapseChatCommand || LOWORD(wParam) == kFloatCommand);
    LRESULT lResult = CSidePanelDlg::WindowProc(msg, wParam, lParam);
    if (bPanelCommand)
    {
        m_header.UpdatePopup(IsExpanded());
        Layout();
    }
    return lResult;
}

void CRoomTxtChatDlg::OnLinkClicked(LONG nStart)
{
    // Only a range the log remembers is a link: a peer's text never acts.
    SChatLinkHit hit = m_model.LinkAt(static_cast<uint32_t>(nStart));
    switch (hit.kind)
    {
    case SChatLinkHit::PERMIT:
    case SChatLinkHit::DENY:
        // The answer goes out after the click has returned.
        ::PostMessageW(m_hWnd, hit.kind == SChatLinkHit::PERMIT ? WM_CHAT_PERMIT : WM_CHAT_DENY,
                       static_cast<WPARAM>(nStart), 0);
        break;
    case SChatLinkHit::CANCEL:
        if (m_pHost) m_pHost->CancelFilePush();
        break;
    case SChatLinkHit::PATH:
    {
        std::wstring szPath = WideFrom(hit.szPath);
        size_t nSlash = szPath.rfind(L'\\');
        std::wstring szFolder = nSlash == std::wstring::npos ? std::wstring() : szPath.substr(0, nSlash);
        ::ShellExecuteW(m_hWnd, L"open", szPath.c_str(), nullptr, szFolder.c_str(), SW_SHOWNORMAL);
        break;
    }
    default:
        break;
    }
    if (m_nInputHint != CHATINPUT_DISABLED) ::SetFocus(m_input.GetSafeHwnd());
}

void CRoomTxtChatDlg::Answer(LONG nStart, bool bPermit)
{
    SChatLinkHit hit = m_model.LinkAt(static_cast<uint32_t>(nStart));
    if (hit.kind != (bPermit ? SChatLinkHit::PERMIT : SChatLinkHit::DENY)) return;
    m_model.RemovePresenterRequest(hit.wUser);
    if (m_pHost) m_pHost->AnswerPresenterRequest(hit.wUser, bPermit);
}

void CRoomTxtChatDlg::Send()
{
    if (!m_pHost) return;
    // A syllable still being composed belongs to the line, not to the next one.
    CompleteImeComposition(m_input.GetSafeHwnd());
    const std::wstring szText = m_input.GetText();
    if (szText.empty() || szText == m_szEnableHint || szText == m_szDisableHint) return;
    ClearInput();
    SChatEnter enter =
        ChatEnterOf(U16From(szText), U16From(m_szEnableHint), U16From(m_szDisableHint), m_pHost->MyLevel());
    if (enter.action == SChatEnter::SEND)
    {
        m_pHost->SendRoomChat(szText);
        return;
    }
    if (enter.action != SChatEnter::LOCAL) return;
    // A local command: its output, if any, is the own red line; it never reaches the room.
    if (enter.command.id == SChatCommand::TIME)
    {
        m_model.ToggleTimeStamps();
        return;
    }
    std::wstring szOutput = m_pHost->RunChatCommand(enter.command);
    if (!szOutput.empty()) AddMessage(CHATLINE_COMMAND, szOutput, std::wstring(), 0);
}

void CRoomTxtChatDlg::ClearInput()
{
    m_input.Clear();
    // What is typed next is black, whatever colour the hint had.
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    ::SendMessageW(m_input.GetSafeHwnd(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

void CRoomTxtChatDlg::UpdateInputState()
{
    if (!m_hWnd || !m_pHost) return;
    const ChatInputMode mode = m_pHost->ChatInput();
    ::ShowWindow(m_input.GetSafeHwnd(), mode == CHATINPUT_HIDDEN || !IsExpanded() ? SW_HIDE : SW_SHOW);
    if (mode != CHATINPUT_HIDDEN) SetInputHint(mode);
}

void CRoomTxtChatDlg::SetInputHint(int nMode)
{
    const int nWas = m_nInputHint;
    m_nInputHint = nMode;
    HWND hInput = m_input.GetSafeHwnd();
    ::SendMessageW(hInput, EM_SETREADONLY, nMode == CHATINPUT_DISABLED, 0);
    const std::wstring szShown = m_input.GetText();
    auto show = [this, &szShown](const std::wstring& szHint)
    {
        if (szShown == szHint) return;
        m_input.Clear();
        m_input.InsertText(0, szHint, kHintColour);
    };
    if (nMode == CHATINPUT_PLAIN)
    {
        // Only a hint is cleared: what the user typed stays.
        if (nWas != CHATINPUT_PLAIN && (szShown == m_szEnableHint || szShown == m_szDisableHint))
            ClearInput();
    }
    else if (nMode == CHATINPUT_ENABLED)
    {
        if (szShown == m_szDisableHint) ClearInput();
        if (::GetFocus() != hInput && m_input.GetTextLength() == 0) show(m_szEnableHint);
    }
    else
    {
        show(m_szDisableHint);
        if (::GetFocus() == hInput) ::SetFocus(m_save);
    }
}

void CRoomTxtChatDlg::OnInputFocus(bool bGot)
{
    if (!bGot)
    {
        if (m_nInputHint != CHATINPUT_DISABLED && m_input.GetTextLength() == 0)
            SetInputHint(CHATINPUT_ENABLED);
        return;
    }
    if (m_nInputHint == CHATINPUT_DISABLED)
        ::SetFocus(m_save);
    else if (m_input.GetText() == m_szEnableHint)
    {
        ClearInput();
        m_nInputHint = CHATINPUT_PLAIN;
    }
}

void CRoomTxtChatDlg::SaveLog()
{
    if (m_pHost) m_pHost->SaveChatToFile(m_log.GetSafeHwnd(), m_hWnd);
    if (m_nInputHint != CHATINPUT_DISABLED) ::SetFocus(m_input.GetSafeHwnd());
}

void CRoomTxtChatDlg::ChooseChatColour()
{
    if (!m_pHost) return;
    static COLORREF s_custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_pHost->ChatColour();
    cc.lpCustColors = s_custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&cc)) m_pHost->SetChatColour(cc.rgbResult);
    if (m_nInputHint != CHATINPUT_DISABLED) ::SetFocus(m_input.GetSafeHwnd());
}

BOOL CRoomTxtChatDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    m_header.Paint(hDC, rc.right);
    // The line above the input: 28 pixels from the bottom docked, 30 floating.
    const int y = rc.bottom - (IsFloating() ? 30 : 28);
    if (IsExpanded() && y > m_header.Height())
    {
        HPEN hPen = ::CreatePen(PS_SOLID, 1, kInputLineColour);
        HGDIOBJ hOld = ::SelectObject(hDC, hPen);
        ::MoveToEx(hDC, 0, y, nullptr);
        ::LineTo(hDC, rc.right, y);
        ::SelectObject(hDC, hOld);
        ::DeleteObject(hPen);
    }
    return TRUE;
}

HBRUSH CRoomTxtChatDlg::OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg)
{
    if (hChild != GetDlgItem(IDC_CHAT_TITLE)) return CSidePanelDlg::OnCtlColor(hDC, hChild, ctlMsg);
    return m_header.TitleBrush(hDC);
}

void CRoomTxtChatDlg::OnSize(UINT, int, int)
{
    Layout();
}

void CRoomTxtChatDlg::Layout()
{
    if (!m_log.GetSafeHwnd()) return;
    RECT rc;
    GetClientRect(&rc);
    const int w = rc.right, h = rc.bottom;
    const bool bFloating = IsFloating();
    // From the right: show/hide, float/dock, colour, save; floating, the slider 52 pixels left of
    // the save button.
    const int xSave = m_header.PlaceButtons(w, {&m_colour, &m_save});
    const int xSlider = xSave - 52;
    m_header.PlaceSlider(bFloating, xSlider, 5);
    const int xTitleEnd = (bFloating ? xSlider : xSave) - 5;
    ::SetWindowPos(GetDlgItem(IDC_CHAT_TITLE), nullptr, 4, 4, std::max(0, xTitleEnd - 4), 16,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    const int yLog = m_header.Height() + 1;
    if (bFloating)
        ::SetWindowPos(m_log.GetSafeHwnd(), nullptr, 3, yLog, std::max(0, w - 6), std::max(0, h - 48),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    else
        ::SetWindowPos(m_log.GetSafeHwnd(), nullptr, 0, yLog, w, std::max(0, h - 46),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(m_log.GetSafeHwnd(), IsExpanded() ? SW_SHOW : SW_HIDE);
    const bool bInput = IsExpanded() && h >= 31;
    if (bInput)
        ::SetWindowPos(m_input.GetSafeHwnd(), nullptr, 5, h - (bFloating ? 22 : 20), std::max(0, w - 10), 18,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    const bool bHidden = m_pHost && m_pHost->ChatInput() == CHATINPUT_HIDDEN;
    ::ShowWindow(m_input.GetSafeHwnd(), bInput && !bHidden ? SW_SHOW : SW_HIDE);
    // The band and the line move with the size; the children paint again over them.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CRoomTxtChatDlg::UpdatePushProgress(int nPercent, const std::wstring& szText)
{
    if (!m_pHost) return;
    // The status text: the remaining time, at 100 the end's own line.
    m_model.UpdatePushProgress(nPercent, U16From(szText), U16From(m_pHost->RoomText("IDS_MSG_PUSH_END")),
                               U16From(szText), U16From(m_pHost->RoomText("IDS_MSG_CANCEL")), true);
}

void CRoomTxtChatDlg::EndPushProgress()
{
    if (m_pHost) m_model.EndPushProgress(U16From(m_pHost->RoomText("IDS_MSG_PUSHSEND_CANCEL")));
}

void CRoomTxtChatDlg::AddReceivedFile(const std::wstring& szPath)
{
    const std::u16string szFile = U16From(szPath);
    m_model.AddReceivedFile(szFile, szFile, m_nReceivedFiles++);
}
