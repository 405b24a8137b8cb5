// The renderers' shared half: checks, the last picture, overlays and the composed frame.
#include "lmvideo/renderer/RendererBase.h"

#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPlatform.h"

int CLMRendererBase::Fail(int32_t nCode, int nLine, const wchar_t* szText)
{
    return SetError(nCode, m_szSource, nLine, L"%s", szText);
}

int CLMRendererBase::Fail(HRESULT hr, int nLine)
{
    return SetError(hr, m_szSource, nLine, L"%s", LMErrorText(hr).c_str());
}

int CLMRendererBase::Init(HWND hWnd)
{
    if (m_hWnd)
    {
        FreeDevice();
        m_hWnd = nullptr;
    }
    if (!IsWindow(hWnd)) return Fail(LMHResultFromWin32(ERROR_INVALID_WINDOW_HANDLE), 1, L"Invalid window");
    if (!CreateDevice(hWnd)) return 0;
    m_hWnd = hWnd;
    RECT client{};
    GetClientRect(hWnd, &client);
    m_cx = client.right;
    m_cy = client.bottom;
    return SetError(0, m_szSource, 2, nullptr);
}

int CLMRendererBase::ShowFrame(const RECT* pArea)
{
    if (!m_hWnd) return Fail(LM_E_NOTINITIALIZED, 3, L"The object is not initialized.");
    if (m_cx <= 0 || m_cy <= 0)
        return SetError(0, m_szSource, 4, nullptr); // nothing to show in an empty window
    if (!m_composer.Compose(m_cx, m_cy, m_overlay.Get()))
        return Fail(LMHResultFromWin32(ERROR_NOT_ENOUGH_MEMORY), 5, L"No drawing surface");
    RECT all{0, 0, m_cx, m_cy};
    RECT area = all;
    if (pArea && !IntersectRect(&area, pArea, &all)) return SetError(0, m_szSource, 6, nullptr);
    return Present(area);
}

int CLMRendererBase::Draw(int32_t nBytes, const uint8_t* pData, int32_t nWidth, int32_t nHeight)
{
    if (!m_hWnd) return Fail(LM_E_NOTINITIALIZED, 7, L"The object is not initialized.");
    int64_t nNeeded = static_cast<int64_t>(nWidth) * nHeight * (m_nBits / 8);
    if (!pData || nWidth <= 0 || nHeight <= 0 || nBytes < nNeeded)
        return SetError(E_INVALIDARG, m_szSource, 8, L"picture %dx%d of %d bytes at %d bits", nWidth, nHeight,
                        nBytes, m_nBits);
    if (!m_composer.SetPicture(pData, nWidth, nHeight, m_nBits))
        return Fail(LMHResultFromWin32(ERROR_NOT_ENOUGH_MEMORY), 9, L"No room for the picture");
    return ShowFrame(nullptr);
}

int CLMRendererBase::Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom)
{
    RECT area{nLeft, nTop, nRight, nBottom};
    return ShowFrame(IsRectEmpty(&area) ? nullptr : &area);
}

int CLMRendererBase::Resize(int32_t cx, int32_t cy)
{
    if (cx < 0 || cy < 0) return SetError(E_INVALIDARG, m_szSource, 10, L"size %dx%d", cx, cy);
    m_cx = cx;
    m_cy = cy;
    return m_hWnd ? ShowFrame(nullptr) : SetError(0, m_szSource, 11, nullptr);
}

int CLMRendererBase::Reset(int32_t)
{
    m_composer.ForgetPicture();
    return m_hWnd ? ShowFrame(nullptr) : SetError(0, m_szSource, 12, nullptr);
}

int CLMRendererBase::SetMemoryType(int32_t nMemoryType)
{
    m_nMemoryType = nMemoryType;
    return 1;
}

int CLMRendererBase::SetName(const wchar_t* szName)
{
    return m_overlay.SetName(szName);
}

int CLMRendererBase::SetNameVisible(int bVisible)
{
    m_overlay.SetNameVisible(bVisible != 0);
    return 1;
}

int CLMRendererBase::SetPeakLevel(int16_t nLevel)
{
    m_overlay.SetPeakLevel(nLevel);
    return 1;
}

int CLMRendererBase::SetPeakMeterVisible(int bVisible)
{
    m_overlay.SetPeakVisible(bVisible != 0);
    return 1;
}

int CLMRendererBase::SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize)
{
    if (!m_overlay.SetFont(szFace, nSize, nBigSize))
        return SetError(E_INVALIDARG, m_szSource, 13, L"font %s %d/%d", szFace, nSize, nBigSize);
    return 1;
}

int CLMRendererBase::SetNameBigger(int bBigger)
{
    m_overlay.SetNameBigger(bBigger != 0);
    return 1;
}

int CLMRendererBase::SetPosition(int16_t nPosition)
{
    if (!m_overlay.SetPosition(nPosition))
        return SetError(E_INVALIDARG, m_szSource, 14, L"position %d", nPosition);
    return 1;
}
