// The system's waveform mixer behind the mixer rules' function table.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include "confclient/media/MixerFunctions.h"

class CWin32MixerApi : public IMixerApi
{
public:
    ~CWin32MixerApi() override { Close(); }
    bool MixerOf(uint32_t nDevice, bool bWaveIn, uint32_t& nMixer) override;
    bool Open(uint32_t nMixer) override;
    void Close() override;
    bool DestinationCount(uint32_t& nCount) override;
    bool Destination(uint32_t nIndex, MixerLineInfo& line) override;
    bool Source(uint32_t nDestination, uint32_t nIndex, MixerLineInfo& line) override;
    uint32_t ControlOfType(uint32_t dwLineId, uint32_t dwType, MixerControlInfo& control) override;
    bool Controls(const MixerLineInfo& line, std::vector<MixerControlInfo>& controls) override;
    bool ListItems(const MixerControlInfo& control, std::vector<uint32_t>& itemLines) override;
    bool GetValues(const MixerControlInfo& control, uint32_t nItems, std::vector<uint32_t>& values) override;
    bool SetValues(const MixerControlInfo& control, const std::vector<uint32_t>& values) override;

private:
    HMIXER m_hMixer = nullptr;
};
