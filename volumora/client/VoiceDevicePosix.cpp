// Natively the engine has no sound devices or windows of its own: the clocked fake stands for
// the devices, the log window is not shown, and the last error is the thread's own.
#include "volumora/client/VoiceClient.h"
#include "volumora/core/FakeVoiceDevice.h"

namespace
{
thread_local uint32_t t_dwLastError = 0;
}

IVoiceDeviceFactory& PlatformVoiceDevices()
{
    static CFakeVoiceDeviceFactory s_devices;
    return s_devices;
}

void SetVoiceLastError(uint32_t dwError)
{
    t_dwLastError = dwError;
}

uint32_t VoiceLastError()
{
    return t_dwLastError;
}

void ShowVoiceLogWindow(const std::u16string&) {}
