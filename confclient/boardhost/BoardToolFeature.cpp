// The room's board tool state and the commands that apply it to the board.
#include "confclient/boardhost/BoardToolFeature.h"

#include "confclient/boardhost/BoardHostFeature.h"

namespace
{
constexpr int kWidths[] = {1, 3, 5, 10, 20, 30};
constexpr int kZooms[] = {25, 50, 75, 100, 125, 150, 200, 300, 4096, 8192};
constexpr const char* kZoomLabels[] = {"25%",
                                       "50%",
                                       "75%",
                                       "100%",
                                       "125%",
                                       "150%",
                                       "200%",
                                       "300%",
                                       "IDMS_BOARD_ZOOM_WIDTH",
                                       "IDMS_BOARD_ZOOM_PAGE"};

// Board draw modes.
enum : int
{
    MODE_PEN = 0,
    MODE_LINE = 1,
    MODE_ERASER = 2,
    MODE_TEXT = 3,
    MODE_POINTER = 4,
    MODE_CHECK = 5,
    MODE_SCROLL = 6,
    MODE_FIGURE_FIRST = 7,
    MODE_STRAIGHT = 13,
};
} // namespace

int WidthOfCommand(unsigned nCommand)
{
    if (nCommand < CMD_WIDTH_FIRST || nCommand > CMD_WIDTH_LAST) return 0;
    return kWidths[nCommand - CMD_WIDTH_FIRST];
}

int ZoomOfCommand(unsigned nCommand)
{
    if (nCommand < CMD_ZOOM_FIRST || nCommand > CMD_ZOOM_LAST) return 0;
    return kZooms[nCommand - CMD_ZOOM_FIRST];
}

void CBoardToolFeature::Check(unsigned nButton)
{
    if (m_pView && nButton) m_pView->CheckToolButton(nButton);
}

void CBoardToolFeature::RouteLayoutCommand(unsigned nCommand)
{
    switch (nCommand)
    {
    case CMD_SCROLL:
        m_nTool = nCommand;
        m_board.SetDrawMode(MODE_SCROLL);
        Check(PB_SCROLL);
        break;
    case CMD_CHECK:
        m_nTool = nCommand;
        m_board.SetDrawMode(MODE_CHECK);
        Check(PB_CHECK);
        break;
    case CMD_POINTER:
        // Without an agenda list no page is a presentation page: the pointer is the board's own.
        m_nTool = nCommand;
        m_board.SetDrawMode(MODE_POINTER);
        Check(PB_POINT);
        break;
    case CMD_TEXT:
        m_nTool = nCommand;
        m_board.SetDrawMode(MODE_TEXT);
        Check(PB_TEXT);
        break;
    case CMD_ERASER:
        m_nTool = nCommand;
        m_board.SetDrawMode(MODE_ERASER);
        Check(PB_ERASER);
        break;
    case CMD_CLEAR_ALL:
        m_board.DrawClear();
        break;
    case CMD_FONT:
        m_board.SetTextFont();
        break;
    case CMD_PEN:
    case CMD_FREE_LINE:
    case CMD_HIGHLIGHTER:
    case CMD_STRAIGHT_LINE:
        ColourWidthCommand(nCommand);
        break;
    default:
        break;
    }
}

void CBoardToolFeature::SetHighlighter(bool bOn)
{
    if (bOn == m_bHighlighter) return;
    m_bHighlighter = bOn;
    m_board.SetLineFluorescent(bOn);
    // The highlighter and the pen each keep their own colour and width.
    m_board.SetLineColor(bOn ? m_highlighterColour : m_penColour);
}

void CBoardToolFeature::SelectDrawTool(unsigned nCommand, int nDrawMode, unsigned nButton)
{
    bool bHighlighter = nCommand == CMD_HIGHLIGHTER;
    SetHighlighter(bHighlighter);
    m_nTool = nCommand;
    m_board.SetDrawMode(nDrawMode);
    m_board.SetLineThick(WidthOfCommand(bHighlighter ? m_nHighlighterWidth : m_nPenWidth));
    Check(nButton);
}

void CBoardToolFeature::ColourWidthCommand(unsigned nCommand)
{
    if (nCommand == CMD_PEN)
        SelectDrawTool(nCommand, MODE_PEN, PB_PEN);
    else if (nCommand == CMD_HIGHLIGHTER)
        SelectDrawTool(nCommand, MODE_PEN, PB_HIGHLIGHTER);
    else if (nCommand == CMD_FREE_LINE)
        SelectDrawTool(nCommand, MODE_LINE, PB_LINE);
    else if (nCommand == CMD_STRAIGHT_LINE)
        SelectDrawTool(nCommand, MODE_STRAIGHT, PB_LINE);
    else if (nCommand >= CMD_FIGURE_FIRST && nCommand <= CMD_FIGURE_LAST)
        SelectDrawTool(nCommand, MODE_FIGURE_FIRST + static_cast<int>(nCommand - CMD_FIGURE_FIRST),
                       PB_FIGURE);
    else if (int nWidth = WidthOfCommand(nCommand))
    {
        (m_bHighlighter ? m_nHighlighterWidth : m_nPenWidth) = nCommand;
        m_board.SetLineThick(nWidth);
    }
    else if (nCommand == CMD_COLOUR_CHOOSER && m_pView)
        m_pView->ChooseColour(m_bHighlighter ? m_highlighterColour : m_penColour);
}

void CBoardToolFeature::OnPenColour(uint32_t colour)
{
    colour &= 0x00FFFFFF;
    m_board.SetLineColor(colour);
    (m_nTool == CMD_HIGHLIGHTER ? m_highlighterColour : m_penColour) = colour;
}

void CBoardToolFeature::ZoomCommand(unsigned nCommand)
{
    int nZoom = ZoomOfCommand(nCommand);
    if (!nZoom) return;
    m_nZoom = nCommand;
    m_board.SetZoom(nZoom);
}

void CBoardToolFeature::OnResultDrawMode(int nDrawMode)
{
    DrawModeFeedback fb = DrawModeButton(nDrawMode, m_bHighlighter);
    if (fb.nCommand)
        ColourWidthCommand(fb.nCommand);
    else
        Check(fb.nButton);
}

void CBoardToolFeature::OnResultZoom(int nZoom)
{
    if (IsReportedZoom(nZoom)) m_nZoom = ZoomMenuId(nZoom);
}

void CBoardToolFeature::PagesChanged()
{
    if (m_pView) m_pView->BoardPagesChanged();
}

void CBoardToolFeature::OnAddPage(int nPageType)
{
    // A reordered list is told whole: its first page with type 1 and its last with 2 (a list
    // of one page is a lone 2).
    bool bStarts = nPageType == 1 || (nPageType == 2 && !m_bRetelling);
    m_nPages = bStarts ? 1 : m_nPages + 1;
    m_bRetelling = nPageType == 1 || (m_bRetelling && nPageType == 0);
    PagesChanged();
}

void CBoardToolFeature::OnDeletePage()
{
    if (m_nPages > 0) --m_nPages;
    if (m_nCurrent >= m_nPages) m_nCurrent = m_nPages - 1;
    PagesChanged();
}

void CBoardToolFeature::OnSetCurrentPage(int nIndex)
{
    m_nCurrent = nIndex;
    PagesChanged();
}

void CBoardToolFeature::OnModeChange(int nMode)
{
    m_nMode = nMode;
    PagesChanged();
}

std::vector<ToolMenuItem> CBoardToolFeature::ZoomMenu() const
{
    std::vector<ToolMenuItem> items;
    for (unsigned i = 0; i < 10; ++i)
    {
        unsigned nCommand = CMD_ZOOM_FIRST + i;
        items.push_back({nCommand, kZoomLabels[i], i >= 8, 0, nCommand == m_nZoom});
    }
    return items;
}

std::vector<ToolMenuItem> CBoardToolFeature::WidthMenu() const
{
    unsigned nChecked = m_bHighlighter ? m_nHighlighterWidth : m_nPenWidth;
    std::vector<ToolMenuItem> items;
    for (unsigned n = CMD_WIDTH_FIRST; n <= CMD_WIDTH_LAST; ++n)
        items.push_back({n, "IDMS_BOARD_PIXEL", true, WidthOfCommand(n), n == nChecked});
    return items;
}
