// Base of our ActiveX controls: table dispatch, events, OLE embedding and the control's child window.
#pragma once
#include "comkit/DispatchTable.h"
#include "comkit/EventPoint.h"

#include <atomic>
#include <new>
#include <ocidl.h>
#include <olectl.h>

struct ControlDescription
{
    const CLSID* pClsid;
    const IID* pDispIid;  // the dispinterface of the methods
    const IID* pEventIid; // the dispinterface of the events
    const DispEntry* pMethods;
    size_t nMethods;
    DWORD dwMiscStatus;
};

class CControlBase : public IDispatch,
                     public IConnectionPointContainer,
                     public IOleObject,
                     public IOleInPlaceObject,
                     public IOleInPlaceActiveObject,
                     public IOleControl,
                     public IPersistStreamInit,
                     public IProvideClassInfo2,
                     public ISpecifyPropertyPages
{
public:
    explicit CControlBase(const ControlDescription& desc);
    virtual ~CControlBase();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pSite) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppSite) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* pDataObject, BOOL fCreation,
                                           DWORD dwReserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                                     HWND hwndParent, LPCRECT lprcPosRect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* pClsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* pLogpal) override;

    // IOleWindow (for both in-place interfaces)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                           BOOL fFrameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) override;

    // IPersistStreamInit: our controls keep no persistent properties.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM pStm) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM pStm, BOOL fClearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pCbSize) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

    // ISpecifyPropertyPages: none.
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

protected:
    // Raises an event on every advised sink from the calling thread; dropped while the host
    // has frozen events. Arguments in declared order.
    HRESULT FireEvent(DISPID dispid, const VARIANT* pArgs = nullptr, UINT nArgs = 0);
    size_t EventSinkCount() const { return m_events.SinkCount(); }

    HWND ControlWindow() const { return m_hWnd; }
    // The container's ambient UserMode (TRUE when it does not say).
    BOOL IsUserMode() const { return m_bUserMode; }

    // A control whose window starts hidden answers true: DoVerb then never shows it, the control
    // shows it itself.
    virtual bool StartsHidden() const { return false; }
    // The child window's life: called on the window's thread after creation and before destruction.
    virtual void OnCreateWindow(HWND hWnd) {}
    virtual void OnDestroyWindow(HWND hWnd) {}
    // Every message of the child window; set bHandled to answer it here.
    virtual LRESULT OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual void OnDraw(HDC hdc, const RECT& rc) {}

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HRESULT InPlaceActivate(IOleClientSite* pActiveSite, HWND hwndParent, LPCRECT lprcPosRect);
    void ReadAmbientUserMode();
    HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** ppTI);

    const ControlDescription& m_desc;
    std::atomic<ULONG> m_cRef{1};
    CEventPoint m_events;
    std::atomic<long> m_nFreeze{0};
    IOleClientSite* m_pClientSite = nullptr;
    IOleInPlaceSite* m_pInPlaceSite = nullptr;
    IOleAdviseHolder* m_pAdviseHolder = nullptr;
    HWND m_hWnd = nullptr;
    SIZEL m_sizeExtent{2540, 2540};
    BOOL m_bUserMode = TRUE;
};

// Creates an object of a control class for the class factory (ControlClassInfo::pfnCreate).
template <class T> HRESULT CreateControl(REFIID riid, void** ppv)
{
    T* p = new (std::nothrow) T();
    if (!p) return E_OUTOFMEMORY;
    HRESULT hr = p->QueryInterface(riid, ppv);
    p->Release();
    return hr;
}
