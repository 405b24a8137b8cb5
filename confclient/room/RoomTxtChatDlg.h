// CRoomTxtChatDlg: the room's chat panel: a rich-edit log of coloured lines and notices kept by
// the chat log, presenter requests answered by their links, an input line whose local slash
// commands never leave the program.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/people/ChatLog.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/SidePanelDlg.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
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

    // Enter in the edit line sends it (the dialog manager would give Enter to the top-level window).
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    void Send();
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
    CRichEditCtrlGS m_log;
    CHBitmapButton m_colour;
    CChatLog m_model;
    size_t m_nReceivedFiles = 0;
};
