// Control host: the creation sequence a control expects from its container, and its reverse.
#include "comkit/ControlHost.h"
#include "comkit/ComLog.h"
#include "comkit/DispatchTable.h"

#include <new>
#include <vector>

namespace
{
SIZEL PixelsToHimetric(const RECT& rc)
{
    HDC hdc = GetDC(nullptr);
    int dpiX = GetDeviceCaps(hdc, LOGPIXELSX), dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    ReleaseDC(nullptr, hdc);
    return SIZEL{MulDiv(rc.right - rc.left, 2540, dpiX), MulDiv(rc.bottom - rc.top, 2540, dpiY)};
}
} // namespace

HRESULT CControlHost::Create(const wchar_t* szProgId, HWND hParent, const RECT& rc, UINT nId)
{
    CLSID clsid;
    HRESULT hr = szProgId ? CLSIDFromProgID(szProgId, &clsid) : E_POINTER;
    if (FAILED(hr))
    {
        ComKitLog(LOG_ERROR, "[COM_HOST] ProgID %ls not found: 0x%08lx", szProgId ? szProgId : L"", hr);
        return hr;
    }
    return Create(clsid, hParent, rc, nId);
}

HRESULT CControlHost::Create(REFCLSID clsid, HWND hParent, const RECT& rc, UINT nId)
{
    if (m_pObject) return E_UNEXPECTED;
    if (!IsWindow(hParent)) return E_INVALIDARG;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, m_pObject.OutVoid());
    if (FAILED(hr))
    {
        ComKitLog(LOG_ERROR, "[COM_HOST] control not created: 0x%08lx", hr);
        return hr;
    }
    CControlSite* pSite = new (std::nothrow) CControlSite(hParent, rc);
    if (!pSite)
    {
        m_pObject.Reset();
        return E_OUTOFMEMORY;
    }
    m_pSite.Attach(pSite);

    DWORD dwMisc = 0;
    m_pObject->GetMiscStatus(DVASPECT_CONTENT, &dwMisc);
    bool bSiteFirst = (dwMisc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (bSiteFirst) hr = m_pObject->SetClientSite(static_cast<IOleClientSite*>(pSite));
    ComPtr<IPersistStreamInit> pPersist;
    if (SUCCEEDED(hr) && SUCCEEDED(m_pObject.As(pPersist))) hr = pPersist->InitNew();
    if (SUCCEEDED(hr) && !bSiteFirst) hr = m_pObject->SetClientSite(static_cast<IOleClientSite*>(pSite));
    if (SUCCEEDED(hr))
    {
        SIZEL size = PixelsToHimetric(rc);
        m_pObject->SetExtent(DVASPECT_CONTENT, &size);
        if (SUCCEEDED(m_pObject.As(m_pInPlace))) pSite->SetInPlaceObject(m_pInPlace.Get());
        hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(pSite), 0,
                               hParent, &rc);
    }
    if (SUCCEEDED(hr)) hr = m_pObject.As(m_pDispatch);
    if (FAILED(hr))
    {
        ComKitLog(LOG_ERROR, "[COM_HOST] control not activated: 0x%08lx", hr);
        Destroy();
        return hr;
    }
    HWND hWnd = ControlWindow();
    if (nId && hWnd) SetWindowLongPtrW(hWnd, GWLP_ID, static_cast<LONG_PTR>(nId));
    return S_OK;
}

HWND CControlHost::ControlWindow() const
{
    HWND hWnd = nullptr;
    if (m_pInPlace && FAILED(m_pInPlace->GetWindow(&hWnd))) hWnd = nullptr;
    return hWnd;
}

HRESULT CControlHost::Resize(const RECT& rc)
{
    if (!m_pObject) return E_UNEXPECTED;
    m_pSite->SetPosition(rc);
    SIZEL size = PixelsToHimetric(rc);
    m_pObject->SetExtent(DVASPECT_CONTENT, &size);
    return m_pInPlace ? m_pInPlace->SetObjectRects(&rc, &rc) : E_NOINTERFACE;
}

void CControlHost::Destroy()
{
    if (m_pConnection)
    {
        m_pConnection->Unadvise(m_dwCookie);
        m_pConnection.Reset();
        m_dwCookie = 0;
    }
    if (m_pSink)
    {
        m_pSink->Close();
        m_pSink.Reset();
    }
    if (m_pInPlace) m_pInPlace->InPlaceDeactivate();
    if (m_pObject)
    {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
    }
    if (m_pSite) m_pSite->SetInPlaceObject(nullptr);
    m_pDispatch.Reset();
    m_pInPlace.Reset();
    m_pObject.Reset();
    m_pSite.Reset();
}

HRESULT CControlHost::Invoke(DISPID dispid, WORD wFlags, CVar* pResult, std::initializer_list<CVar> args)
{
    if (!m_pDispatch) return E_UNEXPECTED;
    std::vector<VARIANT> shallow; // the arguments stay owned by the caller's CVars
    try
    {
        shallow.reserve(args.size());
        for (const CVar& arg : args)
            shallow.push_back(arg.Get());
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    return DispInvoke(m_pDispatch.Get(), dispid, wFlags, pResult ? pResult->Ptr() : nullptr, shallow.data(),
                      static_cast<UINT>(shallow.size()));
}

HRESULT CControlHost::Advise(CEventSink* pSink)
{
    if (!m_pObject) return E_UNEXPECTED;
    if (!pSink) return E_POINTER;
    if (m_pConnection) return CONNECT_E_ADVISELIMIT;
    IID iidEvents;
    ComPtr<IProvideClassInfo2> pInfo;
    HRESULT hr = m_pObject.As(pInfo);
    if (SUCCEEDED(hr)) hr = pInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iidEvents);
    ComPtr<IConnectionPointContainer> pContainer;
    if (SUCCEEDED(hr)) hr = m_pObject.As(pContainer);
    if (SUCCEEDED(hr)) hr = pContainer->FindConnectionPoint(iidEvents, m_pConnection.Out());
    pSink->Seal();
    if (SUCCEEDED(hr)) hr = m_pConnection->Advise(static_cast<IDispatch*>(pSink), &m_dwCookie);
    if (FAILED(hr))
    {
        ComKitLog(LOG_ERROR, "[COM_HOST] events not connected: 0x%08lx", hr);
        m_pConnection.Reset();
        return hr;
    }
    m_pSink = pSink;
    return S_OK;
}

HRESULT CControlHost::FreezeEvents(BOOL bFreeze)
{
    ComPtr<IOleControl> pControl;
    HRESULT hr = m_pObject.As(pControl);
    return SUCCEEDED(hr) ? pControl->FreezeEvents(bFreeze) : hr;
}
