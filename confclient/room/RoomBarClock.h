// The control bar's time-driven state: the network-state indicator with its 20-second rule,
// the conference time and lecture countdown with its one automatic end, and the web-address
// history.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the indicator shows for a state (0 normal, 1 bad, 2 worst).
struct S_NETWORKDISPLAY
{
    int nState = 0;
    const char* pszKey = "";
    int nBitmap = 0;
    bool operator==(const S_NETWORKDISPLAY& o) const { return nState == o.nState; }
};
S_NETWORKDISPLAY NetworkDisplayOf(int nState);

// A state is shown at once unless one was shown within the last 20 seconds; then it is held and
// shown when the 20 seconds have passed, so the indicator never stays on an older state.
class CNetworkStateIndicator
{
public:
    static constexpr int64_t kQuietSeconds = 20;
    // A new state at time tNow (seconds); what to show now, if anything.
    std::optional<S_NETWORKDISPLAY> OnState(int nState, int64_t tNow);
    // The bar's timer: the held state once its time has come.
    std::optional<S_NETWORKDISPLAY> OnTick(int64_t tNow);
    int State() const { return m_nState; }
    bool Holding() const { return m_bHeld; }

private:
    std::optional<S_NETWORKDISPLAY> Show(int64_t tNow);
    int m_nState = 0;
    int m_nShownState = 0;
    bool m_bShownOnce = false;
    int64_t m_tShown = 0;
    bool m_bHeld = false;
};

// What the conference time depends on, read from the session at each update.
struct S_CLOCKROOM
{
    bool bRvEdition = false;
    int nLectureMinutes = 0;
    int nLectureState = 0; // 0 not started, 1 started, 100 ended
    bool bPlayback = false;
    bool bMayEndLecture = false; // the control right, or the lowest channel with no chief present
    std::u16string szTitle;
};

enum ClockTimer : uint8_t
{
    CLOCK_TIMER_KEEP,
    CLOCK_TIMER_SET,
    CLOCK_TIMER_KILL,
};

struct S_CLOCKUPDATE
{
    std::optional<std::u16string> szText; // the label's new text, when it changed
    bool bEndLecture = false;             // send 532 (100, lecture length)
    ClockTimer timer = CLOCK_TIMER_KEEP;
};

// The conference time label "title (HH:MM:SS)": the time since the start, or in a timed lecture
// the time left, which ends the lecture once when it reaches 0.
class CConferenceClock
{
public:
    // The elapsed seconds the room reported (bStart) or a tick computed; tNow in seconds.
    S_CLOCKUPDATE Update(bool bStart, int64_t nSeconds, int64_t tNow, const S_CLOCKROOM& room);
    // A 200-ms tick at time tNow.
    S_CLOCKUPDATE Tick(int64_t tNow, const S_CLOCKROOM& room);
    const std::u16string& Text() const { return m_szText; }

private:
    static bool Timed(const S_CLOCKROOM& room);
    int64_t m_nBase = 0;
    std::optional<int64_t> m_tStart;
    std::optional<int64_t> m_tLectureStart;
    std::u16string m_szText;
    bool m_bEndSent = false;
};

// "%H:%M:%S" of a number of seconds as a UTC time; a negative number shows as 0.
std::u16string ClockText(int64_t nSeconds);

// The web-address field's history: newest first, at most 30 addresses.
class CWebHistory
{
public:
    static constexpr size_t kMaxEntries = 30;
    // After a load: a new address goes to the top; the index to select.
    size_t Add(const std::u16string& szAddress);
    const std::vector<std::u16string>& Entries() const { return m_entries; }

private:
    std::vector<std::u16string> m_entries;
};

// The address the board loads for the field's text: "about:blank" when it is empty.
std::u16string WebAddressToLoad(const std::u16string& szField);
// Whether web draw may capture the field's address (not empty, not "about:blank" in any case).
bool CanDrawOnWebAddress(const std::u16string& szField);
