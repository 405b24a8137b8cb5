// CRoomMediaShareViewDlg: view mode 2 of the room: the shared file's video area and the tool bar
// under it. Without the movie-sharing sender and receiver windows the area shows an idle picture
// with the shared file's name.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "confclient/room/MediaShareHost.h"
#include "confclient/room/MediaShareToolDlg.h"
#include "confclient/room/RoomDlg.h"

class CRoomMediaShareViewDlg : public CRoomDlg
{
public:
    explicit CRoomMediaShareViewDlg(IMediaShareHost* pHost);
    ~CRoomMediaShareViewDlg() override;

    // Makes the tool bar and asks the session for the video windows; false when the tool bar
    // cannot be made.
    bool CreateChildren();
    CMediaShareToolDlg* ToolBar() { return m_pToolBar.get(); }

    // View mode changes: mode 2 shows the view and (outside full screen) the tool bar.
    void ShowView(int nMode);
    // The sharer's share started (record sent as 566) or nUser's ended.
    void SetShareActive(bool bStart, uint16_t wUser);
    // Tells the tool bar to take over the room's state (notice 8).
    void UpdateVideoState(bool bCheckSharer);
    bool IsToolBarVisible() const;
    int GetToolBarHeight() const;
    void ShowToolBar(bool bShow);
    // A menu command on the tool bar's behalf: 20017/20018 step back or on, 20019 toggles mute.
    void SendToolCommand(UINT nId);
    void SelectChannel(int n);
    void SetChannelValue(int n, uint16_t wValue);
    int GetChannel() const;
    uint16_t GetChannelValue() const;
    // A file dropped on the view (its full path).
    void OnFileDropped(const std::wstring& szPath);
    // Whether the video area shows the idle picture.
    bool ShowsIdle() const { return !m_hSend && !m_hReceive; }

    BOOL DestroyWindow();

protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void LayoutChildren(int cx, int cy);

    IMediaShareHost& m_host;
    std::unique_ptr<CMediaShareToolDlg> m_pToolBar;
    HWND m_hSend = nullptr;
    HWND m_hReceive = nullptr;
    uint32_t m_dwLastRefresh = 0;
};
