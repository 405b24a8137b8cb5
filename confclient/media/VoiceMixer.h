// The room voice's mixer over the mixer functions: opening chooses the speaker's and the
// microphone's mixers; a failed read answers 0 (not muted), as the sliders then show.
#pragma once
#include "confclient/media/MixerFunctions.h"
#include "confclient/media/RoomVoicePorts.h"

class CVoiceMixer : public IVoiceMixer
{
public:
    explicit CVoiceMixer(IMixerApi& api) : m_functions(api) {}
    void Open(int nSpeakerIndex, int nMicDevice) override
    {
        m_functions.MixerInit(static_cast<uint32_t>(nSpeakerIndex),
                              static_cast<uint32_t>(nMicDevice < 0 ? 0 : nMicDevice));
    }
    int Volume(int nKind) override
    {
        int n = 0;
        return m_functions.MixerGetVolume(nKind, &n) ? n : 0;
    }
    void SetVolume(int nKind, int nVolume) override { m_functions.MixerSetVolume(nKind, nVolume); }
    bool Muted(int nKind) override
    {
        bool b = false;
        return m_functions.MixerGetMute(nKind, &b) && b;
    }
    void SetMute(int nKind, bool bMute) override { m_functions.MixerSetMute(nKind, bMute); }

private:
    CMixerFunctions m_functions;
};
