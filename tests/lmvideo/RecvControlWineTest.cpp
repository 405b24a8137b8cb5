// The receive control under Wine, hosted by ProgID in a window of the picture's size and fed
// H.264 RTP packets of the stamped pattern from a second thread, as the program's network thread
// will: hidden until the first key picture, KeyframeReceived on the feeding thread, the drawn
// pixels read back, hidden again by RemoveUser.
#include "comkit/ControlHost.h"
#include "comkit/ControlSite.h"
#include "comkit/DispatchTable.h"
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/fixtures/StampedPattern.h"
#include "lmvideo/module/LMVideoGuids.h"
#include "lmvideo/rtp/AnnexB.h"
#include "lmvideo/rtp/H264Packetizer.h"
#include "tests/comkit/DesignSite.h"
#include "tests/comkit/Regsvr32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int kCx = 352, kCy = 288;
constexpr int kGop = 15; // the fixture's key-frame interval

enum : DISPID
{
    ID_REMOVE_USER = 1,
    ID_ON_RECV_DATA = 2,
    ID_SET_PAUSE = 6,
    ID_INIT = 7,
    ID_SET_VIDEO_FLIP = 8,
    ID_GET_LAST_ERROR_CODE = 9,
    ID_GET_LAST_ERROR_MESSAGE = 10,
    ID_LOAD_CODEC = 11,
    ID_IS_KEY_FRAME = 12,
    ID_GET_LOADER = 13,
    ID_SET_IMAGE = 21,
};
constexpr DISPID EV_KEYFRAME_RECEIVED = 1;

std::wstring OcxPath()
{
    return TestFolder() + L"\\LMVideoU.ocx";
}

// The long path of the library a class key names; empty when there is none.
std::wstring RegisteredServer(const wchar_t* szKey)
{
    wchar_t szValue[MAX_PATH], szLong[MAX_PATH];
    DWORD cb = sizeof szValue;
    if (RegGetValueW(HKEY_CLASSES_ROOT, szKey, nullptr, RRF_RT_REG_SZ, nullptr, szValue, &cb) !=
        ERROR_SUCCESS)
        return L"";
    const DWORD n = GetLongPathNameW(szValue, szLong, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(szLong, n) : std::wstring(szValue);
}

Bytes ReadBesideProgram(const wchar_t* szName)
{
    Bytes bytes;
    if (FILE* file = _wfopen((TestFolder() + L"\\" + szName).c_str(), L"rb"))
    {
        uint8_t chunk[4096];
        for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        fclose(file);
    }
    return bytes;
}

struct SPacket
{
    int nFrame;
    Bytes bytes;
};

// The stream's pictures as Annex-B access units.
std::vector<Bytes> Pictures(const Bytes& stream)
{
    std::vector<Bytes> pictures;
    Bytes picture;
    bool bHasSlice = false;
    for (const NalSpan& nal : SplitAnnexB(stream.data(), stream.size()))
    {
        if (bHasSlice && NalOpensPicture(nal.p, nal.n))
        {
            pictures.push_back(std::move(picture));
            picture.clear();
            bHasSlice = false;
        }
        const uint8_t nType = NalType(nal.p[0]);
        bHasSlice = bHasSlice || (nType >= 1 && nType <= 5);
        AppendAnnexBNal(picture, nal.p, nal.n);
    }
    if (!picture.empty()) pictures.push_back(std::move(picture));
    return pictures;
}

// The blocks a host hands over, each with the number of its picture: RTP packets (kind 4), each
// picture's Annex-B bytes (kind 8), or each picture of an H.263 stream (kind 7), which starts at
// a byte-aligned picture start code (0000 0000 0000 0000 1000 00).
std::vector<SPacket> Blocks(const Bytes& stream, short nKind)
{
    std::vector<SPacket> packets;
    if (nKind == 7)
    {
        std::vector<size_t> starts;
        for (size_t i = 0; i + 2 < stream.size(); ++i)
            if (stream[i] == 0 && stream[i + 1] == 0 && (stream[i + 2] & 0xFC) == 0x80) starts.push_back(i);
        for (size_t k = 0; k < starts.size(); ++k)
        {
            const size_t end = k + 1 < starts.size() ? starts[k + 1] : stream.size();
            packets.push_back({static_cast<int>(k), Bytes(stream.begin() + starts[k], stream.begin() + end)});
        }
        return packets;
    }
    const std::vector<Bytes> pictures = Pictures(stream);
    if (nKind == 8)
    {
        for (size_t i = 0; i < pictures.size(); ++i)
            packets.push_back({static_cast<int>(i), pictures[i]});
        return packets;
    }
    H264Packetizer packetizer(0x51A7E, 100, false);
    Bytes buffer(1 << 20);
    std::vector<uint32_t> sizes(1024);
    for (size_t i = 0; i < pictures.size(); ++i)
    {
        RtpUnitWriter writer(buffer.data(), buffer.size(), sizes.data(), sizes.size());
        EXPECT_TRUE(packetizer.Packetize(pictures[i].data(), pictures[i].size(),
                                         static_cast<uint32_t>(i * 6000), writer));
        const uint8_t* p = buffer.data();
        for (size_t u = 0; u < writer.UnitCount(); p += sizes[u++])
            packets.push_back({static_cast<int>(i), Bytes(p, p + sizes[u])});
    }
    return packets;
}

// H.263 RTP packets (RFC 2190, kind 3) of 45 stamped pictures, a key picture every 15, made by
// the codec library's own encoder; and the same library's decode of them, picture by picture,
// as the reference.
void EncodeH263Rtp(std::vector<SPacket>& packets, Bytes& reference)
{
    CLMObjectPtr<ILMVideoEncoder> encoder(1, L"LMLibrary01U.dll", L"GetH263RtpEncoder");
    CLMObjectPtr<ILMVideoDecoder> decoder(1, L"LMLibrary01U.dll", L"GetH263RtpDecoder");
    IIppColorSpaceConverterPtr converter;
    ASSERT_TRUE(encoder && decoder && converter);
    ASSERT_TRUE(encoder->Init(15, 384000, 1350, kCx, kCy)) << encoder->GetLastErrorMessage();
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    const int32_t nPlanar = static_cast<int32_t>(PatternBytes(kCx, kCy));
    Bytes planar(nPlanar), rgb(kCx * kCy * 4), units(256 * 1024), decoded(nPlanar);
    for (int n = 0; n < 3 * kGop; ++n)
    {
        ASSERT_TRUE(MakeStampedPattern(static_cast<uint32_t>(n), kCx, kCy, planar.data()));
        ASSERT_TRUE(converter->Convert(planar.data(), nPlanar, {kCx, kCy, LM_FMT_YUV420, 0}, rgb.data(),
                                       static_cast<int32_t>(rgb.size()), {kCx, -kCy, LM_FMT_RGB32, 0}));
        ASSERT_TRUE(encoder->Encode(rgb.data(), static_cast<int32_t>(rgb.size()),
                                    {kCx, -kCy, LM_FMT_RGB32, n % kGop == 0},
                                    static_cast<int32_t>(units.size()), units.data(), result.get()))
            << encoder->GetLastErrorMessage();
        ASSERT_EQ(result->bKeyFrame != 0, n % kGop == 0) << n;
        S_DECODEDFRAME frame{};
        bool bDecoded = false;
        size_t at = 0;
        for (uint32_t i = 0; i < result->nCount; at += result->nSizes[i++])
        {
            packets.push_back({n, Bytes(units.begin() + at, units.begin() + at + result->nSizes[i])});
            bDecoded = decoder->Decode(units.data() + at, static_cast<int32_t>(result->nSizes[i]), 0,
                                       decoded.data(), nPlanar, &frame) != 0;
        }
        ASSERT_TRUE(bDecoded) << n;
        reference.insert(reference.end(), decoded.begin(), decoded.end());
    }
}

// The picture as a bitmap file, for a person to look at.
void SaveScreenshot(const std::vector<uint32_t>& pixels, const wchar_t* szPath)
{
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), kCx, -kCy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size() * 4), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof info};
    FILE* out = _wfopen(szPath, L"wb");
    ASSERT_NE(out, nullptr);
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(pixels.data(), 4, pixels.size(), out);
    fclose(out);
}

// The client area as 32-bit top-down pixels, read back through the window's DC.
std::vector<uint32_t> ReadBack(HWND hWnd)
{
    std::vector<uint32_t> pixels(kCx * kCy);
    HDC hdc = GetDC(hWnd);
    HDC hMem = CreateCompatibleDC(hdc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kCx, -kCy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hMem, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    BitBlt(hMem, 0, 0, kCx, kCy, hdc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(pixels.data(), pBits, pixels.size() * 4);
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(hWnd, hdc);
    return pixels;
}

// The luma plane of read-back pixels (BT.601, limited range, as the pattern is coded), its rows
// turned back when the picture was drawn upside down.
Bytes Luma(const std::vector<uint32_t>& pixels, bool bFlipped)
{
    Bytes luma(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        const double r = (pixels[i] >> 16) & 0xFF, g = (pixels[i] >> 8) & 0xFF, b = pixels[i] & 0xFF;
        const size_t y = i / kCx, x = i % kCx;
        luma[(bFlipped ? kCy - 1 - y : y) * kCx + x] =
            static_cast<uint8_t>(std::lround(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255));
    }
    return luma;
}

double LumaPsnr(const uint8_t* a, const uint8_t* b)
{
    double sum = 0;
    for (int i = 0; i < kCx * kCy; ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * kCx * kCy / sum);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// Pumps this thread's messages until the condition holds or ten seconds pass.
template <class F> bool PumpUntil(F condition)
{
    const ULONGLONG tEnd = GetTickCount64() + 10000;
    while (!condition())
    {
        if (GetTickCount64() > tEnd) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    return true;
}

long CallLong(IDispatch* pDisp, DISPID dispid, std::initializer_list<CVar> args = {})
{
    std::vector<VARIANT> raw;
    for (const CVar& v : args)
        raw.push_back(v.Get());
    CVar result;
    EXPECT_EQ(
        DispInvoke(pDisp, dispid, DISPATCH_METHOD, result.Ptr(), raw.data(), static_cast<UINT>(raw.size())),
        S_OK)
        << dispid;
    long n = 0;
    result.ToLong(n);
    return n;
}

std::wstring CallText(IDispatch* pDisp, DISPID dispid)
{
    CVar result;
    EXPECT_EQ(DispInvoke(pDisp, dispid, DISPATCH_METHOD, result.Ptr(), nullptr, 0), S_OK) << dispid;
    std::wstring text;
    result.ToString(text);
    return text;
}

class RecvControlWine : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(RunRegsvr32(L"/u /s \"" + OcxPath() + L"\""), 0);
        CLSID clsid{};
        EXPECT_NE(CLSIDFromProgID(kRecvProgId, &clsid), S_OK);
        CoUninitialize();
    }
    void SetUp() override
    {
        RECT frame{0, 0, kCx, kCy};
        AdjustWindowRect(&frame, WS_POPUP, FALSE);
        m_hWndHost = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"host", WS_POPUP | WS_CLIPCHILDREN, 30, 30,
                                     frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(m_hWndHost, nullptr);
        ShowWindow(m_hWndHost, SW_SHOWNOACTIVATE);
        ASSERT_EQ(m_host.Create(kRecvProgId, m_hWndHost, RECT{0, 0, kCx, kCy}), S_OK);
    }
    void TearDown() override
    {
        m_host.Destroy();
        DestroyWindow(m_hWndHost);
    }

    HWND m_hWndHost = nullptr;
    CControlHost m_host;
};
} // namespace

TEST_F(RecvControlWine, RegisteredByRegsvr32WithItsProgId)
{
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kRecvProgId, &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_LMVideo_Recv));
    EXPECT_EQ(
        _wcsicmp(RegisteredServer(L"CLSID\\{C2EFCAEC-D3F0-4AB3-8D6C-C32C15306F54}\\InprocServer32").c_str(),
                 OcxPath().c_str()),
        0);

    // Before its window exists the control has no engine.
    IDispatch* pDisp = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&pDisp)),
              S_OK);
    EXPECT_EQ(CallLong(pDisp, ID_GET_LAST_ERROR_CODE), 1);
    EXPECT_EQ(CallLong(pDisp, ID_INIT, {CVar(short{0})}), 0);
    EXPECT_EQ(CallLong(pDisp, ID_ON_RECV_DATA, {CVar::IntPtr(0), CVar(long{16})}), -1);
    pDisp->Release();
}

struct SFeedCase
{
    short nKind;           // 4: H.264 RTP, 8: a plain H.264 stream, 7: a plain H.263 stream, 3: H.263 RTP
    const wchar_t* szFile; // the stream, beside it with ".yuv" Debian's ffmpeg's decode of it; null:
                           // made by the codec library's encoder, the reference its own decode
    int nStart;            // the first picture fed: 0 is a key picture, 5 is mid-way through the group
    bool bVFlip;
    int nKeys; // KeyframeReceived events expected
};

class RecvControlFeed : public RecvControlWine, public testing::WithParamInterface<SFeedCase>
{
};

// The host's network thread feeds the stream: nothing shows before a key picture, each key
// picture fires KeyframeReceived on the feeding thread, and the last picture drawn is the
// pattern of its stamped number, upside down when flipped.
TEST_P(RecvControlFeed, DecodesFromAnotherThreadAndDrawsThePattern)
{
    const SFeedCase& c = GetParam();
    const int nFrames = 3 * kGop;
    std::vector<SPacket> packets;
    Bytes decoded;
    if (c.szFile)
    {
        const Bytes stream = ReadBesideProgram(c.szFile);
        ASSERT_FALSE(stream.empty());
        packets = Blocks(stream, c.nKind);
        decoded = ReadBesideProgram((std::wstring(c.szFile) + L".yuv").c_str());
    }
    else
    {
        ASSERT_NO_FATAL_FAILURE(EncodeH263Rtp(packets, decoded));
    }
    ASSERT_EQ(decoded.size(), PatternBytes(kCx, kCy) * nFrames);
    ASSERT_EQ(packets.back().nFrame + 1, nFrames);
    const auto nToFeed = std::count_if(packets.begin(), packets.end(),
                                       [&](const SPacket& packet) { return packet.nFrame >= c.nStart; });

    IDispatch* pDisp = m_host.Dispatch();
    HWND hWnd = m_host.ControlWindow();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hWnd)); // in-place activation does not show it
    EXPECT_EQ(CallLong(pDisp, ID_INIT, {CVar(short{0})}), -1);
    EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"GDI");
    EXPECT_EQ(CallLong(pDisp, ID_LOAD_CODEC, {CVar(L"LMLibrary01U.dll"), CVar(c.nKind), CVar(L"ignored")}),
              -1);
    EXPECT_EQ(CallLong(pDisp, ID_SET_VIDEO_FLIP, {CVar(c.bVFlip), CVar(false)}), -1);

    std::atomic<int> nKeyframes{0};
    std::atomic<DWORD> dwEventThread{0};
    ComPtr<CEventSink> sink;
    sink.Attach(new CEventSink(DIID_DLMVideo_RecvEvents));
    sink->On(EV_KEYFRAME_RECEIVED,
             [&](const EventArgs&)
             {
                 dwEventThread = GetCurrentThreadId();
                 ++nKeyframes;
             });
    ASSERT_EQ(m_host.Advise(sink.Get()), S_OK);

    std::atomic<int> nFed{0};
    std::atomic<bool> bHiddenBeforeKey{true}, bFailed{false};
    std::atomic<DWORD> dwFeeder{0};
    std::thread feeder(
        [&]
        {
            dwFeeder = GetCurrentThreadId();
            for (const SPacket& packet : packets)
            {
                if (packet.nFrame < c.nStart) continue;
                if (c.nStart > 0 && packet.nFrame < kGop && IsWindowVisible(hWnd)) bHiddenBeforeKey = false;
                CVar result;
                CVar args[] = {CVar::IntPtr(reinterpret_cast<INT_PTR>(packet.bytes.data())),
                               CVar(static_cast<long>(packet.bytes.size()))};
                VARIANT raw[] = {args[0].Get(), args[1].Get()};
                if (FAILED(DispInvoke(pDisp, ID_ON_RECV_DATA, DISPATCH_METHOD, result.Ptr(), raw, 2)) ||
                    result.Get().boolVal != VARIANT_TRUE)
                    bFailed = true;
                ++nFed;
            }
        });
    ASSERT_TRUE(PumpUntil([&] { return nFed.load() == nToFeed; }));
    feeder.join();
    EXPECT_FALSE(bFailed.load());
    EXPECT_TRUE(bHiddenBeforeKey.load());
    EXPECT_EQ(nKeyframes.load(), c.nKeys);
    EXPECT_EQ(dwEventThread.load(), dwFeeder.load());
    EXPECT_EQ(CallLong(pDisp, ID_IS_KEY_FRAME), 0); // the last picture is an ordinary one
    // The last report is the window thread's draw (0) or, when the feed's last picture was
    // dropped or not yet drawn, a packet that completed no picture: neither is a failure.
    const long nLastError = CallLong(pDisp, ID_GET_LAST_ERROR_CODE);
    EXPECT_TRUE(nLastError == 0 || nLastError == static_cast<long>(LM_E_NOPICTURE)) << std::hex << nLastError;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(hWnd) != FALSE; }));
    Pump();

    const std::vector<uint32_t> pixels = ReadBack(hWnd);
    const Bytes luma = Luma(pixels, c.bVFlip);
    const int32_t nStamp = ReadPatternStamp(luma.data(), kCx, kCy);
    ASSERT_GE(nStamp, 2 * kGop);
    ASSERT_LT(nStamp, nFrames);
    Bytes source(PatternBytes(kCx, kCy));
    ASSERT_TRUE(MakeStampedPattern(static_cast<uint32_t>(nStamp), kCx, kCy, source.data()));
    EXPECT_GE(LumaPsnr(luma.data(), source.data()), 30.0) << "frame " << nStamp;
    // Against the reference decode's picture only colour conversion and rounding remain.
    EXPECT_GE(LumaPsnr(luma.data(), decoded.data() + PatternBytes(kCx, kCy) * nStamp), 40.0)
        << "frame " << nStamp;
    if (c.nKind == 4 && !c.bVFlip) SaveScreenshot(pixels, QUILLON_SCREENSHOT);

    CallLong(pDisp, ID_REMOVE_USER);
    EXPECT_FALSE(IsWindowVisible(hWnd));
    m_host.Destroy(); // before the sink and the packets go
}

INSTANTIATE_TEST_SUITE_P(
    KindStartFlip, RecvControlFeed,
    testing::Values(SFeedCase{4, L"recv-cif.h264", 5, false, 2}, SFeedCase{4, L"recv-cif.h264", 0, true, 3},
                    SFeedCase{8, L"recv-cif.h264", 5, true, 2}, SFeedCase{8, L"recv-cif.h264", 0, false, 3},
                    SFeedCase{7, L"recv-cif.h263", 5, true, 2}, SFeedCase{3, nullptr, 5, false, 2}));

// The first picture the host sets is drawn on the calling thread at once; later ones travel
// through the window's messages.
TEST_F(RecvControlWine, SetImageDrawsTheFirstPictureAtOnce)
{
    IDispatch* pDisp = m_host.Dispatch();
    HWND hWnd = m_host.ControlWindow();
    // Without a renderer the paint handler still validates its region (else WM_PAINT never ends).
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    InvalidateRect(hWnd, nullptr, FALSE);
    UpdateWindow(hWnd);
    EXPECT_FALSE(GetUpdateRect(hWnd, nullptr, FALSE));
    ASSERT_EQ(CallLong(pDisp, ID_INIT, {CVar(short{0})}), -1);
    Pump();
    std::vector<uint32_t> picture(kCx * kCy, 0x00C03020);
    auto setImage = [&]
    {
        return CallLong(pDisp, ID_SET_IMAGE,
                        {CVar::IntPtr(reinterpret_cast<INT_PTR>(picture.data())),
                         CVar(static_cast<long>(picture.size() * 4)), CVar(short{kCx}), CVar(short{kCy})});
    };
    EXPECT_EQ(setImage(), -1);
    EXPECT_EQ(ReadBack(hWnd)[kCy / 2 * kCx + kCx / 2] & 0xFFFFFF, 0xC03020u); // drawn without a message
    std::fill(picture.begin(), picture.end(), 0x00104080);
    EXPECT_EQ(setImage(), -1);
    EXPECT_EQ(ReadBack(hWnd)[kCy / 2 * kCx + kCx / 2] & 0xFFFFFF, 0xC03020u); // posted, not yet drawn
    ASSERT_TRUE(PumpUntil([&] { return (ReadBack(hWnd)[kCy / 2 * kCx + kCx / 2] & 0xFFFFFF) == 0x104080u; }));
    EXPECT_EQ(CallLong(pDisp, ID_SET_IMAGE, {CVar::IntPtr(0), CVar(long{4}), CVar(short{1}), CVar(short{1})}),
              0);
}

// In a form designer the control shows at once and draws its name centred on white.
TEST_F(RecvControlWine, DesignModeDrawsItsNameOnWhite)
{
    m_host.Destroy();
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kRecvProgId, &clsid), S_OK);
    ComPtr<IOleObject> object;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.OutVoid()), S_OK);
    const RECT rc{0, 0, kCx, kCy};
    ComPtr<CControlSite> inner;
    inner.Attach(new CControlSite(m_hWndHost, rc));
    ComPtr<CDesignSite> site;
    site.Attach(new CDesignSite(static_cast<IOleClientSite*>(inner.Get())));
    ASSERT_EQ(object->SetClientSite(static_cast<IOleClientSite*>(site.Get())), S_OK);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site.Get()), 0,
                             m_hWndHost, &rc),
              S_OK);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(object.As(inPlace), S_OK);
    HWND hWnd = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&hWnd), S_OK);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    UpdateWindow(hWnd);
    Pump();

    const std::vector<uint32_t> pixels = ReadBack(hWnd);
    size_t nWhite = 0, nDarkMiddle = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        const uint32_t c = pixels[i] & 0xFFFFFF;
        nWhite += c == 0xFFFFFF;
        const int y = static_cast<int>(i / kCx), x = static_cast<int>(i % kCx);
        nDarkMiddle += c == 0 && abs(y - kCy / 2) < 10 && abs(x - kCx / 2) < 60;
    }
    EXPECT_GT(nWhite, pixels.size() * 9 / 10);
    EXPECT_GT(nDarkMiddle, 20u); // the name's letters
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFFFFu);
    SaveScreenshot(pixels, QUILLON_SCREENSHOT_DESIGN);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
}
