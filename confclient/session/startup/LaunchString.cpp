// Command-line parsing.
#include "confclient/session/startup/LaunchString.h"

namespace
{
std::u16string_view Trim(std::u16string_view s)
{
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t' || s.front() == u'"'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'"'))
        s.remove_suffix(1);
    return s;
}

// A decimal number within nMax; nothing for anything else.
std::optional<uint32_t> ParseDecimal(std::u16string_view s, uint32_t nMax)
{
    s = Trim(s);
    if (s.empty() || s.size() > 10) return std::nullopt;
    uint64_t v = 0;
    for (char16_t c : s)
    {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c - u'0');
    }
    if (v > nMax) return std::nullopt;
    return static_cast<uint32_t>(v);
}
} // namespace

std::u16string LaunchField(std::u16string_view list, size_t i)
{
    size_t start = 0;
    for (size_t n = 0; n < i; ++n)
    {
        size_t comma = list.find(u',', start);
        if (comma == std::u16string_view::npos) return {};
        start = comma + 1;
    }
    size_t end = list.find(u',', start);
    return std::u16string(
        Trim(list.substr(start, end == std::u16string_view::npos ? list.npos : end - start)));
}

std::optional<S_LAUNCH> ParseCommandLine(std::u16string_view cmdLine)
{
    S_LAUNCH launch;
    std::u16string_view line = Trim(cmdLine);
    if (line.empty()) return launch;

    if (EqualsNoCase(line, u"qnplayer") || EqualsNoCase(line, u"rvplayer"))
    {
        launch.kind = LaunchKind::Player;
        launch.fields.szEditionKind = EqualsNoCase(line, u"rvplayer") ? u"1" : u"0";
        return launch;
    }
    if (EqualsNoCase(line, u"AVSetting"))
    {
        launch.kind = LaunchKind::AVSetting;
        return launch;
    }
    constexpr std::u16string_view kPanel = u"QuillonPort";
    if (line.size() >= kPanel.size() && EqualsNoCase(line.substr(0, kPanel.size()), kPanel))
    {
        std::optional<uint32_t> port = ParseDecimal(line.substr(kPanel.size()), 65535);
        if (!port || *port == 0) return std::nullopt;
        launch.kind = LaunchKind::PanelPort;
        launch.nPanelPort = static_cast<uint16_t>(*port);
        return launch;
    }
    if (line.find_first_of(u"/\\") != std::u16string_view::npos &&
        line.find(u',') == std::u16string_view::npos)
    {
        launch.kind = LaunchKind::RecordingPath;
        launch.szPath = std::u16string(line);
        return launch;
    }

    launch.kind = LaunchKind::LaunchString;
    S_LAUNCHFIELDS& f = launch.fields;
    f.szServerAddress = LaunchField(line, 0);
    f.nServerPort = static_cast<uint16_t>(ParseDecimal(LaunchField(line, 1), 65535).value_or(0));
    f.szUserId = LaunchField(line, 2);
    f.szLoginKey = LaunchField(line, 3);
    f.nLoginKind = static_cast<uint16_t>(ParseDecimal(LaunchField(line, 4), 65535).value_or(0));
    f.hLauncherWnd = ParseDecimal(LaunchField(line, 5), 0xffffffffu).value_or(0);
    f.szConfCode = LaunchField(line, 6);
    f.szEditionKind = LaunchField(line, 7);
    f.szResourceDll = LaunchField(line, 8);
    f.bNoLauncherWatch = LaunchField(line, 9) == u"1";
    return launch;
}
