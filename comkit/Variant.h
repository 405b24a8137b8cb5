// An owning VARIANT with typed constructors: the arguments and results of dispatch calls.
#pragma once
#include <oaidl.h>
#include <string>

// The automation type of a pointer or handle argument (DISP_INT_PTR in ComKitTypes.idl).
constexpr VARTYPE kVtIntPtr = sizeof(INT_PTR) == 8 ? VT_I8 : VT_I4;

inline void SetIntPtr(VARIANT& v, INT_PTR n)
{
    v.vt = kVtIntPtr;
    if constexpr (sizeof(INT_PTR) == 8)
        v.llVal = n;
    else
        v.lVal = static_cast<LONG>(n);
}

// The value of a VARIANT of type kVtIntPtr.
inline INT_PTR GetIntPtr(const VARIANT& v)
{
    if constexpr (sizeof(INT_PTR) == 8)
        return static_cast<INT_PTR>(v.llVal);
    else
        return v.lVal;
}

class CVar
{
public:
    CVar() { VariantInit(&m_v); }
    CVar(short n) : CVar() { m_v.vt = VT_I2, m_v.iVal = n; }
    CVar(unsigned short n) : CVar() { m_v.vt = VT_UI2, m_v.uiVal = n; }
    CVar(int n) : CVar() { m_v.vt = VT_I4, m_v.lVal = n; }
    CVar(long n) : CVar() { m_v.vt = VT_I4, m_v.lVal = n; }
    CVar(double d) : CVar() { m_v.vt = VT_R8, m_v.dblVal = d; }
    CVar(bool b) : CVar() { m_v.vt = VT_BOOL, m_v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE; }
    // A BSTR copy of the text; null gives an empty string.
    CVar(const wchar_t* sz);
    CVar(const std::wstring& s);
    // Holds a reference on the object.
    CVar(IDispatch* p);
    CVar(const VARIANT& v);
    CVar(const CVar& other) : CVar(other.m_v) {}
    CVar(CVar&& other) noexcept : m_v(other.m_v) { VariantInit(&other.m_v); }
    ~CVar() { VariantClear(&m_v); }
    CVar& operator=(const CVar& other);
    CVar& operator=(CVar&& other) noexcept;

    // A pointer or handle, as wide as a pointer.
    static CVar IntPtr(INT_PTR n);
    // An omitted optional argument.
    static CVar Missing();
    // Arguments passed by reference: the callee reads and writes the caller's storage.
    static CVar ByRef(VARIANT* p);
    static CVar ByRef(long* p);
    static CVar ByRef(VARIANT_BOOL* p);

    VARIANT* Ptr() { return &m_v; }
    const VARIANT& Get() const { return m_v; }
    VARTYPE Type() const { return m_v.vt; }
    bool IsMissing() const { return m_v.vt == VT_ERROR && m_v.scode == DISP_E_PARAMNOTFOUND; }
    void Clear() { VariantClear(&m_v); }

    // Coerced reads: false when the value does not convert.
    bool ToLong(long& n) const;
    bool ToShort(short& n) const;
    bool ToBool(bool& b) const;
    bool ToString(std::wstring& s) const;

private:
    VARIANT m_v;
};
