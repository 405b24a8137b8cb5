// The test camera: a DirectShow video capture source of our own, registered in the video input
// category, so that the send control's whole road runs for real where no camera exists. One
// output pin of the capture category offers the stamped pattern at five sizes in I420, YUY2, MJPG
// and RGB24, at 1 to 30 pictures a second, and delivers time-stamped samples from a streaming
// thread at the chosen frame interval. QUILLON_TEST_CAMERA narrows the offer:
// "SUBTYPE,SUBTYPE...[;WIDTHxHEIGHT]", such as "I420,YUY2;352x288". The performance counter at
// each picture's delivery is kept by its stamp for a host that measures what follows it
// (QuillonTestCameraDeliveredAt), the interval of the format last set is told
// (QuillonTestCameraSetInterval), and so is the time the camera spent filling its samples
// (QuillonTestCameraFillTicks), its own share of the streaming thread.
#include "tests/lmvideo_send/CameraFrames.h"
#include "lmvideo/capture/CaptureIds.h"
#include "tests/lmvideo_send/TestCameraIds.h"

#include <windows.h>
#include <dshow.h>
#include <olectl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
HMODULE g_hModule = nullptr;
std::atomic<long> g_nObjects{0};
// The performance counter when the picture of each stamp was last handed downstream.
std::atomic<int64_t> g_deliveredAt[kCameraFrames];
// The frame interval of the last format set on the pin.
std::atomic<int64_t> g_nSetInterval{0};
// Performance-counter ticks spent filling samples, over all pictures.
std::atomic<int64_t> g_nFillTicks{0};

constexpr REFERENCE_TIME kMinInterval = 333333;   // 30 pictures a second
constexpr REFERENCE_TIME kMaxInterval = 10000000; // 1
constexpr const wchar_t* kCameraName = kTestCameraName;
constexpr wchar_t kPinName[] = L"Capture";

struct SSize
{
    int nWidth, nHeight;
};
constexpr SSize kSizes[] = {{176, 144}, {320, 240}, {352, 288}, {640, 480}, {1280, 720}};

struct SSubtype
{
    const wchar_t* szName;
    ECameraFormat format;
    const GUID* pSubtype;
    DWORD dwCompression;
    WORD wBits;
};
const SSubtype kSubtypes[] = {
    {L"I420", ECameraFormat::I420, &kMediaSubtypeI420, MAKEFOURCC('I', '4', '2', '0'), 12},
    {L"YUY2", ECameraFormat::YUY2, &MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16},
    {L"MJPG", ECameraFormat::MJPG, &MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 24},
    {L"RGB24", ECameraFormat::RGB24, &MEDIASUBTYPE_RGB24, BI_RGB, 24},
};

// One format the camera offers.
struct SOffer
{
    const SSubtype* pSubtype;
    SSize size;
};

std::vector<SOffer> ReadOffers()
{
    wchar_t szSetting[256] = L"";
    GetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", szSetting, 256);
    const std::wstring setting = szSetting;
    const size_t nSemicolon = setting.find(L';');
    const std::wstring subtypes = setting.substr(0, nSemicolon);
    int nWidth = 0, nHeight = 0;
    if (nSemicolon != std::wstring::npos)
        swscanf(setting.c_str() + nSemicolon + 1, L"%dx%d", &nWidth, &nHeight);
    std::vector<SOffer> offers;
    for (const SSize& size : kSizes)
    {
        if (nWidth && (size.nWidth != nWidth || size.nHeight != nHeight)) continue;
        for (const SSubtype& subtype : kSubtypes)
        {
            const std::wstring listed = L"," + subtypes + L",";
            if (!subtypes.empty() &&
                listed.find(L"," + std::wstring(subtype.szName) + L",") == std::wstring::npos)
                continue;
            offers.push_back({&subtype, size});
        }
    }
    return offers;
}

DWORD ImageBytes(const SOffer& offer)
{
    const DWORD nPixels = static_cast<DWORD>(offer.size.nWidth * offer.size.nHeight);
    return nPixels * offer.pSubtype->wBits / 8;
}

void FreeType(AM_MEDIA_TYPE& type)
{
    if (type.cbFormat) CoTaskMemFree(type.pbFormat);
    if (type.pUnk) type.pUnk->Release();
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    type.pUnk = nullptr;
}

HRESULT CopyType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source)
{
    target = source;
    if (source.cbFormat)
    {
        target.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (!target.pbFormat) return E_OUTOFMEMORY;
        memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
    }
    if (target.pUnk) target.pUnk->AddRef();
    return S_OK;
}

void MakeType(const SOffer& offer, REFERENCE_TIME nInterval, AM_MEDIA_TYPE& type)
{
    type = AM_MEDIA_TYPE{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = *offer.pSubtype->pSubtype;
    type.bFixedSizeSamples = offer.pSubtype->format != ECameraFormat::MJPG;
    type.lSampleSize = ImageBytes(offer);
    type.formattype = FORMAT_VideoInfo;
    type.cbFormat = sizeof(VIDEOINFOHEADER);
    auto* pInfo = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
    *pInfo = VIDEOINFOHEADER{};
    pInfo->AvgTimePerFrame = nInterval;
    pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    pInfo->bmiHeader.biWidth = offer.size.nWidth;
    pInfo->bmiHeader.biHeight = offer.size.nHeight;
    pInfo->bmiHeader.biPlanes = 1;
    pInfo->bmiHeader.biBitCount = offer.pSubtype->wBits;
    pInfo->bmiHeader.biCompression = offer.pSubtype->dwCompression;
    pInfo->bmiHeader.biSizeImage = ImageBytes(offer);
    type.pbFormat = reinterpret_cast<BYTE*>(pInfo);
}

// The offer a media type names, or -1.
int FindOffer(const std::vector<SOffer>& offers, const AM_MEDIA_TYPE& type)
{
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Video) || !IsEqualGUID(type.formattype, FORMAT_VideoInfo) ||
        type.cbFormat < sizeof(VIDEOINFOHEADER) || !type.pbFormat)
        return -1;
    const auto* pInfo = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    for (size_t i = 0; i < offers.size(); ++i)
        if (IsEqualGUID(type.subtype, *offers[i].pSubtype->pSubtype) &&
            pInfo->bmiHeader.biWidth == offers[i].size.nWidth &&
            pInfo->bmiHeader.biHeight == offers[i].size.nHeight)
            return static_cast<int>(i);
    return -1;
}

// The camera's MJPG pictures for a size, from the fixture beside this library.
std::vector<std::vector<uint8_t>> ReadJpegs(const SSize& size)
{
    std::vector<std::vector<uint8_t>> pictures;
    wchar_t szPath[MAX_PATH];
    const DWORD n = GetModuleFileNameW(g_hModule, szPath, MAX_PATH);
    std::wstring path(szPath, n);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"camera-" + std::to_wstring(size.nWidth) + L"x" +
           std::to_wstring(size.nHeight) + L".mjpeg";
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return pictures;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    // The pictures lie back to back, each ending with its end-of-image marker.
    size_t nStart = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9)
        {
            pictures.emplace_back(bytes.begin() + nStart, bytes.begin() + i + 2);
            nStart = i + 2;
        }
    return pictures;
}

// A COM object's counting, for the classes below.
#define QUILLON_UNKNOWN_COUNTING                                                                             \
    ULONG STDMETHODCALLTYPE AddRef() override                                                                \
    {                                                                                                        \
        return ++m_cRef;                                                                                     \
    }                                                                                                        \
    ULONG STDMETHODCALLTYPE Release() override                                                               \
    {                                                                                                        \
        const ULONG n = --m_cRef;                                                                            \
        if (n == 0) delete this;                                                                             \
        return n;                                                                                            \
    }

// An enumerator over a fixed list of interface pointers or media types.
template <class IEnum, class T, class Traits> class CListEnum final : public IEnum
{
public:
    explicit CListEnum(std::vector<T> items, size_t nAt = 0) : m_items(std::move(items)), m_nAt(nAt)
    {
        ++g_nObjects;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, Traits::Iid()))
        {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    QUILLON_UNKNOWN_COUNTING
    HRESULT STDMETHODCALLTYPE Next(ULONG n, typename Traits::Out* pOut, ULONG* pnFetched) override
    {
        ULONG nGot = 0;
        for (; nGot < n && m_nAt < m_items.size(); ++nGot, ++m_nAt)
            pOut[nGot] = Traits::Copy(m_items[m_nAt]);
        if (pnFetched) *pnFetched = nGot;
        return nGot == n ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG n) override
    {
        m_nAt = std::min<size_t>(m_items.size(), m_nAt + n);
        return m_nAt < m_items.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_nAt = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** ppEnum) override
    {
        *ppEnum = new CListEnum(m_items, m_nAt);
        return S_OK;
    }

private:
    ~CListEnum() { --g_nObjects; }
    std::atomic<ULONG> m_cRef{1};
    std::vector<T> m_items;
    size_t m_nAt;
};

struct SPinTraits
{
    using Out = IPin*;
    static REFIID Iid() { return IID_IEnumPins; }
    static IPin* Copy(IPin* p)
    {
        p->AddRef();
        return p;
    }
};
struct STypeTraits
{
    using Out = AM_MEDIA_TYPE*;
    static REFIID Iid() { return IID_IEnumMediaTypes; }
    static AM_MEDIA_TYPE* Copy(const SOffer& offer)
    {
        auto* pType = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
        MakeType(offer, kMinInterval, *pType);
        return pType;
    }
};
using CEnumPins = CListEnum<IEnumPins, IPin*, SPinTraits>;
using CEnumTypes = CListEnum<IEnumMediaTypes, SOffer, STypeTraits>;

class CCameraFilter;

// The camera's one output pin: the capture category, the stream configuration, and the samples.
class CCameraPin final : public IPin, public IKsPropertySet, public IAMStreamConfig
{
public:
    explicit CCameraPin(CCameraFilter& filter);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** ppPin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* pInfo) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* pDir) override
    {
        *pDir = PINDIR_OUTPUT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* pszId) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* pmt) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    // IKsPropertySet: the pin's category.
    HRESULT STDMETHODCALLTYPE Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get(REFGUID guidSet, DWORD dwId, LPVOID, DWORD, LPVOID pData, DWORD cbData,
                                  DWORD* pcbReturned) override;
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID guidSet, DWORD dwId, DWORD* pTypeSupport) override;

    // IAMStreamConfig
    HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE* pmt) override;
    HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE** ppmt) override;
    HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int* pnCount, int* pnSize) override;
    HRESULT STDMETHODCALLTYPE GetStreamCaps(int nIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) override;

    // The filter's states.
    HRESULT Commit();
    void StartStreaming();
    void StopStreaming();
    void Decommit();

private:
    void Stream();
    void Fill(IMediaSample* pSample, uint32_t nFrame);

    CCameraFilter& m_filter;
    std::vector<SOffer> m_offers;
    std::mutex m_lock;
    int m_nFormat = 0;
    REFERENCE_TIME m_nInterval = kMinInterval;
    IPin* m_pConnected = nullptr;
    IMemInputPin* m_pInput = nullptr;
    IMemAllocator* m_pAllocator = nullptr;
    AM_MEDIA_TYPE m_connectedType{};
    std::vector<std::vector<uint8_t>> m_pictures;
    HANDLE m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread m_stream;
};

// The filter: its state, its clock and its graph, and its one pin.
class CCameraFilter final : public IBaseFilter, public ISpecifyPropertyPages
{
public:
    CCameraFilter() : m_pin(*this) { ++g_nObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPersist) ||
            IsEqualIID(riid, IID_IMediaFilter) || IsEqualIID(riid, IID_IBaseFilter))
            *ppv = static_cast<IBaseFilter*>(this);
        else if (IsEqualIID(riid, IID_ISpecifyPropertyPages))
            *ppv = static_cast<ISpecifyPropertyPages*>(this);
        else
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    QUILLON_UNKNOWN_COUNTING

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClsid) override
    {
        *pClsid = CLSID_QuillonTestCamera;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stop() override
    {
        m_pin.StopStreaming();
        m_pin.Decommit();
        m_state = State_Stopped;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Pause() override
    {
        if (m_state == State_Stopped)
        {
            const HRESULT hr = m_pin.Commit();
            if (FAILED(hr)) return hr;
        }
        m_pin.StopStreaming();
        m_state = State_Paused;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override
    {
        if (m_state == State_Stopped)
        {
            const HRESULT hr = Pause();
            if (FAILED(hr)) return hr;
        }
        m_pin.StartStreaming();
        m_state = State_Running;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE* pState) override
    {
        *pState = m_state;
        // A live source has nothing to show while paused.
        return m_state == State_Paused ? VFW_S_CANT_CUE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* pClock) override
    {
        if (pClock) pClock->AddRef();
        if (m_pClock) m_pClock->Release();
        m_pClock = pClock;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** ppClock) override
    {
        *ppClock = m_pClock;
        if (m_pClock) m_pClock->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** ppEnum) override
    {
        *ppEnum = new CEnumPins({static_cast<IPin*>(&m_pin)});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR szId, IPin** ppPin) override
    {
        if (wcscmp(szId, kPinName) != 0) return VFW_E_NOT_FOUND;
        *ppPin = &m_pin;
        m_pin.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* pInfo) override
    {
        wcsncpy(pInfo->achName, m_name.c_str(), MAX_FILTER_NAME - 1);
        pInfo->achName[MAX_FILTER_NAME - 1] = 0;
        pInfo->pGraph = m_pGraph;
        if (m_pGraph) m_pGraph->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR szName) override
    {
        // The graph holds the filter; the filter does not hold the graph.
        m_pGraph = pGraph;
        m_name = szName ? szName : L"";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override
    {
        pPages->cElems = 1;
        pPages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
        pPages->pElems[0] = CLSID_QuillonTestCameraPage;
        return S_OK;
    }

private:
    ~CCameraFilter()
    {
        Stop();
        m_pin.Disconnect();
        SetSyncSource(nullptr);
        --g_nObjects;
    }

    std::atomic<ULONG> m_cRef{1};
    CCameraPin m_pin;
    FILTER_STATE m_state = State_Stopped;
    IReferenceClock* m_pClock = nullptr;
    IFilterGraph* m_pGraph = nullptr;
    std::wstring m_name;
    friend class CCameraPin;
};

CCameraPin::CCameraPin(CCameraFilter& filter) : m_filter(filter), m_offers(ReadOffers()) {}

HRESULT CCameraPin::QueryInterface(REFIID riid, void** ppv)
{
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPin))
        *ppv = static_cast<IPin*>(this);
    else if (IsEqualIID(riid, IID_IKsPropertySet))
        *ppv = static_cast<IKsPropertySet*>(this);
    else if (IsEqualIID(riid, IID_IAMStreamConfig))
        *ppv = static_cast<IAMStreamConfig*>(this);
    else
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The pin lives and dies with its filter.
ULONG CCameraPin::AddRef()
{
    return m_filter.AddRef();
}
ULONG CCameraPin::Release()
{
    return m_filter.Release();
}

HRESULT CCameraPin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!pReceivePin) return E_POINTER;
    if (m_pConnected) return VFW_E_ALREADY_CONNECTED;
    if (m_offers.empty()) return VFW_E_NO_ACCEPTABLE_TYPES;
    int nFormat = m_nFormat;
    if (pmt && !IsEqualGUID(pmt->subtype, GUID_NULL))
    {
        nFormat = FindOffer(m_offers, *pmt);
        if (nFormat < 0) return VFW_E_TYPE_NOT_ACCEPTED;
    }
    AM_MEDIA_TYPE type;
    MakeType(m_offers[static_cast<size_t>(nFormat)], m_nInterval, type);
    HRESULT hr = pReceivePin->ReceiveConnection(this, &type);
    if (FAILED(hr))
    {
        FreeType(type);
        return hr;
    }
    IMemInputPin* pInput = nullptr;
    IMemAllocator* pAllocator = nullptr;
    hr = pReceivePin->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&pInput));
    if (SUCCEEDED(hr))
    {
        ALLOCATOR_PROPERTIES wanted{}, actual{};
        pInput->GetAllocatorRequirements(&wanted);
        if (FAILED(pInput->GetAllocator(&pAllocator)))
            hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                  reinterpret_cast<void**>(&pAllocator));
        if (SUCCEEDED(hr))
        {
            wanted.cBuffers = std::max<long>(3, wanted.cBuffers);
            wanted.cbBuffer = static_cast<long>(type.lSampleSize);
            wanted.cbAlign = std::max<long>(1, wanted.cbAlign);
            hr = pAllocator->SetProperties(&wanted, &actual);
            if (SUCCEEDED(hr) && actual.cbBuffer < wanted.cbBuffer) hr = VFW_E_SIZENOTSET;
            if (SUCCEEDED(hr)) hr = pInput->NotifyAllocator(pAllocator, FALSE);
        }
    }
    if (FAILED(hr))
    {
        if (pAllocator) pAllocator->Release();
        if (pInput) pInput->Release();
        pReceivePin->Disconnect();
        FreeType(type);
        return hr;
    }
    m_nFormat = nFormat;
    m_pConnected = pReceivePin;
    m_pConnected->AddRef();
    m_pInput = pInput;
    m_pAllocator = pAllocator;
    m_connectedType = type;
    return S_OK;
}

HRESULT CCameraPin::Disconnect()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_pConnected) return S_FALSE;
    m_pAllocator->Release();
    m_pInput->Release();
    m_pConnected->Release();
    m_pAllocator = nullptr;
    m_pInput = nullptr;
    m_pConnected = nullptr;
    FreeType(m_connectedType);
    return S_OK;
}

HRESULT CCameraPin::ConnectedTo(IPin** ppPin)
{
    std::lock_guard<std::mutex> guard(m_lock);
    *ppPin = m_pConnected;
    if (!m_pConnected) return VFW_E_NOT_CONNECTED;
    m_pConnected->AddRef();
    return S_OK;
}

HRESULT CCameraPin::ConnectionMediaType(AM_MEDIA_TYPE* pmt)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_pConnected)
    {
        *pmt = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyType(*pmt, m_connectedType);
}

HRESULT CCameraPin::QueryPinInfo(PIN_INFO* pInfo)
{
    pInfo->pFilter = &m_filter;
    m_filter.AddRef();
    pInfo->dir = PINDIR_OUTPUT;
    wcscpy(pInfo->achName, kPinName);
    return S_OK;
}

HRESULT CCameraPin::QueryId(LPWSTR* pszId)
{
    *pszId = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof kPinName));
    wcscpy(*pszId, kPinName);
    return S_OK;
}

HRESULT CCameraPin::QueryAccept(const AM_MEDIA_TYPE* pmt)
{
    return pmt && FindOffer(m_offers, *pmt) >= 0 ? S_OK : S_FALSE;
}

HRESULT CCameraPin::EnumMediaTypes(IEnumMediaTypes** ppEnum)
{
    *ppEnum = new CEnumTypes(m_offers);
    return S_OK;
}

HRESULT CCameraPin::Get(REFGUID guidSet, DWORD dwId, LPVOID, DWORD, LPVOID pData, DWORD cbData,
                        DWORD* pcbReturned)
{
    if (!IsEqualGUID(guidSet, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (dwId != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (pcbReturned) *pcbReturned = sizeof(GUID);
    if (!pData) return S_OK;
    if (cbData < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(pData) = PIN_CATEGORY_CAPTURE;
    return S_OK;
}

HRESULT CCameraPin::QuerySupported(REFGUID guidSet, DWORD dwId, DWORD* pTypeSupport)
{
    if (!IsEqualGUID(guidSet, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (dwId != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (pTypeSupport) *pTypeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT CCameraPin::SetFormat(AM_MEDIA_TYPE* pmt)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!pmt) return E_POINTER;
    if (m_pConnected) return VFW_E_ALREADY_CONNECTED;
    const int nFormat = FindOffer(m_offers, *pmt);
    if (nFormat < 0) return VFW_E_INVALIDMEDIATYPE;
    REFERENCE_TIME nInterval = reinterpret_cast<const VIDEOINFOHEADER*>(pmt->pbFormat)->AvgTimePerFrame;
    if (nInterval == 0) nInterval = kMinInterval;
    if (nInterval < kMinInterval || nInterval > kMaxInterval) return VFW_E_INVALIDMEDIATYPE;
    m_nFormat = nFormat;
    m_nInterval = nInterval;
    g_nSetInterval = nInterval;
    return S_OK;
}

HRESULT CCameraPin::GetFormat(AM_MEDIA_TYPE** ppmt)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_offers.empty()) return VFW_E_NO_ACCEPTABLE_TYPES;
    *ppmt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    MakeType(m_offers[static_cast<size_t>(m_nFormat)], m_nInterval, **ppmt);
    return S_OK;
}

HRESULT CCameraPin::GetNumberOfCapabilities(int* pnCount, int* pnSize)
{
    *pnCount = static_cast<int>(m_offers.size());
    *pnSize = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

HRESULT CCameraPin::GetStreamCaps(int nIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC)
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_offers.size()) return S_FALSE;
    const SOffer& offer = m_offers[static_cast<size_t>(nIndex)];
    *ppmt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    MakeType(offer, kMinInterval, **ppmt);
    VIDEO_STREAM_CONFIG_CAPS caps{};
    caps.guid = FORMAT_VideoInfo;
    caps.InputSize = caps.MinCroppingSize = caps.MaxCroppingSize = caps.MinOutputSize =
        caps.MaxOutputSize = {offer.size.nWidth, offer.size.nHeight};
    caps.MinFrameInterval = kMinInterval;
    caps.MaxFrameInterval = kMaxInterval;
    caps.MinBitsPerSecond = static_cast<LONG>(ImageBytes(offer) * 8);
    caps.MaxBitsPerSecond = static_cast<LONG>(ImageBytes(offer) * 8 * 30);
    memcpy(pSCC, &caps, sizeof caps);
    return S_OK;
}

HRESULT CCameraPin::Commit()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_pAllocator) return S_OK;
    // The pictures are made before streaming starts, so that delivery costs only a copy.
    const SOffer& offer = m_offers[static_cast<size_t>(m_nFormat)];
    m_pictures.clear();
    if (offer.pSubtype->format == ECameraFormat::MJPG)
        m_pictures = ReadJpegs(offer.size);
    else
        for (uint32_t n = 0; n < kCameraFrames; ++n)
        {
            std::vector<uint8_t> picture;
            if (!MakeCameraFrame(offer.pSubtype->format, n, offer.size.nWidth, offer.size.nHeight, picture))
                break;
            m_pictures.push_back(std::move(picture));
        }
    if (m_pictures.empty()) return E_FAIL;
    return m_pAllocator->Commit();
}

void CCameraPin::Decommit()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_pAllocator) m_pAllocator->Decommit();
}

void CCameraPin::StartStreaming()
{
    if (m_stream.joinable() || !m_pInput) return;
    ResetEvent(m_hStop);
    m_stream = std::thread(&CCameraPin::Stream, this);
}

void CCameraPin::StopStreaming()
{
    if (!m_stream.joinable()) return;
    SetEvent(m_hStop);
    // A sample waiting for a free buffer is let go.
    if (m_pAllocator) m_pAllocator->Decommit();
    m_stream.join();
    if (m_pAllocator) m_pAllocator->Commit();
}

void CCameraPin::Fill(IMediaSample* pSample, uint32_t nFrame)
{
    const std::vector<uint8_t>& picture = m_pictures[nFrame % m_pictures.size()];
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const long nBytes = std::min<long>(pSample->GetSize(), static_cast<long>(picture.size()));
    memcpy(pData, picture.data(), static_cast<size_t>(nBytes));
    pSample->SetActualDataLength(nBytes);
}

void CCameraPin::Stream()
{
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (uint32_t nFrame = 0;; ++nFrame)
    {
        // The camera's own clock: picture n is due n frame intervals after the first, however long
        // the pictures before took downstream.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const int64_t nElapsed = (now.QuadPart - start.QuadPart) * 10000000 / frequency.QuadPart;
        const int64_t nDue = static_cast<int64_t>(nFrame) * m_nInterval;
        const DWORD nWaitMs = nDue > nElapsed ? static_cast<DWORD>((nDue - nElapsed + 9999) / 10000) : 0;
        if (WaitForSingleObject(m_hStop, nWaitMs) == WAIT_OBJECT_0) return;
        IMediaSample* pSample = nullptr;
        if (FAILED(m_pAllocator->GetBuffer(&pSample, nullptr, nullptr, 0))) return;
        LARGE_INTEGER filling;
        QueryPerformanceCounter(&filling);
        Fill(pSample, nFrame);
        REFERENCE_TIME tStart = nFrame * m_nInterval, tStop = tStart + m_nInterval;
        pSample->SetTime(&tStart, &tStop);
        pSample->SetSyncPoint(TRUE);
        LARGE_INTEGER delivered;
        QueryPerformanceCounter(&delivered);
        g_nFillTicks += delivered.QuadPart - filling.QuadPart;
        g_deliveredAt[nFrame % kCameraFrames].store(delivered.QuadPart);
        const HRESULT hr = m_pInput->Receive(pSample);
        pSample->Release();
        if (hr != S_OK) return;
    }
}

// The camera's one property page: its name, shown in the frame's window.
class CCameraPage final : public IPropertyPage
{
public:
    CCameraPage() { ++g_nObjects; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyPage))
        {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    QUILLON_UNKNOWN_COUNTING
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pSite) override
    {
        if (pSite) pSite->AddRef();
        if (m_pSite) m_pSite->Release();
        m_pSite = pSite;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL) override
    {
        m_hWnd = CreateWindowExW(0, L"STATIC", kCameraName, WS_CHILD | SS_CENTER, pRect->left, pRect->top,
                                 pRect->right - pRect->left, pRect->bottom - pRect->top, hWndParent, nullptr,
                                 g_hModule, nullptr);
        return m_hWnd ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Deactivate() override
    {
        if (m_hWnd) DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pInfo) override
    {
        pInfo->cb = sizeof(PROPPAGEINFO);
        pInfo->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof L"Test Camera"));
        wcscpy(pInfo->pszTitle, L"Test Camera");
        pInfo->size = {240, 80};
        pInfo->pszDocString = nullptr;
        pInfo->pszHelpFile = nullptr;
        pInfo->dwHelpContext = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG, IUnknown**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) override
    {
        if (m_hWnd) ShowWindow(m_hWnd, nCmdShow);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT pRect) override
    {
        if (m_hWnd)
            MoveWindow(m_hWnd, pRect->left, pRect->top, pRect->right - pRect->left,
                       pRect->bottom - pRect->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

private:
    ~CCameraPage()
    {
        Deactivate();
        SetPageSite(nullptr);
        --g_nObjects;
    }
    std::atomic<ULONG> m_cRef{1};
    IPropertyPageSite* m_pSite = nullptr;
    HWND m_hWnd = nullptr;
};

class CFactory final : public IClassFactory
{
public:
    explicit CFactory(const CLSID& clsid) : m_clsid(clsid) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory))
        {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (pOuter) return CLASS_E_NOAGGREGATION;
        IUnknown* pObject = IsEqualCLSID(m_clsid, CLSID_QuillonTestCamera)
                                ? static_cast<IUnknown*>(static_cast<IBaseFilter*>(new CCameraFilter))
                                : static_cast<IUnknown*>(new CCameraPage);
        const HRESULT hr = pObject->QueryInterface(riid, ppv);
        pObject->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const CLSID& m_clsid;
};

CFactory g_cameraFactory(CLSID_QuillonTestCamera);
CFactory g_pageFactory(CLSID_QuillonTestCameraPage);

std::wstring ClsidKey(const CLSID& clsid)
{
    wchar_t szClsid[40];
    StringFromGUID2(clsid, szClsid, 40);
    return std::wstring(L"CLSID\\") + szClsid;
}

HRESULT RegisterClass(const CLSID& clsid, const wchar_t* szName)
{
    wchar_t szPath[MAX_PATH];
    const DWORD n = GetModuleFileNameW(g_hModule, szPath, MAX_PATH);
    const std::wstring key = ClsidKey(clsid);
    auto Set = [](const std::wstring& k, const wchar_t* szValue, const wchar_t* szData)
    {
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, k.c_str(), szValue, REG_SZ, szData,
                               static_cast<DWORD>((wcslen(szData) + 1) * sizeof(wchar_t)));
    };
    if (Set(key, nullptr, szName) ||
        Set(key + L"\\InprocServer32", nullptr, std::wstring(szPath, n).c_str()) ||
        Set(key + L"\\InprocServer32", L"ThreadingModel", L"Both"))
        return SELFREG_E_CLASS;
    return S_OK;
}

// COM for the length of a registration call, as regsvr32 may not have started it.
class CComScope
{
public:
    CComScope() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }

private:
    HRESULT m_hr;
};
} // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        g_hModule = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (IsEqualCLSID(rclsid, CLSID_QuillonTestCamera)) return g_cameraFactory.QueryInterface(riid, ppv);
    if (IsEqualCLSID(rclsid, CLSID_QuillonTestCameraPage)) return g_pageFactory.QueryInterface(riid, ppv);
    *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_nObjects.load() == 0 ? S_OK : S_FALSE;
}

// The performance counter when the picture stamped nStamp was last delivered; 0 before that.
extern "C" int64_t QuillonTestCameraDeliveredAt(uint32_t nStamp)
{
    return nStamp < kCameraFrames ? g_deliveredAt[nStamp].load() : 0;
}

// The frame interval (100-ns units) of the last format a capture program set; 0 before that.
extern "C" int64_t QuillonTestCameraSetInterval()
{
    return g_nSetInterval.load();
}

// Performance-counter ticks the camera spent filling its samples so far.
extern "C" int64_t QuillonTestCameraFillTicks()
{
    return g_nFillTicks.load();
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    CComScope com;
    HRESULT hr = RegisterClass(CLSID_QuillonTestCamera, kCameraName);
    if (SUCCEEDED(hr)) hr = RegisterClass(CLSID_QuillonTestCameraPage, L"Quillon Test Camera Page");
    if (FAILED(hr)) return hr;
    IFilterMapper2* pMapper = nullptr;
    hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                          reinterpret_cast<void**>(&pMapper));
    if (FAILED(hr)) return hr;
    REGPINTYPES type{&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};
    REGFILTERPINS pin{};
    pin.bOutput = TRUE;
    pin.clsConnectsToFilter = &CLSID_NULL;
    pin.nMediaTypes = 1;
    pin.lpMediaType = &type;
    REGFILTER2 filter{};
    filter.dwVersion = 1;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins = 1;
    filter.rgPins = &pin;
    hr = pMapper->RegisterFilter(CLSID_QuillonTestCamera, kCameraName, nullptr,
                                 &CLSID_VideoInputDeviceCategory, kCameraName, &filter);
    pMapper->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    CComScope com;
    IFilterMapper2* pMapper = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  reinterpret_cast<void**>(&pMapper));
    if (SUCCEEDED(hr))
    {
        hr = pMapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, kCameraName, CLSID_QuillonTestCamera);
        pMapper->Release();
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClsidKey(CLSID_QuillonTestCamera).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClsidKey(CLSID_QuillonTestCameraPage).c_str());
    return SUCCEEDED(hr) ? S_OK : hr;
}
