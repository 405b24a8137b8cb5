// The board transfer's strip: texts, bar and cancel button over the portable progress state.
#include "confclient/boardhost/TransferStrip.h"

#include <commctrl.h>

namespace
{
constexpr COLORREF kStripFrame = RGB(164, 186, 214);
constexpr UINT kStripTitleId = 1420, kStripStateId = 1417, kStripBarId = 1418;
} // namespace

BOOL CTransferStrip::Create(HWND hParent, const std::wstring& readyText, const std::wstring& cancelText)
{
    RECT rc{0, 0, 600, 26};
    if (!CreateEx(0, L"STATIC", L"", WS_CHILD | WS_CLIPCHILDREN | SS_NOTIFY, rc, hParent, 0)) return FALSE;
    HFONT hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, UINT id)
    {
        HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        return h;
    };
    m_hTitle = child(L"STATIC", readyText.c_str(), SS_LEFT | SS_NOPREFIX, kStripTitleId);
    m_hState = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kStripStateId);
    m_hBar = child(PROGRESS_CLASSW, L"", 0, kStripBarId);
    ::SendMessageW(m_hBar, PBM_SETRANGE32, 0, 100);
    // Only an upload can be cancelled from here.
    m_hCancel = child(L"BUTTON", cancelText.c_str(),
                      BS_PUSHBUTTON | (m_progress.IsDownload() ? 0 : WS_DISABLED), kCancelId);
    if (m_progress.IsDownload()) ::ShowWindow(m_hCancel, SW_HIDE);
    Layout(rc.right);
    return TRUE;
}

void CTransferStrip::Layout(int cx)
{
    ::MoveWindow(m_hTitle, 5, 7, 220, 14, TRUE);
    ::MoveWindow(m_hState, std::max(cx - 570, 230), 7, 340, 14, TRUE);
    const int nBar = m_progress.IsDownload() ? 210 : 150;
    ::MoveWindow(m_hBar, cx - 215, 6, nBar, 15, TRUE);
    ::MoveWindow(m_hCancel, cx - 57, 0, 55, 24, TRUE);
}

void CTransferStrip::SetTotal(uint32_t nTotal)
{
    m_progress.Begin(nTotal, GetTickCount());
    ::SendMessageW(m_hBar, PBM_SETPOS, 0, 0);
}

void CTransferStrip::SetFileCount(uint32_t nCurrent, uint32_t nTotal)
{
    std::u16string text = m_progress.FileText(nCurrent, nTotal);
    ::SetWindowTextW(m_hTitle, std::wstring(text.begin(), text.end()).c_str());
    if (nCurrent == 1 && !m_progress.IsDownload()) ::EnableWindow(m_hCancel, TRUE);
}

void CTransferStrip::OnBytes(uint32_t nBytes)
{
    std::optional<CTransferProgress::Step> step = m_progress.OnBytes(nBytes, GetTickCount());
    if (!step) return;
    ::SendMessageW(m_hBar, PBM_SETPOS, static_cast<WPARAM>(step->nPercent), 0);
    if (step->text) ::SetWindowTextW(m_hState, std::wstring(step->text->begin(), step->text->end()).c_str());
}

int CTransferStrip::Percent() const
{
    return static_cast<int>(::SendMessageW(m_hBar, PBM_GETPOS, 0, 0));
}

LRESULT CTransferStrip::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_COMMAND:
        if (LOWORD(wParam) == kCancelId && HIWORD(wParam) == BN_CLICKED)
        {
            m_board.UploadCancel();
            return 0;
        }
        break;
    case WM_SIZE:
        Layout(LOWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
    {
        RECT rc;
        GetClientRect(&rc);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH hFrame = CreateSolidBrush(kStripFrame);
        ::FrameRect(reinterpret_cast<HDC>(wParam), &rc, hFrame);
        DeleteObject(hFrame);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
