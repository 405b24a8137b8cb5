// The send engine natively: the rate limiter and the frame buffers as tables, the capture path
// through the codec library's real converter and flipper with a recording renderer and host, the
// camera format choice, and destruction while the host's sink and the capture path are busy.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMPlatform.h"
#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/codecs/PictureFlipper.h"
#include "lmvideo/send/SendBase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

// ---- The rate limiter ----

// A step of a limiter script: a picture arriving at a tick with the verdict it must get, or a
// setting.
struct SLimiterStep
{
    char cKind; // 'A' arrival, 'S' SetState, 'R' SetFrameRate
    int32_t nValue;
    ESendVerdict expected = ESendVerdict::Drop;
};

struct SLimiterCase
{
    const char* szName;
    std::vector<SLimiterStep> steps;
};

constexpr ESendVerdict kFire = ESendVerdict::Fire, kDrop = ESendVerdict::Drop,
                       kSilent = ESendVerdict::PassSilently;

TEST(SendRateLimiter, Table)
{
    const SLimiterCase cases[] = {
        {"rate 5, a picture every 40 ms: an event every 200 ms",
         {{'S', 0},
          {'A', 1000, kFire},
          {'A', 1040, kDrop},
          {'A', 1080, kDrop},
          {'A', 1120, kDrop},
          {'A', 1160, kDrop},
          {'A', 1200, kFire},
          {'A', 1240, kDrop},
          {'A', 1360, kDrop},
          {'A', 1400, kFire}}},
        {"an entry 250 ms after the last makes the next interval 150 ms",
         {{'S', 0}, {'A', 0, kFire}, {'A', 250, kFire}, {'A', 399, kDrop}, {'A', 400, kFire}}},
        {"an overrun beyond the interval passes the next picture at once",
         {{'S', 0},
          {'A', 0, kFire},
          {'A', 700, kFire},
          {'A', 701, kFire},
          {'A', 702, kDrop},
          {'A', 901, kFire}}},
        {"rate 60 passes every picture",
         {{'S', 0}, {'R', 60}, {'A', 5, kFire}, {'A', 5, kFire}, {'A', 6, kFire}, {'A', 7, kFire}}},
        {"state 1, the start, keeps the timing without events until state 0",
         {{'A', 0, kSilent},
          {'A', 100, kDrop},
          {'A', 200, kSilent},
          {'S', 0},
          {'A', 201, kFire},
          {'A', 300, kDrop}}},
        {"state 2 drops every picture",
         {{'S', 2}, {'A', 0, kDrop}, {'A', 1000, kDrop}, {'S', 0}, {'A', 1001, kFire}}},
        {"frame rate 0 restarts the timing and keeps the rate",
         {{'S', 0}, {'A', 0, kFire}, {'R', 0}, {'A', 10, kFire}, {'A', 209, kDrop}, {'A', 210, kFire}}},
        {"a negative frame rate keeps the rate",
         {{'S', 0}, {'R', -5}, {'A', 0, kFire}, {'A', 199, kDrop}, {'A', 200, kFire}}},
        {"the tick count wraps", {{'S', 0}, {'A', -100, kFire}, {'A', 50, kDrop}, {'A', 100, kFire}}},
    };
    for (const SLimiterCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        CSendRateLimiter limiter;
        for (size_t i = 0; i < c.steps.size(); ++i)
        {
            const SLimiterStep& step = c.steps[i];
            if (step.cKind == 'S')
                limiter.SetState(step.nValue);
            else if (step.cKind == 'R')
                limiter.SetFrameRate(step.nValue);
            else
                EXPECT_EQ(limiter.Judge(static_cast<uint32_t>(step.nValue)), step.expected) << "step " << i;
        }
    }
}

// Frame rate 15 over a 30-picture camera (ticks rounded down to the millisecond): 15 events a
// second, one more where a rounded tick comes early enough to pass the next picture too.
TEST(SendRateLimiter, HalfTheCameraRate)
{
    CSendRateLimiter limiter;
    limiter.SetState(SEND_FIRE);
    limiter.SetFrameRate(15);
    for (int nSecond = 0; nSecond < 10; ++nSecond)
    {
        int nFired = 0;
        for (int nPicture = 0; nPicture < 30; ++nPicture)
        {
            const uint32_t nTick = static_cast<uint32_t>((nSecond * 30 + nPicture) * 1000 / 30);
            nFired += limiter.Judge(nTick) == ESendVerdict::Fire;
        }
        EXPECT_NEAR(nFired, 15, 1) << "second " << nSecond;
    }
}

// ---- The frame buffers ----

TEST(SendFrameQueue, AtMostThreeWaitPlusTheNewOne)
{
    CSendFrameQueue queue;
    for (int32_t n = 1; n <= 6; ++n)
    {
        const int nBuffer = queue.Reserve(16);
        ASSERT_GE(nBuffer, 0);
        queue.Push(nBuffer, {n, 1, 0, 16}, LM_FMT_YUV420);
    }
    EXPECT_EQ(queue.GetWaiting(), 4u);
    EXPECT_EQ(queue.GetInUse(), 4);
    // The oldest were dropped: the newest four are handed on in order.
    for (int32_t n = 3; n <= 6; ++n)
    {
        S_SENDQUEUED entry{};
        ASSERT_TRUE(queue.Pop(entry));
        EXPECT_EQ(entry.data.nWidth, n);
        queue.Release(entry.nBuffer);
    }
    EXPECT_EQ(queue.GetInUse(), 0);
}

TEST(SendFrameQueue, NeverHandsOutABusyBufferAlsoWhileGrowing)
{
    CSendFrameQueue queue;
    // One picture is in its event: its bytes must stay where they are, untouched.
    const int nHeld = queue.Reserve(100);
    uint8_t* pHeld = queue.Data(nHeld);
    memset(pHeld, 0xAB, 100);
    const size_t nLarger = CSendFrameQueue::kInitialCapacity * 3;
    for (int i = 0; i < 20; ++i)
    {
        const int nBuffer = queue.Reserve(nLarger);
        ASSERT_GE(nBuffer, 0);
        ASSERT_NE(nBuffer, nHeld);
        memset(queue.Data(nBuffer), i, nLarger); // ASan: the buffer really holds the larger picture
        queue.Push(nBuffer, {i, 1, 0, static_cast<int32_t>(nLarger)}, LM_FMT_YUV420);
    }
    EXPECT_EQ(queue.Data(nHeld), pHeld);
    EXPECT_EQ(pHeld[0], 0xAB);
    EXPECT_EQ(pHeld[99], 0xAB);
    EXPECT_EQ(queue.GetCapacity(), nLarger);

    // Every buffer busy: the new picture is dropped.
    CSendFrameQueue full;
    for (int i = 0; i < CSendFrameQueue::kBuffers; ++i)
        ASSERT_GE(full.Reserve(8), 0);
    EXPECT_EQ(full.Reserve(8), -1);

    // The held buffer grows when it comes back, and then takes the larger picture.
    queue.Release(nHeld);
    queue.Clear();
    for (int i = 0; i < CSendFrameQueue::kBuffers; ++i)
    {
        const int nBuffer = queue.Reserve(nLarger);
        ASSERT_GE(nBuffer, 0);
        memset(queue.Data(nBuffer), 1, nLarger);
    }
}

// ---- The camera format choice ----

constexpr int64_t k30Fps = 333333, k15Fps = 666666, k5Fps = 2000000, k1Fps = 10000000;

S_CAPTURECAPABILITY Cap(int32_t nType, int32_t nWidth = 352, int32_t nHeight = 288, int64_t nMax = k1Fps)
{
    return {nType, true, nWidth, nHeight, k30Fps, nMax};
}

TEST(CaptureFormat, CandidatesTable)
{
    struct SCase
    {
        const char* szName;
        std::vector<S_CAPTURECAPABILITY> caps;
        std::vector<int32_t> order; // capability indexes, best first
    };
    S_CAPTURECAPABILITY notVideoInfo = Cap(CAPTURE_I420);
    notVideoInfo.bVideoInfo = false;
    const SCase cases[] = {
        {"I420 over YUY2", {Cap(CAPTURE_YUY2), Cap(CAPTURE_I420)}, {1, 0}},
        {"MJPG only", {Cap(CAPTURE_MJPG)}, {0}},
        {"every kind by its rank",
         {Cap(CAPTURE_MJPG), Cap(CAPTURE_RGB565), Cap(CAPTURE_RGB24), Cap(CAPTURE_UYVY), Cap(CAPTURE_RGB32),
          Cap(CAPTURE_RGB555), Cap(CAPTURE_I420), Cap(CAPTURE_YUY2)},
         {6, 7, 3, 4, 2, 5, 1, 0}},
        {"equal kinds: the smaller maximum interval first",
         {Cap(CAPTURE_YUY2, 352, 288, k1Fps), Cap(CAPTURE_YUY2, 352, 288, k5Fps),
          Cap(CAPTURE_YUY2, 352, 288, k15Fps)},
         {2, 1, 0}},
        {"no exact size: nothing", {Cap(CAPTURE_I420, 320, 240), Cap(CAPTURE_I420, 352, 144)}, {}},
        {"bottom-up heights are not the size", {Cap(CAPTURE_RGB24, 352, -288)}, {}},
        {"other subtypes and format blocks are skipped", {Cap(CAPTURE_NONE), notVideoInfo, Cap(9)}, {}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        std::vector<int32_t> order;
        for (const S_CAPTURECANDIDATE& candidate : LMCaptureCandidates(c.caps, 352, 288))
            order.push_back(candidate.nCapability);
        EXPECT_EQ(order, c.order);
    }
}

TEST(CaptureFormat, TableLimitAndDevice)
{
    const S_CAPTUREFORMAT mjpg = LMCaptureFormat(CAPTURE_MJPG, 352, 288);
    EXPECT_TRUE(mjpg.bMjpeg);
    EXPECT_STREQ(mjpg.szName, LM_FMT_YUV420);
    EXPECT_EQ(mjpg.nBytes, 352 * 288 * 3 / 2);
    const S_CAPTUREFORMAT rgb24 = LMCaptureFormat(CAPTURE_RGB24, 176, 144);
    EXPECT_TRUE(rgb24.bFlip);
    EXPECT_EQ(rgb24.nBytes, 176 * 144 * 3);
    EXPECT_STREQ(LMCaptureFormat(CAPTURE_YUY2, 2, 2).szName, LM_FMT_YUY2);
    EXPECT_STREQ(LMCaptureFormat(CAPTURE_NONE, 2, 2).szName, LM_FMT_NONE);

    const S_CAPTURECANDIDATE candidate{CAPTURE_I420, 0, k30Fps, k1Fps};
    EXPECT_EQ(LMLimitedInterval(0, candidate), 0);
    EXPECT_EQ(LMLimitedInterval(15, candidate), k15Fps);
    EXPECT_EQ(LMLimitedInterval(30, candidate), k30Fps);
    // Faster than the device allows: its own rate stays.
    EXPECT_EQ(LMLimitedInterval(60, candidate), 0);

    EXPECT_EQ(LMCaptureDeviceIndex(1, 2), 1);
    EXPECT_EQ(LMCaptureDeviceIndex(2, 2), 0);
    EXPECT_EQ(LMCaptureDeviceIndex(-1, 2), 0);
}

TEST(CaptureFormat, CrossbarRouteTable)
{
    constexpr int32_t kTuner = 1, kComposite = 2, kSVideo = 3, kDecoder = LM_PHYSCONN_VIDEO_DECODER,
                      kAudio = 4098;
    struct SCase
    {
        const char* szName;
        std::vector<int32_t> inputs, outputs;
        int32_t nRequested;
        S_CROSSBARROUTE route;
    };
    const SCase cases[] = {
        {"the input of the type to the decoder",
         {kTuner, kComposite, kSVideo},
         {kDecoder, kAudio},
         kComposite,
         {1, 0}},
        {"the last input of the type", {kComposite, kSVideo, kComposite}, {kDecoder}, kComposite, {2, 0}},
        {"the first decoder output", {kSVideo}, {kAudio, kDecoder, kDecoder}, kSVideo, {0, 1}},
        {"no input of the type", {kTuner, kComposite}, {kDecoder}, kSVideo, {-1, 0}},
        {"no decoder output", {kComposite}, {kAudio}, kComposite, {0, -1}},
        {"an empty crossbar", {}, {}, kComposite, {-1, -1}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        const S_CROSSBARROUTE route = LMCrossbarRoute(c.inputs, c.outputs, c.nRequested);
        EXPECT_EQ(route.nInput, c.route.nInput);
        EXPECT_EQ(route.nOutput, c.route.nOutput);
    }
}

// ---- The engine ----

// The codec library's picture objects, as its library exports them.
class CTestConverter : public CLMObjectImpl, public IIppColorSpaceConverter
{
public:
    int Convert(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (!m_converter.Convert(pSource, nSourceBytes, source, pTarget, nTargetBytes, target, true))
            return SetError(m_converter.ErrorCode(), L"Test", __LINE__, L"convert");
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    PictureConverter m_converter;
};

class CTestFlipper : public CLMObjectImpl, public IIppFlipper
{
public:
    int Flip(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
             int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (!m_flipper.Flip(pSource, nSourceBytes, source, pTarget, nTargetBytes, target))
            return SetError(m_flipper.ErrorCode(), L"Test", __LINE__, L"flip");
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    PictureFlipper m_flipper;
};

// What the tests' objects share with the test.
struct SSendWorld
{
    std::mutex lock;
    int16_t nBitsPerPixel = 32;
    int nDraws = 0;
    Bytes lastDrawn;
    int32_t nDrawWidth = 0, nDrawHeight = 0;
    // The JPEG decoder's script: the size it claims it decoded, and the limit it was given.
    int32_t nJpegWidth = 0, nJpegHeight = 0;
    int32_t nJpegLimitWidth = 0, nJpegLimitHeight = 0;
};
SSendWorld* g_send = nullptr;

// Claims the scripted size; refuses, as the real one does, a picture beyond its limit.
class CTestJpegDecoder : public CLMObjectImpl, public IIppMjpegDecoder
{
public:
    int Decode(const uint8_t* pSource, int32_t nLength, int32_t, uint8_t* pOutput,
               S_LMPICTURE* pPicture) override
    {
        g_send->nJpegLimitWidth = pPicture->nWidth;
        g_send->nJpegLimitHeight = pPicture->nHeight;
        const int32_t nWidth = g_send->nJpegWidth, nHeight = g_send->nJpegHeight;
        if (nWidth > pPicture->nWidth || nHeight > pPicture->nHeight)
            return SetError(kCodecInvalidArgument, L"Test", __LINE__, L"larger than the limit");
        memset(pOutput, pSource[0], static_cast<size_t>(nWidth) * nHeight * 3 / 2);
        *pPicture = {nWidth, nHeight, LM_FMT_YUV420, 0};
        return SetError(0, nullptr, 0, nullptr);
    }
};

class CTestRenderer : public CLMObjectImpl, public ILMRenderer
{
public:
    int Init(HWND__*) override { return 1; }
    int Redraw(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    int Draw(int32_t nBytes, const uint8_t* pData, int32_t nWidth, int32_t nHeight) override
    {
        std::lock_guard<std::mutex> guard(g_send->lock);
        ++g_send->nDraws;
        g_send->lastDrawn.assign(pData, pData + nBytes);
        g_send->nDrawWidth = nWidth;
        g_send->nDrawHeight = nHeight;
        return 1;
    }
    int Resize(int32_t, int32_t) override { return 1; }
    int Reset(int32_t) override { return 1; }
    HWND__* GetWindow() override { return nullptr; }
    int Check() override { return 1; }
    int16_t GetBitsPerPixel() override { return g_send->nBitsPerPixel; }
    int SetMemoryType(int32_t) override { return 1; }
    int32_t GetMemoryType() override { return 0; }
    int SetName(const wchar_t*) override { return 1; }
    int SetNameVisible(int) override { return 1; }
    int SetPeakLevel(int16_t) override { return 1; }
    int SetPeakMeterVisible(int) override { return 1; }
    int SetFont(const wchar_t*, int16_t, int16_t) override { return 1; }
    int SetNameBigger(int) override { return 1; }
    int SetPosition(int16_t) override { return 1; }
};

ILMObject* MakeConverter()
{
    return new CTestConverter;
}
ILMObject* MakeFlipper()
{
    return new CTestFlipper;
}
ILMObject* MakeJpegDecoder()
{
    return new CTestJpegDecoder;
}
ILMObject* MakeRenderer()
{
    return new CTestRenderer;
}

std::string Narrow(const wchar_t* sz)
{
    std::string s;
    for (; *sz; ++sz)
        s += static_cast<char>(*sz);
    return s;
}

// The codec library's picture objects and only the GDI renderer (the others are missing).
class CSendLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t*) override { return reinterpret_cast<void*>(1); }
    LMFactoryFunction FindFactory(void*, const wchar_t* szFactory) override
    {
        static const std::map<std::string, LMFactoryFunction> factories = {
            {"GetColorSpaceConverter", &MakeConverter},
            {"GetFlipper", &MakeFlipper},
            {"GetMjpegDecoder", &MakeJpegDecoder},
            {"GetLMGDIRenderer", &MakeRenderer},
        };
        auto it = factories.find(Narrow(szFactory));
        if (it == factories.end())
        {
            LMSetThreadError(LM_ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        return it->second;
    }
};

struct SEvent
{
    Bytes bytes;
    std::wstring format;
    int32_t nWidth, nHeight, nSeconds;
    std::thread::id thread;
};

// The host: keeps every event; the clock is the test's.
class CSendPort : public ISendVideoPort
{
public:
    void FireRecordData(const uint8_t* pData, int32_t nBytes, const wchar_t* szFormat, int32_t nWidth,
                        int32_t nHeight, int32_t nSeconds) override
    {
        if (pfnInSink) pfnInSink();
        std::lock_guard<std::mutex> guard(m_lock);
        events.push_back(
            {Bytes(pData, pData + nBytes), szFormat, nWidth, nHeight, nSeconds, std::this_thread::get_id()});
        m_changed.notify_all();
    }
    void FireVideoShareVoice(const uint8_t*, int32_t, int32_t) override {}
    void FireEndOfVideoShare() override {}
    uint32_t GetTickCount() override { return nNow.load(); }
    void DebugOutput(const wchar_t* szText) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        debug += szText;
    }
    void WaitBeforeRetry(uint32_t) override {}

    // Waits until n events came; false when they did not within a generous bound.
    bool WaitForEvents(size_t n)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_changed.wait_for(guard, std::chrono::seconds(30), [&] { return events.size() >= n; });
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return events.size();
    }

    std::vector<SEvent> events;
    std::wstring debug;
    std::atomic<uint32_t> nNow{1000};
    void (*pfnInSink)() = nullptr;

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// Waits until the sender thread has taken every queued picture and finished with it.
void Drain(CSendBase& engine)
{
    for (int i = 0; i < 30000 && (engine.GetWaiting() || engine.GetBuffersInUse()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(engine.GetWaiting(), 0u);
    ASSERT_EQ(engine.GetBuffersInUse(), 0);
}

HWND__* const kWindow = reinterpret_cast<HWND__*>(0x4321);

// A picture whose every byte tells its row and column.
Bytes Pattern(int64_t nBytes, int32_t nRowBytes)
{
    Bytes picture(static_cast<size_t>(nBytes));
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i / nRowBytes * 7 + i % nRowBytes);
    return picture;
}

class SendBaseTest : public testing::Test
{
protected:
    void SetUp() override { g_send = &world; }
    void TearDown() override
    {
        engine.reset();
        g_send = nullptr;
    }

    // An engine capturing nWidth x nHeight of a kind, with a renderer, firing every picture.
    CSendBase& Make(int32_t nType, int32_t nWidth, int32_t nHeight, int bInterlace = 0)
    {
        engine = std::make_unique<CSendBase>(port, S_LMVIDEOMODULE{&renderers, {-1, 0}, &loader});
        engine->SetCaptureSize(nWidth, nHeight);
        engine->SetCaptureFormat(LMCaptureFormat(nType, nWidth, nHeight));
        engine->SetInterlace(bInterlace);
        EXPECT_EQ(engine->ChooseRenderer(kWindow, 0), 1);
        engine->SetFramerate(CSendRateLimiter::kEveryPicture);
        engine->SetPause(SEND_FIRE);
        return *engine;
    }
    int Capture(const Bytes& picture)
    {
        return engine->BufferCB(0.0, picture.data(), static_cast<int32_t>(picture.size()));
    }

    struct CNoBroadcast : ILMVideoBroadcaster
    {
        void Broadcast(const wchar_t*) override {}
    } broadcaster;
    CLMRendererCount renderers{broadcaster};
    CSendLoader loader;
    CSendPort port;
    SSendWorld world;
    std::unique_ptr<CSendBase> engine;
};

TEST_F(SendBaseTest, CapturedPicturesReachTheHostOnTheSenderThread)
{
    struct SCase
    {
        const char* szName;
        int32_t nType, nWidth, nHeight;
        const wchar_t* szFormat;
    };
    const SCase cases[] = {
        {"I420", CAPTURE_I420, 32, 16, LM_FMT_YUV420},
        {"YUY2", CAPTURE_YUY2, 32, 16, LM_FMT_YUY2},
        {"UYVY", CAPTURE_UYVY, 32, 16, LM_FMT_UYVY},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        Make(c.nType, c.nWidth, c.nHeight);
        const int64_t nBytes = LMPictureBytes(c.szFormat, c.nWidth, c.nHeight);
        const Bytes picture = Pattern(nBytes, c.nWidth);
        const size_t nBefore = port.Count();
        EXPECT_EQ(Capture(picture), 0);
        ASSERT_TRUE(port.WaitForEvents(nBefore + 1));
        const SEvent& event = port.events.back();
        EXPECT_EQ(event.bytes, picture);
        EXPECT_EQ(event.format, c.szFormat);
        EXPECT_EQ(event.nWidth, c.nWidth);
        EXPECT_EQ(event.nHeight, c.nHeight);
        EXPECT_EQ(event.nSeconds, 0);
        EXPECT_NE(event.thread, std::this_thread::get_id());
        engine.reset();
    }
}

TEST_F(SendBaseTest, BottomUpRgbIsTurnedUpright)
{
    Make(CAPTURE_RGB24, 8, 5);
    const Bytes picture = Pattern(8 * 5 * 3, 8 * 3);
    EXPECT_EQ(Capture(picture), 0);
    ASSERT_TRUE(port.WaitForEvents(1));
    const Bytes& upright = port.events[0].bytes;
    ASSERT_EQ(upright.size(), picture.size());
    for (int nRow = 0; nRow < 5; ++nRow)
        EXPECT_EQ(memcmp(&upright[nRow * 24], &picture[(4 - nRow) * 24], 24), 0) << "row " << nRow;
}

TEST_F(SendBaseTest, InterlacingKeepsTheEvenLinesAsYuy2)
{
    struct SCase
    {
        const char* szName;
        int32_t nType, nHeight;
    };
    // YUY2 is taken as it is; I420 is converted first, its luma kept exactly.
    const SCase cases[] = {
        {"YUY2, even height", CAPTURE_YUY2, 8},
        {"YUY2, odd height", CAPTURE_YUY2, 9},
        {"I420, even height", CAPTURE_I420, 10},
    };
    constexpr int32_t nWidth = 16;
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        Make(c.nType, nWidth, c.nHeight, 1);
        const Bytes picture = Pattern(LMCaptureFormat(c.nType, nWidth, c.nHeight).nBytes,
                                      c.nType == CAPTURE_YUY2 ? nWidth * 2 : nWidth);
        const size_t nBefore = port.Count();
        EXPECT_EQ(Capture(picture), 0);
        ASSERT_TRUE(port.WaitForEvents(nBefore + 1));
        const SEvent& event = port.events.back();
        EXPECT_EQ(event.format, LM_FMT_YUY2);
        EXPECT_EQ(event.nWidth, nWidth);
        EXPECT_EQ(event.nHeight, c.nHeight / 2);
        ASSERT_EQ(event.bytes.size(), static_cast<size_t>(nWidth * 2 * (c.nHeight / 2)));
        for (int32_t nRow = 0; nRow < c.nHeight / 2; ++nRow)
            for (int32_t x = 0; x < nWidth; ++x)
            {
                const uint8_t nLuma = event.bytes[nRow * nWidth * 2 + x * 2];
                const uint8_t nSource = c.nType == CAPTURE_YUY2 ? picture[2 * nRow * nWidth * 2 + x * 2]
                                                                : picture[2 * nRow * nWidth + x];
                ASSERT_EQ(nLuma, nSource) << "row " << nRow << " column " << x;
            }
        engine.reset();
    }
}

TEST_F(SendBaseTest, PicturesThatCannotBeUsedAreIgnored)
{
    Make(CAPTURE_I420, 32, 16);
    // A length other than the format's.
    EXPECT_EQ(Capture(Bytes(32 * 16 * 3 / 2 - 1, 1)), 1);
    EXPECT_EQ(Capture(Bytes(32 * 16 * 3 / 2 + 1, 1)), 1);
    EXPECT_EQ(engine->BufferCB(0.0, nullptr, 0), 1);
    // Without a renderer nothing is captured.
    engine->ReleaseRenderer(0);
    EXPECT_EQ(Capture(Bytes(32 * 16 * 3 / 2, 1)), 1);
    EXPECT_EQ(engine->ChooseRenderer(kWindow, 0), 1);
    // State 2 takes the picture and does nothing with it.
    engine->SetPause(SEND_IGNORE);
    EXPECT_EQ(Capture(Bytes(32 * 16 * 3 / 2, 1)), 0);
    EXPECT_EQ(engine->GetWaiting(), 0u);
    EXPECT_EQ(world.nDraws, 0);
    Drain(*engine);
    EXPECT_EQ(port.Count(), 0u);
}

TEST_F(SendBaseTest, JpegPicturesAreDecodedWithinTheCaptureSize)
{
    Make(CAPTURE_MJPG, 32, 16);
    world.nJpegWidth = 32;
    world.nJpegHeight = 16;
    // Any length: a JPEG picture has no fixed size.
    EXPECT_EQ(Capture(Bytes(77, 0x33)), 0);
    ASSERT_TRUE(port.WaitForEvents(1));
    EXPECT_EQ(port.events[0].format, LM_FMT_YUV420);
    EXPECT_EQ(port.events[0].bytes, Bytes(32 * 16 * 3 / 2, 0x33));
    EXPECT_EQ(world.nJpegLimitWidth, 32);
    EXPECT_EQ(world.nJpegLimitHeight, 16);

    // A larger or corrupt picture is refused, not written past the buffer.
    world.nJpegWidth = 64;
    EXPECT_EQ(Capture(Bytes(77, 0x44)), 1);
    Drain(*engine);
    EXPECT_EQ(port.Count(), 1u);
    EXPECT_EQ(port.debug, L"MJPG Decoding Failed\n");
}

TEST_F(SendBaseTest, StateOneIsSilentUntilStateZero)
{
    Make(CAPTURE_I420, 32, 16);
    engine->SetPause(SEND_SILENT);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Capture(Bytes(32 * 16 * 3 / 2, static_cast<uint8_t>(i))), 0);
        Drain(*engine);
    }
    EXPECT_EQ(port.Count(), 0u);
    engine->SetPause(SEND_FIRE);
    EXPECT_EQ(Capture(Bytes(32 * 16 * 3 / 2, 9)), 0);
    ASSERT_TRUE(port.WaitForEvents(1));
    EXPECT_EQ(port.events[0].bytes[0], 9);
}

TEST_F(SendBaseTest, PreviewIsUprightAndMirroredAsTheFlagsSay)
{
    constexpr int32_t nWidth = 4, nHeight = 3;
    world.nBitsPerPixel = 24;
    Make(CAPTURE_RGB24, nWidth, nHeight);
    const Bytes picture = Pattern(nWidth * nHeight * 3, nWidth * 3);
    auto Pixel = [&](const Bytes& p, int x, int y)
    { return Bytes(&p[(y * nWidth + x) * 3], &p[(y * nWidth + x) * 3 + 3]); };

    struct SCase
    {
        int bVFlip, bHFlip;
    };
    for (const SCase c : {SCase{0, 0}, SCase{1, 0}, SCase{0, 1}, SCase{1, 1}})
    {
        SCOPED_TRACE(testing::Message() << "vertical " << c.bVFlip << " horizontal " << c.bHFlip);
        EXPECT_EQ(engine->SetVideoFlip(c.bVFlip, c.bHFlip), 1);
        EXPECT_EQ(Capture(picture), 0);
        std::lock_guard<std::mutex> guard(world.lock);
        ASSERT_EQ(world.nDrawWidth, nWidth);
        ASSERT_EQ(world.nDrawHeight, nHeight);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
            {
                // The capture is bottom-up: the upright row y is the source row nHeight-1-y.
                const int xs = c.bHFlip ? nWidth - 1 - x : x;
                const int ys = c.bVFlip ? y : nHeight - 1 - y;
                ASSERT_EQ(Pixel(world.lastDrawn, x, y), Pixel(picture, xs, ys)) << x << "," << y;
            }
    }
}

// Packed 4:2:2 is previewed through planar 4:2:0 where the height allows it: either way the
// colours are those of a direct conversion, and neither chroma plane is lost or swapped.
TEST_F(SendBaseTest, Yuy2PreviewShowsThePicturesColours)
{
    constexpr int32_t nWidth = 16;
    for (const int32_t nHeight : {8, 9})
    {
        SCOPED_TRACE(testing::Message() << "height " << nHeight);
        Make(CAPTURE_YUY2, nWidth, nHeight);
        Bytes picture(static_cast<size_t>(nWidth * nHeight * 2));
        for (size_t i = 0; i < picture.size(); i += 4)
        {
            picture[i] = static_cast<uint8_t>(40 + i / 4 % 50);
            picture[i + 1] = 90; // U
            picture[i + 2] = static_cast<uint8_t>(180 - i / 4 % 60);
            picture[i + 3] = 170; // V
        }
        Bytes expected(static_cast<size_t>(nWidth * nHeight * 4));
        PictureConverter direct;
        ASSERT_TRUE(direct.Convert(picture.data(), static_cast<int32_t>(picture.size()),
                                   {nWidth, nHeight, LM_FMT_YUY2, 0}, expected.data(),
                                   static_cast<int32_t>(expected.size()), {nWidth, nHeight, LM_FMT_RGB32, 0},
                                   true));
        EXPECT_EQ(Capture(picture), 0);
        {
            std::lock_guard<std::mutex> guard(world.lock);
            ASSERT_EQ(world.nDrawWidth, nWidth) << engine->CopyLastErrorMessage();
            ASSERT_EQ(world.nDrawHeight, nHeight);
            ASSERT_EQ(world.lastDrawn.size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i)
                ASSERT_NEAR(world.lastDrawn[i], expected[i], 3) << "byte " << i;
        }
        engine.reset();
    }
}

TEST_F(SendBaseTest, RendererIsKeptForItsWindowAndCounted)
{
    Make(CAPTURE_I420, 32, 16);
    EXPECT_EQ(renderers.GetCount(), 1);
    EXPECT_EQ(engine->ChooseRenderer(kWindow, 0), 1);
    EXPECT_EQ(renderers.GetCount(), 1);
    EXPECT_EQ(engine->GetRendererFactory(), LM_FACTORY_GDIRENDERER);
    engine->ReleaseRenderer(1);
    EXPECT_EQ(renderers.GetCount(), 0);
    EXPECT_EQ(engine->DrawImage(Bytes(4).data(), 4, 1, 1), 0);
    engine.reset();
    EXPECT_EQ(renderers.GetCount(), 0);
}

// The Windows side's order: the stop flag first, then the capture's streaming thread ends, then
// the engine goes.
class CFedEngine : public CSendBase
{
public:
    using CSendBase::CSendBase;
    ~CFedEngine() override
    {
        BeginStop();
        if (feeder.joinable()) feeder.join();
    }
    std::thread feeder;
};

std::atomic<bool> g_bDestroying{false};
std::atomic<int> g_nInSink{0};

void BlockInSink()
{
    ++g_nInSink;
    // The sink holds on until destruction has begun.
    while (!g_bDestroying.load())
        std::this_thread::yield();
}

TEST_F(SendBaseTest, DestructionWhileTheSinkBlocksAndPicturesArrive)
{
    for (int nRound = 0; nRound < 5; ++nRound)
    {
        g_bDestroying = false;
        g_nInSink = 0;
        port.pfnInSink = &BlockInSink;
        auto fed = std::make_unique<CFedEngine>(port, S_LMVIDEOMODULE{&renderers, {-1, 0}, &loader});
        fed->SetCaptureSize(16, 8);
        fed->SetCaptureFormat(LMCaptureFormat(CAPTURE_RGB24, 16, 8));
        ASSERT_EQ(fed->ChooseRenderer(kWindow, 0), 1);
        fed->SetFramerate(CSendRateLimiter::kEveryPicture);
        fed->SetPause(SEND_FIRE);
        CFedEngine* pEngine = fed.get();
        fed->feeder = std::thread(
            [pEngine]
            {
                const Bytes picture(16 * 8 * 3, 5);
                // Until the engine refuses pictures for good.
                while (pEngine->BufferCB(0.0, picture.data(), static_cast<int32_t>(picture.size())) == 0)
                    std::this_thread::yield();
            });
        while (g_nInSink.load() == 0)
            std::this_thread::yield();
        std::thread releaser([] { g_bDestroying = true; });
        fed.reset();
        releaser.join();
        port.pfnInSink = nullptr;
    }
    EXPECT_EQ(renderers.GetCount(), 0);
}
} // namespace
