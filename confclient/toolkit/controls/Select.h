// Scoped device-context selectors: each applies one setting for its lifetime and restores the old one.
#pragma once
#include "winui/Gdi.h"

class CSelect
{
public:
    explicit CSelect(CDC* pDC) : m_pDC(pDC) {}
    virtual ~CSelect() = 0;
    CSelect(const CSelect&) = delete;
    CSelect& operator=(const CSelect&) = delete;

protected:
    CDC* m_pDC;
};
inline CSelect::~CSelect() = default;

class CSelFont : public CSelect
{
public:
    CSelFont(CDC* pDC, HFONT font) : CSelect(pDC), m_old(static_cast<HFONT>(pDC->SelectObject(font))) {}
    ~CSelFont() override
    {
        if (m_old) m_pDC->SelectObject(m_old);
    }

private:
    HFONT m_old;
};

class CSelBkMode : public CSelect
{
public:
    CSelBkMode(CDC* pDC, int mode) : CSelect(pDC), m_old(pDC->SetBkMode(mode)) {}
    ~CSelBkMode() override
    {
        if (m_old) m_pDC->SetBkMode(m_old);
    }

private:
    int m_old;
};

class CSelTextColor : public CSelect
{
public:
    CSelTextColor(CDC* pDC, COLORREF colour) : CSelect(pDC), m_old(pDC->SetTextColor(colour)) {}
    ~CSelTextColor() override
    {
        if (m_old != CLR_INVALID) m_pDC->SetTextColor(m_old);
    }

private:
    COLORREF m_old;
};

class CSelTextAlign : public CSelect
{
public:
    CSelTextAlign(CDC* pDC, UINT align) : CSelect(pDC), m_old(pDC->SetTextAlign(align)) {}
    ~CSelTextAlign() override
    {
        if (m_old != GDI_ERROR) m_pDC->SetTextAlign(m_old);
    }

private:
    UINT m_old;
};
