// CLMVideo_RecvCtrl: the ActiveX control that shows one remote participant's video. A thin shell
// over its CRecvVideo engine: methods forward to the engine, window messages drive its drawing.
#pragma once
#include "comkit/ControlBase.h"
#include "lmvideo/recv/RecvVideo.h"

#include <atomic>

class CLMVideo_RecvCtrl final : public CControlBase, private IRecvVideoPort
{
public:
    CLMVideo_RecvCtrl();
    ~CLMVideo_RecvCtrl() override;

    // Null until the window is about to be made; read from any thread.
    CRecvVideo* Engine() const { return m_pEngine.load(); }
    HWND VideoWindow() const { return m_hVideoWnd.load(); }
    // The first-image flag: true only for the first caller after creation.
    bool TakeFirstImage() { return m_bFirstImage.exchange(false); }
    void ClearFirstImage() { m_bFirstImage = false; }

protected:
    // In user mode the window waits hidden for the first key picture; in design mode it shows.
    bool StartsHidden() const override { return IsUserMode() != FALSE; }
    void OnCreateWindow(HWND hWnd) override;
    void OnDestroyWindow(HWND hWnd) override;
    LRESULT OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnDraw(HDC hdc, const RECT& rc) override;

private:
    // IRecvVideoPort, called by the engine on any thread.
    bool PostFrame(S_RECVFRAME* pFrame, int32_t nBytes) override;
    void ShowWindowAsync() override;
    void FireKeyframeReceived() override;
    void WaitBeforeRetry(uint32_t nMilliseconds) override;

    void Paint();

    static const ControlDescription s_desc;
    std::atomic<CRecvVideo*> m_pEngine{nullptr};
    std::atomic<HWND> m_hVideoWnd{nullptr};
    std::atomic<bool> m_bFirstImage{true};
};

// The dispatch table of _DLMVideo_Recv, one entry per dispid from 1 to 21.
extern const DispEntry g_recvMethods[];
extern const size_t g_nRecvMethods;
