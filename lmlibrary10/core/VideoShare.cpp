// The movie player objects and their player thread.
#include "lmlibrary10/core/VideoShare.h"

#include "confclient/library/LMErrorCodes.h"
#include "lmlibrary10/core/VideoShareInternal.h"
#include "lmlibrary10/core/WidePath.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>

namespace
{
constexpr wchar_t kShareSource[] = L".\\VideoShare";
} // namespace

// A Load request, shared by the caller and the player thread: whichever finishes last frees it.
struct CVideoShareLoad
{
    std::string sPath;
    S_VIDEOSHAREINFO info{};
    std::mutex lock;
    std::condition_variable done;
    bool bDone = false;
};

CVideoShare::~CVideoShare()
{
    if (!m_pQueue) return;
    m_pQueue->Post(LM_WM_QUIT);
    m_pQueue->Close();
    if (m_thread.joinable()) m_thread.join();
}

int CVideoShare::ShareInit(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve)
{
    if (m_pQueue)
        return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), kShareSource, __LINE__,
                        L"the player runs already");
    if (!pCallback)
        return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), kShareSource, __LINE__,
                        L"no callback");
    auto pStart = std::make_shared<S_START>();
    pStart->pCallback = pCallback;
    pStart->nSourceId = nSourceId;
    pStart->nQueueReserve = nQueueReserve;
    pStart->pLoader = m_pLoader;
    // The queue exists before Init returns, so a Load at once is not lost.
    auto pQueue = std::make_shared<CLMThreadQueue>();
    try
    {
        m_thread = std::thread(&CVideoShare::PlayerThread, pQueue, pStart);
    }
    catch (const std::system_error& error)
    {
        return SetError(LMHResultFromWin32(error.code().value()), kShareSource, 395, L"%hs", error.what());
    }
    m_pQueue = std::move(pQueue);
    m_pStart = std::move(pStart);
    return 1;
}

int CVideoShare::ShareLoad(const wchar_t* szPath, int32_t* pInfo)
{
    if (!m_pQueue || !szPath) return 0;
    auto* pRequest = new std::shared_ptr<CVideoShareLoad>(std::make_shared<CVideoShareLoad>());
    std::shared_ptr<CVideoShareLoad> request = *pRequest;
    request->sPath = LMWideToUtf8(szPath);
    if (!m_pQueue->Post(LM_SHARE_LOAD, reinterpret_cast<uintptr_t>(pRequest)))
    {
        delete pRequest;
        return 0;
    }
    std::unique_lock<std::mutex> guard(request->lock);
    request->done.wait_for(guard, std::chrono::milliseconds(kLoadWaitMilliseconds),
                           [&] { return request->bDone; });
    if (pInfo && request->bDone) memcpy(pInfo, &request->info, sizeof(request->info));
    return 1;
}

int CVideoShare::ShareCommand(uint32_t nMessage, intptr_t wParam)
{
    return m_pQueue && m_pQueue->Post(nMessage, static_cast<uintptr_t>(wParam)) ? 1 : 0;
}

int CVideoShare::ShareSetVolume(int32_t nPercent)
{
    if (nPercent < 0 || nPercent > 200) return 0;
    ShareCommand(LM_SHARE_VOLUME, nPercent);
    return 1;
}

int CVideoShare::ShareGetPlayTime(int32_t* pnSeconds, int32_t* pbPlaying)
{
    if (pnSeconds) *pnSeconds = m_pStart ? m_pStart->nSeconds.load() : 0;
    if (pbPlaying) *pbPlaying = m_pStart ? m_pStart->bPlaying.load() : 0;
    return 1;
}

void CVideoShare::PlayerThread(std::shared_ptr<CLMThreadQueue> pQueue, std::shared_ptr<S_START> pStart)
{
    CVideoShareInternal engine(
        pStart->pCallback, pStart->nSourceId, pStart->nQueueReserve, pStart->pLoader,
        [pQueue] { pQueue->Wake(); }, [pQueue] { return pQueue->HasMessage(); });
    const auto publish = [&]
    {
        pStart->nSeconds = engine.Position();
        pStart->bPlaying = engine.IsPlaying() ? 1 : 0;
    };
    bool bQuit = false;
    while (!bQuit)
    {
        LMThreadMessage message;
        while (pQueue->Take(message))
        {
            switch (message.nMessage)
            {
            case LM_WM_QUIT:
                bQuit = true;
                break;
            case LM_SHARE_LOAD:
            {
                std::unique_ptr<std::shared_ptr<CVideoShareLoad>> pRequest(
                    reinterpret_cast<std::shared_ptr<CVideoShareLoad>*>(message.wParam));
                CVideoShareLoad& request = **pRequest;
                S_VIDEOSHAREINFO info{};
                engine.Load(request.sPath, info);
                {
                    std::lock_guard<std::mutex> guard(request.lock);
                    request.info = info;
                    request.bDone = true;
                }
                request.done.notify_all();
                break;
            }
            case LM_SHARE_PLAY:
                engine.Play();
                break;
            case LM_SHARE_SEEK:
                engine.Seek(static_cast<int32_t>(message.wParam));
                break;
            case LM_SHARE_PAUSE:
                engine.Pause();
                break;
            case LM_SHARE_STOP:
                engine.Stop();
                break;
            case LM_SHARE_VOLUME:
                engine.SetVolume(static_cast<int32_t>(message.wParam));
                break;
            case LM_SHARE_SEEKREL:
                engine.SeekRelatively(static_cast<int32_t>(message.wParam));
                break;
            default:
                break;
            }
        }
        if (bQuit) break;
        // Told before decoding ahead too, which may take a while: a caller that paused must not
        // read the state from before its command.
        publish();
        engine.DecodePass();
        publish();
        if (!engine.HasWork()) pQueue->WaitFor(std::chrono::milliseconds(10));
    }
}
