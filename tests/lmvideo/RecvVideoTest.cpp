// The receive engine through fakes of its four seams: a scripted decoder, a converter and
// renderers that log their calls, and a window port that keeps what is posted.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMPlatform.h"
#include "lmvideo/recv/RecvVideo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

// A block of the fake codec says what the decoder makes of it.
struct SFakeBlock
{
    char cKind; // 'K' key picture, 'P' ordinary picture, 'N' no picture yet, 'E' failure
    int32_t nWidth;
    int32_t nHeight;
    uint8_t nLuma; // the value every byte of the picture gets
};

Bytes Block(char cKind, int32_t nWidth = 32, int32_t nHeight = 16, uint8_t nLuma = 0x40)
{
    SFakeBlock block{cKind, nWidth, nHeight, nLuma};
    Bytes bytes(sizeof block);
    memcpy(bytes.data(), &block, sizeof block);
    return bytes;
}

constexpr int32_t kDecoderFailure = static_cast<int32_t>(0x80004005);

// What every fake object shares with the test; the factories take no arguments.
struct SFakeWorld
{
    std::mutex lock;
    std::vector<std::string> log;            // renderer and converter calls
    std::map<std::string, int> initFailures; // renderer factory -> Init failures before success (-1: always)
    std::map<std::string, bool> missing;     // factory -> its library has no such export
    int16_t nBitsPerPixel = 32;
    int32_t nCheckCode = 0;
    int nDecoders = 0; // alive
    int nDecodeCalls = 0;
    S_LMPICTURE lastTarget{};
    Bytes lastDrawn;
    int32_t nDrawWidth = 0, nDrawHeight = 0;

    void Log(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(lock);
        log.push_back(line);
    }
};
SFakeWorld* g_world = nullptr;

class CFakeDecoder : public CLMObjectImpl, public ILMVideoDecoder
{
public:
    CFakeDecoder() { ++g_world->nDecoders; }
    ~CFakeDecoder() override
    {
        --g_world->nDecoders;
        memset(m_guard, 0xDD, sizeof m_guard);
    }
    int Decode(const uint8_t* pSource, int32_t nLength, int32_t, uint8_t* pOutput, int32_t nCapacity,
               S_DECODEDFRAME* pFrame) override
    {
        // A decoder destroyed under a decode would be seen here (and by ASan).
        EXPECT_EQ(m_guard[0], 0x5A);
        ++g_world->nDecodeCalls;
        SFakeBlock block{};
        if (static_cast<size_t>(nLength) < sizeof block)
            return SetError(kDecoderFailure, L"Fake", 1, L"short");
        memcpy(&block, pSource, sizeof block);
        if (block.cKind == 'N') return SetError(LM_E_NOPICTURE, L"Fake", 2, L"no picture yet");
        if (block.cKind != 'K' && block.cKind != 'P') return SetError(kDecoderFailure, L"Fake", 3, L"broken");
        const int64_t nBytes = std::max<int64_t>(0, int64_t{block.nWidth} * block.nHeight * 3 / 2);
        // A hostile decoder may claim any size; it writes only what fits.
        if (nBytes > nCapacity && block.nWidth < 10000)
            return SetError(LM_E_BUFFERTOOSMALL, L"Fake", 4, L"small");
        memset(pOutput, block.nLuma, static_cast<size_t>(std::min<int64_t>(nBytes, nCapacity)));
        *pFrame = {block.nWidth, block.nHeight, m_szFormat, block.cKind == 'K'};
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    wchar_t m_szFormat[16] = L"12YUV420";
    unsigned char m_guard[8] = {0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A};
};

// Asks for twice the room every time: its buffer is never enough.
class CGreedyDecoder : public CLMObjectImpl, public ILMVideoDecoder
{
public:
    int Decode(const uint8_t*, int32_t, int32_t, uint8_t*, int32_t, S_DECODEDFRAME*) override
    {
        ++g_world->nDecodeCalls;
        return SetError(LM_E_BUFFERTOOSMALL, L"Greedy", 1, L"more");
    }
};

class CFakeEncoder : public CLMObjectImpl
{
};

class CFakeConverter : public CLMObjectImpl, public IIppColorSpaceConverter
{
public:
    int Convert(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                int32_t nTargetBytes, S_LMPICTURE target) override
    {
        g_world->lastTarget = target;
        if (LMPictureBytes(source.szFormat, source.nWidth, source.nHeight) > nSourceBytes ||
            LMPictureBytes(target.szFormat, target.nWidth, target.nHeight) > nTargetBytes)
            return SetError(LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER), L"Fake", 5, L"sizes");
        memset(pTarget, pSource[0], static_cast<size_t>(nTargetBytes));
        return SetError(0, nullptr, 0, nullptr);
    }
};

class CFakeRenderer : public CLMObjectImpl, public ILMRenderer
{
public:
    explicit CFakeRenderer(std::string name) : m_name(std::move(name)) {}
    ~CFakeRenderer() override { g_world->Log(m_name + ".Destroy"); }
    int Init(HWND__*) override
    {
        g_world->Log(m_name + ".Init");
        int& nFailures = g_world->initFailures[m_name];
        if (nFailures == 0) return 1;
        if (nFailures > 0) --nFailures;
        return SetError(LMHResultFromWin32(5), L"Fake", 6, L"no device");
    }
    int Redraw(int32_t, int32_t, int32_t, int32_t) override { return g_world->Log(m_name + ".Redraw"), 1; }
    int Draw(int32_t nBytes, const uint8_t* pData, int32_t nWidth, int32_t nHeight) override
    {
        g_world->Log(m_name + ".Draw");
        g_world->lastDrawn.assign(pData, pData + nBytes);
        g_world->nDrawWidth = nWidth;
        g_world->nDrawHeight = nHeight;
        return SetError(0, nullptr, 0, nullptr);
    }
    int Resize(int32_t cx, int32_t cy) override
    {
        return g_world->Log(m_name + ".Resize " + std::to_string(cx) + "x" + std::to_string(cy)), 1;
    }
    int Reset(int32_t) override { return g_world->Log(m_name + ".Reset"), 1; }
    HWND__* GetWindow() override { return nullptr; }
    int Check() override
    {
        g_world->Log(m_name + ".Check");
        return g_world->nCheckCode == 0 ? 1 : SetError(g_world->nCheckCode, L"Fake", 7, nullptr);
    }
    int16_t GetBitsPerPixel() override { return g_world->nBitsPerPixel; }
    int SetMemoryType(int32_t n) override
    {
        return g_world->Log(m_name + ".SetMemoryType " + std::to_string(n)), 1;
    }
    int32_t GetMemoryType() override { return 0; }
    int SetName(const wchar_t*) override { return g_world->Log(m_name + ".SetName"), 1; }
    int SetNameVisible(int) override { return g_world->Log(m_name + ".SetNameVisible"), 1; }
    int SetPeakLevel(int16_t) override { return g_world->Log(m_name + ".SetPeakLevel"), 1; }
    int SetPeakMeterVisible(int) override { return g_world->Log(m_name + ".SetPeakMeterVisible"), 1; }
    int SetFont(const wchar_t*, int16_t, int16_t) override { return g_world->Log(m_name + ".SetFont"), 1; }
    int SetNameBigger(int) override { return g_world->Log(m_name + ".SetNameBigger"), 1; }
    int SetPosition(int16_t) override { return g_world->Log(m_name + ".SetPosition"), 1; }

private:
    std::string m_name;
};

ILMObject* MakeDecoder()
{
    return new CFakeDecoder;
}
ILMObject* MakeOtherDecoder()
{
    return new CFakeDecoder;
}
ILMObject* MakeGreedyDecoder()
{
    return new CGreedyDecoder;
}
ILMObject* MakeEncoder()
{
    return new CFakeEncoder;
}
ILMObject* MakeConverter()
{
    return new CFakeConverter;
}
ILMObject* MakeD2D()
{
    return new CFakeRenderer("D2D");
}
ILMObject* MakeDD()
{
    return new CFakeRenderer("DD");
}
ILMObject* MakeGDI()
{
    return new CFakeRenderer("GDI");
}

std::string Narrow(const wchar_t* sz)
{
    std::string s;
    for (; *sz; ++sz)
        s += static_cast<char>(*sz);
    return s;
}

// Libraries by name: "dec.dll" holds the codec table's factories (the H.263 RTP one asks for
// endless room), "LMLibrary01U.dll" the converter, "LMRendererU.dll" the three renderers.
class CFakeLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t* szLibrary) override
    {
        const std::string name = Narrow(szLibrary);
        if (name == "dec.dll" || name == "LMLibrary01U.dll" || name == "LMRendererU.dll")
            return reinterpret_cast<void*>(1);
        LMSetThreadError(LM_ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    LMFactoryFunction FindFactory(void*, const wchar_t* szFactory) override
    {
        static const std::map<std::string, LMFactoryFunction> factories = {
            {"GetH264RtpDecoder", &MakeDecoder},
            {"GetH264Decoder", &MakeOtherDecoder},
            {"GetH263RtpDecoder", &MakeGreedyDecoder},
            {"GetH264RtpEncoder", &MakeEncoder},
            {"GetColorSpaceConverter", &MakeConverter},
            {"GetLMD2DRenderer", &MakeD2D},
            {"GetLMDDRenderer", &MakeDD},
            {"GetLMGDIRenderer", &MakeGDI},
        };
        const std::string name = Narrow(szFactory);
        auto it = factories.find(name);
        if (it == factories.end() || g_world->missing[name])
        {
            LMSetThreadError(LM_ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        return it->second;
    }
};

class CFakePort : public IRecvVideoPort
{
public:
    bool PostFrame(S_RECVFRAME* pFrame, int32_t nBytes) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (bFailPost)
        {
            LMSetThreadError(1400); // ERROR_INVALID_WINDOW_HANDLE
            return false;
        }
        posted.push_back({pFrame, nBytes});
        return true;
    }
    void ShowWindowAsync() override { ++nShown; }
    void FireKeyframeReceived() override { ++nKeyframes; }
    void WaitBeforeRetry(uint32_t nMilliseconds) override { waits.push_back(nMilliseconds); }

    // Hands the oldest posted record to the engine, as the window's handler does.
    bool DrawOldest(CRecvVideo& engine)
    {
        S_RECVFRAME* pFrame = nullptr;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (posted.empty()) return false;
            pFrame = posted.front().first;
            posted.pop_front();
        }
        engine.DrawPosted(pFrame);
        return true;
    }

    std::deque<std::pair<S_RECVFRAME*, int32_t>> posted;
    bool bFailPost = false;
    int nShown = 0;
    int nKeyframes = 0;
    std::vector<uint32_t> waits;

private:
    std::mutex m_lock;
};

class CRecordingBroadcaster : public ILMVideoBroadcaster
{
public:
    void Broadcast(const wchar_t* szMessageName) override { posted.push_back(szMessageName); }
    std::vector<std::wstring> posted;
};

HWND__* const kWindow = reinterpret_cast<HWND__*>(0x1234);

class RecvVideoTest : public testing::Test
{
protected:
    void SetUp() override { g_world = &world; }
    void TearDown() override
    {
        engine.reset();
        g_world = nullptr;
    }

    CRecvVideo& Make(int32_t nVersionClass = -1, uint16_t wServicePack = 0)
    {
        engine = std::make_unique<CRecvVideo>(
            port, S_RECVVIDEOMODULE{&renderers, {nVersionClass, wServicePack}, &loader});
        return *engine;
    }
    int Recv(const Bytes& block)
    {
        return engine->OnRecvData(block.data(), static_cast<int32_t>(block.size()), 0, 0);
    }
    int Raw(const Bytes& picture, int32_t nWidth, int32_t nHeight)
    {
        return engine->OnRecvData(picture.data(), static_cast<int32_t>(picture.size()), nWidth, nHeight);
    }
    std::vector<std::string> TakeLog()
    {
        std::vector<std::string> log;
        log.swap(world.log);
        return log;
    }

    SFakeWorld world;
    CFakeLoader loader;
    CFakePort port;
    CRecordingBroadcaster broadcaster;
    CLMRendererCount renderers{broadcaster};
    std::unique_ptr<CRecvVideo> engine;
};
} // namespace

// The receiving steps in order on one engine: hidden until the first key picture, at most two
// ordinary pictures in flight, key and raw pictures in their own slots, every record tracked.
TEST_F(RecvVideoTest, ReceivingStepsAndSlots)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    const Bytes raw32(32 * 16 * 4, 0x11), raw16(32 * 16 * 2 + 6, 0x22);
    enum Action
    {
        kRecv,
        kRaw32,
        kRaw16,
        kDraw,
        kPause,
        kResume
    };
    struct
    {
        Action action;
        char cKind;
        int bResult;
        size_t nOutstanding;
        int nSlots; // mask of slots in use
        int32_t nInFlight;
        int nShown, nKeyframes;
        int32_t nError;
    } rows[] = {
        {kRecv, 'P', 1, 0, 0b0000, 0, 0, 0, 0},               // before the first key: decoded, not shown
        {kRecv, 'N', 1, 0, 0b0000, 0, 0, 0, LM_E_NOPICTURE},  // nothing to show yet, nothing posted
        {kRecv, 'E', 0, 0, 0b0000, 0, 0, 0, kDecoderFailure}, // the decoder's own failure
        {kRecv, 'K', 1, 1, 0b0001, 1, 1, 1, 0},               // the first key shows the window
        {kRecv, 'P', 1, 2, 0b0011, 2, 1, 1, 0},               // second in flight
        {kRecv, 'P', 1, 2, 0b0011, 2, 1, 1, 0},               // third ordinary one dropped, no error
        {kRecv, 'K', 1, 3, 0b0111, 3, 1, 2, 0},               // a key one takes slot 2
        {kRecv, 'K', 1, 4, 0b0111, 4, 1, 3, 0},               // slot 2 busy: posted, still tracked
        {kRaw32, 0, 1, 5, 0b1111, 5, 1, 3, 0},                // a raw one takes slot 3
        {kRaw16, 0, 1, 6, 0b1111, 6, 1, 3, 0},                // slot 3 busy: posted, still tracked
        {kDraw, 0, 1, 5, 0b1110, 5, 1, 3, 0},                 // slot 0 freed
        {kRecv, 'P', 1, 5, 0b1110, 5, 1, 3, 0},               // still too many in flight
        {kDraw, 0, 1, 4, 0b1100, 4, 1, 3, 0},
        {kDraw, 0, 1, 3, 0b1000, 3, 1, 3, 0},
        {kDraw, 0, 1, 2, 0b1000, 2, 1, 3, 0}, // the record outside a slot
        {kDraw, 0, 1, 1, 0b0000, 1, 1, 3, 0},
        {kRecv, 'P', 1, 2, 0b0001, 2, 1, 3, 0}, // room again
        {kDraw, 0, 1, 1, 0b0001, 1, 1, 3, 0},
        {kDraw, 0, 1, 0, 0b0000, 0, 1, 3, 0},
        {kPause, 0, 1, 0, 0b0000, 0, 1, 3, 0},
        {kRecv, 'K', 0, 0, 0b0000, 0, 1, 3, LM_E_PAUSED}, // paused: decoded input refused
        {kRaw32, 0, 1, 1, 0b0001, 1, 1, 3, 0},            // raw still taken
        {kResume, 0, 1, 1, 0b0001, 1, 1, 3, 0},
    };
    int nRow = 0;
    for (auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "row " << nRow++);
        int bResult = 1;
        video.SetError(0, nullptr, 0, nullptr);
        switch (row.action)
        {
        case kRecv:
            bResult = Recv(Block(row.cKind));
            break;
        case kRaw32:
            bResult = Raw(raw32, 32, 16);
            break;
        case kRaw16:
            bResult = Raw(raw16, 32, 16);
            break;
        case kDraw:
            bResult = port.DrawOldest(video);
            break;
        case kPause:
            video.SetPause(1);
            break;
        case kResume:
            video.SetPause(0);
            break;
        }
        EXPECT_EQ(bResult, row.bResult);
        EXPECT_EQ(video.GetOutstanding(), row.nOutstanding);
        EXPECT_EQ(port.posted.size(), row.nOutstanding);
        EXPECT_EQ(video.GetSlotsUsed(), row.nSlots);
        EXPECT_EQ(video.GetInFlight(), row.nInFlight);
        EXPECT_EQ(port.nShown, row.nShown);
        EXPECT_EQ(port.nKeyframes, row.nKeyframes);
        if (row.action != kDraw && row.action != kPause && row.action != kResume)
        {
            EXPECT_EQ(video.GetLastErrorCode(), row.nError);
        }
    }
    // The raw records carry the format their length gives; the last one waits in slot 0.
    S_RECVFRAME* pLast = port.posted.back().first;
    EXPECT_STREQ(pLast->szFormat, LM_FMT_RGB32);
    EXPECT_EQ(pLast->bKeyFrame, 1);
    EXPECT_EQ(pLast->bRaw, 1);
    ASSERT_TRUE(Raw(raw16, 32, 16));
    EXPECT_STREQ(port.posted.back().first->szFormat, LM_FMT_RGB565);
    // The engine goes with records still posted: it frees them (ASan would see a leak).
}

TEST_F(RecvVideoTest, RemoveUserHidesUntilTheNextKeyAndResetsTheRenderer)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    ASSERT_TRUE(Recv(Block('K')));
    EXPECT_TRUE(video.IsKeyFrame());
    ASSERT_TRUE(port.DrawOldest(video));
    video.SetPause(1);
    TakeLog();
    video.RemoveUser();
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"DD.Reset"});
    EXPECT_FALSE(video.IsWindowShown());
    ASSERT_TRUE(Recv(Block('P')));
    EXPECT_FALSE(video.IsKeyFrame());
    EXPECT_TRUE(port.posted.empty()); // hidden again: ordinary pictures wait for a key
    ASSERT_TRUE(Recv(Block('K')));
    EXPECT_EQ(port.nShown, 2);
    EXPECT_EQ(port.posted.size(), 1u);
}

// Decoded pictures reach the renderer converted to its depth, top-down unless flipped.
TEST_F(RecvVideoTest, DrawConvertsToTheRenderersDepth)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    S_RECVFRAME unknown{};
    video.DrawPosted(&unknown); // not ours: neither drawn nor freed
    ASSERT_TRUE(Recv(Block('K', 32, 16, 0x77)));
    ASSERT_TRUE(port.DrawOldest(video));
    EXPECT_EQ(video.GetLastErrorCode(), LM_E_NORENDERER);
    EXPECT_EQ(video.GetOutstanding(), 0u); // freed all the same
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));

    struct
    {
        int16_t nBits;
        int bVFlip;
        const wchar_t* szFormat;
        size_t nBytes;
    } rows[] = {
        {32, 0, LM_FMT_RGB32, 32 * 16 * 4},
        {24, 1, LM_FMT_RGB24, 32 * 16 * 3},
        {16, 0, LM_FMT_RGB565, 32 * 16 * 2},
        {15, 1, LM_FMT_RGB565, 32 * 16 * 2},
    };
    for (auto& row : rows)
    {
        world.nBitsPerPixel = row.nBits;
        video.SetVideoFlip(row.bVFlip, 1);
        ASSERT_TRUE(Recv(Block('K', 32, 16, static_cast<uint8_t>(row.nBits))));
        ASSERT_TRUE(port.DrawOldest(video));
        EXPECT_EQ(video.GetLastErrorCode(), 0) << video.CopyLastErrorMessage().size();
        EXPECT_STREQ(world.lastTarget.szFormat, row.szFormat);
        EXPECT_EQ(world.lastTarget.nWidth, 32);
        EXPECT_EQ(world.lastTarget.nHeight, row.bVFlip ? -16 : 16);
        EXPECT_EQ(world.lastTarget.nKeyFrame, 0);
        EXPECT_EQ(world.lastDrawn, Bytes(row.nBytes, static_cast<uint8_t>(row.nBits)));
        EXPECT_EQ(world.nDrawWidth, 32);
        EXPECT_EQ(world.nDrawHeight, 16);
    }
}

// What the host and the decoder say about sizes is checked before anything is allocated or drawn.
TEST_F(RecvVideoTest, HostileSizesAreRefused)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    const int32_t kInvalidData = LMHResultFromWin32(13), kInvalidArgument = LMHResultFromWin32(87);
    struct
    {
        int32_t nWidth, nHeight;
    } decoded[] = {{0, 16}, {32, 0}, {-32, 16}, {-32, -16}, {20000, 20000}, {0x10000, 0x10000}};
    for (auto& size : decoded)
    {
        EXPECT_FALSE(Recv(Block('K', size.nWidth, size.nHeight))) << size.nWidth << "x" << size.nHeight;
        EXPECT_EQ(video.GetLastErrorCode(), kInvalidData);
    }
    EXPECT_EQ(port.nKeyframes, 0);
    const Bytes picture(32 * 16 * 2, 0x33);
    struct
    {
        int32_t nLength, nWidth, nHeight;
    } raw[] = {{0, 32, 16},  {-4, 32, 16}, {32 * 16 * 2 - 1, 32, 16}, {16, -32, 16}, {16, 4, -4},
               {-64, 0, 16}, {0, 16, 0}}; // one size set: a coded block, whose length must be real
    for (auto& row : raw)
    {
        EXPECT_FALSE(video.OnRecvData(picture.data(), row.nLength, row.nWidth, row.nHeight)) << row.nLength;
        EXPECT_EQ(video.GetLastErrorCode(), kInvalidArgument);
        EXPECT_FALSE(video.DrawRaw(picture.data(), row.nLength, row.nWidth, row.nHeight));
    }
    EXPECT_FALSE(video.OnRecvData(nullptr, 16, 0, 0));
    EXPECT_EQ(video.GetLastErrorCode(), kInvalidArgument);
    EXPECT_TRUE(port.posted.empty());
    EXPECT_EQ(std::count(world.log.begin(), world.log.end(), "GDI.Draw"), 0);
    EXPECT_TRUE(video.DrawRaw(picture.data(), static_cast<int32_t>(picture.size()), 32, 16));
}

// The output buffer doubles until the picture fits, and stops at its cap.
TEST_F(RecvVideoTest, OutputBufferGrowsToItsCap)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    EXPECT_EQ(video.GetOutputCapacity(), CRecvVideo::kInitialOutput);
    ASSERT_TRUE(Recv(Block('K', 1280, 720)));
    EXPECT_EQ(video.GetOutputCapacity(), CRecvVideo::kInitialOutput * 8); // 2457600 >= 1382400
    EXPECT_EQ(port.posted.size(), 1u);
    EXPECT_EQ(port.posted.front().second, 1280 * 720 * 3 / 2);

    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 3)); // a decoder that always wants more
    world.nDecodeCalls = 0;
    EXPECT_FALSE(Recv(Block('K')));
    EXPECT_EQ(video.GetLastErrorCode(), LM_E_BUFFERTOOSMALL);
    EXPECT_EQ(video.GetOutputCapacity(), CRecvVideo::kMaxOutput);
    EXPECT_EQ(world.nDecodeCalls, 6); // 2.4 MiB, doubled five times to 64 MiB
}

// A post that fails frees its record and gives its place back.
TEST_F(RecvVideoTest, FailedPostTakesBackItsRecord)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    port.bFailPost = true;
    EXPECT_FALSE(Recv(Block('K')));
    EXPECT_EQ(video.GetLastErrorCode(), LMHResultFromWin32(1400));
    EXPECT_FALSE(Raw(Bytes(32 * 16 * 4), 32, 16));
    EXPECT_EQ(video.GetOutstanding(), 0u);
    EXPECT_EQ(video.GetSlotsUsed(), 0);
    EXPECT_EQ(video.GetInFlight(), 0);
    port.bFailPost = false;
    ASSERT_TRUE(Recv(Block('K')));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Recv(Block('P')));
    EXPECT_EQ(port.posted.size(), 2u); // one key and one ordinary picture: not blocked for ever
}

TEST_F(RecvVideoTest, LoadCodecFromTheCodecTable)
{
    CRecvVideo& video = Make();
    EXPECT_FALSE(Recv(Block('K')));
    EXPECT_EQ(video.GetLastErrorCode(), LM_E_INVALIDCODEC);
    struct
    {
        const wchar_t* szLibrary;
        int32_t nType;
        int bResult;
        int32_t nError;
        int nDecoders;
    } rows[] = {
        {L"dec.dll", 0, 0, LM_E_INVALIDCODEC, 0},
        {L"dec.dll", 9, 0, LM_E_INVALIDCODEC, 0},
        {L"dec.dll", 2, 0, LMHResultFromWin32(LM_ERROR_FUNCTION_FAILED), 0}, // an encoder is no decoder
        {L"none.dll", 4, 0, LMHResultFromWin32(LM_ERROR_MOD_NOT_FOUND), 0},
        {L"dec.dll", 7, 0, LMHResultFromWin32(LM_ERROR_PROC_NOT_FOUND), 0},
        {L"dec.dll", 4, 1, 0, 1},
        {L"dec.dll", 4, 1, 0, 1},
        {L"dec.dll", 0x10004, 1, 0, 1}, // the same factory: kept
        {L"dec.dll", 8, 1, 0, 1},       // another factory: replaced
        {nullptr, 4, 0, LMHResultFromWin32(LM_ERROR_MOD_NOT_FOUND), 0},
    };
    for (auto& row : rows)
    {
        video.SetError(0, nullptr, 0, nullptr);
        EXPECT_EQ(video.LoadCodec(row.szLibrary, row.nType), row.bResult) << row.nType;
        if (!row.bResult)
        {
            EXPECT_EQ(video.GetLastErrorCode(), row.nError) << row.nType;
        }
        EXPECT_EQ(world.nDecoders, row.nDecoders) << row.nType;
    }
}

// The renderer is chosen by the version class: Direct2D, then DirectDraw tried five times,
// then GDI; each success is counted by the module.
TEST_F(RecvVideoTest, ChooseRendererFallsBackInOrder)
{
    struct
    {
        int32_t nClass;
        uint16_t wServicePack;
        int nD2DFailures, nDDFailures, nGDIFailures;
        bool bMissingDD;
        int bResult;
        std::wstring factory;
        std::vector<std::string> log;
        size_t nWaits;
    } rows[] = {
        {9, 0, 0, 0, 0, false, 1, L"GetLMD2DRenderer", {"D2D.Init"}, 0},
        {6, 2, 0, 0, 0, false, 1, L"GetLMD2DRenderer", {"D2D.Init"}, 0},
        {6, 1, 0, 0, 0, false, 1, L"GetLMDDRenderer", {"DD.SetMemoryType 3", "DD.Init"}, 0},
        {-1, 0, 0, 0, 0, false, 1, L"GetLMDDRenderer", {"DD.SetMemoryType 3", "DD.Init"}, 0},
        {7,
         0,
         -1,
         2,
         0,
         false,
         1,
         L"GetLMDDRenderer",
         {"D2D.Init", "D2D.Destroy", "DD.SetMemoryType 3", "DD.Init", "DD.Init", "DD.Init"},
         2},
        {7,
         0,
         -1,
         -1,
         0,
         false,
         1,
         L"GetLMGDIRenderer",
         {"D2D.Init", "D2D.Destroy", "DD.SetMemoryType 3", "DD.Init", "DD.Init", "DD.Init", "DD.Init",
          "DD.Init", "DD.Destroy", "GDI.Init"},
         5},
        {-1, 0, 0, 0, 0, true, 1, L"GetLMGDIRenderer", {"GDI.Init"}, 0},
        {-1, 0, 0, 0, -1, true, 0, L"", {"GDI.Init", "GDI.Destroy"}, 0},
    };
    int nRow = 0;
    for (auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "row " << nRow++);
        world.initFailures = {{"D2D", row.nD2DFailures}, {"DD", row.nDDFailures}, {"GDI", row.nGDIFailures}};
        world.missing["GetLMDDRenderer"] = row.bMissingDD;
        port.waits.clear();
        CRecvVideo& video = Make(row.nClass, row.wServicePack);
        TakeLog();
        EXPECT_EQ(video.ChooseRenderer(kWindow, 3), row.bResult);
        EXPECT_EQ(video.GetRendererFactory(), row.factory);
        EXPECT_EQ(TakeLog(), row.log);
        EXPECT_EQ(port.waits, std::vector<uint32_t>(row.nWaits, 20));
        EXPECT_EQ(renderers.GetCount(), row.bResult);
        if (!row.bResult)
        {
            EXPECT_NE(video.GetLastErrorCode(), 0);
        }
        engine.reset(); // destruction releases without broadcast
        EXPECT_EQ(renderers.GetCount(), 0);
    }
    EXPECT_TRUE(broadcaster.posted.empty());
}

TEST_F(RecvVideoTest, ReleaseBroadcastsOnlyForTheLastRendererWhenAsked)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0)); // re-choice releases without broadcast
    EXPECT_EQ(renderers.GetCount(), 1);
    EXPECT_TRUE(broadcaster.posted.empty());
    video.ReleaseRenderer(1);
    EXPECT_EQ(broadcaster.posted, std::vector<std::wstring>{L"REINIT ALL LMVIDEO"});
    video.ReleaseRenderer(1); // nothing held: nothing counted
    EXPECT_EQ(renderers.GetCount(), 0);
    EXPECT_EQ(broadcaster.posted.size(), 1u);
    EXPECT_FALSE(video.CheckRenderer());
    EXPECT_EQ(video.GetLastErrorCode(), LM_E_NORENDERER);
    EXPECT_EQ(video.CopyLastErrorMessage().find(L"Invalid LMRenderer Module") != std::wstring::npos, true);

    // A lost surface reported by Check asks every window to clear its video.
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    world.nCheckCode = static_cast<int32_t>(0x8876017C);
    EXPECT_FALSE(video.CheckRenderer());
    EXPECT_EQ(video.GetReportedCode(), static_cast<int32_t>(0x8876017C));
    EXPECT_EQ(broadcaster.posted.back(), L"CLEAR ALL LMVIDEO");
    world.nCheckCode = 0;
    EXPECT_TRUE(video.CheckRenderer());
}

TEST_F(RecvVideoTest, RendererPassThroughs)
{
    CRecvVideo& video = Make();
    EXPECT_FALSE(video.SetName(L"alice"));
    EXPECT_FALSE(video.SetPosition(1));
    EXPECT_FALSE(video.Redraw(0, 0, 10, 10));
    EXPECT_FALSE(video.DrawRaw(Bytes(8).data(), 8, 2, 1));
    EXPECT_EQ(video.GetLastErrorCode(), LM_E_NORENDERER);
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    TakeLog();
    EXPECT_TRUE(video.SetName(L"alice"));
    EXPECT_TRUE(video.SetNameVisible(1));
    EXPECT_TRUE(video.SetPeakLevel(50));
    EXPECT_TRUE(video.SetPeakMeterVisible(1));
    EXPECT_TRUE(video.SetFont(L"Arial", 9, 12));
    EXPECT_TRUE(video.SetNameBigger(1));
    EXPECT_TRUE(video.SetPosition(3));
    EXPECT_TRUE(video.Redraw(0, 0, 10, 10));
    video.Resize(352, 288);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"DD.SetName", "DD.SetNameVisible", "DD.SetPeakLevel",
                                                   "DD.SetPeakMeterVisible", "DD.SetFont", "DD.SetNameBigger",
                                                   "DD.SetPosition", "DD.Redraw", "DD.Resize 352x288"}));
}

// The host changes the decoder on its window thread while the network thread decodes: the
// decoder in use is never destroyed under it, and the books balance at the end.
TEST_F(RecvVideoTest, LoadCodecRacingOnRecvData)
{
    CRecvVideo& video = Make();
    ASSERT_TRUE(video.LoadCodec(L"dec.dll", 4));
    ASSERT_TRUE(video.ChooseRenderer(kWindow, 0));
    std::atomic<bool> bDone{false};
    std::thread network(
        [&]
        {
            const Bytes key = Block('K'), ordinary = Block('P');
            for (int i = 0; i < 400; ++i)
                video.OnRecvData((i % 10 ? ordinary : key).data(), static_cast<int32_t>(key.size()), 0, 0);
            bDone = true;
        });
    std::thread other(
        [&]
        {
            while (!bDone)
                video.SetName(L"bob");
        });
    for (int i = 0; !bDone; ++i)
    {
        video.LoadCodec(L"dec.dll", i % 2 ? 4 : 8);
        port.DrawOldest(video);
    }
    network.join();
    other.join();
    while (port.DrawOldest(video))
    {
    }
    EXPECT_EQ(video.GetOutstanding(), 0u);
    EXPECT_EQ(video.GetInFlight(), 0);
    EXPECT_EQ(video.GetSlotsUsed(), 0);
    EXPECT_EQ(world.nDecoders, 1);
}
