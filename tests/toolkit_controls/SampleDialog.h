// The control sample dialog of the language library, with every skinned control of the toolkit in place.
#pragma once
#include "tests/resources/SampleIds.h"
#include "confclient/toolkit/controls/BitmapCheckButton.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMBitmapButton.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/LMProgress.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/ProgressCtrlX.h"
#include "resources/ResourceIds.h"
#include "winui/Dialog.h"
#include "winui/WinApp.h"
#include <vector>

class SampleDialog : public CDialog
{
public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 240;

    CLMPictureEx m_back, m_title;
    CLMStatic m_static, m_wrap;
    CLMProgress m_progress, m_progressV;
    CProgressCtrlX m_progressX;
    CHBitmapButton m_hButton;
    CLMBitmapButton m_lmButton, m_lmCheck, m_lmButtonOff;
    CBitmapCheckButton m_check;
    std::vector<std::pair<int, int>> commands; // (control id, notification)

    // Draws the client area and every visible child into `hDC`, without the screen.
    void Render(HDC hDC)
    {
        PaintBackground(hDC);
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        {
            if (!::IsWindowVisible(child)) continue;
            RECT r;
            ::GetWindowRect(child, &r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            // Each child draws into a canvas of its own holding the background under it.
            int cx = r.right - r.left, cy = r.bottom - r.top;
            HDC childDC = ::CreateCompatibleDC(hDC);
            HBITMAP childBitmap = ::CreateCompatibleBitmap(hDC, cx, cy);
            HGDIOBJ old = ::SelectObject(childDC, childBitmap);
            ::BitBlt(childDC, 0, 0, cx, cy, hDC, r.left, r.top, SRCCOPY);
            ::SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(childDC), PRF_CLIENT);
            ::BitBlt(hDC, r.left, r.top, cx, cy, childDC, 0, 0, SRCCOPY);
            ::SelectObject(childDC, old);
            ::DeleteObject(childBitmap);
            ::DeleteDC(childDC);
        }
    }

protected:
    BOOL OnInitDialog() override
    {
        RECT frame{0, 0, kWidth, kHeight};
        ::AdjustWindowRectEx(&frame, GetStyle(), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
        SetWindowPos(nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        HINSTANCE res = AfxGetResourceHandle();
        m_back.LoadFromResource(res, L"BACKIMAGE", IDR_BACK_SAMPLE);
        m_title.LoadFromResource(res, L"BACKIMAGE", IDR_BACK_TITLEBAR);

        m_static.SubclassDlgItem(IDC_SAMPLE_STATIC, this);
        m_static.MoveWindow(12, 40, 220, 16);
        m_static.SetTextFontStyle(-13, L"Tahoma", 706);
        m_static.SetTextColor(RGB(0x1F, 0x3A, 0x5F));
        m_static.SetText(L"Fish & Chips");

        m_wrap.SubclassDlgItem(IDC_SAMPLE_WRAP, this);
        m_wrap.MoveWindow(12, 60, 150, 54);
        m_wrap.SetWrapText(L"Words wrap at the label's edge: supercalifragilistic stays whole");

        m_progress.SubclassDlgItem(IDC_SAMPLE_PROGRESS, this);
        m_progress.MoveWindow(12, 116, 200, 22);
        m_progress.SetCaptionFont(-11, L"Tahoma", 400);
        m_progress.SetRange(0, 100);
        m_progress.SetPos(50);
        m_progress.SetWindowText(L"Uploading");

        m_progressV.SubclassDlgItem(IDC_SAMPLE_PROGRESS_V, this);
        m_progressV.MoveWindow(330, 40, 14, 90);
        m_progressV.SetBarBitmap(IDB_PROGRESS_BAR);
        m_progressV.SetRange(0, 100);
        m_progressV.SetPos(70);

        m_progressX.SubclassDlgItem(IDC_SAMPLE_PROGRESSX, this);
        m_progressX.MoveWindow(12, 142, 200, 16);
        m_progressX.SendMessage(PBM_SETBARCOLOR, RGB(0x1F, 0x3A, 0x5F), RGB(0x2A, 0x9D, 0x8F));
        m_progressX.SendMessage(PBM_SETBKCOLOR, 0, RGB(0xE9, 0xEE, 0xF3));
        m_progressX.SetTextColor(RGB(255, 255, 255), RGB(0x22, 0x31, 0x3F));
        m_progressX.SetTextFormat(L"%d%%", PBS_SHOW_PERCENT);
        m_progressX.SendMessage(PBM_SETRANGE32, 0, 100);
        m_progressX.SetPos(60);

        m_hButton.SubclassDlgItem(IDC_SAMPLE_HBUTTON, this);
        m_hButton.MoveWindow(12, 170, 80, 24);
        m_hButton.LoadBitmapsAndSize(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, IDB_BTN_DISABLED);

        m_lmButton.SubclassDlgItem(IDC_SAMPLE_LMBUTTON, this);
        m_lmButton.MoveWindow(100, 170, 80, 24);
        m_lmButton.LoadBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, IDB_BTN_DISABLED);
        m_lmButton.SetTextColor(RGB(255, 255, 255));
        m_lmButton.SetTextMargins(1, 1, 1, 1, FALSE);
        m_lmButton.SetText(L"Join");

        m_lmCheck.SubclassDlgItem(IDC_SAMPLE_LMCHECK, this);
        m_lmCheck.MoveWindow(188, 170, 80, 24);
        m_lmCheck.LoadBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, IDB_BTN_DISABLED);
        m_lmCheck.SetTextColor(RGB(255, 255, 255));
        m_lmCheck.SetTextMargins(1, 1, 1, 1, FALSE);
        m_lmCheck.SetText(L"Mute");

        m_check.SubclassDlgItem(IDC_SAMPLE_CHECK, this);
        m_check.MoveWindow(276, 170, 24, 24);
        m_check.LoadBitmaps(IDB_CHK_OFF, IDB_CHK_ON, IDB_CHK_HOVER, IDB_CHK_DISABLED);
        m_check.SetHandCursor(TRUE);
        m_check.SetCheck(1);

        m_lmButtonOff.SubclassDlgItem(IDC_SAMPLE_LMBUTTON_OFF, this);
        m_lmButtonOff.MoveWindow(12, 204, 80, 24);
        m_lmButtonOff.LoadBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, 0);
        m_lmButtonOff.SetText(L"Leave");
        m_lmButtonOff.EnableButton(FALSE);
        // No focus: the page opens without activating itself.
        return FALSE;
    }

    void OnPaint() override
    {
        CPaintDC dc(m_hWnd);
        PaintBackground(dc);
    }

    BOOL OnEraseBkgnd(HDC) override { return TRUE; }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_PRINTCLIENT)
        {
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        return CDialog::WindowProc(msg, wParam, lParam);
    }

private:
    void PaintBackground(HDC hDC)
    {
        m_back.Render(hDC, 0, 0, kWidth, kHeight, 0);
        m_title.Render(hDC, 0, 0, kWidth, -1, 0);
        RECT title{12, 0, kWidth, 28};
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, RGB(255, 255, 255));
        ::DrawTextW(hDC, L"Quillon controls", -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
};
