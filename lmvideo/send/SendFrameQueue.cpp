// Frame buffers are handed out round the ring, skipping those in use; a larger picture grows the
// free buffers at once and the busy ones when they come back, so a buffer that a waiting picture
// or an event in progress reads never moves.
#include "lmvideo/send/SendFrameQueue.h"

#include <new>

CSendFrameQueue::CSendFrameQueue()
{
    for (int i = 0; i < kBuffers; ++i)
        GrowLocked(i);
}

bool CSendFrameQueue::GrowLocked(int nBuffer)
{
    std::vector<uint8_t>& buffer = m_buffers[nBuffer];
    if (buffer.size() >= m_nCapacity) return true;
    try
    {
        buffer.resize(m_nCapacity);
    }
    catch (const std::bad_alloc&)
    {
        buffer.clear();
        buffer.shrink_to_fit();
        return false;
    }
    return true;
}

int CSendFrameQueue::Reserve(size_t nBytes)
{
    std::lock_guard<std::mutex> guard(m_lock);
    while (m_waiting.size() > kMaxWaiting)
    {
        ReleaseLocked(m_waiting.front().nBuffer);
        m_waiting.pop_front();
    }
    if (nBytes > m_nCapacity) m_nCapacity = nBytes;
    for (int i = 0; i < kBuffers; ++i)
        if (!m_bInUse[i]) GrowLocked(i);
    for (int i = 0; i < kBuffers; ++i)
    {
        const int nBuffer = (m_nNext + i) % kBuffers;
        if (m_bInUse[nBuffer] || m_buffers[nBuffer].size() < nBytes) continue;
        m_bInUse[nBuffer] = true;
        m_nNext = (nBuffer + 1) % kBuffers;
        return nBuffer;
    }
    return -1;
}

uint8_t* CSendFrameQueue::Data(int nBuffer)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_buffers[nBuffer].data();
}

void CSendFrameQueue::Push(int nBuffer, const S_SENDVIDEODATA& data, const wchar_t* szFormat)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_waiting.push_back({nBuffer, data, szFormat});
    }
    m_queued.notify_one();
}

void CSendFrameQueue::ReleaseLocked(int nBuffer)
{
    m_bInUse[nBuffer] = false;
    GrowLocked(nBuffer);
}

void CSendFrameQueue::Release(int nBuffer)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ReleaseLocked(nBuffer);
}

bool CSendFrameQueue::Pop(S_SENDQUEUED& entry)
{
    std::unique_lock<std::mutex> guard(m_lock);
    // No timeout: every Push and Stop wakes it, and an idle sender thread costs nothing.
    m_queued.wait(guard, [this] { return !m_waiting.empty() || m_bStopped; });
    if (m_bStopped || m_waiting.empty()) return false;
    entry = m_waiting.front();
    m_waiting.pop_front();
    return true;
}

void CSendFrameQueue::Stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStopped = true;
    }
    m_queued.notify_all();
}

void CSendFrameQueue::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (const S_SENDQUEUED& entry : m_waiting)
        ReleaseLocked(entry.nBuffer);
    m_waiting.clear();
}

size_t CSendFrameQueue::GetWaiting()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_waiting.size();
}

int CSendFrameQueue::GetInUse()
{
    std::lock_guard<std::mutex> guard(m_lock);
    int n = 0;
    for (bool bInUse : m_bInUse)
        n += bInUse ? 1 : 0;
    return n;
}

size_t CSendFrameQueue::GetCapacity()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nCapacity;
}
