// Board name checks and page names.
#include "lmboard2/boardbase/BoardName.h"

#include <algorithm>

bool IsSafeBoardName(std::u16string_view name)
{
    if (name.empty() || name.size() >= kBoardNameUnits) return false;
    if (name == u"." || name.find(u"..") != std::u16string_view::npos) return false;
    for (size_t i = 0; i < name.size(); ++i)
    {
        char16_t c = name[i];
        if (c < 0x20 || c == 0x7F || c == u'/' || c == u'\\' || c == u':') return false;
        // Half a surrogate pair is no text: it has no file name on most systems.
        if ((c & 0xFC00) == 0xDC00) return false;
        if ((c & 0xFC00) == 0xD800)
        {
            if (i + 1 == name.size() || (name[i + 1] & 0xFC00) != 0xDC00) return false;
            ++i;
        }
    }
    return true;
}

std::optional<std::u16string> SafeNameFromField(const char16_t* pField)
{
    size_t n = 0;
    while (n < kBoardNameUnits && pField[n] != 0)
        ++n;
    if (n == kBoardNameUnits) return std::nullopt;
    std::u16string name(pField, n);
    if (!IsSafeBoardName(name)) return std::nullopt;
    return name;
}

std::optional<std::u16string> MakePageName(std::u16string_view agenda, int nNumber)
{
    if (nNumber < 0 || nNumber > kMaxPageNumber) return std::nullopt;
    size_t nAgenda = std::min(agenda.size(), kMaxAgendaPart);
    if (nAgenda < agenda.size() && nAgenda > 0 && (agenda[nAgenda - 1] & 0xFC00) == 0xD800)
        --nAgenda; // keep pairs whole
    std::u16string name(agenda.substr(0, nAgenda));
    name += u'_';
    name += static_cast<char16_t>(u'0' + nNumber / 100);
    name += static_cast<char16_t>(u'0' + nNumber / 10 % 10);
    name += static_cast<char16_t>(u'0' + nNumber % 10);
    return name;
}

int PageNumberOfName(std::u16string_view name)
{
    size_t us = name.rfind(u'_');
    if (us == std::u16string_view::npos || us + 1 == name.size()) return -1;
    int n = 0;
    for (size_t i = us + 1; i < name.size(); ++i)
    {
        char16_t c = name[i];
        if (c < u'0' || c > u'9' || n > 100000) return -1;
        n = n * 10 + (c - u'0');
    }
    return n;
}
