// CRoomVideoViewDlg: the grid of video views of the room with a speech level meter each, docked in
// the main view or floating.
#pragma once
#include "confclient/room/RoomDlg.h"
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class IRoomHost;

class CRoomVideoViewDlg : public CRoomDlg
{
public:
    static constexpr int kMaxViews = 49;
    static constexpr uint16_t kNoChannel = 65535;

    explicit CRoomVideoViewDlg(IRoomHost* pHost = nullptr);

    // Makes n views (clamped to 0..49) in a grid; views that stay keep their channel and name.
    void SetViewCount(int n);
    int ViewCount() const { return static_cast<int>(m_views.size()); }
    // Reads the floating grid's rectangle ("left,top,width,height") from the program's key.
    void LoadFloatingPosition(const std::wstring& szExeName);
    // Names the view of the channel, or the first free view; kNoChannel names none.
    void SetViewName(uint16_t wChannel, const std::u16string& szName);
    // Non-zero: the grid leaves the main view and floats at the saved rectangle; 0: docks again.
    void SetFloating(uint8_t nMode);
    bool IsFloating() const { return m_bFloating; }
    // The views show these users by channel order; views left over are blank.
    void ShowUsers(const std::vector<std::pair<uint16_t, std::wstring>>& chNames);
    // The view of that channel is greyed while the channel sends no video (value 0).
    void SetVideoState(uint16_t ch, uint32_t value);
    // The speech level meter (0..100) at the foot of the channel's view; every meter to 0.
    void SetPeakLevel(uint16_t ch, int nLevel);
    void ResetPeakLevels();
    HWND LevelWindow(int nIndex) const;

    HWND ViewWindow(int nIndex) const;
    uint16_t ViewChannel(int nIndex) const;
    RECT FloatingRect() const { return m_rcFloating; }
    // A participant dragged from the list (or a seat) and released over a view changes seats.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    struct View
    {
        HWND hWnd = nullptr;
        HWND hLevel = nullptr; // a progress bar inside the view
        uint16_t wChannel = kNoChannel;
    };
    static constexpr LONG kLevelHeight = 5;
    int FindView(uint16_t ch) const;
    // The view under a screen point; -1 when none is.
    int ViewAt(POINT ptScreen) const;
    // A press on a seat, the drag cursor, a release on a seat.
    void TrackSeatDrag(const MSG& msg);
    void SetView(int nIndex, uint16_t ch, const std::wstring& szName);
    void LayoutViews();

    IRoomHost* m_pHost;
    std::vector<View> m_views;
    RECT m_rcFloating;
    HWND m_hDockParent = nullptr;
    bool m_bFloating = false;
};
