// The host side of the room's whiteboard that needs no window: the board-download flag kept
// from inbound board messages, which inbound messages reach the board, the texts of the
// board's errors, and the zoom and draw-mode feedback into the room's menus and palette.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "confclient/session/roomstate/RoomNotices.h"
#include "core/LogSink.h"

// Text keys of the board's ErrorMessage codes; null where a code has no text.
const char* BoardErrorTextKey(int nErr, bool bLobby);
// The zoom menu item of a zoom from elsewhere: presets, fit width, fit page, else the user-set item.
unsigned ZoomMenuId(int nZoom);
// Zooms that ResultZoom reports to the control bar: 10..300, 4096, 8192.
bool IsReportedZoom(int nZoom);

// The palette button and control-bar command of a draw mode the control chose itself; 0 for
// modes the palette does not follow.
struct DrawModeFeedback
{
    unsigned nButton = 0;
    unsigned nCommand = 0; // the colour/width handler's command, or 0
};
DrawModeFeedback DrawModeButton(int nDrawMode, bool bHighlighter);

class CBoardHostFeature
{
public:
    CBoardHostFeature(IRoomNotices& notices, ILogSink* pLog) : m_notices(notices), m_pLog(pLog) {}

    // An inbound board message (commands 3000 and 3100): outside player mode its first byte
    // sets (20) or clears (10) the download flag, and it goes on only when the room's panels
    // are set up; in player mode everything goes on. An empty message goes nowhere.
    bool OnInbound(const uint8_t* pData, size_t nLen, bool bPlayer, bool bRoomPanels);
    // Read by the agenda tree, which refuses renaming and reordering meanwhile.
    bool IsDownloading() const { return m_bDownloading; }

    // ErrorMessage: the text of the code (empty without a key), logged at error level with the
    // code and shown in a box that does not wait. Returns the text.
    std::u16string OnErrorMessage(int nErr, bool bLobby);
    // GetIniString: the session's text of a key; empty when the table has none (the board's default).
    std::u16string IniText(const std::u16string& key) const;
    // A notice by key in the box that does not wait (the agenda tree's refusals).
    void ShowNotice(const char* pszKey) { m_notices.ShowBox(m_notices.Text(pszKey)); }

private:
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
    std::atomic<bool> m_bDownloading{false};
};
