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
    // Owner thread: replaces the engine (null closes it). The old one is taken out under the lock,
    // once no receiver uses it, and deleted after: its teardown waits on the sound system, which
    // meanwhile delivers messages sent to this thread, and one of them may close the slot again.
    void Reset(std::unique_ptr<Engine> pEngine = nullptr)
    {
        std::unique_ptr<Engine> pOld;
        {
            std::unique_lock<std::shared_mutex> lock(m_lock);
            pOld = std::exchange(m_pEngine, std::move(pEngine));
        }
    }
    // Owner thread only: the engine for calls that never race a Reset.
    Engine* Get() const { return m_pEngine.get(); }

private:
    mutable std::shared_mutex m_lock;
    std::unique_ptr<Engine> m_pEngine;
};
