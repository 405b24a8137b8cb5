// Wrappers of the system controls that the toolkit derives from: button, bitmap button, static,
// progress bar and tool tip. Reflected notifications reach DrawItem and CtlColor of the control itself.
#pragma once
#include "winui/Gdi.h"
#include "winui/Wnd.h"
#include <commctrl.h>

class CButton : public CWnd
{
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) { SendMessage(BM_SETCHECK, state); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }

protected:
    // Owner drawing, reflected from the parent's WM_DRAWITEM.
    virtual void DrawItem(DRAWITEMSTRUCT* pDIS) {}
    // The brush for a reflected WM_CTLCOLOR*; null lets the parent decide.
    virtual HBRUSH CtlColor(HDC hDC, UINT ctlMsg) { return nullptr; }
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// A push button drawn from up to four bitmaps: normal, selected, focus, disabled.
class CBitmapButton : public CButton
{
public:
    // Loads the bitmaps by id from the resource module (0: none); false when the normal one or a
    // requested other one does not load.
    BOOL LoadBitmaps(UINT idNormal, UINT idSelected = 0, UINT idFocus = 0, UINT idDisabled = 0);
    // Sizes the button to its normal bitmap.
    void SizeToContent();

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* pDIS) override;
};

class CStatic : public CWnd
{
protected:
    virtual HBRUSH CtlColor(HDC hDC, UINT ctlMsg) { return nullptr; }
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CProgressCtrl : public CWnd
{
public:
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, lower, upper); }
    void GetRange(int& lower, int& upper) const;
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
};

class CToolTipCtrl : public CWnd
{
public:
    // Creates the tool tip window owned by `pParent`'s window.
    BOOL Create(CWnd* pParent, DWORD style = 0);
    // Adds a tool covering the whole of `pWnd`, identified by its window handle.
    BOOL AddTool(CWnd* pWnd, const wchar_t* text);
    void UpdateTipText(const wchar_t* text, CWnd* pWnd);
};
