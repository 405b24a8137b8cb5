// The menu and slider sample page of the language library: a horizontal and a vertical bitmap slider
// on a white page; it keeps every notice the sliders post.
#pragma once
#include "tests/resources/SampleIds.h"
#include "confclient/toolkit/slider/BitmapSlider.h"
#include "resources/ResourceIds.h"
#include "winui/Dialog.h"
#include <cstdio>
#include <vector>

struct SliderNotice
{
    UINT msg;
    WPARAM id;
    LPARAM pos;
    bool operator==(const SliderNotice&) const = default;
};

class SliderSample : public CDialog
{
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 140;
    static constexpr COLORREF kMagenta = RGB(255, 0, 255);

    CBitmapSlider m_slider, m_sliderV;
    std::vector<SliderNotice> notices;

    // The page and its sliders drawn into `hDC`, without the screen.
    void Render(HDC hDC)
    {
        PaintBackground(hDC);
        for (CWnd* pSlider : {static_cast<CWnd*>(&m_slider), static_cast<CWnd*>(&m_sliderV)})
        {
            RECT r;
            pSlider->GetWindowRect(&r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            POINT old;
            ::SetViewportOrgEx(hDC, r.left, r.top, &old);
            pSlider->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hDC), PRF_CLIENT);
            ::SetViewportOrgEx(hDC, old.x, old.y, nullptr);
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

        m_slider.SubclassDlgItem(IDC_SAMPLE_SLIDER, this);
        m_slider.MoveWindow(16, 50, 80, 16);
        m_slider.LoadChannelBitmaps(IDB_SLIDER_TRACK, TRUE, IDB_SLIDER_TRACK_ACTIVE, TRUE, kMagenta);
        m_slider.LoadThumbBitmaps(IDB_SLIDER_KNOB, IDB_SLIDER_KNOB_ACTIVE, TRUE, CBitmapSlider::kKeyFromPixel,
                                  0, 0);
        m_slider.SetRange(0, 100);
        m_slider.SetPos(30);

        m_sliderV.SubclassDlgItem(IDC_SAMPLE_SLIDER_V, this);
        m_sliderV.MoveWindow(200, 36, 16, 60);
        m_sliderV.SetVertical(TRUE);
        m_sliderV.LoadChannelBitmaps(IDB_SLIDER_VTRACK, TRUE, IDB_SLIDER_VTRACK_ACTIVE, TRUE, kMagenta);
        m_sliderV.LoadThumbBitmaps(IDB_SLIDER_KNOB, 0, TRUE, kMagenta);
        m_sliderV.SetRange(0, 100);
        m_sliderV.SetPos(30);
        return FALSE;
    }

    void OnPaint() override
    {
        CPaintDC dc(m_hWnd);
        PaintBackground(dc);
    }
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == CBitmapSlider::kMsgMoving || msg == CBitmapSlider::kMsgMoved)
        {
            notices.push_back(SliderNotice{msg, wParam, lParam});
            return 0;
        }
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
        RECT page{0, 0, kWidth, kHeight}, title{0, 0, kWidth, 28};
        CDC dc(hDC);
        dc.FillSolidRect(page, RGB(255, 255, 255));
        dc.FillSolidRect(title, RGB(0x1F, 0x3A, 0x5F));
        RECT caption{12, 0, kWidth, 28};
        int oldMode = ::SetBkMode(hDC, TRANSPARENT);
        COLORREF oldColour = ::SetTextColor(hDC, RGB(255, 255, 255));
        ::DrawTextW(hDC, L"Quillon menu and sliders", -1, &caption, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        ::SetTextColor(hDC, oldColour);
        ::SetBkMode(hDC, oldMode);
    }
};

// Writes the canvas's bitmap as a 32-bit top-down bitmap file; false when it cannot.
inline bool SaveBitmapFile(HDC hDC, HBITMAP hBitmap, int cx, int cy, const wchar_t* path)
{
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bits(static_cast<size_t>(cx) * cy * 4);
    if (::GetDIBits(hDC, hBitmap, 0, cy, bits.data(), &bi, DIB_RGB_COLORS) != cy) return false;
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof bi.bmiHeader + bits.size()), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof bi.bmiHeader};
    FILE* out = _wfopen(path, L"wb");
    if (!out) return false;
    bool ok = fwrite(&file, sizeof file, 1, out) == 1 &&
              fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, out) == 1 &&
              fwrite(bits.data(), 1, bits.size(), out) == bits.size();
    return fclose(out) == 0 && ok;
}
