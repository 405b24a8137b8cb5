// CMediaShareToolDlg: the tool bar's commands go to the send-video window; the room's record
// comes back as notices and is shown.
#include "confclient/room/MediaShareToolDlg.h"

#include <commdlg.h>

#include "confclient/media/MediaShareFeature.h"
#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "core/LogSink.h"
#include "resources/ResourceIds.h"

namespace
{
std::wstring ShareWide(const std::u16string& s)
{
    return std::wstring(s.begin(), s.end());
}
} // namespace

CMediaShareToolDlg::CMediaShareToolDlg(IMediaShareHost& host) : CRoomDlg(IDD_MEDIASHARETOOL), m_host(host)
{
    m_State.SetVolume(50);
    m_host.ShareRecord().SetVolume(50);
}

BOOL CMediaShareToolDlg::Create(CWnd* pParent)
{
    return CRoomDlg::Create(pParent) && m_hWnd;
}

BOOL CMediaShareToolDlg::OnInitDialog()
{
    INoticeHost& notices = m_host.ShareNotices();
    static const wchar_t* const kBack[] = {L"mediashareCtrl_back_left.gif", L"mediashareCtrl_back_middle.gif",
                                           L"mediashareCtrl_back_right.gif"};
    for (int i = 0; i < 3; ++i)
        if (!LoadNoticePicture(notices, m_back[i], kBack[i], IDR_BACK_MEDIASHARE_LEFT + i))
            LogF(notices.NoticeLog(), LOG_ERROR, "[MEDIASHARE] tool bar picture %d not loaded", i);

    struct
    {
        CHBitmapButton& button;
        UINT nId;
        WORD wBitmap;
    } buttons[] = {{m_open, IDC_MEDIASHARE_OPEN, IDB_MEDIASHARE_OPEN},
                   {m_play, IDC_MEDIASHARE_PLAY, IDB_MEDIASHARE_PLAY},
                   {m_pause, IDC_MEDIASHARE_PAUSE, IDB_MEDIASHARE_PAUSE},
                   {m_stop, IDC_MEDIASHARE_STOP, IDB_MEDIASHARE_STOP}};
    for (auto& b : buttons)
    {
        b.button.SubclassDlgItem(b.nId, this);
        // Normal, pressed, focus, disabled.
        b.button.LoadBitmapsAndSize(b.wBitmap, b.wBitmap + 1, b.wBitmap + 3, b.wBitmap + 2);
    }
    m_mute.SubclassDlgItem(IDC_MEDIASHARE_MUTE, this);
    m_mute.SetPushMode(TRUE);
    LoadMuteBitmaps(false);
    m_mute.SetCheck(0);

    m_seek.SubclassDlgItem(IDC_MEDIASHARE_SEEK, this);
    m_seek.LoadChannelBitmaps(IDB_MEDIASHARE_SEEK_CHANNEL, FALSE);
    m_seek.LoadThumbBitmaps(IDB_MEDIASHARE_THUMB);
    m_seek.SetRange(0, 0);
    m_volume.SubclassDlgItem(IDC_MEDIASHARE_VOLUME, this);
    m_volume.LoadChannelBitmaps(IDB_MEDIASHARE_VOLUME_CHANNEL, TRUE);
    m_volume.LoadThumbBitmaps(IDB_MEDIASHARE_THUMB);
    m_volume.SetRange(0, 100);
    m_volume.SetPos(50);
    m_bKeepSending = m_host.ShareKeepsSending();

    int nSize = _wtoi(notices.NoticeText("IDS_DEFAULT_FONTSIZE").c_str());
    std::wstring szFace = notices.NoticeText("IDS_DEFAULT_FONT");
    for (CLMStatic* pText : {&m_time, &m_name})
    {
        pText->SubclassDlgItem(pText == &m_time ? IDC_MEDIASHARE_TIME : IDC_MEDIASHARE_NAME, this);
        pText->SetColors(RGB(0, 0, 0), RGB(255, 255, 255), TRANSPARENT);
        pText->SetTextFont(nSize ? nSize : 13, szFace.empty() ? L"Tahoma" : szFace.c_str(), 500);
    }
    UpdateTimeText();
    UpdateControls();
    return TRUE;
}

LRESULT CMediaShareToolDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case kMsgMediaShare:
        OnNotice(static_cast<int>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    case CBitmapSlider::kMsgMoved:
        OnSliderReleased(static_cast<UINT>(wParam), static_cast<int>(lParam));
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
        break;
    default:
        break;
    }
    return CRoomDlg::WindowProc(msg, wParam, lParam);
}

BOOL CMediaShareToolDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_MEDIASHARE_OPEN:
        OnOpen();
        return TRUE;
    case IDC_MEDIASHARE_PLAY:
        OnPlay();
        return TRUE;
    case IDC_MEDIASHARE_PAUSE:
        OnPause();
        return TRUE;
    case IDC_MEDIASHARE_STOP:
        OnStop();
        return TRUE;
    case IDC_MEDIASHARE_MUTE:
        OnMute();
        return TRUE;
    default:
        return CRoomDlg::OnCommand(wParam, lParam);
    }
}

bool CMediaShareToolDlg::IsLocalSharer() const
{
    const QNMediaShareRecord& r = m_host.ShareRecord();
    return r.wSharer != kNoIndex && r.wSharer == m_host.ShareMyUserIndex();
}

void CMediaShareToolDlg::SendCommand(WPARAM wCommand, LPARAM lParam)
{
    if (m_hSend) ::PostMessageW(m_hSend, kMsgMediaShare, wCommand, lParam);
}

void CMediaShareToolDlg::OnOpen()
{
    if (m_host.IsSharePlayback() || !m_host.HasMediaShareRight() || !m_hSend) return;
    std::wstring szFilter = ShareWide(ShareOpenFilter(m_host.ShareMediaMode(), m_host.ShareExtensions()));
    for (wchar_t& c : szFilter)
        if (c == L'|') c = L'\0';
    wchar_t szPath[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = szFilter.c_str();
    ofn.lpstrFile = szPath;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"All available files";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!::GetOpenFileNameW(&ofn) || !m_host.HasMediaShareRight()) return;
    // A first file starts at the bar's volume: sent before the path, which is handled at once.
    if (m_host.ShareRecord().szPath.empty())
        ::SendMessageW(m_hSend, kMsgMediaShare, SHARECMD_VOLUME, MAKELPARAM(m_volume.GetPos(), 1));
    // The path is read while the message is handled: sent, not posted.
    ::SendMessageW(m_hSend, kMsgMediaShare, SHARECMD_OPEN, reinterpret_cast<LPARAM>(szPath));
}

void CMediaShareToolDlg::OnPlay()
{
    if (!m_bControlsEnabled) return;
    m_bPlaying = true;
    SendCommand(SHARECMD_PLAY, 0);
}

void CMediaShareToolDlg::OnPause()
{
    if (!m_bControlsEnabled) return;
    SendCommand(SHARECMD_PAUSE, 0);
}

void CMediaShareToolDlg::OnStop()
{
    if (!m_bControlsEnabled) return;
    m_seek.SetPos(0);
    SendCommand(SHARECMD_STOP, 0);
    m_host.ResetShareVoice();
    m_host.FocusRoom();
}

void CMediaShareToolDlg::OnMute()
{
    if (!m_bControlsEnabled) return;
    bool bMuted = m_mute.GetCheck() == 1;
    LoadMuteBitmaps(bMuted);
    SendCommand(SHARECMD_MUTE, bMuted ? 1 : 0);
}

void CMediaShareToolDlg::LoadMuteBitmaps(bool bMuted)
{
    m_bMutedShown = bMuted;
    UINT nBase = bMuted ? IDB_MEDIASHARE_MUTED : IDB_MEDIASHARE_MUTE;
    m_mute.LoadBitmaps(nBase, nBase + 1, nBase + 3, nBase);
}

void CMediaShareToolDlg::OnSliderReleased(UINT nId, int nPos)
{
    if (nId == IDC_MEDIASHARE_SEEK && m_bSeekEnabled)
    {
        SendCommand(SHARECMD_SEEK, MAKELPARAM(0, nPos));
        if (m_hSend) ::SetFocus(m_hSend);
    }
    else if (nId == IDC_MEDIASHARE_VOLUME)
        SetVolume(static_cast<uint32_t>(nPos), false);
}

void CMediaShareToolDlg::SetVolume(uint32_t v, bool bUp, bool bFinal)
{
    uint32_t nVolume = StepShareVolume(static_cast<uint32_t>(m_volume.GetPos()), v, bUp);
    m_volume.SetPos(static_cast<int>(nVolume));
    SendCommand(SHARECMD_VOLUME, MAKELPARAM(nVolume, bFinal ? 1 : 0));
}

void CMediaShareToolDlg::SetPlayMode(int nMode)
{
    if (!m_bPlaying || m_bKeepSending) return;
    SendCommand(nMode == 2 ? SHARECMD_PLAY : SHARECMD_PAUSE, 0);
}

void CMediaShareToolDlg::SetSeekRange(uint32_t nLength)
{
    m_seek.SetRange(0, static_cast<int>(nLength), TRUE);
}

void CMediaShareToolDlg::ResetTick()
{
    m_dwLastTick = ::GetTickCount();
}

void CMediaShareToolDlg::OnNotice(int nNotice, uint32_t lParam)
{
    QNMediaShareRecord& room = m_host.ShareRecord();
    bool bChanged = true;
    switch (nNotice)
    {
    case SHARENOTICE_RESET:
        ResetTick();
        room.SetPosition(0);
        m_State = room;
        SetSeekRange(room.wLength);
        m_seek.SetPos(0);
        m_mute.SetCheck(room.Muted());
        LoadMuteBitmaps(room.Muted());
        break;
    case SHARENOTICE_PLAYING:
        ResetTick();
        break;
    case SHARENOTICE_OPENRESULT:
        switch (ShareOpenResultOf(lParam))
        {
        case SHAREOPEN_LOADFAILED:
            m_host.ShowShareBox(m_host.ShareNotices().NoticeText("IDS_ERROR_LOADFAILED"), false);
            break;
        case SHAREOPEN_UNSUPPORTED:
            m_host.ShowShareBox(m_host.ShareNotices().NoticeText("IDS_ERROR_NOSUPPORTFILE"), false);
            break;
        case SHAREOPEN_LOADED:
            m_State = room;
            OnPlay();
            break;
        }
        break;
    case SHARENOTICE_STATE:
    {
        uint32_t dwTick = m_dwLastTick;
        SShareTakeOver t =
            TakeOverShareState(room, m_State, dwTick, ::GetTickCount(), lParam != 0, !IsLocalSharer());
        m_dwLastTick = dwTick;
        m_mute.SetCheck(t.bMuted);
        LoadMuteBitmaps(t.bMuted);
        if (t.bVolumeChanged) m_volume.SetPos(static_cast<int>(m_State.Volume()));
        if (t.bVoiceReset) m_host.ResetShareVoice();
        if (t.bSeekMoved) m_seek.SetPos(static_cast<int>(m_State.Position()));
        if (t.bReceiveIdle && GetParent()) ::InvalidateRect(GetParent(), nullptr, TRUE);
        break;
    }
    case SHARENOTICE_FILEINFO:
        m_State = room;
        ResetTick();
        SetSeekRange(room.wLength);
        m_seek.SetPos(static_cast<int>(room.Position()));
        m_volume.SetPos(static_cast<int>(room.Volume()));
        m_mute.SetCheck(room.Muted());
        LoadMuteBitmaps(room.Muted());
        if (GetParent()) ::InvalidateRect(GetParent(), nullptr, TRUE);
        break;
    case SHARENOTICE_ENDED:
        OnStop();
        break;
    default:
        bChanged = false;
        break;
    }
    UpdateTimeText();
    if (bChanged) UpdateControls();
}

void CMediaShareToolDlg::UpdateTimeText()
{
    if (!m_hWnd) return;
    const QNMediaShareRecord& room = m_host.ShareRecord();
    std::wstring szName = ShareWide(room.szPath);
    if (szName != m_szLastName)
    {
        m_szLastName = szName;
        m_name.SetText(szName.c_str());
    }
    uint32_t nPosition = IsLocalSharer() ? room.Position() : m_State.Position();
    std::wstring szTime = ShareWide(ShareTimeText(nPosition, room.wLength));
    if (szTime != m_szLastTime)
    {
        m_szLastTime = szTime;
        m_time.SetText(szTime.c_str());
    }
    if (m_bSeekEnabled) m_seek.SetPos(static_cast<int>(nPosition));
}

void CMediaShareToolDlg::ShowPlayOrPause(bool bPlaying)
{
    ::ShowWindow(m_play.m_hWnd, bPlaying ? SW_HIDE : SW_SHOWNA);
    ::ShowWindow(m_pause.m_hWnd, bPlaying ? SW_SHOWNA : SW_HIDE);
}

void CMediaShareToolDlg::UpdateControls()
{
    if (!m_hWnd) return;
    const QNMediaShareRecord& room = m_host.ShareRecord();
    ::EnableWindow(m_open.m_hWnd, m_hSend && !m_host.IsSharePlayback() && m_host.HasMediaShareRight());
    if (m_host.IsSharePlayback() || !m_host.HasMediaShareRight())
    {
        // The buttons look as they do for the sharer but do not act.
        m_bControlsEnabled = false;
        m_bSeekEnabled = false;
        for (CHBitmapButton* p : {&m_play, &m_pause, &m_stop})
            ::EnableWindow(p->m_hWnd, TRUE);
        m_mute.EnableButton(FALSE);
        m_seek.EnableSlider(FALSE);
    }
    else
    {
        bool bMine = !room.szPath.empty() && IsLocalSharer();
        m_bControlsEnabled = bMine;
        m_bSeekEnabled = bMine && room.Playing();
        ::EnableWindow(m_play.m_hWnd, bMine);
        ::EnableWindow(m_pause.m_hWnd, bMine);
        ::EnableWindow(m_stop.m_hWnd, bMine && room.Play() != MEDIASHARE_STOPPED);
        m_mute.EnableButton(bMine);
        m_seek.EnableSlider(m_bSeekEnabled);
    }
    ShowPlayOrPause(room.Playing());
    if (room.Play() == MEDIASHARE_STOPPED && !IsLocalSharer() && GetParent())
        ::InvalidateRect(GetParent(), nullptr, TRUE);
}

void CMediaShareToolDlg::OnSize(UINT, int cx, int)
{
    HWND controls[] = {m_open.m_hWnd, m_play.m_hWnd,   m_pause.m_hWnd, m_stop.m_hWnd,
                       m_mute.m_hWnd, m_volume.m_hWnd, m_seek.m_hWnd};
    for (HWND h : controls)
        if (!h) return;
    auto size = [](HWND h)
    {
        RECT rc;
        ::GetWindowRect(h, &rc);
        return SIZE{rc.right - rc.left, rc.bottom - rc.top};
    };
    SShareToolSizes s;
    SIZE open = size(m_open.m_hWnd), play = size(m_play.m_hWnd), pause = size(m_pause.m_hWnd),
         stop = size(m_stop.m_hWnd), mute = size(m_mute.m_hWnd), volume = size(m_volume.m_hWnd);
    s.nOpenCx = open.cx;
    s.nOpenCy = open.cy;
    s.nPlayCx = play.cx;
    s.nPauseCx = pause.cx;
    s.nButtonCy = pause.cy;
    s.nStopCx = stop.cx;
    s.nMuteCx = mute.cx;
    s.nMuteCy = mute.cy;
    s.nVolumeCx = volume.cx;
    s.nVolumeCy = volume.cy;
    s.nSeekCy = m_seek.m_sizeThumb.cy > 0 ? m_seek.m_sizeThumb.cy : 16;
    SShareToolLayout l = LayoutShareTool(cx, s);
    auto place = [](HWND h, const SShareRect& r) { ::MoveWindow(h, r.x, r.y, r.cx, r.cy, FALSE); };
    place(m_open.m_hWnd, l.open);
    place(m_play.m_hWnd, l.play);
    place(m_pause.m_hWnd, l.pause);
    place(m_stop.m_hWnd, l.stop);
    place(m_time.m_hWnd, l.time);
    place(m_name.m_hWnd, l.name);
    place(m_mute.m_hWnd, l.mute);
    place(m_volume.m_hWnd, l.volume);
    place(m_seek.m_hWnd, l.seek);
    if (m_host.ShareRecord().wLength) SetSeekRange(m_host.ShareRecord().wLength);
    ShowPlayOrPause(m_host.ShareRecord().Playing());
    if (::IsWindowVisible(m_hWnd))
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL CMediaShareToolDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    int nSaved = ::SaveDC(hDC);
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        // The texts are drawn without a background of their own: the pictures show behind them.
        if (!::IsWindowVisible(h) || h == m_time.m_hWnd || h == m_name.m_hWnd) continue;
        RECT child;
        ::GetWindowRect(h, &child);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&child), 2);
        ::ExcludeClipRect(hDC, child.left, child.top, child.right, child.bottom);
    }
    if (m_back[1].m_nWidth > 0)
        m_back[1].Render(hDC, 0, 0, rc.right, rc.bottom, 0);
    else
        ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH)));
    if (m_back[0].m_nWidth > 0) m_back[0].Render(hDC, 0, 0, m_back[0].m_nWidth, m_back[0].m_nHeight, 0);
    if (m_back[2].m_nWidth > 0)
        m_back[2].Render(hDC, rc.right - m_back[2].m_nWidth, 0, m_back[2].m_nWidth, m_back[2].m_nHeight, 0);
    HBRUSH hFrame = ::CreateSolidBrush(kMediaShareFrame);
    ::FrameRect(hDC, &rc, hFrame);
    ::DeleteObject(hFrame);
    ::RestoreDC(hDC, nSaved);
    return TRUE;
}
