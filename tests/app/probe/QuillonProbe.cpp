// Looks at and works the windows of the programs in its Wine prefix, for tests
// whose second program runs in a prefix of its own (the program is a single
// instance per prefix). Prints its findings as UTF-8 lines; exit code 1 when
// the control is not there.
//   quillon_probe lines <control id>        the lines of a list box or edit, the rows of a list view,
//                                           the items of a tree view (TreeViewLines)
//   quillon_probe parents <control id>      the texts of the control's ancestors, innermost first
//   quillon_probe enabled <control id>      1 or 0
//   quillon_probe checked <control id>      1 or 0
//   quillon_probe visible <control id>      1 or 0
//   quillon_probe toprect <control id>      left top right bottom of the control's top-level window
//   quillon_probe settext <control id> <text>
//   quillon_probe click <control id>
//   quillon_probe enter <control id>        Enter pressed in the control, through the program's loop
//   quillon_probe clickword <control id> <word>  a click on the newest occurrence of the word in a rich edit
//   quillon_probe text <part>               visible windows whose text holds part
//   quillon_probe content <part>            the lines of the edit inside such windows
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "../ListViewRows.h"
#include "../RichEditClick.h"
#include "../TreeViewItems.h"

namespace
{
struct Search
{
    int nId = 0;
    const wchar_t* pszPart = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK Visit(HWND h, LPARAM l)
{
    auto* s = reinterpret_cast<Search*>(l);
    if (s->pszPart)
    {
        wchar_t text[1024] = {};
        GetWindowTextW(h, text, 1023);
        if (IsWindowVisible(h) && wcsstr(text, s->pszPart)) s->found.push_back(h);
    }
    else if (GetParent(h) && GetDlgCtrlID(h) == s->nId)
        s->found.push_back(h);
    return TRUE;
}

BOOL CALLBACK VisitTop(HWND h, LPARAM l)
{
    Visit(h, l);
    EnumChildWindows(h, &Visit, l);
    return TRUE;
}

std::vector<HWND> Find(int nId, const wchar_t* pszPart)
{
    Search s;
    s.nId = nId;
    s.pszPart = pszPart;
    EnumWindows(&VisitTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void Print(const std::wstring& w)
{
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), utf8.data(), n, nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
}

std::wstring TextOf(HWND h)
{
    wchar_t text[1024] = {};
    GetWindowTextW(h, text, 1023);
    return text;
}

// An edit control's lines: its text (asked for, as another process's control keeps it) split at
// its line breaks.
void PrintEditLines(HWND h)
{
    std::wstring text(static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(SendMessageW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    for (size_t nStart = 0; nStart < text.size();)
    {
        size_t nEnd = text.find_first_of(L"\r\n", nStart);
        if (nEnd == std::wstring::npos) nEnd = text.size();
        Print(text.substr(nStart, nEnd - nStart));
        nStart = text.find_first_not_of(L"\r\n", nEnd);
        if (nStart == std::wstring::npos) break;
    }
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) return 2;
    std::wstring cmd = argv[1];
    if (cmd == L"text")
    {
        std::vector<HWND> found = Find(0, argv[2]);
        for (HWND h : found)
            Print(TextOf(h));
        return found.empty() ? 1 : 0;
    }
    if (cmd == L"content")
    {
        std::vector<HWND> found = Find(0, argv[2]);
        for (HWND h : found)
            if (HWND hChild = GetWindow(h, GW_CHILD)) PrintEditLines(hChild);
        return found.empty() ? 1 : 0;
    }
    std::vector<HWND> found = Find(_wtoi(argv[2]), nullptr);
    if (found.empty()) return 1;
    HWND h = found.front();
    if (cmd == L"lines")
    {
        wchar_t szClass[64] = {};
        GetClassNameW(h, szClass, 63);
        if (_wcsicmp(szClass, L"SysListView32") == 0)
        {
            for (const std::wstring& row : ListViewRows(h))
                Print(row);
            return 0;
        }
        if (_wcsicmp(szClass, L"SysTreeView32") == 0)
        {
            for (const std::wstring& line : TreeViewLines(h))
                Print(line);
            return 0;
        }
        if (_wcsicmp(szClass, L"ListBox") != 0)
        {
            PrintEditLines(h);
            return 0;
        }
        int n = static_cast<int>(SendMessageW(h, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
        {
            std::wstring line(static_cast<size_t>(SendMessageW(h, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            SendMessageW(h, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
            line.resize(wcslen(line.c_str()));
            Print(line);
        }
    }
    else if (cmd == L"parents")
        for (HWND p = GetParent(h); p; p = GetParent(p))
            Print(TextOf(p));
    else if (cmd == L"enabled")
        Print(IsWindowEnabled(h) ? L"1" : L"0");
    else if (cmd == L"checked")
        Print(SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0");
    else if (cmd == L"visible")
        Print(IsWindowVisible(h) ? L"1" : L"0");
    else if (cmd == L"toprect")
    {
        RECT rc{};
        GetWindowRect(GetAncestor(h, GA_ROOT), &rc);
        Print(std::to_wstring(rc.left) + L" " + std::to_wstring(rc.top) + L" " + std::to_wstring(rc.right) +
              L" " + std::to_wstring(rc.bottom));
    }
    else if (cmd == L"settext" && argc > 3)
        SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    else if (cmd == L"click")
        SendMessageW(h, BM_CLICK, 0, 0);
    else if (cmd == L"clickword" && argc > 3)
        return ClickWordInRichEdit(h, argv[3]) ? 0 : 1;
    else if (cmd == L"postclick") // a click whose handler opens a modal dialog
        PostMessageW(h, BM_CLICK, 0, 0);
    else if (cmd == L"dialogok") // the OK of the dialog that holds the control
        PostMessageW(GetAncestor(h, GA_ROOT), WM_COMMAND, IDOK, 0);
    else if (cmd == L"enter")
    {
        PostMessageW(h, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(h, WM_KEYUP, VK_RETURN, 0xC0000001);
    }
    else
        return 2;
    return 0;
}
