// Test controls on the base: one answers each argument type and raises events from a worker
// thread; the other exposes the browser's dispids and logs every call it gets.
#include "comkit/ControlBase.h"
#include "comkit/ServerModule.h"
#include "tests/comkit/ComKitTestGuids.h"

#include <string>
#include <thread>

namespace
{
constexpr DWORD kTestMiscStatus =
    OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_RECOMPOSEONRESIZE;

class CComKitTestCtrl final : public CControlBase
{
public:
    CComKitTestCtrl() : CControlBase(s_desc) {}

    // The container's calls that shape the control's life, in the order they came.
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pSite) override
    {
        Note(pSite ? L"SetClientSite(site)" : L"SetClientSite(null)");
        return CControlBase::SetClientSite(pSite);
    }
    HRESULT STDMETHODCALLTYPE InitNew() override
    {
        Note(L"InitNew");
        return CControlBase::InitNew();
    }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                                     HWND hwndParent, LPCRECT lprcPosRect) override
    {
        Note(L"DoVerb(" + std::to_wstring(iVerb) + L")");
        return CControlBase::DoVerb(iVerb, lpmsg, pActiveSite, lindex, hwndParent, lprcPosRect);
    }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override
    {
        if (ControlWindow()) Note(L"InPlaceDeactivate(sinks=" + std::to_wstring(EventSinkCount()) + L")");
        return CControlBase::InPlaceDeactivate();
    }
    HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override
    {
        Note(L"Close");
        return CControlBase::Close(dwSaveOption);
    }

private:
    void Note(const std::wstring& call) { m_lifeLog += (m_lifeLog.empty() ? L"" : L",") + call; }

    static CComKitTestCtrl* Self(void* p)
    {
        return static_cast<CComKitTestCtrl*>(static_cast<CControlBase*>(p));
    }

    // Fires Data and Text nCount times from a new thread; the data buffer lives only during each call.
    void RaiseFromThread(long nCount)
    {
        std::thread worker(
            [this, nCount]
            {
                for (long i = 0; i < nCount; i++)
                {
                    std::string chunk = "chunk " + std::to_string(i);
                    VARIANT data[2];
                    data[0].vt = VT_I4;
                    data[0].lVal = static_cast<long>(chunk.size());
                    SetIntPtr(data[1], reinterpret_cast<INT_PTR>(chunk.data()));
                    FireEvent(1, data, 2);
                    chunk.assign(chunk.size(), 'x');

                    std::wstring text = L"tick " + std::to_wstring(i);
                    VARIANT args[2];
                    args[0].vt = VT_BSTR;
                    args[0].bstrVal = SysAllocString(text.c_str());
                    args[1].vt = VT_I2;
                    args[1].iVal = static_cast<short>(i);
                    FireEvent(2, args, 2);
                    SysFreeString(args[0].bstrVal);
                }
            });
        worker.join();
    }

    static const DispEntry s_methods[];
    static const ControlDescription s_desc;
    std::wstring m_lifeLog;
};

const DispEntry CComKitTestCtrl::s_methods[] = {
    {L"TakeI2",
     DISP_KIND_METHOD,
     [](void*, DispCall& c) { return c.ReturnI2(static_cast<short>(c.I2(0) + 1)), S_OK; },
     {VT_I2},
     0},
    {L"TakeI4",
     DISP_KIND_METHOD,
     [](void*, DispCall& c) { return c.ReturnI4(c.I4(0) + 1), S_OK; },
     {VT_I4},
     0},
    {L"TakeBool",
     DISP_KIND_METHOD,
     [](void*, DispCall& c) { return c.ReturnBool(!c.Bool(0)), S_OK; },
     {VT_BOOL},
     0},
    {L"TakeBstr",
     DISP_KIND_METHOD,
     [](void*, DispCall& c)
     {
         std::wstring s = L"<" + std::wstring(c.Bstr(0) ? c.Bstr(0) : L"") + L">";
         return c.ReturnBstr(s.c_str()), S_OK;
     },
     {VT_BSTR},
     0},
    {L"TakeUI2",
     DISP_KIND_METHOD,
     [](void*, DispCall& c) { return c.ReturnI4(c.UI2(0)), S_OK; },
     {VT_UI2},
     0},
    {L"TakeDispatch",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         // TRUE when the object passed is this control itself.
         IUnknown* pUnk = nullptr;
         bool bSame = c.Dispatch(0) &&
                      SUCCEEDED(c.Dispatch(0)->QueryInterface(IID_IUnknown, (void**)&pUnk)) &&
                      pUnk == static_cast<IDispatch*>(Self(p));
         if (pUnk) pUnk->Release();
         return c.ReturnBool(bSame), S_OK;
     },
     {VT_DISPATCH},
     0},
    {L"TakeVarRef",
     DISP_KIND_METHOD,
     [](void*, DispCall& c)
     {
         VARIANT* pv = c.VarRef(0);
         VariantClear(pv);
         pv->vt = VT_I4;
         pv->lVal = 42;
         return S_OK;
     },
     {VT_BYREF | VT_VARIANT},
     0},
    {L"TakeI4Ref",
     DISP_KIND_METHOD,
     [](void*, DispCall& c) { return *c.I4Ref(0) *= 2, S_OK; },
     {VT_BYREF | VT_I4},
     0},
    {L"Mixed",
     DISP_KIND_METHOD,
     [](void*, DispCall& c)
     {
         std::wstring s = std::wstring(c.Bstr(0) ? c.Bstr(0) : L"") + L"|" + std::to_wstring(c.I2(1)) + L"|" +
                          std::to_wstring(c.I4(2)) + L"|" + (c.Bool(3) ? L"true" : L"false");
         return c.ReturnBstr(s.c_str()), S_OK;
     },
     {VT_BSTR, VT_I2, VT_I4, VT_BOOL},
     0},
    {L"RaiseFromThread",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return Self(p)->RaiseFromThread(c.I4(0)), S_OK; },
     {VT_I4},
     0},
    {L"SinkCount",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnI4(static_cast<long>(Self(p)->EventSinkCount())), S_OK; },
     {},
     0},
    {L"WindowHandle",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     { return c.ReturnIntPtr(reinterpret_cast<INT_PTR>(Self(p)->ControlWindow())), S_OK; },
     {},
     0},
    {L"UserMode",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c) { return c.ReturnBool(Self(p)->IsUserMode()), S_OK; },
     {},
     0},
    {L"TakeLifeLog",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         c.ReturnBstr(Self(p)->m_lifeLog.c_str());
         Self(p)->m_lifeLog.clear();
         return S_OK;
     },
     {},
     0},
};

const ControlDescription CComKitTestCtrl::s_desc = {&CLSID_ComKitTest,
                                                    &DIID_DComKitTest,
                                                    &DIID_DComKitTestEvents,
                                                    s_methods,
                                                    sizeof s_methods / sizeof s_methods[0],
                                                    kTestMiscStatus};

// Answers the browser's dispids by mapping them onto its table; each call is written to a log.
class CBrowserStandIn final : public CControlBase
{
public:
    CBrowserStandIn() : CControlBase(s_desc) {}

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override
    {
        static const DISPID s_browserIds[] = {1, 100, 101, 102, 104, 106, -550, 203, 211, -525};
        for (DISPID k = 0; k < static_cast<DISPID>(sizeof s_browserIds / sizeof s_browserIds[0]); k++)
            if (s_browserIds[k] == dispid)
                return CControlBase::Invoke(k + 1, riid, lcid, wFlags, pParams, pResult, pExcepInfo,
                                            puArgErr);
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    static CBrowserStandIn* Self(void* p)
    {
        return static_cast<CBrowserStandIn*>(static_cast<CControlBase*>(p));
    }

    static HRESULT Logged(void* p, const wchar_t* szCall)
    {
        Self(p)->m_log += (Self(p)->m_log.empty() ? L"" : L",") + std::wstring(szCall);
        return S_OK;
    }

    // "-" for an omitted argument, else "type:value".
    static std::wstring Describe(const VARIANT& arg)
    {
        const VARIANT* pv = arg.vt == (VT_BYREF | VT_VARIANT) ? arg.pvarVal : &arg;
        if (pv->vt == VT_ERROR && pv->scode == DISP_E_PARAMNOTFOUND) return L"-";
        VARIANT text;
        VariantInit(&text);
        std::wstring s = std::to_wstring(pv->vt) + L":";
        if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(pv), 0, VT_BSTR))) s += text.bstrVal;
        VariantClear(&text);
        return s;
    }

    static const DispEntry s_methods[];
    static const ControlDescription s_desc;
    std::wstring m_log;
    std::wstring m_szLocation;
};

const DispEntry CBrowserStandIn::s_methods[] = {
    {L"TakeLog",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         c.ReturnBstr(Self(p)->m_log.c_str());
         Self(p)->m_log.clear();
         return S_OK;
     },
     {},
     0},
    {L"GoBack", DISP_KIND_METHOD, [](void* p, DispCall&) { return Logged(p, L"GoBack"); }, {}, 0},
    {L"GoForward", DISP_KIND_METHOD, [](void* p, DispCall&) { return Logged(p, L"GoForward"); }, {}, 0},
    {L"GoHome", DISP_KIND_METHOD, [](void* p, DispCall&) { return Logged(p, L"GoHome"); }, {}, 0},
    {L"Navigate",
     DISP_KIND_METHOD,
     [](void* p, DispCall& c)
     {
         Self(p)->m_szLocation = c.Bstr(0) ? c.Bstr(0) : L"";
         std::wstring s = L"Navigate(" + Self(p)->m_szLocation;
         for (UINT i = 1; i < 5; i++)
             s += L"|" + Describe(c.Var(i));
         return Logged(p, (s + L")").c_str());
     },
     {VT_BSTR, VT_VARIANT, VT_VARIANT, VT_VARIANT, VT_VARIANT},
     4},
    {L"Stop", DISP_KIND_METHOD, [](void* p, DispCall&) { return Logged(p, L"Stop"); }, {}, 0},
    {L"Refresh", DISP_KIND_METHOD, [](void* p, DispCall&) { return Logged(p, L"Refresh"); }, {}, 0},
    {L"Document",
     DISP_KIND_GET,
     [](void* p, DispCall& c)
     {
         c.ReturnDispatch(static_cast<IDispatch*>(Self(p)));
         return Logged(p, L"Document");
     },
     {},
     0},
    {L"LocationURL",
     DISP_KIND_GET,
     [](void* p, DispCall& c)
     {
         c.ReturnBstr(Self(p)->m_szLocation.c_str());
         return Logged(p, L"LocationURL");
     },
     {},
     0},
    {L"ReadyState",
     DISP_KIND_GET,
     [](void* p, DispCall& c)
     {
         c.ReturnI4(4);
         return Logged(p, L"ReadyState");
     },
     {},
     0},
};

const ControlDescription CBrowserStandIn::s_desc = {&CLSID_BrowserStandIn,
                                                    &DIID_DBrowserStandIn,
                                                    &DIID_DBrowserStandInEvents,
                                                    s_methods,
                                                    sizeof s_methods / sizeof s_methods[0],
                                                    kTestMiscStatus};

const ControlClassInfo s_classes[] = {
    {&CLSID_ComKitTest, kTestProgId, L"ComKitTest Control", kTestMiscStatus, &CreateControl<CComKitTestCtrl>},
    {&CLSID_BrowserStandIn, kStandInProgId, L"ComKitTest Browser Stand-in", kTestMiscStatus,
     &CreateControl<CBrowserStandIn>},
};
const ServerInfo s_server = {&LIBID_ComKitTestLib, 1, 0, s_classes, sizeof s_classes / sizeof s_classes[0]};
} // namespace

const ServerInfo& GetServerInfo()
{
    return s_server;
}
