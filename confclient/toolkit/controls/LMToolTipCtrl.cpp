// CLMToolTipCtrl: relaying owner messages with their point mapped to the window under it.
#include "confclient/toolkit/controls/LMToolTipCtrl.h"

void CLMToolTipCtrl::RelayEvent(const MSG* pMsg)
{
    if (!m_hWnd || !pMsg) return;
    MSG copy = *pMsg;
    HWND under =
        reinterpret_cast<HWND>(SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&copy.pt)));
    if (under) copy.hwnd = under;
    if (copy.message >= WM_MOUSEFIRST && copy.message <= WM_MOUSEFIRST + 13)
    {
        POINT pt = copy.pt;
        ::ScreenToClient(copy.hwnd, &pt);
        copy.lParam = MAKELPARAM(pt.x, pt.y);
    }
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}
