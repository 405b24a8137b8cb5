// CRoomMediaShareViewDlg: the video area over the tool bar, the idle picture, dropped files.
#include "confclient/room/RoomMediaShareViewDlg.h"

#include <shellapi.h>

#include "confclient/media/MediaShareFeature.h"
#include "confclient/notices/NoticeHost.h"
#include "core/LogSink.h"
#include "resources/ResourceIds.h"

CRoomMediaShareViewDlg::CRoomMediaShareViewDlg(IMediaShareHost* pHost)
    : CRoomDlg(IDD_ROOMMEDIASHAREVIEW), m_host(*pHost)
{
}

CRoomMediaShareViewDlg::~CRoomMediaShareViewDlg() = default;

BOOL CRoomMediaShareViewDlg::OnInitDialog()
{
    ::SetWindowTextW(m_hWnd, L"CRoomMediaShareViewDlg");
    if (!m_host.IsSharePlayback())
    {
        ::DragAcceptFiles(m_hWnd, TRUE);
        // A program started with higher rights still takes files from the desktop.
        for (UINT nMsg : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), 0x49u})
            ::ChangeWindowMessageFilter(nMsg, MSGFLT_ADD);
    }
    return TRUE;
}

bool CRoomMediaShareViewDlg::CreateChildren()
{
    m_pToolBar = std::make_unique<CMediaShareToolDlg>(m_host);
    if (!m_pToolBar->Create(this))
    {
        m_pToolBar.reset();
        return false;
    }
    if (!m_host.IsSharePlayback()) m_hSend = m_host.CreateShareSender(m_pToolBar->m_hWnd);
    if (!m_hSend)
        LogF(m_host.ShareNotices().NoticeLog(), LOG_INFO,
             "[MEDIASHARE] no sender: the view shows the shared file's name");
    m_pToolBar->SetSender(m_hSend);
    RECT rc;
    GetClientRect(&rc);
    LayoutChildren(rc.right, rc.bottom);
    m_pToolBar->UpdateControls();
    return true;
}

BOOL CRoomMediaShareViewDlg::DestroyWindow()
{
    QNMediaShareRecord& r = m_host.ShareRecord();
    if (m_hSend && !m_host.IsSharePlayback() && r.wSharer == m_host.ShareMyUserIndex() &&
        r.Play() != MEDIASHARE_STOPPED)
    {
        r.SetPlay(MEDIASHARE_STOPPED);
        r.SetPosition(0);
        m_host.SendShareState();
    }
    if (m_hSend && ::IsWindow(m_hSend)) ::DestroyWindow(m_hSend);
    m_hSend = nullptr;
    if (m_pToolBar && m_pToolBar->m_hWnd) m_pToolBar->DestroyWindow();
    return CRoomDlg::DestroyWindow();
}

LRESULT CRoomMediaShareViewDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DROPFILES)
    {
        HDROP hDrop = reinterpret_cast<HDROP>(wParam);
        wchar_t szPath[MAX_PATH + 1] = L"";
        UINT nLen = ::DragQueryFileW(hDrop, 0, nullptr, 0);
        std::wstring szFile;
        if (nLen > 0 && nLen <= MAX_PATH && ::DragQueryFileW(hDrop, 0, szPath, MAX_PATH + 1)) szFile = szPath;
        ::DragFinish(hDrop);
        if (!szFile.empty()) OnFileDropped(szFile);
        return 0;
    }
    return CRoomDlg::WindowProc(msg, wParam, lParam);
}

void CRoomMediaShareViewDlg::OnFileDropped(const std::wstring& szPath)
{
    if (m_host.IsSharePlayback()) return;
    INoticeHost& notices = m_host.ShareNotices();
    if (!m_hSend)
    {
        LogF(notices.NoticeLog(), LOG_INFO, "[MEDIASHARE] a dropped file was refused: no sender");
        m_host.ShowShareBox(notices.NoticeText("IDMS_MEDIASHARE_NOSENDER"), true);
        return;
    }
    std::u16string path(szPath.begin(), szPath.end());
    if (!AcceptsDroppedShare(path, m_host.ShareMediaMode(), m_host.ShareExtensions()))
    {
        m_host.ShowShareBox(notices.NoticeText("IDMS_BOARD_UNSUPPORT"), true);
        return;
    }
    if (!m_host.HasMediaShareRight()) return;
    // A first file starts at the bar's volume: sent before the path, which is handled at once.
    if (m_host.ShareRecord().szPath.empty())
        ::SendMessageW(m_hSend, kMsgMediaShare, SHARECMD_VOLUME, MAKELPARAM(m_pToolBar->VolumePosition(), 1));
    ::SendMessageW(m_hSend, kMsgMediaShare, SHARECMD_OPEN, reinterpret_cast<LPARAM>(szPath.c_str()));
}

int CRoomMediaShareViewDlg::GetToolBarHeight() const
{
    return m_pToolBar && m_pToolBar->m_hWnd ? m_pToolBar->BarHeight() : 0;
}

void CRoomMediaShareViewDlg::OnSize(UINT, int cx, int cy)
{
    LayoutChildren(cx, cy);
}

void CRoomMediaShareViewDlg::LayoutChildren(int cx, int cy)
{
    if (!m_pToolBar || !m_pToolBar->m_hWnd) return;
    int h = m_pToolBar->BarHeight();
    bool bFull = m_host.ShareFullScreen();
    RECT video = bFull ? RECT{0, 0, cx, cy} : RECT{0, -1, cx, cy - h + 1};
    bool bSharer = m_host.ShareRecord().wSharer == m_host.ShareMyUserIndex();
    if (m_hSend)
        ::SetWindowPos(m_hSend, nullptr, video.left, video.top, video.right, video.bottom - video.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | (bSharer ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    ::SetWindowPos(m_pToolBar->m_hWnd, nullptr, 0, cy - h, cx, h,
                   SWP_NOZORDER | SWP_NOACTIVATE | (bFull ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
    if (::IsWindowVisible(m_hWnd))
        ::SendMessageW(m_pToolBar->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, h));
    Invalidate();
}

BOOL CRoomMediaShareViewDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    // The idle picture: a dark area with the shared file's name.
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    const std::u16string& szPath = m_host.ShareRecord().szPath;
    if (ShowsIdle() && !szPath.empty())
    {
        std::wstring szName(szPath.begin(), szPath.end());
        RECT text = rc;
        text.bottom -= GetToolBarHeight();
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, RGB(230, 230, 230));
        HGDIOBJ hOld = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
        ::DrawTextW(hDC, szName.c_str(), static_cast<int>(szName.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::SelectObject(hDC, hOld);
    }
    HBRUSH hFrame = ::CreateSolidBrush(kMediaShareFrame);
    ::FrameRect(hDC, &rc, hFrame);
    ::DeleteObject(hFrame);
    return TRUE;
}
