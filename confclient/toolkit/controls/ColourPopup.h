// CColourPopup: a pop-up grid of colours with a default-colour line above it and a custom-colour
// line below it; the chosen colour is posted to the parent.
#pragma once
#include "winui/Wnd.h"

#include <string>
#include <vector>

class CColourPopup : public CWnd
{
public:
    // Posted to the parent when a colour is chosen: wParam the colour, lParam the popup's id.
    static constexpr UINT kMsgColourChosen = 0x7EC;
    static constexpr int kColumns = 7;
    static constexpr int kCell = 18;

    // Opens at `pt` (screen) over the colours, the current one framed. The default line chooses
    // crDefault; the custom line opens the system's colour dialog. A choice, Escape, a click
    // outside or the loss of activation closes the popup.
    BOOL Create(POINT pt, COLORREF crCurrent, COLORREF crDefault, const std::vector<COLORREF>& colours,
                CWnd* pParent, UINT nId, const std::wstring& szDefault, const std::wstring& szCustom);
    // The item under a client point: a colour's index, kDefaultItem, kCustomItem or -1.
    static constexpr int kDefaultItem = -2;
    static constexpr int kCustomItem = -3;
    int ItemAt(POINT pt) const;
    RECT ItemRect(int nItem) const;
    int HotItem() const { return m_nHot; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hDC);
    void Choose(int nItem);
    void Close();
    void SetHot(int nItem);
    void MoveHot(int dx, int dy);
    int Rows() const { return (static_cast<int>(m_colours.size()) + kColumns - 1) / kColumns; }

    std::vector<COLORREF> m_colours;
    COLORREF m_crCurrent = 0, m_crDefault = 0;
    std::wstring m_szDefault, m_szCustom;
    HWND m_hParent = nullptr;
    UINT m_nId = 0;
    int m_nHot = -1;
    bool m_bInDialog = false;
    bool m_bClosing = false;
};
