// CRoomTxtChatDlg: the room's chat panel: a title band with its buttons (show/hide, float/dock,
// colour, save), a rich-edit log of coloured lines and notices kept by the chat log, presenter
// requests answered by their links, an input line whose local slash commands never leave the
// program and whose grey hint says whether the user may write.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/people/ChatInput.h"
#include "confclient/people/ChatLog.h"
#include "confclient/room/PanelHeader.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/SidePanelDlg.h"
#include "comkit/ComPtr.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/ImageDataObject.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"

// Posted to the panel by a link click, wParam the link's start: permit or deny a request.
constexpr UINT WM_CHAT_PERMIT = 0x2833;
constexpr UINT WM_CHAT_DENY = 0x2834;

class CRoomTxtChatDlg : public CSidePanelDlg, private IChatLogView
{
public:
    explicit CRoomTxtChatDlg(IRoomHost* pHost);

    // One line of the kind (0..7); the name and colour count for chat lines (kind 2).
    void AddMessage(int nKind, const std::wstring& szText, const std::wstring& szName, uint32_t dwColour);
    // A peer's line, or the own one.
    void OnChatReceived(const std::wstring& szSender, const std::wstring& szText, uint32_t dwColour);
    // A notice of the session (recordings, file pushes, voice) as a kind-0 line; another user's
    // join or leave (NOTICE_KIND_JOINLEAVE) as a kind-7 one.
    void AddNotice(const std::wstring& szText, int nKind);
    // A presenter request of the user of the channel, with its permit and deny links.
    void AddPresenterRequest(const std::wstring& szText, uint16_t wChannel);
    // The request of the channel (65535: every one) is gone, and its links with it.
    void RemovePresenterRequest(uint16_t wChannel) { m_model.RemovePresenterRequest(wChannel); }
    // The push line: its percentage and text (the remaining time; at 100 the end), with the
    // cancel link; its end as cancelled; a received file's line whose path opens the file.
    void UpdatePushProgress(int nPercent, const std::wstring& szText);
    void EndPushProgress();
    void AddReceivedFile(const std::wstring& szPath);
    int LineCount() const { return static_cast<int>(m_model.LineCount()); }
    const CChatLog& Log() const { return m_model; }
    const CRichEditCtrlGS& LogControl() const { return m_log; }
    // The input line follows the local user's rights: writable with its hint, read-only with the
    // other, or hidden in playback.
    void UpdateInputState();
    int InputHint() const { return m_nInputHint; }

    // Enter in the edit line sends it (the dialog manager would give Enter to the top-level window).
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    HBRUSH OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    void Send();
    void Layout();
    // 0 no hint (the input cleared), 1 the enable hint while the input is empty and unfocused,
    // 2 the disable hint on a read-only input.
    void SetInputHint(int nMode);
    void ClearInput();
    void OnInputFocus(bool bGot);
    void SaveLog();
    void OnLinkClicked(LONG nStart);
    void Answer(LONG nStart, bool bPermit);
    // The colour dialog: the chosen colour becomes the session's chat colour.
    void ChooseChatColour();

    // IChatLogView: the rich edit.
    void InsertText(uint32_t nPos, const std::u16string& szText, uint32_t dwColour) override;
    void DeleteText(SChatRange range) override;
    void SetLink(SChatRange range, bool bLink) override;
    void SetPicture(uint32_t nPos, const SChatPicture& picture) override;
    void ScrollToEnd() override { m_log.ScrollToEnd(); }

    IRoomHost* m_pHost;
    CPanelHeader m_header;
    CRichEditCtrlGS m_log;
    CRichEditCtrlGS m_input;
    CHBitmapButton m_colour, m_save;
    CChatLog m_model;
    // Hands the push line's pictures to the log.
    ComPtr<CImageDataObject> m_pictures;
    int m_nInputHint = 0;
    std::wstring m_szEnableHint, m_szDisableHint;
    size_t m_nReceivedFiles = 0;
};
