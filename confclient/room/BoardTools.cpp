// The board tools: draw modes, widths and zoom by command.
#include "confclient/room/BoardTools.h"

short LineThickOfCommand(int nCommand)
{
    static const short thick[] = {1, 3, 5, 10, 20, 30};
    return nCommand >= 32933 && nCommand <= 32938 ? thick[nCommand - 32933] : 0;
}

S_BOARDACTIONS CBoardTools::DrawTool(int nCommand, short nMode)
{
    // A drawing tool leaves the highlighter and draws with the pen's width.
    S_BOARDACTIONS a;
    if (m_bHighlighter) a.bFluorescent = false;
    m_bHighlighter = false;
    a.nDrawMode = nMode;
    a.nLineThick = LineThickOfCommand(m_nPenWidth);
    m_nTool = nCommand;
    return a;
}

std::optional<S_BOARDACTIONS> CBoardTools::OnCommand(int nCommand)
{
    S_BOARDACTIONS a;
    switch (nCommand)
    {
    case 32964: // scroll
        m_nTool = nCommand;
        a.nDrawMode = 6;
        return a;
    case kPenTool:
        return DrawTool(nCommand, 0);
    case 32929:
        return DrawTool(nCommand, 1);
    case 33005:
        return DrawTool(nCommand, 13);
    case kHighlighter:
        m_bHighlighter = true;
        m_nTool = nCommand;
        a.bFluorescent = true;
        a.nDrawMode = 0;
        a.nLineThick = LineThickOfCommand(m_nHighlighterWidth);
        return a;
    case 32939: // check mark
        m_nTool = nCommand;
        a.nDrawMode = 5;
        return a;
    case 32940: // pointer, outside a presentation page
        m_nTool = nCommand;
        a.nDrawMode = 4;
        return a;
    case 1394: // text
        m_nTool = nCommand;
        a.nDrawMode = 3;
        return a;
    case 1399: // the font dialog; the tool stays
        a.bFontDialog = true;
        return a;
    case 1395: // eraser
        m_nTool = nCommand;
        a.nDrawMode = 2;
        return a;
    case 1398: // erase all; the tool stays
        a.bClear = true;
        return a;
    case 32917: // File save and print: the board's own; the tool stays
        a.bSave = true;
        return a;
    case 32963:
        a.bPrint = true;
        return a;
    case 32949:
        m_nZoom = nCommand;
        a.nZoom = 4096;
        return a;
    case 32950:
        m_nZoom = nCommand;
        a.nZoom = 8192;
        return a;
    default:
        break;
    }
    if (short nThick = LineThickOfCommand(nCommand))
    {
        (m_bHighlighter ? m_nHighlighterWidth : m_nPenWidth) = nCommand;
        a.nLineThick = nThick;
        return a;
    }
    if (nCommand >= 32989 && nCommand <= 32994)
        return DrawTool(nCommand, static_cast<short>(nCommand - 32989 + 7));
    static const short zoom[] = {25, 50, 75, 100, 125, 150, 200, 300};
    if (nCommand >= 32941 && nCommand <= 32948)
    {
        m_nZoom = nCommand;
        a.nZoom = zoom[nCommand - 32941];
        return a;
    }
    return std::nullopt;
}
