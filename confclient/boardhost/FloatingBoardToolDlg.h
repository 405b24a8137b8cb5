// CFloatingBoardToolDlg: the narrow board palette beside the room's whiteboard: page back and
// forward, the drawing tools, zoom, pen width, five colours and a colour chooser, and the line
// and figure pickers (CDrawFigure). It keeps no drawing state: every command goes to the room
// board's tool handler. Docked it is a child of the room main view; floating, a tool window.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "confclient/boardhost/BoardToolFeature.h"
#include "winui/Controls.h"
#include "winui/Dialog.h"

class CRoomBoard;
class IRoomBoardSession;
class CFloatingBoardToolDlg;

// One palette or picker button, drawn by itself: a state frame and its glyph or colour.
class CPaletteButton : public CButton
{
public:
    CPaletteButton(unsigned nId, bool bSwatch, uint32_t colour)
        : m_nId(nId), m_bSwatch(bSwatch), m_colour(colour)
    {
    }
    BOOL Create(CWnd* pParent, const RECT& rc);
    void SetPressed(bool bPressed);
    bool IsPressed() const { return m_bPressed; }
    // A swallowing button ignores the mouse (the pressed tool).
    void SetSwallow(bool bSwallow) { m_bSwallow = bSwallow; }
    unsigned Id() const { return m_nId; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(DRAWITEMSTRUCT* pDIS) override;

private:
    void DrawGlyph(HDC hDC, const RECT& rc, COLORREF ink) const;

    unsigned m_nId;
    bool m_bSwatch;
    uint32_t m_colour;
    bool m_bPressed = false;
    bool m_bHover = false;
    bool m_bSwallow = false;
};

// The line-style (kind 2) and figure (kind 1) pickers: a borderless bar that closes after a choice.
class CDrawFigure : public CDialog
{
public:
    CDrawFigure(PickerKind kind, CFloatingBoardToolDlg& palette) : m_kind(kind), m_palette(palette) {}
    BOOL Create(CWnd* pOwner);
    // Opens at (x, y) in screen coordinates, or at the palette's right edge when x lies left of
    // the work area.
    void ShowAt(int x, int y);
    void Hide();
    // Shows the button of id pressed and the others released (0: all released).
    void PressButton(unsigned nId);
    bool Holds(HWND hWnd) const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override { Hide(); }
    void OnCancel() override { Hide(); }

private:
    PickerKind m_kind;
    CFloatingBoardToolDlg& m_palette;
    std::map<unsigned, std::unique_ptr<CPaletteButton>> m_buttons;
    CToolTipCtrl m_tip;
};

class CFloatingBoardToolDlg : public CDialog, public IBoardToolView
{
public:
    CFloatingBoardToolDlg();
    ~CFloatingBoardToolDlg() override;
    // Creates the palette as a child of the room main view.
    BOOL Create(CWnd* pParent);
    // Ties the palette to the room's board and session: tool tips, the pen selected.
    void Attach(CRoomBoard& board, IRoomBoardSession& session);

    // The one handler of every tool button and picker command; colour -1 for non-colour buttons.
    void SelectTool(unsigned nId, long colour = -1);
    // IBoardToolView.
    void CheckToolButton(unsigned nId) override;
    void ChooseColour(uint32_t current) override;
    void BoardPagesChanged() override;

    // The room's rights and state: whether the palette shows and button 1398 is enabled.
    void SetRoomState(const PaletteShowState& show, bool bCanDraw, bool bLineFigureTools);
    // Toggles between docked and floating (the minimize button).
    void ToggleDocking();
    bool IsFloating() const { return m_bFloating; }
    // The visibility rule for the room's state as last set, the board's own visibility aside:
    // docked, the room's layout shows the palette only with the board.
    bool MayShow() const
    {
        PaletteShowState show = m_show;
        show.bBoardShown = true;
        return PaletteShown(show);
    }
    int PaletteHeightNow() const;
    unsigned SelectedTool() const { return m_nSelectedTool; }
    HWND ButtonWindow(unsigned nId) const;
    CDrawFigure* Picker(PickerKind kind) const
    {
        return kind == PICKER_FIGURES ? m_pFigures.get() : m_pLines.get();
    }
    // Presses the selected tool again (a picker closed without a choice).
    void PressSelectedTool() { CheckToolButton(m_nSelectedTool); }
    // The session's text of a key (tool tips, title, menu labels).
    std::wstring ToolTipText(const char* pszKey) const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void MakeButtons();
    void MakeToolTips();
    void Relayout();
    void UpdatePageButtons();
    void ApplyVisibility();
    void OpenPicker(PickerKind kind, unsigned nButton);
    void OpenMenu(bool bZoom);
    void MovePage(int nStep);

    CRoomBoard* m_pBoard = nullptr;
    IRoomBoardSession* m_pSession = nullptr;
    std::map<unsigned, std::unique_ptr<CPaletteButton>> m_buttons;
    CToolTipCtrl m_tip;
    std::unique_ptr<CDrawFigure> m_pFigures, m_pLines;
    PaletteShowState m_show;
    bool m_bCanDraw = false;
    bool m_bLineFigure = true;
    bool m_bFloating = false;
    bool m_bFloatedBefore = false;
    RECT m_rcFloat{};
    unsigned m_nSelectedTool = 0;
    int m_nShownMode = -1;
};
