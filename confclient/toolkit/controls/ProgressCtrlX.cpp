// CProgressCtrlX: gradient bar painting through a memory DC, snake movement, position text.
#include "confclient/toolkit/controls/ProgressCtrlX.h"
#include "confclient/toolkit/controls/ControlRules.h"
#include "confclient/toolkit/controls/Select.h"
#include <algorithm>

namespace
{
COLORREF Blend(COLORREF a, COLORREF b, int num, int den)
{
    if (den <= 0) return a;
    auto mix = [&](int ca, int cb) { return ca + (cb - ca) * num / den; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}
} // namespace

CProgressCtrlX::CProgressCtrlX()
    : m_crBack(::GetSysColor(COLOR_BTNFACE)), m_crTextOnBar(::GetSysColor(COLOR_CAPTIONTEXT)),
      m_crTextOnBack(::GetSysColor(COLOR_BTNTEXT))
{
    BOOL gradientCaptions = FALSE;
    ::SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradientCaptions, 0);
    COLORREF first = ::GetSysColor(COLOR_ACTIVECAPTION);
    m_gradient = {first, gradientCaptions ? ::GetSysColor(COLOR_GRADIENTACTIVECAPTION) : first};
}

int CProgressCtrlX::SetPos(int pos)
{
    int old = GetPos();
    if (old != pos) SendMessage(PBM_SETPOS, pos);
    return old;
}

void CProgressCtrlX::SetTextFormat(const wchar_t* format, DWORD styleBits)
{
    // The format is handed to the formatter with one int: anything else would read a wrong argument.
    if (format && *format && (styleBits & PBS_TEXTMASK) && IsPositionFormat(std::wstring(format)))
    {
        ModifyStyle(PBS_TEXTMASK, styleBits & PBS_TEXTMASK);
        m_strTextFormat = format;
    }
    else
    {
        ModifyStyle(PBS_TEXTMASK, 0);
        m_strTextFormat.Empty();
    }
    SetWindowText(m_strTextFormat.c_str());
    Invalidate(FALSE);
}

LRESULT CProgressCtrlX::MoveSnake(int newHead)
{
    int lower, upper;
    GetRange(lower, upper);
    int old = m_nSnakePos;
    m_nSnakePos = std::clamp(newHead, lower, std::max(lower, upper + m_nSnakeSize));
    // The control's own position follows the head but never leaves the range.
    DefWindowProc(PBM_SETPOS, std::clamp(m_nSnakePos, lower, std::max(lower, upper)), 0);
    Invalidate(FALSE);
    return old;
}

LRESULT CProgressCtrlX::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const bool snake = (GetStyle() & PBS_SNAKE) != 0;
    switch (msg)
    {
    case PBM_SETBARCOLOR:
        m_gradient = {static_cast<COLORREF>(lParam),
                      wParam ? static_cast<COLORREF>(wParam) : static_cast<COLORREF>(lParam)};
        Invalidate(FALSE);
        return CLR_DEFAULT;
    case PBM_SETBKCOLOR:
        m_crBack = static_cast<COLORREF>(lParam);
        Invalidate(FALSE);
        return CLR_DEFAULT;
    case PBM_SETSTEP:
        m_nStep = static_cast<int>(wParam);
        break;
    case PBM_SETPOS:
        if (snake) return MoveSnake(static_cast<int>(wParam));
        break;
    case PBM_DELTAPOS:
    case PBM_STEPIT:
        if (snake)
        {
            int lower, upper;
            GetRange(lower, upper);
            int delta = msg == PBM_STEPIT ? m_nStep : static_cast<int>(wParam);
            int old = m_nSnakePos;
            int head = SnakeStep(m_nSnakePos, delta, lower, upper, m_nSnakeSize,
                                 (GetStyle() & PBS_REVERSE) != 0, m_nSnakeDir);
            MoveSnake(head);
            return old;
        }
        break;
    case WM_GETDLGCODE:
        return DefWindowProc(msg, wParam, lParam) | DLGC_BUTTON;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
    {
        CPaintDC dc(m_hWnd);
        Paint(dc);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    LRESULT result = CProgressCtrl::WindowProc(msg, wParam, lParam);
    if (msg == PBM_SETPOS || msg == PBM_DELTAPOS || msg == PBM_STEPIT || msg == PBM_SETRANGE32 ||
        msg == PBM_SETRANGE)
        Invalidate(FALSE);
    return result;
}

void CProgressCtrlX::DrawGradient(HDC hDC, const RECT& bar, int from, int to, bool vertical)
{
    // Bands of equal size over the filled part [from, to), the last one ending exactly at its end.
    // Along a vertical bar the offsets run from the bottom up.
    size_t bands = m_gradient.size() > 1 ? m_gradient.size() - 1 : 1;
    int length = to - from;
    for (int offset = from; offset < to; ++offset)
    {
        COLORREF colour = m_gradient.empty() ? 0 : m_gradient[0];
        if (m_gradient.size() > 1 && length > 1)
        {
            int at = offset - from;
            size_t band = std::min(bands - 1, static_cast<size_t>(at) * bands / static_cast<size_t>(length));
            int bandStart = static_cast<int>(band * length / bands);
            int bandEnd = band + 1 == bands ? length : static_cast<int>((band + 1) * length / bands);
            colour = Blend(m_gradient[band], m_gradient[band + 1], at - bandStart,
                           std::max(1, bandEnd - bandStart - 1));
        }
        RECT slice = bar;
        if (vertical)
        {
            slice.bottom = bar.bottom - offset;
            slice.top = slice.bottom - 1;
        }
        else
        {
            slice.left = bar.left + offset;
            slice.right = slice.left + 1;
        }
        CDC(hDC).FillSolidRect(slice, colour);
    }
}

void CProgressCtrlX::Paint(HDC hTarget)
{
    RECT client;
    GetClientRect(&client);
    int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    CMemDC mem(hTarget);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(hTarget, width, height);
    CSelectObject selectCanvas(mem, canvas);

    if (m_pbrBack)
        ::FillRect(mem, &client, m_pbrBack);
    else
        mem.FillSolidRect(client, m_crBack);

    RECT bar = client;
    bar.left += m_rcMargins.left;
    bar.top += m_rcMargins.top;
    bar.right -= m_rcMargins.right;
    bar.bottom -= m_rcMargins.bottom;
    const bool vertical = (GetStyle() & PBS_VERTICAL) != 0;
    int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    int lower, upper;
    GetRange(lower, upper);
    int pos = GetPos();
    const bool snake = (GetStyle() & PBS_SNAKE) != 0;

    int from = 0, to = 0;
    if (length > 0 && lower < upper)
    {
        if (snake)
        {
            from = BarLength(m_nSnakePos - m_nSnakeSize, lower, upper, length);
            to = BarLength(m_nSnakePos, lower, upper, length);
        }
        else if (pos >= lower && pos <= upper)
        {
            to = BarLength(pos, lower, upper, length);
        }
        DrawGradient(mem, bar, from, to, vertical);
    }

    DWORD textBits = GetStyle() & PBS_TEXTMASK;
    if (textBits && !m_strTextFormat.IsEmpty() && lower < upper)
    {
        CString text;
        int value = (textBits & PBS_SHOW_PERCENT)
                        ? static_cast<int>((static_cast<long long>(pos) - lower) * 100 /
                                           (static_cast<long long>(upper) - lower))
                        : pos;
        text.Format(m_strTextFormat.c_str(), value);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        CSelFont selFont(&mem, font);
        CSelBkMode selMode(&mem, TRANSPARENT);
        RECT filled = bar;
        if (vertical)
        {
            filled.bottom = bar.bottom - from;
            filled.top = bar.bottom - to;
        }
        else
        {
            filled.left = bar.left + from;
            filled.right = bar.left + to;
        }
        // The text over the bar and over the background may differ in colour: draw it twice, clipped.
        for (int pass = 0; pass < 2; ++pass)
        {
            HRGN clip = ::CreateRectRgnIndirect(&client);
            if (pass == 0)
            {
                HRGN barRgn = ::CreateRectRgnIndirect(&filled);
                ::CombineRgn(clip, clip, barRgn, RGN_DIFF);
                ::DeleteObject(barRgn);
            }
            else
            {
                ::SetRectRgn(clip, filled.left, filled.top, filled.right, filled.bottom);
            }
            ::SelectClipRgn(mem, clip);
            ::DeleteObject(clip);
            CSelTextColor selColour(&mem, pass == 0 ? m_crTextOnBack : m_crTextOnBar);
            RECT r = client;
            mem.DrawText(text.c_str(), text.GetLength(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        ::SelectClipRgn(mem, nullptr);
    }
    ::BitBlt(hTarget, 0, 0, width, height, mem, 0, 0, SRCCOPY);
}
