// The media-share tool bar's rules.
#include "confclient/room/MediaShareToolRules.h"

#include <algorithm>
#include <cstdio>

namespace
{
std::u16string Clock(uint32_t nSeconds)
{
    // As a time of day in UTC: the hours wrap at a day (a 16-bit length never reaches one).
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", (nSeconds / 3600) % 24, (nSeconds / 60) % 60,
                  nSeconds % 60);
    return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

// Whether "*" + szExt (".ext") is a whole entry of the ';'-separated list.
bool ListHas(std::u16string_view list, std::u16string_view szExt)
{
    while (!list.empty())
    {
        size_t n = list.find(u';');
        std::u16string_view entry = list.substr(0, n);
        while (!entry.empty() && entry.front() == u' ')
            entry.remove_prefix(1);
        while (!entry.empty() && entry.back() == u' ')
            entry.remove_suffix(1);
        if (entry.size() == szExt.size() + 1 && entry[0] == u'*' && SameIgnoringCase(entry.substr(1), szExt))
            return true;
        if (n == std::u16string_view::npos) break;
        list.remove_prefix(n + 1);
    }
    return false;
}
} // namespace

std::u16string ShareTimeText(uint32_t nPosition, uint32_t nLength)
{
    return Clock(nPosition) + u" / " + Clock(nLength);
}

uint32_t StepShareVolume(uint32_t nCurrent, uint32_t nValue, bool bUp)
{
    int64_t v = nValue;
    if (nValue == 65535) v = static_cast<int64_t>(nCurrent) + (bUp ? 10 : -10);
    return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 100));
}

bool CShareSecondGate::Pass(uint32_t dwNow)
{
    if (m_bStarted && dwNow - m_dwLast < 1000) return false;
    m_bStarted = true;
    m_dwLast = dwNow;
    return true;
}

SShareTakeOver TakeOverShareState(QNMediaShareRecord& room, QNMediaShareRecord& copy, uint32_t& dwTick,
                                  uint32_t dwNow, bool bForce, bool bReceiving)
{
    SShareTakeOver out;
    copy.SetMuted(room.Muted());
    out.bMuted = room.Muted();
    if (room.Volume() != copy.Volume())
    {
        copy.SetVolume(room.Volume());
        out.bVolumeChanged = true;
    }
    if (room.Changed() || bForce)
    {
        out.bVoiceReset = room.Changed();
        room.SetChanged(false);
        copy.SetChanged(false);
        copy.SetPosition(room.Position());
        dwTick = dwNow;
        out.bSeekMoved = true;
    }
    switch (room.Play())
    {
    case MEDIASHARE_PLAYING:
        if (copy.Playing())
        {
            uint32_t nSeconds = (dwNow - dwTick) / 1000;
            copy.SetPosition(copy.Position() + nSeconds);
            dwTick += nSeconds * 1000;
        }
        break;
    case MEDIASHARE_PAUSED:
        dwTick = dwNow;
        break;
    default:
        room.SetPosition(0);
        copy.SetPosition(0);
        out.bReceiveIdle = bReceiving;
        break;
    }
    if (room.Play() != copy.Play()) copy = room;
    return out;
}

ShareOpenResult ShareOpenResultOf(uint32_t lParam)
{
    if ((lParam & 0xFFFF) == 0) return SHAREOPEN_LOADFAILED;
    if ((lParam >> 16) == 0) return SHAREOPEN_UNSUPPORTED;
    return SHAREOPEN_LOADED;
}

std::u16string ShareOpenFilter(int nMediaMode, const SShareExtensions& ext)
{
    if (nMediaMode != 3)
        return u"All available files|" + ext.szAudioPatterns + u"|Audio files(" + ext.szAudioDisplay + u")|" +
               ext.szAudioPatterns + u"||";
    // The two lists are one entry of the first filter: joined by ';' whatever the video list ends with.
    std::u16string both = ext.szVideoPatterns;
    if (!both.empty() && both.back() != u';') both += u';';
    both += ext.szAudioPatterns;
    return u"All available files|" + both + u"|Video files(" + ext.szVideoDisplay + u")|" +
           ext.szVideoPatterns + u"|Audio files(" + ext.szAudioDisplay + u")|" + ext.szAudioPatterns + u"||";
}

bool AcceptsDroppedShare(const std::u16string& szPath, int nMediaMode, const SShareExtensions& ext)
{
    if (szPath.empty() || szPath.size() > 260 || nMediaMode == 0) return false;
    size_t nSlash = szPath.find_last_of(u"\\/");
    size_t nDot = szPath.rfind(u'.');
    if (nDot == std::u16string::npos || (nSlash != std::u16string::npos && nDot < nSlash)) return false;
    std::u16string_view szExt = std::u16string_view(szPath).substr(nDot);
    if (szExt.size() < 2) return false;
    return ListHas(ext.szAudioPatterns, szExt) || (nMediaMode == 3 && ListHas(ext.szVideoPatterns, szExt));
}

SShareToolLayout LayoutShareTool(int cx, const SShareToolSizes& s)
{
    SShareToolLayout l;
    l.open = {6, 11, s.nOpenCx, s.nOpenCy};
    int xPlay = s.nOpenCx + 9;
    l.play = {xPlay, 11, s.nPlayCx, s.nButtonCy};
    l.pause = {xPlay, 11, s.nPauseCx, s.nButtonCy};
    l.stop = {xPlay + s.nPauseCx + 3, 11, s.nStopCx, s.nButtonCy};
    l.time = {125, 29, 118, 18};
    l.name = {262, 29, cx - 260, 18};
    l.mute = {cx - 70, 9, s.nMuteCx, s.nMuteCy};
    l.volume = {cx - s.nVolumeCx - 74, 2, s.nVolumeCx, s.nVolumeCy};
    l.seek = {125, 9, l.volume.x - 135, s.nSeekCy};
    return l;
}
