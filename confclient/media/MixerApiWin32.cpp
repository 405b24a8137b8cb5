// The mixer function table over mixerOpen and its kin.
#include "confclient/media/MixerApiWin32.h"

namespace
{
MixerLineInfo InfoOf(const MIXERLINEW& l)
{
    return {l.dwLineID, l.dwComponentType, l.cConnections, l.cControls};
}

MixerControlInfo InfoOf(const MIXERCONTROLW& c)
{
    return {c.dwControlID, c.dwControlType, c.fdwControl, c.cMultipleItems};
}
} // namespace

bool CWin32MixerApi::MixerOf(uint32_t nDevice, bool bWaveIn, uint32_t& nMixer)
{
    UINT uMixer = 0;
    MMRESULT r = mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(nDevice)), &uMixer,
                            bWaveIn ? MIXER_OBJECTF_WAVEIN : MIXER_OBJECTF_WAVEOUT);
    nMixer = uMixer;
    return r == MMSYSERR_NOERROR;
}

bool CWin32MixerApi::Open(uint32_t nMixer)
{
    Close();
    return mixerOpen(&m_hMixer, nMixer, 0, 0, MIXER_OBJECTF_MIXER) == MMSYSERR_NOERROR;
}

void CWin32MixerApi::Close()
{
    if (m_hMixer) mixerClose(m_hMixer);
    m_hMixer = nullptr;
}

bool CWin32MixerApi::DestinationCount(uint32_t& nCount)
{
    MIXERCAPSW caps{};
    if (mixerGetDevCapsW(reinterpret_cast<UINT_PTR>(m_hMixer), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return false;
    nCount = caps.cDestinations;
    return true;
}

bool CWin32MixerApi::Destination(uint32_t nIndex, MixerLineInfo& line)
{
    MIXERLINEW l{};
    l.cbStruct = sizeof l;
    l.dwDestination = nIndex;
    if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(m_hMixer), &l,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR)
        return false;
    line = InfoOf(l);
    return true;
}

bool CWin32MixerApi::Source(uint32_t nDestination, uint32_t nIndex, MixerLineInfo& line)
{
    MIXERLINEW l{};
    l.cbStruct = sizeof l;
    l.dwDestination = nDestination;
    l.dwSource = nIndex;
    if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(m_hMixer), &l,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) != MMSYSERR_NOERROR)
        return false;
    line = InfoOf(l);
    return true;
}

uint32_t CWin32MixerApi::ControlOfType(uint32_t dwLineId, uint32_t dwType, MixerControlInfo& control)
{
    MIXERCONTROLW c{};
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = dwLineId;
    lc.dwControlType = dwType;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof c;
    lc.pamxctrl = &c;
    MMRESULT r = mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(m_hMixer), &lc,
                                       MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
    if (r == MMSYSERR_NOERROR) control = InfoOf(c);
    return r;
}

bool CWin32MixerApi::Controls(const MixerLineInfo& line, std::vector<MixerControlInfo>& controls)
{
    controls.clear();
    if (line.cControls == 0) return true;
    std::vector<MIXERCONTROLW> all(line.cControls);
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = line.dwLineId;
    lc.cControls = line.cControls;
    lc.cbmxctrl = sizeof(MIXERCONTROLW);
    lc.pamxctrl = all.data();
    if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(m_hMixer), &lc,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR)
        return false;
    for (const MIXERCONTROLW& c : all)
        controls.push_back(InfoOf(c));
    return true;
}

bool CWin32MixerApi::ListItems(const MixerControlInfo& control, std::vector<uint32_t>& itemLines)
{
    std::vector<MIXERCONTROLDETAILS_LISTTEXTW> items(control.cMultipleItems);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = control.dwControlId;
    d.cChannels = 1;
    d.cMultipleItems = control.cMultipleItems;
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTW);
    d.paDetails = items.data();
    if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(m_hMixer), &d,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_LISTTEXT) != MMSYSERR_NOERROR)
        return false;
    itemLines.clear();
    for (const auto& item : items)
        itemLines.push_back(item.dwParam1);
    return true;
}

bool CWin32MixerApi::GetValues(const MixerControlInfo& control, uint32_t nItems,
                               std::vector<uint32_t>& values)
{
    // Unsigned and boolean details are both one DWORD per item.
    values.assign(nItems ? nItems : 1, 0);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = control.dwControlId;
    d.cChannels = 1;
    d.cMultipleItems = control.cMultipleItems;
    d.cbDetails = sizeof(DWORD);
    d.paDetails = values.data();
    return mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(m_hMixer), &d,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

bool CWin32MixerApi::SetValues(const MixerControlInfo& control, const std::vector<uint32_t>& values)
{
    std::vector<uint32_t> copy = values;
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = control.dwControlId;
    d.cChannels = 1;
    d.cMultipleItems = control.cMultipleItems;
    d.cbDetails = sizeof(DWORD);
    d.paDetails = copy.data();
    return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(m_hMixer), &d,
                                  MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}
