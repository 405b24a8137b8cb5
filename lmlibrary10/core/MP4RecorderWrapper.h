// The recorder object of GetMP4Recorder: converts and scales frames on the caller's thread and
// hands frames and audio to its recorder thread, which writes the file.
#pragma once
#include "confclient/library/LMMediaLibrary.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMObjectPtr.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmlibrary10/core/LMThreadQueue.h"
#include "lmlibrary10/core/MP4Recorder.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

// The recorder thread's messages.
inline constexpr uint32_t LM_MP4_VIDEO = 0x8009; // wParam: CMP4Block*, lParam: byte count
inline constexpr uint32_t LM_MP4_AUDIO = 0x800A; // wParam: CMP4Block*, lParam: byte count
inline constexpr uint32_t LM_MP4_CLOSE = 0x800B;

// One posted frame or audio block; the recorder thread frees it.
struct CMP4Block
{
    std::unique_ptr<uint8_t[]> pData;
    size_t nBytes = 0;
    int64_t nFrame = 0;       // video: the frame's place on the time line
    size_t nSilenceBytes = 0; // audio: silence standing for blocks dropped before this one
};

class CMP4RecorderWrapper : public CLMObjectImpl, public ILMMP4Recorder
{
public:
    // Frames waiting for the recorder thread beyond which new ones are dropped.
    static constexpr int kVideoPendingLimit = 6;
    static constexpr int kAudioPendingLimit = 10;

    // The codec objects come from LMLibrary01U.dll through pLoader (null: the platform's).
    explicit CMP4RecorderWrapper(ILMLibraryLoader* pLoader = nullptr);
    ~CMP4RecorderWrapper() override;

    int Start(const wchar_t* szPath, int32_t nCaptureWidth, int32_t nCaptureHeight, int32_t nOutputWidth,
              int32_t nOutputHeight, int32_t nVideoKbps, int32_t nAudioKbps, int32_t nFrameRate,
              int32_t nSampleRate, ILMMP4RecorderCB* pCallback) override;
    int AddVideoFrame(const uint8_t* pFrame, int32_t nBytes, int32_t nBitsPerPixel) override;
    int AddAudio(const uint8_t* pSamples, int32_t nBytes) override;
    int Stop() override;
    const wchar_t* GetPath() override;

    // Posted and not yet taken, over every recorder of the process.
    static int VideoPending();
    static int AudioPending();

private:
    // Posts WM_QUIT and waits for the recorder thread, which first takes what was posted.
    void EndThread();
    static void RecorderThread(std::shared_ptr<CLMThreadQueue> pQueue, S_MP4RECORDERSTART start);
    bool Post(uint32_t nMessage, std::unique_ptr<CMP4Block> pBlock);

    std::shared_ptr<CLMThreadQueue> m_pQueue;
    std::thread m_thread;
    CLMObjectPtr<IIppColorSpaceConverter> m_converter;
    CLMObjectPtr<IIppResizer> m_resizer;
    int32_t m_nCaptureWidth = 0;
    int32_t m_nCaptureHeight = 0;
    int32_t m_nOutputWidth = 0;
    int32_t m_nOutputHeight = 0;
    std::wstring m_sPath;
    bool m_bHasPath = false;
    std::atomic<bool> m_bRunning{false};
    std::atomic<int64_t> m_nFrames{0};      // frames handed over, dropped ones too
    std::atomic<size_t> m_nDroppedAudio{0}; // bytes dropped since the last audio block posted
};
