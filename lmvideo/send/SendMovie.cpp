// The send engine's movie share: the control's movie methods forwarded to the media library's
// player, and the player's callbacks, whose pictures take the camera's road and whose sound
// packets go straight to the host.
#include "lmvideo/send/SendBase.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMPlatform.h"

#include <cwchar>

namespace
{
using Guard = CLMAutoFinalizeAccessor<CLMLockCS>;

// The engine whose movie callback this thread is in, if any.
thread_local const CSendBase* t_pInCallback = nullptr;

// Marks the calling thread as inside a movie callback of one engine while it lives.
class CInCallback
{
public:
    explicit CInCallback(const CSendBase* pEngine) : m_pOuter(t_pInCallback) { t_pInCallback = pEngine; }
    ~CInCallback() { t_pInCallback = m_pOuter; }
    CInCallback(const CInCallback&) = delete;
    CInCallback& operator=(const CInCallback&) = delete;

private:
    const CSendBase* m_pOuter;
};
} // namespace

bool CSendBase::InMovieCallback() const
{
    return t_pInCallback == this;
}

int CSendBase::StartShare(HWND__* hWnd, int32_t nMemoryType, int32_t nSourceId)
{
    if (!ChooseRenderer(hWnd, nMemoryType)) return 0;
    m_share.Release();
    if (!m_share.Create(LM_MEDIA_LIBRARY, LM_FACTORY_VIDEOSHARE2))
    {
        // The library may leave no reason: the failure still gets a code of its own.
        const uint32_t nError = LMGetThreadError();
        const int32_t nCode = LMHResultFromWin32(static_cast<int32_t>(nError));
        Report(nCode ? nCode : LMHResultFromWin32(LM_ERROR_FUNCTION_FAILED), __LINE__,
               L"the movie player could not be made");
        return 0;
    }
    if (!m_share->Init(this, nSourceId, 3))
    {
        ReportObjectError(*m_share.Get(), __LINE__);
        m_share.Release();
        return 0;
    }
    m_movieInfo = S_VIDEOSHAREINFO{0, LM_SHARE_NOSTREAM, LM_SHARE_NOSTREAM, 0, 0, 0};
    m_nMovieState = MOVIE_INITIALISED;
    return 1;
}

void CSendBase::EndShare()
{
    if (!m_share) return;
    m_share->Stop();
    m_share.Release();
}

int CSendBase::MovieLoad(const wchar_t* szPath)
{
    if (!m_share || InMovieCallback()) return 0;
    if (!m_share->Load(szPath, reinterpret_cast<int32_t*>(&m_movieInfo)))
    {
        ReportObjectError(*m_share.Get(), __LINE__);
        return 0;
    }
    m_nMovieState = MOVIE_LOADED;
    Guard guard(m_engineLock);
    if (m_renderer) m_renderer->Reset(0);
    return 1;
}

int CSendBase::MoviePlay()
{
    if (!m_share) return 0;
    // After the end the movie starts again from its beginning.
    if (m_nMovieState.load() == MOVIE_STOPPED) m_share->Seek(0);
    if (!m_share->Play()) return 0;
    m_nMovieState = MOVIE_PLAYING;
    return 1;
}

int CSendBase::MoviePause()
{
    if (!m_share || !m_share->Pause()) return 0;
    m_nMovieState = MOVIE_PAUSED;
    return 1;
}

int CSendBase::MovieStop()
{
    if (!m_share) return 0;
    if (m_nMovieState.load() == MOVIE_STOPPED) return 1;
    if (!m_share->Stop()) return 0;
    m_nMovieState = MOVIE_STOPPED;
    Guard guard(m_engineLock);
    if (m_renderer) m_renderer->Reset(0);
    return 1;
}

int CSendBase::MovieSeek(int32_t nSeconds)
{
    return m_share ? m_share->Seek(nSeconds) : 0;
}

int CSendBase::MovieSeekRelatively(int32_t nSeconds)
{
    if (!m_share) return 0;
    m_share->SeekRelatively(nSeconds);
    return 1;
}

int CSendBase::MovieSetVolume(int32_t nPercent)
{
    return m_share ? m_share->SetVolume(nPercent) : 0;
}

int32_t CSendBase::GetPlayingSeconds()
{
    if (!m_share) return 0;
    int32_t nSeconds = 0, bPlaying = 0;
    m_share->GetPlayTime(&nSeconds, &bPlaying);
    return nSeconds;
}

void CSendBase::OnError(int32_t nCode, const wchar_t* szText)
{
    wchar_t szLine[512];
    swprintf(szLine, sizeof szLine / sizeof szLine[0], L"error: %08x; %ls\r\n", static_cast<unsigned>(nCode),
             szText ? szText : L"");
    m_port.DebugOutput(szLine);
}

void CSendBase::OnMovieEnd()
{
    m_port.FireEndOfVideoShare();
    m_nMovieState = MOVIE_STOPPED;
}

void CSendBase::OnVideoFrame(const uint8_t* pData, int32_t nBytes, int32_t nSeconds, int32_t nWidth,
                             int32_t nHeight, const wchar_t* szFormat)
{
    const CInCallback mark(this);
    if (m_bStop.load()) return;
    if (!pData) return OnMovieEnd();
    Guard guard(m_engineLock);
    if (m_bStop.load()) return;
    // A picture with fewer bytes than its size and format need is dropped, not read past.
    const int64_t nNeeded = nWidth > 0 && nHeight > 0 ? LMPictureBytes(szFormat, nWidth, nHeight) : -1;
    if (nNeeded <= 0 || nBytes < nNeeded) return;
    Queue(pData, nNeeded, nWidth, nHeight, szFormat, false, nSeconds);
    // Movie pictures come top-down and are shown as they are, unmirrored.
    Preview(pData, nNeeded, nWidth, nHeight, szFormat, false, false);
}

void CSendBase::OnAudio(const uint8_t* pData, int32_t nBytes, int32_t nSeconds)
{
    const CInCallback mark(this);
    if (m_bStop.load()) return;
    if (!pData) return OnMovieEnd();
    if (nBytes > 0) m_port.FireVideoShareVoice(pData, nBytes, nSeconds);
}
