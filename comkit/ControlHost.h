// Hosts one ActiveX control inside any window of the program: creation by ProgID, resize,
// calls by dispid, events, and teardown in the order controls expect.
#pragma once
#include "comkit/ComPtr.h"
#include "comkit/ControlSite.h"
#include "comkit/EventSink.h"
#include "comkit/Variant.h"

#include <initializer_list>

class CControlHost
{
public:
    CControlHost() = default;
    CControlHost(const CControlHost&) = delete;
    CControlHost& operator=(const CControlHost&) = delete;
    ~CControlHost() { Destroy(); }

    // Creates the control and activates it in place as a child of hParent at rc (client coordinates);
    // nId, when not 0, becomes the control window's id. Fails when a control is already hosted.
    HRESULT Create(const wchar_t* szProgId, HWND hParent, const RECT& rc, UINT nId = 0);
    HRESULT Create(REFCLSID clsid, HWND hParent, const RECT& rc, UINT nId = 0);
    // Moves and sizes the control within its parent.
    HRESULT Resize(const RECT& rc);
    // Unadvise, InPlaceDeactivate, Close, SetClientSite(null), Release; safe to call twice.
    void Destroy();

    bool IsCreated() const { return static_cast<bool>(m_pObject); }
    HWND ControlWindow() const;
    IDispatch* Dispatch() const { return m_pDispatch.Get(); }

    // Calls a member by dispid with arguments in declared order; the result, if wanted, goes to pResult.
    HRESULT Invoke(DISPID dispid, WORD wFlags, CVar* pResult, std::initializer_list<CVar> args = {});
    HRESULT CallMethod(DISPID dispid, CVar* pResult = nullptr, std::initializer_list<CVar> args = {})
    {
        return Invoke(dispid, DISPATCH_METHOD, pResult, args);
    }
    HRESULT GetProperty(DISPID dispid, CVar& result) { return Invoke(dispid, DISPATCH_PROPERTYGET, &result); }

    // Connects the sink to the control's default event interface (one sink per host); the sink's
    // handler map is fixed from here on.
    HRESULT Advise(CEventSink* pSink);
    HRESULT FreezeEvents(BOOL bFreeze);

private:
    ComPtr<CControlSite> m_pSite;
    ComPtr<IOleObject> m_pObject;
    ComPtr<IOleInPlaceObject> m_pInPlace;
    ComPtr<IDispatch> m_pDispatch;
    ComPtr<IConnectionPoint> m_pConnection;
    ComPtr<CEventSink> m_pSink;
    DWORD m_dwCookie = 0;
};
