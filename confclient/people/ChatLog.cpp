// The room chat's log as text, and the positions remembered in it.
#include "confclient/people/ChatLog.h"

#include <algorithm>
#include <cstdio>

std::u16string ChatLineBreaks(const std::u16string& szText)
{
    std::u16string out;
    out.reserve(szText.size());
    for (size_t i = 0; i < szText.size(); ++i)
    {
        char16_t c = szText[i];
        if (c == u'\r' && i + 1 < szText.size() && szText[i + 1] == u'\n') ++i;
        out.push_back(c == u'\n' ? u'\r' : c);
    }
    return out;
}

namespace
{
std::u16string Ascii16(const char* psz)
{
    std::u16string out;
    for (; *psz; ++psz)
        out.push_back(static_cast<unsigned char>(*psz));
    return out;
}

uint32_t ColourOfKind(int nKind, uint32_t dwColour)
{
    switch (nKind)
    {
    case CHATLINE_NOTICE:
    case CHATLINE_FILE:
    case CHATLINE_JOINLEAVE:
        return kChatNoticeColour;
    case CHATLINE_ERROR:
    case CHATLINE_COMMAND:
    case CHATLINE_RED:
        return kChatRedColour;
    case CHATLINE_CHAT:
        return dwColour;
    default:
        return 0;
    }
}
} // namespace

std::u16string ChatOneLine(std::u16string szText)
{
    for (char16_t& c : szText)
        if (c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029) c = u' ';
    return szText;
}

std::u16string ChatFormat(const std::u16string& szFormat, const std::u16string& szArg, size_t nMax)
{
    std::u16string out;
    bool bArgUsed = false;
    for (size_t i = 0; i < szFormat.size() && out.size() < nMax; ++i)
    {
        if (szFormat[i] == u'%' && i + 1 < szFormat.size())
        {
            if (szFormat[i + 1] == u'%')
            {
                out.push_back(u'%');
                ++i;
                continue;
            }
            if (szFormat[i + 1] == u's' && !bArgUsed)
            {
                out += szArg;
                bArgUsed = true;
                ++i;
                continue;
            }
        }
        out.push_back(szFormat[i]);
    }
    if (out.size() > nMax) out.resize(nMax);
    return out;
}

std::u16string CChatLog::Stamp() const
{
    if (!m_bTimeStamps) return std::u16string();
    SClock t = m_clock ? m_clock() : SClock{};
    char sz[32];
    std::snprintf(sz, sizeof sz, " %02d:%02d:%02d ", t.nHour, t.nMinute, t.nSecond);
    return Ascii16(sz);
}

size_t ChatLineCount(const std::u16string& szText)
{
    size_t nLines = static_cast<size_t>(std::count(szText.begin(), szText.end(), u'\r'));
    if (!szText.empty() && szText.back() != u'\r') ++nLines;
    return nLines;
}

uint32_t ChatTrimLength(const std::u16string& szText)
{
    if (ChatLineCount(szText) <= kChatMaxLines) return 0;
    size_t nCut = 0;
    for (size_t nBreaks = 0; nBreaks < kChatTrimLines && nCut < szText.size(); ++nCut)
        if (szText[nCut] == u'\r') ++nBreaks;
    return static_cast<uint32_t>(nCut);
}

bool ShiftChatRange(SChatRange& r, SChatRange gone)
{
    const uint32_t nCount = gone.nEnd - gone.nStart;
    if (r.Empty() || r.nEnd <= gone.nStart) return true;
    if (r.nStart >= gone.nEnd)
    {
        r.nStart -= nCount;
        r.nEnd -= nCount;
        return true;
    }
    r = {};
    return false;
}

size_t CChatLog::LineCount() const
{
    return ChatLineCount(m_text);
}

SChatRange CChatLog::AddMessage(int nKind, const std::u16string& szText, const std::u16string& szName,
                                uint32_t dwColour)
{
    const SChatRange none{End(), End()};
    bool bNotice = nKind == CHATLINE_NOTICE || nKind == CHATLINE_ERROR || nKind == CHATLINE_JOINLEAVE;
    if (bNotice && !m_bNoticeLog) return none;
    if (nKind == CHATLINE_JOINLEAVE && m_bHideJoinLeave) return none;

    std::u16string szLine;
    switch (nKind)
    {
    case CHATLINE_CHAT:
        szLine = szName + u" " + Stamp() + u"> " + szText + u"\r\n";
        break;
    case CHATLINE_COMMAND:
        szLine = szText;
        break;
    case CHATLINE_RED:
        szLine = szText + u"\r\n";
        break;
    default:
        szLine = u"[" + szText + Stamp() + u"]\r\n";
        break;
    }
    szLine = ChatLineBreaks(szLine);
    if (m_bFirstLine)
    {
        size_t nLead = szLine.find_first_not_of(u'\r');
        szLine.erase(0, nLead == std::u16string::npos ? szLine.size() : nLead);
    }
    if (szLine.empty()) return none;
    m_bFirstLine = false;

    uint32_t nStart = End();
    Insert(nStart, szLine, ColourOfKind(nKind, dwColour));
    uint32_t nBefore = End();
    TrimAndScroll();
    uint32_t nGone = nBefore - End();
    return {nStart - nGone, End()};
}

void CChatLog::Insert(uint32_t nPos, const std::u16string& szText, uint32_t dwColour)
{
    m_view.InsertText(nPos, szText, dwColour);
    m_text.insert(nPos, szText);
    ShiftAfterInsert(nPos, static_cast<uint32_t>(szText.size()));
}

void CChatLog::Delete(SChatRange range)
{
    if (range.Empty()) return;
    m_view.DeleteText(range);
    m_text.erase(range.nStart, range.nEnd - range.nStart);
    ShiftAfterDelete(range);
}

void CChatLog::SetPicture(uint32_t nPos, const SChatPicture& picture)
{
    m_view.SetPicture(nPos, picture);
    if (nPos >= End())
        m_text.push_back(kChatPictureChar);
    else
        m_text[nPos] = kChatPictureChar;
}

void CChatLog::TrimAndScroll()
{
    if (uint32_t nCut = ChatTrimLength(m_text)) Delete({0, nCut});
    m_view.ScrollToEnd();
}

void CChatLog::ShiftAfterInsert(uint32_t nPos, uint32_t nCount)
{
    auto shift = [nPos, nCount](SChatRange& r)
    {
        if (!r.Empty() && r.nStart >= nPos)
        {
            r.nStart += nCount;
            r.nEnd += nCount;
        }
    };
    for (SRequest& req : m_requests)
    {
        shift(req.permit);
        shift(req.deny);
    }
    for (SPath& path : m_paths)
        shift(path.range);
    shift(m_cancel);
    if (m_nProgress != kChatNoPosition && m_nProgress >= nPos) m_nProgress += nCount;
}

void CChatLog::ShiftAfterDelete(SChatRange gone)
{
    const uint32_t nCount = gone.nEnd - gone.nStart;
    auto shift = [gone](SChatRange& r) { return ShiftChatRange(r, gone); };
    m_requests.erase(std::remove_if(m_requests.begin(), m_requests.end(),
                                    [&shift](SRequest& req)
                                    {
                                        bool bPermit = shift(req.permit);
                                        bool bDeny = shift(req.deny);
                                        return !bPermit || !bDeny;
                                    }),
                     m_requests.end());
    for (SPath& path : m_paths)
        shift(path.range);
    shift(m_cancel);
    // The open push line runs from its line break, five characters before the position.
    if (m_nProgress != kChatNoPosition)
    {
        if (m_nProgress - 5 >= gone.nEnd)
            m_nProgress -= nCount;
        else if (m_nProgress >= gone.nStart)
            m_nProgress = kChatNoPosition;
    }
}

SChatRange CChatLog::LastIn(SChatRange within, const std::u16string& szWord) const
{
    if (szWord.empty() || within.nEnd - within.nStart < szWord.size()) return {};
    std::u16string_view line(m_text.data() + within.nStart, within.nEnd - within.nStart);
    size_t nAt = line.rfind(szWord);
    if (nAt == std::u16string_view::npos) return {};
    uint32_t nStart = within.nStart + static_cast<uint32_t>(nAt);
    return {nStart, nStart + static_cast<uint32_t>(szWord.size())};
}

void CChatLog::Unlink(SChatRange& range)
{
    if (range.Empty()) return;
    m_view.SetLink(range, false);
    range = {};
}

void CChatLog::AddPresenterRequest(const std::u16string& szText, const std::u16string& szPermit,
                                   const std::u16string& szDeny, uint16_t wUser)
{
    SChatRange line = AddMessage(CHATLINE_REQUEST, szText, std::u16string(), 0);
    SRequest req;
    req.wUser = wUser;
    req.permit = LastIn(line, szPermit);
    req.deny = LastIn(line, szDeny);
    if (req.permit.Empty() || req.deny.Empty() ||
        (req.permit.nStart < req.deny.nEnd && req.deny.nStart < req.permit.nEnd))
        return; // a text without both words apart has nothing to click
    m_view.SetLink(req.permit, true);
    m_view.SetLink(req.deny, true);
    m_requests.push_back(req);
}

void CChatLog::RemovePresenterRequest(uint16_t wUser)
{
    for (auto it = m_requests.begin(); it != m_requests.end();)
    {
        if (wUser == 65535 || it->wUser == wUser)
        {
            Unlink(it->permit);
            Unlink(it->deny);
            it = m_requests.erase(it);
        }
        else
            ++it;
    }
}

void CChatLog::AddReceivedFile(const std::u16string& szText, const std::u16string& szPath, size_t nSlot)
{
    SPath& slot = m_paths[nSlot % kChatPathSlots];
    Unlink(slot.range);
    slot.szPath = szPath.substr(0, kChatPathUnits);
    SChatRange line = AddMessage(CHATLINE_FILE, szText, std::u16string(), 0);
    SChatRange link = LastIn(line, slot.szPath);
    if (link.Empty()) return;
    slot.range = link;
    m_view.SetLink(link, true);
}

void CChatLog::UpdatePushProgress(int nPercent, const std::u16string& szRemaining,
                                  const std::u16string& szEndText, const std::u16string& szDoneText,
                                  const std::u16string& szCancelWord, bool bCancel)
{
    nPercent = std::clamp(nPercent, 0, 100);
    bool bStarted = false;
    if (m_nProgress == kChatNoPosition)
    {
        // Line break, two spaces, the placeholder, then the progress and the status picture.
        uint32_t nStart = End();
        Insert(nStart, u"\r  ", 0);
        SetPicture(End(), {SChatPicture::PLACEHOLDER, 0, {}});
        m_nProgress = nStart + 5;
        bStarted = true;
    }
    char sz[16];
    std::snprintf(sz, sizeof sz, "%d %%", nPercent);
    SetPicture(m_nProgress - 1,
               {SChatPicture::PROGRESS, nPercent, nPercent == 100 ? szEndText : Ascii16(sz)});
    SetPicture(m_nProgress,
               {SChatPicture::STATUS, nPercent, u" " + (nPercent == 100 ? szDoneText : szRemaining)});
    if (!CancelShown() && bCancel && !szCancelWord.empty())
    {
        uint32_t nAt = m_nProgress + 1;
        Insert(nAt, u"  " + szCancelWord + u"\r", 0);
        m_cancel = {nAt + 2, nAt + 2 + static_cast<uint32_t>(szCancelWord.size())};
        m_view.SetLink(m_cancel, true);
    }
    if (nPercent == 100)
    {
        m_nProgress = kChatNoPosition;
        Unlink(m_cancel);
    }
    if (bStarted) TrimAndScroll();
}

void CChatLog::EndPushProgress(const std::u16string& szCancelledText)
{
    if (m_nProgress == kChatNoPosition) return;
    uint32_t nAt = m_nProgress;
    SetPicture(nAt, {SChatPicture::STATUS, 0, u" " + szCancelledText});
    Unlink(m_cancel);
    m_nProgress = kChatNoPosition;
    Delete({nAt - 5, nAt});
}

SChatLinkHit CChatLog::LinkAt(uint32_t nStart) const
{
    SChatLinkHit hit;
    for (const SRequest& req : m_requests)
    {
        if (req.permit.Holds(nStart))
            hit.kind = SChatLinkHit::PERMIT;
        else if (req.deny.Holds(nStart))
            hit.kind = SChatLinkHit::DENY;
        else
            continue;
        hit.wUser = req.wUser;
        return hit;
    }
    if (m_cancel.Holds(nStart))
    {
        hit.kind = SChatLinkHit::CANCEL;
        return hit;
    }
    for (const SPath& path : m_paths)
        if (path.range.Holds(nStart))
        {
            hit.kind = SChatLinkHit::PATH;
            hit.szPath = path.szPath;
            return hit;
        }
    return hit;
}
