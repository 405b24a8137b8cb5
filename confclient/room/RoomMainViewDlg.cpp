// CRoomMainViewDlg: side panel on the right, board tools on the left, player at the bottom, views between.
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/boardhost/RoomBoard.h"
#include "confclient/room/FloatingBoardToolDlg.h"
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/PlayerDlg.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "resources/ResourceIds.h"
#include <algorithm>
#include <vector>

CRoomMainViewDlg::CRoomMainViewDlg() : CRoomDlg(IDD_ROOMMAINVIEW) {}

CRoomMainViewDlg::~CRoomMainViewDlg() = default;

void CRoomMainViewDlg::StartBoard(IRoomBoardSession& session, const RoomBoardSettings& settings)
{
    RECT rc{0, 0, 0, 0};
    m_pBoard = std::make_unique<CRoomBoard>(session, m_hWnd, rc, settings);
    LayoutChildren();
}

void CRoomMainViewDlg::OnDestroy()
{
    m_pBoard.reset();
    Default();
}

void CRoomMainViewDlg::SetChildViews(CRoomVideoViewDlg* pVideo, CRoomMediaShareViewDlg* pMediaShare,
                                     CQuestionDlg* pQuestion)
{
    m_pVideoView = pVideo;
    m_pMediaShareView = pMediaShare;
    m_pQuestion = pQuestion;
    for (CWnd* pView : std::initializer_list<CWnd*>{pVideo, pMediaShare, pQuestion})
        if (pView && pView->m_hWnd) pView->ShowWindow(SW_SHOWNA);
    LayoutChildren();
}

void CRoomMainViewDlg::Refresh()
{
    LayoutChildren();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CRoomMainViewDlg::SetRoomTitle(const std::wstring& szTitle)
{
    SetWindowText(szTitle.c_str());
}

void CRoomMainViewDlg::OnSize(UINT type, int cx, int cy)
{
    LayoutChildren();
}

void CRoomMainViewDlg::LayoutChildren()
{
    if (!m_hWnd) return;
    RECT rc;
    GetClientRect(&rc);
    // Strips first (found among the direct children by their kind), then the views share what is left.
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (!HasVisibleStyle(hChild)) continue;
        CWnd* pChild = CWnd::FromHandlePermanent(hChild);
        if (dynamic_cast<CManageToolDlg*>(pChild))
        {
            int cx = std::min(DluToPixelsX(180), static_cast<int>(rc.right - rc.left) / 3);
            pChild->MoveWindow(rc.right - cx, rc.top, cx, rc.bottom - rc.top);
            rc.right -= cx;
        }
        else if (dynamic_cast<CFloatingBoardToolDlg*>(pChild))
        {
            int cx = std::min(DluToPixelsX(40), static_cast<int>(rc.right - rc.left) / 4);
            pChild->MoveWindow(rc.left, rc.top, cx, rc.bottom - rc.top);
            rc.left += cx;
        }
        else if (dynamic_cast<CPlayerDlg*>(pChild))
        {
            int cy = std::min(DluToPixelsY(30), static_cast<int>(rc.bottom - rc.top) / 4);
            pChild->MoveWindow(rc.left, rc.bottom - cy, rc.right - rc.left, cy);
            rc.bottom -= cy;
        }
    }
    // A floating video grid is no child of this window any more and takes no room here.
    std::vector<CWnd*> views;
    for (CWnd* pView : std::initializer_list<CWnd*>{m_pVideoView, m_pMediaShareView, m_pQuestion})
        if (pView && pView->m_hWnd && (pView->GetStyle() & WS_CHILD) && HasVisibleStyle(pView->m_hWnd))
            views.push_back(pView);
    if (m_pBoard) m_pBoard->TakeArea(rc, !views.empty());
    if (views.empty()) return;
    int cx = (rc.right - rc.left) / static_cast<int>(views.size());
    for (size_t i = 0; i < views.size(); ++i)
        views[i]->MoveWindow(rc.left + static_cast<int>(i) * cx, rc.top, cx, rc.bottom - rc.top);
}
