// _DLMVideo_Recv: the receive control's methods in dispid order, each forwarding to the engine.
// BOOL results travel as VARIANT_BOOL (TRUE is -1); addresses as DISP_INT_PTR.
#include "lmvideo/module/LMVideoRecvCtrl.h"

#include <string>

namespace
{
constexpr VARTYPE I2 = VT_I2, I4 = VT_I4, BOOLT = VT_BOOL, BSTRT = VT_BSTR, PTR = kVtIntPtr;

CLMVideo_RecvCtrl* Ctrl(void* p)
{
    return static_cast<CLMVideo_RecvCtrl*>(static_cast<CControlBase*>(p));
}

// A BSTR argument as a wide string; null stands for an empty one.
const wchar_t* Text(BSTR s)
{
    return s ? s : L"";
}

const uint8_t* Address(DispCall& c, UINT i)
{
    return reinterpret_cast<const uint8_t*>(c.IntPtr(i));
}

HRESULT Nothing(void*, DispCall&)
{
    return S_OK;
}

HRESULT RemoveUser(void* p, DispCall&)
{
    CLMVideo_RecvCtrl* pCtrl = Ctrl(p);
    if (HWND hWnd = pCtrl->VideoWindow()) ShowWindow(hWnd, SW_HIDE);
    if (CRecvVideo* pEngine = pCtrl->Engine()) pEngine->RemoveUser();
    return S_OK;
}

HRESULT OnRecvData(void* p, DispCall& c)
{
    CLMVideo_RecvCtrl* pCtrl = Ctrl(p);
    CRecvVideo* pEngine = pCtrl->Engine();
    const uint8_t* pData = Address(c, 0);
    const long lSize = c.I4(1);
    if (!pEngine || !pData || lSize <= 0) return c.ReturnBool(TRUE), S_OK;
    pCtrl->ClearFirstImage();
    return c.ReturnBool(pEngine->OnRecvData(pData, lSize, 0, 0)), S_OK;
}

HRESULT SetPause(void* p, DispCall& c)
{
    if (CRecvVideo* pEngine = Ctrl(p)->Engine()) pEngine->SetPause(c.Bool(0));
    return S_OK;
}

HRESULT Init(void* p, DispCall& c)
{
    CLMVideo_RecvCtrl* pCtrl = Ctrl(p);
    CRecvVideo* pEngine = pCtrl->Engine();
    BOOL bResult =
        pEngine && pEngine->ChooseRenderer(reinterpret_cast<HWND__*>(pCtrl->VideoWindow()), c.I2(0));
    return c.ReturnBool(bResult), S_OK;
}

HRESULT SetVideoFlip(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetVideoFlip(c.Bool(0), c.Bool(1))), S_OK;
}

HRESULT GetLastErrorCode(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnI4(pEngine ? pEngine->GetLastErrorCode() : 1), S_OK;
}

HRESULT GetLastErrorMessage(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBstr(pEngine ? pEngine->CopyLastErrorMessage().c_str() : nullptr), S_OK;
}

HRESULT LoadCodec(void* p, DispCall& c)
{
    // The option text is not used by any decoder.
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->LoadCodec(Text(c.Bstr(0)), c.I2(1))), S_OK;
}

HRESULT IsKeyFrame(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->IsKeyFrame()), S_OK;
}

HRESULT GetLoader(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    if (!pEngine) return c.ReturnBstr(nullptr), S_OK;
    const std::wstring factory = pEngine->GetRendererFactory();
    const wchar_t* szName = factory == LM_FACTORY_D2DRENDERER   ? L"D2D"
                            : factory == LM_FACTORY_DDRENDERER  ? L"DDraw"
                            : factory == LM_FACTORY_GDIRENDERER ? L"GDI"
                                                                : factory.c_str();
    return c.ReturnBstr(szName), S_OK;
}

HRESULT SetName(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetName(Text(c.Bstr(0)))), S_OK;
}

HRESULT SetNameVisible(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetNameVisible(c.Bool(0))), S_OK;
}

HRESULT SetPeakLevel(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetPeakLevel(c.I2(0))), S_OK;
}

HRESULT SetPeakMeterVisible(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetPeakMeterVisible(c.Bool(0))), S_OK;
}

HRESULT SetFont(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetFont(Text(c.Bstr(0)), c.I2(1), c.I2(2))), S_OK;
}

HRESULT SetNameBigger(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetNameBigger(c.Bool(0))), S_OK;
}

HRESULT SetPosition(void* p, DispCall& c)
{
    CRecvVideo* pEngine = Ctrl(p)->Engine();
    return c.ReturnBool(pEngine && pEngine->SetPosition(c.I2(0))), S_OK;
}

HRESULT SetImage(void* p, DispCall& c)
{
    CLMVideo_RecvCtrl* pCtrl = Ctrl(p);
    CRecvVideo* pEngine = pCtrl->Engine();
    const uint8_t* pData = Address(c, 0);
    const long lSize = c.I4(1);
    const short nWidth = c.I2(2), nHeight = c.I2(3);
    if (!pEngine || !pData || lSize <= 0) return c.ReturnBool(FALSE), S_OK;
    // The first picture is drawn at once on the caller's thread, later ones through the window.
    if (pCtrl->TakeFirstImage()) return c.ReturnBool(pEngine->DrawRaw(pData, lSize, nWidth, nHeight)), S_OK;
    return c.ReturnBool(pEngine->OnRecvData(pData, lSize, nWidth, nHeight)), S_OK;
}
} // namespace

const DispEntry g_recvMethods[] = {
    {L"RemoveUser", DISP_KIND_METHOD, &RemoveUser, {}, 0},
    {L"OnRecvData", DISP_KIND_METHOD, &OnRecvData, {PTR, I4}, 0},
    {L"SetExtendWnd", DISP_KIND_METHOD, &Nothing, {PTR}, 0},
    {L"SetExtendWndPos", DISP_KIND_METHOD, &Nothing, {I4, I4, I4, I4}, 0},
    {L"RedrawExtendWnd", DISP_KIND_METHOD, &Nothing, {}, 0},
    {L"SetPause", DISP_KIND_METHOD, &SetPause, {BOOLT}, 0},
    {L"Init", DISP_KIND_METHOD, &Init, {I2}, 0},
    {L"SetVideoFlip", DISP_KIND_METHOD, &SetVideoFlip, {BOOLT, BOOLT}, 0},
    {L"GetLastErrorCode", DISP_KIND_METHOD, &GetLastErrorCode, {}, 0},
    {L"GetLastErrorMessage", DISP_KIND_METHOD, &GetLastErrorMessage, {}, 0},
    {L"LoadCodec", DISP_KIND_METHOD, &LoadCodec, {BSTRT, I2, BSTRT}, 0},
    {L"IsKeyFrame", DISP_KIND_METHOD, &IsKeyFrame, {}, 0},
    {L"GetLoader", DISP_KIND_METHOD, &GetLoader, {}, 0},
    {L"SetName", DISP_KIND_METHOD, &SetName, {BSTRT}, 0},
    {L"SetNameVisible", DISP_KIND_METHOD, &SetNameVisible, {BOOLT}, 0},
    {L"SetPeakLevel", DISP_KIND_METHOD, &SetPeakLevel, {I2}, 0},
    {L"SetPeakMeterVisible", DISP_KIND_METHOD, &SetPeakMeterVisible, {BOOLT}, 0},
    {L"SetFont", DISP_KIND_METHOD, &SetFont, {BSTRT, I2, I2}, 0},
    {L"SetNameBigger", DISP_KIND_METHOD, &SetNameBigger, {BOOLT}, 0},
    {L"SetPosition", DISP_KIND_METHOD, &SetPosition, {I2}, 0},
    {L"SetImage", DISP_KIND_METHOD, &SetImage, {PTR, I4, I2, I2}, 0},
};
const size_t g_nRecvMethods = sizeof g_recvMethods / sizeof g_recvMethods[0];
