// Clicks a word of a rich edit that may live in another process as a user would: the left button
// goes down and up over the word, and the control itself decides whether that
// is a link and tells its parent. The newest occurrence is taken (the log scrolls to its end). The
// control finds the word itself (its text with pictures and line breaks counts characters its own
// way), through a search record placed in its process's memory.
#pragma once
#include <windows.h>

#include <commdlg.h>
#include <richedit.h>

#include <cwchar>

inline bool ClickWordInRichEdit(HWND hEdit, const wchar_t* pszWord)
{
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hEdit, &dwProcess);
    HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, dwProcess);
    if (!hProcess) return false;
    const size_t nWordBytes = (wcslen(pszWord) + 1) * sizeof(wchar_t);
    auto* pRemote = static_cast<char*>(
        ::VirtualAllocEx(hProcess, nullptr, sizeof(FINDTEXTEXW) + nWordBytes, MEM_COMMIT, PAGE_READWRITE));
    LONG nLast = -1;
    if (pRemote)
    {
        ::WriteProcessMemory(hProcess, pRemote + sizeof(FINDTEXTEXW), pszWord, nWordBytes, nullptr);
        // Each search goes on after the last match, to the end.
        for (LONG nFrom = 0;;)
        {
            FINDTEXTEXW find{};
            find.chrg = {nFrom, -1};
            find.lpstrText = reinterpret_cast<const wchar_t*>(pRemote + sizeof(FINDTEXTEXW));
            ::WriteProcessMemory(hProcess, pRemote, &find, sizeof find, nullptr);
            const auto nAt = static_cast<LONG>(::SendMessageW(hEdit, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE,
                                                              reinterpret_cast<LPARAM>(pRemote)));
            if (nAt < 0) break;
            nLast = nAt;
            nFrom = nAt + 1;
        }
        ::VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    }
    ::CloseHandle(hProcess);
    if (nLast < 0) return false;
    // The top-left of the word's middle character (its first may be scrolled half out of sight),
    // packed: the form that needs no pointer into the other process.
    const LONG nMiddle = nLast + static_cast<LONG>(wcslen(pszWord) / 2);
    const LRESULT nPos = ::SendMessageW(hEdit, EM_POSFROMCHAR, static_cast<WPARAM>(nMiddle), 0);
    const int x = static_cast<short>(LOWORD(nPos)) + 2, y = static_cast<short>(HIWORD(nPos)) + 4;
    RECT rc{};
    ::GetClientRect(hEdit, &rc);
    if (x < 0 || y < 0 || x >= rc.right || y >= rc.bottom) return false;
    const LPARAM at = MAKELPARAM(x, y);
    return ::PostMessageW(hEdit, WM_MOUSEMOVE, 0, at) &&
           ::PostMessageW(hEdit, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
           ::PostMessageW(hEdit, WM_LBUTTONUP, 0, at);
}
