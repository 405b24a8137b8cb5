// The movie player's engine, on the player thread: opens a movie with libavformat, decodes
// ahead into 30 picture slots (planar 4:2:0) and 25 sound slots (two 20 ms Speex frames of
// 16 kHz mono behind a 12-byte header), and runs a playback thread that hands each entry to the
// callback when the movie clock reaches it.
#pragma once
#include "confclient/library/LMBuffer.h"
#include "confclient/library/LMMediaLibrary.h"
#include "confclient/library/LMObjectPtr.h"
#include "confclient/library/LMVideoCodecs.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

extern "C"
{
#include <libavutil/channel_layout.h>
}

class CVideoShareInternal
{
public:
    static constexpr int kVideoSlots = 30;
    static constexpr int kAudioSlots = 25;
    static constexpr int kAudioSlotBytes = 1280;
    static constexpr int kHeaderBytes = 12;
    static constexpr int kSampleRate = 16000;
    static constexpr int kBlockSamples = 640; // 40 ms: two Speex frames
    static constexpr int64_t kBlockMicroseconds = 40000;

    // wake is told whenever the playback thread took entries, so that decoding goes on;
    // decoding ahead stops early while commandWaiting says a command waits, so that a seek is
    // not held up behind filling the lists.
    CVideoShareInternal(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve,
                        ILMLibraryLoader* pLoader, std::function<void()> wake,
                        std::function<bool()> commandWaiting);
    ~CVideoShareInternal();
    CVideoShareInternal(const CVideoShareInternal&) = delete;
    CVideoShareInternal& operator=(const CVideoShareInternal&) = delete;

    // Closes any movie and opens sPath (UTF-8), filling the six values.
    void Load(const std::string& sPath, S_VIDEOSHAREINFO& info);
    void Play();
    void Pause();
    // Ends playback, drops what was queued and rewinds to the start. Tells the end of each kind
    // that had entries queued; at the movie's end (bEnd) of each kind not told yet.
    void Stop(bool bEnd = false);
    // To nSeconds from the start of the movie.
    void Seek(int32_t nSeconds);
    // By nSeconds from the present position; past the end it stops.
    void SeekRelatively(int32_t nSeconds);
    void SetVolume(int32_t nPercent) { m_nVolume = nPercent; }

    // Decodes ahead while the lists have room, packs sound, keeps the clock; stops at the end.
    void DecodePass();
    // True while decoding ahead has work, so the player thread should not wait.
    bool HasWork();
    int32_t Position();
    bool IsPlaying();

private:
    struct S_ENTRY
    {
        int nSlot; // -1: an end marker
        int64_t nTime;
    };
    struct S_VIDEOSLOT
    {
        CLMBuffer buffer;
        int64_t nTime = 0;
        int nWidth = 0, nHeight = 0;
    };
    struct S_AUDIOSLOT
    {
        CLMBuffer buffer;
        int nLength = 0;
        int64_t nTime = 0;
    };

    void Close();
    // Makes the sound converters fit decoded sound of this format, layout and rate.
    bool ConfigureSound(int nFormat, const AVChannelLayout& layout, int nRate);
    void FreeBacklog();
    void StartPlayback();
    void EndPlayback();
    void HoldPlayback();
    void ReleaseHold();
    void PlaybackThread();
    // Delivers at most one due entry of a list; true when it did.
    bool DeliverVideo(std::unique_lock<std::mutex>& lock);
    bool DeliverAudio(std::unique_lock<std::mutex>& lock);
    int64_t ClockLocked() const;
    void SeekTo(int64_t nTarget, bool bBackward);
    void ClearLists(bool bSignalEnds, bool bEnd = false);

    bool ReadPacket();
    void DecodeVideo(AVPacket* pPacket);
    void DecodeAudio(AVPacket* pPacket);
    void QueuePicture(const AVFrame* pFrame);
    void TakeSamples(const int16_t* pSamples, int nSamples, int64_t nTime);
    // Packs whole blocks of pending samples while the sound list has room.
    void PackPending();
    void PackBlock(const int16_t* pBlock);
    // Appends an entry under m_lock; the first one after a load or seek sets the clock.
    void AppendLocked(std::deque<S_ENTRY>& list, S_ENTRY entry);
    size_t VideoCount();
    size_t AudioCount();

    ILMVideoShareCB* m_pCallback;
    std::function<void()> m_wake;
    std::function<bool()> m_commandWaiting;
    AVFormatContext* m_pFormat = nullptr;
    int m_nVideoStream = -1;
    int m_nAudioStream = -1;
    AVCodecContext* m_pVideoCodec = nullptr;
    AVCodecContext* m_pAudioCodec = nullptr;
    SwrContext* m_pConvert = nullptr;  // decoded sound to 16-bit interleaved, same rate
    SwrContext* m_pResample = nullptr; // mono 16-bit to 16 kHz
    SwsContext* m_pScale = nullptr;
    int m_nSoundFormat = -1; // what m_pConvert was made for
    int m_nSoundRate = -1;
    AVChannelLayout m_soundLayout{};
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    int64_t m_nDuration = 0; // microseconds, 0 when unknown

    // Under m_lock: the clock, the lists, the playback thread's control and the mark flag.
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_bPlaying = false;
    std::chrono::steady_clock::time_point m_startTick;
    int64_t m_nClock = 0; // movie time presented, microseconds (at m_startTick while playing)
    int64_t m_nStartBase = 0;
    bool m_bClockUnset = true;
    std::deque<S_ENTRY> m_video;
    std::deque<S_ENTRY> m_audio;
    bool m_bVideoEndSent = false;
    bool m_bAudioEndSent = false;
    bool m_bMarkNextAudio = false;
    bool m_bStop = false;
    bool m_bHold = false;
    bool m_bHoldAcknowledged = false;
    std::thread m_playback;

    // The player thread's own.
    int64_t m_nAudioClock = INT64_MIN; // time of the first pending sample; INT64_MIN: not yet known
    int64_t m_nDropBefore = INT64_MIN; // after a seek: nothing older than this is queued
    bool m_bEndOfFile = false;
    bool m_bMarkersDue = false;     // the end was read; the markers follow the backlog
    std::deque<AVFrame*> m_backlog; // decoded pictures waiting for room in the list
    S_VIDEOSLOT m_videoSlots[kVideoSlots];
    S_AUDIOSLOT m_audioSlots[kAudioSlots];
    int m_nVideoRing = 0;
    int m_nAudioRing = 0;
    std::vector<int16_t> m_decoded;   // interleaved, the stream's channels
    std::vector<int16_t> m_folded;    // mono, the stream's rate
    std::vector<int16_t> m_resampled; // mono, 16 kHz
    std::vector<int16_t> m_pending;   // not yet a whole block
    CLMObjectPtr<IXiphSpeexEncoder> m_speex;
    bool m_bSpeexReady = false;
    uint16_t m_nSequence = 0;
    uint32_t m_nTimeStamp = 0;
    int32_t m_nSourceId;
    int32_t m_nVolume = 100;
    size_t m_nQueueReserve;
};
