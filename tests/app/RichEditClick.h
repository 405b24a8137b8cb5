// Clicks a word of a rich edit that may live in another process as a user would: the left button
// goes down and up over the word's first character, and the control itself decides whether that
// is a link and tells its parent. The newest occurrence is taken (the log scrolls to its end).
#pragma once
#include <windows.h>

#include <richedit.h>

#include <string>

inline bool ClickWordInRichEdit(HWND hEdit, const wchar_t* pszWord)
{
    std::wstring text(static_cast<size_t>(SendMessageW(hEdit, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(hEdit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    const size_t nAt = text.rfind(pszWord);
    if (nAt == std::wstring::npos) return false;
    // The control counts a line break as one character; its text comes with two.
    LONG nChar = static_cast<LONG>(nAt);
    for (size_t i = 0; i + 1 < nAt; ++i)
        if (text[i] == L'\r' && text[i + 1] == L'\n') --nChar;
    // The character's top-left, packed (the form that needs no pointer into the other process).
    const LRESULT nPos = SendMessageW(hEdit, EM_POSFROMCHAR, static_cast<WPARAM>(nChar), 0);
    const int x = static_cast<short>(LOWORD(nPos)) + 2, y = static_cast<short>(HIWORD(nPos)) + 4;
    RECT rc{};
    GetClientRect(hEdit, &rc);
    if (x < 0 || y < 0 || x >= rc.right || y >= rc.bottom) return false;
    const LPARAM at = MAKELPARAM(x, y);
    return PostMessageW(hEdit, WM_MOUSEMOVE, 0, at) && PostMessageW(hEdit, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
           PostMessageW(hEdit, WM_LBUTTONUP, 0, at);
}
