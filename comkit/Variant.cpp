// Owning VARIANT: construction from C++ values and coerced reads.
#include "comkit/Variant.h"

CVar::CVar(const wchar_t* sz) : CVar()
{
    m_v.vt = VT_BSTR;
    m_v.bstrVal = SysAllocString(sz ? sz : L"");
}

CVar::CVar(const std::wstring& s) : CVar()
{
    m_v.vt = VT_BSTR;
    m_v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}

CVar::CVar(IDispatch* p) : CVar()
{
    m_v.vt = VT_DISPATCH;
    m_v.pdispVal = p;
    if (p) p->AddRef();
}

CVar::CVar(const VARIANT& v) : CVar()
{
    VariantCopy(&m_v, const_cast<VARIANT*>(&v));
}

CVar& CVar::operator=(const CVar& other)
{
    if (this != &other) VariantCopy(&m_v, const_cast<VARIANT*>(&other.m_v));
    return *this;
}

CVar& CVar::operator=(CVar&& other) noexcept
{
    if (this != &other)
    {
        VariantClear(&m_v);
        m_v = other.m_v;
        VariantInit(&other.m_v);
    }
    return *this;
}

CVar CVar::IntPtr(INT_PTR n)
{
    CVar v;
    SetIntPtr(v.m_v, n);
    return v;
}

CVar CVar::Missing()
{
    CVar v;
    v.m_v.vt = VT_ERROR;
    v.m_v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

CVar CVar::ByRef(VARIANT* p)
{
    CVar v;
    v.m_v.vt = VT_BYREF | VT_VARIANT;
    v.m_v.pvarVal = p;
    return v;
}

CVar CVar::ByRef(long* p)
{
    CVar v;
    v.m_v.vt = VT_BYREF | VT_I4;
    v.m_v.plVal = p;
    return v;
}

CVar CVar::ByRef(VARIANT_BOOL* p)
{
    CVar v;
    v.m_v.vt = VT_BYREF | VT_BOOL;
    v.m_v.pboolVal = p;
    return v;
}

namespace
{
bool Coerce(const VARIANT& from, VARTYPE vt, VARIANT& to)
{
    VariantInit(&to);
    return SUCCEEDED(VariantChangeType(&to, const_cast<VARIANT*>(&from), 0, vt));
}
} // namespace

bool CVar::ToLong(long& n) const
{
    VARIANT v;
    if (!Coerce(m_v, VT_I4, v)) return false;
    n = v.lVal;
    return true;
}

bool CVar::ToShort(short& n) const
{
    VARIANT v;
    if (!Coerce(m_v, VT_I2, v)) return false;
    n = v.iVal;
    return true;
}

bool CVar::ToBool(bool& b) const
{
    VARIANT v;
    if (!Coerce(m_v, VT_BOOL, v)) return false;
    b = v.boolVal != VARIANT_FALSE;
    return true;
}

bool CVar::ToString(std::wstring& s) const
{
    VARIANT v;
    if (!Coerce(m_v, VT_BSTR, v)) return false;
    s.assign(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal));
    VariantClear(&v);
    return true;
}
