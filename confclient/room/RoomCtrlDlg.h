// CRoomCtrlDlg: the room's skinned two-row control bar: the menu buttons, the voice, view-mode,
// board, record, presenter and window buttons, the conference time and the network state, a status
// line, and both sides of a file pushed to the room.
#pragma once
#include "confclient/media/RecordControl.h"
#include "confclient/people/FilePush.h"
#include "confclient/room/RoomBarClock.h"
#include "confclient/room/RoomBarRules.h"
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/MemoDlg.h"
#include "confclient/room/MenuHintTip.h"
#include "confclient/room/RoomMenuModel.h"
#include "confclient/room/RoomBarPlacement.h"
#include "confclient/toolkit/controls/BitmapCheckButton.h"
#include "confclient/toolkit/controls/ColourPopup.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMBitmapButton.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "confclient/toolkit/menu/MenuCH.h"
#include "confclient/toolkit/slider/BitmapSlider.h"
#include <atomic>
#include <memory>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the bar's voice buttons ask of the room's voice.
class IVoiceBarActions
{
public:
    virtual ~IVoiceBarActions() = default;
    // The talk or mute button was clicked; its new check.
    virtual void OnTalkClicked(bool bChecked) = 0;
    virtual void OnMuteClicked(bool bChecked) = 0;
    // A volume slider moved: the speaker's or the microphone's, 0..100.
    virtual void OnVolumeMoved(bool bSpeaker, int nPos) = 0;
};

class BCMenu;
class CPropertyDlg;

class CRoomCtrlDlg : public CRoomDlg, private IMemoHost, private IRoomHotKeySink
{
public:
    // Posted by the session's send-queue and keep-alive checks: wParam 1 the connection is fine
    // again, 2 it is slow.
    static constexpr UINT WM_NETWORK_STATE = 4053;
    // Local recording was stopped because the server started recording the room.
    static constexpr int kStopForServerRecord = 4058;
    // A pen colour chosen in a colour picker; wParam the colour.
    static constexpr UINT WM_PEN_COLOUR = 0x7EC;

    explicit CRoomCtrlDlg(IRoomHost* pHost);
    ~CRoomCtrlDlg() override;

    // The room main view that Maximize and Restore act on.
    void SetMainView(CWnd* pMainView) { m_pMainView = pMainView; }

    void UpdatePresenterButton(bool bEnable);
    // The record button goes back to "not recording" and the status line says why.
    void StopRecord(int nReason);
    void EnableServerRecordMenu(bool bEnable);
    void EnableRecordButtons(bool bEnable);
    void MaximizeRoomWindow();
    void RestoreRoomWindow();
    bool IsRoomMaximized() const;

    // The file push (RoomCtrlPush.cpp). File 32786: the user picks a file, which goes to everyone
    // in the room.
    void OnPushCommand();
    // Sends the file at the path to the room; false when it was refused (a box says why).
    bool StartPushFile(const std::wstring& szPath);
    // A block of the file this user pushes left the socket (on the window's thread).
    void OnPushChunkSent(uint32_t nBytes);
    // The sender stops its push (tell: the room hears); a receiver abandons its own receive.
    void CancelFilePush(bool bTell);
    // Another member's push: its start, cancellation and data.
    bool BeginPushReceive(uint16_t wSender, const std::u16string& szSender, const std::u16string& szFile,
                          uint32_t dwSize);
    void OnPushCancelled(uint16_t wSender, const std::u16string& szSender);
    void OnPushData(uint16_t wSender, const uint8_t* p, size_t n);
    CFilePush* Push() const { return m_pPush.get(); }

    // Asks the session to close the room; the maximised state of the main view is kept.
    void LeaveRoom();
    // The room control mode; 2 wants the network notices.
    int Mode() const { return m_nMode; }
    void SetMode(int nMode) { m_nMode = nMode; }
    // The room's view as the bar shows it: view-mode, full-screen, maximise and restore items.
    void SetBarState(const S_BARSTATE& state);
    const S_BARSTATE& BarState() const { return m_barState; }
    void SetStatus(const std::wstring& szText);
    std::wstring Status() const;

    // The recording controls (RoomCtrlRecord.cpp): the record toggle and menu item, the save
    // dialog, the two recording timers.
    void SetRecording(IBarRecording* pRecording) { m_pRecording = pRecording; }
    void SetRecordCheck(bool bChecked);
    bool RecordChecked() const { return m_bRecordChecked; }
    // The save dialog on the name, folder, filter ("|"-separated) and filter index (1-based; 0
    // the first). The chosen path and the filter shown last come back, the index also on cancel.
    bool AskRecordPath(const std::wstring& szName, const std::wstring& szFolder, const std::wstring& szFilter,
                       std::wstring& szPath, uint32_t& nFilterIndex);
    void SetRecordTimer(int nId, bool bOn);

    // The voice controls: talk and mute buttons and the own microphone's level (0..100).
    void SetVoiceActions(IVoiceBarActions* pActions) { m_pVoiceActions = pActions; }
    void SetTalkCheck(bool bChecked);
    void EnableTalk(bool bEnable);
    bool TalkEnabled() const;
    void SetMuteCheck(bool bChecked);
    void EnableMute(bool bEnable);
    void ShowLevel(int nLevel);
    // The talk or mute button's look for the voice's state: its four bitmaps (unchecked, checked,
    // hover, disabled), shown in push mode, and its tool tip (a text key).
    void SetVoiceButtonBitmaps(int nId, const UINT (&bitmaps)[4]);
    void SetVoiceButtonTip(int nId, const char* pszKey);

    // The room menus (RoomCtrlMenus.cpp): a menu button drops its menu, built from the room's
    // state, under it; the chosen command runs as any other bar command.
    void DropMenu(int nButton);
    // Runs a menu command or a bar button's command; false for one the bar does not know.
    bool OnBarMenuCommand(int nId);
    // The room property dialog: closed when open, else opened on the room's properties.
    void TogglePropertyDlg();
    CPropertyDlg* PropertyDlg() const { return m_pPropertyDlg.get(); }
    // The property dialog's OK: the title and password go to the room when changed.
    void UpdateRoomTexts(const std::u16string& szTitle, const std::u16string& szPassword);
    // The property dialog went away.
    void OnPropertyDlgClosed();
    // The conference time: the seconds since the room (or its lecture) began, as the room said.
    void OnElapsedTimeInfo(int64_t nSeconds);
    // The network state (0 normal, 1 bad, 2 worst), shown under the 20-second rule.
    void OnNetworkState(int nState);
    const CNetworkStateIndicator& NetworkIndicator() const { return m_network; }
    // The layout picture menu under the layout button: the room's layouts in two columns.
    void DropLayoutMenu();
    const std::vector<S_LAYOUTITEM>& LastLayoutMenu() const { return m_lastLayouts; }
    const CMenuHintTip& HintTip() const { return m_hintTip; }
    // A Draw-menu command from the floating board tool or the pop-up tool bar: font, eraser, check
    // and point, scroll and the drawing tools run as the Draw menu runs them; others are ignored.
    void RouteLayoutCommand(int nCommand, int nFlag);
    const CBoardTools& BoardTools() const { return m_boardTools; }
    // The board's zoom changed (ResultZoom): the Draw menu checks its item.
    void ShowBoardZoom(int nCommand) { m_boardTools.ShowZoom(nCommand); }
    // Board capture (Tool 32927): runs until a capture, Escape, or the bar goes.
    bool CaptureRunning() const;
    // The memo pad (File 32904): made on first use, then shown and restored or hidden.
    void ShowMemo(bool bShow) override;
    CMemoDlg* Memo() const { return m_pMemo.get(); }
    // The menu of a menu button, as it was built last (empty before the first drop).
    const std::vector<S_MENUITEM>& LastMenu() const { return m_lastMenu; }

    // The web page (RoomCtrlWeb.cpp). The board loads the address (the field's text: Return, the
    // field's list, the web button); the address heads the field's list of the last thirty.
    void LoadWebAddress(const std::wstring& szField);
    std::wstring WebFieldText() const;
    const CWebHistory& WebHistory() const { return m_webHistory; }
    // Web button 1368: the field's address as a web page, or back from the web page to the
    // agenda's page; web draw 1369: the web page shown becomes a board page.
    void ToggleBoardWeb();
    void DrawOnWebPage();

    // A room hot key: the bar runs its command or drops its menu as the menu item would.
    bool OnRoomHotKey(const S_HOTKEY& key) override;

    // The skinned bar (RoomCtrlSkin.cpp). What the placement is computed from at width cx.
    S_BARLAYOUTINPUT PlacementInput(int cx) const;
    // The pen and highlighter colours the board draws with (0x00BBGGRR) and the palette index.
    COLORREF PenColour() const { return m_crPen; }
    COLORREF HighlighterColour() const { return m_crHighlighter; }
    int PenPaletteIndex() const { return m_nPenIndex; }
    // The pen colour grid (Draw 32932) at the pointer, from the current colour; null while closed.
    void OpenColourPopup();
    CColourPopup* ColourPopup() const
    {
        return m_pColourPopup && m_pColourPopup->m_hWnd ? m_pColourPopup.get() : nullptr;
    }
    // The sliders' positions (0..100) and the microphone slider's use.
    void SetSpeakerSlider(int nPos);
    void SetMicSlider(int nPos);
    void EnableMicSlider(bool bEnable);

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    // The push's end timer (1250), asked for from any thread; its progress (0xFBD, wParam percent,
    // lParam a heap string freed here).
    static constexpr UINT WM_PUSH_END_TIMER = WM_APP + 0x31;
    static constexpr UINT WM_PUSH_PROGRESS = 0xFBD;
    static constexpr UINT_PTR kPushEndTimer = 1250;
    class CPushHost;
    void MakePush();
    bool PushMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::wstring Text(const char* pszKey) const;
    // The open menu's measuring and drawing, and the property dialog's closing; true when handled.
    bool MenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void TrackOneMenu(int nButton);
    static LRESULT CALLBACK MenuFilter(int nCode, WPARAM wParam, LPARAM lParam);
    static constexpr UINT WM_PROPERTY_CLOSED = WM_APP + 0x32;
    void ApplyBarItems();
    // Full screen, maximise or restore, for everyone in the room or for this window only.
    void RunWindowButton(int nButton, bool bForEveryone);
    // The right button released on a window button: the for-everyone pop-up; true when shown.
    bool OnWindowButtonRightUp(HWND hButton);
    // Lays the bar's controls out again for its present width.
    void RelayoutBar();
    // A left press on the bar's own background: true when it moved or maximised the room.
    bool OnBarPress(const MSG& msg);
    // Whether an edit control of the bar (the web field's) has the focus.
    bool EditHasFocus() const;
    // Whether the board shows a web page in board view: the web field is then shown.
    bool BoardShowsWeb() const;
    CWebHistory m_webHistory;

    IRoomHost* m_pHost;
    CWnd* m_pMainView = nullptr;
    IBarRecording* m_pRecording = nullptr;
    bool m_bRecordChecked = false;
    // A recording timer's tick; false for another timer.
    bool OnRecordTimerTick(UINT_PTR nId);
    IVoiceBarActions* m_pVoiceActions = nullptr;
    int m_nMode = 0;
    S_BARSTATE m_barState;
    // The push's host goes after the push, whose thread it serves.
    std::unique_ptr<IFilePushHost> m_pPushHost;
    std::unique_ptr<IDownloadFolder> m_pDownloads;
    std::unique_ptr<CSteadyPaceClock> m_pPushClock;
    std::unique_ptr<CFilePush> m_pPush;
    // The open menu and the button that dropped it, the button slid to; the last menu built.
    BCMenu* m_pOpenMenu = nullptr;
    int m_nOpenMenuButton = 0;
    int m_nSlideTo = 0;
    CMenuCH* m_pOpenLayoutMenu = nullptr;
    // The layout menu, kept with its pictures between drops while the room offers the same layouts.
    std::unique_ptr<CMenuCH> m_pLayoutMenu;
    std::vector<S_LAYOUTITEM> m_lastLayouts;
    // The layout menu's hints, on the layout button.
    CMenuHintTip m_hintTip;
    std::unique_ptr<class CBarCapture> m_pCapture;
    CBoardTools m_boardTools;
    // The conference time label and the network indicator, both ticking on timer 7058.
    static constexpr UINT_PTR kClockTimer = 7058;
    void ApplyClock(const S_CLOCKUPDATE& u);
    void OnTimer(UINT_PTR nId) override;
    CConferenceClock m_clock;
    CNetworkStateIndicator m_network;
    std::vector<S_MENUITEM> m_lastMenu;
    std::unique_ptr<CPropertyDlg> m_pPropertyDlg;

    // IMemoHost (RoomCtrlMemo.cpp): the memo's owner is the bar.
    INoticeHost& MemoNotices() override { return m_pHost->Notices(); }
    bool SaveChatToFile(HWND hRichEdit, HWND hParent) override
    {
        return m_pHost->SaveChatToFile(hRichEdit, hParent);
    }
    std::wstring SaveFolder() const override { return m_pHost->SaveFolder(); }
    RECT RoomAreaRect() const override;
    bool RoomMainWindowExists() const override;
    std::unique_ptr<CMemoDlg> m_pMemo;

    // The skinned bar (RoomCtrlSkin.cpp): false when a background picture is missing.
    bool LoadSkinImages();
    void InitSkinControls();
    void PlaceControls(int cx);
    void EraseBackground(HDC hDC);
    void OnPenColour(COLORREF crColour);
    void OnSliderMoving(int nId, int nPos);
    void OnSliderMoved(int nId, int nPos);
    // The network state's picture, tip and text.
    void ShowNetworkState(const S_NETWORKDISPLAY& shown);
    CLMPictureEx m_backLeft, m_backMiddle, m_backRight, m_backBar;
    CLMToolTipCtrl m_toolTip;
    CLMBitmapButton m_menuButtons[5];
    CLMBitmapButton m_layout, m_shareName, m_restore, m_maximize, m_close, m_minimize, m_presentation,
        m_networkButton;
    CBitmapCheckButton m_camera, m_mute, m_talk, m_video, m_board, m_mediaShare, m_question, m_shareView,
        m_web, m_record, m_presenter;
    CHBitmapButton m_webDraw, m_docOpen;
    CBitmapSlider m_speaker, m_mic;
    std::unique_ptr<CColourPopup> m_pColourPopup;
    HFONT m_hTimeFont = nullptr;
    // The menu row's band colour, under the conference time and the status line.
    static constexpr COLORREF kMenuRowColour = RGB(0xF4, 0xF7, 0xFA);
    HBRUSH m_hMenuRowBrush = nullptr;
    COLORREF m_crPen = 0x00D08C19, m_crHighlighter = 0x00D08C19;
    int m_nPenIndex = 0;
    bool m_bSkinned = false;
};
