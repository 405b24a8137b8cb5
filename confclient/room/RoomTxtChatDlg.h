// CRoomTxtChatDlg: the room's chat panel: received lines and notices, an edit line and Send.
#pragma once
#include "confclient/room/SidePanelDlg.h"
#include "confclient/room/RoomHost.h"
#include <cstdint>
#include <string>

class CRoomTxtChatDlg : public CSidePanelDlg
{
public:
    explicit CRoomTxtChatDlg(IRoomHost* pHost);

    // Adds "sender: text".
    void OnChatReceived(const std::wstring& szSender, const std::wstring& szText, uint32_t dwColour);
    // Adds a notice of the session (joins, recordings, file pushes) as its own line.
    void AddNotice(const std::wstring& szText, int nKind);
    int LineCount() const;

    // Enter in the edit line sends it (the dialog manager would give Enter to the top-level window).
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    void Send();

    IRoomHost* m_pHost;
};
