// The send control under Wine, hosted by ProgID, capturing our own test camera through Wine's
// DirectShow: every offered format reaches the host's RecordData sink on the sender thread with
// the camera's pixels, the preview shows upright and mirrored as asked, and the paths without a
// camera or without an engine fail cleanly. A shared movie's pictures take the same road, its
// sound comes as VideoShareVoice, and play, pause, seek, stop and the end work through the control.
#include "comkit/ControlHost.h"
#include "comkit/ControlSite.h"
#include "comkit/DispatchTable.h"
#include "comkit/EventSink.h"
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/module/LMVideoGuids.h"
#include "lmvideo/fixtures/StampedPattern.h"
#include "lmvideo/module/LMVideoRules.h"
#include "tests/comkit/DesignSite.h"
#include "tests/comkit/Regsvr32.h"
#include "tests/lmvideo_send/CameraFrames.h"
#include "tests/lmvideo_send/TestCameraIds.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int kCx = 352, kCy = 288;

enum : DISPID
{
    ID_INIT = 1,
    ID_GET_CAPTURE_MODE = 2,
    ID_SHOW_VIDEO_SOURCE = 5,
    ID_EXCLUDE_CLIP_RECT = 7,
    ID_SET_VIDEO_FLIP = 8,
    ID_GET_LAST_ERROR_CODE = 9,
    ID_GET_LAST_ERROR_MESSAGE = 10,
    ID_GET_INTERLACE = 12,
    ID_SET_CROSS_BAR = 13,
    ID_GET_CROSS_BAR = 14,
    ID_GET_LOADER = 15,
    ID_INIT_VIDEO_SHARE = 16,
    ID_LOAD = 17,
    ID_SEEK = 18,
    ID_GET_TOTAL_PLAY_TIME = 20,
    ID_GET_PLAYING_STATE = 22,
    ID_PLAY = 23,
    ID_PAUSE = 24,
    ID_STOP = 25,
    ID_SET_PAUSE = 26,
    ID_SET_FRAMERATE = 27,
    ID_GET_MOVIE_INFO = 28,
    ID_SET_FRAMERATE_LIMIT = 30,
    ID_SET_IMAGE = 38,
};
// The receive control's methods the end-to-end test uses.
enum : DISPID
{
    RECV_ON_RECV_DATA = 2,
    RECV_INIT = 7,
    RECV_LOAD_CODEC = 11,
};
constexpr DISPID EV_RECORD_DATA = 1, EV_VIDEO_SHARE_VOICE = 2, EV_END_OF_VIDEO_SHARE = 3;
constexpr long kTrue = -1;
constexpr long kCompositeInput = 2; // a physical connector type

std::wstring OcxPath()
{
    return TestFolder() + L"\\LMVideoU.ocx";
}

std::wstring CameraPath()
{
    return TestFolder() + L"\\QuillonTestCamera.dll";
}

// The frame interval the test camera was last set to, asked of the loaded camera.
int64_t CameraSetInterval()
{
    HMODULE hCamera = GetModuleHandleW(L"QuillonTestCamera.dll");
    auto* pAsk = hCamera ? reinterpret_cast<int64_t (*)()>(reinterpret_cast<void*>(
                               GetProcAddress(hCamera, "QuillonTestCameraSetInterval")))
                         : nullptr;
    return pAsk ? pAsk() : -1;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// Pumps this thread's messages until the condition holds or twenty seconds pass.
template <class F> bool PumpUntil(F condition)
{
    const ULONGLONG tEnd = GetTickCount64() + 20000;
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

INT_PTR CallIntPtr(IDispatch* pDisp, DISPID dispid)
{
    CVar result;
    EXPECT_EQ(DispInvoke(pDisp, dispid, DISPATCH_METHOD, result.Ptr(), nullptr, 0), S_OK) << dispid;
    const VARIANT v = result.Get();
    return v.vt == kVtIntPtr ? GetIntPtr(v) : 0;
}

std::wstring CallText(IDispatch* pDisp, DISPID dispid)
{
    CVar result;
    EXPECT_EQ(DispInvoke(pDisp, dispid, DISPATCH_METHOD, result.Ptr(), nullptr, 0), S_OK) << dispid;
    std::wstring text;
    result.ToString(text);
    return text;
}

long Init(IDispatch* pDisp, int nWidth, int nHeight, bool bInterlace = false, short nCamera = 0)
{
    return CallLong(pDisp, ID_INIT,
                    {CVar(nCamera), CVar(static_cast<short>(nWidth)), CVar(static_cast<short>(nHeight)),
                     CVar(kCompositeInput), CVar(bInterlace), CVar(short{0})});
}

// The names of the filter graphs in the running object table.
int CountGraphsInTable()
{
    IRunningObjectTable* pTable = nullptr;
    if (FAILED(GetRunningObjectTable(0, &pTable))) return -1;
    IEnumMoniker* pEnum = nullptr;
    IBindCtx* pContext = nullptr;
    CreateBindCtx(0, &pContext);
    int nGraphs = 0;
    if (SUCCEEDED(pTable->EnumRunning(&pEnum)))
    {
        for (IMoniker* pMoniker = nullptr; pEnum->Next(1, &pMoniker, nullptr) == S_OK; pMoniker->Release())
        {
            LPOLESTR szName = nullptr;
            if (SUCCEEDED(pMoniker->GetDisplayName(pContext, nullptr, &szName)))
            {
                nGraphs += wcsstr(szName, L"FilterGraph ") != nullptr && wcsstr(szName, L" pid ") != nullptr;
                CoTaskMemFree(szName);
            }
        }
        pEnum->Release();
    }
    pContext->Release();
    pTable->Release();
    return nGraphs;
}

// The client area as 32-bit top-down pixels, read back through the window's DC.
std::vector<uint32_t> ReadBack(HWND hWnd, int cx = kCx, int cy = kCy)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(cx) * cy);
    HDC hdc = GetDC(hWnd);
    HDC hMem = CreateCompatibleDC(hdc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hMem, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    BitBlt(hMem, 0, 0, cx, cy, hdc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(pixels.data(), pBits, pixels.size() * 4);
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(hWnd, hdc);
    return pixels;
}

void SaveScreenshot(const std::vector<uint32_t>& pixels, const wchar_t* szPath, int cx = kCx, int cy = kCy)
{
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
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

uint8_t LumaOf(double r, double g, double b)
{
    return static_cast<uint8_t>(std::lround(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255));
}

// The luma of 32-bit read-back pixels (B, G, R, A), mirrored back when the picture was mirrored.
Bytes ReadBackLuma(const std::vector<uint32_t>& pixels, bool bMirrored, int cx = kCx)
{
    Bytes luma(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        const size_t y = i / cx, x = i % cx;
        luma[y * cx + (bMirrored ? cx - 1 - x : x)] =
            LumaOf((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
    }
    return luma;
}

// The luma plane of an event's picture, rows top-down.
Bytes EventLuma(const std::wstring& format, const Bytes& bytes, int nWidth, int nHeight)
{
    Bytes luma(static_cast<size_t>(nWidth) * nHeight);
    for (size_t i = 0; i < luma.size(); ++i)
    {
        if (format == LM_FMT_YUV420)
            luma[i] = bytes[i];
        else if (format == LM_FMT_YUY2)
            luma[i] = bytes[i * 2];
        else
            luma[i] = LumaOf(bytes[i * 3 + 2], bytes[i * 3 + 1], bytes[i * 3]);
    }
    return luma;
}

double Psnr(const Bytes& a, const Bytes& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

// Every other line of a picture of nRowBytes a line.
Bytes EvenLines(const Bytes& picture, size_t nRowBytes, int nHeight)
{
    Bytes even;
    for (int row = 0; row < nHeight / 2; ++row)
        even.insert(even.end(), picture.begin() + 2 * row * nRowBytes,
                    picture.begin() + (2 * row + 1) * nRowBytes);
    return even;
}

// Each line twice: the stamp's blocks are as tall again as in the field.
Bytes DoubleLines(const Bytes& luma, int nWidth, int nHeight)
{
    Bytes doubled;
    for (int row = 0; row < nHeight; ++row)
        for (int n = 0; n < 2; ++n)
            doubled.insert(doubled.end(), luma.begin() + row * nWidth, luma.begin() + (row + 1) * nWidth);
    return doubled;
}

// A child window showing the test camera's name: the camera's property page.
BOOL CALLBACK FindCameraPage(HWND hChild, LPARAM lFound)
{
    wchar_t szText[64] = L"";
    GetWindowTextW(hChild, szText, 64);
    if (wcscmp(szText, kTestCameraName) != 0) return TRUE;
    *reinterpret_cast<HWND*>(lFound) = hChild;
    return FALSE;
}

// Cancels a visible window of this process that holds the camera's page, and says so.
BOOL CALLBACK CloseCameraPageFrame(HWND hWnd, LPARAM lSeen)
{
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess != GetCurrentProcessId() || !IsWindowVisible(hWnd)) return TRUE;
    HWND hPage = nullptr;
    EnumChildWindows(hWnd, &FindCameraPage, reinterpret_cast<LPARAM>(&hPage));
    if (!hPage) return TRUE;
    reinterpret_cast<std::atomic<bool>*>(lSeen)->store(true);
    PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}

struct SEvent
{
    Bytes bytes;
    std::wstring format;
    long nWidth, nHeight, nSeconds;
    DWORD dwThread;
};

// What a movie picture said: its stamp (-1 unreadable), time and likeness to the source.
struct SMoviePicture
{
    int32_t nStamp;
    long nSeconds;
    double dPsnr;
    bool bWhole; // "12YUV420" of the movie's size and bytes
};

struct SVoicePacket
{
    Bytes bytes;
    long nSeconds;
    DWORD dwThread;
};

// The host's sink of RecordData: copies each picture while the event lasts, as a host must.
class CRecordSink
{
public:
    CRecordSink()
    {
        m_sink.Attach(new CEventSink(DIID_DLMVideo_SendEvents));
        m_sink->On(EV_RECORD_DATA,
                   [this](const EventArgs& args)
                   {
                       const auto* pData = reinterpret_cast<const uint8_t*>(args.IntPtr(0));
                       const long nBytes = args.I4(1);
                       SEvent event{Bytes(pData, pData + std::max(0L, nBytes)),
                                    args.Str(2),
                                    args.I4(3),
                                    args.I4(4),
                                    args.I4(5),
                                    GetCurrentThreadId()};
                       std::lock_guard<std::mutex> guard(m_lock);
                       if (m_bKeepMovie) KeepMoviePicture(event);
                       m_last = std::move(event);
                       ++m_nEvents;
                   });
        m_sink->On(
            EV_VIDEO_SHARE_VOICE,
            [this](const EventArgs& args)
            {
                const auto* pData = reinterpret_cast<const uint8_t*>(args.IntPtr(0));
                const long nBytes = args.I4(1);
                // Replacing the engine from within its own movie callback is refused.
                if (IDispatch* pDisp = m_pReenter.exchange(nullptr))
                    m_nReentered = CallLong(pDisp, ID_INIT_VIDEO_SHARE, {CVar(short{0}), CVar(long{1})});
                std::lock_guard<std::mutex> guard(m_lock);
                m_packets.push_back(
                    {Bytes(pData, pData + std::max(0L, nBytes)), args.I4(2), GetCurrentThreadId()});
            });
        m_sink->On(EV_END_OF_VIDEO_SHARE, [this](const EventArgs&) { ++m_nEnds; });
    }
    // From now on movie pictures are judged as they come (the bytes are not kept).
    void KeepMoviePictures() { m_bKeepMovie = true; }
    std::vector<SMoviePicture> MoviePictures()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_pictures;
    }
    std::vector<SVoicePacket> Packets()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_packets;
    }
    long Ends() const { return m_nEnds.load(); }
    // The next VideoShareVoice sink calls InitVideoShare on pDisp; its result comes back here.
    void ReenterOnce(IDispatch* pDisp) { m_pReenter = pDisp; }
    long Reentered() const { return m_nReentered.load(); }
    CEventSink* Get() { return m_sink.Get(); }
    long Count() const { return m_nEvents.load(); }
    SEvent Last()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_last;
    }

private:
    ComPtr<CEventSink> m_sink;
    std::mutex m_lock;
    SEvent m_last;
    std::atomic<long> m_nEvents{0};
    std::atomic<bool> m_bKeepMovie{false};
    std::vector<SMoviePicture> m_pictures;
    std::vector<SVoicePacket> m_packets;
    std::atomic<long> m_nEnds{0};
    std::atomic<IDispatch*> m_pReenter{nullptr};
    std::atomic<long> m_nReentered{1};

    void KeepMoviePicture(const SEvent& event)
    {
        const bool bWhole = event.format == LM_FMT_YUV420 && event.nWidth == kCx && event.nHeight == kCy &&
                            event.bytes.size() == PatternBytes(kCx, kCy);
        SMoviePicture picture{-1, event.nSeconds, 0, bWhole};
        if (bWhole) picture.nStamp = ReadPatternStamp(event.bytes.data(), kCx, kCy);
        Bytes source(PatternBytes(kCx, kCy));
        if (picture.nStamp >= 0 &&
            MakeStampedPattern(static_cast<uint32_t>(picture.nStamp), kCx, kCy, source.data()))
            picture.dPsnr = Psnr(Bytes(event.bytes.begin(), event.bytes.begin() + kCx * kCy),
                                 Bytes(source.begin(), source.begin() + kCx * kCy));
        m_pictures.push_back(picture);
    }
};

class SendControlWine : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(RunRegsvr32(L"/s \"" + OcxPath() + L"\""), 0);
        ASSERT_EQ(RunRegsvr32(L"/s \"" + CameraPath() + L"\""), 0);
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(RunRegsvr32(L"/u /s \"" + CameraPath() + L"\""), 0);
        EXPECT_EQ(RunRegsvr32(L"/u /s \"" + OcxPath() + L"\""), 0);
        CLSID clsid{};
        EXPECT_NE(CLSIDFromProgID(kSendProgId, &clsid), S_OK);
        CoUninitialize();
    }
    void SetUp() override
    {
        SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", nullptr);
        RECT frame{0, 0, kCx, kCy};
        AdjustWindowRect(&frame, WS_POPUP, FALSE);
        m_hWndHost = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"host", WS_POPUP | WS_CLIPCHILDREN, 30, 30,
                                     frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(m_hWndHost, nullptr);
        ShowWindow(m_hWndHost, SW_SHOWNOACTIVATE);
        ASSERT_EQ(m_host.Create(kSendProgId, m_hWndHost, RECT{0, 0, kCx, kCy}), S_OK);
        ASSERT_EQ(m_host.Advise(m_sink.Get()), S_OK);
    }
    void TearDown() override
    {
        m_host.Destroy();
        DestroyWindow(m_hWndHost);
        EXPECT_EQ(CountGraphsInTable(), 0);
    }
    // Waits for n more events than there were.
    bool WaitForEvents(long n)
    {
        const long nWanted = m_sink.Count() + n;
        return PumpUntil([&] { return m_sink.Count() >= nWanted; });
    }

    HWND m_hWndHost = nullptr;
    CRecordSink m_sink;
    CControlHost m_host;
};
} // namespace

TEST_F(SendControlWine, TheDeviceEnumeratorListsTheTestCamera)
{
    ICreateDevEnum* pDevices = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                               reinterpret_cast<void**>(&pDevices)),
              S_OK);
    IEnumMoniker* pEnum = nullptr;
    ASSERT_EQ(pDevices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &pEnum, 0), S_OK);
    std::vector<std::wstring> names;
    for (IMoniker* pMoniker = nullptr; pEnum->Next(1, &pMoniker, nullptr) == S_OK; pMoniker->Release())
    {
        IPropertyBag* pBag = nullptr;
        if (FAILED(
                pMoniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&pBag))))
            continue;
        VARIANT name;
        VariantInit(&name);
        if (SUCCEEDED(pBag->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR)
            names.push_back(name.bstrVal);
        VariantClear(&name);
        pBag->Release();
    }
    pEnum->Release();
    pDevices->Release();
    EXPECT_NE(std::find(names.begin(), names.end(), std::wstring(kTestCameraName)), names.end());
}

TEST_F(SendControlWine, WithoutAnEngineCallsDoNothing)
{
    IDispatch* pDisp = m_host.Dispatch();
    EXPECT_EQ(CallLong(pDisp, ID_GET_CAPTURE_MODE), 0);
    EXPECT_EQ(CallLong(pDisp, ID_GET_LAST_ERROR_CODE), 1);
    uint32_t pixel = 0;
    EXPECT_EQ(CallLong(pDisp, ID_SET_IMAGE,
                       {CVar::IntPtr(reinterpret_cast<INT_PTR>(&pixel)), CVar(long{4}), CVar(short{1}),
                        CVar(short{1})}),
              0);
    EXPECT_EQ(CallLong(pDisp, ID_SET_CROSS_BAR, {CVar(kCompositeInput)}), 0);
    EXPECT_EQ(CallLong(pDisp, ID_SHOW_VIDEO_SOURCE), 0);
    // The movie methods answer FALSE or 0.
    EXPECT_EQ(CallLong(pDisp, ID_PLAY), 0);
    EXPECT_EQ(CallLong(pDisp, ID_LOAD, {CVar(L"x.mp4")}), 0);
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 0);
    EXPECT_EQ(CallLong(pDisp, ID_GET_MOVIE_INFO), 0);
}

TEST_F(SendControlWine, NoCameraFailsCleanly)
{
    ASSERT_EQ(RunRegsvr32(L"/u /s \"" + CameraPath() + L"\""), 0);
    IDispatch* pDisp = m_host.Dispatch();
    EXPECT_EQ(Init(pDisp, 352, 288), 0);
    EXPECT_EQ(CallLong(pDisp, ID_GET_CAPTURE_MODE), 1);
    EXPECT_EQ(CallLong(pDisp, ID_GET_LAST_ERROR_CODE), static_cast<long>(E_FAIL));
    EXPECT_NE(CallText(pDisp, ID_GET_LAST_ERROR_MESSAGE).find(L"0x80004005"), std::wstring::npos);
    EXPECT_EQ(CountGraphsInTable(), 0);
    EXPECT_EQ(CallLong(pDisp, ID_SET_CROSS_BAR, {CVar(kCompositeInput)}), 0);
    ASSERT_EQ(RunRegsvr32(L"/s \"" + CameraPath() + L"\""), 0);
}

struct SCaptureCase
{
    const wchar_t* szSubtype;
    int nWidth, nHeight;
    bool bInterlace;
    short nFramerateLimit;
};

class SendControlCapture : public SendControlWine, public testing::WithParamInterface<SCaptureCase>
{
};

// One format of the camera at a time: RecordData brings the camera's picture of its stamped
// number, on the sender thread, in the format, size and byte count the capture path makes.
TEST_P(SendControlCapture, RecordDataCarriesTheCamerasPictures)
{
    const SCaptureCase& c = GetParam();
    const std::wstring setting =
        std::wstring(c.szSubtype) + L";" + std::to_wstring(c.nWidth) + L"x" + std::to_wstring(c.nHeight);
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", setting.c_str());
    IDispatch* pDisp = m_host.Dispatch();
    if (c.nFramerateLimit) CallLong(pDisp, ID_SET_FRAMERATE_LIMIT, {CVar(c.nFramerateLimit)});
    ASSERT_EQ(Init(pDisp, c.nWidth, c.nHeight, c.bInterlace), kTrue)
        << CallText(pDisp, ID_GET_LAST_ERROR_MESSAGE);
    // A limit set before Init, as the program sets it, is the camera's frame interval; one above
    // the camera's fastest rate (30 a second) leaves that.
    if (c.nFramerateLimit)
    {
        EXPECT_EQ(CameraSetInterval(), std::max<int64_t>(10000000 / c.nFramerateLimit, 333333));
    }
    EXPECT_EQ(CallLong(pDisp, ID_GET_INTERLACE), c.bInterlace ? kTrue : 0);
    EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"GDI");
    EXPECT_EQ(CountGraphsInTable(), 1);
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{30})});
    // The start state fires nothing.
    ASSERT_TRUE(PumpUntil([&] { return m_host.ControlWindow() != nullptr; }));
    EXPECT_EQ(m_sink.Count(), 0);
    CallLong(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    ASSERT_TRUE(WaitForEvents(3));

    const SEvent event = m_sink.Last();
    const std::wstring subtype = c.szSubtype;
    const std::wstring format = c.bInterlace          ? LM_FMT_YUY2
                                : subtype == L"YUY2"  ? LM_FMT_YUY2
                                : subtype == L"RGB24" ? LM_FMT_RGB24
                                                      : LM_FMT_YUV420;
    const int nHeight = c.bInterlace ? c.nHeight / 2 : c.nHeight;
    EXPECT_EQ(event.format, format);
    EXPECT_EQ(event.nWidth, c.nWidth);
    EXPECT_EQ(event.nHeight, nHeight);
    EXPECT_EQ(event.nSeconds, 0);
    EXPECT_NE(event.dwThread, GetCurrentThreadId());
    ASSERT_EQ(static_cast<int64_t>(event.bytes.size()), LMPictureBytes(format.c_str(), c.nWidth, nHeight));

    Bytes luma = EventLuma(format, event.bytes, c.nWidth, nHeight);
    const int32_t nStamp =
        c.bInterlace ? ReadCameraStamp(DoubleLines(luma, c.nWidth, nHeight).data(), c.nWidth, nHeight * 2)
                     : ReadCameraStamp(luma.data(), c.nWidth, nHeight);
    ASSERT_GE(nStamp, 0);
    ASSERT_LT(nStamp, kCameraFrames);
    Bytes planar;
    ASSERT_TRUE(MakeCameraPlanar(static_cast<uint32_t>(nStamp), c.nWidth, c.nHeight, planar));
    const Bytes sourceLuma(planar.begin(), planar.begin() + c.nWidth * c.nHeight);
    if (subtype == L"MJPG")
        EXPECT_GE(Psnr(luma, sourceLuma), 35.0);
    else if (c.bInterlace)
    {
        // The field's luma is the camera's even lines: exact from YUV, close from RGB.
        const Bytes even = EvenLines(sourceLuma, static_cast<size_t>(c.nWidth), c.nHeight);
        if (subtype == L"RGB24")
            EXPECT_GE(Psnr(luma, even), 35.0);
        else
            EXPECT_EQ(luma, even);
        if (subtype == L"YUY2")
        {
            Bytes yuy2;
            ASSERT_TRUE(MakeCameraFrame(ECameraFormat::YUY2, static_cast<uint32_t>(nStamp), c.nWidth,
                                        c.nHeight, yuy2));
            EXPECT_EQ(event.bytes, EvenLines(yuy2, static_cast<size_t>(c.nWidth) * 2, c.nHeight));
        }
    }
    else
    {
        // Exact, and RGB upright: the camera's bottom-up rows are turned.
        Bytes expected;
        const ECameraFormat kind = subtype == L"YUY2"    ? ECameraFormat::YUY2
                                   : subtype == L"RGB24" ? ECameraFormat::RGB24
                                                         : ECameraFormat::I420;
        ASSERT_TRUE(MakeCameraFrame(kind, static_cast<uint32_t>(nStamp), c.nWidth, c.nHeight, expected));
        if (kind == ECameraFormat::RGB24)
            expected = [&]
            {
                Bytes upright;
                const size_t nRow = static_cast<size_t>(c.nWidth) * 3;
                for (int row = c.nHeight - 1; row >= 0; --row)
                    upright.insert(upright.end(), expected.begin() + row * nRow,
                                   expected.begin() + (row + 1) * nRow);
                return upright;
            }();
        EXPECT_TRUE(event.bytes == expected) << "frame " << nStamp;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SubtypeSizeInterlaceLimit, SendControlCapture,
    testing::Values(SCaptureCase{L"I420", 352, 288, false, 0}, SCaptureCase{L"YUY2", 320, 240, false, 0},
                    SCaptureCase{L"RGB24", 176, 144, false, 0}, SCaptureCase{L"MJPG", 352, 288, false, 0},
                    SCaptureCase{L"I420", 1280, 720, false, 15}, SCaptureCase{L"YUY2", 640, 480, true, 0},
                    SCaptureCase{L"I420", 352, 288, true, 60}, SCaptureCase{L"RGB24", 320, 240, true, 0},
                    SCaptureCase{L"MJPG", 640, 480, false, 5}));

// Offered I420 and YUY2 at the size, the camera is captured in I420; a size it does not offer
// fails; a device index beyond the devices takes the first.
TEST_F(SendControlWine, FormatChoiceAgainstTheCamera)
{
    IDispatch* pDisp = m_host.Dispatch();
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", L"YUY2,I420,RGB24,MJPG;352x288");
    ASSERT_EQ(Init(pDisp, 352, 288, false, 7), kTrue) << CallText(pDisp, ID_GET_LAST_ERROR_MESSAGE);
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{60})});
    CallLong(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(m_sink.Last().format, LM_FMT_YUV420);

    // A second Init replaces the engine: its sender thread has ended, one graph in the table.
    const DWORD dwOldSender = m_sink.Last().dwThread;
    EXPECT_EQ(Init(pDisp, 320, 240), 0);
    HANDLE hOldSender = OpenThread(SYNCHRONIZE, FALSE, dwOldSender);
    EXPECT_TRUE(!hOldSender || WaitForSingleObject(hOldSender, 0) == WAIT_OBJECT_0);
    if (hOldSender) CloseHandle(hOldSender);
    EXPECT_EQ(CountGraphsInTable(), 0);
    EXPECT_EQ(CallLong(pDisp, ID_GET_LAST_ERROR_CODE), static_cast<long>(E_FAIL));
    ASSERT_EQ(Init(pDisp, 352, 288), kTrue);
    EXPECT_EQ(CountGraphsInTable(), 1);
    // The camera has no crossbar.
    EXPECT_EQ(CallLong(pDisp, ID_SET_CROSS_BAR, {CVar(kCompositeInput)}), 0);
    EXPECT_EQ(CallLong(pDisp, ID_GET_CROSS_BAR), -1);

    // The host's painting leaves out the visible control's rectangle; a number that is no device
    // context is left alone.
    HWND hWnd = m_host.ControlWindow();
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    MoveWindow(hWnd, 10, 20, 100, 50, FALSE);
    HDC hdc = GetDC(m_hWndHost);
    CallLong(pDisp, ID_EXCLUDE_CLIP_RECT, {CVar::IntPtr(reinterpret_cast<INT_PTR>(hdc))});
    EXPECT_FALSE(PtVisible(hdc, 50, 40));
    EXPECT_TRUE(PtVisible(hdc, 5, 5));
    EXPECT_TRUE(PtVisible(hdc, 120, 40));
    ReleaseDC(m_hWndHost, hdc);
    CallLong(pDisp, ID_EXCLUDE_CLIP_RECT, {CVar::IntPtr(12345)});
}

// The preview is the camera's picture, upright, and mirrored as the flags say.
TEST_F(SendControlWine, PreviewIsUprightAndMirrored)
{
    IDispatch* pDisp = m_host.Dispatch();
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", L"RGB24;352x288");
    ASSERT_EQ(Init(pDisp, kCx, kCy), kTrue) << CallText(pDisp, ID_GET_LAST_ERROR_MESSAGE);
    HWND hWnd = m_host.ControlWindow();
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{60})});
    CallLong(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    for (const bool bMirrored : {false, true})
    {
        SCOPED_TRACE(bMirrored ? "mirrored" : "upright");
        EXPECT_EQ(CallLong(pDisp, ID_SET_VIDEO_FLIP, {CVar(false), CVar(bMirrored)}), kTrue);
        // Every picture is previewed before its event: these were drawn with the new flags.
        ASSERT_TRUE(WaitForEvents(3));
        const std::vector<uint32_t> pixels = ReadBack(hWnd);
        const Bytes luma = ReadBackLuma(pixels, bMirrored);
        const int32_t nStamp = ReadCameraStamp(luma.data(), kCx, kCy);
        ASSERT_GE(nStamp, 0);
        ASSERT_LT(nStamp, kCameraFrames);
        Bytes planar;
        ASSERT_TRUE(MakeCameraPlanar(static_cast<uint32_t>(nStamp), kCx, kCy, planar));
        EXPECT_GE(Psnr(luma, Bytes(planar.begin(), planar.begin() + kCx * kCy)), 30.0);
        if (!bMirrored) SaveScreenshot(pixels, QUILLON_SCREENSHOT);
    }
}

// The camera's property page opens in a frame owned by the control; a second thread closes it.
TEST_F(SendControlWine, ShowVideoSourceOpensTheCamerasPage)
{
    IDispatch* pDisp = m_host.Dispatch();
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", L"I420;352x288");
    ASSERT_EQ(Init(pDisp, 352, 288), kTrue);
    std::atomic<bool> bSawPage{false}, bDone{false};
    std::thread closer(
        [&]
        {
            while (!bDone.load())
            {
                EnumWindows(&CloseCameraPageFrame, reinterpret_cast<LPARAM>(&bSawPage));
                if (bSawPage.load()) return;
                Sleep(20);
            }
        });
    EXPECT_EQ(CallLong(pDisp, ID_SHOW_VIDEO_SOURCE), kTrue);
    bDone = true;
    closer.join();
    EXPECT_TRUE(bSawPage.load());
}

// In a form designer the control draws its name centred on white.
TEST_F(SendControlWine, DesignModeDrawsItsName)
{
    m_host.Destroy();
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kSendProgId, &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_LMVideo_Send));
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
    EXPECT_GT(nDarkMiddle, 20u);
    SaveScreenshot(pixels, QUILLON_SCREENSHOT_DESIGN);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
}

struct SRoadCase
{
    int nWidth, nHeight;
    short nEncoderKind; // the codec table's type: 2 H.264 RTP encoder, 1 H.263 RTP encoder
    short nDecoderKind; // 4 H.264 RTP decoder, 3 H.263 RTP decoder
    const wchar_t* szEncoderLibrary;
    const wchar_t* szOptions;
};

class SendControlRoad : public SendControlWine, public testing::WithParamInterface<SRoadCase>
{
};

// The whole road in one host: the send control captures the camera, the host's sink encodes
// every RecordData picture into RTP units, a receive control beside it decodes and draws them.
TEST_P(SendControlRoad, EncodedPicturesShowInAReceiveControl)
{
    const SRoadCase& c = GetParam();
    const std::wstring setting = L"I420;" + std::to_wstring(c.nWidth) + L"x" + std::to_wstring(c.nHeight);
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", setting.c_str());
    m_host.Destroy();
    SetWindowPos(m_hWndHost, nullptr, 0, 0, 2 * c.nWidth, c.nHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CControlHost sender, receiver;
    ASSERT_EQ(sender.Create(kSendProgId, m_hWndHost, RECT{0, 0, c.nWidth, c.nHeight}), S_OK);
    ASSERT_EQ(receiver.Create(kRecvProgId, m_hWndHost, RECT{c.nWidth, 0, 2 * c.nWidth, c.nHeight}), S_OK);
    IDispatch* pRecv = receiver.Dispatch();
    ASSERT_EQ(CallLong(pRecv, RECV_INIT, {CVar(short{0})}), kTrue);
    ASSERT_EQ(CallLong(pRecv, RECV_LOAD_CODEC, {CVar(L"LMLibrary01U.dll"), CVar(c.nDecoderKind), CVar(L"")}),
              kTrue);

    CLMObjectPtr<ILMVideoEncoder> encoder(1, c.szEncoderLibrary, LMCodecFactoryName(c.nEncoderKind));
    ASSERT_TRUE(encoder);
    ASSERT_TRUE(encoder->SetOptions(c.szOptions));
    ASSERT_TRUE(encoder->Init(15, 384000, 1350, c.nWidth, c.nHeight)) << encoder->GetLastErrorMessage();
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    Bytes units(512 * 1024);
    std::atomic<int> nEncoded{0}, nFailed{0};
    ComPtr<CEventSink> sink;
    sink.Attach(new CEventSink(DIID_DLMVideo_SendEvents));
    sink->On(EV_RECORD_DATA,
             [&](const EventArgs& args)
             {
                 const auto* pData = reinterpret_cast<const uint8_t*>(args.IntPtr(0));
                 const std::wstring format = args.Str(2);
                 const S_LMPICTURE picture{args.I4(3), args.I4(4), format.c_str(), nEncoded.load() % 15 == 0};
                 if (!encoder->Encode(pData, args.I4(1), picture, static_cast<int32_t>(units.size()),
                                      units.data(), result.get()))
                 {
                     ++nFailed;
                     return;
                 }
                 size_t at = 0;
                 for (uint32_t i = 0; i < result->nCount; at += result->nSizes[i++])
                 {
                     CVar answer;
                     CVar call[] = {CVar::IntPtr(reinterpret_cast<INT_PTR>(units.data() + at)),
                                    CVar(static_cast<long>(result->nSizes[i]))};
                     VARIANT raw[] = {call[0].Get(), call[1].Get()};
                     if (FAILED(DispInvoke(pRecv, RECV_ON_RECV_DATA, DISPATCH_METHOD, answer.Ptr(), raw, 2)))
                         ++nFailed;
                 }
                 ++nEncoded;
             });
    ASSERT_EQ(sender.Advise(sink.Get()), S_OK);
    IDispatch* pSend = sender.Dispatch();
    ASSERT_EQ(Init(pSend, c.nWidth, c.nHeight), kTrue) << CallText(pSend, ID_GET_LAST_ERROR_MESSAGE);
    CallLong(pSend, ID_SET_FRAMERATE, {CVar(short{15})});
    CallLong(pSend, ID_SET_PAUSE, {CVar(short{0})});
    ASSERT_TRUE(PumpUntil([&] { return nEncoded.load() >= 20; }));
    // No more events: the last pictures handed over are drawn by the receive control's window.
    CallLong(pSend, ID_SET_PAUSE, {CVar(short{1})});
    const int nFinal = nEncoded.load();
    ASSERT_TRUE(PumpUntil([&] { return nEncoded.load() == nFinal; }));
    Pump();
    EXPECT_EQ(nFailed.load(), 0);

    HWND hRecv = receiver.ControlWindow();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(hRecv) != FALSE; }));
    Pump();
    const std::vector<uint32_t> received = ReadBack(hRecv, c.nWidth, c.nHeight);
    const Bytes luma = ReadBackLuma(received, false, c.nWidth);
    const int32_t nStamp = ReadCameraStamp(luma.data(), c.nWidth, c.nHeight);
    ASSERT_GE(nStamp, 0);
    ASSERT_LT(nStamp, kCameraFrames);
    Bytes planar;
    ASSERT_TRUE(MakeCameraPlanar(static_cast<uint32_t>(nStamp), c.nWidth, c.nHeight, planar));
    EXPECT_GE(Psnr(luma, Bytes(planar.begin(), planar.begin() + c.nWidth * c.nHeight)), 30.0)
        << "frame " << nStamp;

    if (c.nWidth == kCx)
    {
        // The preview beside the received picture, for a person to look at.
        const std::vector<uint32_t> preview = ReadBack(sender.ControlWindow(), c.nWidth, c.nHeight);
        std::vector<uint32_t> both(static_cast<size_t>(2 * c.nWidth) * c.nHeight);
        for (int row = 0; row < c.nHeight; ++row)
        {
            std::copy_n(preview.begin() + row * c.nWidth, c.nWidth, both.begin() + row * 2 * c.nWidth);
            std::copy_n(received.begin() + row * c.nWidth, c.nWidth,
                        both.begin() + row * 2 * c.nWidth + c.nWidth);
        }
        SaveScreenshot(both, QUILLON_SCREENSHOT_ROAD, 2 * c.nWidth, c.nHeight);
    }
    // The sender's threads end before the sink, the encoder and the receiver go.
    sender.Destroy();
    receiver.Destroy();
}

INSTANTIATE_TEST_SUITE_P(Codecs, SendControlRoad,
                         testing::Values(SRoadCase{352, 288, 2, 4, L"LMLibrary04U.dll", L"speed=1;"},
                                         SRoadCase{176, 144, 1, 3, L"LMLibrary01U.dll", L""}));

// A host's sink that calls Init on the sender thread is refused: the new engine would wait for
// the thread it runs on. Capture goes on.
TEST_F(SendControlWine, InitFromTheSinkIsRefused)
{
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", L"YUY2;320x240");
    m_host.Destroy();
    CControlHost host;
    ASSERT_EQ(host.Create(kSendProgId, m_hWndHost, RECT{0, 0, kCx, kCy}), S_OK);
    IDispatch* pDisp = host.Dispatch();
    std::atomic<int> nEvents{0}, nRefused{0};
    ComPtr<CEventSink> sink;
    sink.Attach(new CEventSink(DIID_DLMVideo_SendEvents));
    sink->On(EV_RECORD_DATA,
             [&](const EventArgs&)
             {
                 if (nEvents++ == 0)
                 {
                     CVar result;
                     CVar args[] = {CVar(short{0}),        CVar(short{320}), CVar(short{240}),
                                    CVar(kCompositeInput), CVar(false),      CVar(short{0})};
                     VARIANT raw[] = {args[0].Get(), args[1].Get(), args[2].Get(),
                                      args[3].Get(), args[4].Get(), args[5].Get()};
                     if (SUCCEEDED(DispInvoke(pDisp, ID_INIT, DISPATCH_METHOD, result.Ptr(), raw, 6)) &&
                         result.Get().vt == VT_BOOL && result.Get().boolVal == VARIANT_FALSE)
                         ++nRefused;
                 }
             });
    ASSERT_EQ(host.Advise(sink.Get()), S_OK);
    ASSERT_EQ(Init(pDisp, 320, 240), kTrue);
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{60})});
    CallLong(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    ASSERT_TRUE(PumpUntil([&] { return nEvents.load() >= 3; }));
    EXPECT_EQ(nRefused.load(), 1);
    EXPECT_EQ(CountGraphsInTable(), 1);
    host.Destroy();
}

// The start state previews and fires nothing; the paint handler validates its region with or
// without a picture.
TEST_F(SendControlWine, StartStatePreviewsWithoutEvents)
{
    IDispatch* pDisp = m_host.Dispatch();
    HWND hWnd = m_host.ControlWindow();
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    InvalidateRect(hWnd, nullptr, FALSE);
    UpdateWindow(hWnd);
    EXPECT_FALSE(GetUpdateRect(hWnd, nullptr, FALSE));
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", L"I420;352x288");
    ASSERT_EQ(Init(pDisp, kCx, kCy), kTrue);
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{60})});
    // The pattern's first bar is white: the preview has drawn a picture.
    ASSERT_TRUE(PumpUntil([&] { return (ReadBack(hWnd)[kCy / 2 * kCx + 2] & 0xFFFFFF) == 0xFFFFFFu; }));
    EXPECT_EQ(m_sink.Count(), 0);
    InvalidateRect(hWnd, nullptr, FALSE);
    UpdateWindow(hWnd);
    EXPECT_FALSE(GetUpdateRect(hWnd, nullptr, FALSE));
}

// A container releases the renderer (WM_USER+2): no picture goes on without one. Choosing one
// again (WM_USER+3) brings the preview and the events back.
TEST_F(SendControlWine, RendererReleasedAndChosenAgainByMessages)
{
    IDispatch* pDisp = m_host.Dispatch();
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", L"I420;352x288");
    ASSERT_EQ(Init(pDisp, kCx, kCy), kTrue);
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{60})});
    CallLong(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    ASSERT_TRUE(WaitForEvents(2));
    HWND hWnd = m_host.ControlWindow();
    SendMessageW(hWnd, kSendReleaseRenderer, 0, 0);
    EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"");
    SendMessageW(hWnd, kSendChooseRenderer, 0, 0);
    EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"GDI");
    ASSERT_TRUE(WaitForEvents(2));
}

// A movie shared through the control: Load's six values, its pictures by RecordData at the asked
// rate with the movie's time and the source's pixels, its sound by VideoShareVoice with the host's
// source id, both ends, the preview upright, play again after the end from the start, pause and a
// seek forward to the next key picture, stop.
TEST_F(SendControlWine, SharesAMovie)
{
    constexpr long kSSRC = 0x0BADCAFE;
    IDispatch* pDisp = m_host.Dispatch();
    ASSERT_TRUE(PumpUntil([&] { return m_host.ControlWindow() != nullptr; }));
    HWND hWnd = m_host.ControlWindow();
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    ASSERT_EQ(CallLong(pDisp, ID_INIT_VIDEO_SHARE, {CVar(short{0}), CVar(kSSRC)}), kTrue)
        << CallText(pDisp, ID_GET_LAST_ERROR_MESSAGE);
    EXPECT_EQ(CallLong(pDisp, ID_GET_CAPTURE_MODE), 1);
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 1);
    EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"GDI");
    ASSERT_EQ(CallLong(pDisp, ID_LOAD, {CVar(QUILLON_SHARE_MOVIE)}), kTrue);
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 2);
    const auto* pInfo = reinterpret_cast<const int32_t*>(CallIntPtr(pDisp, ID_GET_MOVIE_INFO));
    ASSERT_NE(pInfo, nullptr);
    EXPECT_EQ(std::vector<int32_t>(pInfo, pInfo + 6), (std::vector<int32_t>{3, 0, 0, kCx, kCy, 25}));
    EXPECT_EQ(CallLong(pDisp, ID_GET_TOTAL_PLAY_TIME), 3);

    // Ten pictures a second of the movie's 25.
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{10})});
    CallLong(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    m_sink.KeepMoviePictures();
    m_sink.ReenterOnce(pDisp);
    const ULONGLONG tStart = GetTickCount64();
    ASSERT_EQ(CallLong(pDisp, ID_PLAY), kTrue);
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 3);
    // One end of the pictures, one of the sound.
    ASSERT_TRUE(PumpUntil([&] { return m_sink.Ends() >= 2; }));
    const ULONGLONG nElapsed = GetTickCount64() - tStart;
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 5);
    EXPECT_EQ(m_sink.Reentered(), 0) << "InitVideoShare from the engine's own movie callback";

    const std::vector<SMoviePicture> pictures = m_sink.MoviePictures();
    // The limiter passes a picture per 100 ms of the clock it reads, the first at once.
    EXPECT_LE(pictures.size(), nElapsed / 100 + 2);
    std::set<long> seconds;
    int32_t nLast = -1;
    for (const SMoviePicture& picture : pictures)
    {
        ASSERT_TRUE(picture.bWhole);
        EXPECT_GT(picture.nStamp, nLast);
        EXPECT_EQ(picture.nSeconds, picture.nStamp / 25) << "stamp " << picture.nStamp;
        EXPECT_GE(picture.dPsnr, 30.0) << "stamp " << picture.nStamp;
        seconds.insert(picture.nSeconds);
        nLast = picture.nStamp;
    }
    EXPECT_EQ(seconds, (std::set<long>{0, 1, 2}));
    const std::vector<SVoicePacket> packets = m_sink.Packets();
    // The tone sounds throughout: a packet every 40 ms.
    EXPECT_GE(packets.size(), 30u);
    for (const SVoicePacket& packet : packets)
    {
        ASSERT_GT(packet.bytes.size(), 12u);
        const uint8_t* p = packet.bytes.data();
        EXPECT_EQ(static_cast<long>((p[8] << 24) | (p[9] << 16) | (p[10] << 8) | p[11]), kSSRC);
        EXPECT_NE(packet.dwThread, GetCurrentThreadId());
        EXPECT_LE(packet.nSeconds, 2);
    }

    // The preview keeps the last picture, upright as the movie's rows come.
    Pump();
    const Bytes luma = ReadBackLuma(ReadBack(hWnd), false);
    const int32_t nShown = ReadPatternStamp(luma.data(), kCx, kCy);
    ASSERT_GE(nShown, 0);
    Bytes source(PatternBytes(kCx, kCy));
    ASSERT_TRUE(MakeStampedPattern(static_cast<uint32_t>(nShown), kCx, kCy, source.data()));
    EXPECT_GE(Psnr(luma, Bytes(source.begin(), source.begin() + kCx * kCy)), 25.0);

    // Play after the end starts from the beginning; every picture is passed from now on.
    CallLong(pDisp, ID_SET_FRAMERATE, {CVar(short{60})});
    ASSERT_EQ(CallLong(pDisp, ID_PLAY), kTrue);
    ASSERT_TRUE(PumpUntil([&] { return m_sink.MoviePictures().size() > pictures.size(); }));
    EXPECT_EQ(m_sink.MoviePictures()[pictures.size()].nStamp, 0);

    // Paused, sought forward to second 2 and played: the first picture from there is the key
    // picture of second 2, and nothing older follows it.
    ASSERT_EQ(CallLong(pDisp, ID_PAUSE), kTrue);
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 4);
    ASSERT_EQ(CallLong(pDisp, ID_SEEK, {CVar(long{2})}), kTrue);
    ASSERT_EQ(CallLong(pDisp, ID_PLAY), kTrue);
    auto FirstFromTwo = [&](const std::vector<SMoviePicture>& all)
    {
        return std::find_if(all.begin() + static_cast<ptrdiff_t>(pictures.size()), all.end(),
                            [](const SMoviePicture& picture) { return picture.nStamp >= 50; });
    };
    ASSERT_TRUE(PumpUntil(
        [&]
        {
            const std::vector<SMoviePicture> all = m_sink.MoviePictures();
            return FirstFromTwo(all) != all.end();
        }));
    ASSERT_EQ(CallLong(pDisp, ID_STOP), kTrue);
    EXPECT_EQ(CallLong(pDisp, ID_GET_PLAYING_STATE), 5);
    EXPECT_EQ(CallLong(pDisp, ID_STOP), kTrue);
    const std::vector<SMoviePicture> all = m_sink.MoviePictures();
    const auto itFirst = FirstFromTwo(all);
    EXPECT_EQ(itFirst->nStamp, 50);
    EXPECT_EQ(itFirst->nSeconds, 2);
    for (auto it = itFirst; it != all.end(); ++it)
        EXPECT_GE(it->nStamp, 50);
}
