// CRichEditCtrlGS: a rich edit control (RICHEDIT50W) addressed by character ranges: text put in
// at a position in a colour, ranges deleted, made links or plain again, read back.
#pragma once
#include <windows.h>

#include <richedit.h>

#include <string>

class CImageDataObject;

class CRichEditCtrlGS
{
public:
    // Loads the control's library once; the class must be loaded before a template that uses it.
    static bool LoadControlLibrary();
    static const wchar_t* ClassName() { return L"RICHEDIT50W"; }

    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Characters in the control, a paragraph break counting one.
    LONG GetTextLength() const;
    // Puts the text in at nPos (past the end: at the end) in the colour; "\r" breaks the line.
    void InsertText(LONG nPos, const std::wstring& szText, COLORREF crColour);
    // Inserts the bitmap at nPos as a picture (one character of the text) through the data object,
    // which owns the bitmap from then on. The OLE failure's HRESULT; nothing is inserted then.
    HRESULT InsertPicture(LONG nPos, CImageDataObject& pictures, HBITMAP hBitmap);
    void DeleteRange(LONG nStart, LONG nEnd);
    // Sets or clears the link effect of the range.
    void SetLink(LONG nStart, LONG nEnd, bool bLink);
    // Whether every character of the range carries the link effect.
    bool IsLink(LONG nStart, LONG nEnd) const;
    COLORREF ColourAt(LONG nPos) const;
    std::wstring GetTextRange(LONG nStart, LONG nEnd) const;
    // The whole text as a text file holds it: each paragraph break a CR LF.
    std::wstring GetText() const;
    // Writes that text as a UTF-8 text file with its mark; false when the file could not be written.
    bool WriteTextFile(const std::wstring& szPath) const;
    void Clear();
    // Scrolls so that the last line shows.
    void ScrollToEnd();

private:
    void Select(LONG nStart, LONG nEnd) const;
    bool SetFormat(LONG nStart, LONG nEnd, const CHARFORMAT2W& cf);

    HWND m_hWnd = nullptr;
};
