// Event sink of the host: one handler per dispid, each call guarded so no exception reaches the control.
#include "comkit/EventSink.h"
#include "comkit/ComLog.h"
#include "comkit/Variant.h"

bool EventArgs::Coerce(UINT i, VARTYPE vt, VARIANT& out) const
{
    VariantInit(&out);
    if (i >= m_params.cArgs) return false;
    return SUCCEEDED(VariantChangeType(&out, const_cast<VARIANT*>(&Raw(i)), 0, vt));
}

long EventArgs::I4(UINT i) const
{
    VARIANT v;
    return Coerce(i, VT_I4, v) ? v.lVal : 0;
}

INT_PTR EventArgs::IntPtr(UINT i) const
{
    VARIANT v;
    return Coerce(i, kVtIntPtr, v) ? GetIntPtr(v) : 0;
}

short EventArgs::I2(UINT i) const
{
    VARIANT v;
    return Coerce(i, VT_I2, v) ? v.iVal : 0;
}

BOOL EventArgs::Bool(UINT i) const
{
    VARIANT v;
    return Coerce(i, VT_BOOL, v) && v.boolVal != VARIANT_FALSE;
}

std::wstring EventArgs::Str(UINT i) const
{
    VARIANT v;
    std::wstring s;
    if (Coerce(i, VT_BSTR, v) && v.bstrVal) s.assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    return s;
}

VARIANT* EventArgs::Ref(UINT i) const
{
    if (i >= m_params.cArgs) return nullptr;
    const VARIANT& v = Raw(i);
    return v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : nullptr;
}

CEventSink::CEventSink(REFIID riidEvents) : m_iidEvents(riidEvents) {}

HRESULT CEventSink::On(DISPID dispid, Handler handler)
{
    if (m_bSealed) return E_UNEXPECTED;
    try
    {
        m_handlers[dispid] = std::move(handler);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CEventSink::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iidEvents)
    {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CEventSink::AddRef()
{
    return ++m_cRef;
}

ULONG CEventSink::Release()
{
    ULONG n = --m_cRef;
    if (n == 0) delete this;
    return n;
}

HRESULT CEventSink::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT CEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT CEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT cNames, LCID, DISPID* rgDispId)
{
    for (UINT i = 0; rgDispId && i < cNames; i++)
        rgDispId[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT CEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT* pResult,
                           EXCEPINFO*, UINT*)
{
    if (pResult) VariantInit(pResult);
    if (m_bClosed) return S_OK;
    auto it = m_handlers.find(dispid);
    if (it == m_handlers.end()) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS empty{};
    if (!pParams || (pParams->cArgs && !pParams->rgvarg)) pParams = &empty;
    try
    {
        it->second(EventArgs(*pParams));
    }
    catch (...)
    {
        ComKitLog(LOG_ERROR, "[COM_EVENT] handler of event %ld threw", dispid);
    }
    return S_OK;
}
