// Control base: the COM face a container needs, the table dispatch and the child window.
#include "comkit/ControlBase.h"
#include "comkit/ComLog.h"
#include "comkit/Enumerator.h"
#include "comkit/ServerModule.h"

namespace
{
const wchar_t kWindowClass[] = L"QuillonControlWindow";

bool RegisterWindowClassOnce(WNDPROC pfnProc)
{
    static std::atomic<bool> s_bRegistered{false};
    if (s_bRegistered.load()) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = pfnProc;
    wc.hInstance = ServerModuleHandle();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    s_bRegistered = true;
    return true;
}

} // namespace

CControlBase::CControlBase(const ControlDescription& desc)
    : m_desc(desc), m_events(static_cast<IConnectionPointContainer*>(this), *desc.pEventIid)
{
    ServerLock();
}

CControlBase::~CControlBase()
{
    if (m_hWnd) DestroyWindow(m_hWnd);
    if (m_pInPlaceSite) m_pInPlaceSite->Release();
    if (m_pClientSite) m_pClientSite->Release();
    if (m_pAdviseHolder) m_pAdviseHolder->Release();
    ServerUnlock();
}

HRESULT CControlBase::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == *m_desc.pDispIid)
        *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_IOleObject)
        *ppv = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
        *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (riid == IID_IOleInPlaceActiveObject)
        *ppv = static_cast<IOleInPlaceActiveObject*>(this);
    else if (riid == IID_IOleControl)
        *ppv = static_cast<IOleControl*>(this);
    else if (riid == IID_IPersistStreamInit || riid == IID_IPersist)
        *ppv = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
        *ppv = static_cast<IProvideClassInfo2*>(this);
    else if (riid == IID_ISpecifyPropertyPages)
        *ppv = static_cast<ISpecifyPropertyPages*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CControlBase::AddRef()
{
    return ++m_cRef;
}

ULONG CControlBase::Release()
{
    ULONG n = --m_cRef;
    if (n == 0) delete this;
    return n;
}

HRESULT CControlBase::LoadTypeInfo(REFGUID guid, ITypeInfo** ppTI)
{
    if (!ppTI) return E_POINTER;
    *ppTI = nullptr;
    wchar_t szPath[MAX_PATH];
    if (!ServerModulePath(szPath, MAX_PATH)) return E_FAIL;
    ITypeLib* pLib = nullptr;
    HRESULT hr = LoadTypeLibEx(szPath, REGKIND_NONE, &pLib);
    if (FAILED(hr)) return hr;
    hr = pLib->GetTypeInfoOfGuid(guid, ppTI);
    pLib->Release();
    return hr;
}

HRESULT CControlBase::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo) return E_POINTER;
    ITypeInfo* pTI = nullptr;
    *pctinfo = SUCCEEDED(LoadTypeInfo(*m_desc.pDispIid, &pTI)) ? 1 : 0;
    if (pTI) pTI->Release();
    return S_OK;
}

HRESULT CControlBase::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo)
{
    if (!ppTInfo) return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0) return DISP_E_BADINDEX;
    return LoadTypeInfo(*m_desc.pDispIid, ppTInfo);
}

HRESULT CControlBase::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId)
{
    return DispTableGetIDsOfNames(m_desc.pMethods, m_desc.nMethods, rgszNames, cNames, rgDispId);
}

HRESULT CControlBase::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                             EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    return DispTableInvoke(m_desc.pMethods, m_desc.nMethods, this, dispid, wFlags, pParams, pResult,
                           pExcepInfo, puArgErr);
}

HRESULT CControlBase::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    try
    {
        *ppEnum = CEnumConnectionPoints::Create({&m_events});
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}

HRESULT CControlBase::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP)
{
    if (!ppCP) return E_POINTER;
    *ppCP = nullptr;
    if (riid != *m_desc.pEventIid) return CONNECT_E_NOCONNECTION;
    *ppCP = &m_events;
    m_events.AddRef();
    return S_OK;
}

HRESULT CControlBase::FireEvent(DISPID dispid, const VARIANT* pArgs, UINT nArgs)
{
    if (m_nFreeze.load() > 0) return S_FALSE;
    return m_events.Fire(dispid, pArgs, nArgs);
}

void CControlBase::ReadAmbientUserMode()
{
    m_bUserMode = TRUE;
    if (!m_pClientSite) return;
    IDispatch* pAmbient = nullptr;
    if (FAILED(m_pClientSite->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pAmbient)))) return;
    DISPPARAMS none{};
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(pAmbient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                   DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr)) &&
        SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BOOL)))
        m_bUserMode = v.boolVal != VARIANT_FALSE;
    VariantClear(&v);
    pAmbient->Release();
}

HRESULT CControlBase::SetClientSite(IOleClientSite* pSite)
{
    if (pSite) pSite->AddRef();
    if (m_pClientSite) m_pClientSite->Release();
    m_pClientSite = pSite;
    ReadAmbientUserMode();
    return S_OK;
}

HRESULT CControlBase::GetClientSite(IOleClientSite** ppSite)
{
    if (!ppSite) return E_POINTER;
    *ppSite = m_pClientSite;
    if (m_pClientSite) m_pClientSite->AddRef();
    return S_OK;
}

HRESULT CControlBase::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

HRESULT CControlBase::Close(DWORD)
{
    InPlaceDeactivate();
    if (m_pAdviseHolder) m_pAdviseHolder->SendOnClose();
    return S_OK;
}

HRESULT CControlBase::SetMoniker(DWORD, IMoniker*)
{
    return E_NOTIMPL;
}

HRESULT CControlBase::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT CControlBase::InitFromData(IDataObject*, BOOL, DWORD)
{
    return E_NOTIMPL;
}

HRESULT CControlBase::GetClipboardData(DWORD, IDataObject** ppDataObject)
{
    if (ppDataObject) *ppDataObject = nullptr;
    return E_NOTIMPL;
}

HRESULT CControlBase::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND hwndParent,
                             LPCRECT lprcPosRect)
{
    switch (iVerb)
    {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
    {
        HRESULT hr = InPlaceActivate(pActiveSite, hwndParent, lprcPosRect);
        if (SUCCEEDED(hr) && iVerb == OLEIVERB_UIACTIVATE) SetFocus(m_hWnd);
        return hr;
    }
    case OLEIVERB_HIDE:
        if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    default:
        if (iVerb > 0)
        {
            HRESULT hr = InPlaceActivate(pActiveSite, hwndParent, lprcPosRect);
            return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
        }
        return E_NOTIMPL;
    }
}

HRESULT CControlBase::InPlaceActivate(IOleClientSite* pActiveSite, HWND hwndParent, LPCRECT lprcPosRect)
{
    if (m_hWnd)
    {
        if (!StartsHidden()) ShowWindow(m_hWnd, SW_SHOW);
        return S_OK;
    }
    IOleClientSite* pSite = pActiveSite ? pActiveSite : m_pClientSite;
    if (!pSite) return E_UNEXPECTED;
    IOleInPlaceSite* pInPlace = nullptr;
    if (FAILED(pSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pInPlace))))
        return E_NOINTERFACE;
    if (pInPlace->CanInPlaceActivate() != S_OK)
    {
        pInPlace->Release();
        return E_FAIL;
    }

    HWND hParent = nullptr;
    RECT rcPos{0, 0, 0, 0};
    if (lprcPosRect) rcPos = *lprcPosRect;
    pInPlace->GetWindow(&hParent);
    if (!hParent) hParent = hwndParent;
    IOleInPlaceFrame* pFrame = nullptr;
    IOleInPlaceUIWindow* pDoc = nullptr;
    RECT rcClip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(pInPlace->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &frameInfo)) && !lprcPosRect)
        lprcPosRect = &rcPos;
    if (pFrame) pFrame->Release();
    if (pDoc) pDoc->Release();
    if (lprcPosRect) rcPos = *lprcPosRect;

    if (!hParent || !RegisterWindowClassOnce(&CControlBase::WindowProc))
    {
        pInPlace->Release();
        return E_FAIL;
    }
    if (FAILED(pInPlace->OnInPlaceActivate()))
    {
        pInPlace->Release();
        return E_FAIL;
    }
    const DWORD dwVisible = StartsHidden() ? 0 : WS_VISIBLE;
    HWND hWnd = CreateWindowExW(
        0, kWindowClass, L"", WS_CHILD | dwVisible | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rcPos.left, rcPos.top,
        rcPos.right - rcPos.left, rcPos.bottom - rcPos.top, hParent, nullptr, ServerModuleHandle(), this);
    if (!hWnd)
    {
        ComKitLog(LOG_ERROR, "[COM_CONTROL] child window not created: %lu", GetLastError());
        pInPlace->OnInPlaceDeactivate();
        pInPlace->Release();
        return E_FAIL;
    }
    m_pInPlaceSite = pInPlace;
    return S_OK;
}

LRESULT CALLBACK CControlBase::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CControlBase* pThis = reinterpret_cast<CControlBase*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (uMsg == WM_NCCREATE)
    {
        pThis = static_cast<CControlBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
        pThis->m_hWnd = hWnd;
    }
    if (!pThis) return DefWindowProcW(hWnd, uMsg, wParam, lParam);

    LRESULT lResult = 0;
    try
    {
        if (uMsg == WM_CREATE) pThis->OnCreateWindow(hWnd);
        if (uMsg == WM_DESTROY) pThis->OnDestroyWindow(hWnd);
        bool bHandled = false;
        lResult = pThis->OnWindowMessage(uMsg, wParam, lParam, bHandled);
        if (!bHandled) lResult = DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    catch (...)
    {
        ComKitLog(LOG_ERROR, "[COM_CONTROL] window message 0x%04x threw", uMsg);
        lResult = DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    if (uMsg == WM_NCDESTROY)
    {
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        pThis->m_hWnd = nullptr;
    }
    return lResult;
}

LRESULT CControlBase::OnWindowMessage(UINT uMsg, WPARAM, LPARAM, bool& bHandled)
{
    if (uMsg == WM_PAINT)
    {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(m_hWnd, &ps);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        OnDraw(hdc, rc);
        EndPaint(m_hWnd, &ps);
        bHandled = true;
    }
    return 0;
}

HRESULT CControlBase::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb)
{
    if (!ppEnumOleVerb) return E_POINTER;
    return OleRegEnumVerbs(*m_desc.pClsid, ppEnumOleVerb);
}

HRESULT CControlBase::Update()
{
    return S_OK;
}

HRESULT CControlBase::IsUpToDate()
{
    return S_OK;
}

HRESULT CControlBase::GetUserClassID(CLSID* pClsid)
{
    if (!pClsid) return E_POINTER;
    *pClsid = *m_desc.pClsid;
    return S_OK;
}

HRESULT CControlBase::GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType)
{
    if (!pszUserType) return E_POINTER;
    return OleRegGetUserType(*m_desc.pClsid, dwFormOfType, pszUserType);
}

HRESULT CControlBase::SetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!psizel) return E_POINTER;
    m_sizeExtent = *psizel;
    return S_OK;
}

HRESULT CControlBase::GetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!psizel) return E_POINTER;
    *psizel = m_sizeExtent;
    return S_OK;
}

HRESULT CControlBase::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection)
{
    if (!m_pAdviseHolder && FAILED(CreateOleAdviseHolder(&m_pAdviseHolder))) return E_OUTOFMEMORY;
    return m_pAdviseHolder->Advise(pAdvSink, pdwConnection);
}

HRESULT CControlBase::Unadvise(DWORD dwConnection)
{
    if (!m_pAdviseHolder) return OLE_E_NOCONNECTION;
    return m_pAdviseHolder->Unadvise(dwConnection);
}

HRESULT CControlBase::EnumAdvise(IEnumSTATDATA** ppenumAdvise)
{
    if (!ppenumAdvise) return E_POINTER;
    *ppenumAdvise = nullptr;
    if (!m_pAdviseHolder) return S_OK;
    return m_pAdviseHolder->EnumAdvise(ppenumAdvise);
}

HRESULT CControlBase::GetMiscStatus(DWORD, DWORD* pdwStatus)
{
    if (!pdwStatus) return E_POINTER;
    *pdwStatus = m_desc.dwMiscStatus;
    return S_OK;
}

HRESULT CControlBase::SetColorScheme(LOGPALETTE*)
{
    return E_NOTIMPL;
}

HRESULT CControlBase::GetWindow(HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

HRESULT CControlBase::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

HRESULT CControlBase::InPlaceDeactivate()
{
    if (!m_pInPlaceSite) return S_OK;
    if (m_hWnd) DestroyWindow(m_hWnd);
    IOleInPlaceSite* pSite = m_pInPlaceSite;
    m_pInPlaceSite = nullptr;
    pSite->OnInPlaceDeactivate();
    pSite->Release();
    return S_OK;
}

HRESULT CControlBase::UIDeactivate()
{
    return S_OK;
}

HRESULT CControlBase::SetObjectRects(LPCRECT lprcPosRect, LPCRECT)
{
    if (!lprcPosRect) return E_POINTER;
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, lprcPosRect->left, lprcPosRect->top,
                     lprcPosRect->right - lprcPosRect->left, lprcPosRect->bottom - lprcPosRect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

HRESULT CControlBase::ReactivateAndUndo()
{
    return E_NOTIMPL;
}

HRESULT CControlBase::TranslateAccelerator(LPMSG)
{
    return S_FALSE;
}

HRESULT CControlBase::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CControlBase::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT CControlBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

HRESULT CControlBase::EnableModeless(BOOL)
{
    return S_OK;
}

HRESULT CControlBase::GetControlInfo(CONTROLINFO* pCI)
{
    if (!pCI) return E_POINTER;
    pCI->cb = sizeof(CONTROLINFO);
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

HRESULT CControlBase::OnMnemonic(MSG*)
{
    return S_OK;
}

HRESULT CControlBase::OnAmbientPropertyChange(DISPID dispID)
{
    if (dispID == DISPID_AMBIENT_USERMODE || dispID == DISPID_UNKNOWN) ReadAmbientUserMode();
    return S_OK;
}

HRESULT CControlBase::FreezeEvents(BOOL bFreeze)
{
    if (bFreeze)
        ++m_nFreeze;
    else if (m_nFreeze.load() > 0)
        --m_nFreeze;
    return S_OK;
}

HRESULT CControlBase::GetClassID(CLSID* pClassID)
{
    if (!pClassID) return E_POINTER;
    *pClassID = *m_desc.pClsid;
    return S_OK;
}

HRESULT CControlBase::IsDirty()
{
    return S_FALSE;
}

HRESULT CControlBase::Load(LPSTREAM pStm)
{
    return pStm ? S_OK : E_POINTER;
}

HRESULT CControlBase::Save(LPSTREAM pStm, BOOL)
{
    return pStm ? S_OK : E_POINTER;
}

HRESULT CControlBase::GetSizeMax(ULARGE_INTEGER* pCbSize)
{
    if (!pCbSize) return E_POINTER;
    pCbSize->QuadPart = 0;
    return S_OK;
}

HRESULT CControlBase::InitNew()
{
    return S_OK;
}

HRESULT CControlBase::GetClassInfo(ITypeInfo** ppTI)
{
    return LoadTypeInfo(*m_desc.pClsid, ppTI);
}

HRESULT CControlBase::GetGUID(DWORD dwGuidKind, GUID* pGUID)
{
    if (!pGUID) return E_POINTER;
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *pGUID = *m_desc.pEventIid;
    return S_OK;
}

HRESULT CControlBase::GetPages(CAUUID* pPages)
{
    if (!pPages) return E_POINTER;
    pPages->cElems = 0;
    pPages->pElems = nullptr;
    return S_OK;
}
