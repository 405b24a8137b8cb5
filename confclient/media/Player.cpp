// The program's voice client: callback routing by mode and the DirectSound test sound.
#include "confclient/media/Player.h"

#include <cstring>
#include <new>

#include "ResourceIds.h"

namespace
{
constexpr int kSoundTest = 2;
constexpr int kMicrophoneTest = 3;
// Sticky focus, volume, pan and frequency control, software mixing, static.
constexpr DWORD kTestSoundFlags = 0x80EA;
} // namespace

CPlayer::CPlayer(IVoiceRoomOwner& room, HWND hOwner, IVoiceDeviceFactory* pDevices)
    : CVoiceClient(pDevices ? *pDevices : SystemDevices()), m_nMode(0), m_pRoom(&room), m_nTestKind(0),
      m_hOwner(hOwner ? hOwner : GetDesktopWindow())
{
}

CPlayer::CPlayer(IVoiceTestOwner& test, HWND hOwner, IVoiceDeviceFactory* pDevices)
    : CVoiceClient(pDevices ? *pDevices : SystemDevices()), m_nMode(1), m_pTest(&test),
      m_nTestKind(test.TestKind()), m_hOwner(hOwner ? hOwner : GetDesktopWindow())
{
}

CPlayer::~CPlayer()
{
    if (m_nMode != 0 && m_nTestKind == kSoundTest) StopTestSound();
    if (m_nMode != 0 && m_nTestKind == kMicrophoneTest) TalkStop();
    // No callback may reach this object once its members start going.
    Shutdown();
    ReleaseSound();
}

void CPlayer::OnVoiceEvent(int nUser, int nLevel)
{
    if (m_nMode == 0)
    {
        if (m_levels.Put(static_cast<uint16_t>(nUser), nLevel)) m_pRoom->PostVoiceLevels();
        return;
    }
    if (m_nTestKind == kMicrophoneTest && m_pTest->HasLevelDialog() &&
        m_levels.Put(static_cast<uint16_t>(nUser), nLevel))
        m_pTest->PostVoiceLevels();
}

void CPlayer::OnCapturedVoice(const uint8_t* pData, int nLen)
{
    if (m_nMode == 0)
        m_pRoom->SendCapturedVoice(pData, static_cast<size_t>(nLen));
    else
        OnRecvVoice(const_cast<uint8_t*>(pData), nLen); // the tester hears the microphone
}

void CPlayer::OnDecodedVoice(int nChannel, const int16_t* pSamples, int nBytes)
{
    if (m_nMode == 0) m_pRoom->QueueVoiceForRecording(nChannel, pSamples, static_cast<size_t>(nBytes));
}

BOOL CPlayer::InitSound(const GUID* pDevice, HMODULE hResources)
{
    ReleaseSound();
    if (FAILED(DirectSoundCreate(pDevice, &m_pSound, nullptr))) return FALSE;
    if (FAILED(m_pSound->SetCooperativeLevel(m_hOwner, DSSCL_PRIORITY)) || !LoadSound(hResources))
    {
        ReleaseSound();
        return FALSE;
    }
    return TRUE;
}

BOOL CPlayer::LoadSound(HMODULE hResources)
{
    try
    {
        HRSRC hRes = FindResourceW(hResources, MAKEINTRESOURCEW(IDR_WAVE_TESTSOUND), L"WAVE");
        if (!hRes) hRes = FindResourceW(hResources, MAKEINTRESOURCEW(IDR_WAVE_TESTSOUND), L"WAV");
        DWORD nSize = hRes ? SizeofResource(hResources, hRes) : 0;
        const void* p = nSize ? LockResource(LoadResource(hResources, hRes)) : nullptr;
        if (!p) return FALSE;
        m_wave.assign(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + nSize);

        MMIOINFO info{};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = reinterpret_cast<HPSTR>(m_wave.data());
        info.cchBuffer = static_cast<LONG>(m_wave.size());
        HMMIO hFile = mmioOpenW(nullptr, &info, MMIO_READ);
        if (!hFile) return FALSE;
        MMCKINFO riff{}, chunk{};
        WAVEFORMATEX format{};
        std::vector<uint8_t> data;
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        bool bOk = mmioDescend(hFile, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR;
        chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
        bOk = bOk && mmioDescend(hFile, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
              mmioRead(hFile, reinterpret_cast<HPSTR>(&format), 16) == 16 &&
              mmioAscend(hFile, &chunk, 0) == MMSYSERR_NOERROR;
        format.cbSize = 0;
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        bOk =
            bOk && mmioDescend(hFile, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR && chunk.cksize > 0;
        if (bOk)
        {
            data.resize(chunk.cksize);
            bOk = mmioRead(hFile, reinterpret_cast<HPSTR>(data.data()), static_cast<LONG>(data.size())) ==
                  static_cast<LONG>(data.size());
        }
        mmioClose(hFile, 0);
        if (!bOk) return FALSE;

        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = kTestSoundFlags;
        desc.dwBufferBytes = static_cast<DWORD>(data.size());
        desc.lpwfxFormat = &format;
        if (FAILED(m_pSound->CreateSoundBuffer(&desc, &m_pSoundBuffer, nullptr))) return FALSE;
        void *p1 = nullptr, *p2 = nullptr;
        DWORD n1 = 0, n2 = 0;
        if (FAILED(m_pSoundBuffer->Lock(0, desc.dwBufferBytes, &p1, &n1, &p2, &n2, 0))) return FALSE;
        std::memcpy(p1, data.data(), n1);
        if (p2) std::memcpy(p2, data.data() + n1, n2);
        m_pSoundBuffer->Unlock(p1, n1, p2, n2);
        return TRUE;
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;
    }
}

BOOL CPlayer::PlayTestSound()
{
    if (m_pSoundBuffer) m_pSoundBuffer->Play(0, 0, DSBPLAY_LOOPING);
    return TRUE;
}

void CPlayer::StopTestSound()
{
    if (!m_pSoundBuffer) return;
    m_pSoundBuffer->Stop();
    m_pSoundBuffer->SetCurrentPosition(0);
}

void CPlayer::ReleaseSound()
{
    if (m_pSoundBuffer) m_pSoundBuffer->Release();
    m_pSoundBuffer = nullptr;
    if (m_pSound) m_pSound->Release();
    m_pSound = nullptr;
    m_wave.clear();
}
