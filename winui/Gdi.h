// GDI helpers with owned handles: device contexts, memory DC, bitmaps, fonts, brushes, pens, scoped
// selection.
#pragma once
#include <windows.h>
#include <utility>

// A device context that this object does not own (the base of the owning ones below).
class CDC
{
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
    int DrawText(const wchar_t* text, int count, RECT* rect, UINT format)
    {
        return ::DrawTextW(m_hDC, text, count, rect, format);
    }
    void FillSolidRect(const RECT& rect, COLORREF colour);
    BOOL BitBlt(int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, cx, cy, src, xSrc, ySrc, rop);
    }
    BOOL StretchBlt(int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc,
                    DWORD rop)
    {
        return ::StretchBlt(m_hDC, x, y, cx, cy, src, xSrc, ySrc, cxSrc, cySrc, rop);
    }
};

// BeginPaint/EndPaint for one WM_PAINT.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// The client-area DC of a window (GetDC/ReleaseDC).
class CClientDC : public CDC
{
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() override
    {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// The whole-window DC of a window (GetWindowDC/ReleaseDC).
class CWindowDC : public CDC
{
public:
    explicit CWindowDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetWindowDC(hWnd); }
    ~CWindowDC() override
    {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// A memory DC compatible with another DC (null: the screen), deleted with the object.
class CMemDC : public CDC
{
public:
    explicit CMemDC(HDC compatibleWith) { m_hDC = ::CreateCompatibleDC(compatibleWith); }
    ~CMemDC() override
    {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
};

// An owned GDI object handle of one kind, deleted with the object; move-only.
template <class H> class CGdiHandle
{
public:
    CGdiHandle() = default;
    explicit CGdiHandle(H handle) : m_handle(handle) {}
    CGdiHandle(CGdiHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CGdiHandle& operator=(CGdiHandle&& other) noexcept
    {
        if (this != &other) Attach(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;
    ~CGdiHandle() { DeleteObject(); }

    H GetSafeHandle() const { return m_handle; }
    operator H() const { return m_handle; }
    bool IsNull() const { return m_handle == nullptr; }
    // Takes ownership of `handle`, deleting the one held before.
    void Attach(H handle)
    {
        DeleteObject();
        m_handle = handle;
    }
    H Detach() { return std::exchange(m_handle, nullptr); }
    void DeleteObject()
    {
        if (m_handle) ::DeleteObject(m_handle);
        m_handle = nullptr;
    }

protected:
    H m_handle = nullptr;
};

class CBitmap : public CGdiHandle<HBITMAP>
{
public:
    // Loads a bitmap by numeric id from the current resource module.
    bool LoadBitmap(UINT id);
    bool CreateCompatibleBitmap(HDC hDC, int cx, int cy);
    // The bitmap's size in pixels; false (and 0 by 0) when none is held.
    bool GetSize(SIZE& size) const;
};

class CFont : public CGdiHandle<HFONT>
{
public:
    bool CreateFont(int height, int weight, BOOL italic, BOOL underline, BOOL strikeOut, const wchar_t* face);
};

class CBrush : public CGdiHandle<HBRUSH>
{
public:
    bool CreateSolidBrush(COLORREF colour);
};

class CPen : public CGdiHandle<HPEN>
{
public:
    bool CreatePen(int style, int width, COLORREF colour);
};

// Selects an object into a DC for one scope and puts the previous one back.
class CSelectObject
{
public:
    CSelectObject(HDC hDC, HGDIOBJ object) : m_hDC(hDC), m_old(object ? ::SelectObject(hDC, object) : nullptr)
    {
    }
    ~CSelectObject()
    {
        if (m_old) ::SelectObject(m_hDC, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_old;
};
