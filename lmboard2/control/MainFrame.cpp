// The frame: creates the view, keeps it filling the frame, and takes full screen on and off.
#include "lmboard2/control/MainFrame.h"

#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

bool CMainFrame::Create(HWND hParent, const RECT& rc)
{
    return CBoardWindow::Create(L"LMBoard2Frame", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                0, rc, hParent, 0);
}

LRESULT CMainFrame::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    bHandled = true;
    switch (uMsg)
    {
    case WM_CREATE:
    {
        SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        if (!m_view.Create(m_hWnd, rc)) return -1;
        // Nobody draws until the host hands out the board right.
        m_view.SetLock(true);
        DragAcceptFiles(m_hWnd, TRUE);
        return 0;
    }
    case WM_DROPFILES:
    {
        auto hDrop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::u16string> files;
        const UINT nFiles = DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < nFiles; ++i)
        {
            wchar_t szPath[MAX_PATH] = L"";
            if (DragQueryFileW(hDrop, i, szPath, MAX_PATH))
                files.emplace_back(szPath, szPath + wcslen(szPath));
        }
        DragFinish(hDrop);
        m_view.DropFiles(files);
        return 0;
    }
    case WM_SIZE:
        if (m_view.Hwnd()) MoveWindow(m_view.Hwnd(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
        break;
    case WM_BOARD_FULL_SCREEN:
        m_bFullScreen = wParam != 0;
        m_view.Refit();
        return 0;
    default:
        break;
    }
    bHandled = false;
    return 0;
}
