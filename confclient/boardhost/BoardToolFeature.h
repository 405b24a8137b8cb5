// CBoardToolFeature: the room's board tool state (tool, pen and highlighter colours and widths,
// zoom) and the handler that applies the palette's and menus' tool commands to the board; it
// also follows the board's page list and mode for the palette's page buttons.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "confclient/boardhost/BoardToolRules.h"

// What the tools do to the board control.
class IBoardTools
{
public:
    virtual ~IBoardTools() = default;
    virtual void SetDrawMode(int nDrawMode) = 0;
    virtual void SetLineThick(int nThick) = 0;
    virtual void SetLineFluorescent(bool bOn) = 0;
    virtual void SetLineColor(uint32_t colour) = 0;
    virtual void SetZoom(int nZoom) = 0;
    // Erases the current page for everybody.
    virtual void DrawClear() = 0;
    // The board's own font dialog.
    virtual void SetTextFont() = 0;
};

// The palette's side: what it shows.
class IBoardToolView
{
public:
    virtual ~IBoardToolView() = default;
    // Shows the tool button pressed (CheckToolButton).
    virtual void CheckToolButton(unsigned nButton) = 0;
    // Opens a colour chooser starting from the current colour; the choice comes back as OnPenColour.
    virtual void ChooseColour(uint32_t current) = 0;
    // The page count, the current page or the board mode changed.
    virtual void BoardPagesChanged() = 0;
};

// One item of the zoom or width popup menus.
struct ToolMenuItem
{
    unsigned nCommand = 0;
    std::string label; // a literal ("25%") or, with bKey, a text key
    bool bKey = false;
    int nPixels = 0; // width items: "%d %s" with "IDMS_BOARD_PIXEL"
    bool bChecked = false;
};

constexpr uint32_t kDefaultPenColour = 0x00D08C19;

class CBoardToolFeature
{
public:
    explicit CBoardToolFeature(IBoardTools& board) : m_board(board) {}
    void SetView(IBoardToolView* pView) { m_pView = pView; }

    // The bar's tool commands (scroll, check, pointer, pen, highlighter, lines, text, eraser,
    // clear all, font); others are ignored.
    void RouteLayoutCommand(unsigned nCommand);
    // The colour/width handler: drawing tools, widths, figures and the colour chooser.
    void ColourWidthCommand(unsigned nCommand);
    // Message 2028: the chosen colour becomes the board's line colour and the current tool's colour.
    void OnPenColour(uint32_t colour);
    // Zoom menu commands 32941..32950.
    void ZoomCommand(unsigned nCommand);
    // ResultDrawMode: the control chose a tool itself.
    void OnResultDrawMode(int nDrawMode);
    // The board's ResultZoom: the zoom item follows.
    void OnResultZoom(int nZoom);

    // The board's page events: AddPage (0 added, 1 first of a reordered list, 2 its last),
    // DeletePage, SetCurrentPage, ModeChange.
    void OnAddPage(int nPageType);
    void OnDeletePage();
    void OnSetCurrentPage(int nIndex);
    void OnModeChange(int nMode);

    std::vector<ToolMenuItem> ZoomMenu() const;
    std::vector<ToolMenuItem> WidthMenu() const;

    unsigned Tool() const { return m_nTool; }
    bool Highlighter() const { return m_bHighlighter; }
    uint32_t PenColour() const { return m_penColour; }
    uint32_t HighlighterColour() const { return m_highlighterColour; }
    unsigned PenWidthCommand() const { return m_nPenWidth; }
    unsigned HighlighterWidthCommand() const { return m_nHighlighterWidth; }
    unsigned ZoomItem() const { return m_nZoom; }
    int PageCount() const { return m_nPages; }
    int CurrentPage() const { return m_nCurrent; }
    int BoardMode() const { return m_nMode; }

private:
    void SelectDrawTool(unsigned nCommand, int nDrawMode, unsigned nButton);
    void SetHighlighter(bool bOn);
    void Check(unsigned nButton);
    void PagesChanged();

    IBoardTools& m_board;
    IBoardToolView* m_pView = nullptr;
    unsigned m_nTool = 0;
    bool m_bHighlighter = false;
    uint32_t m_penColour = kDefaultPenColour;
    uint32_t m_highlighterColour = kDefaultPenColour;
    unsigned m_nPenWidth = 32935;         // 5 pixels
    unsigned m_nHighlighterWidth = 32936; // 10 pixels
    unsigned m_nZoom = 32949;             // fit width
    int m_nPages = 0;
    bool m_bRetelling = false; // between a list's type 1 and its type 2
    int m_nCurrent = -1;
    int m_nMode = 0;
};

// The pixels of a width command 32933..32938; 0 for another command.
int WidthOfCommand(unsigned nCommand);
// The zoom value of a zoom command 32941..32950; 0 for another command.
int ZoomOfCommand(unsigned nCommand);
