// The board palette and its pickers: buttons, layout, docking and floating, menus and pickers.
#include "confclient/boardhost/FloatingBoardToolDlg.h"

#include <algorithm>
#include <cstring>

#include <commdlg.h>

#include "confclient/boardhost/RoomBoard.h"
#include "resources/ResourceIds.h"

namespace
{
constexpr COLORREF kPaletteFill = 0xF4F4F4;
constexpr COLORREF kPaletteLine = 0xB8B8B8;
constexpr COLORREF kPickerFill = 0xF4EDDE;
constexpr COLORREF kHoverFill = 0xFBE3C8;
constexpr COLORREF kPressedFill = 0xE8C08C;
constexpr COLORREF kFrame = 0x9C7A4F;

struct ButtonFace
{
    unsigned nId;
    const char* pszTip;
    const wchar_t* pszGlyph; // a short label for buttons without a drawn glyph
};
// The palette's buttons, their tool-tip keys and labels; colours and shapes are drawn.
constexpr ButtonFace kFaces[] = {
    {PB_MINIMIZE, "IDCT_BTN_MINIMIZE", L""},
    {PB_BACK, "IDMS_BACKWARD", L"<"},
    {PB_FORWARD, "IDMS_FORWARD", L">"},
    {PB_SCROLL, "IDMS_MENU_DRAW_SCROLL", L"Move"},
    {PB_CHECK, "IDMS_BOARD_CHECK", L"\x221A"},
    {PB_POINT, "IDMS_BOARD_POINT", L"Ptr"},
    {PB_PEN, "IDMS_BOARD_DRAW", L"Pen"},
    {PB_HIGHLIGHTER, "IDMS_BOARD_FLUORESCENCE", L"Hi"},
    {PB_TEXT, "IDMS_BOARD_FONT", L"T"},
    {PB_ERASER, "IDMS_BOARD_ERASER", L"Eras"},
    {PB_LINE, "IDMS_BOARD_LINE", L""},
    {PB_FIGURE, "IDMS_BOARD_FIGURE", L""},
    {PB_CLEAR_ALL, "IDMS_BOARD_ALL_ERASER", L"Clr"},
    {PB_FONT, "IDMS_BOARD_SETFONT", L"Aa"},
    {PB_ZOOM, "IDMS_BOARD_MZOOM", L"Zoom"},
    {PB_PEN_WIDTH, "IDMS_BOARD_PEN_WIDTH", L""},
    {PB_COLOUR_CHOOSER, "IDMS_BOARD_PEN_COLOR", L"..."},
    {PB_GREEN, "IDMS_BOARD_PEN_COLOR_GREEN", L""},
    {PB_BLUE, "IDMS_BOARD_PEN_COLOR_BLUE", L""},
    {PB_RED, "IDMS_BOARD_PEN_COLOR_RED", L""},
    {PB_BLACK, "IDMS_BOARD_PEN_COLOR_BLACK", L""},
    {PB_WHITE, "IDMS_BOARD_PEN_COLOR_WHITE", L""},
    {PB_STOP, "IDMS_STOP", L"Stop"},
    {PB_REFRESH, "IDMS_REFRESH", L"Rfsh"},
    {PB_HOME, "IDMS_HOME", L"Home"},
};
constexpr ButtonFace kPickerFaces[] = {
    {FIG_RECTANGLE, "IDMS_BOARD_RECTANGLE", L""},
    {FIG_CIRCLE, "IDMS_BOARD_CIRCLE", L""},
    {FIG_TRIANGLE, "IDMS_BOARD_TRIANGLE", L""},
    {FIG_FILL_RECTANGLE, "IDMS_BOARD_FILL_RECTANGLE", L""},
    {FIG_FILL_CIRCLE, "IDMS_BOARD_FILL_CIRCLE", L""},
    {FIG_FILL_TRIANGLE, "IDMS_BOARD_FILL_TRIANGLE", L""},
    {LINE_FREE, "IDMS_BOARD_LINE", L""},
    {LINE_STRAIGHT, "IDMS_BOARD_HORIZ", L""},
};

const ButtonFace* FaceOf(unsigned nId)
{
    for (const ButtonFace& f : kFaces)
        if (f.nId == nId) return &f;
    for (const ButtonFace& f : kPickerFaces)
        if (f.nId == nId) return &f;
    return nullptr;
}

bool IsSwatch(unsigned nId, uint32_t& colour)
{
    PaletteStep s = PaletteSelectTool(nId);
    colour = s.colour;
    return s.action == PaletteAction::PenColour;
}

// Draws a shape glyph: the figures (filled or not), the line styles and the width and pickers.
void DrawShape(HDC hDC, unsigned nId, const RECT& rc, COLORREF ink)
{
    int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
    int r = std::min(rc.right - rc.left, rc.bottom - rc.top) / 2 - 5;
    if (r < 3) r = 3;
    bool bFilled = nId == FIG_FILL_RECTANGLE || nId == FIG_FILL_CIRCLE || nId == FIG_FILL_TRIANGLE;
    HPEN hPen = ::CreatePen(PS_SOLID, 1, ink);
    HBRUSH hBrush = bFilled ? ::CreateSolidBrush(ink) : static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    HGDIOBJ hOldPen = ::SelectObject(hDC, hPen);
    HGDIOBJ hOldBrush = ::SelectObject(hDC, hBrush);
    POINT tri[3] = {{cx, cy - r}, {cx + r, cy + r}, {cx - r, cy + r}};
    switch (nId)
    {
    case FIG_RECTANGLE:
    case FIG_FILL_RECTANGLE:
    case PB_FIGURE:
        ::Rectangle(hDC, cx - r, cy - r + 2, cx + r, cy + r - 1);
        break;
    case FIG_CIRCLE:
    case FIG_FILL_CIRCLE:
        ::Ellipse(hDC, cx - r, cy - r, cx + r, cy + r);
        break;
    case FIG_TRIANGLE:
    case FIG_FILL_TRIANGLE:
        ::Polygon(hDC, tri, 3);
        break;
    case LINE_FREE:
    case PB_LINE:
    {
        POINT wave[4] = {
            {cx - r, cy + r / 2}, {cx - r / 3, cy - r / 2}, {cx + r / 3, cy + r / 2}, {cx + r, cy - r / 2}};
        ::Polyline(hDC, wave, 4);
        break;
    }
    case LINE_STRAIGHT:
        ::MoveToEx(hDC, cx - r, cy + r / 2, nullptr);
        ::LineTo(hDC, cx + r, cy - r / 2);
        break;
    case PB_PEN_WIDTH:
        for (int i = 0; i < 3; ++i)
        {
            RECT bar{cx - r, cy - 5 + i * 4, cx + r, cy - 5 + i * 4 + i + 1};
            ::FillRect(hDC, &bar, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
        break;
    case PB_MINIMIZE:
        ::MoveToEx(hDC, rc.left + 2, rc.bottom - 4, nullptr);
        ::LineTo(hDC, rc.right - 2, rc.bottom - 4);
        break;
    default:
        break;
    }
    ::SelectObject(hDC, hOldBrush);
    ::SelectObject(hDC, hOldPen);
    ::DeleteObject(hPen);
    if (bFilled) ::DeleteObject(hBrush);
}
} // namespace

// --- CPaletteButton ---------------------------------------------------------------------------

BOOL CPaletteButton::Create(CWnd* pParent, const RECT& rc)
{
    return CreateEx(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, rc, pParent->m_hWnd, m_nId);
}

void CPaletteButton::SetPressed(bool bPressed)
{
    if (bPressed == m_bPressed) return;
    m_bPressed = bPressed;
    if (m_hWnd) Invalidate(FALSE);
}

LRESULT CPaletteButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        if (m_bSwallow) return 0;
        break;
    case WM_MOUSEMOVE:
        if (m_bSwallow) return 0;
        if (!m_bHover)
        {
            m_bHover = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&track);
            Invalidate(FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        m_bHover = false;
        Invalidate(FALSE);
        break;
    default:
        break;
    }
    return CButton::WindowProc(msg, wParam, lParam);
}

void CPaletteButton::DrawGlyph(HDC hDC, const RECT& rc, COLORREF ink) const
{
    const ButtonFace* pFace = FaceOf(m_nId);
    if (pFace && pFace->pszGlyph[0])
    {
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, ink);
        RECT text = rc;
        ::DrawTextW(hDC, pFace->pszGlyph, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    DrawShape(hDC, m_nId, rc, ink);
}

void CPaletteButton::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    HDC hDC = pDIS->hDC;
    RECT rc = pDIS->rcItem;
    bool bDisabled = (pDIS->itemState & ODS_DISABLED) != 0;
    bool bDown = m_bPressed || (pDIS->itemState & ODS_SELECTED);
    COLORREF fill = bDown ? kPressedFill : (m_bHover && !bDisabled ? kHoverFill : kPaletteFill);
    HBRUSH hFill = ::CreateSolidBrush(fill);
    ::FillRect(hDC, &rc, hFill);
    ::DeleteObject(hFill);
    if (m_bSwatch)
    {
        RECT inner{rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
        HBRUSH hColour = ::CreateSolidBrush(m_colour);
        ::FillRect(hDC, &inner, hColour);
        ::DeleteObject(hColour);
    }
    else
    {
        HGDIOBJ hOldFont = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
        DrawGlyph(hDC, rc, bDisabled ? kPaletteLine : RGB(0, 0, 0));
        ::SelectObject(hDC, hOldFont);
    }
    if (bDown || m_bHover || m_bSwatch)
    {
        HBRUSH hFrame = ::CreateSolidBrush(bDown || m_bHover ? kFrame : kPaletteLine);
        ::FrameRect(hDC, &rc, hFrame);
        ::DeleteObject(hFrame);
    }
}

// --- CDrawFigure ------------------------------------------------------------------------------

BOOL CDrawFigure::Create(CWnd* pOwner)
{
    return CDialog::Create(IDD_DRAWFIGURE, pOwner);
}

BOOL CDrawFigure::OnInitDialog()
{
    m_tip.Create(this);
    for (const PickerButtonPlace& p : PickerButtons(m_kind))
    {
        auto pButton = std::make_unique<CPaletteButton>(p.nId, false, 0);
        RECT rc{p.x, p.y, p.x + kPickerButtonSize, p.y + kPickerButtonSize - 2};
        if (!pButton->Create(this, rc)) continue;
        pButton->ShowWindow(SW_SHOW);
        if (const ButtonFace* pFace = FaceOf(p.nId))
        {
            std::wstring tip = m_palette.ToolTipText(pFace->pszTip);
            m_tip.AddTool(pButton.get(), tip.c_str());
        }
        m_buttons[p.nId] = std::move(pButton);
    }
    return FALSE;
}

bool CDrawFigure::Holds(HWND hWnd) const
{
    for (const auto& [id, p] : m_buttons)
        if (p->m_hWnd == hWnd) return true;
    return false;
}

void CDrawFigure::ShowAt(int x, int y)
{
    HMONITOR hMon = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(hMon, &mi);
    RECT rcPalette{};
    ::GetWindowRect(m_palette.m_hWnd, &rcPalette);
    PalettePoint at = PickerShowPlace({x, y}, mi.rcWork.left, rcPalette.right);
    ::SetWindowPos(m_hWnd, HWND_TOP, at.x, at.y, PickerWidth(m_kind), kPickerHeight, SWP_SHOWWINDOW);
    ::SetActiveWindow(m_hWnd);
}

void CDrawFigure::Hide()
{
    if (m_hWnd) ShowWindow(SW_HIDE);
}

void CDrawFigure::PressButton(unsigned nId)
{
    for (auto& [id, p] : m_buttons)
        p->SetPressed(id == nId);
}

BOOL CDrawFigure::OnCommand(WPARAM wParam, LPARAM lParam)
{
    unsigned nId = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && m_buttons.count(nId))
    {
        Hide();
        m_palette.SelectTool(nId);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CDrawFigure::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    HBRUSH hFill = ::CreateSolidBrush(kPickerFill);
    ::FillRect(hDC, &rc, hFill);
    ::DeleteObject(hFill);
    ::FrameRect(hDC, &rc, ::GetSysColorBrush(COLOR_BTNSHADOW));
    if (m_kind == PICKER_FIGURES)
    {
        RECT sep{100, 3, 101, rc.bottom - 3};
        ::FillRect(hDC, &sep, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
    return TRUE;
}

LRESULT CDrawFigure::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_ACTIVATE:
        // Losing the activation closes the picker; the palette's tool shows pressed again.
        if (LOWORD(wParam) == WA_INACTIVE && IsWindowVisible())
        {
            Hide();
            m_palette.PressSelectedTool();
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_CANCEL)
        {
            Hide();
            m_palette.PressSelectedTool();
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

// --- CFloatingBoardToolDlg -------------------------------------------------------------------

CFloatingBoardToolDlg::CFloatingBoardToolDlg() : CDialog(IDD_FLOATINGBOARDTOOL, nullptr) {}

CFloatingBoardToolDlg::~CFloatingBoardToolDlg()
{
    if (m_pBoard) m_pBoard->Tools().SetView(nullptr);
    // The tool tips go first: they refer to the buttons.
    if (m_tip.m_hWnd) m_tip.DestroyWindow();
}

BOOL CFloatingBoardToolDlg::Create(CWnd* pParent)
{
    return CDialog::Create(m_nIDTemplate, pParent);
}

std::wstring CFloatingBoardToolDlg::ToolTipText(const char* pszKey) const
{
    if (!m_pSession) return std::wstring();
    std::u16string text = m_pSession->BoardHost().IniText(std::u16string(pszKey, pszKey + strlen(pszKey)));
    return std::wstring(text.begin(), text.end());
}

BOOL CFloatingBoardToolDlg::OnInitDialog()
{
    // A tool window, never on the task bar.
    LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    MakeButtons();
    Relayout();
    return FALSE;
}

void CFloatingBoardToolDlg::Attach(CRoomBoard& board, IRoomBoardSession& session)
{
    m_pBoard = &board;
    m_pSession = &session;
    board.Tools().SetView(this);
    std::wstring title = ToolTipText("IDMS_DRAWTOOLTITLE");
    SetWindowText(title.c_str());
    MakeToolTips();
    SelectTool(PB_PEN);
    UpdatePageButtons();
}

void CFloatingBoardToolDlg::MakeButtons()
{
    for (const PaletteButtonPlace& p : PaletteLayout(false, true, kPaletteWidth))
    {
        // Without a browser in the room the board never shows a web page: no web buttons.
        if (p.nId == PB_STOP || p.nId == PB_REFRESH || p.nId == PB_HOME) continue;
        uint32_t colour = 0;
        bool bSwatch = IsSwatch(p.nId, colour);
        auto pButton = std::make_unique<CPaletteButton>(p.nId, bSwatch, colour);
        RECT rc{p.x, p.y, p.x + p.cx, p.y + p.cy};
        if (pButton->Create(this, rc)) m_buttons[p.nId] = std::move(pButton);
    }
}

void CFloatingBoardToolDlg::MakeToolTips()
{
    if (m_tip.m_hWnd) m_tip.DestroyWindow();
    if (!m_tip.Create(this)) return;
    for (auto& [id, p] : m_buttons)
        if (const ButtonFace* pFace = FaceOf(id))
        {
            std::wstring tip = ToolTipText(pFace->pszTip);
            m_tip.AddTool(p.get(), tip.c_str());
        }
}

HWND CFloatingBoardToolDlg::ButtonWindow(unsigned nId) const
{
    auto it = m_buttons.find(nId);
    return it == m_buttons.end() ? nullptr : it->second->m_hWnd;
}

int CFloatingBoardToolDlg::PaletteHeightNow() const
{
    int nMode = m_pBoard ? m_pBoard->Tools().BoardMode() : 0;
    return PaletteHeight(nMode, m_bLineFigure);
}

void CFloatingBoardToolDlg::Relayout()
{
    int nMode = m_pBoard ? m_pBoard->Tools().BoardMode() : 0;
    bool bWeb = nMode == kBoardModeWeb;
    for (const PaletteButtonPlace& p : PaletteLayout(bWeb, m_bLineFigure, kPaletteWidth))
    {
        HWND h = ButtonWindow(p.nId);
        if (!h) continue;
        ::SetWindowPos(h, nullptr, p.x, p.y, p.cx, p.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE | (p.bShown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    if (m_bFloating)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, kPaletteWidth, PaletteHeightNow(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
    {
        RECT rc;
        GetWindowRect(&rc);
        // Docked the room lays the palette out; it only keeps its width.
        if (rc.right - rc.left != kPaletteWidth)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, kPaletteWidth, PaletteHeightNow(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_nShownMode = nMode;
    UpdatePageButtons();
}

void CFloatingBoardToolDlg::UpdatePageButtons()
{
    if (!m_pBoard) return;
    const CBoardToolFeature& t = m_pBoard->Tools();
    PageButtons b = PageButtonState(t.BoardMode() == kBoardModeWeb, t.CurrentPage(), t.PageCount());
    if (HWND h = ButtonWindow(PB_BACK)) ::EnableWindow(h, b.bBack);
    if (HWND h = ButtonWindow(PB_FORWARD)) ::EnableWindow(h, b.bForward);
}

void CFloatingBoardToolDlg::BoardPagesChanged()
{
    if (m_pBoard && m_pBoard->Tools().BoardMode() != m_nShownMode)
    {
        Relayout();
        ApplyVisibility();
    }
    UpdatePageButtons();
}

void CFloatingBoardToolDlg::SetRoomState(const PaletteShowState& show, bool bCanDraw, bool bLineFigureTools)
{
    m_show = show;
    if (m_pBoard) m_show.nBoardMode = m_pBoard->Tools().BoardMode();
    m_bCanDraw = bCanDraw;
    if (bLineFigureTools != m_bLineFigure)
    {
        m_bLineFigure = bLineFigureTools;
        Relayout();
    }
    if (HWND h = ButtonWindow(PB_CLEAR_ALL)) ::EnableWindow(h, bCanDraw);
    ApplyVisibility();
}

void CFloatingBoardToolDlg::ApplyVisibility()
{
    if (!m_hWnd) return;
    if (m_pBoard) m_show.nBoardMode = m_pBoard->Tools().BoardMode();
    // Docked, the room's layout shows and hides the palette with the board.
    bool bShow = m_bFloating ? PaletteShown(m_show) : MayShow();
    if (bShow != (IsWindowVisible() != FALSE)) ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
}

void CFloatingBoardToolDlg::SelectTool(unsigned nId, long colour)
{
    if (!m_hWnd || !m_pBoard) return;
    PaletteStep step = PaletteSelectTool(nId);
    CBoardToolFeature& tools = m_pBoard->Tools();
    switch (step.action)
    {
    case PaletteAction::BarCommand:
        tools.RouteLayoutCommand(step.nCommand);
        break;
    case PaletteAction::ColourWidth:
        tools.ColourWidthCommand(step.nCommand);
        break;
    case PaletteAction::PenColour:
        tools.OnPenColour(colour >= 0 ? static_cast<uint32_t>(colour) : step.colour);
        break;
    case PaletteAction::LinePicker:
        OpenPicker(PICKER_LINES, nId);
        break;
    case PaletteAction::FigurePicker:
        OpenPicker(PICKER_FIGURES, nId);
        break;
    case PaletteAction::ZoomMenu:
        OpenMenu(true);
        break;
    case PaletteAction::WidthMenu:
        OpenMenu(false);
        break;
    case PaletteAction::None:
        break;
    }
}

void CFloatingBoardToolDlg::CheckToolButton(unsigned nId)
{
    ToolPress press = CheckToolPress(nId, m_pBoard && m_pBoard->Tools().BoardMode() == kBoardModeSlideShow);
    for (unsigned id = PB_SCROLL; id <= PB_FIGURE; ++id)
    {
        auto it = m_buttons.find(id);
        if (it == m_buttons.end()) continue;
        it->second->SetPressed(id == press.nPressed);
        it->second->SetSwallow(id == press.nSwallow);
    }
    if (nId >= PB_SCROLL && nId <= PB_FIGURE) m_nSelectedTool = nId;
    if (press.bReleasePickers)
    {
        if (m_pFigures) m_pFigures->PressButton(0);
        if (m_pLines) m_pLines->PressButton(0);
    }
}

void CFloatingBoardToolDlg::OpenPicker(PickerKind kind, unsigned nButton)
{
    std::unique_ptr<CDrawFigure>& pPicker = kind == PICKER_FIGURES ? m_pFigures : m_pLines;
    if (!pPicker)
    {
        pPicker = std::make_unique<CDrawFigure>(kind, *this);
        if (!pPicker->Create(this))
        {
            pPicker.reset();
            return;
        }
    }
    // The other picker closes; this button shows pressed while its picker is open.
    if (CDrawFigure* pOther = Picker(kind == PICKER_FIGURES ? PICKER_LINES : PICKER_FIGURES)) pOther->Hide();
    if (auto it = m_buttons.find(nButton); it != m_buttons.end()) it->second->SetPressed(true);
    RECT rc{};
    ::GetWindowRect(ButtonWindow(nButton), &rc);
    PalettePoint at = PickerOrigin(kind, {rc.left, rc.top});
    pPicker->ShowAt(at.x, at.y);
}

void CFloatingBoardToolDlg::OpenMenu(bool bZoom)
{
    if (!m_pBoard) return;
    CBoardToolFeature& tools = m_pBoard->Tools();
    HMENU hMenu = ::CreatePopupMenu();
    if (!hMenu) return;
    std::wstring pixel = ToolTipText("IDMS_BOARD_PIXEL");
    for (const ToolMenuItem& item : bZoom ? tools.ZoomMenu() : tools.WidthMenu())
    {
        std::wstring label;
        if (item.nPixels)
            label = std::to_wstring(item.nPixels) + L" " + pixel;
        else if (item.bKey)
            label = ToolTipText(item.label.c_str());
        else
            label.assign(item.label.begin(), item.label.end());
        ::AppendMenuW(hMenu, MF_STRING | (item.bChecked ? MF_CHECKED : 0), item.nCommand, label.c_str());
    }
    RECT rc{};
    ::GetWindowRect(ButtonWindow(bZoom ? PB_ZOOM : PB_PEN_WIDTH), &rc);
    int y = bZoom ? rc.bottom : rc.bottom - 2;
    auto nCommand = static_cast<unsigned>(::TrackPopupMenu(
        hMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, rc.left, y, 0, m_hWnd, nullptr));
    ::DestroyMenu(hMenu);
    if (!nCommand) return;
    if (bZoom)
        tools.ZoomCommand(nCommand);
    else
        tools.ColourWidthCommand(nCommand);
}

void CFloatingBoardToolDlg::ChooseColour(uint32_t current)
{
    static COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = current;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&cc) && m_pBoard) m_pBoard->Tools().OnPenColour(cc.rgbResult);
}

void CFloatingBoardToolDlg::MovePage(int nStep)
{
    if (!m_pBoard) return;
    const CBoardToolFeature& t = m_pBoard->Tools();
    int nIndex = t.CurrentPage() + nStep;
    if (nIndex >= 0 && nIndex < t.PageCount()) m_pBoard->Board().SetCurrentPage(nIndex);
}

void CFloatingBoardToolDlg::ToggleDocking()
{
    HWND hRoom = m_bFloating ? ::GetWindow(m_hWnd, GW_OWNER) : GetParent();
    RECT rc{};
    GetWindowRect(&rc);
    if (!m_bFloating)
    {
        // Floating: a top-level tool window, first 5 pixels left and down of the docked place.
        if (!m_bFloatedBefore)
        {
            PalettePoint at = FirstFloatPlace({rc.left, rc.top});
            m_rcFloat = {at.x, at.y, at.x + kPaletteWidth, at.y + PaletteHeightNow()};
            m_bFloatedBefore = true;
        }
        ShowWindow(SW_HIDE);
        ModifyStyle(WS_CHILD, WS_POPUP | WS_BORDER);
        ::SetParent(m_hWnd, nullptr);
        // Owned by the room window so that it stays above it.
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hRoom));
        m_bFloating = true;
        ::SetWindowPos(m_hWnd, HWND_TOP, m_rcFloat.left, m_rcFloat.top, kPaletteWidth, PaletteHeightNow(),
                       SWP_FRAMECHANGED | SWP_NOACTIVATE);
        MakeToolTips();
    }
    else
    {
        ShowWindow(SW_HIDE);
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, 0);
        ModifyStyle(WS_POPUP | WS_BORDER, WS_CHILD);
        ::SetParent(m_hWnd, hRoom);
        m_bFloating = false;
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    Relayout();
    ApplyVisibility();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (m_pSession) m_pSession->BoardPaletteDocked(!m_bFloating);
}

BOOL CFloatingBoardToolDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    unsigned nId = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED || !m_buttons.count(nId)) return CDialog::OnCommand(wParam, lParam);
    switch (nId)
    {
    case PB_MINIMIZE:
        ToggleDocking();
        break;
    case PB_BACK:
        MovePage(-1);
        break;
    case PB_FORWARD:
        MovePage(1);
        break;
    default:
        SelectTool(nId);
        break;
    }
    return TRUE;
}

BOOL CFloatingBoardToolDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    HBRUSH hFill = ::CreateSolidBrush(kPaletteFill);
    ::FillRect(hDC, &rc, hFill);
    ::DeleteObject(hFill);
    HBRUSH hLine = ::CreateSolidBrush(kPaletteLine);
    ::FrameRect(hDC, &rc, hLine);
    RECT under{1, 22, rc.right - 1, 23};
    ::FillRect(hDC, &under, hLine);
    ::DeleteObject(hLine);
    return TRUE;
}

LRESULT CFloatingBoardToolDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_LBUTTONDOWN:
        // Floating, the body drags the window as its caption would.
        if (m_bFloating)
        {
            ::ReleaseCapture();
            SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        }
        break;
    case WM_MOVE:
    case WM_SIZE:
        if (m_bFloating) GetWindowRect(&m_rcFloat);
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
