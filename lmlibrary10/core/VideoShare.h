// The movie player objects of GetVideoShare and GetVideoShare2: commands become messages to the
// player thread, which owns the engine.
#pragma once
#include "confclient/library/LMMediaLibrary.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMPlatform.h"
#include "lmlibrary10/core/LMThreadQueue.h"

#include <atomic>
#include <memory>
#include <thread>

// The player thread's messages.
inline constexpr uint32_t LM_SHARE_LOAD = 0x8001; // wParam: CVideoShareLoad* (the thread frees it)
inline constexpr uint32_t LM_SHARE_PLAY = 0x8002;
inline constexpr uint32_t LM_SHARE_SEEK = 0x8003; // wParam: seconds
inline constexpr uint32_t LM_SHARE_PAUSE = 0x8004;
inline constexpr uint32_t LM_SHARE_STOP = 0x8005;
inline constexpr uint32_t LM_SHARE_VOLUME = 0x8006;  // wParam: percent
inline constexpr uint32_t LM_SHARE_SEEKREL = 0x8007; // wParam: signed seconds

class CVideoShare : public CLMObjectImpl
{
public:
    // Load waits this long for the player thread.
    static constexpr int kLoadWaitMilliseconds = 10000;

    // The Speex encoder comes from LMLibrary01U.dll through pLoader (null: the platform's).
    explicit CVideoShare(ILMLibraryLoader* pLoader = nullptr) : m_pLoader(pLoader) {}
    ~CVideoShare() override;

    int ShareInit(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve);
    int ShareLoad(const wchar_t* szPath, int32_t* pInfo);
    int ShareCommand(uint32_t nMessage, intptr_t wParam = 0);
    int ShareSetVolume(int32_t nPercent);
    int ShareGetPlayTime(int32_t* pnSeconds, int32_t* pbPlaying);

private:
    struct S_START
    {
        ILMVideoShareCB* pCallback = nullptr;
        int32_t nSourceId = 0xFFFE;
        int32_t nQueueReserve = 0;
        ILMLibraryLoader* pLoader = nullptr;
        std::atomic<int32_t> bPlaying{0};
        std::atomic<int32_t> nSeconds{0};
    };
    static void PlayerThread(std::shared_ptr<CLMThreadQueue> pQueue, std::shared_ptr<S_START> pStart);

    ILMLibraryLoader* m_pLoader;
    std::shared_ptr<CLMThreadQueue> m_pQueue;
    std::shared_ptr<S_START> m_pStart;
    std::thread m_thread;
};

class CVideoShare1 : public CVideoShare, public ILMVideoShare
{
public:
    using CVideoShare::CVideoShare;
    int Init(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve) override
    {
        return ShareInit(pCallback, nSourceId, nQueueReserve);
    }
    int Load(const wchar_t* szPath, int32_t* pInfo) override { return ShareLoad(szPath, pInfo); }
    int Play() override { return ShareCommand(LM_SHARE_PLAY); }
    int Seek(int32_t nSeconds) override { return ShareCommand(LM_SHARE_SEEK, nSeconds); }
    int Pause() override { return ShareCommand(LM_SHARE_PAUSE); }
    int Stop() override { return ShareCommand(LM_SHARE_STOP); }
    int SetVolume(int32_t nPercent) override { return ShareSetVolume(nPercent); }
    int GetPlayTime(int32_t* pnSeconds, int32_t* pbPlaying) override
    {
        return ShareGetPlayTime(pnSeconds, pbPlaying);
    }
};

class CVideoShare2 : public CVideoShare, public ILMVideoShare2
{
public:
    using CVideoShare::CVideoShare;
    int Init(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve) override
    {
        return ShareInit(pCallback, nSourceId, nQueueReserve);
    }
    int Load(const wchar_t* szPath, int32_t* pInfo) override { return ShareLoad(szPath, pInfo); }
    int Play() override { return ShareCommand(LM_SHARE_PLAY); }
    int Seek(int32_t nSeconds) override { return ShareCommand(LM_SHARE_SEEK, nSeconds); }
    int Pause() override { return ShareCommand(LM_SHARE_PAUSE); }
    int Stop() override { return ShareCommand(LM_SHARE_STOP); }
    int SetVolume(int32_t nPercent) override { return ShareSetVolume(nPercent); }
    int GetPlayTime(int32_t* pnSeconds, int32_t* pbPlaying) override
    {
        return ShareGetPlayTime(pnSeconds, pbPlaying);
    }
    void SeekRelatively(int32_t nSeconds) override { ShareCommand(LM_SHARE_SEEKREL, nSeconds); }
};
