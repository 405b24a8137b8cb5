// The board tools the bar's Draw menu chooses, and File's board save and print: each command's
// effect on the whiteboard (draw mode, line thickness, highlighter, zoom, erase all, font, save,
// print) and which items carry the checks.
#pragma once
#include <cstdint>
#include <optional>

// What a command asks of the board; unset fields are left alone.
struct S_BOARDACTIONS
{
    std::optional<short> nDrawMode;
    std::optional<short> nLineThick;
    std::optional<bool> bFluorescent;
    std::optional<short> nZoom; // percent, 4096 fit width, 8192 fit page
    bool bClear = false;        // erase all
    bool bFontDialog = false;
    bool bSave = false;                   // the board's pages to a file (File save)
    bool bPrint = false;                  // File print
    std::optional<uint32_t> dwLineColour; // the pen colour, 0x00BBGGRR
    bool operator==(const S_BOARDACTIONS&) const = default;
};

class CBoardTools
{
public:
    static constexpr int kPenTool = 32928;
    static constexpr int kHighlighter = 32930;

    // A Draw-menu command (or the same command from the floating board tool); nullopt for one
    // that is no board tool.
    std::optional<S_BOARDACTIONS> OnCommand(int nCommand);

    int Tool() const { return m_nTool; }                // the checked tool command, 0 none
    int PenWidthCommand() const { return m_nPenWidth; } // 32933-32938
    int HighlighterWidthCommand() const { return m_nHighlighterWidth; }
    // The width item checked in the menu: the highlighter's while it is the tool.
    int CheckedWidthCommand() const { return m_bHighlighter ? m_nHighlighterWidth : m_nPenWidth; }
    int ZoomCommand() const { return m_nZoom; }
    bool Highlighter() const { return m_bHighlighter; }
    // The zoom the board reports (as its menu item) carries the check, whoever chose it.
    void ShowZoom(int nCommand) { m_nZoom = nCommand; }

private:
    S_BOARDACTIONS DrawTool(int nCommand, short nMode);
    int m_nTool = 0;
    int m_nPenWidth = 32935;
    int m_nHighlighterWidth = 32936;
    int m_nZoom = 32949;
    bool m_bHighlighter = false;
};

// The thickness of a width command (32933-32938: 1, 3, 5, 10, 20, 30); 0 for another.
short LineThickOfCommand(int nCommand);
