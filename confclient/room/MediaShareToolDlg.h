// CMediaShareToolDlg: the media-share view's tool bar: open, play, pause, stop, mute, seek and
// volume for the sharer, the file's name and time for everyone, mirroring the room's record.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/room/MediaShareHost.h"
#include "confclient/room/MediaShareToolRules.h"
#include "confclient/room/RoomDlg.h"
#include "confclient/toolkit/controls/BitmapCheckButton.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/slider/BitmapSlider.h"

// The message the sender and the tool bar exchange (wParam: command or notice).
constexpr UINT kMsgMediaShare = 0xFD6;
// The one-pixel frame of the view and the tool bar.
constexpr COLORREF kMediaShareFrame = 0xD6B9A4;

// Commands to the send-video dialog (kMsgMediaShare's wParam).
enum MediaShareCommand : WPARAM
{
    SHARECMD_STOP = 0,
    SHARECMD_PAUSE = 1,
    SHARECMD_PLAY = 2,
    SHARECMD_OPEN = 3,
    SHARECMD_SEEK = 4,
    SHARECMD_MUTE = 5,
    SHARECMD_VOLUME = 6,
};

class CMediaShareToolDlg : public CRoomDlg
{
public:
    explicit CMediaShareToolDlg(IMediaShareHost& host);

    // A child of the view.
    BOOL Create(CWnd* pParent);
    // The send-video window the commands go to (null while the program has none).
    void SetSender(HWND hSend) { m_hSend = hSend; }
    // A notice from the room or the sender (MediaShareNotice); then texts and controls follow.
    void OnNotice(int nNotice, uint32_t lParam);

    // v 65535 steps by 10 (bUp: up); otherwise the value, final once the slider is released.
    void SetVolume(uint32_t v, bool bUp, bool bFinal = true);
    void SetPlayMode(int nMode);
    void SetSeekRange(uint32_t nLength);
    void UpdateTimeText();
    void UpdateControls();
    void ResetTick();
    // The pictures' height: what the view gives the tool bar.
    int BarHeight() const { return m_back[0].m_nHeight; }

    // What the tool bar shows, for the view and tests.
    const QNMediaShareRecord& State() const { return m_State; }
    std::wstring TimeText() const { return m_szLastTime; }
    std::wstring NameText() const { return m_szLastName; }
    bool ControlsEnabled() const { return m_bControlsEnabled; }
    bool SeekEnabled() const { return m_bSeekEnabled; }
    // Whether the mute toggle shows its muted pictures.
    bool Muted() const { return m_bMutedShown; }
    int VolumePosition() const { return m_volume.GetPos(); }
    int SeekPosition() const { return m_seek.GetPos(); }
    int SeekMax() const { return m_seek.GetRangeMax(); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnOpen();
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnMute();
    void OnSliderReleased(UINT nId, int nPos);
    void LoadMuteBitmaps(bool bMuted);
    void SendCommand(WPARAM wCommand, LPARAM lParam);
    bool IsLocalSharer() const;
    void ShowPlayOrPause(bool bPlaying);

    IMediaShareHost& m_host;
    HWND m_hSend = nullptr;
    CLMPictureEx m_back[3];
    std::wstring m_szLastName, m_szLastTime;
    bool m_bKeepSending = false;
    bool m_bPlaying = false;
    uint32_t m_dwLastTick = 0;
    QNMediaShareRecord m_State;
    CLMStatic m_time, m_name;
    CBitmapSlider m_seek, m_volume;
    CBitmapCheckButton m_mute;
    CHBitmapButton m_play, m_pause, m_stop, m_open;
    bool m_bSeekEnabled = false;
    bool m_bControlsEnabled = false;
    bool m_bMutedShown = false;
    HFONT m_hFont = nullptr;
};
