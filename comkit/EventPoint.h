// The control's one outgoing event interface: advised sinks, and events fired to all of them.
#pragma once
#include <ocidl.h>
#include <mutex>
#include <vector>

// Lives inside its control and shares its reference count; the control answers FindConnectionPoint.
class CEventPoint final : public IConnectionPoint
{
public:
    CEventPoint(IConnectionPointContainer* pContainer, REFIID riidEvents);
    ~CEventPoint();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return m_pContainer->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_pContainer->Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

    // Calls every sink advised at this moment on the calling thread, with arguments in declared
    // order (at most 16); no marshalling, so addresses passed as integers stay valid for the call.
    // Any thread.
    HRESULT Fire(DISPID dispid, const VARIANT* pArgs, UINT nArgs);
    size_t SinkCount() const;
    void UnadviseAll();

private:
    struct Sink
    {
        DWORD dwCookie;
        IDispatch* pDisp;
    };
    IConnectionPointContainer* m_pContainer;
    IID m_iidEvents;
    mutable std::mutex m_lock;
    std::vector<Sink> m_sinks;
    DWORD m_dwNextCookie = 1;
};
