// Start-up decisions.
#include "confclient/session/startup/StartupRules.h"

#include "confclient/session/startup/LaunchString.h"

namespace
{
bool EndsWith(std::u16string_view s, std::u16string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
} // namespace

uint32_t HandOffCode(std::u16string_view cmdLine)
{
    if (EqualsNoCase(cmdLine, u"qnplayer") || EqualsNoCase(cmdLine, u"rvplayer") ||
        cmdLine.find_first_of(u"/\\") != std::u16string_view::npos)
        return COPYDATA_PLAY;
    if (EqualsNoCase(cmdLine, u"AVSetting")) return COPYDATA_AVSETTING;
    return COPYDATA_SECONDSTART;
}

uint16_t LangIdFromAcceptLanguage(std::u16string_view acceptLanguage, uint16_t nUserDefault)
{
    if (acceptLanguage.empty()) return nUserDefault;
    std::u16string_view two = acceptLanguage.substr(0, 2);
    if (two == u"ko") return LANGID_KOREAN;
    if (two == u"ja") return LANGID_JAPANESE;
    if (two == u"de") return LANGID_GERMAN;
    return LANGID_ENGLISH;
}

bool IsPlainDllName(std::u16string_view name)
{
    if (name.size() <= 4 || name.find_first_of(u"/\\:") != std::u16string_view::npos) return false;
    return EqualsNoCase(name.substr(name.size() - 4), u".dll");
}

std::optional<std::u16string>
ChooseResourceDll(std::u16string_view szFieldDll, std::u16string_view szKind, std::u16string_view cmdLine,
                  uint16_t nLangId, const std::function<bool(const std::u16string&)>& fileExists,
                  const std::function<std::optional<std::u16string>(std::u16string_view)>& firstWithPrefix)
{
    std::u16string kind(szKind);
    if (EqualsNoCase(cmdLine, u"rvplayer"))
        kind = u"1";
    else if (EqualsNoCase(cmdLine, u"qnplayer"))
        kind = u"0";
    if (kind.empty()) kind = u"0";
    const bool bFirstEdition = kind == u"0";

    std::u16string dll = IsPlainDllName(szFieldDll) ? std::u16string(szFieldDll) : std::u16string();
    if (dll.find(u"RoriVuz_") == std::u16string::npos)
    {
        switch (nLangId)
        {
        case LANGID_GERMAN:
            dll = u"RoriVuz_Ger.dll";
            break; // German has no second edition
        case LANGID_JAPANESE:
            dll = bFirstEdition ? u"RoriVuz_Jpn.dll" : u"RoriVuzRV_Jpn.dll";
            break;
        case LANGID_KOREAN:
            dll = bFirstEdition ? u"RoriVuz_Kor.dll" : u"RoriVuzRV_Kor.dll";
            break;
        default:
            dll = bFirstEdition ? u"RoriVuz_Eng.dll" : u"RoriVuzRV_Eng.dll";
            break;
        }
    }
    if (fileExists(dll)) return dll;
    dll = bFirstEdition ? u"RoriVuz_Eng.dll" : u"RoriVuzRV_Eng.dll";
    if (fileExists(dll)) return dll;
    return firstWithPrefix(u"RoriVuz");
}

std::u16string GetFileStem(std::u16string_view path)
{
    size_t slash = path.find_last_of(u"/\\");
    std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(u'.');
    if (dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::u16string(name);
}

std::u16string ProgramName(std::u16string_view exeStem)
{
    if (EndsWith(exeStem, u"_D") || EndsWith(exeStem, u"_d")) exeStem.remove_suffix(2);
    return std::u16string(exeStem);
}

bool PathEqualsNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
    {
        char16_t x = a[i] == u'/' ? u'\\' : a[i], y = b[i] == u'/' ? u'\\' : b[i];
        if (!EqualsNoCase(std::u16string_view(&x, 1), std::u16string_view(&y, 1))) return false;
    }
    return true;
}
