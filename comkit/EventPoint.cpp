// Connection point of a control: sink list under a lock, firing from whatever thread raises an event.
#include "comkit/EventPoint.h"
#include "comkit/ComLog.h"
#include "comkit/Enumerator.h"

#include <olectl.h>

CEventPoint::CEventPoint(IConnectionPointContainer* pContainer, REFIID riidEvents)
    : m_pContainer(pContainer), m_iidEvents(riidEvents)
{
}

CEventPoint::~CEventPoint()
{
    UnadviseAll();
}

HRESULT CEventPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint)
    {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT CEventPoint::GetConnectionInterface(IID* pIID)
{
    if (!pIID) return E_POINTER;
    *pIID = m_iidEvents;
    return S_OK;
}

HRESULT CEventPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (!ppCPC) return E_POINTER;
    *ppCPC = m_pContainer;
    m_pContainer->AddRef();
    return S_OK;
}

HRESULT CEventPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie)
{
    if (!pdwCookie) return E_POINTER;
    *pdwCookie = 0;
    if (!pUnkSink) return E_POINTER;
    IDispatch* pDisp = nullptr;
    // A sink of the event interface is an IDispatch; a sink that only answers IDispatch is taken too.
    if (FAILED(pUnkSink->QueryInterface(m_iidEvents, reinterpret_cast<void**>(&pDisp))) &&
        FAILED(pUnkSink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDisp))))
        return CONNECT_E_CANNOTCONNECT;
    std::lock_guard<std::mutex> hold(m_lock);
    try
    {
        m_sinks.push_back({m_dwNextCookie, pDisp});
    }
    catch (...)
    {
        pDisp->Release();
        return E_OUTOFMEMORY;
    }
    *pdwCookie = m_dwNextCookie++;
    return S_OK;
}

HRESULT CEventPoint::Unadvise(DWORD dwCookie)
{
    IDispatch* pDisp = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it)
        {
            if (it->dwCookie != dwCookie) continue;
            pDisp = it->pDisp;
            m_sinks.erase(it);
            break;
        }
    }
    if (!pDisp) return CONNECT_E_NOCONNECTION;
    pDisp->Release(); // outside the lock: the sink's release may call back into us
    return S_OK;
}

HRESULT CEventPoint::EnumConnections(IEnumConnections** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    std::vector<CONNECTDATA> connections;
    try
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (const Sink& sink : m_sinks)
            connections.push_back({sink.pDisp, sink.dwCookie});
        // References are taken under the lock, so no sink goes away in between.
        *ppEnum = CEnumConnections::Create(connections);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}

HRESULT CEventPoint::Fire(DISPID dispid, const VARIANT* pArgs, UINT nArgs)
{
    VARIANT reversed[16];
    if (nArgs > 16 || (nArgs && !pArgs)) return E_INVALIDARG;
    for (UINT i = 0; i < nArgs; i++)
        reversed[nArgs - 1 - i] = pArgs[i];
    DISPPARAMS params{nArgs ? reversed : nullptr, nullptr, nArgs, 0};

    std::vector<IDispatch*> targets;
    try
    {
        std::lock_guard<std::mutex> hold(m_lock);
        targets.reserve(m_sinks.size());
        for (const Sink& sink : m_sinks)
        {
            sink.pDisp->AddRef();
            targets.push_back(sink.pDisp);
        }
    }
    catch (...)
    {
        for (IDispatch* p : targets)
            p->Release();
        return E_OUTOFMEMORY;
    }
    // Sinks are called without the lock so that a handler may advise, unadvise or fire again.
    for (IDispatch* p : targets)
    {
        HRESULT hr = p->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                               nullptr, nullptr);
        if (FAILED(hr) && hr != DISP_E_MEMBERNOTFOUND)
            ComKitLog(LOG_DEBUG, "[COM_EVENT] dispid %ld refused by a sink: 0x%08lx", dispid, hr);
        p->Release();
    }
    return S_OK;
}

size_t CEventPoint::SinkCount() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sinks.size();
}

void CEventPoint::UnadviseAll()
{
    std::vector<Sink> sinks;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        sinks.swap(m_sinks);
    }
    for (const Sink& sink : sinks)
        sink.pDisp->Release();
}
