// Reads and selects the rows of a list view that may live in another process: the item record
// and its text buffer are placed in that process's memory, as the control reads and writes them
// there (tree views too: TreeViewItems.h).
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace listview
{
constexpr size_t kTextMax = 512;

// An item record of a list or tree view (LVITEMW, TVITEMW) and its text buffer in the control's process.
template <class Item> class CRemoteItem
{
public:
    explicit CRemoteItem(HWND hList)
    {
        DWORD dwProcess = 0;
        ::GetWindowThreadProcessId(hList, &dwProcess);
        m_hProcess =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, dwProcess);
        if (m_hProcess)
            m_pRemote = static_cast<char*>(::VirtualAllocEx(m_hProcess, nullptr, sizeof(Item) + kTextMax * 2,
                                                            MEM_COMMIT, PAGE_READWRITE));
    }
    ~CRemoteItem()
    {
        if (m_pRemote) ::VirtualFreeEx(m_hProcess, m_pRemote, 0, MEM_RELEASE);
        if (m_hProcess) ::CloseHandle(m_hProcess);
    }
    CRemoteItem(const CRemoteItem&) = delete;
    CRemoteItem& operator=(const CRemoteItem&) = delete;

    bool Ok() const { return m_pRemote != nullptr; }
    // Writes the item record there, its text pointing at the buffer behind it; its address there.
    LPARAM Put(Item item)
    {
        item.pszText = reinterpret_cast<wchar_t*>(m_pRemote + sizeof(Item));
        item.cchTextMax = static_cast<int>(kTextMax);
        ::WriteProcessMemory(m_hProcess, m_pRemote, &item, sizeof(item), nullptr);
        return reinterpret_cast<LPARAM>(m_pRemote);
    }
    std::wstring Text(size_t nLen)
    {
        std::wstring text(kTextMax, L'\0');
        ::ReadProcessMemory(m_hProcess, m_pRemote + sizeof(Item), text.data(), kTextMax * 2, nullptr);
        text.resize(std::min(nLen, kTextMax - 1));
        return text;
    }

private:
    HANDLE m_hProcess = nullptr;
    char* m_pRemote = nullptr;
};
} // namespace listview

// Each row of the list view as its cells joined by " | ", in column order.
inline std::vector<std::wstring> ListViewRows(HWND hList)
{
    std::vector<std::wstring> rows;
    listview::CRemoteItem<LVITEMW> remote(hList);
    if (!remote.Ok()) return rows;
    HWND hHeader = reinterpret_cast<HWND>(::SendMessageW(hList, LVM_GETHEADER, 0, 0));
    const int nColumns = hHeader ? static_cast<int>(::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 1;
    const int nRows = static_cast<int>(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < nRows; ++r)
    {
        std::wstring line;
        for (int c = 0; c < nColumns; ++c)
        {
            LVITEMW item{};
            item.iSubItem = c;
            auto nLen = static_cast<size_t>(::SendMessageW(hList, LVM_GETITEMTEXTW, r, remote.Put(item)));
            line += (c ? L" | " : L"") + remote.Text(nLen);
        }
        rows.push_back(line);
    }
    return rows;
}

// Makes the row the list's selected row and selection mark, as a click would.
inline bool SelectListViewRow(HWND hList, int nRow)
{
    listview::CRemoteItem<LVITEMW> remote(hList);
    if (!remote.Ok()) return false;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(hList, LVM_SETSELECTIONMARK, 0, nRow);
    return ::SendMessageW(hList, LVM_SETITEMSTATE, nRow, remote.Put(item)) != 0;
}
