// CRecvVideo: the engine of one video receive control. It decodes a participant's blocks with a
// decoder loaded by name, keeps at most a few pictures in flight towards the control's window and
// draws each with the best renderer there is. Portable: the window is reached through a port.
#pragma once
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMLock.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMRenderer.h"
#include "confclient/library/LMBuffer.h"
#include "lmvideo/module/LMVideoRules.h"
#include "lmvideo/recv/RendererChoice.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// One picture on its way to the window: made by OnRecvData, drawn and freed on the window's thread
// (or by the engine's destructor when it never arrived).
struct S_RECVFRAME
{
    int32_t nWidth;
    int32_t nHeight;
    const wchar_t* szFormat; // a constant pixel-format name
    int32_t bKeyFrame;       // 1 for raw pictures
    uint8_t* pData;          // owned by the record
    int32_t nSlot;           // 0..3
    int32_t bRaw;            // 1 when the host gave the picture, 0 when the decoder made it
    int32_t nBytes;          // bytes at pData
};

// What the engine needs of its control's window. Every call may come from any thread.
class IRecvVideoPort
{
public:
    // Posts a record to the window (its WM_USER+1 with the byte count); false when it cannot.
    virtual bool PostFrame(S_RECVFRAME* pFrame, int32_t nBytes) = 0;
    // Shows the window without waiting for its thread.
    virtual void ShowWindowAsync() = 0;
    // Fires the control's KeyframeReceived on the calling thread.
    virtual void FireKeyframeReceived() = 0;
    // Waits before the next try to set a renderer up.
    virtual void WaitBeforeRetry(uint32_t nMilliseconds) = 0;

protected:
    ~IRecvVideoPort() = default;
};

using S_RECVVIDEOMODULE = S_LMVIDEOMODULE;

class CRecvVideo : public CLMObjectImpl, private ILMRendererChoiceHost
{
public:
    static constexpr size_t kInitialOutput = 307200;
    // The decoder's output buffer grows by doubling up to this.
    static constexpr size_t kMaxOutput = 64u << 20;
    static constexpr int kSlots = 4;

    CRecvVideo(IRecvVideoPort& port, const S_RECVVIDEOMODULE& module);
    ~CRecvVideo() override;

    // One block from the host: encoded video (nWidth and nHeight 0) or a raw picture. TRUE when
    // it was taken (also when the decoder has no picture yet or an ordinary one was dropped).
    int OnRecvData(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight);
    // The window's handler of a posted record: draws it when this engine posted it and it is
    // still outstanding, then frees it. A record the engine does not know is left alone.
    void DrawPosted(const void* pRecord);
    // Draws a decoded record through the converter and the renderer.
    int Draw(const S_RECVFRAME* pFrame, int32_t nBytes);
    // Draws a raw picture at once; 0 without a renderer or for bytes the size cannot hold.
    int DrawRaw(const uint8_t* pData, int32_t nLength, int32_t nWidth, int32_t nHeight);
    int LoadCodec(const wchar_t* szLibrary, int32_t nCodecType);
    int ChooseRenderer(HWND__* hWnd, int32_t nMemoryType);
    void ReleaseRenderer(int bBroadcast);
    int CheckRenderer();
    void SetPause(int bPause);
    void RemoveUser();
    void Resize(int32_t cx, int32_t cy);
    int SetVideoFlip(int bVertical, int bHorizontal);
    // The renderer's Redraw of a client rectangle; false when no renderer painted.
    bool Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom);

    int SetName(const wchar_t* szName);
    int SetNameVisible(int bVisible);
    int SetPeakLevel(int16_t nLevel);
    int SetPeakMeterVisible(int bVisible);
    int SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize);
    int SetNameBigger(int bBigger);
    int SetPosition(int16_t nPosition);

    // The renderer's factory name; empty without a renderer.
    std::wstring GetRendererFactory();
    int IsKeyFrame() const { return m_bLastKey.load(); }
    bool IsWindowShown() const { return m_bShown.load(); }

    // The last error, read under the lock that guards it (engine errors come from two threads).
    int32_t GetLastErrorCode() override;
    const wchar_t* GetLastErrorMessage() override;
    // The last message copied out; empty when there is none.
    std::wstring CopyLastErrorMessage();
    // The code last passed to the reporter.
    int32_t GetReportedCode() const { return m_nReportedCode.load(); }

    // For tests and checks: records posted and not yet drawn, and the slots in use.
    int32_t GetInFlight() const { return m_nInFlight.load(); }
    size_t GetOutstanding();
    int GetSlotsUsed();
    size_t GetOutputCapacity() const { return m_output.GetCapacity(); }

private:
    // Records an error through the engines' reporter (its text may be null).
    int Report(int32_t nCode, int nLine, const wchar_t* szText);
    int ReportObjectError(ILMObject& object, int nLine);
    int ReportWin32Error(int nLine);
    int DecodeBlock(const uint8_t* pData, int32_t nLength, S_DECODEDFRAME& frame);
    int Queue(const uint8_t* pData, int32_t nBytes, int32_t nWidth, int32_t nHeight,
              const S_DECODEDFRAME* pFrame);
    void ForgetPosted(S_RECVFRAME* pFrame);
    static void FreeFrame(S_RECVFRAME* pFrame);
    // ILMRendererChoiceHost
    void WaitBeforeRetry(uint32_t nMilliseconds) override { m_port.WaitBeforeRetry(nMilliseconds); }
    void OnRendererNotMade() override { ReportWin32Error(__LINE__); }
    void ReleaseRendererLocked(int bBroadcast);

    IRecvVideoPort& m_port;
    S_RECVVIDEOMODULE m_module;
    CLMObjectPtr<ILMRenderer> m_renderer;
    std::atomic<int> m_bVFlip{0};
    std::atomic<int> m_bHFlip{0};
    CLMBuffer m_output;
    CLMObjectPtr<ILMVideoDecoder> m_decoder;
    IIppColorSpaceConverterPtr m_converter;
    std::atomic<int32_t> m_nInFlight{0};
    S_RECVFRAME* m_pSlots[kSlots] = {};
    // Every record posted and not yet drawn, in a slot or not.
    std::vector<S_RECVFRAME*> m_posted;
    CLMLockCS m_lock{4000};        // slots, posted records, paused flag
    CLMLockCS m_decoderLock{4000}; // the decoder and its output buffer
    CLMLockCS m_rendererLock{4000};
    CLMLockCS m_errorLock{4000};
    int m_bPaused = 0;
    std::atomic<int> m_bShown{0};
    std::atomic<int> m_bLastKey{0};
    std::atomic<int32_t> m_cx{0};
    std::atomic<int32_t> m_cy{0};
    std::atomic<int32_t> m_nReportedCode{0};
};
