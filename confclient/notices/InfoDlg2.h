// CInfoDlg2: the program's skinned notice box: title band, wrapped message, one to three picture
// buttons; modal (modes 0 and 4, the answer returned) or not waiting (modes 1-3, deletes itself).
// Mode 4 counts the reconnection down in its text.
#pragma once
#include <array>
#include <string>

#include "confclient/notices/NoticeBoxRules.h"
#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "winui/Dialog.h"

class CInfoDlg2 : public CDialog
{
public:
    static constexpr UINT_PTR kTimerTimeOut = 1550;
    static constexpr UINT_PTR kTimerCountdown = 1551;

    CInfoDlg2(INoticeHost& host, int nMode, std::wstring szMessage, uint16_t wTimeout, uint16_t wValue,
              CWnd* pParent);
    // Before the box is shown: the button count and the x of each button (0: absent).
    void SetOptions(int nCount, int x1, int x2, int x3);
    // Modes 0 and 4: runs the box and gives its answer (NoticeBoxAnswer); a box ended from outside
    // (its owner went) answers as the third button.
    int RunModal();
    // Modes 1-3: shows the box and returns at once; false when it could not be made (and was freed).
    static bool ShowModeless(CInfoDlg2* pBox);
    // A box with its nButtons (1..3) centred, run modally over pOwner (modes 0 and 4).
    static int Ask(INoticeHost& host, CWnd* pOwner, const std::wstring& szText, int nButtons,
                   uint16_t wTimeout, int nMode);
    // The same box without waiting (modes 1-3); false when it could not be made.
    static bool Tell(INoticeHost& host, CWnd* pOwner, const std::wstring& szText, int nButtons, int nMode,
                     uint16_t wValue);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    void PlaceButtons(int nButtons);
    void OnButton(int nId);
    void Finish(int nId);
    void ShowCountdown();
    void PlaceControls(int nGrow);
    // Height the message needs beyond its 65 pixels at its width.
    int MessageGrowth();

    INoticeHost& m_host;
    int m_nMode;
    std::wstring m_szMessage;
    uint16_t m_wTimeout;
    uint16_t m_wValue;
    int m_nButtons = 1;
    std::array<int, 3> m_buttonX{0, 0, 0};
    DWORD m_dwStart = 0;
    CTitleBand m_title;
    CLMPictureEx m_body;
    CHBitmapButton m_ok;
    CHBitmapButton m_cancel;
    CHBitmapButton m_third;
    CLMStatic m_message;
    CLMStatic m_caption;
};
