// The floating board palette's rules: command map, pressed tool, page buttons, layout, placement.
#include "confclient/boardhost/BoardToolRules.h"

PaletteStep PaletteSelectTool(unsigned nId)
{
    using A = PaletteAction;
    switch (nId)
    {
    case PB_SCROLL:
        return {A::BarCommand, CMD_SCROLL, 0, PB_SCROLL};
    case PB_CHECK:
        return {A::BarCommand, CMD_CHECK, 0, PB_CHECK};
    case PB_POINT:
        return {A::BarCommand, CMD_POINTER, 0, PB_POINT};
    case PB_PEN:
        return {A::BarCommand, CMD_PEN, 0, PB_PEN};
    case PB_HIGHLIGHTER:
        return {A::BarCommand, CMD_HIGHLIGHTER, 0, PB_HIGHLIGHTER};
    case PB_TEXT:
        return {A::BarCommand, CMD_TEXT, 0, PB_TEXT};
    case PB_ERASER:
        return {A::BarCommand, CMD_ERASER, 0, PB_ERASER};
    case PB_LINE:
        return {A::LinePicker, 0, 0, PB_LINE};
    case PB_FIGURE:
        return {A::FigurePicker, 0, 0, PB_FIGURE};
    case PB_CLEAR_ALL:
        return {A::BarCommand, CMD_CLEAR_ALL, 0, 0};
    case PB_FONT:
        return {A::BarCommand, CMD_FONT, 0, 0};
    case PB_ZOOM:
        return {A::ZoomMenu, 0, 0, 0};
    case PB_PEN_WIDTH:
        return {A::WidthMenu, 0, 0, 0};
    case PB_GREEN:
        return {A::PenColour, 0, 0x00FF00, 0};
    case PB_BLUE:
        return {A::PenColour, 0, 0xFF0000, 0};
    case PB_RED:
        return {A::PenColour, 0, 0x0000FF, 0};
    case PB_BLACK:
        return {A::PenColour, 0, 0x000000, 0};
    case PB_WHITE:
        return {A::PenColour, 0, 0xFFFFFF, 0};
    case PB_COLOUR_CHOOSER:
        return {A::ColourWidth, CMD_COLOUR_CHOOSER, 0, 0};
    case LINE_FREE:
        return {A::ColourWidth, CMD_FREE_LINE, 0, PB_LINE};
    case LINE_STRAIGHT:
        return {A::ColourWidth, CMD_STRAIGHT_LINE, 0, PB_LINE};
    default:
        if (nId >= FIG_RECTANGLE && nId <= FIG_FILL_TRIANGLE)
            return {A::ColourWidth, CMD_FIGURE_FIRST + (nId - FIG_RECTANGLE), 0, PB_FIGURE};
        return {};
    }
}

ToolPress CheckToolPress(unsigned nId, bool bSlideShowPage)
{
    ToolPress press;
    if (nId < PB_SCROLL || nId > PB_FIGURE || bSlideShowPage) return press;
    press.nPressed = nId;
    // The pickers' buttons open a picker on every click; the other tools ignore a second one.
    if (nId != PB_LINE && nId != PB_FIGURE)
    {
        press.nSwallow = nId;
        press.bReleasePickers = true;
    }
    return press;
}

PageButtons PageButtonState(bool bWebMode, int nIndex, int nCount)
{
    if (bWebMode) return {true, true};
    if (nCount < 2) return {};
    return {nIndex >= 1, nIndex >= 0 && nIndex < nCount - 1};
}

int PaletteHeight(int nBoardMode, bool bLineFigureTools)
{
    if (nBoardMode == kBoardModeWeb) return 156;
    return bLineFigureTools ? 579 : 517;
}

namespace
{
constexpr int kMargin = 3;
constexpr int kGap = 6;
constexpr int kGroupGap = 14;
constexpr int kButtonHeight = 22;
constexpr int kPageButton = 16;
constexpr int kMinimizeButton = 12;
constexpr int kSwatch = 16;
constexpr int kPageTop = 27;
} // namespace

std::vector<PaletteButtonPlace> PaletteLayout(bool bWebMode, bool bLineFigureTools, int nWidth)
{
    std::vector<PaletteButtonPlace> out;
    out.push_back({PB_MINIMIZE, nWidth - 2 - kMinimizeButton, 2, kMinimizeButton, kMinimizeButton, true});
    out.push_back({PB_BACK, kMargin, kPageTop, kPageButton, kPageButton, true});
    out.push_back({PB_FORWARD, kMargin + 18, kPageTop, kPageButton, kPageButton, true});

    int y = kPageTop + kPageButton;
    const int cx = nWidth - 2 * kMargin;
    // One column of groups; a group's first button sits 14 pixels below the last one.
    auto column = [&](std::initializer_list<unsigned> ids, bool bShown)
    {
        bool bFirst = true;
        for (unsigned id : ids)
        {
            bool bThis = bShown && (bLineFigureTools || (id != PB_LINE && id != PB_FIGURE));
            if (!bThis)
            {
                out.push_back({id, 0, 0, cx, kButtonHeight, false});
                continue;
            }
            y += bFirst ? kGroupGap : kGap;
            bFirst = false;
            out.push_back({id, kMargin, y, cx, kButtonHeight, true});
            y += kButtonHeight;
        }
    };
    column({PB_STOP, PB_REFRESH, PB_HOME}, bWebMode);
    column({PB_SCROLL, PB_CHECK, PB_POINT, PB_PEN, PB_HIGHLIGHTER, PB_TEXT, PB_ERASER, PB_LINE, PB_FIGURE,
            PB_CLEAR_ALL, PB_FONT},
           !bWebMode);
    column({PB_ZOOM}, !bWebMode);
    column({PB_PEN_WIDTH, PB_COLOUR_CHOOSER}, !bWebMode);
    // The five colours two by two under the colour chooser.
    const unsigned colours[] = {PB_GREEN, PB_BLUE, PB_RED, PB_BLACK, PB_WHITE};
    for (size_t i = 0; i < 5; ++i)
    {
        int col = static_cast<int>(i % 2), row = static_cast<int>(i / 2);
        out.push_back({colours[i], kMargin + col * (kSwatch + 2), y + kGap + row * (kSwatch + kGap), kSwatch,
                       kSwatch, !bWebMode});
    }
    return out;
}

PalettePoint FirstFloatPlace(PalettePoint docked)
{
    return {docked.x - 5, docked.y + 5};
}

int PickerWidth(PickerKind kind)
{
    return kind == PICKER_FIGURES ? 200 : 66;
}

std::vector<PickerButtonPlace> PickerButtons(PickerKind kind)
{
    if (kind == PICKER_LINES) return {{LINE_FREE, 4, 2}, {LINE_STRAIGHT, 36, 2}};
    return {{FIG_RECTANGLE, 4, 2},        {FIG_CIRCLE, 36, 2},       {FIG_TRIANGLE, 68, 2},
            {FIG_FILL_RECTANGLE, 103, 2}, {FIG_FILL_CIRCLE, 134, 2}, {FIG_FILL_TRIANGLE, 166, 2}};
}

PalettePoint PickerOrigin(PickerKind kind, PalettePoint buttonTopLeft)
{
    return {buttonTopLeft.x - (kind == PICKER_FIGURES ? 205 : 72), buttonTopLeft.y - 2};
}

PalettePoint PickerShowPlace(PalettePoint wanted, int nWorkAreaLeft, int nPaletteRight)
{
    if (wanted.x < nWorkAreaLeft) wanted.x = nPaletteRight;
    return wanted;
}

bool PaletteCanDraw(bool bDrawOpenToAll, bool bControlRight, int nMyNumber, int nPresenterNumber)
{
    return bDrawOpenToAll || bControlRight || nMyNumber == nPresenterNumber;
}

bool PaletteShown(const PaletteShowState& s)
{
    return s.bBoardShown && (s.bDrawRight || s.bControlRight || s.bPresenter) &&
           s.nBoardMode != kBoardModeSlideShow && !s.bPlayer;
}
