// The recorder object: the caller's side (conversion, scaling, posting) and the recorder thread.
#include "lmlibrary10/core/MP4RecorderWrapper.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmlibrary10/core/WidePath.h"

#include <cstring>
#include <system_error>

namespace
{
constexpr wchar_t kRecorderSource[] = L".\\MP4Recorder";

// Process-wide, as every recorder's thread shares the machine's time.
std::atomic<int> gVideoPending{0};
std::atomic<int> gAudioPending{0};

const wchar_t* RecorderSourceFormat(int nBitsPerPixel)
{
    switch (nBitsPerPixel)
    {
    case 16:
        return LM_FMT_RGB555;
    case 24:
        return LM_FMT_RGB24;
    case 32:
        return LM_FMT_RGB32;
    default:
        return nullptr;
    }
}
} // namespace

CMP4RecorderWrapper::CMP4RecorderWrapper(ILMLibraryLoader* pLoader)
    : m_converter(1, L"LMLibrary01U.dll", L"GetColorSpaceConverter", pLoader),
      m_resizer(1, L"LMLibrary01U.dll", L"GetResizer", pLoader)
{
}

CMP4RecorderWrapper::~CMP4RecorderWrapper()
{
    EndThread();
}

int CMP4RecorderWrapper::VideoPending()
{
    return gVideoPending.load();
}

int CMP4RecorderWrapper::AudioPending()
{
    return gAudioPending.load();
}

int CMP4RecorderWrapper::Start(const wchar_t* szPath, int32_t nCaptureWidth, int32_t nCaptureHeight,
                               int32_t nOutputWidth, int32_t nOutputHeight, int32_t nVideoKbps,
                               int32_t nAudioKbps, int32_t nFrameRate, int32_t nSampleRate,
                               ILMMP4RecorderCB* pCallback)
{
    if (m_bRunning)
        return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), kRecorderSource, __LINE__,
                        L"a recording is running");
    if (!szPath || nCaptureWidth <= 0 || nCaptureHeight <= 0 || nOutputWidth <= 0 || nOutputHeight <= 0)
        return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), kRecorderSource, __LINE__,
                        L"no path or no picture size");
    // A thread of an earlier, stopped recording finishes first.
    EndThread();

    S_MP4RECORDERSTART start;
    start.nOutputWidth = nOutputWidth;
    start.nOutputHeight = nOutputHeight;
    start.nVideoKbps = nVideoKbps;
    start.nAudioKbps = nAudioKbps;
    start.nFrameRate = nFrameRate;
    start.nSampleRate = nSampleRate;
    start.sPath = LMWideToUtf8(szPath);
    start.pCallback = pCallback;
    // The queue exists before Start returns, so a Stop at once is not lost.
    auto pQueue = std::make_shared<CLMThreadQueue>();
    try
    {
        m_thread = std::thread(&CMP4RecorderWrapper::RecorderThread, pQueue, std::move(start));
    }
    catch (const std::system_error& error)
    {
        return SetError(LMHResultFromWin32(error.code().value()), kRecorderSource, 283, L"%hs", error.what());
    }
    m_pQueue = std::move(pQueue);
    m_sPath = szPath;
    m_bHasPath = true;
    m_nCaptureWidth = nCaptureWidth;
    m_nCaptureHeight = nCaptureHeight;
    m_nOutputWidth = nOutputWidth;
    m_nOutputHeight = nOutputHeight;
    m_nFrames = 0;
    m_nDroppedAudio = 0;
    m_bRunning = true;
    return 1;
}

bool CMP4RecorderWrapper::Post(uint32_t nMessage, std::unique_ptr<CMP4Block> pBlock)
{
    std::atomic<int>& nPending = nMessage == LM_MP4_VIDEO ? gVideoPending : gAudioPending;
    // Counted before the post, so the thread's decrement never comes first.
    ++nPending;
    const intptr_t nBytes = static_cast<intptr_t>(pBlock->nBytes);
    if (!m_pQueue->Post(nMessage, reinterpret_cast<uintptr_t>(pBlock.get()), nBytes))
    {
        --nPending;
        return false;
    }
    pBlock.release();
    return true;
}

int CMP4RecorderWrapper::AddVideoFrame(const uint8_t* pFrame, int32_t nBytes, int32_t nBitsPerPixel)
{
    if (!m_bRunning) return 0;
    const int nDepth = nBitsPerPixel & 0xFFFF;
    const wchar_t* szFormat = RecorderSourceFormat(nDepth);
    const int64_t nNeeded = int64_t{m_nCaptureWidth} * m_nCaptureHeight * nDepth / 8;
    if (!szFormat || !pFrame || nBytes < nNeeded)
        return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), kRecorderSource, __LINE__,
                        L"frame of %d bytes at %d bits per pixel", nBytes, nDepth);
    // Every frame handed over keeps its place on the time line, a dropped one too.
    const int64_t nFrame = m_nFrames++;
    if (gVideoPending >= kVideoPendingLimit) return 1;
    if (!m_converter ||
        (!m_resizer && (m_nCaptureWidth != m_nOutputWidth || m_nCaptureHeight != m_nOutputHeight)))
        return SetError(LM_E_NOTINITIALIZED, kRecorderSource, __LINE__, L"The object is not initialized.");

    auto pBlock = std::make_unique<CMP4Block>();
    const size_t nCaptureBytes = static_cast<size_t>(m_nCaptureWidth) * m_nCaptureHeight * 3 / 2;
    pBlock->pData.reset(new (std::nothrow) uint8_t[nCaptureBytes]);
    if (!pBlock->pData) return 0;
    pBlock->nBytes = nCaptureBytes;
    pBlock->nFrame = nFrame;
    // The negative height turns the bottom-up bitmap top-down.
    if (!m_converter->Convert(pFrame, nBytes, S_LMPICTURE{m_nCaptureWidth, m_nCaptureHeight, szFormat, 0},
                              pBlock->pData.get(), static_cast<int32_t>(nCaptureBytes),
                              S_LMPICTURE{m_nCaptureWidth, -m_nCaptureHeight, LM_FMT_YUV420, 0}))
        return CopyError(*m_converter.Get(), kRecorderSource, __LINE__);
    if (m_nCaptureWidth != m_nOutputWidth || m_nCaptureHeight != m_nOutputHeight)
    {
        const size_t nOutputBytes = static_cast<size_t>(m_nOutputWidth) * m_nOutputHeight * 3 / 2;
        std::unique_ptr<uint8_t[]> pResized(new (std::nothrow) uint8_t[nOutputBytes]);
        if (!pResized) return 0;
        if (!m_resizer->Resize(pBlock->pData.get(), static_cast<int32_t>(nCaptureBytes),
                               S_LMPICTURE{m_nCaptureWidth, m_nCaptureHeight, LM_FMT_YUV420, 0},
                               pResized.get(), static_cast<int32_t>(nOutputBytes),
                               S_LMPICTURE{m_nOutputWidth, m_nOutputHeight, LM_FMT_YUV420, 0}))
            return CopyError(*m_resizer.Get(), kRecorderSource, __LINE__);
        pBlock->pData = std::move(pResized);
        pBlock->nBytes = nOutputBytes;
    }
    Post(LM_MP4_VIDEO, std::move(pBlock));
    return 1;
}

int CMP4RecorderWrapper::AddAudio(const uint8_t* pSamples, int32_t nBytes)
{
    if (!m_bRunning) return 0;
    if (!pSamples || nBytes < 0)
        return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), kRecorderSource, __LINE__,
                        L"no samples");
    if (gAudioPending > kAudioPendingLimit)
    {
        // Written as silence of its length before the next block, so sound keeps its time.
        m_nDroppedAudio += static_cast<size_t>(nBytes);
        return 1;
    }
    auto pBlock = std::make_unique<CMP4Block>();
    pBlock->pData.reset(new (std::nothrow) uint8_t[nBytes > 0 ? nBytes : 1]);
    if (!pBlock->pData) return 0;
    if (nBytes > 0) memcpy(pBlock->pData.get(), pSamples, static_cast<size_t>(nBytes));
    pBlock->nBytes = static_cast<size_t>(nBytes);
    pBlock->nSilenceBytes = m_nDroppedAudio.exchange(0);
    Post(LM_MP4_AUDIO, std::move(pBlock));
    return 1;
}

int CMP4RecorderWrapper::Stop()
{
    m_bRunning = false;
    if (!m_pQueue) return 0;
    return m_pQueue->Post(LM_MP4_CLOSE) ? 1 : 0;
}

const wchar_t* CMP4RecorderWrapper::GetPath()
{
    return m_bHasPath ? m_sPath.c_str() : nullptr;
}

void CMP4RecorderWrapper::EndThread()
{
    if (!m_pQueue) return;
    m_bRunning = false;
    m_pQueue->Post(LM_WM_QUIT);
    // Posts after this one fail, their blocks are freed by the caller's side.
    m_pQueue->Close();
    if (m_thread.joinable()) m_thread.join();
    m_pQueue.reset();
}

void CMP4RecorderWrapper::RecorderThread(std::shared_ptr<CLMThreadQueue> pQueue, S_MP4RECORDERSTART start)
{
    CMP4Recorder writer;
    writer.Open(start);
    bool bQuit = false;
    for (;;)
    {
        LMThreadMessage message;
        while (pQueue->Take(message))
        {
            std::unique_ptr<CMP4Block> pBlock(reinterpret_cast<CMP4Block*>(message.wParam));
            switch (message.nMessage)
            {
            case LM_WM_QUIT:
                bQuit = true;
                break;
            case LM_MP4_VIDEO:
                --gVideoPending;
                writer.WriteVideo(pBlock->pData.get(), pBlock->nBytes, pBlock->nFrame);
                if (writer.Callback()) writer.Callback()->OnVideoWritten();
                break;
            case LM_MP4_AUDIO:
                --gAudioPending;
                writer.WriteAudio(pBlock->pData.get(), pBlock->nBytes, pBlock->nSilenceBytes);
                if (writer.Callback()) writer.Callback()->OnAudioWritten();
                break;
            case LM_MP4_CLOSE:
                // Only a file that opened is closed, and only once.
                if (writer.Close() && writer.Callback()) writer.Callback()->OnClosed();
                break;
            default:
                break;
            }
        }
        // WM_QUIT is the last message the queue takes, so everything posted before it is done.
        if (bQuit) break;
        pQueue->WaitFor(std::chrono::seconds(1));
    }
}
