// The one place a voice engine lives while received voice may reach it from another thread:
// the receive path uses it under a shared lock, closing takes the lock exclusively to delete it,
// so a packet never reaches an engine being deleted and receivers never wait on each other.
#pragma once
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>

template <class Engine> class CVoiceSlot
{
public:
    // Any thread: runs use(engine) when an engine is there; false when there is none.
    template <class Use> bool With(Use&& use) const
    {
        std::shared_lock<std::shared_mutex> lock(m_lock);
        if (!m_pEngine) return false;
        use(*m_pEngine);
        return true;
    }
    // Owner thread: replaces the engine (null closes it); the old one is deleted under the lock.
    void Reset(std::unique_ptr<Engine> pEngine = nullptr)
    {
        std::unique_lock<std::shared_mutex> lock(m_lock);
        m_pEngine = std::move(pEngine);
    }
    // Owner thread only: the engine for calls that never race a Reset.
    Engine* Get() const { return m_pEngine.get(); }

private:
    mutable std::shared_mutex m_lock;
    std::unique_ptr<Engine> m_pEngine;
};
