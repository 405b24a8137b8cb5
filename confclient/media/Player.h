// CPlayer: the program's voice client. In a room its engine callbacks go to the control bar
// (levels by one posted message at a time); in a device test the microphone loops back into
// the engine and its level goes to the test's level dialog; it also plays the test sound, a
// WAVE resource, through DirectSound.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdint>
#include <vector>

#include "confclient/media/VoiceLevelMailbox.h"
#include "volumora/client/VoiceClient.h"

// The control bar as the room's voice client reaches it (engine threads).
class IVoiceRoomOwner
{
public:
    virtual ~IVoiceRoomOwner() = default;
    virtual void SendCapturedVoice(const uint8_t* pData, size_t nLen) = 0;
    virtual void QueueVoiceForRecording(int nChannel, const int16_t* pSamples, size_t nBytes) = 0;
    // Asks the bar's thread to take the levels (CPlayer::TakeLevels); returns at once.
    virtual void PostVoiceLevels() = 0;
};

// The settings page or wizard step that tests the devices.
class IVoiceTestOwner
{
public:
    virtual ~IVoiceTestOwner() = default;
    // 2 sound test, 3 microphone test.
    virtual int TestKind() = 0;
    // Any thread: the test has its level dialog open.
    virtual bool HasLevelDialog() = 0;
    // Asks the owner's thread to take the levels; returns at once.
    virtual void PostVoiceLevels() = 0;
};

class CPlayer : public CVoiceClient
{
public:
    // Room use. pDevices: the devices to use instead of the system's (tests).
    CPlayer(IVoiceRoomOwner& room, HWND hOwner, IVoiceDeviceFactory* pDevices = nullptr);
    // Device test.
    CPlayer(IVoiceTestOwner& test, HWND hOwner, IVoiceDeviceFactory* pDevices = nullptr);
    ~CPlayer() override;

    void OnVoiceEvent(int nUser, int nLevel) override;
    void OnCapturedVoice(const uint8_t* pData, int nLen) override;
    void OnDecodedVoice(int nChannel, const int16_t* pSamples, int nBytes) override;

    // The owner's thread, on its posted message: the latest level of each user.
    std::vector<std::pair<uint16_t, int>> TakeLevels() { return m_levels.Take(); }

    // DirectSound on the device (null: the default) with the test sound, WAVE resource 10514
    // (or of type "WAV") of hResources; FALSE when any step fails.
    BOOL InitSound(const GUID* pDevice, HMODULE hResources);
    BOOL PlayTestSound();
    void StopTestSound();

private:
    BOOL LoadSound(HMODULE hResources);
    void ReleaseSound();

    const int m_nMode; // 0 room, else device test
    IVoiceTestOwner* m_pTest = nullptr;
    IVoiceRoomOwner* m_pRoom = nullptr;
    const int m_nTestKind;
    std::vector<uint8_t> m_wave;
    IDirectSoundBuffer* m_pSoundBuffer = nullptr;
    IDirectSound* m_pSound = nullptr;
    HWND m_hOwner;
    CVoiceLevelMailbox m_levels;
};
