// The host's event sink: maps a control's event dispids to handlers, callable from any thread.
#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <oaidl.h>
#include <string>

// One event's arguments in declared order, valid only during the handler.
class EventArgs
{
public:
    explicit EventArgs(const DISPPARAMS& params) : m_params(params) {}

    UINT Count() const { return m_params.cArgs; }
    // The argument as the control passed it.
    const VARIANT& Raw(UINT i) const { return m_params.rgvarg[m_params.cArgs - 1 - i]; }
    // Coerced reads; 0, FALSE or empty when the argument is missing or does not convert.
    long I4(UINT i) const;
    short I2(UINT i) const;
    // A pointer or handle argument (DISP_INT_PTR).
    INT_PTR IntPtr(UINT i) const;
    BOOL Bool(UINT i) const;
    std::wstring Str(UINT i) const;
    // A by-reference variant argument's storage, so the handler can answer through it; null otherwise.
    VARIANT* Ref(UINT i) const;

private:
    bool Coerce(UINT i, VARTYPE vt, VARIANT& out) const;
    const DISPPARAMS& m_params;
};

class CEventSink final : public IDispatch
{
public:
    using Handler = std::function<void(const EventArgs&)>;

    // Made with one reference for the caller; riidEvents is the control's event interface.
    explicit CEventSink(REFIID riidEvents);

    // Sets the handler of one event. Only before the sink is connected: afterwards the map is
    // read-only, so that events arriving on any thread read it without a lock.
    HRESULT On(DISPID dispid, Handler handler);
    // Called by the host when it connects and when it disconnects. After Close no handler starts;
    // one already running on another thread finishes, so the control stops its threads at Close.
    void Seal() { m_bSealed = true; }
    void Close() { m_bClosed = true; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    ~CEventSink() = default;

    std::atomic<ULONG> m_cRef{1};
    IID m_iidEvents;
    std::map<DISPID, Handler> m_handlers;
    std::atomic<bool> m_bSealed{false};
    std::atomic<bool> m_bClosed{false};
};
