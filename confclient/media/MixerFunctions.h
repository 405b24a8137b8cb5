// Volume and mute of the sound devices' lines by line kind (2 the speaker's wave-out, 8 a
// wave-in source muted at start, 16 the microphone, 32 the line input; 1 and 4 the speaker
// itself and its microphone monitor), over the waveform mixer's functions taken as a table,
// so that the rules run against a fake mixer as well as the system's. Volumes are 0..100.
#pragma once
#include <cstdint>
#include <vector>

struct MixerLineInfo
{
    uint32_t dwLineId = 0;
    uint32_t dwComponentType = 0;
    uint32_t cConnections = 0;
    uint32_t cControls = 0;
};

struct MixerControlInfo
{
    uint32_t dwControlId = 0;
    uint32_t dwControlType = 0;
    uint32_t fdwControl = 0;
    uint32_t cMultipleItems = 0;
};

// The waveform mixer's functions, as the rules need them; one mixer open at a time.
class IMixerApi
{
public:
    virtual ~IMixerApi() = default;
    // mixerGetID of a wave-out or wave-in device.
    virtual bool MixerOf(uint32_t nDevice, bool bWaveIn, uint32_t& nMixer) = 0;
    virtual bool Open(uint32_t nMixer) = 0;
    virtual void Close() = 0;
    // The open mixer's destination count; false when its capabilities cannot be read.
    virtual bool DestinationCount(uint32_t& nCount) = 0;
    virtual bool Destination(uint32_t nIndex, MixerLineInfo& line) = 0;
    virtual bool Source(uint32_t nDestination, uint32_t nIndex, MixerLineInfo& line) = 0;
    // The line's control of this type: 0, 1025 when the line has none, another code on failure.
    virtual uint32_t ControlOfType(uint32_t dwLineId, uint32_t dwType, MixerControlInfo& control) = 0;
    virtual bool Controls(const MixerLineInfo& line, std::vector<MixerControlInfo>& controls) = 0;
    // The first parameter of each item of a list control.
    virtual bool ListItems(const MixerControlInfo& control, std::vector<uint32_t>& itemLines) = 0;
    // nItems values (one channel) of the control: unsigned or boolean.
    virtual bool GetValues(const MixerControlInfo& control, uint32_t nItems,
                           std::vector<uint32_t>& values) = 0;
    virtual bool SetValues(const MixerControlInfo& control, const std::vector<uint32_t>& values) = 0;
};

class CMixerFunctions
{
public:
    explicit CMixerFunctions(IMixerApi& api) : m_api(api) {}

    // The mixers of the chosen wave-out and wave-in devices; false unless both are found.
    bool MixerInit(uint32_t nWaveOut, uint32_t nWaveIn);
    bool MixerSetVolume(int nKind, int nValue);
    bool MixerGetVolume(int nKind, int* pValue);
    bool MixerSetMute(int nKind, bool bMute);
    bool MixerGetMute(int nKind, bool* pMute);

private:
    struct Found
    {
        uint32_t nDestinationIndex = 0;
        MixerLineInfo destination;
        MixerLineInfo line; // the kind's source, or the destination itself
    };
    bool OpenFor(int nKind);
    Found FindLine(int nKind);
    bool Volume(int nKind, bool bSet, int& nValue);
    bool Mute(int nKind, bool bSet, bool& bMute);

    IMixerApi& m_api;
    uint32_t m_nWaveOutMixer = 0;
    uint32_t m_nWaveInMixer = 0;
};
