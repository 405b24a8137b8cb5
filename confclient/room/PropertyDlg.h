// CPropertyDlg: the room's properties for the holder of its control right: title, password, most
// participants, presenter, video settings and everyone's rights; OK checks the input and sends
// what changed through the control bar.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/RoomPropertyRules.h"

class CRoomCtrlDlg;

class CPropertyDlg : public CDialog
{
public:
    CPropertyDlg(CRoomCtrlDlg* pBar, IRoomHost* pHost) : m_pBar(pBar), m_pHost(pHost) {}

    // The room's rights changed while the dialog is open: talk, draw and the share checks follow.
    void LoadUserChecks(const QNRoomProperty& record);
    // The room's kind changed: a document room has no fixed frame rate.
    void OnRoomTypeChanged();
    // The form as it stands: what OK would check and send.
    S_PROPERTYFORM Form() const;
    const S_PROPERTYLAYOUT& Layout() const { return m_layout; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring Text(const char* pszKey) const;
    void FillTexts();
    void Place();
    void SetValues(const S_ROOMPROPERTY& v);
    void UpdateFrameRateControls(bool bFixed);
    void ShowFrameRate();
    void Close();

    CRoomCtrlDlg* m_pBar;
    IRoomHost* m_pHost;
    S_PROPERTYROOM m_room;
    S_PROPERTYLAYOUT m_layout;
    uint32_t m_nFrameRate = 0;
    uint32_t m_nOpeningFrameRate = 0;
    std::wstring m_szFrameUnit;
};
