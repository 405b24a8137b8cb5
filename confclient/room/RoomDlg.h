// CRoomDlg: the modeless dialog base of the room windows; Enter and Escape never hide a room window.
#pragma once
#include "confclient/room/RoomHotKeys.h"
#include "winui/Dialog.h"
#include <string>

// Who runs the room's hot keys: the room's control bar while there is one.
class IRoomHotKeySink
{
public:
    virtual ~IRoomHotKeySink() = default;
    // True when the hot key was taken (even when the room's state greys its command).
    virtual bool OnRoomHotKey(const S_HOTKEY& key) = 0;
};

class CRoomDlg : public CDialog
{
public:
    explicit CRoomDlg(UINT nIDTemplate) : CDialog(nIDTemplate, nullptr) {}
    // Creates the window from its template; a child of pParent when the template is a child one.
    BOOL Create(CWnd* pParent);
    // The text of a list box row; empty for a row that does not exist.
    static std::wstring ListLineText(HWND hList, int nIndex);
    // The room's hot keys go to the sink before a room window's own key handling.
    static void SetHotKeySink(IRoomHotKeySink* pSink) { s_pHotKeySink = pSink; }
    static IRoomHotKeySink* HotKeySink() { return s_pHotKeySink; }
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void OnOK() override {}
    void OnCancel() override {}

    // Dialog units in pixels for this dialog's font, vertical and horizontal.
    int DluToPixelsY(int nDlu) const;
    int DluToPixelsX(int nDlu) const;
    // Adds a line to a list box and scrolls it into view; returns its index (-1 on failure).
    static int AppendListLine(HWND hList, const std::wstring& szText, LPARAM data = 0);
    // Replaces the text of row nIndex, keeping its item data.
    static void ReplaceListLine(HWND hList, int nIndex, const std::wstring& szText);

private:
    static inline IRoomHotKeySink* s_pHotKeySink = nullptr;
};

// Whether the window is meant to be shown (its own style bit; its parent may still be hidden).
inline bool HasVisibleStyle(HWND hWnd)
{
    return hWnd && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_VISIBLE);
}

// The border code (10..17, as the room layout numbers them) of a WM_SIZING side; 0 for another.
int SizingEdge(WPARAM wSide);
