// CFileSendCal: the progress of a file pushed to the room as the control bar shows it: the
// percentage and the remaining time, posted at most once a second (the first and the last always).
// Also the messenger's transfer panel's bar range and name.
#pragma once
#include <cstdint>
#include <string>

// The clock and the control bar as the calculator sees them.
class IFileSendCalOwner
{
public:
    virtual ~IFileSendCalOwner() = default;
    // Milliseconds of a steady clock (GetTickCount); wraps.
    virtual uint32_t TickCount() const = 0;
    // Hands the percentage and the remaining-time text to the control bar, when there is one.
    virtual void PostPushProgress(int nPercent, const std::u16string& szText) = 0;
};

// The remaining-time texts: IDS_MSG_PUSHSENDING_REMAINHOUR (hours, minutes, seconds),
// IDS_MSG_PUSHSENDING_REMAINMIN (minutes, seconds), IDS_MSG_PUSHSENDING_REMAINSEC (seconds), each
// number a "%d".
struct SRemainFormats
{
    std::u16string szHour, szMinute, szSecond;
};

class CFileSendCal
{
public:
    static constexpr uint32_t kNotStarted = 0xFFFFFFFF;
    // What a transfer of no bytes is measured against.
    static constexpr uint32_t kEmptyTotal = 1372;

    CFileSendCal(IFileSendCalOwner& owner, SRemainFormats formats)
        : m_owner(owner), m_formats(std::move(formats))
    {
    }
    virtual ~CFileSendCal() = default;

    void Start(uint32_t dwTotal, const std::u16string& szName);
    // Bytes done so far.
    void Update(uint32_t dwDone);

    uint32_t Total() const { return m_dwTotal; }
    const std::u16string& Name() const { return m_szName; }
    uint64_t RemainingSeconds() const { return m_nRemainSeconds; }

private:
    IFileSendCalOwner& m_owner;
    SRemainFormats m_formats;
    bool m_bFirst = true;
    uint32_t m_dwTotal = kNotStarted;
    uint32_t m_dwRemaining = 0;
    uint32_t m_dwDone = 0;
    std::u16string m_szName;
    uint64_t m_nRemainSeconds = 0;
    uint32_t m_dwStart = 0;
    uint32_t m_dwLastPost = 0;
};

// The messenger's transfer panel: its bar runs from 500 to the total + 500. A total too large for
// an int with that offset is scaled down by a shift, so that the range stays positive.
struct SFileProgressRange
{
    int nLow = 500;
    int nHigh = 600;
    unsigned nShift = 0;
    // The bar position of the bytes moved so far.
    int Position(uint64_t nRunning) const;
};
SFileProgressRange FileProgressRange(uint32_t dwTotal);
// The panel's name: one of more than 14 characters as its first 12 and "...".
std::u16string FileProgressName(const std::u16string& szName);
