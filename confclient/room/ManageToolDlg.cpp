// CManageToolDlg: its visible panels share its height, top to bottom in creation order.
#include "confclient/room/ManageToolDlg.h"
#include "resources/ResourceIds.h"
#include <vector>

CManageToolDlg::CManageToolDlg(IRoomHost* pHost) : CRoomDlg(IDD_MANAGETOOL), m_pHost(pHost) {}

void CManageToolDlg::OnSize(UINT type, int cx, int cy)
{
    LayoutPanels();
}

void CManageToolDlg::LayoutPanels()
{
    std::vector<HWND> panels;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        if (HasVisibleStyle(hChild)) panels.push_back(hChild);
    if (panels.empty()) return;
    RECT rc;
    GetClientRect(&rc);
    int cy = rc.bottom / static_cast<int>(panels.size());
    for (size_t i = 0; i < panels.size(); ++i)
    {
        int y = static_cast<int>(i) * cy;
        // The last panel takes the rounding rest.
        int h = i + 1 == panels.size() ? rc.bottom - y : cy;
        ::MoveWindow(panels[i], 0, y, rc.right, h, TRUE);
    }
}
