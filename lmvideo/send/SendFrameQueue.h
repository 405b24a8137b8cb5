// The send engine's pictures between the capture path and the sender thread: a pool of frame
// buffers with in-use marks and the short list of pictures waiting for their event.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

// A waiting picture next to its buffer.
struct S_SENDVIDEODATA
{
    int32_t nWidth;
    int32_t nHeight;
    int32_t nSeconds; // 0 for camera pictures, the movie time for movie pictures
    int32_t nBytes;
};

struct S_SENDQUEUED
{
    int nBuffer;
    S_SENDVIDEODATA data;
    const wchar_t* szFormat; // a constant pixel-format name
};

class CSendFrameQueue
{
public:
    static constexpr int kBuffers = 6;
    static constexpr size_t kInitialCapacity = 307200;
    // Pictures that may wait besides a new one.
    static constexpr size_t kMaxWaiting = 3;

    CSendFrameQueue();
    CSendFrameQueue(const CSendFrameQueue&) = delete;
    CSendFrameQueue& operator=(const CSendFrameQueue&) = delete;

    // For a new picture of nBytes: drops the oldest waiting ones beyond kMaxWaiting, then marks a
    // free buffer of at least nBytes as in use. -1 when every buffer is in use or memory ran out:
    // the picture is dropped.
    int Reserve(size_t nBytes);
    // The bytes of a reserved buffer; it stays put until Release.
    uint8_t* Data(int nBuffer);
    // Appends a reserved buffer with its picture and wakes the sender thread.
    void Push(int nBuffer, const S_SENDVIDEODATA& data, const wchar_t* szFormat);
    // Gives a reserved buffer back unused, or one taken by Pop after its event.
    void Release(int nBuffer);
    // Takes the oldest waiting picture; waits for one until Stop. False once stopped.
    bool Pop(S_SENDQUEUED& entry);
    // Wakes a waiting Pop for good; every later Pop returns false at once.
    void Stop();
    // Drops every waiting picture.
    void Clear();

    size_t GetWaiting();
    int GetInUse();
    size_t GetCapacity();

private:
    void ReleaseLocked(int nBuffer);
    bool GrowLocked(int nBuffer);

    std::mutex m_lock;
    std::condition_variable m_queued;
    std::deque<S_SENDQUEUED> m_waiting;
    std::vector<uint8_t> m_buffers[kBuffers];
    bool m_bInUse[kBuffers] = {};
    int m_nNext = 0;
    size_t m_nCapacity = kInitialCapacity;
    bool m_bStopped = false;
};
