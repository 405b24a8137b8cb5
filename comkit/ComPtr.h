// The one COM smart pointer of the code base: owns one reference, released on reset or destruction.
#pragma once
#include <objbase.h>

template <class T> class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p)
    {
        if (m_p) m_p->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        if (this != &other) ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr(static_cast<ComPtr&&>(other)).Swap(*this);
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Releases what is held and hands out the slot for a call that returns a new reference.
    T** Out()
    {
        Reset();
        return &m_p;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

    void Reset()
    {
        if (m_p)
        {
            T* p = m_p;
            m_p = nullptr;
            p->Release();
        }
    }
    // Takes over a reference the caller already owns.
    void Attach(T* p)
    {
        Reset();
        m_p = p;
    }
    T* Detach()
    {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    void Swap(ComPtr& other) noexcept
    {
        T* p = m_p;
        m_p = other.m_p;
        other.m_p = p;
    }

    template <class U> HRESULT As(ComPtr<U>& out) const
    {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(__uuidof(U), out.OutVoid());
    }

private:
    T* m_p = nullptr;
};
