// CRoomAgendaListDlg: the band and buttons are laid out and painted here; pages come from the
// board through the list (player filter, current page), the user's choices and deletions go
// through the rights and the delete walk to the board.
#include "confclient/room/RoomAgendaListDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "winui/WinApp.h"

namespace
{
// Lets files dropped from programs of other integrity levels through (Vista and later only,
// so looked up at run time).
void AllowDroppedFiles()
{
    using PFN = BOOL(WINAPI*)(UINT, DWORD);
    HMODULE hUser = ::GetModuleHandleW(L"USER32.DLL");
    auto pfn = hUser ? reinterpret_cast<PFN>(
                           reinterpret_cast<void*>(::GetProcAddress(hUser, "ChangeWindowMessageFilter")))
                     : nullptr;
    if (!pfn) return;
    constexpr DWORD kAdd = 1; // MSGFLT_ADD
    for (UINT msg : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), 0x49u})
        pfn(msg, kAdd);
}

std::wstring Trimmed(const std::wstring& s)
{
    const size_t nFirst = s.find_first_not_of(L" \t\r\n");
    if (nFirst == std::wstring::npos) return {};
    return s.substr(nFirst, s.find_last_not_of(L" \t\r\n") - nFirst + 1);
}
} // namespace

CRoomAgendaListDlg::CRoomAgendaListDlg(IRoomHost* pHost, IAgendaListHost* pAgenda)
    : CSidePanelDlg(IDD_ROOMAGENDALIST, SIDEPANEL_AGENDA, kCollapseAgendaCommand), m_pHost(pHost),
      m_pAgenda(pAgenda)
{
}

CRoomAgendaListDlg::~CRoomAgendaListDlg()
{
    if (m_hImages) ImageList_Destroy(m_hImages);
}

std::wstring CRoomAgendaListDlg::Text(const char* pszKey) const
{
    return m_pAgenda ? m_pAgenda->AgendaText(pszKey) : std::wstring();
}

bool CRoomAgendaListDlg::IsPlayer() const
{
    return m_pAgenda && m_pAgenda->AgendaListRights().bPlayer;
}

bool CRoomAgendaListDlg::MayChange() const
{
    return m_pAgenda && MayChangeAgenda(m_pAgenda->AgendaListRights());
}

BOOL CRoomAgendaListDlg::OnInitDialog()
{
    // Without its band's pictures the list has nothing to show.
    if (!m_header.LoadPictures(m_pHost)) return FALSE;
    const bool bPlayer = IsPlayer();
    if (!bPlayer) ::DragAcceptFiles(m_hWnd, TRUE);

    RECT rc;
    GetClientRect(&rc);
    if (!m_tree.Create(m_hWnd, rc, IDC_AGENDA_LIST)) return FALSE;
    // The pictures stand on white, the tree's own background.
    m_hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
    if (auto hItems =
            static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_AGENDA_ITEMS),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
    {
        ImageList_AddMasked(m_hImages, hItems, RGB(0xFF, 0xFF, 0xFF));
        ::DeleteObject(hItems);
    }
    m_tree.SetItemImages(m_hImages);
    m_tree.SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);

    m_header.Attach(*this, m_pHost, IDC_AGENDA_POPUP, IDC_AGENDA_FLOAT, IDC_AGENDA_ALPHA,
                    "IDMS_AGENDA_FLOATING");
    m_delete.SubclassDlgItem(IDC_AGENDA_DELETE, this);
    m_delete.LoadBitmapsAndSize(IDB_AGENDA_DELETE, IDB_AGENDA_DELETE + 1, 0, IDB_AGENDA_DELETE + 2);
    m_header.AddTip(m_delete, "IDS_BOARD_AGENDA_DELETE");
    ::SetWindowTextW(GetDlgItem(IDC_AGENDA_TITLE), Text("IDMS_AGENDALIST").c_str());
    SetWindowText(Text("IDMS_AGENDALIST").c_str());
    if (bPlayer)
    {
        m_delete.EnableWindow(FALSE);
        m_header.FloatButton().ShowWindow(SW_HIDE);
    }
    UpdatePopupButton();
    AllowDroppedFiles();
    return CSidePanelDlg::OnInitDialog();
}

bool CRoomAgendaListDlg::ListsPage(int nMode, const S_BOARD_FILEHDR& hdr)
{
    // A full reload starts afresh.
    if (nMode == 1) m_bWhiteboardListed = false;
    const std::wstring szBoard = Text("IDMS_WHITEBOARD");
    return ListsPageHeader(IsPlayer(), hdr, std::u16string(szBoard.begin(), szBoard.end()),
                           m_bWhiteboardListed);
}

void CRoomAgendaListDlg::OnCurrentPage(int nIndex)
{
    m_nCurrentPage = nIndex;
}

bool CRoomAgendaListDlg::IsPageKind15(int nIndex) const
{
    return m_tree.m_hWnd && ::IsPageKind15(m_tree.Model(), nIndex, m_nCurrentPage);
}

void CRoomAgendaListDlg::GoToPage(int nIndex, bool bForce)
{
    if (!MayChange() || !ShowsChosenPage(nIndex, m_nCurrentPage, m_pAgenda->AgendaBoardMode(), bForce))
        return;
    m_pAgenda->ShowBoardPage(nIndex);
}

void CRoomAgendaListDlg::DeleteSelection()
{
    if (!MayChange()) return;
    const AgendaDeletePlan plan = PlanAgendaDelete(m_tree.EditModel());
    // The walk may have opened a document and selected its pages: the tree shows what is asked.
    m_tree.ShowSelection();
    if (plan.pszRefusal)
    {
        m_pAgenda->AgendaNotice(plan.pszRefusal);
        return;
    }
    if (plan.names.empty()) return;
    m_pending = plan.names;
    IAgendaListHost* pAgenda = m_pAgenda;
    switch (pAgenda->ConfirmPageDelete(plan.nCount))
    {
    case IAgendaListHost::Answer::Delete:
        pAgenda->DeletePageCheck();
        break;
    case IAgendaListHost::Answer::Keep:
        m_pending.clear(); // another user's deletion must not send these
        break;
    case IAgendaListHost::Answer::Gone:
        break; // this list no longer exists
    }
}

void CRoomAgendaListDlg::SendPendingDeletes()
{
    std::vector<std::u16string> names;
    names.swap(m_pending);
    if (!m_pAgenda) return;
    for (size_t i = 0; i < names.size(); ++i)
        m_pAgenda->SendDeletePage(i + 1 == names.size(), names[i]);
}

void CRoomAgendaListDlg::DropFile(const std::wstring& szPath)
{
    if (!m_pAgenda || IsPlayer()) return;
    const std::wstring szFile = Trimmed(szPath);
    if (szFile.empty()) return;
    if (ClassifyDroppedPath(::GetFileAttributesW(szFile.c_str())) != DroppedPath::Load)
    {
        m_pAgenda->AgendaNotice("IDS_MSG_FILETRANS_OPENFAILED");
        return;
    }
    m_pAgenda->LoadDroppedFile(szFile);
}

void CRoomAgendaListDlg::OnDropFiles(WPARAM wDrop)
{
    auto hDrop = reinterpret_cast<HDROP>(wDrop);
    wchar_t szPath[MAX_PATH + 1] = {};
    // The first file only.
    const UINT nLen = ::DragQueryFileW(hDrop, 0, szPath, MAX_PATH + 1);
    ::DragFinish(hDrop);
    if (nLen == 0 || nLen > MAX_PATH) return;
    DropFile(szPath);
}

void CRoomAgendaListDlg::UpdatePopupButton()
{
    m_header.UpdatePopup(IsExpanded());
}

BOOL CRoomAgendaListDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_AGENDA_DELETE)
    {
        DeleteSelection();
        return TRUE;
    }
    return CSidePanelDlg::OnCommand(wParam, lParam);
}

BOOL CRoomAgendaListDlg::PreTranslateMessage(MSG* pMsg)
{
    m_header.RelayEvent(pMsg);
    if (pMsg->message == WM_KEYDOWN && m_tree.m_hWnd &&
        (pMsg->hwnd == m_tree.m_hWnd || ::IsChild(m_tree.m_hWnd, pMsg->hwnd)))
    {
        const WPARAM nKey = pMsg->wParam;
        if (TreeView_GetEditControl(m_tree.m_hWnd))
        {
            // The label edit takes its keys before the dialog can.
            if (nKey == VK_RETURN || nKey == VK_ESCAPE || nKey == VK_LEFT || nKey == VK_RIGHT)
            {
                ::TranslateMessage(pMsg);
                ::DispatchMessageW(pMsg);
                return TRUE;
            }
        }
        else if (nKey == VK_RETURN || nKey == VK_ESCAPE)
            return TRUE;
        else if ((nKey == VK_DELETE || nKey == VK_F2) &&
                 !(m_pAgenda && AgendaTakesKeys(m_pAgenda->AgendaListRights())))
            return TRUE;
    }
    return CSidePanelDlg::PreTranslateMessage(pMsg);
}

LRESULT CRoomAgendaListDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case kGoToPageMessage:
        GoToPage(static_cast<int>(wParam), lParam == 1);
        return 0;
    case kDeleteMessage:
        DeleteSelection();
        return 0;
    case WM_DROPFILES:
        OnDropFiles(wParam);
        return 0;
    default:
        break;
    }
    if (msg == CBitmapSlider::kMsgMoving && wParam == IDC_AGENDA_ALPHA)
    {
        if (IsFloating()) SetAlpha(static_cast<int>(lParam));
        return 0;
    }
    const bool bPanelCommand =
        msg == WM_COMMAND && (LOWORD(wParam) == kCollapseAgendaCommand || LOWORD(wParam) == kFloatCommand);
    LRESULT lResult = CSidePanelDlg::WindowProc(msg, wParam, lParam);
    if (bPanelCommand)
    {
        UpdatePopupButton();
        Layout();
    }
    return lResult;
}

BOOL CRoomAgendaListDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    m_header.Paint(hDC, rc.right);
    return TRUE;
}

HBRUSH CRoomAgendaListDlg::OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg)
{
    if (hChild != GetDlgItem(IDC_AGENDA_TITLE)) return CSidePanelDlg::OnCtlColor(hDC, hChild, ctlMsg);
    return m_header.TitleBrush(hDC);
}

void CRoomAgendaListDlg::OnSize(UINT, int, int)
{
    Layout();
}

void CRoomAgendaListDlg::Layout()
{
    if (!m_tree.m_hWnd || !m_delete.m_hWnd) return;
    RECT rc;
    GetClientRect(&rc);
    const int cx = rc.right, cy = rc.bottom;
    // Right to left: show/hide, float/dock (not in playback), delete; floating, the slider.
    int x = m_header.PlaceButtons(cx, {&m_delete}) - 3;
    if (IsFloating()) x -= m_header.SliderWidth();
    m_header.PlaceSlider(IsFloating(), x, 2);
    if (IsFloating()) x -= 3;
    ::SetWindowPos(GetDlgItem(IDC_AGENDA_TITLE), nullptr, 4, 2, std::max(0, x - 4), 16,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    const int y = m_header.Height() + 1;
    const int nInset = IsFloating() ? 3 : 0;
    const int nBottom = IsFloating() ? 2 : 0;
    m_tree.SetWindowPos(nullptr, nInset, y, std::max(0, cx - 2 * nInset), std::max(0, cy - y - nBottom),
                        SWP_NOZORDER | SWP_NOACTIVATE);
    m_tree.ShowWindow(IsExpanded() ? SW_SHOW : SW_HIDE);
}
