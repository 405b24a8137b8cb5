// The empty property page: a blank child window of the page frame's size.
#include "lmboard2/control/LMBoard2PropPage.h"

#include <atomic>
#include <new>
#include <ocidl.h>

#include "comkit/ServerModule.h"

namespace
{
class CLMBoard2PropPage final : public IPropertyPage
{
public:
    CLMBoard2PropPage() { ServerLock(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IPropertyPage) return E_NOINTERFACE;
        *ppv = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG n = --m_cRef;
        if (n == 0) delete this;
        return n;
    }

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pSite) override
    {
        if (m_pSite) m_pSite->Release();
        m_pSite = pSite;
        if (m_pSite) m_pSite->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Activate(HWND hParent, LPCRECT prc, BOOL) override
    {
        if (!prc) return E_POINTER;
        m_hWnd = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, prc->left, prc->top, prc->right - prc->left,
                                 prc->bottom - prc->top, hParent, nullptr, ServerModuleHandle(), nullptr);
        return m_hWnd ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Deactivate() override
    {
        if (m_hWnd) DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pInfo) override
    {
        if (!pInfo) return E_POINTER;
        static const wchar_t kTitle[] = L"General";
        pInfo->cb = sizeof *pInfo;
        pInfo->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kTitle));
        if (pInfo->pszTitle) memcpy(pInfo->pszTitle, kTitle, sizeof kTitle);
        pInfo->size = SIZE{250, 62};
        pInfo->pszDocString = nullptr;
        pInfo->pszHelpFile = nullptr;
        pInfo->dwHelpContext = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG, IUnknown**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) override
    {
        if (m_hWnd) ShowWindow(m_hWnd, static_cast<int>(nCmdShow));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT prc) override
    {
        if (m_hWnd && prc)
            MoveWindow(m_hWnd, prc->left, prc->top, prc->right - prc->left, prc->bottom - prc->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

private:
    ~CLMBoard2PropPage()
    {
        Deactivate();
        if (m_pSite) m_pSite->Release();
        ServerUnlock();
    }

    std::atomic<ULONG> m_cRef{1};
    IPropertyPageSite* m_pSite = nullptr;
    HWND m_hWnd = nullptr;
};
} // namespace

HRESULT CreatePropPage(REFIID riid, void** ppv)
{
    auto* p = new (std::nothrow) CLMBoard2PropPage();
    if (!p) return E_OUTOFMEMORY;
    HRESULT hr = p->QueryInterface(riid, ppv);
    p->Release();
    return hr;
}
