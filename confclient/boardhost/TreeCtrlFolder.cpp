// The agenda tree over the platform's tree view: filled from the model, the user's choices,
// label edits, drags and menu commands turned into the model's requests.
#include "confclient/boardhost/TreeCtrlFolder.h"

#include <algorithm>
#include <cstdlib>

#include <commctrl.h>
#include <windowsx.h>

#include "confclient/boardhost/AgendaListRules.h"

namespace
{
// The item pictures' order in the image list.
enum AgendaImage : int
{
    IMAGE_WHITEBOARD = 0,
    IMAGE_DOCUMENT = 1,
    IMAGE_PAGE = 2,
};
// Message 2036 to the owner: delete the selected pages.
constexpr UINT kDeleteSelectionMessage = 2036;

// An item's reference packed in its lParam: top index + 1 in the high word, child + 1 low.
LPARAM Pack(AgendaItemRef ref)
{
    return static_cast<LPARAM>(((ref.nTop + 1) << 16) | (ref.nChild + 1));
}
AgendaItemRef Unpack(LPARAM l)
{
    return {static_cast<int>((l >> 16) & 0xFFFF) - 1, static_cast<int>(l & 0xFFFF) - 1};
}

bool SameNoCase(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i])) return false;
    return true;
}
} // namespace

BOOL CTreeCtrlFolder::Create(HWND hParent, const RECT& rc, UINT nId)
{
    return CreateEx(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                        TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                    rc, hParent, nId);
}

std::optional<AgendaItemRef> CTreeCtrlFolder::RefOf(HTREEITEM hItem) const
{
    if (!hItem) return std::nullopt;
    TVITEMW item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = hItem;
    if (!TreeView_GetItem(m_hWnd, &item)) return std::nullopt;
    return Unpack(item.lParam);
}

HTREEITEM CTreeCtrlFolder::ItemOf(AgendaItemRef ref) const
{
    for (HTREEITEM h = TreeView_GetRoot(m_hWnd); h; h = TreeView_GetNextSibling(m_hWnd, h))
    {
        if (RefOf(h) == ref) return h;
        for (HTREEITEM c = TreeView_GetChild(m_hWnd, h); c; c = TreeView_GetNextSibling(m_hWnd, c))
            if (RefOf(c) == ref) return c;
    }
    return nullptr;
}

std::wstring CTreeCtrlFolder::ItemText(HTREEITEM hItem) const
{
    wchar_t sz[64] = L"";
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = sz;
    item.cchTextMax = 64;
    TreeView_GetItem(m_hWnd, &item);
    return sz;
}

void CTreeCtrlFolder::Rebuild()
{
    if (!m_hWnd) return;
    m_bSyncing = true;
    SendMessage(WM_SETREDRAW, FALSE);
    TreeView_DeleteAllItems(m_hWnd);
    const auto& nodes = m_model.Nodes();
    for (size_t t = 0; t < nodes.size(); ++t)
    {
        AgendaItemRef top{static_cast<int>(t), -1};
        std::u16string text = m_model.ItemText(top);
        std::wstring wide(text.begin(), text.end());
        TVINSERTSTRUCTW ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = wide.data();
        ins.item.lParam = Pack(top);
        ins.item.iImage = nodes[t].bDocument                       ? IMAGE_DOCUMENT
                          : nodes[t].page.hdr.byKind == PAGE_BLANK ? IMAGE_WHITEBOARD
                                                                   : IMAGE_PAGE;
        ins.item.iSelectedImage = ins.item.iImage;
        HTREEITEM hTop = TreeView_InsertItem(m_hWnd, &ins);
        for (size_t c = 0; c < nodes[t].children.size(); ++c)
        {
            AgendaItemRef ref{static_cast<int>(t), static_cast<int>(c)};
            std::u16string childText = m_model.ItemText(ref);
            std::wstring childWide(childText.begin(), childText.end());
            ins.hParent = hTop;
            ins.item.pszText = childWide.data();
            ins.item.lParam = Pack(ref);
            ins.item.iImage = ins.item.iSelectedImage = IMAGE_PAGE;
            TreeView_InsertItem(m_hWnd, &ins);
        }
        if (nodes[t].bExpanded) TreeView_Expand(m_hWnd, hTop, TVE_EXPAND);
    }
    if (std::optional<AgendaItemRef> caret = m_model.Caret())
        if (HTREEITEM h = ItemOf(*caret)) TreeView_SelectItem(m_hWnd, h);
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    m_bSyncing = false;
}

void CTreeCtrlFolder::OnAddPage(int nType, const S_BOARD_FILEHDR& hdr, bool bInsert)
{
    // A list told again (type 1 first, 2 last; a lone 2 for one page): the open documents are
    // remembered and opened again at its end.
    const bool bStarts = nType == 1 || (nType == 2 && !m_bRetelling);
    m_bRetelling = nType == 1 || (m_bRetelling && nType == 0);
    if (bStarts)
    {
        m_expanded.clear();
        for (size_t t = 0; t < m_model.Nodes().size(); ++t)
            if (m_model.Nodes()[t].bExpanded)
                m_expanded.push_back(m_model.ItemText({static_cast<int>(t), -1}));
        m_model.Clear();
    }
    if (bInsert) m_model.InsertPage(hdr);
    if (m_bRetelling) return;
    for (size_t t = 0; t < m_model.Nodes().size(); ++t)
        for (const std::u16string& name : m_expanded)
            if (m_model.Nodes()[t].bDocument && SameNoCase(m_model.ItemText({static_cast<int>(t), -1}), name))
                m_model.SetExpanded(static_cast<int>(t), true);
    Rebuild();
}

void CTreeCtrlFolder::OnDeletePage(int nIndex)
{
    std::optional<int> nNew = m_model.DeletePage(nIndex);
    Rebuild();
    if (nNew && m_pHost) m_pHost->PageChosen(*nNew, true);
}

void CTreeCtrlFolder::OnSetCurrentPage(int nIndex)
{
    std::optional<AgendaItemRef> ref = m_model.FindPage(nIndex);
    if (!ref) return;
    m_model.Select(*ref, true);
    if (ref->nChild >= 0) m_model.SetExpanded(ref->nTop, true);
    Rebuild();
}

void CTreeCtrlFolder::OnAgendaRenamed(const uint8_t* pMsg)
{
    if (!pMsg) return;
    // The name field of the 72-byte board-message header, then the 72-byte rename block.
    std::u16string name;
    for (size_t i = 0; i < 31; ++i)
    {
        char16_t c = static_cast<char16_t>(pMsg[8 + i * 2] | (pMsg[9 + i * 2] << 8));
        if (!c) break;
        name.push_back(c);
    }
    if (m_model.ApplyRename(name, pMsg + 72)) Rebuild();
}

void CTreeCtrlFolder::EndLabelEdit(AgendaItemRef ref, const std::u16string& text)
{
    if (!m_pHost) return;
    if (const char* pszRefusal = AgendaRenameRefusal(text))
    {
        m_pHost->ShowRefusal(pszRefusal);
        return;
    }
    m_model.SetCaret(ref);
    AgendaRequest r =
        m_model.BuildRename(text, m_pHost->MyNumber(), m_pHost->RoomIndex(), m_pHost->BoardDownloading());
    if (r.pszRefusal)
        m_pHost->ShowRefusal(r.pszRefusal);
    else if (r.Sends())
        m_pHost->RenameRequested(r.name, r.bytes.data());
}

void CTreeCtrlFolder::DropOn(const std::vector<AgendaItemRef>& dragged, std::optional<AgendaItemRef> target)
{
    if (!m_pHost) return;
    AgendaRequest r = m_model.BuildOrder(dragged, target, m_pHost->RoomIndex(), m_pHost->MyNumber(),
                                         m_pHost->BoardDownloading());
    if (r.pszRefusal)
        m_pHost->ShowRefusal(r.pszRefusal);
    else if (r.Sends())
        m_pHost->OrderRequested(r.name, r.bytes.data(), r.bytes.size());
}

std::optional<AgendaItemRef> CTreeCtrlFolder::HitItem(LPARAM lParam) const
{
    TVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HTREEITEM h = TreeView_HitTest(m_hWnd, &hit);
    if (!h || !(hit.flags & TVHT_ONITEM)) return std::nullopt;
    return RefOf(h);
}

void CTreeCtrlFolder::BeginDrag(HTREEITEM hItem)
{
    std::optional<AgendaItemRef> ref = RefOf(hItem);
    if (!ref || !m_pHost || !m_pHost->MayEditAgenda()) return;
    // The selection is dragged when the item is part of it, else the item alone.
    std::vector<AgendaItemRef> items = m_model.IsSelected(*ref) ? m_model.Selection() : std::vector{*ref};
    if (const char* pszRefusal = m_model.CheckDragSelection(items))
    {
        m_pHost->ShowRefusal(pszRefusal);
        return;
    }
    m_dragged = std::move(items);
    m_bDragging = true;
    SetCapture(m_hWnd);
    m_hDragImage = MakeDragImage();
    if (m_hDragImage && ImageList_BeginDrag(m_hDragImage, 0, -5, -5))
    {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(m_hWnd, &pt);
        ImageList_DragEnter(m_hWnd, pt.x, pt.y);
    }
}

HIMAGELIST CTreeCtrlFolder::MakeDragImage() const
{
    HDC hScreen = ::GetDC(m_hWnd);
    HDC hdc = CreateCompatibleDC(hScreen);
    HGDIOBJ hOldFont = SelectObject(hdc, reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    std::vector<std::wstring> texts;
    int nWidth = 0, nRow = 0;
    for (AgendaItemRef ref : m_dragged)
    {
        std::u16string text = m_model.ItemText(ref);
        texts.emplace_back(text.begin(), text.end());
        SIZE size{};
        GetTextExtentPoint32W(hdc, texts.back().c_str(), static_cast<int>(texts.back().size()), &size);
        nWidth = std::max(nWidth, static_cast<int>(size.cx));
        nRow = std::max(nRow, static_cast<int>(size.cy) + 2);
    }
    nRow = std::max(nRow, 18);
    const int cx = 3 + 16 + 3 + nWidth, cy = nRow * static_cast<int>(texts.size());
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, cx, std::max(cy, 1));
    HGDIOBJ hOldBitmap = SelectObject(hdc, hBitmap);
    RECT rc{0, 0, cx, cy};
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(hdc, RGB(0, 0, 0));
    SetBkMode(hdc, TRANSPARENT);
    HIMAGELIST hIcons = TreeView_GetImageList(m_hWnd, TVSIL_NORMAL);
    for (size_t i = 0; i < texts.size(); ++i)
    {
        const int y = static_cast<int>(i) * nRow;
        TVITEMW item{};
        item.mask = TVIF_IMAGE | TVIF_HANDLE;
        item.hItem = ItemOf(m_dragged[i]);
        if (hIcons && item.hItem && TreeView_GetItem(m_hWnd, &item))
            ImageList_Draw(hIcons, item.iImage, hdc, 3, y + (nRow - 16) / 2, ILD_NORMAL);
        TextOutW(hdc, 3 + 16 + 3, y + 1, texts[i].c_str(), static_cast<int>(texts[i].size()));
    }
    SelectObject(hdc, hOldBitmap);
    SelectObject(hdc, hOldFont);
    DeleteDC(hdc);
    ::ReleaseDC(m_hWnd, hScreen);
    HIMAGELIST hList = ImageList_Create(cx, std::max(cy, 1), ILC_COLOR24, 1, 0);
    if (hList) ImageList_Add(hList, hBitmap, nullptr);
    DeleteObject(hBitmap);
    return hList;
}

void CTreeCtrlFolder::EndDrag(LPARAM lParam, bool bDrop)
{
    if (!m_bDragging) return;
    m_bDragging = false;
    if (m_hDragImage)
    {
        ImageList_DragLeave(m_hWnd);
        ImageList_EndDrag();
        ImageList_Destroy(m_hDragImage);
        m_hDragImage = nullptr;
    }
    ReleaseCapture();
    TreeView_SelectDropTarget(m_hWnd, nullptr);
    std::vector<AgendaItemRef> dragged = std::move(m_dragged);
    m_dragged.clear();
    if (!bDrop) return;
    RECT rc;
    GetClientRect(&rc);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!PtInRect(&rc, pt)) return;
    DropOn(dragged, HitItem(lParam));
}

bool CTreeCtrlFolder::OnSelectionKey(UINT nKey)
{
    using K = CAgendaModel::Key;
    const bool bShift = GetKeyState(VK_SHIFT) < 0, bCtrl = GetKeyState(VK_CONTROL) < 0;
    K key;
    switch (nKey)
    {
    case 'A':
        if (!bCtrl) return false;
        key = K::SelectAll;
        break;
    case VK_HOME:
        key = K::Home;
        break;
    case VK_END:
        key = K::End;
        break;
    case VK_UP:
        key = K::Up;
        break;
    case VK_DOWN:
        key = K::Down;
        break;
    case VK_LEFT:
        key = K::Left;
        break;
    case VK_RIGHT:
        key = K::Right;
        break;
    default:
        return false;
    }
    std::optional<int> nChosen = m_model.OnKey(key, bShift, bCtrl);
    ShowSelection();
    if (nChosen && m_pHost) m_pHost->PageChosen(*nChosen, false);
    return true;
}

void CTreeCtrlFolder::SetItemImages(HIMAGELIST hImages)
{
    TreeView_SetImageList(m_hWnd, hImages, TVSIL_NORMAL);
}

void CTreeCtrlFolder::ShowSelection()
{
    m_bSyncing = true;
    const auto& nodes = m_model.Nodes();
    for (size_t t = 0; t < nodes.size(); ++t)
        if (nodes[t].bDocument && nodes[t].bExpanded)
            TreeView_Expand(m_hWnd, ItemOf({static_cast<int>(t), -1}), TVE_EXPAND);
    if (std::optional<AgendaItemRef> caret = m_model.Caret()) TreeView_SelectItem(m_hWnd, ItemOf(*caret));
    for (AgendaItemRef ref : m_model.VisibleItems())
        if (HTREEITEM h = ItemOf(ref))
            TreeView_SetItemState(m_hWnd, h, m_model.IsSelected(ref) ? TVIS_SELECTED : 0, TVIS_SELECTED);
    m_bSyncing = false;
}

void CTreeCtrlFolder::BeginBand(LPARAM lParam, WPARAM wParam)
{
    SetFocus(m_hWnd);
    Band band;
    band.start = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    band.bShift = (wParam & MK_SHIFT) != 0;
    band.bCtrl = (wParam & MK_CONTROL) != 0;
    band.before = m_model.Selection();
    m_band = std::move(band);
    SetCapture(m_hWnd);
}

void CTreeCtrlFolder::MoveBand(LPARAM lParam)
{
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Band& band = *m_band;
    if (IsRectEmpty(&band.drawn) && std::abs(pt.x - band.start.x) < GetSystemMetrics(SM_CXDRAG) &&
        std::abs(pt.y - band.start.y) < GetSystemMetrics(SM_CYDRAG))
        return;
    // Outside the client area the tree scrolls a line towards the mouse.
    RECT client;
    GetClientRect(&client);
    if (pt.y < client.top) ::SendMessageW(m_hWnd, WM_VSCROLL, SB_LINEUP, 0);
    if (pt.y >= client.bottom) ::SendMessageW(m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
    if (pt.x < client.left) ::SendMessageW(m_hWnd, WM_HSCROLL, SB_LINELEFT, 0);
    if (pt.x >= client.right) ::SendMessageW(m_hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
    RECT rc{std::min(band.start.x, pt.x), std::min(band.start.y, pt.y), std::max(band.start.x, pt.x) + 1,
            std::max(band.start.y, pt.y) + 1};
    std::vector<AgendaItemRef> touched;
    for (AgendaItemRef ref : m_model.VisibleItems())
    {
        RECT item{}, overlap;
        if (HTREEITEM h = ItemOf(ref);
            h && TreeView_GetItemRect(m_hWnd, h, &item, TRUE) && IntersectRect(&overlap, &item, &rc))
            touched.push_back(ref);
    }
    m_model.BandSelect(band.before, touched, band.bShift, band.bCtrl);
    HDC hdc = ::GetDC(m_hWnd);
    if (!IsRectEmpty(&band.drawn)) DrawFocusRect(hdc, &band.drawn);
    ::ReleaseDC(m_hWnd, hdc);
    band.drawn = {};
    ShowSelection();
    ::UpdateWindow(m_hWnd);
    hdc = ::GetDC(m_hWnd);
    DrawFocusRect(hdc, &rc);
    ::ReleaseDC(m_hWnd, hdc);
    band.drawn = rc;
}

void CTreeCtrlFolder::EndBand()
{
    if (!m_band) return;
    RECT drawn = m_band->drawn;
    m_band.reset();
    if (!IsRectEmpty(&drawn))
    {
        HDC hdc = ::GetDC(m_hWnd);
        DrawFocusRect(hdc, &drawn);
        ::ReleaseDC(m_hWnd, hdc);
    }
    if (GetCapture() == m_hWnd) ReleaseCapture();
}

void CTreeCtrlFolder::ShowContextMenu()
{
    if (!m_pHost || !m_pHost->MayEditAgenda()) return;
    std::optional<AgendaItemRef> caret = m_model.Caret();
    if (caret)
        if (const AgendaPage* p = m_model.PageAt(*caret);
            p && !m_model.IsDocument(*caret) && p->hdr.byKind == PAGE_BLANK)
            return;
    HMENU hMenu = CreatePopupMenu();
    std::wstring rename = m_pHost->AgendaText("IDMS_AGENDAMENU_RENAME");
    AppendMenuW(hMenu, MF_STRING, kRenameCommand, rename.c_str());
    POINT pt;
    GetCursorPos(&pt);
    UINT nCommand = static_cast<UINT>(
        TrackPopupMenu(hMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr));
    DestroyMenu(hMenu);
    if (nCommand == kRenameCommand && caret) TreeView_EditLabel(m_hWnd, ItemOf(*caret));
}

LRESULT CTreeCtrlFolder::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_MOUSEMOVE:
        if (m_bDragging)
        {
            std::optional<AgendaItemRef> ref = HitItem(lParam);
            ImageList_DragShowNolock(FALSE);
            TreeView_SelectDropTarget(m_hWnd, ref ? ItemOf(*ref) : nullptr);
            ImageList_DragShowNolock(TRUE);
            ImageList_DragMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        }
        if (m_band)
        {
            MoveBand(lParam);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (m_bDragging)
        {
            EndDrag(lParam, true);
            return 0;
        }
        if (m_band)
        {
            EndBand();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (m_bDragging && reinterpret_cast<HWND>(lParam) != m_hWnd) EndDrag(0, false);
        if (m_band && reinterpret_cast<HWND>(lParam) != m_hWnd) EndBand();
        break;
    case WM_LBUTTONDOWN:
    {
        // Shift and Ctrl clicks go through the model (a range, or one item in or out); a press
        // beside the items starts a rubber band.
        std::optional<AgendaItemRef> ref = HitItem(lParam);
        if (!ref)
        {
            BeginBand(lParam, wParam);
            return 0;
        }
        if (wParam & (MK_CONTROL | MK_SHIFT))
        {
            std::optional<int> page =
                m_model.Click(*ref, (wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0);
            ShowSelection();
            if (page && m_pHost) m_pHost->PageChosen(*page, false);
            return 0;
        }
        break;
    }
    case WM_KEYDOWN:
        if (m_band && wParam == VK_ESCAPE)
        {
            m_model.ClearSelection();
            EndBand();
            ShowSelection();
            return 0;
        }
        if (OnSelectionKey(static_cast<UINT>(wParam))) return 0;
        if (wParam == VK_DELETE)
        {
            ::PostMessageW(::GetParent(m_hWnd), kDeleteSelectionMessage, 0, reinterpret_cast<LPARAM>(m_hWnd));
            return 0;
        }
        if (wParam == VK_F2 && m_model.Caret())
        {
            TreeView_EditLabel(m_hWnd, ItemOf(*m_model.Caret()));
            return 0;
        }
        break;
    case WM_DESTROY:
        m_model.Clear();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

BOOL CTreeCtrlFolder::OnChildNotify(UINT msg, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    if (msg != WM_NOTIFY) return FALSE;
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    switch (pHdr->code)
    {
    case TVN_SELCHANGEDW:
    {
        const auto* pTv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        std::optional<AgendaItemRef> ref = RefOf(pTv->itemNew.hItem);
        if (m_bSyncing || !ref) return FALSE;
        m_model.Select(*ref, true);
        if (!m_model.IsDocument(*ref) && m_pHost) m_pHost->PageChosen(m_model.PageAt(*ref)->nIndex, false);
        *pResult = 0;
        return TRUE;
    }
    case TVN_ITEMEXPANDEDW:
    {
        const auto* pTv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (std::optional<AgendaItemRef> ref = RefOf(pTv->itemNew.hItem))
            m_model.SetExpanded(ref->nTop, (pTv->itemNew.state & TVIS_EXPANDED) != 0);
        return FALSE;
    }
    case TVN_BEGINLABELEDITW:
    {
        // Returning TRUE refuses the edit.
        const auto* pDisp = reinterpret_cast<const NMTVDISPINFOW*>(lParam);
        std::optional<AgendaItemRef> ref = RefOf(pDisp->item.hItem);
        bool bRefuse = !ref || !m_pHost || !m_pHost->MayEditAgenda();
        if (ref && !bRefuse && !m_model.IsDocument(*ref))
            bRefuse = m_model.PageAt(*ref)->hdr.byKind == PAGE_BLANK;
        *pResult = bRefuse;
        return TRUE;
    }
    case TVN_ENDLABELEDITW:
    {
        const auto* pDisp = reinterpret_cast<const NMTVDISPINFOW*>(lParam);
        std::optional<AgendaItemRef> ref = RefOf(pDisp->item.hItem);
        // No text is a cancelled edit; an emptied one is refused like any wrong length.
        if (ref && pDisp->item.pszText)
        {
            std::wstring text(pDisp->item.pszText);
            EndLabelEdit(*ref, std::u16string(text.begin(), text.end()));
        }
        // The new name shows when the board's rename comes back.
        *pResult = FALSE;
        return TRUE;
    }
    case TVN_BEGINDRAGW:
        BeginDrag(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem);
        *pResult = 0;
        return TRUE;
    case NM_RCLICK:
        ShowContextMenu();
        *pResult = 1;
        return TRUE;
    default:
        return FALSE;
    }
}
