// CRoomMediaShareViewDlg: view mode 2 of the room: the shared file's video area and the tool bar
// under it. Until the video dialogs of movie sharing come, the area shows an idle picture with the
// shared file's name.
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

    int GetToolBarHeight() const;
    // A file dropped on the view (its full path).
    void OnFileDropped(const std::wstring& szPath);
    // Whether the video area shows the idle picture.
    bool ShowsIdle() const { return !m_hSend; }

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
};
