// The floating board palette's rules that need no window: what each button does, which
// buttons show pressed, which page buttons are enabled, the palette's height and button places,
// where it floats, where a figure picker opens, and when the palette shows.
#pragma once
#include <cstdint>
#include <vector>

// The palette's buttons (dialog item ids).
enum PaletteButtonId : unsigned
{
    PB_SCROLL = 1389,
    PB_CHECK = 1390,
    PB_POINT = 1391,
    PB_PEN = 1392,
    PB_HIGHLIGHTER = 1393,
    PB_TEXT = 1394,
    PB_ERASER = 1395,
    PB_LINE = 1396,
    PB_FIGURE = 1397,
    PB_CLEAR_ALL = 1398,
    PB_FONT = 1399,
    PB_ZOOM = 1400,
    PB_PEN_WIDTH = 1401,
    PB_GREEN = 1402,
    PB_BLUE = 1403,
    PB_RED = 1404,
    PB_BLACK = 1405,
    PB_COLOUR_CHOOSER = 1406,
    PB_BACK = 1407,
    PB_FORWARD = 1408,
    PB_MINIMIZE = 1528,
    PB_WHITE = 1541,
    PB_STOP = 1542,
    PB_HOME = 1543,
    PB_REFRESH = 1544,
};

// The figure pickers' buttons: six shapes and two line styles.
enum PickerButtonId : unsigned
{
    FIG_RECTANGLE = 1522,
    FIG_CIRCLE = 1523,
    FIG_TRIANGLE = 1524,
    FIG_FILL_RECTANGLE = 1525,
    FIG_FILL_CIRCLE = 1526,
    FIG_FILL_TRIANGLE = 1527,
    LINE_FREE = 1530,
    LINE_STRAIGHT = 1531,
};

// Control-bar commands of the board tools.
enum BoardToolCommand : unsigned
{
    CMD_PEN = 32928,
    CMD_FREE_LINE = 32929,
    CMD_HIGHLIGHTER = 32930,
    CMD_COLOUR_CHOOSER = 32932,
    CMD_WIDTH_FIRST = 32933, // 1, 3, 5, 10, 20, 30 pixels up to 32938
    CMD_WIDTH_LAST = 32938,
    CMD_CHECK = 32939,
    CMD_POINTER = 32940,
    CMD_ZOOM_FIRST = 32941, // 25 % up to 300 %, then fit width (32949) and fit page (32950)
    CMD_ZOOM_LAST = 32950,
    CMD_SCROLL = 32964,
    CMD_FIGURE_FIRST = 32989, // rectangle, circle, triangle and their filled forms up to 32994
    CMD_FIGURE_LAST = 32994,
    CMD_STRAIGHT_LINE = 33005,
    CMD_TEXT = 1394,
    CMD_ERASER = 1395,
    CMD_CLEAR_ALL = 1398,
    CMD_FONT = 1399,
};

// What SelectTool does with a button or picker id.
enum class PaletteAction
{
    None,         // ignored
    BarCommand,   // a tool command to the control bar (as chosen from its menu)
    ColourWidth,  // a command to the control bar's colour/width handler
    PenColour,    // message 2028 with the colour to the control bar
    LinePicker,   // open the line-style picker
    FigurePicker, // open the figure picker
    ZoomMenu,     // the zoom menu below the button
    WidthMenu,    // the pen-width menu above the button's bottom
};

struct PaletteStep
{
    PaletteAction action = PaletteAction::None;
    unsigned nCommand = 0; // BarCommand and ColourWidth
    uint32_t colour = 0;   // PenColour, 0x00BBGGRR
    unsigned nPress = 0;   // the tool button shown pressed afterwards, 0 for none
};

// SelectTool's map of palette buttons (1389..1541) and picker commands; ids outside are None.
PaletteStep PaletteSelectTool(unsigned nId);

// CheckToolButton: the tool button shown pressed and the one whose clicks are swallowed.
struct ToolPress
{
    unsigned nPressed = 0;        // 0: every tool button released
    unsigned nSwallow = 0;        // the pressed button that ignores the mouse, 0 for none
    bool bReleasePickers = false; // the figure pickers release their own buttons
};
ToolPress CheckToolPress(unsigned nId, bool bSlideShowPage);

// Back and forward: in web mode both (the browser then says which it can do); else by the
// page index and count of the agenda.
struct PageButtons
{
    bool bBack = false;
    bool bForward = false;
};
PageButtons PageButtonState(bool bWebMode, int nIndex, int nCount);

constexpr int kBoardModeWeb = 1;
constexpr int kBoardModeSlideShow = 6;

// The palette's height: 156 in web mode, else 579 with the line and figure tools, else 517.
int PaletteHeight(int nBoardMode, bool bLineFigureTools);

// One button's place in the palette's client area.
struct PaletteButtonPlace
{
    unsigned nId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    bool bShown = false;
};
constexpr int kPaletteWidth = 40;
// Every palette button in layout order, shown or not, for a palette nWidth pixels wide.
std::vector<PaletteButtonPlace> PaletteLayout(bool bWebMode, bool bLineFigureTools, int nWidth);

struct PalettePoint
{
    int x = 0, y = 0;
};
// The first float opens 5 pixels left of and 5 below the docked place.
PalettePoint FirstFloatPlace(PalettePoint docked);

// The figure pickers: kind 1 figures (200 x 30), kind 2 line styles (66 x 30).
enum PickerKind
{
    PICKER_FIGURES = 1,
    PICKER_LINES = 2,
};
struct PickerButtonPlace
{
    unsigned nId = 0;
    int x = 0, y = 0;
};
constexpr int kPickerHeight = 30;
constexpr int kPickerButtonSize = 28;
int PickerWidth(PickerKind kind);
std::vector<PickerButtonPlace> PickerButtons(PickerKind kind);
// Where a picker opens for its palette button: 72 (lines) or 205 (figures) left of it, 2 above.
PalettePoint PickerOrigin(PickerKind kind, PalettePoint buttonTopLeft);
// ShowAt: a place left of the monitor's work area moves to the palette's right edge.
PalettePoint PickerShowPlace(PalettePoint wanted, int nWorkAreaLeft, int nPaletteRight);

// Who may draw and clear: a session flag that opens drawing to all, the control right, or the
// presenter.
bool PaletteCanDraw(bool bDrawOpenToAll, bool bControlRight, int nMyNumber, int nPresenterNumber);

// The visibility rule of the palette.
struct PaletteShowState
{
    bool bBoardShown = false;
    bool bDrawRight = false;
    bool bControlRight = false;
    bool bPresenter = false;
    int nBoardMode = 0;
    bool bPlayer = false;
};
bool PaletteShown(const PaletteShowState& s);
