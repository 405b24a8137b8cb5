// The camera graph of the send engine: capture filter -> sample grabber, nothing downstream; the
// engine's own renderer shows the preview.
#include "lmvideo/capture/SendCapture.h"

#include "confclient/library/LMErrorCodes.h"
#include "lmvideo/capture/CaptureIds.h"

#include <memory>
#include <strsafe.h>
#include <vector>

namespace
{
constexpr int kStopTries = 10;
constexpr int kConnectTries = 3;

// Releases a COM pointer and clears it.
template <class T> void SafeRelease(T*& p)
{
    if (p)
    {
        p->Release();
        p = nullptr;
    }
}

// Holds one reference for a block.
template <class T> class CRef
{
public:
    CRef() = default;
    ~CRef() { SafeRelease(p); }
    CRef(const CRef&) = delete;
    CRef& operator=(const CRef&) = delete;
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
    T* p = nullptr;
};

void FreeMediaType(AM_MEDIA_TYPE* pmt)
{
    if (!pmt) return;
    if (pmt->cbFormat) CoTaskMemFree(pmt->pbFormat);
    if (pmt->pUnk) pmt->pUnk->Release();
    CoTaskMemFree(pmt);
}

struct FreeMediaTypeDeleter
{
    void operator()(AM_MEDIA_TYPE* pmt) const { FreeMediaType(pmt); }
};
using MediaTypePtr = std::unique_ptr<AM_MEDIA_TYPE, FreeMediaTypeDeleter>;

int32_t CaptureType(const GUID& subtype)
{
    struct SEntry
    {
        const GUID* pSubtype;
        int32_t nType;
    };
    static const SEntry table[] = {
        {&MEDIASUBTYPE_IYUV, CAPTURE_I420},     {&kMediaSubtypeI420, CAPTURE_I420},
        {&MEDIASUBTYPE_YUY2, CAPTURE_YUY2},     {&MEDIASUBTYPE_YUYV, CAPTURE_YUY2},
        {&MEDIASUBTYPE_UYVY, CAPTURE_UYVY},     {&MEDIASUBTYPE_RGB32, CAPTURE_RGB32},
        {&MEDIASUBTYPE_RGB24, CAPTURE_RGB24},   {&MEDIASUBTYPE_RGB555, CAPTURE_RGB555},
        {&MEDIASUBTYPE_RGB565, CAPTURE_RGB565}, {&MEDIASUBTYPE_MJPG, CAPTURE_MJPG},
    };
    for (const SEntry& entry : table)
        if (IsEqualGUID(subtype, *entry.pSubtype)) return entry.nType;
    return CAPTURE_NONE;
}
} // namespace

CSendCapture::CSendCapture(ISendVideoPort& port, const S_LMVIDEOMODULE& module) : CSendBase(port, module) {}

CSendCapture::~CSendCapture()
{
    // The stop flag first: a picture the streaming thread holds is then ignored, and stopping the
    // graph, which waits for that thread, never waits on a lock held here.
    BeginStop();
    StopCapture();
}

HRESULT CSendCapture::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISampleGrabberCB))
    {
        *ppv = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT CSendCapture::BufferCB(double dSampleTime, BYTE* pBuffer, LONG nLength)
{
    return CSendBase::BufferCB(dSampleTime, pBuffer, nLength) == 0 ? S_OK : S_FALSE;
}

HRESULT CSendCapture::Check(HRESULT hr, int nLine)
{
    if (hr != S_OK) Report(hr == S_FALSE ? E_FAIL : hr, nLine, nullptr);
    return hr == S_FALSE ? E_FAIL : hr;
}

BOOL CSendCapture::StartCapture(int16_t nDevice, HWND hWnd, int32_t cx, int32_t cy, int32_t nWidth,
                                int32_t nHeight, int32_t nCrossBarType, int bInterlace, int16_t nMemoryType)
{
    StopCapture();
    m_nDevice = nDevice;
    SetInterlace(bInterlace & 0xFF);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    SetCaptureSize(nWidth, nHeight);
    RestartTiming();
    if (!ChooseRenderer(reinterpret_cast<HWND__*>(hWnd), nMemoryType)) return FALSE;
    if (BuildGraph(nCrossBarType) != S_OK)
    {
        StopCapture();
        return FALSE;
    }
    RegisterGraph();
    Resize(cx, cy);
    const HRESULT hr = m_pMediaControl->Run();
    if (SUCCEEDED(hr)) return TRUE;
    StopCapture();
    return Report(LM_E_MEDIACONTROL, __LINE__, L"Can not run media control");
}

HRESULT CSendCapture::BuildGraph(int32_t nCrossBarType)
{
    HRESULT hr = Check(CoCreateInstance(kClsidSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                        reinterpret_cast<void**>(&m_pGrabberFilter)),
                       __LINE__);
    if (hr != S_OK) return hr;
    hr = Check(m_pGrabberFilter->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&m_pGrabber)),
               __LINE__);
    if (hr != S_OK) return hr;
    hr = Check(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&m_pGraph)),
               __LINE__);
    if (hr != S_OK) return hr;
    hr = Check(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(&m_pBuilder)),
               __LINE__);
    if (hr != S_OK) return hr;
    if ((hr = Check(m_pBuilder->SetFiltergraph(m_pGraph), __LINE__)) != S_OK) return hr;
    hr = Check(m_pGraph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_pMediaControl)),
               __LINE__);
    if (hr != S_OK) return hr;
    if ((hr = FindDevice(&m_pCapture)) != S_OK) return hr;
    if ((hr = Check(m_pGraph->AddFilter(m_pCapture, L"Video Capture"), __LINE__)) != S_OK) return hr;
    if ((hr = Check(m_pGraph->AddFilter(m_pGrabberFilter, L"Sample Grabber"), __LINE__)) != S_OK) return hr;
    if ((hr = ChooseFormat()) != S_OK) return hr;
    // A camera without a crossbar is the usual case: routing may fail.
    RouteCrossbar(nCrossBarType);
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    if ((hr = Check(m_pGrabber->SetMediaType(&type), __LINE__)) != S_OK) return hr;
    if ((hr = Check(m_pGrabber->SetCallback(this, 1), __LINE__)) != S_OK) return hr;
    return ConnectGrabber();
}

HRESULT CSendCapture::FindDevice(IBaseFilter** ppFilter)
{
    CRef<ICreateDevEnum> devices;
    HRESULT hr = Check(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_ICreateDevEnum, reinterpret_cast<void**>(&devices)),
                       __LINE__);
    if (hr != S_OK) return hr;
    CRef<IEnumMoniker> monikers;
    hr = devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0);
    // S_FALSE with no enumerator: the category has no device.
    if (hr != S_OK || !monikers) return Check(hr == S_OK ? E_FAIL : hr, __LINE__);
    int32_t nCount = 0;
    for (IMoniker* pMoniker = nullptr; monikers->Next(1, &pMoniker, nullptr) == S_OK; ++nCount)
        SafeRelease(pMoniker);
    if (nCount == 0) return Check(E_FAIL, __LINE__);
    monikers->Reset();
    const int32_t nIndex = LMCaptureDeviceIndex(m_nDevice, nCount);
    if (nIndex > 0 && (hr = Check(monikers->Skip(static_cast<ULONG>(nIndex)), __LINE__)) != S_OK) return hr;
    CRef<IMoniker> moniker;
    if ((hr = Check(monikers->Next(1, &moniker, nullptr), __LINE__)) != S_OK) return hr;
    return Check(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(ppFilter)),
                 __LINE__);
}

HRESULT CSendCapture::ChooseFormat()
{
    CRef<IAMStreamConfig> config;
    HRESULT hr = Check(m_pBuilder->FindInterface(&PIN_CATEGORY_CAPTURE, nullptr, m_pCapture,
                                                 IID_IAMStreamConfig, reinterpret_cast<void**>(&config)),
                       __LINE__);
    if (hr != S_OK) return hr;
    int nCount = 0, nSize = 0;
    if ((hr = Check(config->GetNumberOfCapabilities(&nCount, &nSize), __LINE__)) != S_OK) return hr;
    if (nSize != sizeof(VIDEO_STREAM_CONFIG_CAPS)) return Check(E_UNEXPECTED, __LINE__);

    std::vector<MediaTypePtr> types;
    std::vector<S_CAPTURECAPABILITY> capabilities;
    for (int i = 0; i < nCount; ++i)
    {
        AM_MEDIA_TYPE* pType = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        const HRESULT hrCaps = config->GetStreamCaps(i, &pType, reinterpret_cast<BYTE*>(&caps));
        types.emplace_back(SUCCEEDED(hrCaps) ? pType : nullptr);
        S_CAPTURECAPABILITY capability{CAPTURE_NONE,         false, 0, 0, caps.MinFrameInterval,
                                       caps.MaxFrameInterval};
        if (SUCCEEDED(hrCaps) && pType)
        {
            capability.nType = CaptureType(pType->subtype);
            capability.bVideoInfo = IsEqualGUID(pType->formattype, FORMAT_VideoInfo) && pType->pbFormat &&
                                    pType->cbFormat >= sizeof(VIDEOINFOHEADER);
            if (capability.bVideoInfo)
            {
                const VIDEOINFOHEADER* pInfo = reinterpret_cast<const VIDEOINFOHEADER*>(pType->pbFormat);
                capability.nWidth = pInfo->bmiHeader.biWidth;
                capability.nHeight = pInfo->bmiHeader.biHeight;
            }
        }
        capabilities.push_back(capability);
    }
    const std::vector<S_CAPTURECANDIDATE> candidates = LMCaptureCandidates(capabilities, m_nWidth, m_nHeight);
    if (candidates.empty()) return Check(E_FAIL, __LINE__);
    hr = E_FAIL;
    for (const S_CAPTURECANDIDATE& candidate : candidates)
    {
        const S_CAPTUREFORMAT format = LMCaptureFormat(candidate.nType, m_nWidth, m_nHeight);
        SetCaptureFormat(format);
        AM_MEDIA_TYPE* pType = types[static_cast<size_t>(candidate.nCapability)].get();
        if (const int64_t nInterval = LMLimitedInterval(m_nFramerateLimit, candidate))
            reinterpret_cast<VIDEOINFOHEADER*>(pType->pbFormat)->AvgTimePerFrame = nInterval;
        hr = config->SetFormat(pType);
        if (SUCCEEDED(hr)) return S_OK;
    }
    return Check(hr, __LINE__);
}

HRESULT CSendCapture::RouteCrossbar(int32_t nInputType)
{
    CRef<IAMCrossbar> crossbar;
    HRESULT hr = m_pBuilder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, m_pCapture, IID_IAMCrossbar,
                                           reinterpret_cast<void**>(&crossbar));
    if (FAILED(hr) || !crossbar) return FAILED(hr) ? hr : E_NOINTERFACE;
    long nOutputs = 0, nInputs = 0;
    if (FAILED(hr = crossbar->get_PinCounts(&nOutputs, &nInputs))) return Check(hr, __LINE__);
    std::vector<int32_t> inputs, outputs;
    for (long i = 0; i < nInputs; ++i)
    {
        long nRelated = 0, nType = 0;
        crossbar->get_CrossbarPinInfo(TRUE, i, &nRelated, &nType);
        inputs.push_back(nType);
    }
    for (long i = 0; i < nOutputs; ++i)
    {
        long nRelated = 0, nType = 0;
        crossbar->get_CrossbarPinInfo(FALSE, i, &nRelated, &nType);
        outputs.push_back(nType);
    }
    const S_CROSSBARROUTE route = LMCrossbarRoute(inputs, outputs, nInputType);
    if (route.nOutput >= 0 && route.nInput >= 0)
    {
        hr = crossbar->CanRoute(route.nOutput, route.nInput);
        if (hr == S_OK) hr = crossbar->Route(route.nOutput, route.nInput);
        if (hr == S_OK) m_nRoutedInput = route.nInput;
    }
    return m_nRoutedInput == route.nInput ? S_OK : Check(FAILED(hr) ? hr : E_FAIL, __LINE__);
}

HRESULT CSendCapture::ConnectGrabber()
{
    std::vector<IPin*> outputs, inputs;
    auto Collect = [](IBaseFilter* pFilter, PIN_DIRECTION wanted, std::vector<IPin*>& pins)
    {
        CRef<IEnumPins> pinsEnum;
        if (FAILED(pFilter->EnumPins(&pinsEnum)) || !pinsEnum) return;
        for (IPin* pPin = nullptr; pinsEnum->Next(1, &pPin, nullptr) == S_OK;)
        {
            PIN_DIRECTION direction;
            if (SUCCEEDED(pPin->QueryDirection(&direction)) && direction == wanted)
                pins.push_back(pPin);
            else
                pPin->Release();
        }
    };
    Collect(m_pCapture, PINDIR_OUTPUT, outputs);
    Collect(m_pGrabberFilter, PINDIR_INPUT, inputs);
    auto Connected = [](IPin* pPin)
    {
        IPin* pOther = nullptr;
        if (pPin->ConnectedTo(&pOther) != S_OK) return false;
        pOther->Release();
        return true;
    };
    for (IPin* pPin : outputs)
        m_pGraph->Disconnect(pPin);
    for (IPin* pPin : inputs)
        m_pGraph->Disconnect(pPin);
    HRESULT hr = E_FAIL;
    int nTries = 0;
    bool bConnected = false;
    for (IPin* pOut : outputs)
    {
        if (bConnected || nTries >= kConnectTries) break;
        if (Connected(pOut)) continue;
        for (IPin* pIn : inputs)
        {
            if (nTries >= kConnectTries || Connected(pIn)) continue;
            ++nTries;
            hr = m_pGraph->ConnectDirect(pOut, pIn, nullptr);
            if (SUCCEEDED(hr))
            {
                bConnected = true;
                break;
            }
        }
    }
    for (IPin* pPin : outputs)
        pPin->Release();
    for (IPin* pPin : inputs)
        pPin->Release();
    return bConnected ? S_OK : Check(FAILED(hr) ? hr : E_FAIL, __LINE__);
}

void CSendCapture::RegisterGraph()
{
    CRef<IRunningObjectTable> table;
    CRef<IMoniker> moniker;
    if (FAILED(GetRunningObjectTable(0, &table))) return;
    wchar_t szName[64];
    // The graph's address in as many digits as a pointer has.
    StringCchPrintfW(szName, 64, L"FilterGraph %0*llx pid %08x", static_cast<int>(sizeof(void*) * 2),
                     static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(m_pGraph)),
                     static_cast<unsigned>(GetCurrentProcessId()));
    if (FAILED(CreateItemMoniker(L"!", szName, &moniker))) return;
    if (FAILED(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, m_pGraph, moniker.p, &m_dwRegister)))
        m_dwRegister = 0;
}

void CSendCapture::StopGraph()
{
    OAFilterState state = State_Running;
    for (int nTry = 0; nTry < kStopTries; ++nTry)
    {
        if (m_pMediaControl->GetState(0, &state) != VFW_S_CANT_CUE && state == State_Stopped) break;
        m_pMediaControl->Stop();
        if (m_pMediaControl->GetState(0, &state) != VFW_S_CANT_CUE && state == State_Stopped) break;
        Sleep(10);
    }
}

HRESULT CSendCapture::StopCapture()
{
    if (m_pMediaControl)
    {
        StopGraph();
        SafeRelease(m_pMediaControl);
    }
    if (m_pGraph)
    {
        CRef<IVideoWindow> window;
        if (SUCCEEDED(m_pGraph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&window))))
        {
            window->put_Visible(OAFALSE);
            window->put_Owner(0);
        }
    }
    if (m_pGrabber) m_pGrabber->SetCallback(nullptr, 1);
    SafeRelease(m_pGrabber);
    SafeRelease(m_pGrabberFilter);
    SafeRelease(m_pCapture);
    SafeRelease(m_pBuilder);
    SafeRelease(m_pGraph);
    HRESULT hr = S_OK;
    if (m_dwRegister)
    {
        CRef<IRunningObjectTable> table;
        if (SUCCEEDED(GetRunningObjectTable(0, &table))) hr = table->Revoke(m_dwRegister);
        m_dwRegister = 0;
    }
    return hr;
}

BOOL CSendCapture::SetCrossBar(int32_t nInputType)
{
    if (!m_pMediaControl || !m_pBuilder) return FALSE;
    StopGraph();
    const HRESULT hr = RouteCrossbar(nInputType);
    if (hr != S_OK) return Report(hr, __LINE__, nullptr);
    return SUCCEEDED(m_pMediaControl->Run());
}

BOOL CSendCapture::ShowVideoSource(HWND hWnd)
{
    if (!m_pCapture) return FALSE;
    CRef<ISpecifyPropertyPages> pages;
    if (FAILED(m_pCapture->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&pages))))
        return FALSE;
    CAUUID uuids{};
    if (FAILED(pages->GetPages(&uuids)) || uuids.cElems == 0)
    {
        CoTaskMemFree(uuids.pElems);
        return FALSE;
    }
    IUnknown* pObject = m_pCapture;
    OleCreatePropertyFrame(hWnd, 30, 30, nullptr, 1, &pObject, uuids.cElems, uuids.pElems, 0, 0, nullptr);
    CoTaskMemFree(uuids.pElems);
    return TRUE;
}
