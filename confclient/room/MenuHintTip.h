// CMenuHintTip: a tracking balloon tip beside the highlighted item of an open menu, saying what
// the item (a room layout) does.
#pragma once
#include <windows.h>

#include <string>

class CMenuHintTip
{
public:
    CMenuHintTip() = default;
    ~CMenuHintTip();
    CMenuHintTip(const CMenuHintTip&) = delete;
    CMenuHintTip& operator=(const CMenuHintTip&) = delete;

    // Makes the tip over the owner with its text ("No Text associated" when empty), the x offset
    // of the tip from the item and, when given, a title with the information icon.
    bool Create(HWND hOwner, const std::wstring& szText, int nXOffset, DWORD dwStyle,
                const std::wstring& szTitle);
    void SetText(const std::wstring& szText);
    // Moves the tip beside the command's item of the menu (or to the cursor) and shows it.
    void ShowAtMenuItem(HMENU hMenu, UINT nCommand);
    void Hide();
    // WM_MENUSELECT: a popup or a closing menu hides the tip; another item shows its hint.
    void OnMenuSelect(UINT nCommand, UINT nFlags, HMENU hMenu, const std::wstring& szHint);
    bool IsShown() const { return m_bShown; }
    const std::wstring& Text() const { return m_szText; }
    HWND Handle() const { return m_hTip; }

private:
    void UpdateTool();
    HWND m_hTip = nullptr;
    HWND m_hOwner = nullptr;
    int m_nXOffset = 0;
    bool m_bAtCursor = false;
    bool m_bShown = false;
    std::wstring m_szText;
};
