// The mixer rules: which line a kind means, its volume control, and its mute through the
// destination's list control or the line's own switch.
#include "confclient/media/MixerFunctions.h"

#include <algorithm>

namespace
{
constexpr uint32_t kDstSpeakers = 4;
constexpr uint32_t kDstWaveIn = 7;
constexpr uint32_t kSrcLine = 0x1002;
constexpr uint32_t kSrcMicrophone = 0x1003;
constexpr uint32_t kSrcWaveOut = 0x1008;
constexpr uint32_t kSrcAnalog = 0x100A;
constexpr uint32_t kControlVolume = 0x50030001;
constexpr uint32_t kControlMute = 0x20010002;
constexpr uint32_t kControlMux = 0x70010001;
constexpr uint32_t kControlSingleSelect = 0x70010000;
constexpr uint32_t kClassMask = 0xF0000000;
constexpr uint32_t kClassList = 0x70000000;
constexpr uint32_t kClassSwitch = 0x20000000;
constexpr uint32_t kUniformMultiple = 3;
constexpr uint32_t kInvalidControl = 1025;
constexpr uint32_t kVolumeStep = 655;

bool IsWaveInKind(int nKind)
{
    return nKind == 8 || nKind == 16 || nKind == 32;
}

bool IsNamedKind(int nKind)
{
    return nKind == 1 || nKind == 2 || nKind == 4 || IsWaveInKind(nKind);
}

uint32_t SourceType(int nKind)
{
    switch (nKind)
    {
    case 2:
    case 8:
        return kSrcWaveOut;
    case 4:
    case 16:
        return kSrcMicrophone;
    case 32:
        return kSrcLine;
    default:
        return 0;
    }
}

// Closes the mixer however the call ends.
struct OpenMixer
{
    IMixerApi& api;
    ~OpenMixer() { api.Close(); }
};
} // namespace

bool CMixerFunctions::MixerInit(uint32_t nWaveOut, uint32_t nWaveIn)
{
    return m_api.MixerOf(nWaveOut, false, m_nWaveOutMixer) && m_api.MixerOf(nWaveIn, true, m_nWaveInMixer);
}

bool CMixerFunctions::OpenFor(int nKind)
{
    return m_api.Open(IsWaveInKind(nKind) ? m_nWaveInMixer : m_nWaveOutMixer);
}

CMixerFunctions::Found CMixerFunctions::FindLine(int nKind)
{
    Found f;
    uint32_t dwDestination = IsWaveInKind(nKind) ? kDstWaveIn : kDstSpeakers;
    uint32_t nCount = 0;
    bool bFound = false;
    if (m_api.DestinationCount(nCount))
        for (uint32_t i = 0; i < nCount && !bFound; ++i)
        {
            MixerLineInfo line;
            if (!m_api.Destination(i, line)) continue;
            if (line.dwComponentType == dwDestination)
            {
                f.nDestinationIndex = i;
                f.destination = line;
                bFound = true;
            }
        }
    f.line = f.destination;
    // The microphone of a wave-in destination with one connection and its own controls is
    // the destination itself.
    bool bWantSource =
        nKind != 1 && (nKind != 16 || f.destination.cConnections > 1 || f.destination.cControls < 2);
    if (!bFound || !bWantSource) return f;
    for (uint32_t i = 0; i < f.destination.cConnections; ++i)
    {
        MixerLineInfo source;
        if (m_api.Source(f.nDestinationIndex, i, source) && source.dwComponentType == SourceType(nKind))
        {
            f.line = source;
            break;
        }
    }
    return f;
}

bool CMixerFunctions::Volume(int nKind, bool bSet, int& nValue)
{
    if (!OpenFor(nKind)) return false;
    OpenMixer open{m_api};
    MixerLineInfo line;
    MixerLineInfo destination;
    if (IsNamedKind(nKind))
    {
        Found f = FindLine(nKind);
        line = f.line;
        destination = f.destination;
    }
    else
    {
        line.dwLineId = static_cast<uint32_t>(nKind);
    }
    MixerControlInfo control;
    uint32_t nResult = m_api.ControlOfType(line.dwLineId, kControlVolume, control);
    if (nResult == kInvalidControl && (nKind == 16 || nKind == 32))
        nResult = m_api.ControlOfType(destination.dwLineId, kControlVolume, control);
    if (nResult != 0) return false;
    if (bSet)
    {
        // Volumes above 100 would not fit the control's 16 bits once scaled.
        uint32_t v = static_cast<uint32_t>(std::clamp(nValue, 0, 100)) * kVolumeStep;
        return m_api.SetValues(control, {v});
    }
    std::vector<uint32_t> values;
    if (!m_api.GetValues(control, 1, values) || values.empty()) return false;
    nValue = static_cast<int>(values[0] / kVolumeStep);
    return true;
}

bool CMixerFunctions::Mute(int nKind, bool bSet, bool& bMute)
{
    if (!OpenFor(nKind)) return false;
    OpenMixer open{m_api};
    Found f;
    uint32_t dwRemembered = 0;
    if (IsNamedKind(nKind))
    {
        f = FindLine(nKind);
        dwRemembered =
            f.destination.cConnections >= 2 || nKind == 1 ? f.line.dwLineId : f.destination.dwLineId;
    }
    else
    {
        // Another kind is a line id; odd ones live on the wave-in side.
        dwRemembered = static_cast<uint32_t>(nKind);
        Found d = FindLine(nKind % 2 ? 16 : 1);
        f.destination = d.destination;
        f.line.dwLineId = dwRemembered;
    }

    std::vector<MixerControlInfo> controls;
    if (m_api.Controls(f.destination, controls))
    {
        auto list = std::find_if(controls.begin(), controls.end(),
                                 [](const MixerControlInfo& c) {
                                     return (c.dwControlType & kClassMask) == kClassList &&
                                            c.fdwControl == kUniformMultiple;
                                 });
        std::vector<uint32_t> itemLines, values;
        if (list != controls.end() && m_api.ListItems(*list, itemLines))
        {
            auto item = std::find(itemLines.begin(), itemLines.end(), dwRemembered);
            if (item != itemLines.end() && m_api.GetValues(*list, list->cMultipleItems, values) &&
                values.size() == itemLines.size())
            {
                size_t nItem = static_cast<size_t>(item - itemLines.begin());
                if (!bSet)
                {
                    bMute = values[nItem] == 0;
                    return true;
                }
                if (list->dwControlType == kControlMux || list->dwControlType == kControlSingleSelect)
                    std::fill(values.begin(), values.end(), 0u);
                values[nItem] = bMute ? 0 : 1;
                if (m_api.SetValues(*list, values)) return true;
            }
        }
    }

    // The line's own mute switch.
    if (nKind == 8 && f.line.dwComponentType != kSrcWaveOut && f.line.dwComponentType != kSrcAnalog)
        return false;
    MixerControlInfo control;
    if (m_api.ControlOfType(f.line.dwLineId, kControlMute, control) != 0 ||
        (control.dwControlType & kClassMask) != kClassSwitch)
        return false;
    if (bSet) return m_api.SetValues(control, {bMute ? 1u : 0u});
    std::vector<uint32_t> values;
    if (!m_api.GetValues(control, 1, values) || values.empty()) return false;
    bMute = values[0] != 0;
    return true;
}

bool CMixerFunctions::MixerSetVolume(int nKind, int nValue)
{
    return Volume(nKind, true, nValue);
}

bool CMixerFunctions::MixerGetVolume(int nKind, int* pValue)
{
    int nValue = 0;
    if (!pValue || !Volume(nKind, false, nValue)) return false;
    *pValue = nValue;
    return true;
}

bool CMixerFunctions::MixerSetMute(int nKind, bool bMute)
{
    return Mute(nKind, true, bMute);
}

bool CMixerFunctions::MixerGetMute(int nKind, bool* pMute)
{
    bool bMute = false;
    if (!pMute || !Mute(nKind, false, bMute)) return false;
    *pMute = bMute;
    return true;
}
