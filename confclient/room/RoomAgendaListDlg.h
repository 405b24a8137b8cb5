// CRoomAgendaListDlg: the agenda panel of the side panel: the board's pages as a tree.
#pragma once
#include "confclient/boardhost/TreeCtrlFolder.h"
#include "confclient/room/SidePanelDlg.h"
#include "resources/ResourceIds.h"

class CRoomAgendaListDlg : public CSidePanelDlg
{
public:
    CRoomAgendaListDlg() : CSidePanelDlg(IDD_ROOMAGENDALIST, SIDEPANEL_AGENDA, kCollapseAgendaCommand) {}
    CTreeCtrlFolder& Tree() { return m_tree; }

protected:
    BOOL OnInitDialog() override
    {
        RECT rc;
        GetClientRect(&rc);
        m_tree.Create(m_hWnd, rc, IDC_AGENDA_TREE);
        return CSidePanelDlg::OnInitDialog();
    }
    void OnSize(UINT type, int cx, int cy) override
    {
        if (m_tree.m_hWnd) ::MoveWindow(m_tree.m_hWnd, 0, 0, cx, cy, TRUE);
    }

private:
    CTreeCtrlFolder m_tree;
};
