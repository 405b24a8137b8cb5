// Site of a hosted control: answers what the control asks of its container while it lives in our window.
#include "comkit/ControlSite.h"

CControlSite::CControlSite(HWND hWnd, const RECT& rcPos) : m_hWnd(hWnd), m_rcPos(rcPos) {}

HRESULT CControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else if (riid == IID_IOleControlSite)
        *ppv = static_cast<IOleControlSite*>(this);
    else if (riid == IID_IDispatch)
        *ppv = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CControlSite::AddRef()
{
    return ++m_cRef;
}

ULONG CControlSite::Release()
{
    ULONG n = --m_cRef;
    if (n == 0) delete this;
    return n;
}

HRESULT CControlSite::SaveObject()
{
    return S_OK;
}

HRESULT CControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT CControlSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
}

HRESULT CControlSite::ShowObject()
{
    return S_OK;
}

HRESULT CControlSite::OnShowWindow(BOOL)
{
    return S_OK;
}

HRESULT CControlSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

HRESULT CControlSite::GetWindow(HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

HRESULT CControlSite::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

HRESULT CControlSite::CanInPlaceActivate()
{
    return m_hWnd ? S_OK : S_FALSE;
}

HRESULT CControlSite::OnInPlaceActivate()
{
    m_bInPlaceActive = true;
    return S_OK;
}

HRESULT CControlSite::OnUIActivate()
{
    return S_OK;
}

HRESULT CControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                       LPRECT lprcPosRect, LPRECT lprcClipRect,
                                       LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo) return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    *lprcPosRect = m_rcPos;
    *lprcClipRect = m_rcPos;
    lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = m_hWnd ? GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT CControlSite::Scroll(SIZE)
{
    return S_FALSE;
}

HRESULT CControlSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}

HRESULT CControlSite::OnInPlaceDeactivate()
{
    m_bInPlaceActive = false;
    return S_OK;
}

HRESULT CControlSite::DiscardUndoState()
{
    return S_OK;
}

HRESULT CControlSite::DeactivateAndUndo()
{
    return m_pInPlace ? m_pInPlace->UIDeactivate() : S_OK;
}

HRESULT CControlSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (!lprcPosRect) return E_POINTER;
    // The control asked for a new place: we grant it as asked.
    m_rcPos = *lprcPosRect;
    return m_pInPlace ? m_pInPlace->SetObjectRects(&m_rcPos, &m_rcPos) : S_OK;
}

HRESULT CControlSite::GetBorder(LPRECT)
{
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT CControlSite::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT CControlSite::SetBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT CControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR)
{
    return S_OK;
}

HRESULT CControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    return S_OK;
}

HRESULT CControlSite::SetMenu(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

HRESULT CControlSite::RemoveMenus(HMENU)
{
    return S_OK;
}

HRESULT CControlSite::SetStatusText(LPCOLESTR)
{
    return S_OK;
}

HRESULT CControlSite::EnableModeless(BOOL)
{
    return S_OK;
}

HRESULT CControlSite::TranslateAccelerator(LPMSG, WORD)
{
    return S_FALSE;
}

HRESULT CControlSite::OnControlInfoChanged()
{
    return S_OK;
}

HRESULT CControlSite::LockInPlaceActive(BOOL)
{
    return S_OK;
}

HRESULT CControlSite::GetExtendedControl(IDispatch** ppDisp)
{
    if (ppDisp) *ppDisp = nullptr;
    return E_NOTIMPL;
}

HRESULT CControlSite::TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags)
{
    if (!pPtlHimetric || !pPtfContainer) return E_POINTER;
    HDC hdc = GetDC(nullptr);
    int dpiX = GetDeviceCaps(hdc, LOGPIXELSX), dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    ReleaseDC(nullptr, hdc);
    if (dwFlags & XFORMCOORDS_HIMETRICTOCONTAINER)
    {
        pPtfContainer->x = static_cast<float>(MulDiv(pPtlHimetric->x, dpiX, 2540));
        pPtfContainer->y = static_cast<float>(MulDiv(pPtlHimetric->y, dpiY, 2540));
        return S_OK;
    }
    if (dwFlags & XFORMCOORDS_CONTAINERTOHIMETRIC)
    {
        pPtlHimetric->x = MulDiv(static_cast<int>(pPtfContainer->x), 2540, dpiX);
        pPtlHimetric->y = MulDiv(static_cast<int>(pPtfContainer->y), 2540, dpiY);
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CControlSite::TranslateAccelerator(LPMSG, DWORD)
{
    return S_FALSE;
}

HRESULT CControlSite::OnFocus(BOOL)
{
    return S_OK;
}

HRESULT CControlSite::ShowPropertyFrame()
{
    return E_NOTIMPL;
}

HRESULT CControlSite::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT CControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT CControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT cNames, LCID, DISPID* rgDispId)
{
    for (UINT i = 0; rgDispId && i < cNames; i++)
        rgDispId[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT CControlSite::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS*, VARIANT* pResult,
                             EXCEPINFO*, UINT*)
{
    // The program always runs its controls, never designs them.
    if (dispid != DISPID_AMBIENT_USERMODE || !(wFlags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!pResult) return E_POINTER;
    VariantInit(pResult);
    pResult->vt = VT_BOOL;
    pResult->boolVal = VARIANT_TRUE;
    return S_OK;
}
