// Device lists from the wave-in and DirectSound enumerations, and CPlayer as the room's engine.
#include "confclient/media/VoiceDevicesWin32.h"

#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

namespace
{
class CPlayerEngine : public IRoomVoiceEngine
{
public:
    CPlayerEngine(IVoiceRoomOwner& bar, HWND hBar, IVoiceDeviceFactory* pDevices)
        : m_player(bar, hBar, pDevices)
    {
    }

    bool InitVoice(uint16_t wUser, int nMicDevice, const std::string& szSpeakerId, uint32_t dwJitterMs,
                   uint32_t dwDeviceMs, uint32_t& dwError) override
    {
        GUID guid{};
        bool bGuid = szSpeakerId.size() == sizeof guid;
        if (bGuid) std::memcpy(&guid, szSpeakerId.data(), sizeof guid);
        uint32_t nMic = nMicDevice == kVoiceMicNone      ? kVoiceMicAbsent
                        : nMicDevice == kVoiceMicDefault ? kVoiceMicMapper
                                                         : static_cast<uint32_t>(nMicDevice);
        SetLastError(0);
        bool bOk = m_player.InitVoice(wUser, nMic, bGuid ? &guid : nullptr, dwJitterMs, dwDeviceMs) != 0;
        dwError = bOk ? 0 : GetLastError();
        return bOk;
    }
    void SetMicBoost(int nBoost) override { m_player.SetMicBoost(nBoost); }
    void TalkStart() override { m_player.TalkStart(); }
    void TalkStop() override { m_player.TalkStop(); }
    void OnUserOut(uint16_t wUser) override { m_player.OnUserOut(wUser); }
    void StopAllChannel() override { m_player.StopAllChannel(); }
    void SetVoicePlayerFlag(bool bOn) override { m_player.SetVoicePlayerFlag(bOn ? 1 : 0); }
    void OnRecvVoice(const uint8_t* pData, size_t nLen) override
    {
        m_player.OnRecvVoice(const_cast<uint8_t*>(pData), static_cast<int>(nLen));
    }
    std::vector<std::pair<uint16_t, int>> TakeLevels() override { return m_player.TakeLevels(); }
    void ShowLogDialog() override { m_player.ShowLogDialog(); }

private:
    CPlayer m_player;
};

BOOL CALLBACK SpeakerEnumCallback(LPGUID pGuid, LPCWSTR pszDescription, LPCWSTR, LPVOID pContext)
{
    // The primary device comes without a GUID: it is the default, not a choice.
    if (!pGuid || !pContext) return TRUE;
    auto& devices = *static_cast<std::vector<VoiceSpeakerDevice>*>(pContext);
    VoiceSpeakerDevice d;
    d.szId.assign(reinterpret_cast<const char*>(pGuid), sizeof(GUID));
    for (const wchar_t* p = pszDescription; p && *p; ++p)
        d.szDescription.push_back(static_cast<char16_t>(*p));
    devices.push_back(std::move(d));
    return TRUE;
}
} // namespace

std::unique_ptr<IRoomVoiceEngine> CWin32VoiceDevices::CreateEngine()
{
    return std::make_unique<CPlayerEngine>(m_bar, m_hBar, m_pSoundDevices);
}

std::vector<std::u16string> CWin32VoiceDevices::MicrophoneNames()
{
    std::vector<std::u16string> names;
    UINT n = waveInGetNumDevs();
    for (UINT i = 0; i < n; ++i)
    {
        WAVEINCAPSW caps{};
        std::u16string name;
        if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR)
            for (const wchar_t* p = caps.szPname; *p; ++p)
                name.push_back(static_cast<char16_t>(*p));
        names.push_back(name);
    }
    return names;
}

std::vector<VoiceSpeakerDevice> CWin32VoiceDevices::SpeakerDevices()
{
    std::vector<VoiceSpeakerDevice> devices;
    DirectSoundEnumerateW(SpeakerEnumCallback, &devices);
    return devices;
}
