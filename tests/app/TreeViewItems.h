// Reads the items of a tree view that may live in another process: texts through an item record
// placed in that process, the rest by handle.
#pragma once
#include "ListViewRows.h"

namespace treeview
{
inline std::wstring ItemText(HWND hTree, listview::CRemoteItem<TVITEMW>& remote, HTREEITEM h)
{
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = h;
    ::SendMessageW(hTree, TVM_GETITEMW, 0, remote.Put(item));
    std::wstring text = remote.Text(listview::kTextMax);
    text.resize(wcslen(text.c_str()));
    return text;
}
} // namespace treeview

// Each item in display order: a child indented by two spaces, a selected item marked " *".
inline std::vector<std::wstring> TreeViewLines(HWND hTree)
{
    std::vector<std::wstring> lines;
    listview::CRemoteItem<TVITEMW> remote(hTree);
    if (!remote.Ok()) return lines;
    auto add = [&](HTREEITEM h, const wchar_t* pszIndent)
    {
        const bool bSelected =
            (::SendMessageW(hTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(h), TVIS_SELECTED) &
             TVIS_SELECTED) != 0;
        lines.push_back(pszIndent + treeview::ItemText(hTree, remote, h) + (bSelected ? L" *" : L""));
    };
    for (HTREEITEM h = TreeView_GetRoot(hTree); h; h = TreeView_GetNextSibling(hTree, h))
    {
        add(h, L"");
        for (HTREEITEM c = TreeView_GetChild(hTree, h); c; c = TreeView_GetNextSibling(hTree, c))
            add(c, L"  ");
    }
    return lines;
}

// The first top-level item whose text holds szPart, or null.
inline HTREEITEM TreeViewTopItem(HWND hTree, const std::wstring& szPart)
{
    listview::CRemoteItem<TVITEMW> remote(hTree);
    if (!remote.Ok()) return nullptr;
    for (HTREEITEM h = TreeView_GetRoot(hTree); h; h = TreeView_GetNextSibling(hTree, h))
        if (treeview::ItemText(hTree, remote, h).find(szPart) != std::wstring::npos) return h;
    return nullptr;
}
