// CSidePanelDlg: a side panel that lies docked in the side-panel host or floats as a window of
// its own (WM_COMMAND 1007 switches), sized within the panels' limits and made translucent.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "confclient/room/SidePanelGeometry.h"

// The commands that show or hide a panel's body.
constexpr int kCollapseAgendaCommand = 1385;
constexpr int kCollapseChatCommand = 1386;
constexpr int kCollapseUserListCommand = 1387;

class CSidePanelDlg : public CRoomDlg
{
public:
    // The command that floats a docked panel or docks a floating one.
    static constexpr int kFloatCommand = 1007;

    // nCollapseCommand: the command that shows or hides the panel's body (0: it has none).
    CSidePanelDlg(UINT nIDTemplate, SidePanelKind kind, int nCollapseCommand = 0)
        : CRoomDlg(nIDTemplate), m_kind(kind), m_nCollapseCommand(nCollapseCommand)
    {
    }

    void SetFloating(bool bFloat);
    bool IsFloating() const { return m_bFloating; }
    // The transparency while floating, 70..255 (255 opaque).
    void SetAlpha(int nValue);
    int Alpha() const { return m_nAlpha; }
    // Collapsed, the panel shows its title only: 19 pixels high, docked or floating.
    void SetExpanded(bool bExpanded);
    bool IsExpanded() const { return m_bExpanded; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplyAlpha();
    // The host lays its docked panels out again.
    void RelayoutHost();

    SidePanelKind m_kind;
    int m_nCollapseCommand;
    bool m_bExpanded = true;
    int32_t m_nExpandedHeight = kPanelFloatHeight; // of the floating window
    HWND m_hDockParent = nullptr;
    bool m_bFloating = false;
    bool m_bFirstFloat = true;
    S_RECT m_rcFloat{};
    int m_nAlpha = kPanelMaxAlpha;
};
