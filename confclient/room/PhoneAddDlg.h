// CPhoneAddDlg: the dialer's small entry form for its phone book (kind, name and number). It hands
// an entry to the dialer and empties its fields for the next one. Created with new inside the
// dialer; the object deletes itself when its window goes, after telling the dialer.
#pragma once
#include <array>
#include <string>

#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "winui/Dialog.h"

class CCallToHTerminal;

class CPhoneAddDlg : public CDialog
{
public:
    explicit CPhoneAddDlg(CCallToHTerminal& owner);

    // The number field takes this text (the dialer's number in display form).
    void SetNumber(const std::wstring& szNumber);
    // Adds the entry of the fields to the dialer's phone book (the add button, or Enter).
    void Add();

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void PostNcDestroy() override { delete this; }
    void OnOK() override {}
    void OnCancel() override {}

private:
    // The width of a label's text in the dialog's font.
    int TextWidth(const std::wstring& szText) const;

    CCallToHTerminal* m_pOwner;
    // The kind texts, kinds 0, 1 and 2.
    std::array<std::wstring, 3> m_kinds;
    CLMStatic m_kindLabel, m_nameLabel, m_numberLabel;
    CHBitmapButton m_add, m_close;
    CLMToolTipCtrl m_tips;
};
