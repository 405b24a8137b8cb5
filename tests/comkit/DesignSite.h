// A client site for control tests that says the container is in design mode.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <atomic>

// A client site that says the container is in design mode and hands every other question to
// the program's own site: enough for a control to show how it looks in a form designer.
class CDesignSite final : public IOleClientSite, public IDispatch
{
public:
    explicit CDesignSite(IOleClientSite* pInner) : m_pInner(pInner) { m_pInner->AddRef(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *ppv = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else
            return m_pInner->QueryInterface(riid, ppv);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG n = --m_cRef;
        if (n == 0)
        {
            m_pInner->Release();
            delete this;
        }
        return n;
    }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return m_pInner->SaveObject(); }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD a, DWORD w, IMoniker** pp) override
    {
        return m_pInner->GetMoniker(a, w, pp);
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** pp) override { return m_pInner->GetContainer(pp); }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return m_pInner->ShowObject(); }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL b) override { return m_pInner->OnShowWindow(b); }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return m_pInner->RequestNewObjectLayout(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pn) override { return *pn = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* pResult,
                                     EXCEPINFO*, UINT*) override
    {
        if (dispid != DISPID_AMBIENT_USERMODE || !pResult) return DISP_E_MEMBERNOTFOUND;
        VariantInit(pResult);
        pResult->vt = VT_BOOL;
        pResult->boolVal = VARIANT_FALSE;
        return S_OK;
    }

private:
    ~CDesignSite() = default;
    std::atomic<ULONG> m_cRef{1};
    IOleClientSite* m_pInner;
};
