// CTransferProgress: the state of a board upload or download as its progress strip shows it:
// the file position, the bar's percentage, and the remaining time and bandwidth, refreshed at
// most every half second. Time comes in as milliseconds from the caller's clock.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The strip's texts by key, looked up once.
struct TransferTexts
{
    std::u16string title;     // IDS_BOARD_STATE_FILEUP or IDS_BOARD_STATE_FILEDOWN
    std::u16string remain;    // IDS_BOARD_STATE_REMAIN
    std::u16string hour;      // IDS_BOARD_STRING_HOUR
    std::u16string minute;    // IDS_BOARD_STRING_MIN
    std::u16string second;    // IDS_BOARD_STRING_SEC
    std::u16string bandwidth; // IDS_BOARD_STATE_BANDWIDTH
};

class CTransferProgress
{
public:
    CTransferProgress(bool bDownload, TransferTexts texts) : m_bDownload(bDownload), m_texts(std::move(texts))
    {
    }

    bool IsDownload() const { return m_bDownload; }
    // SetTotalSize: the transfer's bytes; the counters and the clock start again.
    void Begin(uint32_t nTotal, uint32_t nNowMs);
    // SetFileCount: "<title> (i/n)".
    std::u16string FileText(uint32_t nCurrent, uint32_t nTotal) const;
    // Bytes moved: the bar's percentage, and the time and bandwidth text when it is due.
    struct Step
    {
        int nPercent = 0;
        std::optional<std::u16string> text;
    };
    std::optional<Step> OnBytes(uint32_t nBytes, uint32_t nNowMs);
    // Bytes still to come (the error handling keeps a strip that has some).
    uint64_t Remaining() const { return m_nDone < m_nTotal ? m_nTotal - m_nDone : 0; }

private:
    bool m_bDownload;
    TransferTexts m_texts;
    uint64_t m_nTotal = 0;
    uint64_t m_nDone = 0;
    uint64_t m_nWire = 0;
    uint32_t m_nStart = 0;
    uint32_t m_nLastText = 0;
};
