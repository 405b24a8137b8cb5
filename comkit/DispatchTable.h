// Table-driven IDispatch of our controls: a method's dispid is its 1-based position in the table.
#pragma once
#include "comkit/Variant.h"

#include <oaidl.h>
#include <string>

constexpr size_t kDispMaxArgs = 8;

// The arguments of one call in declared order, each already coerced to its declared type.
class DispCall
{
public:
    DispCall(VARIANT* pArgs, UINT nArgs, VARIANT* pResult)
        : m_pArgs(pArgs), m_nArgs(nArgs), m_pResult(pResult)
    {
    }

    UINT Count() const { return m_nArgs; }
    short I2(UINT i) const { return m_pArgs[i].iVal; }
    unsigned short UI2(UINT i) const { return m_pArgs[i].uiVal; }
    long I4(UINT i) const { return m_pArgs[i].lVal; }
    // An argument declared kVtIntPtr: a pointer or handle.
    INT_PTR IntPtr(UINT i) const { return GetIntPtr(m_pArgs[i]); }
    double R8(UINT i) const { return m_pArgs[i].dblVal; }
    BOOL Bool(UINT i) const { return m_pArgs[i].boolVal != VARIANT_FALSE; }
    // Valid during the call; null stands for an empty string.
    BSTR Bstr(UINT i) const { return m_pArgs[i].bstrVal; }
    IDispatch* Dispatch(UINT i) const { return m_pArgs[i].pdispVal; }
    // A VT_VARIANT argument as the caller passed it (VT_ERROR/DISP_E_PARAMNOTFOUND when omitted).
    const VARIANT& Var(UINT i) const { return m_pArgs[i]; }
    // A by-reference argument: the caller's storage.
    VARIANT* VarRef(UINT i) const { return m_pArgs[i].pvarVal; }
    long* I4Ref(UINT i) const { return m_pArgs[i].plVal; }
    VARIANT_BOOL* BoolRef(UINT i) const { return m_pArgs[i].pboolVal; }
    bool IsMissing(UINT i) const
    {
        return m_pArgs[i].vt == VT_ERROR && m_pArgs[i].scode == DISP_E_PARAMNOTFOUND;
    }

    void ReturnI2(short n);
    void ReturnI4(long n);
    void ReturnIntPtr(INT_PTR n);
    void ReturnBool(BOOL b);
    void ReturnBstr(const wchar_t* sz);
    void ReturnDispatch(IDispatch* p);

private:
    VARIANT* m_pArgs;
    UINT m_nArgs;
    VARIANT* m_pResult; // null when the caller wants no result
};

// Called with the object the table belongs to; returns S_OK or a failure to hand back.
using DispHandler = HRESULT (*)(void* pObject, DispCall& call);

enum DispKind : WORD
{
    DISP_KIND_METHOD = DISPATCH_METHOD,
    DISP_KIND_GET = DISPATCH_PROPERTYGET, // also answers a method call, as automation clients expect
};

struct DispEntry
{
    const wchar_t* szName;
    WORD wKind;
    DispHandler pfnHandler;
    // Declared argument types, ended by VT_EMPTY. VT_VARIANT takes any value uncoerced;
    // VT_BYREF types take only that exact type (VT_BYREF|VT_VARIANT also takes a plain value).
    VARTYPE vtArgs[kDispMaxArgs];
    // How many of the last arguments may be omitted (VT_VARIANT arguments only).
    BYTE nOptional;
};

// IDispatch::Invoke over a table: checks the dispid, kind, count and types, then calls the entry.
HRESULT DispTableInvoke(const DispEntry* pTable, size_t nEntries, void* pObject, DISPID dispid, WORD wFlags,
                        DISPPARAMS* pParams, VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr);

// IDispatch::GetIDsOfNames over a table: names match case-insensitively; argument names are not known.
HRESULT DispTableGetIDsOfNames(const DispEntry* pTable, size_t nEntries, LPOLESTR* rgszNames, UINT cNames,
                               DISPID* rgDispId);

// Calls a dispatch member with arguments in declared order (reversed for the callee here).
HRESULT DispInvoke(IDispatch* pDisp, DISPID dispid, WORD wFlags, VARIANT* pResult, const VARIANT* pArgs,
                   UINT nArgs);
