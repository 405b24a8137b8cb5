// CMessangeDlg: the skinned one-to-one messenger window of one peer: a coloured history with
// answer links, the input line, the invitation into the local user's room, saving the history,
// its own frame (caption drag, border resize, minimise, maximise, restore, close) and one file
// transfer with the peer at a time, with its progress panel.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "confclient/notices/NoticeHost.h"
#include "confclient/people/MessengerLog.h"
#include "confclient/people/MessengerTable.h"
#include "confclient/people/MessengerTransfer.h"
#include "confclient/room/FileSProgressDlg.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"
#include "winui/Dialog.h"

// What the messenger window asks of the session beyond the notices' services.
class IMessengerHost
{
public:
    virtual ~IMessengerHost() = default;
    // The program's registry key under the current user ("MessageWindow_Pos", "TxtChat_COLOR").
    virtual std::wstring ProgramKey() const = 0;
    // The "/state" line's fields: the local user's fourth record string, first and third words.
    virtual std::wstring StateFields() const = 0;
    // 610, 650 and 660 to the peer; false without a network object.
    virtual bool SendMessengerText(uint16_t wPeer, const std::u16string& szWire) = 0;
    virtual bool SendInvite(uint16_t wRoomIndex, uint16_t wPeer) = 0;
    virtual bool SendInviteReply(uint16_t wPeer, bool bAccept) = 0;
    // The room flag (the local user is in a room) and whether the peer is one of its users.
    virtual bool InRoom() const = 0;
    virtual bool IsRoomUser(uint16_t wPeerIndex, const std::wstring& szPeerId) const = 0;
    // Whether the lobby's list holds the room; joining it.
    virtual bool LobbyHasRoom(uint16_t wRoomIndex) const = 0;
    virtual void JoinRoomByIndex(uint16_t wRoomIndex) = 0;
    // Leaves the room, its window's placement kept, for an invitation into another one.
    virtual void LeaveRoomForInvitation() = 0;
    // 1 when the session can take an accepted invitation (in the lobby, no entry pending).
    virtual int StateValue() const = 0;
    // Bit 0x10 file transfer allowed, bit 0x200000 invite button hidden.
    virtual uint32_t FeatureWord() const = 0;
    // The window closed by its user: its entry and slot go.
    virtual void TakeQueuedMessages(const std::wstring& szPeerId, uint16_t wPeerIndex) = 0;
    // The save-as dialog for the history; true when written.
    virtual bool SaveChatToFile(HWND hRichEdit, HWND hParent) = 0;
    // A modal notice box; 1, 2 or 3 for the button pressed.
    virtual int AskBox(const std::wstring& szText, int nButtons) = 0;
    // 620, 630 and 640 (any thread) to the peer; false without a network object.
    virtual bool SendFileOffer(uint16_t wPeer, const std::u16string& szName, uint32_t dwSize) = 0;
    virtual bool SendFileReply(uint16_t wPeer, bool bAccept) = 0;
    virtual bool SendFileData(uint16_t wPeer, const uint8_t* p, size_t n) = 0;
    // The folder received files land in and offered ones are picked from.
    virtual std::wstring SaveFolder() const = 0;
    // The transfers' bytes per second.
    virtual uint32_t TransferPace() const = 0;
};

class CMessangeDlg : public CDialog, public IMessengerWindow, private IChatLogView
{
public:
    static constexpr uint16_t kNoRoom = 65535;
    static constexpr UINT_PTR kFlashTimer = 1243;
    static constexpr UINT_PTR kInviteTimer = 1246;
    static constexpr int kFlashes = 8;

    CMessangeDlg(INoticeHost& notices, IMessengerHost& host, int nValue = 1);

    // Makes the window (desktop parent); false, or no window, when the template or a picture
    // fails: the caller then frees the object.
    BOOL Create();
    void Open(const std::wstring& szPeerId, const std::wstring& szPeerName, int nSlot);

    // Activates a new window as a click would: a middle click at (10, 10) of its client area, the
    // pointer put back. Only where that point shows the window itself (else another program would
    // get the click); false when it does not.
    static bool ActivateByMiddleClick(HWND hWnd);

    // IMessengerWindow.
    void SetPeer(uint16_t wUserIndex) override { m_wPeerIndex = wUserIndex; }
    void UpdateRoomState(bool bInRoom, uint16_t wRoomIndex) override;
    void ReceiveMessage(int nKind, const std::u16string& szText, const std::u16string& szExtra,
                        uint32_t dwValue) override;
    void OnFileDataAck(uint32_t nBytes) override;
    void ForceClose() override;

    // One line of the kind; with bLocal its protocol action too.
    void AddMessage(int nKind, const std::wstring& szText, bool bLocal, const std::wstring& szExtra = L"");
    // Enter in the input line.
    void SendInput();
    // The invite button.
    void SendInvite();
    // A click on the history at the character position.
    void OnLinkClicked(LONG nPos);

    // The file transfer (MessangeTransfer.cpp): the peer's offer, answer and blocks; our offer of
    // the file at the path (the file button, a dropped file).
    void OnFileOffer(const std::u16string& szName, uint32_t dwSize);
    void OnFileReply(bool bAccepted);
    void OnFileData(const uint8_t* p, size_t n);
    bool OfferPath(const std::wstring& szPath);
    CMessengerTransfer* Transfer() const { return m_pTransfer.get(); }
    CFileSProgressDlg* Progress() const { return m_pProgress.get(); }

    uint16_t PeerIndex() const { return m_wPeerIndex; }
    uint16_t RoomIndex() const { return m_wRoomIndex; }
    uint16_t InvitedRoom() const { return m_wInvitedRoom; }
    const std::wstring& PeerId() const { return m_szPeerId; }
    const CMessengerLog& Log() const { return m_log; }
    const CRichEditCtrlGS& History() const { return m_history; }
    bool IsForceClosed() const { return m_bClosedByProgram; }
    bool IsMaximised() const { return m_bMaximised; }
    bool LeaveRoomWarned() const { return m_bLeaveRoomWarned; }
    int FlashCount() const { return m_nFlashes; }
    SIZE MinTrackSize() const { return {m_nMinWidth, kMinHeight}; }
    // The frame's hit test at a client point: HTCAPTION, HTLEFT..HTBOTTOMRIGHT, or HTCLIENT.
    LRESULT HitTest(POINT ptClient) const;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override { Close(); }
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    static constexpr int kMinHeight = 245;

    BOOL FailSetUp();
    // Closes unless the user keeps a running transfer; true when the window went.
    bool Close();
    void AcceptInvitation();
    void ToggleMaximise();
    void LayOut(int cx, int cy);
    void LoadPosition();
    void SavePosition();
    void Paint(HDC hDC);
    std::wstring Text(const char* pszKey) const { return m_notices.NoticeText(pszKey); }

    // IChatLogView: the history rich edit.
    void InsertText(uint32_t nPos, const std::u16string& szText, uint32_t dwColour) override;
    void DeleteText(SChatRange range) override;
    void SetLink(SChatRange range, bool bLink) override;
    void SetPicture(uint32_t, const SChatPicture&) override {}
    void ScrollToEnd() override { m_history.ScrollToEnd(); }

    class CTransferHost;
    static constexpr UINT_PTR kSendEndTimer = 1244;
    static constexpr UINT_PTR kReceiveEndTimer = 1245;
    // Asked for from any thread: wParam the timer, lParam its milliseconds.
    static constexpr UINT kMsgEndTimer = WM_APP + 0x111;
    void MakeTransfer();
    void ChooseFile();
    bool TransferMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    INoticeHost& m_notices;
    IMessengerHost& m_host;
    bool m_bSkipActivation;
    bool m_bIgnoreNextActivation = false;
    CRichEditCtrlGS m_history;
    CMessengerLog m_log;
    CLMStatic m_peerName;
    CHBitmapButton m_save, m_file, m_invite, m_minimise, m_maximise, m_restore, m_close;
    CLMToolTipCtrl m_tips;
    CLMPictureEx m_top[3];
    HICON m_hIcon = nullptr;

    std::wstring m_szPeerId;
    std::wstring m_szPeerName;
    int m_nSlot = -1;
    uint16_t m_wPeerIndex = 65535;
    uint16_t m_wRoomIndex = kNoRoom;
    uint16_t m_wInvitedRoom = kNoRoom;
    bool m_bActive = false;
    int m_nFlashes = 0;
    bool m_bMaximised = false;
    RECT m_rcRestore{};
    int m_nMinWidth = 0;
    // Distances kept from the client edges once the first layout is done.
    bool m_bLaidOut = false;
    int m_nRightMargin = 0, m_nHistoryBottom = 0, m_nInputBottom = 0;
    uint32_t m_dwColour = 0;
    bool m_bLeaveRoomWarned = false;
    bool m_bAcceptFailed = false;
    bool m_bClosedByProgram = false;
    bool m_bSetUpFailed = false;
    std::unique_ptr<CFileSProgressDlg> m_pProgress;
    // The transfer's host and folder outlive it: its thread calls them.
    std::unique_ptr<IMessengerTransferHost> m_pTransferHost;
    std::unique_ptr<IDownloadFolder> m_pDownloads;
    CSteadyPaceClock m_paceClock;
    std::unique_ptr<CMessengerTransfer> m_pTransfer;
};
