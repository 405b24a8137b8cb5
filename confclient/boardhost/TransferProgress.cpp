// The board transfer's percentage, remaining time and bandwidth.
#include "confclient/boardhost/TransferProgress.h"

#include <cstdio>

namespace
{
// Each frame costs its header on the wire besides the bytes counted.
constexpr uint64_t kFrameOverhead = 48;
constexpr uint32_t kTextEveryMs = 500;

std::u16string Num(uint64_t n)
{
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}
} // namespace

void CTransferProgress::Begin(uint32_t nTotal, uint32_t nNowMs)
{
    m_nTotal = nTotal;
    m_nDone = 0;
    m_nWire = 0;
    m_nStart = m_nLastText = nNowMs;
}

std::u16string CTransferProgress::FileText(uint32_t nCurrent, uint32_t nTotal) const
{
    return m_texts.title + u" (" + Num(nCurrent) + u"/" + Num(nTotal) + u")";
}

std::optional<CTransferProgress::Step> CTransferProgress::OnBytes(uint32_t nBytes, uint32_t nNowMs)
{
    m_nDone += nBytes;
    m_nWire += nBytes + kFrameOverhead;
    if (m_nDone == 0 || m_nTotal == 0 || m_nDone > m_nTotal) return std::nullopt;
    Step step;
    step.nPercent = static_cast<int>(m_nDone * 100 / m_nTotal);
    // The texts wait for half a second, and for some time to measure the rate against.
    const uint32_t nElapsedMs = nNowMs - m_nStart;
    if (nNowMs - m_nLastText < kTextEveryMs || nElapsedMs == 0) return step;
    const double dElapsed = nElapsedMs / 1000.0;
    const auto nRemaining =
        static_cast<uint64_t>(dElapsed * double(m_nTotal - m_nDone) / double(m_nDone) + 0.5);
    const uint64_t h = nRemaining / 3600, m = nRemaining % 3600 / 60, s = nRemaining % 60;
    std::u16string text = m_texts.remain;
    if (h > 0) text += u" " + Num(h) + m_texts.hour;
    if (h > 0 || m > 0) text += u" " + Num(m) + m_texts.minute;
    text += u" " + Num(s) + m_texts.second;
    const double dKbps = double(m_nWire) / dElapsed * 8 / 1024;
    char szRate[32];
    if (dKbps < 1024)
        snprintf(szRate, sizeof szRate, "%4.1f Kbps", dKbps);
    else
        snprintf(szRate, sizeof szRate, "%4.1f Mbps", dKbps / 1024);
    std::string rate(szRate);
    text += u" / " + m_texts.bandwidth + u" " + std::u16string(rate.begin(), rate.end());
    step.text = std::move(text);
    m_nLastText = nNowMs;
    return step;
}
