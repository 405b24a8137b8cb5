// The messenger history's lines, colours, links and trim.
#include "confclient/people/MessengerLog.h"

#include "confclient/session/texttable/TextTable.h"

namespace
{
int HexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

constexpr size_t kColourDigits = 6;
} // namespace

SMessengerText ParseMessengerText(const std::u16string& szWire)
{
    SMessengerText out;
    uint32_t rgb = 0;
    bool bColoured = szWire.size() >= kColourDigits;
    for (size_t i = 0; bColoured && i < kColourDigits; ++i)
    {
        int v = HexValue(szWire[i]);
        bColoured = v >= 0;
        rgb = rgb << 4 | static_cast<uint32_t>(v < 0 ? 0 : v);
    }
    if (!bColoured)
    {
        out.szText = szWire;
        return out;
    }
    // rrggbb on the wire, 0x00bbggrr in a COLORREF.
    out.dwColour = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    out.szText = szWire.substr(kColourDigits);
    return out;
}

std::u16string FormatMessengerText(uint32_t dwColour, const std::u16string& szText)
{
    static const char kDigits[] = "0123456789abcdef";
    std::u16string out;
    for (int nShift : {0, 8, 16})
    {
        unsigned v = dwColour >> nShift & 0xFF;
        out.push_back(static_cast<char16_t>(kDigits[v >> 4]));
        out.push_back(static_cast<char16_t>(kDigits[v & 0xF]));
    }
    return out + szText;
}

uint32_t CMessengerLog::Add(int nKind, const std::u16string& szText, const std::u16string& szName,
                            const std::u16string& szExtra, bool bUnlinkInvite)
{
    std::u16string szBody = szText;
    if (nKind != MSGKIND_TEXT && nKind != MSGKIND_COMMAND) szBody += u"\n";
    uint32_t dwColour = kMessengerGrey;
    switch (nKind)
    {
    case MSGKIND_UNREACHABLE:
        szBody = Formatted(nullptr, szBody, szName);
        break;
    case MSGKIND_TEXT:
    {
        SMessengerText text = ParseMessengerText(szBody);
        szBody = szName + u" > " + text.szText + u"\r\n";
        dwColour = text.dwColour;
        break;
    }
    case MSGKIND_INVITATION:
        szBody = Formatted(nullptr, szBody, szExtra);
        break;
    case MSGKIND_COMMAND:
        dwColour = kMessengerRed;
        break;
    default:
        break;
    }
    // The state a line ends takes the older links off before its own are made.
    switch (nKind)
    {
    case MSGKIND_FILE_OFFER:
    case MSGKIND_OFFER_TAKEN:
        Unlink(LINK_OFFER_YES);
        Unlink(LINK_OFFER_NO);
        break;
    case MSGKIND_FILE_CANCEL:
        Unlink(LINK_CANCEL);
        break;
    case MSGKIND_INVITATION:
        Unlink(LINK_INVITE_YES);
        Unlink(LINK_INVITE_NO);
        break;
    case MSGKIND_INVITE_ACCEPTED:
    case MSGKIND_INVITE_REFUSED:
        if (bUnlinkInvite)
        {
            Unlink(LINK_INVITE_YES);
            Unlink(LINK_INVITE_NO);
        }
        break;
    default:
        break;
    }

    szBody = ChatLineBreaks(szBody);
    const uint32_t nStart = static_cast<uint32_t>(m_text.size());
    m_view.InsertText(nStart, szBody, dwColour);
    m_text += szBody;
    const SChatRange line{nStart, static_cast<uint32_t>(m_text.size())};
    switch (nKind)
    {
    case MSGKIND_FILE_OFFER:
        LinkWord(LINK_OFFER_YES, line, m_words.szYes);
        LinkWord(LINK_OFFER_NO, line, m_words.szNo);
        break;
    case MSGKIND_OFFER_SENT:
    case MSGKIND_OFFER_TAKEN:
    case MSGKIND_TRANSFER:
        LinkWord(LINK_CANCEL, line, m_words.szCancel);
        break;
    case MSGKIND_INVITATION:
        LinkWord(LINK_INVITE_YES, line, m_words.szYes);
        LinkWord(LINK_INVITE_NO, line, m_words.szNo);
        break;
    default:
        break;
    }

    if (uint32_t nCut = ChatTrimLength(m_text)) Delete({0, nCut});
    m_view.ScrollToEnd();
    return dwColour;
}

void CMessengerLog::Delete(SChatRange gone)
{
    if (gone.Empty()) return;
    m_view.DeleteText(gone);
    m_text.erase(gone.nStart, gone.nEnd - gone.nStart);
    for (SChatRange& range : m_links)
        ShiftChatRange(range, gone);
}

void CMessengerLog::Truncate(uint32_t nFrom)
{
    if (nFrom < m_text.size()) Delete({nFrom, static_cast<uint32_t>(m_text.size())});
}

void CMessengerLog::LinkWord(Link link, SChatRange line, const std::u16string& szWord)
{
    // The word's last occurrence in the new line: a peer's text before it cannot take the link.
    if (szWord.empty()) return;
    std::u16string_view text(m_text.data() + line.nStart, line.nEnd - line.nStart);
    size_t nAt = text.rfind(szWord);
    if (nAt == std::u16string_view::npos) return;
    Unlink(link);
    const uint32_t nStart = line.nStart + static_cast<uint32_t>(nAt);
    m_links[link] = {nStart, nStart + static_cast<uint32_t>(szWord.size())};
    m_view.SetLink(m_links[link], true);
}

void CMessengerLog::Unlink(Link link)
{
    if (m_links[link].Empty()) return;
    m_view.SetLink(m_links[link], false);
    m_links[link] = {};
}

CMessengerLog::Link CMessengerLog::LinkAt(uint32_t nPos) const
{
    for (int i = LINK_OFFER_YES; i < LINK_COUNT; ++i)
        if (m_links[i].Holds(nPos)) return static_cast<Link>(i);
    return LINK_NONE;
}
