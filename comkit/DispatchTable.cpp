// Argument checking and coercion for table-driven dispatch, and the caller's side of Invoke.
#include "comkit/DispatchTable.h"
#include "comkit/ComLog.h"

#include <vector>

void DispCall::ReturnI2(short n)
{
    if (!m_pResult) return;
    VariantClear(m_pResult);
    m_pResult->vt = VT_I2;
    m_pResult->iVal = n;
}

void DispCall::ReturnI4(long n)
{
    if (!m_pResult) return;
    VariantClear(m_pResult);
    m_pResult->vt = VT_I4;
    m_pResult->lVal = n;
}

void DispCall::ReturnIntPtr(INT_PTR n)
{
    if (!m_pResult) return;
    VariantClear(m_pResult);
    SetIntPtr(*m_pResult, n);
}

void DispCall::ReturnBool(BOOL b)
{
    if (!m_pResult) return;
    VariantClear(m_pResult);
    m_pResult->vt = VT_BOOL;
    m_pResult->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

void DispCall::ReturnBstr(const wchar_t* sz)
{
    if (!m_pResult) return;
    VariantClear(m_pResult);
    m_pResult->vt = VT_BSTR;
    m_pResult->bstrVal = SysAllocString(sz ? sz : L"");
}

void DispCall::ReturnDispatch(IDispatch* p)
{
    if (!m_pResult) return;
    VariantClear(m_pResult);
    m_pResult->vt = VT_DISPATCH;
    m_pResult->pdispVal = p;
    if (p) p->AddRef();
}

namespace
{
UINT DeclaredCount(const DispEntry& entry)
{
    UINT n = 0;
    while (n < kDispMaxArgs && entry.vtArgs[n] != VT_EMPTY)
        n++;
    return n;
}

bool IsOmitted(const VARIANT& v)
{
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

// Puts the caller's argument into the slot in the declared type; the slot owns only what coercion made.
HRESULT TakeArgument(VARTYPE vtWant, VARIANT& src, VARIANT& slot, bool& bOwned)
{
    bOwned = false;
    if (vtWant == VT_VARIANT)
    {
        slot = src;
        return S_OK;
    }
    if (vtWant == (VT_BYREF | VT_VARIANT))
    {
        slot.vt = VT_BYREF | VT_VARIANT;
        slot.pvarVal = src.vt == (VT_BYREF | VT_VARIANT) ? src.pvarVal : &src;
        return S_OK;
    }
    if (vtWant & VT_BYREF)
    {
        if (src.vt != vtWant) return DISP_E_TYPEMISMATCH;
        slot = src;
        return S_OK;
    }
    if (FAILED(VariantChangeType(&slot, &src, 0, vtWant))) return DISP_E_TYPEMISMATCH;
    bOwned = true;
    return S_OK;
}
} // namespace

HRESULT DispTableInvoke(const DispEntry* pTable, size_t nEntries, void* pObject, DISPID dispid, WORD wFlags,
                        DISPPARAMS* pParams, VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    if (dispid < 1 || static_cast<size_t>(dispid) > nEntries) return DISP_E_MEMBERNOTFOUND;
    const DispEntry& entry = pTable[dispid - 1];
    WORD wAccepted =
        entry.wKind == DISP_KIND_GET ? (DISPATCH_PROPERTYGET | DISPATCH_METHOD) : DISPATCH_METHOD;
    if (!(wFlags & wAccepted)) return DISP_E_MEMBERNOTFOUND;

    DISPPARAMS empty{};
    if (!pParams) pParams = &empty;
    if (pParams->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    UINT nDeclared = DeclaredCount(entry);
    UINT nRequired = nDeclared - (entry.nOptional < nDeclared ? entry.nOptional : nDeclared);
    UINT nPassed = pParams->cArgs;
    if (nPassed < nRequired || nPassed > nDeclared || (nPassed && !pParams->rgvarg))
        return DISP_E_BADPARAMCOUNT;

    VARIANT args[kDispMaxArgs];
    bool owned[kDispMaxArgs] = {};
    HRESULT hr = S_OK;
    UINT i = 0;
    for (; i < nDeclared; i++)
    {
        VariantInit(&args[i]);
        if (i >= nPassed || (entry.vtArgs[i] == VT_VARIANT && IsOmitted(pParams->rgvarg[nPassed - 1 - i])))
        {
            args[i].vt = VT_ERROR;
            args[i].scode = DISP_E_PARAMNOTFOUND;
            continue;
        }
        hr = TakeArgument(entry.vtArgs[i], pParams->rgvarg[nPassed - 1 - i], args[i], owned[i]);
        if (FAILED(hr))
        {
            if (puArgErr) *puArgErr = nPassed - 1 - i;
            break;
        }
    }

    if (SUCCEEDED(hr))
    {
        if (pResult) VariantInit(pResult);
        DispCall call(args, nDeclared, pResult);
        try
        {
            hr = entry.pfnHandler(pObject, call);
        }
        catch (...)
        {
            ComKitLog(LOG_ERROR, "[COM_DISPATCH] method %ls (dispid %ld) threw", entry.szName, dispid);
            if (pExcepInfo)
            {
                *pExcepInfo = EXCEPINFO{};
                pExcepInfo->scode = E_UNEXPECTED;
            }
            if (pResult) VariantClear(pResult);
            hr = DISP_E_EXCEPTION;
        }
    }
    for (UINT k = 0; k < nDeclared; k++)
        if (owned[k]) VariantClear(&args[k]);
    return hr;
}

HRESULT DispTableGetIDsOfNames(const DispEntry* pTable, size_t nEntries, LPOLESTR* rgszNames, UINT cNames,
                               DISPID* rgDispId)
{
    if (!rgszNames || !rgDispId || cNames == 0) return E_INVALIDARG;
    rgDispId[0] = DISPID_UNKNOWN;
    for (size_t k = 0; k < nEntries && rgszNames[0]; k++)
        if (_wcsicmp(pTable[k].szName, rgszNames[0]) == 0) rgDispId[0] = static_cast<DISPID>(k + 1);
    for (UINT n = 1; n < cNames; n++)
        rgDispId[n] = DISPID_UNKNOWN;
    return rgDispId[0] != DISPID_UNKNOWN && cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT DispInvoke(IDispatch* pDisp, DISPID dispid, WORD wFlags, VARIANT* pResult, const VARIANT* pArgs,
                   UINT nArgs)
{
    if (!pDisp) return E_POINTER;
    if (nArgs > 0 && !pArgs) return E_INVALIDARG;
    std::vector<VARIANT> reversed;
    try
    {
        reversed.assign(nArgs, VARIANT{});
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    // Shallow copies: the caller keeps ownership of every argument.
    for (UINT i = 0; i < nArgs; i++)
        reversed[nArgs - 1 - i] = pArgs[i];
    DISPPARAMS params{reversed.data(), nullptr, nArgs, 0};
    if (pResult) VariantClear(pResult);
    EXCEPINFO excep{};
    UINT argErr = 0;
    HRESULT hr =
        pDisp->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params, pResult, &excep, &argErr);
    if (hr == DISP_E_EXCEPTION)
    {
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
    }
    if (FAILED(hr)) ComKitLog(LOG_ERROR, "[COM_INVOKE] dispid %ld failed: 0x%08lx", dispid, hr);
    return hr;
}
