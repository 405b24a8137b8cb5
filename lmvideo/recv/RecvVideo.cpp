// The video receive engine: decoding on the caller's thread, pictures handed to the window by
// posted records only, and drawing through the converter and the chosen renderer.
#include "lmvideo/recv/RecvVideo.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMPlatform.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
using Guard = CLMAutoFinalizeAccessor<CLMLockCS>;

constexpr const wchar_t* kSource = L"RecvVideo";
constexpr uint32_t kErrorInvalidData = 13; // ERROR_INVALID_DATA
constexpr uint32_t kErrorOutOfMemory = 14; // ERROR_OUTOFMEMORY
// What Queue answers besides the slot a record went to.
constexpr int kRefused = -1; // the error is recorded
constexpr int kDropped = -2; // an ordinary picture found no slot

// A raw picture needs a positive size and at least two bytes a pixel.
bool RawPictureFits(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight)
{
    return pData && nLength > 0 && nWidth > 0 && nHeight > 0 &&
           static_cast<int64_t>(nLength) >= static_cast<int64_t>(nWidth) * nHeight * 2;
}

int64_t PlanarBytes(int32_t nWidth, int32_t nHeight)
{
    return static_cast<int64_t>(nWidth) * nHeight * 3 / 2;
}
} // namespace

CRecvVideo::CRecvVideo(IRecvVideoPort& port, const S_RECVVIDEOMODULE& module)
    : m_port(port), m_module(module), m_renderer(0, nullptr, nullptr, module.pLoader),
      m_output(kInitialOutput), m_decoder(0, nullptr, nullptr, module.pLoader),
      m_converter(1, nullptr, nullptr, module.pLoader)
{
}

CRecvVideo::~CRecvVideo()
{
    {
        Guard guard(m_lock);
        m_bPaused = 1;
    }
    {
        Guard guard(m_rendererLock);
        ReleaseRendererLocked(0);
    }
    Guard guard(m_lock);
    for (S_RECVFRAME* pFrame : m_posted)
        FreeFrame(pFrame);
    m_posted.clear();
    std::fill(std::begin(m_pSlots), std::end(m_pSlots), nullptr);
}

int CRecvVideo::Report(int32_t nCode, int nLine, const wchar_t* szText)
{
    Guard guard(m_errorLock);
    m_nReportedCode = nCode;
    return LMReportEngineError(*this, *m_module.pRenderers, nCode, kSource, nLine, szText);
}

int CRecvVideo::ReportObjectError(ILMObject& object, int nLine)
{
    const int32_t nCode = object.GetLastErrorCode();
    const wchar_t* szMessage = object.GetLastErrorMessage();
    // An object that failed without saying why still fails.
    return Report(nCode ? nCode : LM_E_NOTINITIALIZED, nLine,
                  nCode ? szMessage : L"the object gave no reason");
}

int CRecvVideo::ReportWin32Error(int nLine)
{
    const uint32_t nError = LMGetThreadError();
    int32_t nCode = LMHResultFromWin32(static_cast<int32_t>(nError));
    // A failure with no error set must not read as success.
    if (nCode == 0) nCode = LMHResultFromWin32(LM_ERROR_FUNCTION_FAILED);
    const int bResult = Report(nCode, nLine, nullptr);
    LMSetThreadError(nError);
    return bResult;
}

int32_t CRecvVideo::GetLastErrorCode()
{
    Guard guard(m_errorLock);
    return CLMObjectImpl::GetLastErrorCode();
}

const wchar_t* CRecvVideo::GetLastErrorMessage()
{
    Guard guard(m_errorLock);
    return CLMObjectImpl::GetLastErrorMessage();
}

std::wstring CRecvVideo::CopyLastErrorMessage()
{
    Guard guard(m_errorLock);
    const wchar_t* szMessage = CLMObjectImpl::GetLastErrorMessage();
    return szMessage ? szMessage : L"";
}

enum class DecodeResult
{
    Picture,
    NoPicture,
    Failed
};

int CRecvVideo::OnRecvData(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight)
{
    if (nWidth != 0 && nHeight != 0)
    {
        if (!RawPictureFits(pData, nLength, nWidth, nHeight))
        {
            LMSetThreadError(LM_ERROR_INVALID_PARAMETER);
            return ReportWin32Error(__LINE__);
        }
        return Queue(pData, nLength, nWidth, nHeight, nullptr) != kRefused;
    }
    {
        Guard guard(m_lock);
        if (m_bPaused) return Report(LM_E_PAUSED, __LINE__, L"can't receive video. it is paused");
    }
    // A block with only one of the sizes set is coded data too: its length must be real.
    if (!pData || nLength <= 0)
    {
        LMSetThreadError(LM_ERROR_INVALID_PARAMETER);
        return ReportWin32Error(__LINE__);
    }

    S_DECODEDFRAME frame{};
    {
        Guard decoding(m_decoderLock);
        if (!m_decoder) return Report(LM_E_INVALIDCODEC, __LINE__, L"Invalid Codec");
        const int nDecoded = DecodeBlock(pData, nLength, frame);
        if (nDecoded != static_cast<int>(DecodeResult::Picture))
            return nDecoded == static_cast<int>(DecodeResult::NoPicture);
        // The decoder's word on the size is checked against what it could have written.
        if (frame.nWidth <= 0 || frame.nHeight <= 0 ||
            PlanarBytes(frame.nWidth, frame.nHeight) > static_cast<int64_t>(m_output.GetCapacity()))
        {
            LMSetThreadError(kErrorInvalidData);
            return ReportWin32Error(__LINE__);
        }
        bool bQueue = true;
        if (!frame.bKeyFrame)
        {
            // The display never lags the stream: an ordinary picture finding two in flight is dropped.
            const int32_t nInFlight = ++m_nInFlight;
            --m_nInFlight;
            bQueue = nInFlight < 3 && m_bShown.load();
        }
        if (bQueue &&
            Queue(m_output.GetData(), static_cast<int32_t>(PlanarBytes(frame.nWidth, frame.nHeight)),
                  frame.nWidth, frame.nHeight, &frame) == kRefused)
            return 0;
    }

    // Outside the decoder lock: the host's handler of the event may load another decoder.
    m_bLastKey = frame.bKeyFrame ? 1 : 0;
    if (frame.bKeyFrame)
    {
        m_port.FireKeyframeReceived();
        int bShown = 0;
        if (m_bShown.compare_exchange_strong(bShown, 1)) m_port.ShowWindowAsync();
    }
    return 1;
}

int CRecvVideo::DecodeBlock(const uint8_t* pData, int32_t nLength, S_DECODEDFRAME& frame)
{
    for (;;)
    {
        const size_t nCapacity = m_output.GetCapacity();
        if (m_decoder->Decode(pData, nLength, 0, m_output.GetData(), static_cast<int32_t>(nCapacity), &frame))
            return static_cast<int>(DecodeResult::Picture);
        const int32_t nCode = m_decoder->GetLastErrorCode();
        if (nCode == LM_E_BUFFERTOOSMALL)
        {
            // Doubling ends at the cap, and a failed allocation ends it too (the buffer is then
            // empty, and the next block starts again from the first size).
            const size_t nNext = nCapacity == 0 ? kInitialOutput : std::min(nCapacity * 2, kMaxOutput);
            if (nCapacity < kMaxOutput && m_output.Reserve(nNext) && m_output.GetCapacity() >= nNext)
                continue;
        }
        ReportObjectError(*m_decoder.Get(), __LINE__);
        return static_cast<int>(nCode == LM_E_NOPICTURE ? DecodeResult::NoPicture : DecodeResult::Failed);
    }
}

// Returns the slot the record went to (kSlots when that slot was busy), kRefused or kDropped.
int CRecvVideo::Queue(const uint8_t* pData, int32_t nBytes, int32_t nWidth, int32_t nHeight,
                      const S_DECODEDFRAME* pFrame)
{
    const bool bRaw = pFrame == nullptr;
    const bool bKey = bRaw || pFrame->bKeyFrame;
    Guard guard(m_lock);
    int nSlot = !m_pSlots[0] ? 0 : !m_pSlots[1] ? 1 : bRaw ? 3 : bKey ? 2 : -1;
    if (nSlot < 0) return kDropped;
    if (!bRaw && m_bPaused)
    {
        Report(LM_E_PAUSED, __LINE__, L"can't receive video. it is paused");
        return kRefused;
    }

    S_RECVFRAME* pRecord = new (std::nothrow) S_RECVFRAME{};
    uint8_t* pCopy = new (std::nothrow) uint8_t[static_cast<size_t>(nBytes)];
    if (!pRecord || !pCopy)
    {
        delete pRecord;
        delete[] pCopy;
        LMSetThreadError(kErrorOutOfMemory);
        ReportWin32Error(__LINE__);
        return kRefused;
    }
    memcpy(pCopy, pData, static_cast<size_t>(nBytes));
    pRecord->nWidth = nWidth;
    pRecord->nHeight = nHeight;
    if (bRaw)
        pRecord->szFormat = static_cast<int64_t>(nBytes) == static_cast<int64_t>(nWidth) * nHeight * 4
                                ? LM_FMT_RGB32
                                : LM_FMT_RGB565;
    else
        pRecord->szFormat = LM_FMT_YUV420; // the decoder's own name may not outlive it
    pRecord->bKeyFrame = bKey ? 1 : 0;
    pRecord->pData = pCopy;
    pRecord->nSlot = nSlot;
    pRecord->bRaw = bRaw ? 1 : 0;
    pRecord->nBytes = nBytes;

    ++m_nInFlight;
    const bool bInSlot = m_pSlots[nSlot] == nullptr;
    if (bInSlot) m_pSlots[nSlot] = pRecord;
    m_posted.push_back(pRecord);
    if (!m_port.PostFrame(pRecord, nBytes))
    {
        ForgetPosted(pRecord);
        --m_nInFlight;
        ReportWin32Error(__LINE__);
        return kRefused;
    }
    return bInSlot ? nSlot : kSlots;
}

// Under m_lock: takes the record out of the posted list and its slot, and frees it.
void CRecvVideo::ForgetPosted(S_RECVFRAME* pFrame)
{
    m_posted.erase(std::remove(m_posted.begin(), m_posted.end(), pFrame), m_posted.end());
    if (pFrame->nSlot >= 0 && pFrame->nSlot < kSlots && m_pSlots[pFrame->nSlot] == pFrame)
        m_pSlots[pFrame->nSlot] = nullptr;
    FreeFrame(pFrame);
}

void CRecvVideo::FreeFrame(S_RECVFRAME* pFrame)
{
    delete[] pFrame->pData;
    delete pFrame;
}

void CRecvVideo::DrawPosted(const void* pRecord)
{
    S_RECVFRAME* pFrame = nullptr;
    {
        Guard guard(m_lock);
        auto it = std::find(m_posted.begin(), m_posted.end(), pRecord);
        if (it == m_posted.end()) return;
        pFrame = *it;
    }
    // Only this thread and the destructor take records out, so the record stays while it is drawn.
    if (pFrame->bRaw)
        DrawRaw(pFrame->pData, pFrame->nBytes, pFrame->nWidth, pFrame->nHeight);
    else
        Draw(pFrame, pFrame->nBytes);
    {
        Guard guard(m_lock);
        ForgetPosted(pFrame);
    }
    --m_nInFlight;
}

int CRecvVideo::Draw(const S_RECVFRAME* pFrame, int32_t nBytes)
{
    Guard guard(m_rendererLock);
    if (!m_renderer) return Report(LM_E_NORENDERER, __LINE__, L"Invalid LMRenderer Module");
    const wchar_t* szTarget = LM_FMT_RGB565;
    int64_t nPixelBytes = 2;
    switch (m_renderer->GetBitsPerPixel())
    {
    case 32:
        szTarget = LM_FMT_RGB32, nPixelBytes = 4;
        break;
    case 24:
        szTarget = LM_FMT_RGB24, nPixelBytes = 3;
        break;
    default:
        break;
    }
    const int32_t nWidth = pFrame->nWidth, nHeight = pFrame->nHeight;
    if (nWidth <= 0 || nHeight <= 0)
    {
        LMSetThreadError(LM_ERROR_INVALID_PARAMETER);
        return ReportWin32Error(__LINE__);
    }
    if (!m_converter) return Report(LM_E_NOTINITIALIZED, __LINE__, L"no colour converter");
    const int64_t nTargetBytes = static_cast<int64_t>(nWidth) * nHeight * nPixelBytes;
    CLMBuffer target(static_cast<size_t>(nTargetBytes));
    if (!target.GetData())
    {
        LMSetThreadError(kErrorOutOfMemory);
        return ReportWin32Error(__LINE__);
    }
    // Rows go to the renderer top-down; the vertical flip turns them.
    const S_LMPICTURE source{nWidth, nHeight, LM_FMT_YUV420, 0};
    const S_LMPICTURE converted{nWidth, m_bVFlip.load() ? -nHeight : nHeight, szTarget, 0};
    if (!m_converter->Convert(pFrame->pData, nBytes, source, target.GetData(),
                              static_cast<int32_t>(nTargetBytes), converted))
        return ReportObjectError(*m_converter.Get(), __LINE__);
    m_renderer->Draw(static_cast<int32_t>(nTargetBytes), target.GetData(), nWidth, nHeight);
    return Report(m_renderer->GetLastErrorCode(), __LINE__, m_renderer->GetLastErrorMessage());
}

int CRecvVideo::DrawRaw(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight)
{
    if (!RawPictureFits(pData, nLength, nWidth, nHeight))
    {
        LMSetThreadError(LM_ERROR_INVALID_PARAMETER);
        return ReportWin32Error(__LINE__);
    }
    Guard guard(m_rendererLock);
    if (!m_renderer) return Report(LM_E_NORENDERER, __LINE__, L"Invalid LMRenderer Module");
    return m_renderer->Draw(nLength, pData, nWidth, nHeight);
}

int CRecvVideo::LoadCodec(const wchar_t* szLibrary, int32_t nCodecType)
{
    const wchar_t* szFactory = LMCodecFactoryName(nCodecType);
    if (!szFactory) return Report(LM_E_INVALIDCODEC, __LINE__, L"Invalid Codec");
    if (!szLibrary) szLibrary = L"";
    // The network thread decodes under this lock: the decoder it uses is never destroyed under it.
    Guard decoding(m_decoderLock);
    if (m_decoder)
    {
        if (wcscmp(m_decoder.GetLibraryName(), szLibrary) == 0 &&
            wcscmp(m_decoder.GetFactoryName(), szFactory) == 0)
            return 1;
        m_decoder.Release();
    }
    if (!m_decoder.Create(szLibrary, szFactory)) return ReportWin32Error(__LINE__);
    return 1;
}

int CRecvVideo::ChooseRenderer(HWND__* hWnd, int32_t nMemoryType)
{
    Guard guard(m_rendererLock);
    ReleaseRendererLocked(0);
    switch (LMChooseRenderer(m_renderer, m_module, *this, hWnd, nMemoryType))
    {
    case ELMRendererChoice::Chosen:
        return 1;
    case ELMRendererChoice::NoLibrary:
        return 0;
    case ELMRendererChoice::GdiInitFailed:
        break;
    }
    // A renderer that could not start is not kept: it was never counted.
    const int bResult = ReportObjectError(*m_renderer.Get(), __LINE__);
    m_renderer.Release();
    return bResult;
}

void CRecvVideo::ReleaseRendererLocked(int bBroadcast)
{
    if (!m_renderer) return;
    m_renderer.Release();
    m_module.pRenderers->RemoveRenderer(bBroadcast);
}

void CRecvVideo::ReleaseRenderer(int bBroadcast)
{
    Guard guard(m_rendererLock);
    ReleaseRendererLocked(bBroadcast);
}

int CRecvVideo::CheckRenderer()
{
    Guard guard(m_rendererLock);
    if (!m_renderer) return Report(LM_E_NORENDERER, __LINE__, L"Invalid LMRenderer Module");
    if (m_renderer->Check()) return 1;
    return ReportObjectError(*m_renderer.Get(), __LINE__);
}

void CRecvVideo::SetPause(int bPause)
{
    {
        Guard guard(m_lock);
        m_bPaused = bPause;
    }
    if (bPause) return;
    Guard guard(m_rendererLock);
    if (m_renderer) m_renderer->Reset(0);
}

void CRecvVideo::RemoveUser()
{
    m_bShown = 0;
    SetPause(0);
}

void CRecvVideo::Resize(int32_t cx, int32_t cy)
{
    m_cx = cx;
    m_cy = cy;
    Guard guard(m_rendererLock);
    if (m_renderer) m_renderer->Resize(cx, cy);
}

int CRecvVideo::SetVideoFlip(int bVertical, int bHorizontal)
{
    m_bVFlip = bVertical ? 1 : 0;
    m_bHFlip = bHorizontal ? 1 : 0;
    return 1;
}

bool CRecvVideo::Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom)
{
    Guard guard(m_rendererLock);
    if (!m_renderer) return false;
    m_renderer->Redraw(nLeft, nTop, nRight, nBottom);
    return true;
}

int CRecvVideo::SetName(const wchar_t* szName)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetName(szName) : 0;
}

int CRecvVideo::SetNameVisible(int bVisible)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetNameVisible(bVisible) : 0;
}

int CRecvVideo::SetPeakLevel(int16_t nLevel)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetPeakLevel(nLevel) : 0;
}

int CRecvVideo::SetPeakMeterVisible(int bVisible)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetPeakMeterVisible(bVisible) : 0;
}

int CRecvVideo::SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetFont(szFace, nSize, nBigSize) : 0;
}

int CRecvVideo::SetNameBigger(int bBigger)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetNameBigger(bBigger) : 0;
}

int CRecvVideo::SetPosition(int16_t nPosition)
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer->SetPosition(nPosition) : 0;
}

std::wstring CRecvVideo::GetRendererFactory()
{
    Guard guard(m_rendererLock);
    return m_renderer ? m_renderer.GetFactoryName() : L"";
}

size_t CRecvVideo::GetOutstanding()
{
    Guard guard(m_lock);
    return m_posted.size();
}

int CRecvVideo::GetSlotsUsed()
{
    Guard guard(m_lock);
    int nMask = 0;
    for (int i = 0; i < kSlots; ++i)
        if (m_pSlots[i]) nMask |= 1 << i;
    return nMask;
}
