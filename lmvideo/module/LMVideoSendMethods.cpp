// _DLMVideo_Send: the send control's methods in dispid order, each forwarding to the engine.
// BOOL results travel as VARIANT_BOOL (TRUE is -1); addresses as DISP_INT_PTR.
#include "lmvideo/module/LMVideoSendCtrl.h"

#include <string>

namespace
{
// Named apart from the receive control's, which share this file's unity batch.
constexpr VARTYPE SI2 = VT_I2, SI4 = VT_I4, SBOOL = VT_BOOL, SBSTR = VT_BSTR, SPTR = kVtIntPtr;

CLMVideo_SendCtrl* SendCtrl(void* p)
{
    return static_cast<CLMVideo_SendCtrl*>(static_cast<CControlBase*>(p));
}

CSendCapture* SendEngine(void* p)
{
    return SendCtrl(p)->Engine();
}

// A BSTR argument as a wide string; null stands for an empty one.
const wchar_t* SendText(BSTR s)
{
    return s ? s : L"";
}

HRESULT SendNothing(void*, DispCall&)
{
    return S_OK;
}

HRESULT SendInit(void* p, DispCall& c)
{
    return c.ReturnBool(SendCtrl(p)->Init(c.I2(0), c.I2(1), c.I2(2), c.I4(3), c.Bool(4), c.I2(5))), S_OK;
}

HRESULT GetCaptureMode(void* p, DispCall& c)
{
    return c.ReturnI4(SendEngine(p) ? 1 : 0), S_OK;
}

HRESULT ShowVideoSource(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->ShowVideoSource(SendCtrl(p)->VideoWindow())), S_OK;
}

HRESULT ExcludeClipRectOf(void* p, DispCall& c)
{
    CLMVideo_SendCtrl* pCtrl = SendCtrl(p);
    HWND hWnd = pCtrl->VideoWindow();
    HDC hdc = reinterpret_cast<HDC>(c.IntPtr(0));
    if (!pCtrl->Engine() || !hWnd || !IsWindowVisible(hWnd)) return S_OK;
    // Only a device context is clipped: any other number is left alone.
    const DWORD nType = hdc ? GetObjectType(hdc) : 0;
    if (nType != OBJ_DC && nType != OBJ_MEMDC && nType != OBJ_ENHMETADC) return S_OK;
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    ExcludeClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
    return S_OK;
}

HRESULT SendSetVideoFlip(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetVideoFlip(c.Bool(0), c.Bool(1))), S_OK;
}

HRESULT SendGetLastErrorCode(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnI4(pEngine ? pEngine->GetLastErrorCode() : 1), S_OK;
}

HRESULT SendGetLastErrorMessage(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBstr(pEngine ? pEngine->CopyLastErrorMessage().c_str() : nullptr), S_OK;
}

HRESULT SetInterlace(void* p, DispCall& c)
{
    if (CSendCapture* pEngine = SendEngine(p)) pEngine->SetInterlace(c.Bool(0));
    return S_OK;
}

HRESULT GetInterlace(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->GetInterlace()), S_OK;
}

HRESULT SetCrossBar(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetCrossBar(c.I4(0))), S_OK;
}

HRESULT GetCrossBar(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnI4(pEngine ? pEngine->GetCrossBar() : 0), S_OK;
}

HRESULT SendGetLoader(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    if (!pEngine) return c.ReturnBstr(nullptr), S_OK;
    const std::wstring factory = pEngine->GetRendererFactory();
    const wchar_t* szName = factory == LM_FACTORY_D2DRENDERER   ? L"D2D"
                            : factory == LM_FACTORY_DDRENDERER  ? L"DDraw"
                            : factory == LM_FACTORY_GDIRENDERER ? L"GDI"
                                                                : factory.c_str();
    return c.ReturnBstr(szName), S_OK;
}

HRESULT InitVideoShare(void* p, DispCall& c)
{
    return c.ReturnBool(SendCtrl(p)->InitVideoShare(c.I2(0), c.I4(1))), S_OK;
}

HRESULT MovieLoad(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MovieLoad(SendText(c.Bstr(0)))), S_OK;
}

HRESULT MovieSeek(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MovieSeek(c.I4(0))), S_OK;
}

HRESULT MovieSetVolume(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MovieSetVolume(c.I4(0))), S_OK;
}

HRESULT GetTotalPlayTime(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnI4(pEngine ? pEngine->GetTotalPlayTime() : 0), S_OK;
}

HRESULT GetPlayingSeconds(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnI4(pEngine ? pEngine->GetPlayingSeconds() : 0), S_OK;
}

HRESULT GetPlayingState(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnI2(pEngine ? pEngine->GetPlayingState() : 0), S_OK;
}

HRESULT MoviePlay(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MoviePlay()), S_OK;
}

HRESULT MoviePause(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MoviePause()), S_OK;
}

HRESULT MovieStop(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MovieStop()), S_OK;
}

HRESULT GetMovieInfo(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnIntPtr(pEngine ? reinterpret_cast<INT_PTR>(pEngine->GetMovieInfo()) : 0), S_OK;
}

HRESULT MovieSeekRelatively(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->MovieSeekRelatively(c.I4(0))), S_OK;
}

HRESULT SendSetPause(void* p, DispCall& c)
{
    if (CSendCapture* pEngine = SendEngine(p)) pEngine->SetPause(c.I2(0));
    return S_OK;
}

HRESULT SetFramerate(void* p, DispCall& c)
{
    if (CSendCapture* pEngine = SendEngine(p)) pEngine->SetFramerate(c.I2(0));
    return S_OK;
}

HRESULT SetFramerateLimit(void* p, DispCall& c)
{
    SendCtrl(p)->SetFramerateLimit(c.I2(0));
    return S_OK;
}

HRESULT SendSetName(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetName(SendText(c.Bstr(0)))), S_OK;
}

HRESULT SendSetNameVisible(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetNameVisible(c.Bool(0))), S_OK;
}

HRESULT SendSetPeakLevel(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetPeakLevel(c.I2(0))), S_OK;
}

HRESULT SendSetPeakMeterVisible(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetPeakMeterVisible(c.Bool(0))), S_OK;
}

HRESULT SendSetFont(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetFont(SendText(c.Bstr(0)), c.I2(1), c.I2(2))), S_OK;
}

HRESULT SendSetNameBigger(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetNameBigger(c.Bool(0))), S_OK;
}

HRESULT SendSetPosition(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    return c.ReturnBool(pEngine && pEngine->SetPosition(c.I2(0))), S_OK;
}

HRESULT SendSetImage(void* p, DispCall& c)
{
    CSendCapture* pEngine = SendEngine(p);
    const uint8_t* pData = reinterpret_cast<const uint8_t*>(c.IntPtr(0));
    const long lSize = c.I4(1);
    if (!pEngine || !pData || lSize <= 0) return c.ReturnBool(FALSE), S_OK;
    return c.ReturnBool(pEngine->DrawImage(pData, lSize, c.I2(2), c.I2(3))), S_OK;
}
} // namespace

const DispEntry g_sendMethods[] = {
    {L"Init", DISP_KIND_METHOD, &SendInit, {SI2, SI2, SI2, SI4, SBOOL, SI2}, 0},
    {L"GetCaptureMode", DISP_KIND_METHOD, &GetCaptureMode, {}, 0},
    {L"SetExtendWnd", DISP_KIND_METHOD, &SendNothing, {SPTR}, 0},
    {L"SetExtendWndPos", DISP_KIND_METHOD, &SendNothing, {SI4, SI4, SI4, SI4}, 0},
    {L"ShowVideoSource", DISP_KIND_METHOD, &ShowVideoSource, {}, 0},
    {L"RedrawExtendWnd", DISP_KIND_METHOD, &SendNothing, {}, 0},
    {L"ExcludeClipRect", DISP_KIND_METHOD, &ExcludeClipRectOf, {SPTR}, 0},
    {L"SetVideoFlip", DISP_KIND_METHOD, &SendSetVideoFlip, {SBOOL, SBOOL}, 0},
    {L"GetLastErrorCode", DISP_KIND_METHOD, &SendGetLastErrorCode, {}, 0},
    {L"GetLastErrorMessage", DISP_KIND_METHOD, &SendGetLastErrorMessage, {}, 0},
    {L"SetInterlace", DISP_KIND_METHOD, &SetInterlace, {SBOOL}, 0},
    {L"GetInterlace", DISP_KIND_METHOD, &GetInterlace, {}, 0},
    {L"SetCrossBar", DISP_KIND_METHOD, &SetCrossBar, {SI4}, 0},
    {L"GetCrossBar", DISP_KIND_METHOD, &GetCrossBar, {}, 0},
    {L"GetLoader", DISP_KIND_METHOD, &SendGetLoader, {}, 0},
    {L"InitVideoShare", DISP_KIND_METHOD, &InitVideoShare, {SI2, SI4}, 0},
    {L"Load", DISP_KIND_METHOD, &MovieLoad, {SBSTR}, 0},
    {L"Seek", DISP_KIND_METHOD, &MovieSeek, {SI4}, 0},
    {L"SetVolume", DISP_KIND_METHOD, &MovieSetVolume, {SI4}, 0},
    {L"GetTotalPlayTime", DISP_KIND_METHOD, &GetTotalPlayTime, {}, 0},
    {L"GetPlayingSeconds", DISP_KIND_METHOD, &GetPlayingSeconds, {}, 0},
    {L"GetPlayingState", DISP_KIND_METHOD, &GetPlayingState, {}, 0},
    {L"Play", DISP_KIND_METHOD, &MoviePlay, {}, 0},
    {L"Pause", DISP_KIND_METHOD, &MoviePause, {}, 0},
    {L"Stop", DISP_KIND_METHOD, &MovieStop, {}, 0},
    {L"SetPause", DISP_KIND_METHOD, &SendSetPause, {SI2}, 0},
    {L"SetFramerate", DISP_KIND_METHOD, &SetFramerate, {SI2}, 0},
    {L"GetMovieInfo", DISP_KIND_METHOD, &GetMovieInfo, {}, 0},
    {L"SeekRelatively", DISP_KIND_METHOD, &MovieSeekRelatively, {SI4}, 0},
    {L"SetFramerateLimit", DISP_KIND_METHOD, &SetFramerateLimit, {SI2}, 0},
    {L"SetName", DISP_KIND_METHOD, &SendSetName, {SBSTR}, 0},
    {L"SetNameVisible", DISP_KIND_METHOD, &SendSetNameVisible, {SBOOL}, 0},
    {L"SetPeakLevel", DISP_KIND_METHOD, &SendSetPeakLevel, {SI2}, 0},
    {L"SetPeakMeterVisible", DISP_KIND_METHOD, &SendSetPeakMeterVisible, {SBOOL}, 0},
    {L"SetFont", DISP_KIND_METHOD, &SendSetFont, {SBSTR, SI2, SI2}, 0},
    {L"SetNameBigger", DISP_KIND_METHOD, &SendSetNameBigger, {SBOOL}, 0},
    {L"SetPosition", DISP_KIND_METHOD, &SendSetPosition, {SI2}, 0},
    {L"SetImage", DISP_KIND_METHOD, &SendSetImage, {SPTR, SI4, SI2, SI2}, 0},
};
const size_t g_nSendMethods = sizeof g_sendMethods / sizeof g_sendMethods[0];
static_assert(sizeof g_sendMethods / sizeof g_sendMethods[0] == 38, "one entry per dispid of _DLMVideo_Send");
