// The e-book index and the combo selection in it.
#include "lmboard2/view/EBookIndex.h"

#include <string>

namespace
{
std::u16string_view Trim(std::u16string_view s)
{
    auto space = [](char16_t c)
    { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xFEFF; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// The leading number of a text (after blanks), as the C library reads one; 0 without digits,
// capped so that it cannot overflow.
int Number(std::u16string_view s)
{
    s = Trim(s);
    bool bNegative = !s.empty() && s.front() == u'-';
    if (!s.empty() && (s.front() == u'-' || s.front() == u'+')) s.remove_prefix(1);
    long long n = 0;
    for (char16_t c : s)
    {
        if (c < u'0' || c > u'9') break;
        n = n * 10 + (c - u'0');
        if (n > 1000000) n = 1000000;
    }
    return static_cast<int>(bNegative ? -n : n);
}

std::u16string Numbered(const char16_t* pszWord, int n)
{
    std::string digits = std::to_string(n);
    return std::u16string(pszWord) + u" " + std::u16string(digits.begin(), digits.end());
}
} // namespace

void CEBookIndex::AddLine(std::u16string_view raw)
{
    std::u16string_view line = Trim(raw);
    if (line.empty() || line.front() == u';') return;
    if (line.front() == u'[' && line.back() == u']' && line.size() >= 2)
    {
        m_strOpen = std::u16string(line.substr(1, line.size() - 2));
        m_bOpen = true;
        m_strTitle.clear();
        return;
    }
    if (line.size() >= 6 && EqualNoCase(line.substr(0, 6), u"title="))
    {
        m_strTitle = std::u16string(line.substr(6));
        return;
    }
    if (!m_bOpen) return;
    const size_t nFirst = line.find(u'/');
    const size_t nLast = line.rfind(u'/');
    if (nFirst == std::u16string_view::npos || nLast == nFirst) return;
    std::u16string_view head = line.substr(0, nFirst);
    const size_t nColon = head.find(u':');
    const int nLevel = Number(head.substr(0, nColon));
    if (nLevel < 1) return;
    S_EBOOK_ENTRY entry;
    if (nColon != std::u16string_view::npos) entry.label = std::u16string(head.substr(nColon + 1));
    entry.file = std::u16string(line.substr(nFirst + 1, nLast - nFirst - 1));
    entry.nValue = Number(line.substr(nLast + 1));

    S_BOOK* pBook = nullptr;
    for (S_BOOK& b : m_books)
        if (b.name == m_strOpen) pBook = &b;
    if (!pBook)
    {
        m_books.push_back({m_strOpen, m_strTitle.empty() ? m_strOpen : m_strTitle, {}});
        pBook = &m_books.back();
    }
    if (static_cast<size_t>(nLevel) == pBook->levels.size() + 1)
        pBook->levels.emplace_back();
    else if (static_cast<size_t>(nLevel) > pBook->levels.size())
        return;
    pBook->levels[static_cast<size_t>(nLevel) - 1].push_back(std::move(entry));
}

const S_BOOK* CEBookSelection::CurrentBook() const
{
    for (const S_BOOK& b : m_books)
        if (b.name == m_strBook) return &b;
    return nullptr;
}

std::vector<EBookComboLine> CEBookSelection::SelectTitle(std::u16string_view title)
{
    std::u16string book(title);
    for (const S_BOOK& b : m_books)
        if (EqualNoCase(b.title, title))
        {
            book = b.name;
            break;
        }
    if (book == m_strBook) return {};
    m_strBook = book;
    m_strTitle = std::u16string(title);
    m_nLevel = m_nStep = m_nPage = 0;
    std::vector<EBookComboLine> lines;
    if (const S_BOOK* pBook = CurrentBook())
        for (size_t i = 0; i < pBook->levels.size(); ++i)
        {
            const auto& level = pBook->levels[i];
            bool bLabel = !level.empty() && !level.front().label.empty();
            lines.push_back({1, bLabel ? level.front().label : Numbered(u"level", static_cast<int>(i + 1))});
        }
    return lines;
}

std::vector<EBookComboLine> CEBookSelection::SelectLevel(int nIndex)
{
    const S_BOOK* pBook = CurrentBook();
    if (!pBook || nIndex < 0 || static_cast<size_t>(nIndex) >= pBook->levels.size()) return {};
    if (nIndex + 1 == m_nLevel) return {};
    m_nLevel = nIndex + 1;
    m_nStep = m_nPage = 0;
    std::vector<EBookComboLine> lines;
    const auto& level = pBook->levels[static_cast<size_t>(nIndex)];
    for (size_t i = 0; i < level.size(); ++i)
        lines.push_back(
            {2, level[i].label.empty() ? Numbered(u"step", static_cast<int>(i + 1)) : level[i].label});
    return lines;
}

std::vector<EBookComboLine> CEBookSelection::SelectStep(int nIndex)
{
    const S_BOOK* pBook = CurrentBook();
    if (!pBook || m_nLevel < 1) return {};
    const auto& level = pBook->levels[static_cast<size_t>(m_nLevel) - 1];
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= level.size() || nIndex + 1 == m_nStep) return {};
    m_nStep = nIndex + 1;
    m_nPage = 0;
    std::vector<EBookComboLine> lines;
    for (int p = 1; p <= level[static_cast<size_t>(nIndex)].nValue; ++p)
        lines.push_back({3, Numbered(u"page", p)});
    return lines;
}

std::optional<int> CEBookSelection::PageOfText(std::u16string_view text)
{
    // The word before the number is trimmed as a set of characters, so "page 7", "p 7" and a
    // half-typed "pa 7" all name page 7.
    const size_t nDigits = text.find_first_not_of(u"page ");
    text.remove_prefix(nDigits == std::u16string_view::npos ? text.size() : nDigits);
    int n = Number(text);
    if (n <= 0) return std::nullopt;
    return n;
}
