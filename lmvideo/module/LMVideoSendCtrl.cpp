// The send control's shell: its engine's life, the events, window messages and design-mode drawing.
#include "lmvideo/module/LMVideoSendCtrl.h"

#include "lmvideo/module/LMVideoApp.h"
#include "lmvideo/module/LMVideoGuids.h"

const ControlDescription CLMVideo_SendCtrl::s_desc = {
    &CLSID_LMVideo_Send, &DIID_DLMVideo_Send, &DIID_DLMVideo_SendEvents,
    g_sendMethods,       g_nSendMethods,      kSendMiscStatus};

CLMVideo_SendCtrl::CLMVideo_SendCtrl() : CControlBase(s_desc) {}

CLMVideo_SendCtrl::~CLMVideo_SendCtrl()
{
    DestroyEngine();
}

void CLMVideo_SendCtrl::DestroyEngine()
{
    // The engine ends its graph and its sender thread before it goes.
    if (CSendCapture* pEngine = m_pEngine.exchange(nullptr)) pEngine->Destroy();
}

CSendCapture* CLMVideo_SendCtrl::ReplaceEngine()
{
    if (CSendCapture* pOld = m_pEngine.load(); pOld && pOld->IsEngineThread()) return nullptr;
    DestroyEngine();
    CLMVideoApp& app = LMVideoApp();
    CSendCapture* pEngine =
        new CSendCapture(*this, {&app.GetRendererCount(), CLMVideoApp::GetWindowsVersionClass(), nullptr});
    pEngine->SetFramerateLimit(m_nFramerateLimit.load());
    m_pEngine = pEngine;
    return pEngine;
}

BOOL CLMVideo_SendCtrl::InitVideoShare(int16_t nMemoryType, int32_t lSSRC)
{
    CSendCapture* pEngine = ReplaceEngine();
    return pEngine && pEngine->StartShare(ControlWindow(), nMemoryType, lSSRC);
}

BOOL CLMVideo_SendCtrl::Init(int16_t nCamIndex, int16_t nWidth, int16_t nHeight, int32_t nCrossBarType,
                             BOOL bInterlace, int16_t nMemoryType)
{
    CSendCapture* pEngine = ReplaceEngine();
    if (!pEngine) return FALSE;
    RECT rc{};
    if (HWND hWnd = ControlWindow()) GetClientRect(hWnd, &rc);
    return pEngine->StartCapture(nCamIndex, ControlWindow(), rc.right, rc.bottom, nWidth, nHeight,
                                 nCrossBarType, bInterlace, nMemoryType);
}

void CLMVideo_SendCtrl::SetFramerateLimit(int16_t nLimit)
{
    m_nFramerateLimit = nLimit;
    if (CSendCapture* pEngine = m_pEngine.load()) pEngine->SetFramerateLimit(nLimit);
}

void CLMVideo_SendCtrl::FireRecordData(const uint8_t* pData, int32_t nBytes, const wchar_t* szFormat,
                                       int32_t nWidth, int32_t nHeight, int32_t nSeconds)
{
    VARIANT args[6];
    for (VARIANT& v : args)
        VariantInit(&v);
    SetIntPtr(args[0], reinterpret_cast<INT_PTR>(pData));
    args[1].vt = VT_I4;
    args[1].lVal = nBytes;
    args[2].vt = VT_BSTR;
    args[2].bstrVal = SysAllocString(szFormat);
    args[3].vt = VT_I4;
    args[3].lVal = nWidth;
    args[4].vt = VT_I4;
    args[4].lVal = nHeight;
    args[5].vt = VT_I4;
    args[5].lVal = nSeconds;
    FireEvent(1, args, 6);
    VariantClear(&args[2]);
}

void CLMVideo_SendCtrl::FireVideoShareVoice(const uint8_t* pData, int32_t nBytes, int32_t nSeconds)
{
    VARIANT args[3];
    for (VARIANT& v : args)
        VariantInit(&v);
    SetIntPtr(args[0], reinterpret_cast<INT_PTR>(pData));
    args[1].vt = VT_I4;
    args[1].lVal = nBytes;
    args[2].vt = VT_I4;
    args[2].lVal = nSeconds;
    FireEvent(2, args, 3);
}

void CLMVideo_SendCtrl::FireEndOfVideoShare()
{
    FireEvent(3);
}

uint32_t CLMVideo_SendCtrl::GetTickCount()
{
    return ::GetTickCount();
}

void CLMVideo_SendCtrl::DebugOutput(const wchar_t* szText)
{
    OutputDebugStringW(szText);
}

void CLMVideo_SendCtrl::WaitBeforeRetry(uint32_t nMilliseconds)
{
    Sleep(nMilliseconds);
}

void CLMVideo_SendCtrl::Paint()
{
    HWND hWnd = ControlWindow();
    RECT rc;
    CSendCapture* pEngine = m_pEngine.load();
    if (pEngine && GetUpdateRect(hWnd, &rc, FALSE)) pEngine->Redraw(rc.left, rc.top, rc.right, rc.bottom);
    // Whether a renderer painted or not, the region is done: else WM_PAINT comes back at once.
    ValidateRect(hWnd, nullptr);
}

LRESULT CLMVideo_SendCtrl::OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    CSendCapture* pEngine = m_pEngine.load();
    switch (uMsg)
    {
    case WM_SIZE:
        if (pEngine) pEngine->Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT:
        if (!IsUserMode()) break;
        Paint();
        bHandled = true;
        return 0;
    case WM_DISPLAYCHANGE:
        if (pEngine) pEngine->CheckRenderer();
        bHandled = true;
        return 0;
    case kSendReleaseRenderer:
        if (pEngine) pEngine->ReleaseRenderer(1);
        bHandled = true;
        return 0;
    case kSendChooseRenderer:
        if (pEngine)
            pEngine->ChooseRenderer(reinterpret_cast<HWND__*>(ControlWindow()), static_cast<int32_t>(wParam));
        bHandled = true;
        return 0;
    default:
        break;
    }
    return CControlBase::OnWindowMessage(uMsg, wParam, lParam, bHandled);
}

void CLMVideo_SendCtrl::OnDraw(HDC hdc, const RECT& rc)
{
    if (IsUserMode()) return;
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT text = rc;
    SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, L"LMVideo_Send", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
