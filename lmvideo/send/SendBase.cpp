// The send engine: the capture path on the streaming thread, the sender thread with the rate
// limiter and the events, the preview, and an orderly stop.
#include "lmvideo/send/SendBase.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMPlatform.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace
{
using Guard = CLMAutoFinalizeAccessor<CLMLockCS>;

constexpr const wchar_t* kSource = L"SendBase";

bool SameFormat(const wchar_t* szA, const wchar_t* szB)
{
    return szA && szB && wcscmp(szA, szB) == 0;
}
} // namespace

CSendBase::CSendBase(ISendVideoPort& port, const S_LMVIDEOMODULE& module)
    : m_port(port), m_module(module), m_renderer(0, nullptr, nullptr, module.pLoader),
      m_converter(1, nullptr, nullptr, module.pLoader), m_mjpeg(1, nullptr, nullptr, module.pLoader),
      m_flipper(1, nullptr, nullptr, module.pLoader),
      m_share(0, LM_MEDIA_LIBRARY, LM_FACTORY_VIDEOSHARE2, module.pLoader)
{
    m_format = LMCaptureFormat(CAPTURE_NONE, 0, 0);
    m_sender = std::thread(&CSendBase::SenderLoop, this);
}

CSendBase::~CSendBase()
{
    BeginStop();
    // The movie's threads end before anything they use goes; they may wait for the engine lock,
    // so none is held here.
    EndShare();
    {
        Guard guard(m_engineLock);
        ReleaseRendererLocked(0);
    }
    // No lock is held here: the sender thread takes the event lock before every event.
    if (m_sender.joinable()) m_sender.join();
    m_queue.Clear();
}

void CSendBase::BeginStop()
{
    {
        // Waits for an event in progress; no event starts after this.
        Guard events(m_eventLock);
        m_bStop = true;
    }
    m_bRendererReady = false;
    m_queue.Stop();
}

int CSendBase::Report(int32_t nCode, int nLine, const wchar_t* szText)
{
    Guard guard(m_errorLock);
    return LMReportEngineError(*this, *m_module.pRenderers, nCode, kSource, nLine, szText);
}

int CSendBase::ReportObjectError(ILMObject& object, int nLine)
{
    const int32_t nCode = object.GetLastErrorCode();
    return Report(nCode ? nCode : LM_E_NOTINITIALIZED, nLine,
                  nCode ? object.GetLastErrorMessage() : L"the object gave no reason");
}

void CSendBase::OnRendererNotMade()
{
    const uint32_t nError = LMGetThreadError();
    const int32_t nCode = LMHResultFromWin32(static_cast<int32_t>(nError));
    Report(nCode ? nCode : LMHResultFromWin32(LM_ERROR_FUNCTION_FAILED), __LINE__, nullptr);
    LMSetThreadError(nError);
}

int32_t CSendBase::GetLastErrorCode()
{
    Guard guard(m_errorLock);
    return CLMObjectImpl::GetLastErrorCode();
}

const wchar_t* CSendBase::GetLastErrorMessage()
{
    Guard guard(m_errorLock);
    return CLMObjectImpl::GetLastErrorMessage();
}

std::wstring CSendBase::CopyLastErrorMessage()
{
    Guard guard(m_errorLock);
    const wchar_t* szMessage = CLMObjectImpl::GetLastErrorMessage();
    return szMessage ? szMessage : L"";
}

bool CSendBase::Fit(Bytes& buffer, int64_t nBytes)
{
    if (nBytes <= 0) return false;
    if (buffer.size() >= static_cast<uint64_t>(nBytes)) return true;
    try
    {
        buffer.resize(static_cast<size_t>(nBytes));
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    return true;
}

void CSendBase::SetCaptureSize(int32_t nWidth, int32_t nHeight)
{
    Guard guard(m_engineLock);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
}

void CSendBase::SetCaptureFormat(const S_CAPTUREFORMAT& format)
{
    Guard guard(m_engineLock);
    m_format = format;
}

int CSendBase::BufferCB(double, const uint8_t* pBuffer, int32_t nLength)
{
    if (m_bStop.load() || !m_bRendererReady.load()) return 1;
    if (GetSendState() == SEND_IGNORE) return 0;
    Guard guard(m_engineLock);
    // Destruction may have begun while this thread waited for the lock.
    if (m_bStop.load() || !m_bRendererReady.load()) return 1;
    const S_CAPTUREFORMAT format = m_format;
    if (!pBuffer || nLength <= 0 || m_nWidth <= 0 || m_nHeight <= 0) return 1;
    if (!format.bMjpeg && nLength != format.nBytes) return 1;

    const uint8_t* pPicture = pBuffer;
    int64_t nBytes = nLength;
    int32_t nWidth = m_nWidth, nHeight = m_nHeight;
    const wchar_t* szFormat = format.szName;
    bool bFlip = format.bFlip;

    if (format.bMjpeg)
    {
        // The decoder writes at most a picture of the capture size: a larger one is refused.
        S_LMPICTURE picture{nWidth, nHeight, LM_FMT_YUV420, 0};
        if (!m_mjpeg || !Fit(m_decoded, static_cast<int64_t>(nWidth) * nHeight * 4) ||
            !m_mjpeg->Decode(pBuffer, nLength, 0, m_decoded.data(), &picture) || picture.nWidth <= 0 ||
            picture.nHeight <= 0 || picture.nWidth > nWidth || picture.nHeight > nHeight)
        {
            m_port.DebugOutput(L"MJPG Decoding Failed\n");
            return 1;
        }
        nWidth = picture.nWidth;
        nHeight = picture.nHeight;
        nBytes = static_cast<int64_t>(nWidth) * nHeight * 3 / 2;
        pPicture = m_decoded.data();
        szFormat = LM_FMT_YUV420;
    }

    if (m_bInterlace.load())
    {
        const int64_t nLine = static_cast<int64_t>(nWidth) * 2;
        if (!SameFormat(szFormat, LM_FMT_YUY2))
        {
            if (!m_converter) return Report(LM_E_NOTINITIALIZED, __LINE__, L"no colour converter"), 1;
            if (!Fit(m_interlaced, nLine * nHeight)) return 1;
            const S_LMPICTURE source{nWidth, nHeight, szFormat, 0};
            const S_LMPICTURE target{nWidth, bFlip ? -nHeight : nHeight, LM_FMT_YUY2, 0};
            if (!m_converter->Convert(pPicture, static_cast<int32_t>(nBytes), source, m_interlaced.data(),
                                      static_cast<int32_t>(nLine * nHeight), target))
                return ReportObjectError(*m_converter.Get(), __LINE__), 1;
            pPicture = m_interlaced.data();
            bFlip = false;
        }
        // Only the even lines are kept: one field of the interlaced picture.
        const int32_t nRows = nHeight / 2;
        if (nRows <= 0 || !Fit(m_fields, nLine * nRows)) return 1;
        for (int32_t nRow = 0; nRow < nRows; ++nRow)
            memcpy(m_fields.data() + nRow * nLine, pPicture + 2 * nRow * nLine, static_cast<size_t>(nLine));
        pPicture = m_fields.data();
        nHeight = nRows;
        nBytes = nLine * nRows;
        szFormat = LM_FMT_YUY2;
    }

    Queue(pPicture, nBytes, nWidth, nHeight, szFormat, bFlip);
    Preview(pPicture, nBytes, nWidth, nHeight, szFormat, bFlip);
    return 0;
}

void CSendBase::Queue(const uint8_t* pPicture, int64_t nBytes, int32_t nWidth, int32_t nHeight,
                      const wchar_t* szFormat, bool bFlip, int32_t nSeconds)
{
    const int nBuffer = m_queue.Reserve(static_cast<size_t>(nBytes));
    if (nBuffer < 0) return;
    uint8_t* pTarget = m_queue.Data(nBuffer);
    if (bFlip)
    {
        const S_LMPICTURE source{nWidth, nHeight, szFormat, 0};
        const S_LMPICTURE target{nWidth, -nHeight, szFormat, 0};
        if (!m_flipper || !m_flipper->Flip(pPicture, static_cast<int32_t>(nBytes), source, pTarget,
                                           static_cast<int32_t>(nBytes), target))
        {
            if (m_flipper)
                ReportObjectError(*m_flipper.Get(), __LINE__);
            else
                Report(LM_E_NOTINITIALIZED, __LINE__, L"no flipper");
            m_queue.Release(nBuffer);
            return;
        }
    }
    else
        memcpy(pTarget, pPicture, static_cast<size_t>(nBytes));
    m_queue.Push(nBuffer, {nWidth, nHeight, nSeconds, static_cast<int32_t>(nBytes)}, szFormat);
}

void CSendBase::Preview(const uint8_t* pPicture, int64_t nBytes, int32_t nWidth, int32_t nHeight,
                        const wchar_t* szFormat, bool bFlip, bool bMirror)
{
    if (!m_renderer) return;
    if (m_nBitsPerPixel == 0) m_nBitsPerPixel = m_renderer->GetBitsPerPixel();
    const wchar_t* szTarget = nullptr;
    int64_t nPixelBytes = 0;
    switch (m_nBitsPerPixel)
    {
    case 32:
        szTarget = LM_FMT_RGB32, nPixelBytes = 4;
        break;
    case 24:
        szTarget = LM_FMT_RGB24, nPixelBytes = 3;
        break;
    case 16:
        szTarget = LM_FMT_RGB565, nPixelBytes = 2;
        break;
    default:
        return;
    }
    const bool bVFlip = bMirror && m_bVFlip.load(), bHFlip = bMirror && m_bHFlip.load();
    const bool bSame = SameFormat(szFormat, szTarget);
    if (bSame && !bFlip && !bVFlip && !bHFlip)
    {
        m_renderer->Draw(static_cast<int32_t>(nBytes), pPicture, nWidth, nHeight);
        return;
    }
    // Renderers take rows top-down: a bottom-up capture is turned on the way.
    const int64_t nTargetBytes = static_cast<int64_t>(nWidth) * nHeight * nPixelBytes;
    S_LMPICTURE source{nWidth, nHeight, szFormat, 0};
    const S_LMPICTURE upright{nWidth, bFlip ? -nHeight : nHeight, szTarget, 0};
    // Packed 4:2:2 has no direct road to RGB in the converter and costs several times planar
    // 4:2:0's conversion: it is previewed through planar, whose chroma is plenty for a preview
    // (planar takes even heights only; an odd one goes the direct road).
    const bool bPlanarFirst = !bSame && SameFormat(szFormat, LM_FMT_YUY2) && nHeight % 2 == 0;
    const uint8_t* pShown = pPicture;
    if (!bSame || bFlip)
    {
        if (!Fit(m_preview, nTargetBytes)) return;
        const bool bDone =
            bSame
                ? m_flipper && m_flipper->Flip(pPicture, static_cast<int32_t>(nBytes), source,
                                               m_preview.data(), static_cast<int32_t>(nTargetBytes), upright)
                : m_converter && (!bPlanarFirst || ToPlanar(source, pPicture, nBytes)) &&
                      m_converter->Convert(pPicture, static_cast<int32_t>(nBytes), source, m_preview.data(),
                                           static_cast<int32_t>(nTargetBytes), upright);
        if (!bDone)
        {
            ILMObject* pObject = bSame ? static_cast<ILMObject*>(m_flipper.Get()) : m_converter.Get();
            if (pObject)
                ReportObjectError(*pObject, __LINE__);
            else
                Report(LM_E_NOTINITIALIZED, __LINE__, L"no picture object");
            return;
        }
        pShown = m_preview.data();
    }
    if (bVFlip || bHFlip)
    {
        if (!m_flipper) return (void)Report(LM_E_NOTINITIALIZED, __LINE__, L"no flipper");
        if (!Fit(m_mirrored, nTargetBytes)) return;
        const S_LMPICTURE shown{nWidth, nHeight, szTarget, 0};
        const S_LMPICTURE mirrored{bHFlip ? -nWidth : nWidth, bVFlip ? -nHeight : nHeight, szTarget, 0};
        if (!m_flipper->Flip(pShown, static_cast<int32_t>(nTargetBytes), shown, m_mirrored.data(),
                             static_cast<int32_t>(nTargetBytes), mirrored))
            return (void)ReportObjectError(*m_flipper.Get(), __LINE__);
        pShown = m_mirrored.data();
    }
    m_renderer->Draw(static_cast<int32_t>(nTargetBytes), pShown, nWidth, nHeight);
}

bool CSendBase::ToPlanar(S_LMPICTURE& picture, const uint8_t*& pData, int64_t& nBytes)
{
    const int64_t nPlanarBytes = LMPictureBytes(LM_FMT_YUV420, picture.nWidth, picture.nHeight);
    if (!m_converter || !Fit(m_planar, nPlanarBytes)) return false;
    const S_LMPICTURE planar{picture.nWidth, picture.nHeight, LM_FMT_YUV420, 0};
    if (!m_converter->Convert(pData, static_cast<int32_t>(nBytes), picture, m_planar.data(),
                              static_cast<int32_t>(nPlanarBytes), planar))
        return false;
    picture = planar;
    pData = m_planar.data();
    nBytes = nPlanarBytes;
    return true;
}

void CSendBase::SenderLoop()
{
    S_SENDQUEUED entry{};
    while (!m_bStop.load())
    {
        if (!m_queue.Pop(entry)) continue;
        Deliver(entry);
        m_queue.Release(entry.nBuffer);
    }
}

void CSendBase::Deliver(const S_SENDQUEUED& entry)
{
    Guard events(m_eventLock);
    if (m_bStop.load()) return;
    ESendVerdict verdict;
    {
        std::lock_guard<std::mutex> guard(m_limiterLock);
        verdict = m_limiter.Judge(m_port.GetTickCount());
    }
    if (verdict != ESendVerdict::Fire) return;
    m_port.FireRecordData(m_queue.Data(entry.nBuffer), entry.data.nBytes, entry.szFormat, entry.data.nWidth,
                          entry.data.nHeight, entry.data.nSeconds);
}

void CSendBase::SetPause(int32_t nState)
{
    std::lock_guard<std::mutex> guard(m_limiterLock);
    m_limiter.SetState(nState);
}

void CSendBase::SetFramerate(int32_t nFrameRate)
{
    std::lock_guard<std::mutex> guard(m_limiterLock);
    m_limiter.SetFrameRate(nFrameRate);
}

void CSendBase::RestartTiming()
{
    std::lock_guard<std::mutex> guard(m_limiterLock);
    m_limiter.Restart();
}

int32_t CSendBase::GetSendState()
{
    std::lock_guard<std::mutex> guard(m_limiterLock);
    return m_limiter.GetState();
}

int CSendBase::SetVideoFlip(int bVertical, int bHorizontal)
{
    m_bVFlip = bVertical ? 1 : 0;
    m_bHFlip = bHorizontal ? 1 : 0;
    return 1;
}

int CSendBase::ChooseRenderer(HWND__* hWnd, int32_t nMemoryType)
{
    Guard guard(m_engineLock);
    if (m_renderer)
    {
        if (m_hRendererWnd == hWnd) return 1;
        ReleaseRendererLocked(0);
    }
    switch (LMChooseRenderer(m_renderer, m_module, *this, hWnd, nMemoryType))
    {
    case ELMRendererChoice::Chosen:
        m_nBitsPerPixel = m_renderer->GetBitsPerPixel();
        m_hRendererWnd = hWnd;
        m_bRendererReady = !m_bStop.load();
        return 1;
    case ELMRendererChoice::NoLibrary:
        return 0;
    case ELMRendererChoice::GdiInitFailed:
        break;
    }
    const int bResult = ReportObjectError(*m_renderer.Get(), __LINE__);
    m_renderer.Release();
    return bResult;
}

void CSendBase::ReleaseRendererLocked(int bBroadcast)
{
    m_bRendererReady = false;
    m_hRendererWnd = nullptr;
    m_nBitsPerPixel = 0;
    if (!m_renderer) return;
    m_renderer.Release();
    m_module.pRenderers->RemoveRenderer(bBroadcast);
}

void CSendBase::ReleaseRenderer(int bBroadcast)
{
    m_bRendererReady = false;
    Guard guard(m_engineLock);
    ReleaseRendererLocked(bBroadcast);
}

int CSendBase::CheckRenderer()
{
    Guard guard(m_engineLock);
    if (!m_renderer) return Report(LM_E_NORENDERER, __LINE__, L"Invalid LMRenderer Module");
    if (m_renderer->Check()) return 1;
    return ReportObjectError(*m_renderer.Get(), __LINE__);
}

void CSendBase::Resize(int32_t cx, int32_t cy)
{
    Guard guard(m_engineLock);
    if (m_renderer) m_renderer->Resize(cx, cy);
}

bool CSendBase::Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom)
{
    Guard guard(m_engineLock);
    if (!m_renderer) return false;
    m_renderer->Redraw(nLeft, nTop, nRight, nBottom);
    return true;
}

int CSendBase::DrawImage(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->Draw(nLength, pData, nWidth, nHeight) : 0;
}

int CSendBase::SetName(const wchar_t* szName)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetName(szName) : 0;
}

int CSendBase::SetNameVisible(int bVisible)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetNameVisible(bVisible) : 0;
}

int CSendBase::SetPeakLevel(int16_t nLevel)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetPeakLevel(nLevel) : 0;
}

int CSendBase::SetPeakMeterVisible(int bVisible)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetPeakMeterVisible(bVisible) : 0;
}

int CSendBase::SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetFont(szFace, nSize, nBigSize) : 0;
}

int CSendBase::SetNameBigger(int bBigger)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetNameBigger(bBigger) : 0;
}

int CSendBase::SetPosition(int16_t nPosition)
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer->SetPosition(nPosition) : 0;
}

std::wstring CSendBase::GetRendererFactory()
{
    Guard guard(m_engineLock);
    return m_renderer ? m_renderer.GetFactoryName() : L"";
}
