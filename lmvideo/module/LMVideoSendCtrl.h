// CLMVideo_SendCtrl: the ActiveX control that shows the local camera's preview, or a shared
// movie, and hands its pictures to the host as RecordData events (a movie's sound as
// VideoShareVoice). A shell over one send engine, made anew by each Init and InitVideoShare.
#pragma once
#include "comkit/ControlBase.h"
#include "lmvideo/capture/SendCapture.h"

#include <atomic>

class CLMVideo_SendCtrl final : public CControlBase, private ISendVideoPort
{
public:
    CLMVideo_SendCtrl();
    ~CLMVideo_SendCtrl() override;

    // Null until the first Init; read from any thread.
    CSendCapture* Engine() const { return m_pEngine.load(); }
    HWND VideoWindow() const { return ControlWindow(); }
    // Replaces the engine by a new one capturing the camera; refused on the engine's own sender
    // thread, whose end the replacement would wait for.
    BOOL Init(int16_t nCamIndex, int16_t nWidth, int16_t nHeight, int32_t nCrossBarType, BOOL bInterlace,
              int16_t nMemoryType);
    // Replaces the engine by a new one sharing a movie; refused where Init is, and inside the
    // engine's movie callbacks, whose threads the replacement would wait for.
    BOOL InitVideoShare(int16_t nMemoryType, int32_t lSSRC);
    // The capture frame-rate limit for the next format choice: kept for the engines Init makes.
    void SetFramerateLimit(int16_t nLimit);

protected:
    LRESULT OnWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnDraw(HDC hdc, const RECT& rc) override;

private:
    // ISendVideoPort, called by the engine on its threads.
    void FireRecordData(const uint8_t* pData, int32_t nBytes, const wchar_t* szFormat, int32_t nWidth,
                        int32_t nHeight, int32_t nSeconds) override;
    void FireVideoShareVoice(const uint8_t* pData, int32_t nBytes, int32_t nSeconds) override;
    void FireEndOfVideoShare() override;
    uint32_t GetTickCount() override;
    void DebugOutput(const wchar_t* szText) override;
    void WaitBeforeRetry(uint32_t nMilliseconds) override;

    void DestroyEngine();
    // A new engine in the slot, the old one gone; null when the calling thread belongs to the old.
    CSendCapture* ReplaceEngine();
    void Paint();

    static const ControlDescription s_desc;
    std::atomic<CSendCapture*> m_pEngine{nullptr};
    std::atomic<int16_t> m_nFramerateLimit{0};
};

// The dispatch table of _DLMVideo_Send, one entry per dispid from 1 to 38.
extern const DispEntry g_sendMethods[];
extern const size_t g_nSendMethods;
