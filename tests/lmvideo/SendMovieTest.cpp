// The send engine's movie share natively: the media library's real player over movies Debian's
// ffmpeg made (pictures through the engine's queue and sender thread, sound packets to the host,
// the ends, play after the end, stop, seek), a scripted player for the callbacks' edges, and
// destruction while the host's movie sinks are busy.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmlibrary10/core/VideoShare.h"
#include "lmvideo/fixtures/StampedPattern.h"
#include "lmvideo/send/SendBase.h"
#include "tests/medialib/MediaTestObjects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int32_t kSourceId = 0x51A7C0DE;
HWND__* const kWindow = reinterpret_cast<HWND__*>(0x4321);

std::string Movie(const char* szName)
{
    return std::string(QUILLON_MOVIES) + "/" + szName;
}

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

// What the renderer saw.
struct SDrawn
{
    std::mutex lock;
    int nDraws = 0, nResets = 0;
    int32_t nWidth = 0, nHeight = 0;
};
SDrawn* g_drawn = nullptr;

class CTestRenderer : public CLMObjectImpl, public ILMRenderer
{
public:
    int Init(HWND__*) override { return 1; }
    int Redraw(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    int Draw(int32_t, const uint8_t*, int32_t nWidth, int32_t nHeight) override
    {
        std::lock_guard<std::mutex> guard(g_drawn->lock);
        ++g_drawn->nDraws;
        g_drawn->nWidth = nWidth;
        g_drawn->nHeight = nHeight;
        return 1;
    }
    int Resize(int32_t, int32_t) override { return 1; }
    int Reset(int32_t) override
    {
        std::lock_guard<std::mutex> guard(g_drawn->lock);
        ++g_drawn->nResets;
        return 1;
    }
    HWND__* GetWindow() override { return nullptr; }
    int Check() override { return 1; }
    int16_t GetBitsPerPixel() override { return 32; }
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

// A player that does what the test says: it keeps the callback for the test to call.
class CScriptedShare : public CLMObjectImpl, public ILMVideoShare2
{
public:
    static inline ILMVideoShareCB* pCallback = nullptr;
    static inline std::atomic<int> nStops{0};
    ~CScriptedShare() override { pCallback = nullptr; }
    int Init(ILMVideoShareCB* p, int32_t, int32_t) override { return pCallback = p, 1; }
    int Load(const wchar_t*, int32_t* pInfo) override
    {
        const S_VIDEOSHAREINFO info{7, 0, 0, 16, 8, 25};
        memcpy(pInfo, &info, sizeof info);
        return 1;
    }
    int Play() override { return 1; }
    int Seek(int32_t) override { return 1; }
    int Pause() override { return 1; }
    int Stop() override { return ++nStops, 1; }
    int SetVolume(int32_t nPercent) override { return nPercent <= 200; }
    int GetPlayTime(int32_t* pnSeconds, int32_t* pbPlaying) override
    {
        return *pnSeconds = 5, *pbPlaying = 1, 1;
    }
    void SeekRelatively(int32_t) override {}
};

enum class EShareKind
{
    Real,
    Scripted,
    Missing, // the library cannot be loaded and leaves no reason
};
EShareKind g_shareKind = EShareKind::Real;
CTestCodecLoader g_codecs;

ILMObject* MakeRenderer()
{
    return new CTestRenderer;
}
ILMObject* MakeShare()
{
    if (g_shareKind == EShareKind::Scripted) return new CScriptedShare;
    return new CVideoShare2(&g_codecs);
}

// The codec objects of the media library's tests, the GDI renderer and the player.
class CMovieLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t* szLibrary) override
    {
        if (wcscmp(szLibrary, LM_MEDIA_LIBRARY) == 0)
        {
            if (g_shareKind == EShareKind::Missing)
            {
                LMSetThreadError(0);
                return nullptr;
            }
            return this;
        }
        return g_codecs.LoadLibraryByName(L"LMLibrary01U.dll");
    }
    LMFactoryFunction FindFactory(void* hLibrary, const wchar_t* szFactory) override
    {
        if (wcscmp(szFactory, LM_FACTORY_VIDEOSHARE2) == 0) return &MakeShare;
        if (wcscmp(szFactory, L"GetLMGDIRenderer") == 0) return &MakeRenderer;
        if (hLibrary == this) return nullptr;
        return g_codecs.FindFactory(hLibrary, szFactory);
    }
};

struct SPicture
{
    int32_t nStamp, nSeconds, nWidth, nHeight;
    std::wstring format;
};

// The host: keeps every event; its sinks may be told to wait.
class CMoviePort : public ISendVideoPort
{
public:
    void FireRecordData(const uint8_t* pData, int32_t nBytes, const wchar_t* szFormat, int32_t nWidth,
                        int32_t nHeight, int32_t nSeconds) override
    {
        const int32_t nStamp = nBytes >= nWidth * nHeight ? ReadPatternStamp(pData, nWidth, nHeight) : -2;
        signal.Notify([&] { pictures.push_back({nStamp, nSeconds, nWidth, nHeight, szFormat}); });
    }
    void FireVideoShareVoice(const uint8_t* pData, int32_t nBytes, int32_t nSeconds) override
    {
        if (pfnInVoice) pfnInVoice();
        signal.Notify([&] { packets.push_back({Bytes(pData, pData + nBytes), nSeconds}); });
    }
    void FireEndOfVideoShare() override
    {
        if (pfnInEnd) pfnInEnd();
        signal.Notify([&] { ++nEnds; });
    }
    uint32_t GetTickCount() override
    {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    void DebugOutput(const wchar_t* szText) override
    {
        signal.Notify([&] { debug += szText; });
    }
    void WaitBeforeRetry(uint32_t) override {}

    template <class F> auto Locked(F f)
    {
        std::lock_guard<std::mutex> guard(signal.Lock());
        return f();
    }

    struct SPacket
    {
        Bytes bytes;
        int32_t nSeconds;
    };
    CTestSignal signal;
    std::vector<SPicture> pictures;
    std::vector<SPacket> packets;
    int nEnds = 0;
    std::wstring debug;
    std::function<void()> pfnInVoice, pfnInEnd;
};

class SendMovieTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_drawn = &drawn;
        g_shareKind = EShareKind::Real;
    }
    void TearDown() override
    {
        engine.reset();
        g_drawn = nullptr;
    }
    CSendBase& Make(bool bShare = true)
    {
        engine = std::make_unique<CSendBase>(port, S_LMVIDEOMODULE{&renderers, {-1, 0}, &loader});
        engine->SetFramerate(CSendRateLimiter::kEveryPicture);
        engine->SetPause(SEND_FIRE);
        if (bShare)
        {
            EXPECT_EQ(engine->StartShare(kWindow, 0, kSourceId), 1) << Narrow();
        }
        return *engine;
    }
    std::string Narrow()
    {
        std::string s;
        for (wchar_t c : engine->CopyLastErrorMessage())
            s += static_cast<char>(c);
        return s;
    }
    S_VIDEOSHAREINFO Info() { return *engine->GetMovieInfo(); }
    bool WaitForEnds(int n)
    {
        return port.signal.WaitUntil([&] { return port.nEnds >= n; });
    }
    bool WaitForPictures(size_t n)
    {
        return port.signal.WaitUntil([&] { return port.pictures.size() >= n; });
    }

    struct CNoBroadcast : ILMVideoBroadcaster
    {
        void Broadcast(const wchar_t*) override {}
    } broadcaster;
    CLMRendererCount renderers{broadcaster};
    CMovieLoader loader;
    CMoviePort port;
    SDrawn drawn;
    std::unique_ptr<CSendBase> engine;
};

TEST_F(SendMovieTest, AMovieReachesTheHostAndEndsAndPlaysAgainFromTheStart)
{
    Make();
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_INITIALISED);
    S_VIDEOSHAREINFO info = Info();
    EXPECT_EQ(info.nDuration, 0);
    EXPECT_EQ(info.nAudioStatus, LM_SHARE_NOSTREAM);
    EXPECT_EQ(info.nVideoStatus, LM_SHARE_NOSTREAM);

    ASSERT_EQ(engine->MovieLoad(Wide(Movie("clip.mp4")).c_str()), 1);
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_LOADED);
    info = Info();
    const S_VIDEOSHAREINFO expected{3, 0, 0, 320, 240, 25};
    EXPECT_EQ(memcmp(&info, &expected, sizeof info), 0);
    EXPECT_EQ(engine->GetTotalPlayTime(), 3);
    EXPECT_EQ(drawn.nResets, 1);

    ASSERT_EQ(engine->MoviePlay(), 1);
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_PLAYING);
    // One end of the pictures, one of the sound.
    ASSERT_TRUE(WaitForEnds(2));
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_STOPPED);
    port.Locked(
        [&]
        {
            // Every picture the sender thread passed, in order, with the movie's time.
            ASSERT_GE(port.pictures.size(), 10u);
            int32_t nLastStamp = -1, nLastSeconds = 0;
            for (const SPicture& picture : port.pictures)
            {
                EXPECT_EQ(picture.format, LM_FMT_YUV420);
                EXPECT_EQ(picture.nWidth, 320);
                EXPECT_EQ(picture.nHeight, 240);
                EXPECT_GT(picture.nStamp, nLastStamp);
                EXPECT_GE(picture.nSeconds, nLastSeconds);
                EXPECT_EQ(picture.nSeconds, picture.nStamp / 25) << "stamp " << picture.nStamp;
                nLastStamp = picture.nStamp;
                nLastSeconds = picture.nSeconds;
            }
            EXPECT_EQ(nLastSeconds, 2);
            // The packets as the player made them, with the host's source id.
            ASSERT_GE(port.packets.size(), 6u);
            for (size_t i = 0; i < port.packets.size(); ++i)
            {
                const Bytes& p = port.packets[i].bytes;
                ASSERT_GT(p.size(), 12u);
                EXPECT_EQ(p[1], i == 0 ? 0xE1 : 0x61);
                EXPECT_EQ(static_cast<int32_t>((p[8] << 24) | (p[9] << 16) | (p[10] << 8) | p[11]),
                          kSourceId);
            }
        });
    {
        std::lock_guard<std::mutex> guard(drawn.lock);
        EXPECT_GT(drawn.nDraws, 0);
        EXPECT_EQ(drawn.nWidth, 320);
        EXPECT_EQ(drawn.nHeight, 240);
    }

    // Play after the end starts from the beginning. The first play's last pictures travel on the
    // sender thread and may still reach the host after its end was told; the replay's first
    // picture is its first.
    const size_t nBefore = port.Locked([&] { return port.pictures.size(); });
    const int32_t nLastStamp = port.Locked([&] { return port.pictures.back().nStamp; });
    ASSERT_EQ(engine->MoviePlay(), 1);
    ASSERT_TRUE(port.signal.WaitUntil(
        [&]
        {
            for (size_t i = nBefore; i < port.pictures.size(); ++i)
                if (port.pictures[i].nStamp <= nLastStamp) return true;
            return false;
        }));
    port.Locked(
        [&]
        {
            size_t i = nBefore;
            while (port.pictures[i].nStamp > nLastStamp)
                ++i;
            EXPECT_EQ(port.pictures[i].nStamp, 0);
        });
    ASSERT_TRUE(WaitForEnds(4));
}

TEST_F(SendMovieTest, StopPauseAndSeek)
{
    Make();
    ASSERT_EQ(engine->MovieLoad(Wide(Movie("clip.mp4")).c_str()), 1);
    // A forward seek from a pause: the first picture is at the key frame of second 2.
    EXPECT_EQ(engine->MoviePause(), 1);
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_PAUSED);
    EXPECT_EQ(engine->MovieSeek(2), 1);
    EXPECT_EQ(engine->MoviePlay(), 1);
    ASSERT_TRUE(WaitForPictures(1));
    port.Locked(
        [&]
        {
            EXPECT_EQ(port.pictures[0].nStamp, 50);
            EXPECT_EQ(port.pictures[0].nSeconds, 2);
        });
    EXPECT_EQ(engine->MovieStop(), 1);
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_STOPPED);
    EXPECT_EQ(engine->MovieStop(), 1) << "a stopped movie stops at once";
    EXPECT_EQ(engine->MovieSeekRelatively(-1), 1);
    EXPECT_EQ(engine->MovieSetVolume(200), 1);
    EXPECT_EQ(engine->MovieSetVolume(201), 0);
}

TEST_F(SendMovieTest, WithoutAPlayerEveryMovieCallFails)
{
    // No share started, and a library that cannot be made and gives no reason.
    for (EShareKind kind : {EShareKind::Real, EShareKind::Missing})
    {
        g_shareKind = kind;
        Make(false);
        if (kind == EShareKind::Missing)
        {
            EXPECT_EQ(engine->StartShare(kWindow, 0, kSourceId), 0);
            EXPECT_NE(engine->GetLastErrorCode(), 0) << "a failure is never read as success";
        }
        EXPECT_EQ(engine->GetPlayingState(), MOVIE_NONE);
        EXPECT_EQ(engine->MovieLoad(L"x.mp4"), 0);
        EXPECT_EQ(engine->MoviePlay(), 0);
        EXPECT_EQ(engine->MoviePause(), 0);
        EXPECT_EQ(engine->MovieStop(), 0);
        EXPECT_EQ(engine->MovieSeek(1), 0);
        EXPECT_EQ(engine->MovieSeekRelatively(1), 0);
        EXPECT_EQ(engine->MovieSetVolume(50), 0);
        EXPECT_EQ(engine->GetPlayingSeconds(), 0);
        EXPECT_EQ(engine->GetTotalPlayTime(), 0);
        engine.reset();
    }
}

TEST_F(SendMovieTest, CallbackEdges)
{
    g_shareKind = EShareKind::Scripted;
    Make();
    ASSERT_EQ(engine->MovieLoad(L"scripted"), 1);
    EXPECT_EQ(engine->GetPlayingSeconds(), 5);
    ILMVideoShareCB* pCallback = CScriptedShare::pCallback;
    ASSERT_NE(pCallback, nullptr);

    // Pictures short of their size and format, or of no size or known format, are dropped.
    const Bytes picture(16 * 8 * 3 / 2, 0x80);
    pCallback->OnVideoFrame(picture.data(), static_cast<int32_t>(picture.size()) - 1, 0, 16, 8,
                            LM_FMT_YUV420);
    pCallback->OnVideoFrame(picture.data(), static_cast<int32_t>(picture.size()), 0, 0, 8, LM_FMT_YUV420);
    pCallback->OnVideoFrame(picture.data(), static_cast<int32_t>(picture.size()), 0, 16, 8, L"00WHAT");
    pCallback->OnVideoFrame(picture.data(), static_cast<int32_t>(picture.size()), 0, 16, -8, LM_FMT_YUV420);
    // A whole one goes through, in every send state as far as the queue and preview.
    engine->SetPause(SEND_IGNORE);
    pCallback->OnVideoFrame(picture.data(), static_cast<int32_t>(picture.size()), 4, 16, 8, LM_FMT_YUV420);
    EXPECT_EQ(drawn.nDraws, 1);
    engine->SetPause(SEND_FIRE);
    pCallback->OnVideoFrame(picture.data(), static_cast<int32_t>(picture.size()), 4, 16, 8, LM_FMT_YUV420);
    ASSERT_TRUE(WaitForPictures(1));
    port.Locked([&] { EXPECT_EQ(port.pictures[0].nSeconds, 4); });
    EXPECT_EQ(drawn.nDraws, 2);

    // Inside a movie callback the engine knows it, and Load, which could wait for the thread
    // that waits for the callback, is refused.
    bool bInCallback = false;
    int bLoaded = -1;
    port.pfnInVoice = [&]
    {
        bInCallback = engine->IsEngineThread();
        bLoaded = engine->MovieLoad(L"scripted");
    };
    const uint8_t packet[20] = {0x80, 0x61};
    pCallback->OnAudio(packet, sizeof packet, 1);
    EXPECT_TRUE(bInCallback);
    EXPECT_EQ(bLoaded, 0);
    EXPECT_FALSE(engine->IsEngineThread());

    // Errors are written out; each end is an event and the end state.
    pCallback->OnError(0x80004005, L"broken");
    EXPECT_EQ(port.debug, L"error: 80004005; broken\r\n");
    EXPECT_EQ(engine->MoviePlay(), 1);
    pCallback->OnVideoFrame(nullptr, 0, 0, 0, 0, LM_FMT_NONE);
    pCallback->OnAudio(nullptr, 0, 0);
    EXPECT_EQ(port.nEnds, 2);
    EXPECT_EQ(engine->GetPlayingState(), MOVIE_STOPPED);
    // Destruction stops the movie before the player goes.
    CScriptedShare::nStops = 0;
    engine.reset();
    EXPECT_EQ(CScriptedShare::nStops.load(), 1);
}

std::atomic<bool> g_bDestroying{false};

// The movie's threads are joined before the engine's buffers go: while the host's sinks hold the
// playback thread, the engine is destroyed on another thread.
TEST_F(SendMovieTest, DestructionWhileTheMovieSinksAreBusy)
{
    for (int nRound = 0; nRound < 3; ++nRound)
    {
        g_bDestroying = false;
        std::atomic<int> nInSink{0};
        auto Hold = [&]
        {
            ++nInSink;
            while (!g_bDestroying.load())
                std::this_thread::yield();
        };
        port.pfnInVoice = Hold;
        port.pfnInEnd = Hold;
        Make();
        ASSERT_EQ(engine->MovieLoad(Wide(Movie("clip.mp4")).c_str()), 1);
        ASSERT_EQ(engine->MoviePlay(), 1);
        while (nInSink.load() == 0)
            std::this_thread::yield();
        std::thread releaser([] { g_bDestroying = true; });
        engine.reset();
        releaser.join();
        port.pfnInVoice = nullptr;
        port.pfnInEnd = nullptr;
    }
    EXPECT_EQ(renderers.GetCount(), 0);
}
} // namespace
