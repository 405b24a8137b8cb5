// The room voice's devices on Windows: wave-in product names, DirectSound output devices,
// the tick count, and engines that are CPlayer objects in room mode.
#pragma once
#include <windows.h>

#include "confclient/media/Player.h"
#include "confclient/media/RoomVoicePorts.h"

class CWin32VoiceDevices : public IVoiceDevices
{
public:
    // bar: where the engine's packets, recording blocks and level messages go.
    CWin32VoiceDevices(IVoiceRoomOwner& bar, HWND hBar, IVoiceDeviceFactory* pSoundDevices = nullptr)
        : m_bar(bar), m_hBar(hBar), m_pSoundDevices(pSoundDevices)
    {
    }
    std::unique_ptr<IRoomVoiceEngine> CreateEngine() override;
    std::vector<std::u16string> MicrophoneNames() override;
    std::vector<VoiceSpeakerDevice> SpeakerDevices() override;
    uint32_t TickCount() override { return GetTickCount(); }

private:
    IVoiceRoomOwner& m_bar;
    HWND m_hBar;
    IVoiceDeviceFactory* m_pSoundDevices;
};
