// The engine's sound devices on Windows: waveIn capture into 10-ms buffers signalled by an
// event, DirectSound streaming playback refilled block by block at its position
// notifications, each on its own thread; the last error is the system's.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <string>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "volumora/client/VoiceClient.h"

namespace
{
constexpr DWORD kBlockBytes = kVoiceBlockSamples * sizeof(int16_t);

WAVEFORMATEX VoiceFormat()
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = kVoiceSampleRate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = kVoiceSampleRate * 2;
    return f;
}

// Blocks of device buffering for nBufferMs, at least the given floor.
DWORD BlocksFor(uint32_t nBufferMs, DWORD nFloor)
{
    return std::max<DWORD>(nFloor, (nBufferMs + 9) / 10);
}

class CPerformanceClock : public IVoiceClock
{
public:
    CPerformanceClock()
    {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        m_nFrequency = f.QuadPart;
    }
    VoiceMs NowMs() const override
    {
        LARGE_INTEGER c;
        QueryPerformanceCounter(&c);
        return static_cast<VoiceMs>(c.QuadPart / (m_nFrequency / 1000));
    }

private:
    LONGLONG m_nFrequency = 1000;
};

class CWaveInCapture
{
public:
    ~CWaveInCapture() { Stop(); }

    bool Start(IVoiceDeviceSink& sink, uint32_t nDevice, uint32_t nBufferMs)
    {
        m_hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        WAVEFORMATEX f = VoiceFormat();
        UINT uDevice = nDevice == kVoiceMicMapper ? WAVE_MAPPER : nDevice;
        if (!m_hEvent || waveInOpen(&m_hWave, uDevice, &f, reinterpret_cast<DWORD_PTR>(m_hEvent), 0,
                                    CALLBACK_EVENT) != MMSYSERR_NOERROR)
        {
            m_hWave = nullptr;
            return false;
        }
        DWORD nBlocks = BlocksFor(nBufferMs, 2) + 1;
        m_data.assign(nBlocks * kVoiceBlockSamples, 0);
        m_headers.assign(nBlocks, WAVEHDR{});
        for (DWORD i = 0; i < nBlocks; ++i)
        {
            WAVEHDR& h = m_headers[i];
            h.lpData = reinterpret_cast<LPSTR>(&m_data[i * kVoiceBlockSamples]);
            h.dwBufferLength = kBlockBytes;
            waveInPrepareHeader(m_hWave, &h, sizeof h);
            waveInAddBuffer(m_hWave, &h, sizeof h);
        }
        if (waveInStart(m_hWave) != MMSYSERR_NOERROR)
        {
            Stop();
            return false;
        }
        m_thread = std::thread([this, &sink] { Run(sink); });
        return true;
    }

    void Stop()
    {
        m_bStop = true;
        if (m_hEvent) SetEvent(m_hEvent);
        if (m_thread.joinable()) m_thread.join();
        if (m_hWave)
        {
            waveInReset(m_hWave);
            for (WAVEHDR& h : m_headers)
                waveInUnprepareHeader(m_hWave, &h, sizeof h);
            waveInClose(m_hWave);
            m_hWave = nullptr;
        }
        if (m_hEvent) CloseHandle(m_hEvent);
        m_hEvent = nullptr;
    }

private:
    void Run(IVoiceDeviceSink& sink)
    {
        size_t nNext = 0;
        while (!m_bStop)
        {
            WaitForSingleObject(m_hEvent, INFINITE);
            // Buffers come back in the order they were added.
            while (!m_bStop && (m_headers[nNext].dwFlags & WHDR_DONE))
            {
                WAVEHDR& h = m_headers[nNext];
                if (h.dwBytesRecorded == kBlockBytes)
                    sink.OnCaptureBlock(reinterpret_cast<int16_t*>(h.lpData));
                h.dwFlags &= ~WHDR_DONE;
                h.dwBytesRecorded = 0;
                waveInAddBuffer(m_hWave, &h, sizeof h);
                nNext = (nNext + 1) % m_headers.size();
            }
        }
    }

    HWAVEIN m_hWave = nullptr;
    HANDLE m_hEvent = nullptr;
    std::vector<int16_t> m_data;
    std::vector<WAVEHDR> m_headers;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

class CDirectSoundPlayback
{
public:
    ~CDirectSoundPlayback() { Stop(); }

    bool Start(IVoiceDeviceSink& sink, const VoiceSpeakerId& speaker, uint32_t nBufferMs)
    {
        GUID guid;
        std::memcpy(&guid, speaker.data(), sizeof guid);
        bool bDefault = std::all_of(speaker.begin(), speaker.end(), [](uint8_t b) { return b == 0; });
        if (FAILED(DirectSoundCreate8(bDefault ? nullptr : &guid, &m_pSound, nullptr))) return false;
        if (FAILED(m_pSound->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY))) return false;
        m_nBlocks = BlocksFor(nBufferMs, 3) + 1;
        WAVEFORMATEX f = VoiceFormat();
        DSBUFFERDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
        d.dwBufferBytes = m_nBlocks * kBlockBytes;
        d.lpwfxFormat = &f;
        if (FAILED(m_pSound->CreateSoundBuffer(&d, &m_pBuffer, nullptr))) return false;
        IDirectSoundNotify* pNotify = nullptr;
        if (FAILED(m_pBuffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&pNotify))))
            return false;
        m_hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        std::vector<DSBPOSITIONNOTIFY> positions(m_nBlocks);
        for (DWORD i = 0; i < m_nBlocks; ++i)
            positions[i] = {i * kBlockBytes, m_hEvent};
        HRESULT hr = pNotify->SetNotificationPositions(m_nBlocks, positions.data());
        pNotify->Release();
        if (FAILED(hr) || FAILED(m_pBuffer->Play(0, 0, DSBPLAY_LOOPING))) return false;
        m_thread = std::thread([this, &sink] { Run(sink); });
        return true;
    }

    void Stop()
    {
        m_bStop = true;
        if (m_hEvent) SetEvent(m_hEvent);
        if (m_thread.joinable()) m_thread.join();
        if (m_pBuffer)
        {
            m_pBuffer->Stop();
            m_pBuffer->Release();
            m_pBuffer = nullptr;
        }
        if (m_pSound) m_pSound->Release();
        m_pSound = nullptr;
        if (m_hEvent) CloseHandle(m_hEvent);
        m_hEvent = nullptr;
    }

private:
    // Each notification: every block the play position has left is refilled, so the newest
    // mix plays the device buffering later.
    void Run(IVoiceDeviceSink& sink)
    {
        DWORD nWrite = 0;
        int16_t block[kVoiceBlockSamples];
        while (!m_bStop)
        {
            WaitForSingleObject(m_hEvent, INFINITE);
            DWORD dwPlay = 0, dwWriteCursor = 0;
            if (m_bStop || FAILED(m_pBuffer->GetCurrentPosition(&dwPlay, &dwWriteCursor))) continue;
            DWORD nPlaying = (dwPlay / kBlockBytes) % m_nBlocks;
            while (nWrite != nPlaying)
            {
                sink.OnRenderBlock(block);
                Write(nWrite, block);
                nWrite = (nWrite + 1) % m_nBlocks;
            }
        }
    }

    void Write(DWORD nBlock, const int16_t* pBlock)
    {
        void *p1 = nullptr, *p2 = nullptr;
        DWORD n1 = 0, n2 = 0;
        HRESULT hr = m_pBuffer->Lock(nBlock * kBlockBytes, kBlockBytes, &p1, &n1, &p2, &n2, 0);
        if (hr == DSERR_BUFFERLOST)
        {
            m_pBuffer->Restore();
            hr = m_pBuffer->Lock(nBlock * kBlockBytes, kBlockBytes, &p1, &n1, &p2, &n2, 0);
        }
        if (FAILED(hr)) return;
        std::memcpy(p1, pBlock, n1);
        if (p2) std::memcpy(p2, reinterpret_cast<const uint8_t*>(pBlock) + n1, n2);
        m_pBuffer->Unlock(p1, n1, p2, n2);
    }

    IDirectSound8* m_pSound = nullptr;
    IDirectSoundBuffer* m_pBuffer = nullptr;
    HANDLE m_hEvent = nullptr;
    DWORD m_nBlocks = 0;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

class CWin32VoiceDevicePair : public IVoiceDevicePair
{
public:
    explicit CWin32VoiceDevicePair(IVoiceDeviceSink& sink) : m_sink(sink) {}
    bool StartCapture(uint32_t nMicDevice, uint32_t nBufferMs) override
    {
        return m_capture.Start(m_sink, nMicDevice, nBufferMs);
    }
    bool StartPlayback(const VoiceSpeakerId& speaker, uint32_t nBufferMs) override
    {
        return m_playback.Start(m_sink, speaker, nBufferMs);
    }
    const IVoiceClock& Clock() const override { return m_clock; }

private:
    IVoiceDeviceSink& m_sink;
    CPerformanceClock m_clock;
    // Declared last: stopped (and joined) first.
    CWaveInCapture m_capture;
    CDirectSoundPlayback m_playback;
};

class CWin32VoiceDeviceFactory : public IVoiceDeviceFactory
{
public:
    std::unique_ptr<IVoiceDevicePair> Create(IVoiceDeviceSink& sink) override
    {
        return std::make_unique<CWin32VoiceDevicePair>(sink);
    }
};
} // namespace

IVoiceDeviceFactory& PlatformVoiceDevices()
{
    static CWin32VoiceDeviceFactory s_devices;
    return s_devices;
}

void SetVoiceLastError(uint32_t dwError)
{
    SetLastError(dwError);
}

uint32_t VoiceLastError()
{
    return GetLastError();
}

namespace
{
// The log window: a frame titled "Voice log" whose read-only edit fills it.
LRESULT CALLBACK VoiceLogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SIZE)
    {
        if (HWND hText = GetWindow(hWnd, GW_CHILD))
            MoveWindow(hText, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND CreateVoiceLogWindow()
{
    constexpr wchar_t kClass[] = L"VolumoraVoiceLog";
    HINSTANCE hModule = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&VoiceLogProc), &hModule);
    WNDCLASSW wc{};
    wc.lpfnWndProc = VoiceLogProc;
    wc.hInstance = hModule;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc); // fails harmlessly once it is registered
    HWND hFrame = CreateWindowExW(0, kClass, L"Voice log", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  520, 320, nullptr, nullptr, hModule, nullptr);
    if (!hFrame) return nullptr;
    RECT rc;
    GetClientRect(hFrame, &rc);
    CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0,
                    rc.right, rc.bottom, hFrame, nullptr, hModule, nullptr);
    return hFrame;
}
} // namespace

void ShowVoiceLogWindow(const std::u16string& szText)
{
    // One log window, opened on the caller's thread (the program's window thread).
    static HWND s_hLog = nullptr;
    std::wstring text(szText.begin(), szText.end());
    if (!s_hLog || !IsWindow(s_hLog)) s_hLog = CreateVoiceLogWindow();
    if (!s_hLog) return;
    SetWindowTextW(GetWindow(s_hLog, GW_CHILD), text.c_str());
    ShowWindow(s_hLog, SW_SHOWNORMAL);
}
