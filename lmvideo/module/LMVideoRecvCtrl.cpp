// The receive control's shell: its engine, window messages and design-mode drawing.
#include "lmvideo/module/LMVideoRecvCtrl.h"

#include "lmvideo/module/LMVideoApp.h"
#include "lmvideo/module/LMVideoGuids.h"

const ControlDescription CLMVideo_RecvCtrl::s_desc = {
    &CLSID_LMVideo_Recv, &DIID_DLMVideo_Recv, &DIID_DLMVideo_RecvEvents,
    g_recvMethods,       g_nRecvMethods,      kRecvMiscStatus};

CLMVideo_RecvCtrl::CLMVideo_RecvCtrl() : CControlBase(s_desc) {}

CLMVideo_RecvCtrl::~CLMVideo_RecvCtrl()
{
    if (CRecvVideo* pEngine = m_pEngine.exchange(nullptr)) pEngine->Destroy();
}

void CLMVideo_RecvCtrl::OnCreateWindow(HWND hWnd)
{
    m_hVideoWnd = hWnd;
    if (m_pEngine.load()) return;
    CLMVideoApp& app = LMVideoApp();
    m_pEngine =
        new CRecvVideo(*this, {&app.GetRendererCount(), CLMVideoApp::GetWindowsVersionClass(), nullptr});
}

void CLMVideo_RecvCtrl::OnDestroyWindow(HWND)
{
    // Records posted to a window that is gone stay with the engine, which frees them.
    m_hVideoWnd = nullptr;
}

bool CLMVideo_RecvCtrl::PostFrame(S_RECVFRAME* pFrame, int32_t nBytes)
{
    HWND hWnd = m_hVideoWnd.load();
    if (!hWnd)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return PostMessageW(hWnd, kRecvDrawFrame, reinterpret_cast<WPARAM>(pFrame), nBytes) != FALSE;
}

void CLMVideo_RecvCtrl::ShowWindowAsync()
{
    // The network thread never waits for the window's thread, which joins it at logout.
    if (HWND hWnd = m_hVideoWnd.load()) ::ShowWindowAsync(hWnd, SW_SHOWNA);
}

void CLMVideo_RecvCtrl::FireKeyframeReceived()
{
    FireEvent(1);
}

void CLMVideo_RecvCtrl::WaitBeforeRetry(uint32_t nMilliseconds)
{
    Sleep(nMilliseconds);
}

void CLMVideo_RecvCtrl::Paint()
{
    HWND hWnd = ControlWindow();
    RECT rc;
    CRecvVideo* pEngine = m_pEngine.load();
    if (pEngine && GetUpdateRect(hWnd, &rc, FALSE)) pEngine->Redraw(rc.left, rc.top, rc.right, rc.bottom);
    // Whether a renderer painted or not, the region is done: else WM_PAINT comes back at once.
    ValidateRect(hWnd, nullptr);
}

LRESULT CLMVideo_RecvCtrl::OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    CRecvVideo* pEngine = m_pEngine.load();
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
    case kRecvDrawFrame:
        if (pEngine) pEngine->DrawPosted(reinterpret_cast<const void*>(wParam));
        bHandled = true;
        return 0;
    case kRecvReleaseRenderer:
        if (pEngine) pEngine->ReleaseRenderer(1);
        bHandled = true;
        return 0;
    case kRecvChooseRenderer:
        if (pEngine)
            pEngine->ChooseRenderer(reinterpret_cast<HWND__*>(ControlWindow()), static_cast<int32_t>(wParam));
        bHandled = true;
        return 0;
    default:
        break;
    }
    return CControlBase::OnWindowMessage(uMsg, wParam, lParam, bHandled);
}

void CLMVideo_RecvCtrl::OnDraw(HDC hdc, const RECT& rc)
{
    if (IsUserMode()) return;
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT text = rc;
    SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, L"LMVideo_Recv", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
