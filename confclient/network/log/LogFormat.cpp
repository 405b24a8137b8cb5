// Log texts and the purge rule.
#include "confclient/network/log/LogFormat.h"

#include <cstdio>

std::u16string_view LevelTag(int nLevel)
{
    switch (nLevel)
    {
    case 1:
        return u"[DEBUG]   ";
    case 2:
        return u"[INFO]    ";
    case 4:
        return u"[ERROR]   ";
    default:
        return u"[UNKNOWN] ";
    }
}

uint32_t LevelMaskFromText(std::string_view levels)
{
    uint32_t mask = 0;
    if (levels.find("DEBUG") != std::string_view::npos) mask |= 1;
    if (levels.find("INFO") != std::string_view::npos) mask |= 2;
    if (levels.find("ERROR") != std::string_view::npos) mask |= 4;
    return mask;
}

std::string LogLevelsFromSettings(ISettings& settings)
{
    std::u16string value = settings.ReadString(SettingsKey::Program, u"Log", u"INFO|ERROR");
    std::u16string upper;
    for (char16_t c : value)
        upper.push_back((c >= u'a' && c <= u'z') ? char16_t(c - 32) : c);
    return upper == u"DEBUG" ? "INFO|ERROR|DEBUG" : "INFO|ERROR";
}

namespace
{
std::u16string Widen(const char* p)
{
    std::u16string s;
    while (*p)
        s.push_back(char16_t(static_cast<unsigned char>(*p++)));
    return s;
}
} // namespace

std::u16string FormatLogLine(const SLogTime& t, int nLevel, std::u16string_view text)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "[%d-%02d-%02d %02d:%02d:%02d.%03d] ", t.nYear, t.nMonth, t.nDay,
                  t.nHour, t.nMinute, t.nSecond, t.nMilli);
    std::u16string line = Widen(stamp);
    line += LevelTag(nLevel); // ten characters, wider than the eight-wide field
    line += u' ';
    line += text;
    if (line.size() > kLogTextUnits) line.resize(kLogTextUnits);
    return line;
}

std::string LogBanner(const SLogTime& t)
{
    char banner[160];
    std::snprintf(
        banner, sizeof banner,
        "\r\n===================== LOG START [%d-%02d-%02d %02d.%02d.%02d.%03d] =====================\r\n",
        t.nYear, t.nMonth, t.nDay, t.nHour, t.nMinute, t.nSecond, t.nMilli);
    return banner;
}

std::u16string LogFileName(std::u16string_view program, const SLogTime& t)
{
    char date[32];
    std::snprintf(date, sizeof date, "_%04d%02d%02d.log", t.nYear, t.nMonth, t.nDay);
    return std::u16string(program) + Widen(date);
}

void EndLogLine(std::string& line)
{
    if (!line.empty() && line.back() == '\n') line.pop_back();
    line += "\r\n";
}

int64_t DaysFromCivil(int nYear, int nMonth, int nDay)
{
    int64_t y = nYear - (nMonth <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

bool IsExpiredLogFile(std::u16string_view fileName, const SLogTime& now)
{
    size_t nDot = fileName.rfind(u'.');
    std::u16string_view stem = nDot == std::u16string_view::npos ? fileName : fileName.substr(0, nDot);
    if (stem.size() < 8) return false;
    std::u16string_view date = stem.substr(stem.size() - 8);
    auto number = [&](size_t nFrom, size_t nCount)
    {
        int v = 0;
        for (size_t i = nFrom; i < nFrom + nCount; ++i)
            v = v * 10 + ((date[i] >= u'0' && date[i] <= u'9') ? date[i] - u'0' : 0);
        return v;
    };
    int nYear = number(0, 4), nMonth = number(4, 2), nDay = number(6, 2);
    if (now.nYear - nYear > 30 || nYear < 1900 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31)
        return false;
    // Whole days from that date's local midnight to now.
    return DaysFromCivil(now.nYear, now.nMonth, now.nDay) - DaysFromCivil(nYear, nMonth, nDay) >=
           kLogKeepDays;
}

std::u16string Utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();)
    {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
        {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        uint32_t cp = n == 1 ? c : c & (0x7F >> n);
        bool bOk = true;
        for (size_t k = 1; k < n; ++k)
        {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            bOk = bOk && (cc >> 6) == 2;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!bOk || cp > 0x10FFFF)
        {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000)
        {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        }
        else
            out.push_back(char16_t(cp));
        i += n;
    }
    return out;
}
