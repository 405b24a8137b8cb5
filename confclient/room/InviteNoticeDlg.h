// CInviteNoticeDlg: the notice that another user invites this one to a room.
#pragma once
#include "confclient/room/RoomDlg.h"
#include <string>

// Create it with new and Create(main dialog): OK or Cancel destroys the window, and the object deletes
// itself after the window's last message, so the creator keeps no pointer to it.
class CInviteNoticeDlg : public CRoomDlg
{
public:
    CInviteNoticeDlg(const std::wstring& szInviter, const std::wstring& szRoomTitle,
                     const std::wstring& szMessage);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { DestroyWindow(); }
    void OnCancel() override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }

private:
    std::wstring m_szInviter;
    std::wstring m_szRoomTitle;
    std::wstring m_szMessage;
};
