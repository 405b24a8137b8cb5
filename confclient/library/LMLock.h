// The lock interface of the object system, its critical-section lock and the scoped holder.
#pragma once
#include <cstdint>

class ILMAutoFinalize
{
public:
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual ~ILMAutoFinalize() = default;
};

// A recursive lock over one critical section (natively a recursive mutex).
class CLMLockCS : public ILMAutoFinalize
{
public:
    explicit CLMLockCS(uint32_t nSpinCount);
    ~CLMLockCS() override;
    CLMLockCS(const CLMLockCS&) = delete;
    CLMLockCS& operator=(const CLMLockCS&) = delete;

    void Lock() override;
    void Unlock() override;

private:
    // Room for a CRITICAL_SECTION or a std::recursive_mutex; the source checks the size.
    alignas(8) unsigned char m_section[64];
};

// Holds a lock for the length of a block.
template <class L = ILMAutoFinalize> class CLMAutoFinalizeAccessor
{
public:
    explicit CLMAutoFinalizeAccessor(L& lock) : m_lock(lock) { m_lock.Lock(); }
    virtual ~CLMAutoFinalizeAccessor() { m_lock.Unlock(); }
    CLMAutoFinalizeAccessor(const CLMAutoFinalizeAccessor&) = delete;
    CLMAutoFinalizeAccessor& operator=(const CLMAutoFinalizeAccessor&) = delete;

private:
    L& m_lock;
};
