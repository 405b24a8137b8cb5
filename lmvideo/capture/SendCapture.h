// CSendCapture: the send engine with its camera. Builds a DirectShow graph of the chosen video
// capture device and a sample grabber, picks the capture format, routes the crossbar, runs the
// graph and registers it in the running object table; the grabber hands every picture to the
// engine's capture path on DirectShow's streaming thread.
#pragma once
#include "lmvideo/send/SendBase.h"

#include <windows.h>
#include <dshow.h>
#include <qedit.h>

class CSendCapture final : public CSendBase, public ISampleGrabberCB
{
public:
    CSendCapture(ISendVideoPort& port, const S_LMVIDEOMODULE& module);
    ~CSendCapture() override;

    // Captures device nDevice at nWidth x nHeight into the preview of hWnd (cx x cy).
    BOOL StartCapture(int16_t nDevice, HWND hWnd, int32_t cx, int32_t cy, int32_t nWidth, int32_t nHeight,
                      int32_t nCrossBarType, int bInterlace, int16_t nMemoryType);
    // Tears the graph down; the result of revoking its table entry, or 0.
    HRESULT StopCapture();
    BOOL SetCrossBar(int32_t nInputType);
    int32_t GetCrossBar() const { return m_nRoutedInput; }
    // The capture filter's property pages in a frame owned by hWnd.
    BOOL ShowVideoSource(HWND hWnd);
    // Used at the next format choice; 0 leaves the device's rate.
    void SetFramerateLimit(int16_t nLimit) { m_nFramerateLimit = nLimit; }

    // ISampleGrabberCB: the engine is no COM object of its own, its life is the control's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BufferCB(double dSampleTime, BYTE* pBuffer, LONG nLength) override;

private:
    // Records a failing step; returns its result.
    HRESULT Check(HRESULT hr, int nLine);
    HRESULT BuildGraph(int32_t nCrossBarType);
    HRESULT FindDevice(IBaseFilter** ppFilter);
    HRESULT ChooseFormat();
    HRESULT RouteCrossbar(int32_t nInputType);
    HRESULT ConnectGrabber();
    void StopGraph();
    void RegisterGraph();

    IGraphBuilder* m_pGraph = nullptr;
    ICaptureGraphBuilder2* m_pBuilder = nullptr;
    IMediaControl* m_pMediaControl = nullptr;
    IBaseFilter* m_pCapture = nullptr;
    IBaseFilter* m_pGrabberFilter = nullptr;
    ISampleGrabber* m_pGrabber = nullptr;
    int16_t m_nDevice = 0;
    int16_t m_nFramerateLimit = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nRoutedInput = -1;
    DWORD m_dwRegister = 0;
};
