// The pushed file's percentage and remaining time.
#include "confclient/people/FileSendCal.h"

#include <algorithm>
#include <climits>

#include "confclient/session/texttable/TextTable.h"

void CFileSendCal::Start(uint32_t dwTotal, const std::u16string& szName)
{
    m_dwTotal = dwTotal ? dwTotal : kEmptyTotal;
    m_szName = szName;
    m_dwLastPost = 0;
    m_dwStart = m_owner.TickCount();
}

void CFileSendCal::Update(uint32_t dwDone)
{
    if (m_dwTotal == kNotStarted) return;
    m_dwDone = dwDone;
    m_dwRemaining = dwDone < m_dwTotal ? m_dwTotal - dwDone : 0;
    const int nPercent = static_cast<int>(uint64_t(std::min(dwDone, m_dwTotal)) * 100 / m_dwTotal);
    const uint32_t dwNow = m_owner.TickCount();
    if (dwDone == 0) return;
    if ((dwNow - m_dwLastPost) / 1000 < 1 && !m_bFirst && nPercent != 100) return;
    m_bFirst = false;

    // 64 bits: the remaining kilobytes times the seconds overflow 32 on large files.
    const uint64_t nElapsed = (dwNow - m_dwStart) / 1000;
    const uint64_t nDoneKb = std::max<uint64_t>(dwDone / 1000, 1);
    m_nRemainSeconds = uint64_t(m_dwRemaining / 1000) * nElapsed / nDoneKb;
    if (m_nRemainSeconds == 0 && m_dwRemaining > 0) return;

    uint64_t nHours = 0, nMinutes = 0;
    const uint64_t nSeconds = m_nRemainSeconds % 60;
    if (m_nRemainSeconds >= 60) nMinutes = m_nRemainSeconds / 60;
    if (nMinutes >= 60)
    {
        nHours = nMinutes / 60;
        nMinutes %= 60;
    }
    std::u16string szText;
    if (nHours >= 1)
        szText = Formatted(nullptr, m_formats.szHour, nHours, nMinutes, nSeconds);
    else if (nMinutes >= 1)
        szText = Formatted(nullptr, m_formats.szMinute, nMinutes, nSeconds);
    else
        szText = Formatted(nullptr, m_formats.szSecond, nSeconds);
    m_owner.PostPushProgress(nPercent, szText);
    m_dwLastPost = dwNow;
}

namespace
{
constexpr int kBarOffset = 500;
constexpr size_t kNameShown = 14;
constexpr size_t kNameKept = 12;
} // namespace

SFileProgressRange FileProgressRange(uint32_t dwTotal)
{
    SFileProgressRange r;
    uint64_t nTop = dwTotal;
    while ((nTop >> r.nShift) > uint64_t(INT_MAX - kBarOffset))
        ++r.nShift;
    r.nHigh = static_cast<int>(nTop >> r.nShift) + kBarOffset;
    return r;
}

int SFileProgressRange::Position(uint64_t nRunning) const
{
    return static_cast<int>(std::min<uint64_t>(nRunning >> nShift, uint64_t(nHigh - nLow))) + nLow;
}

std::u16string FileProgressName(const std::u16string& szName)
{
    if (szName.size() <= kNameShown) return szName;
    return szName.substr(0, kNameKept) + u"...";
}
