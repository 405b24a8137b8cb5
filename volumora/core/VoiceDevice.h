// The sound devices under the voice engine: capture from a wave-in device and playback to a
// sound output device, in 10-ms blocks of 16 kHz mono on the device layer's own threads.
// Windows: waveIn and DirectSound (VoiceDeviceWin32.cpp); tests: a clocked fake.
#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "volumora/core/VoiceFormat.h"

// A sound output device's identity (a GUID's 16 bytes); all zero: the default device.
using VoiceSpeakerId = std::array<uint8_t, 16>;
// The wave-in index of the default microphone, and of none (a listener).
constexpr uint32_t kVoiceMicMapper = 0xFFFFFFFF;
constexpr uint32_t kVoiceMicAbsent = 0xFFFFFFFE;

class IVoiceDeviceSink
{
public:
    virtual ~IVoiceDeviceSink() = default;
    // Capture thread: one block of kVoiceBlockSamples samples from the microphone.
    virtual void OnCaptureBlock(const int16_t* pBlock) = 0;
    // Playback thread: the next block of kVoiceBlockSamples samples for the speaker.
    virtual void OnRenderBlock(int16_t* pBlock) = 0;
};

class IVoiceDevicePair
{
public:
    // Stops both directions and joins their threads.
    virtual ~IVoiceDevicePair() = default;
    // Each opens and starts one direction with nBufferMs of device buffering; false when it fails.
    virtual bool StartCapture(uint32_t nMicDevice, uint32_t nBufferMs) = 0;
    virtual bool StartPlayback(const VoiceSpeakerId& speaker, uint32_t nBufferMs) = 0;
    // The clock the devices run on, for the engine's arrivals and ticks.
    virtual const IVoiceClock& Clock() const = 0;
};

class IVoiceDeviceFactory
{
public:
    virtual ~IVoiceDeviceFactory() = default;
    virtual std::unique_ptr<IVoiceDevicePair> Create(IVoiceDeviceSink& sink) = 0;
};

// The platform's devices (Windows: waveIn and DirectSound).
IVoiceDeviceFactory& PlatformVoiceDevices();
