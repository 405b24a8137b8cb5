// CSidePanelDlg: a side panel that lies docked in the side-panel host or floats as a window of
// its own (WM_COMMAND 1007 switches), sized within the panels' limits and made translucent.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "confclient/room/SidePanelGeometry.h"

class CSidePanelDlg : public CRoomDlg
{
public:
    // The command that floats a docked panel or docks a floating one.
    static constexpr int kFloatCommand = 1007;

    CSidePanelDlg(UINT nIDTemplate, SidePanelKind kind) : CRoomDlg(nIDTemplate), m_kind(kind) {}

    void SetFloating(bool bFloat);
    bool IsFloating() const { return m_bFloating; }
    // The transparency while floating, 70..255 (255 opaque).
    void SetAlpha(int nValue);
    int Alpha() const { return m_nAlpha; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplyAlpha();
    // The host lays its docked panels out again.
    void RelayoutHost();

    SidePanelKind m_kind;
    HWND m_hDockParent = nullptr;
    bool m_bFloating = false;
    bool m_bFirstFloat = true;
    S_RECT m_rcFloat{};
    int m_nAlpha = kPanelMaxAlpha;
};
