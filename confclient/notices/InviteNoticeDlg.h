// CInviteNoticeDlg: the notice that slides up in the screen's corner, with a sound, when a user
// invites this one into a room: accept joins it (after leaving the present room), decline tells
// the inviter. Created with new; the object deletes itself when its window goes.
#pragma once
#include <string>

#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "winui/Dialog.h"

class CInviteNoticeDlg : public CDialog
{
public:
    // nSlot: its place in the stack of open notices (0 the lowest).
    CInviteNoticeDlg(INoticeHost& host, uint16_t wInviter, uint16_t wRoomIndex, std::wstring szRoomName,
                     int nSlot);
    // Makes and shows the notice; false (and the object freed) when it could not be made.
    static bool Show(CInviteNoticeDlg* pNotice, CWnd* pParent);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void PostNcDestroy() override { delete this; }

private:
    void OnAccept();
    void OnDecline();

    INoticeHost& m_host;
    uint16_t m_wInviter;
    uint16_t m_wRoomIndex;
    std::wstring m_szRoomName;
    int m_nSlot;
    CTitleBand m_title;
    CLMStatic m_message;
    CLMStatic m_caption;
    CHBitmapButton m_accept;
    CHBitmapButton m_decline;
};
