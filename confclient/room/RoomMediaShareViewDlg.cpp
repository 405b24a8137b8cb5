// CRoomMediaShareViewDlg: state line at the top, position line at the bottom.
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "resources/ResourceIds.h"
#include "winui/WString.h"

CRoomMediaShareViewDlg::CRoomMediaShareViewDlg() : CRoomDlg(IDD_ROOMMEDIASHAREVIEW) {}

void CRoomMediaShareViewDlg::Init()
{
    ::ShowWindow(GetDlgItem(IDC_MEDIASHARE_STATE), SW_HIDE);
    ::SetDlgItemTextW(m_hWnd, IDC_MEDIASHARE_POSITION, L"");
}

void CRoomMediaShareViewDlg::UpdateVideoState(int nFlag)
{
    ShowWindow(SW_SHOWNA);
    ::ShowWindow(GetDlgItem(IDC_MEDIASHARE_STATE), nFlag ? SW_SHOWNA : SW_HIDE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CRoomMediaShareViewDlg::UpdatePosition(uint32_t dwMs)
{
    CString szText;
    uint32_t dwSeconds = dwMs / 1000;
    szText.Format(L"%u:%02u", dwSeconds / 60, dwSeconds % 60);
    ::SetDlgItemTextW(m_hWnd, IDC_MEDIASHARE_POSITION, szText.c_str());
}

void CRoomMediaShareViewDlg::OnSize(UINT type, int cx, int cy)
{
    int nLine = DluToPixelsY(12);
    ::MoveWindow(GetDlgItem(IDC_MEDIASHARE_STATE), 0, 0, cx, nLine, TRUE);
    ::MoveWindow(GetDlgItem(IDC_MEDIASHARE_POSITION), 0, cy - nLine, cx, nLine, TRUE);
}
