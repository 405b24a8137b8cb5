// The codec objects the media library loads from LMLibrary01U.dll, natively over the codec
// classes, behind a loader the tests hand to the library's objects; and a reader of MP4 files.
#pragma once
#include "confclient/library/LMPlatform.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Loads "LMLibrary01U.dll" as the native codec objects; any other library fails.
class CTestCodecLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t* szLibrary) override;
    LMFactoryFunction FindFactory(void* hLibrary, const wchar_t* szFactory) override;

    // Resize calls over every resizer made.
    static std::atomic<int> nResizes;
};

// Waits for a condition another thread makes true, with a generous bound.
class CTestSignal
{
public:
    void Notify(const std::function<void()>& change)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            change();
        }
        m_changed.notify_all();
    }
    bool WaitUntil(const std::function<bool()>& ready, std::chrono::seconds bound = std::chrono::seconds(20))
    {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_changed.wait_for(guard, bound, ready);
    }
    std::mutex& Lock() { return m_lock; }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// What libavformat reads of a file.
struct S_STREAMREAD
{
    std::string sCodec;
    int nPackets = 0;
    std::vector<int64_t> pts; // in the stream's time base, in file order
    std::vector<bool> keys;
    int nTimeBaseNum = 0, nTimeBaseDen = 1;
    int nSampleRate = 0, nWidth = 0, nHeight = 0;
    double dDuration = 0, dFrameRate = 0; // seconds; frames per second on average
};
struct S_FILEREAD
{
    bool bOpened = false;
    double dDuration = 0;
    std::vector<S_STREAMREAD> streams;
};
S_FILEREAD ReadMediaFile(const std::string& sPath);

std::vector<uint8_t> ReadBytes(const std::string& sPath);

// What libavcodec decodes of a file's first video and audio streams: each picture's time and
// mean luma, and the sound as mono float samples from its first sample's time.
struct S_FILEDECODE
{
    std::vector<std::pair<double, double>> pictures; // seconds, mean luma
    std::vector<float> sound;
    double dSoundStart = 0;
    int nSampleRate = 0;
};
S_FILEDECODE DecodeMediaFile(const std::string& sPath);
