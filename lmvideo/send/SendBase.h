// CSendBase: the engine of one video send control. Captured pictures come in through BufferCB,
// are brought into a format the host takes, previewed through a renderer and queued; a sender
// thread of its own hands them to the host one by one as RecordData events at the asked frame
// rate. Instead of a camera it can share a movie: the media library's player hands it pictures,
// which take the camera's road, and sound packets, which go straight to the host. Portable: the
// control is reached through a port, the camera graph lives on the Windows side, which derives
// from this class.
#pragma once
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMLock.h"
#include "confclient/library/LMMediaLibrary.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMRenderer.h"
#include "lmvideo/recv/RendererChoice.h"
#include "lmvideo/send/CaptureFormat.h"
#include "lmvideo/send/SendFrameQueue.h"
#include "lmvideo/send/SendRateLimiter.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What the engine needs of its control. Every call may come from any thread.
class ISendVideoPort
{
public:
    // Fires RecordData on the calling thread; the bytes stay valid until it returns.
    virtual void FireRecordData(const uint8_t* pData, int32_t nBytes, const wchar_t* szFormat, int32_t nWidth,
                                int32_t nHeight, int32_t nSeconds) = 0;
    // Fires VideoShareVoice (one sound packet of the shared movie) on the calling thread.
    virtual void FireVideoShareVoice(const uint8_t* pData, int32_t nBytes, int32_t nSeconds) = 0;
    // Fires EndOfVideoShare on the calling thread.
    virtual void FireEndOfVideoShare() = 0;
    // The system tick count in milliseconds (it wraps).
    virtual uint32_t GetTickCount() = 0;
    // Writes a line to the debugger output.
    virtual void DebugOutput(const wchar_t* szText) = 0;
    // Waits before the next DirectDraw try.
    virtual void WaitBeforeRetry(uint32_t nMilliseconds) = 0;

protected:
    ~ISendVideoPort() = default;
};

// The movie share's states, as the host reads them.
enum EMovieState : int16_t
{
    MOVIE_NONE = 0,
    MOVIE_INITIALISED = 1,
    MOVIE_LOADED = 2,
    MOVIE_PLAYING = 3,
    MOVIE_PAUSED = 4,
    MOVIE_STOPPED = 5, // also at the end
};

inline constexpr const wchar_t* LM_MEDIA_LIBRARY = L"LMLibrary10U.dll";
inline constexpr const wchar_t* LM_FACTORY_VIDEOSHARE2 = L"GetVideoShare2";

class CSendBase : public CLMObjectImpl, private ILMRendererChoiceHost, private ILMVideoShareCB
{
public:
    CSendBase(ISendVideoPort& port, const S_LMVIDEOMODULE& module);
    ~CSendBase() override;

    // One captured picture of the chosen format, on the capture's streaming thread: 0 when it was
    // handled (also in send state 2), 1 when it was ignored.
    int BufferCB(double dSampleTime, const uint8_t* pBuffer, int32_t nLength);

    // The capture size and the chosen format's handling, set before capture runs.
    void SetCaptureSize(int32_t nWidth, int32_t nHeight);
    void SetCaptureFormat(const S_CAPTUREFORMAT& format);
    void SetInterlace(int bInterlace) { m_bInterlace = bInterlace ? 1 : 0; }
    int GetInterlace() const { return m_bInterlace.load(); }

    // Send state 0, 1 or 2 (ESendState); 0 also restarts the timing.
    void SetPause(int32_t nState);
    // Restarts the timing; a positive rate replaces the present one.
    void SetFramerate(int32_t nFrameRate);
    // Forgets the last passed picture, as a new capture does.
    void RestartTiming();
    int32_t GetSendState();
    // The mirror flags of the preview.
    int SetVideoFlip(int bVertical, int bHorizontal);

    // Keeps a renderer for hWnd (the one held for it, or the best there is). The preview draws
    // only while one is kept.
    int ChooseRenderer(HWND__* hWnd, int32_t nMemoryType);
    void ReleaseRenderer(int bBroadcast);
    int CheckRenderer();
    void Resize(int32_t cx, int32_t cy);
    // The renderer's Redraw of a client rectangle; false when no renderer painted.
    bool Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom);
    // A picture in the renderer's format drawn at once.
    int DrawImage(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight);
    int SetName(const wchar_t* szName);
    int SetNameVisible(int bVisible);
    int SetPeakLevel(int16_t nLevel);
    int SetPeakMeterVisible(int bVisible);
    int SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize);
    int SetNameBigger(int bBigger);
    int SetPosition(int16_t nPosition);
    // The renderer's factory name; empty without a renderer.
    std::wstring GetRendererFactory();

    // The movie share (the control's movie methods). StartShare makes the player, once per
    // engine; without it every other call answers FALSE or 0. The calls run on the control's
    // thread; Load is refused inside a movie callback, where it could wait for the thread that
    // waits for the callback.
    int StartShare(HWND__* hWnd, int32_t nMemoryType, int32_t nSourceId);
    int MovieLoad(const wchar_t* szPath);
    int MoviePlay();
    int MoviePause();
    int MovieStop();
    int MovieSeek(int32_t nSeconds);
    int MovieSeekRelatively(int32_t nSeconds);
    int MovieSetVolume(int32_t nPercent);
    int32_t GetTotalPlayTime() const { return m_movieInfo.nDuration; }
    int32_t GetPlayingSeconds();
    int16_t GetPlayingState() const { return m_nMovieState.load(); }
    // The six values Load filled, read by the host in place.
    const S_VIDEOSHAREINFO* GetMovieInfo() const { return &m_movieInfo; }

    // True on the engine's sender thread, where the host's sink runs.
    bool IsSenderThread() const { return std::this_thread::get_id() == m_sender.get_id(); }
    // True inside one of this engine's movie callbacks, where the host's movie sinks run.
    bool InMovieCallback() const;
    // Where replacing the engine would wait for the calling thread.
    bool IsEngineThread() const { return IsSenderThread() || InMovieCallback(); }

    int32_t GetLastErrorCode() override;
    const wchar_t* GetLastErrorMessage() override;
    std::wstring CopyLastErrorMessage();

    // For tests and checks.
    size_t GetWaiting() { return m_queue.GetWaiting(); }
    int GetBuffersInUse() { return m_queue.GetInUse(); }

protected:
    // Records an error through the engines' reporter (its text may be null).
    int Report(int32_t nCode, int nLine, const wchar_t* szText);
    int ReportObjectError(ILMObject& object, int nLine);
    // Ends the events and the capture path for good; the Windows side calls it before it stops
    // its graph, the destructor again.
    void BeginStop();

private:
    using Bytes = std::vector<uint8_t>;

    // ILMRendererChoiceHost
    void WaitBeforeRetry(uint32_t nMilliseconds) override { m_port.WaitBeforeRetry(nMilliseconds); }
    void OnRendererNotMade() override;

    // ILMVideoShareCB, on the media library's threads.
    void OnError(int32_t nCode, const wchar_t* szText) override;
    void OnVideoFrame(const uint8_t* pData, int32_t nBytes, int32_t nSeconds, int32_t nWidth, int32_t nHeight,
                      const wchar_t* szFormat) override;
    void OnAudio(const uint8_t* pData, int32_t nBytes, int32_t nSeconds) override;
    void OnMovieEnd();
    // Stops the movie and destroys the player, whose threads end first.
    void EndShare();

    void SenderLoop();
    void Deliver(const S_SENDQUEUED& entry);
    // Under the engine lock.
    void Queue(const uint8_t* pPicture, int64_t nBytes, int32_t nWidth, int32_t nHeight,
               const wchar_t* szFormat, bool bFlip, int32_t nSeconds = 0);
    // bMirror: the mirror flags apply (camera pictures only).
    void Preview(const uint8_t* pPicture, int64_t nBytes, int32_t nWidth, int32_t nHeight,
                 const wchar_t* szFormat, bool bFlip, bool bMirror = true);
    // Converts a picture into m_planar as planar 4:2:0 and points the arguments at it.
    bool ToPlanar(S_LMPICTURE& picture, const uint8_t*& pData, int64_t& nBytes);
    void ReleaseRendererLocked(int bBroadcast);
    static bool Fit(Bytes& buffer, int64_t nBytes);

    ISendVideoPort& m_port;
    S_LMVIDEOMODULE m_module;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_bInterlace{0};
    std::atomic<int> m_bVFlip{0};
    std::atomic<int> m_bHFlip{0};
    std::atomic<bool> m_bRendererReady{false};

    // Held while an event is fired; the stop flag is set under it.
    CLMLockCS m_eventLock{4000};
    std::mutex m_limiterLock;
    CSendRateLimiter m_limiter;
    CSendFrameQueue m_queue;

    // The engine lock guards the capture path, the renderer and the fields below.
    CLMLockCS m_engineLock{4000};
    CLMLockCS m_errorLock{4000};
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    S_CAPTUREFORMAT m_format{};
    CLMObjectPtr<ILMRenderer> m_renderer;
    HWND__* m_hRendererWnd = nullptr;
    int16_t m_nBitsPerPixel = 0;
    IIppColorSpaceConverterPtr m_converter;
    IIppMjpegDecoderPtr m_mjpeg;
    IIppFlipperPtr m_flipper;
    Bytes m_decoded;
    Bytes m_interlaced;
    Bytes m_fields;
    Bytes m_preview;
    Bytes m_planar;
    Bytes m_mirrored;

    // The movie share: the player and what Load told. The control's thread alone changes the
    // player; the state is also set by the callbacks at the end.
    CLMObjectPtr<ILMVideoShare2> m_share;
    S_VIDEOSHAREINFO m_movieInfo{};
    std::atomic<int16_t> m_nMovieState{MOVIE_NONE};

    std::thread m_sender;
};
