// CNoticeDlg: the translucent bar at the top of the room's screen while a desktop share involves
// the local user: whose screen is shared (or that it is under remote control), a toggle for the
// screen-drawing tool and a button that ends the share. Created with new; deletes itself.
#pragma once
#include <string>

#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/toolkit/controls/LMBitmapButton.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "winui/Dialog.h"

// Posted to the main dialog: show (wParam 1) or hide (0) the screen-drawing tool; hide it.
constexpr UINT kMsgShowDrawTool = 4057;
constexpr UINT kMsgHideDrawTool = 4056;

class CNoticeDlg : public CDialog
{
public:
    // nMode: nonzero a share by name, 0 remote control.
    CNoticeDlg(INoticeHost& host, int nMode);
    // Makes and shows the bar on the desktop; false (and the object freed) when it could not be made.
    static bool Show(CNoticeDlg* pBar);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    void PostNcDestroy() override { delete this; }

private:
    void OnToggle();
    void OnClose();
    void UpdateToggleTip();

    INoticeHost& m_host;
    int m_nMode;
    std::wstring m_szText;
    CLMPictureEx m_back;
    CLMBitmapButton m_toggle;
    CLMBitmapButton m_close;
    CLMStatic m_text;
    CLMToolTipCtrl m_tip;
};
