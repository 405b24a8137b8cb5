// The thread message queue.
#include "lmlibrary10/core/LMThreadQueue.h"

bool CLMThreadQueue::Post(uint32_t nMessage, uintptr_t wParam, intptr_t lParam)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bClosed) return false;
        m_messages.push_back({nMessage, wParam, lParam});
    }
    m_posted.notify_all();
    return true;
}

bool CLMThreadQueue::Take(LMThreadMessage& message)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_messages.empty()) return false;
    message = m_messages.front();
    m_messages.pop_front();
    return true;
}

bool CLMThreadQueue::HasMessage()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return !m_messages.empty();
}

bool CLMThreadQueue::WaitFor(std::chrono::microseconds timeout)
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_posted.wait_for(guard, timeout, [this] { return !m_messages.empty() || m_bWoken; });
    m_bWoken = false;
    return !m_messages.empty();
}

void CLMThreadQueue::Wake()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bWoken = true;
    }
    m_posted.notify_all();
}

void CLMThreadQueue::Close()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bClosed = true;
}
