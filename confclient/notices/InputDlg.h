// CInputDlg: the board zoom dialog: eight percentages, fit width, fit page or the user's own
// from 10 to 300, each applied at once through the zoom's owner; Cancel brings the zoom at
// opening back. Modeless; created with new, deletes itself.
#pragma once
#include <array>

#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/notices/TransRadio.h"
#include "confclient/notices/ZoomChoices.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "winui/Dialog.h"

class CInputDlg : public CDialog
{
public:
    CInputDlg(INoticeHost& host, IZoomOwner& owner, uint16_t wCommand, int nZoom);
    // Makes and shows the dialog over pParent; false (and the object freed) when it could not be made.
    static bool Show(CInputDlg* pDlg, CWnd* pParent);
    // The board reported its zoom: shown while a listed choice (not the user's own) is selected.
    void ShowBoardZoom(int nPercent);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void PostNcDestroy() override { delete this; }

private:
    void ShowSelection();
    std::optional<int> EditNumber() const;
    void ShowError();

    INoticeHost& m_host;
    IZoomOwner& m_owner;
    CZoomChoiceModel m_model;
    CTitleBand m_title;
    CLMStatic m_caption;
    std::array<CTransRadio, kZoomChoiceCount> m_radios;
    CHBitmapButton m_ok;
    CHBitmapButton m_cancel;
    CHBitmapButton m_close;
};
