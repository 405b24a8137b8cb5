// A COM enumerator over a snapshot of items: the connection points of a control and the
// connections of a point. Items hold their own references while in the snapshot.
#pragma once
#include <atomic>
#include <new>
#include <ocidl.h>
#include <vector>

template <class IEnum, class Item, class Traits> class CSnapshotEnum final : public IEnum
{
public:
    // Takes a reference on each item; made with one reference for the caller.
    static IEnum* Create(const std::vector<Item>& items, size_t nPos = 0)
    {
        CSnapshotEnum* p = new (std::nothrow) CSnapshotEnum();
        if (!p) return nullptr;
        try
        {
            p->m_items = items;
        }
        catch (...)
        {
            delete p;
            return nullptr;
        }
        for (Item& item : p->m_items)
            Traits::AddRef(item);
        p->m_nPos = nPos;
        return p;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == __uuidof(IEnum))
        {
            *ppv = static_cast<IEnum*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG n = --m_cRef;
        if (n == 0) delete this;
        return n;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG cItems, Item* pItems, ULONG* pcFetched) override
    {
        if (!pItems) return E_POINTER;
        if (cItems > 1 && !pcFetched) return E_INVALIDARG;
        ULONG n = 0;
        for (; n < cItems && m_nPos < m_items.size(); n++, m_nPos++)
        {
            pItems[n] = m_items[m_nPos];
            Traits::AddRef(pItems[n]);
        }
        if (pcFetched) *pcFetched = n;
        return n == cItems ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG cItems) override
    {
        size_t nLeft = m_items.size() - m_nPos;
        m_nPos += cItems < nLeft ? cItems : nLeft;
        return cItems <= nLeft ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_nPos = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** ppEnum) override
    {
        if (!ppEnum) return E_POINTER;
        *ppEnum = Create(m_items, m_nPos);
        return *ppEnum ? S_OK : E_OUTOFMEMORY;
    }

private:
    CSnapshotEnum() = default;
    ~CSnapshotEnum()
    {
        for (Item& item : m_items)
            Traits::Release(item);
    }

    std::atomic<ULONG> m_cRef{1};
    std::vector<Item> m_items;
    size_t m_nPos = 0;
};

struct ConnectionPointTraits
{
    static void AddRef(IConnectionPoint* p) { p->AddRef(); }
    static void Release(IConnectionPoint* p) { p->Release(); }
};

struct ConnectDataTraits
{
    static void AddRef(CONNECTDATA& cd) { cd.pUnk->AddRef(); }
    static void Release(CONNECTDATA& cd) { cd.pUnk->Release(); }
};

using CEnumConnectionPoints = CSnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, ConnectionPointTraits>;
using CEnumConnections = CSnapshotEnum<IEnumConnections, CONNECTDATA, ConnectDataTraits>;
