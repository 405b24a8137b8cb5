// CRoomMainViewDlg: the room's top-level window; lays out the bar, the side-panel host, the views
// and the pop-up strips by the room's view mode and full screen.
#pragma once
#include "confclient/room/CallToHTerminal.h"
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomMainInput.h"
#include "confclient/room/RoomViewLayout.h"
#include <shellapi.h>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRoomVideoViewDlg;
class CRoomMediaShareViewDlg;
class CQuestionDlg;
class CRoomBoard;
class IRoomBoardSession;
struct RoomBoardSettings;

class CRoomMainViewDlg : public CRoomDlg
{
public:
    CRoomMainViewDlg();
    ~CRoomMainViewDlg() override;

    // Keeps the views (any may be null) as the video, media-share and question panes.
    void SetChildViews(CRoomVideoViewDlg* pVideo, CRoomMediaShareViewDlg* pMediaShare,
                       CQuestionDlg* pQuestion);
    // The window that takes a pane's place; null: the room has none.
    void SetPane(RoomPane pane, CWnd* pWnd);
    // The room's view as the session has it; the room is laid out for it at once.
    void SetViewState(const S_ROOMVIEWSTATE& state);
    const S_ROOMVIEWSTATE& ViewState() const { return m_state; }
    // Lays the children out again and repaints everything.
    void Refresh();
    void SetRoomTitle(const std::wstring& szTitle);
    // The room's whiteboard in the board pane, when the control is registered.
    void StartBoard(IRoomBoardSession& session, const RoomBoardSettings& settings);
    CRoomBoard* Board() const { return m_pBoard.get(); }
    // Covers the monitor, or goes back to a normal window at rcNormal.
    void EnterFullScreen(const S_RECT& monitor);
    void LeaveFullScreen(const S_RECT& rcNormal);
    // Windows the last layout moved, for tests and benchmarks.
    size_t LastBatchSize() const { return m_nLastBatch; }
    // The dialer (0xFD3 opens it with wParam 0, closes it with 1): what it is given, and whether
    // calls are allowed; disallowing them hangs up a call being placed and closes the dialer.
    void SetCallDialer(CallDialerSetup setup) { m_dialerSetup = std::move(setup); }
    void EnableCallTerminal(bool bEnable);
    // The system menu's about item (16) under a separator; choosing it runs the action.
    void SetAboutItem(const std::wstring& szText, std::function<void()> showAbout);
    CCallToHTerminal* CallDialer() const { return m_pDialer; }
    // Groups the program's windows on the taskbar under the skin folder's icon and name (or the
    // program's own); szProgram: the program's name without ".exe". Failed writes are ignored.
    static void GroupOnTaskbar(const std::wstring& szProgram, const std::wstring& szSkinFolder);
    // In player mode the window takes dropped files: the first one's path and what it opens go to
    // onDrop. bRvEdition: recordings end in "rv", else "qn".
    void SetFileDrop(bool bRvEdition, std::function<void(DropAction, const std::wstring&)> onDrop);
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Places every pane in one deferred batch while the window's updates are locked.
    void LayoutChildren();
    // WM_SIZING: a border drag keeps the room between its minimum and the work area.
    void ClampDrag(int nEdge, RECT* pRect) const;
    bool EraseBackground(HDC hDC);
    // The minimised window shows its icon centred (where the system draws minimised windows).
    bool PaintIconic();
    void OnDropFiles(HDROP hDrop);
    // An edit control of the room other than the board's text field.
    bool IsEditControl(HWND hWnd) const;
    // The icon (the room's, or the played recording's) and whether dropped files are taken.
    void FollowPlayerMode();
    // The system menu's close leaves the room as the bar's Leave does.
    bool OnSysCommand(WPARAM wParam);
    void OnCallTerminal(WPARAM wParam);

    std::array<HWND, ROOM_PANE_COUNT> m_panes{};
    S_ROOMVIEWSTATE m_state;
    LONG_PTR m_lNormalStyle = 0;
    size_t m_nLastBatch = 0;
    std::unique_ptr<CRoomBoard> m_pBoard;
    CallDialerSetup m_dialerSetup;
    bool m_bCallsEnabled = false;
    CCallToHTerminal* m_pDialer = nullptr;
    bool m_bPlayerIcon = false;
    std::function<void()> m_showAbout;
    bool m_bRvEdition = false;
    std::function<void(DropAction, const std::wstring&)> m_onDrop;
};
