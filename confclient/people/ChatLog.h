// The room chat's log as text: line formats and filters, the 1000-line trim, and every
// position the chat remembers in it (presenter-request links, the push progress line, its
// cancel link, received-file links), kept in step with the trim.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Kinds of AddMessage lines.
enum ChatLineKind : int
{
    CHATLINE_NOTICE = 0,
    CHATLINE_ERROR = 1,
    CHATLINE_CHAT = 2,
    CHATLINE_COMMAND = 3,
    CHATLINE_FILE = 4,
    CHATLINE_RED = 5,
    CHATLINE_REQUEST = 6,
    CHATLINE_JOINLEAVE = 7,
};

constexpr uint32_t kChatNoticeColour = 0x009F6F00; // RGB(0,111,159) as a COLORREF
constexpr uint32_t kChatRedColour = 0x000000FF;    // RGB(255,0,0)
// No open push line. Not 65535: a log of 1000 long lines has positions above it.
constexpr uint32_t kChatNoPosition = 0xFFFFFFFF;
constexpr size_t kChatMaxLines = 1000;
constexpr size_t kChatTrimLines = 200;
constexpr size_t kChatPathSlots = 100;
constexpr size_t kChatPathUnits = 259;
constexpr size_t kMaxChatInput = 1000; // characters of one typed line

// The log holds a picture as this one character (the rich edit's object character).
constexpr char16_t kChatPictureChar = u'\xFFFC';

// A half-open character range [nStart, nEnd) of the log.
struct SChatRange
{
    uint32_t nStart = 0;
    uint32_t nEnd = 0;
    bool Empty() const { return nStart == nEnd; }
    bool Holds(uint32_t nPos) const { return nStart <= nPos && nPos < nEnd; }
    bool operator==(const SChatRange&) const = default;
};

// A picture of the push progress line.
struct SChatPicture
{
    enum Kind
    {
        PLACEHOLDER, // blank 1 x 17
        PROGRESS,    // 130 x 17: a bar filled to nPercent with szText centred
        STATUS,      // 204 x 15: szText left-aligned
    } kind = PLACEHOLDER;
    int nPercent = 0;
    std::u16string szText;
};

// The log window as the log sees it. Positions count characters, a line break being one.
class IChatLogView
{
public:
    virtual ~IChatLogView() = default;
    // Inserts text (line breaks as '\r') at nPos, in the colour.
    virtual void InsertText(uint32_t nPos, const std::u16string& szText, uint32_t dwColour) = 0;
    // Deletes the characters of the range.
    virtual void DeleteText(SChatRange range) = 0;
    // Makes the range a link, or plain text again.
    virtual void SetLink(SChatRange range, bool bLink) = 0;
    // Puts a picture in place of the character at nPos, or appends it when nPos is the end.
    virtual void SetPicture(uint32_t nPos, const SChatPicture& picture) = 0;
    // Scrolls to the last line.
    virtual void ScrollToEnd() = 0;
};

// What a click on the log's links means: only remembered ranges are links.
struct SChatLinkHit
{
    enum Kind
    {
        NONE,
        PERMIT,
        DENY,
        CANCEL,
        PATH,
    } kind = NONE;
    uint16_t wUser = 65535; // PERMIT, DENY: the requesting user index
    std::u16string szPath;  // PATH: the received file
};

class CChatLog
{
public:
    struct SClock
    {
        int nHour = 0, nMinute = 0, nSecond = 0;
    };
    struct SRequest
    {
        uint16_t wUser = 65535;
        SChatRange permit;
        SChatRange deny;
    };

    CChatLog(IChatLogView& view, std::function<SClock()> clock) : m_view(view), m_clock(std::move(clock)) {}

    // Whether notices show (the room's notice-log option) and whether joins and leaves do
    // (bit 22 of the room option word clear).
    void SetNoticeLog(bool bOn) { m_bNoticeLog = bOn; }
    void SetHideJoinLeave(bool bHide) { m_bHideJoinLeave = bHide; }
    void ToggleTimeStamps() { m_bTimeStamps = !m_bTimeStamps; }
    bool TimeStamps() const { return m_bTimeStamps; }

    // Writes one line of the kind; the name and colour matter for chat lines only. A local
    // command's output (kind 3) passes the notice filter. Answers the new line's range, or an
    // empty range at the end when the line was dropped.
    SChatRange AddMessage(int nKind, const std::u16string& szText, const std::u16string& szName,
                          uint32_t dwColour);

    // A presenter request: a kind-6 line whose last permit and deny words become links
    // remembered for the user. The words must follow any peer text in the line.
    void AddPresenterRequest(const std::u16string& szText, const std::u16string& szPermit,
                             const std::u16string& szDeny, uint16_t wUser);
    // Drops a user's pending request and its links; 65535: every request.
    void RemovePresenterRequest(uint16_t wUser);
    const std::vector<SRequest>& Requests() const { return m_requests; }

    // A received file: a kind-4 line whose last occurrence of the path becomes a link held in
    // the slot (slot modulo 100); the slot's older link is cleared first.
    void AddReceivedFile(const std::u16string& szText, const std::u16string& szPath, size_t nSlot);

    // The push progress line: started on the first call, updated in place, closed at 100.
    // bCancel: a cancel link follows the line (a push being received).
    void UpdatePushProgress(int nPercent, const std::u16string& szRemaining, const std::u16string& szEndText,
                            const std::u16string& szDoneText, const std::u16string& szCancelWord,
                            bool bCancel);
    // Closes the open push line as cancelled: the status picture stays with the text.
    void EndPushProgress(const std::u16string& szCancelledText);

    // What a click on a link starting at nStart means; NONE off every remembered range.
    SChatLinkHit LinkAt(uint32_t nStart) const;

    const std::u16string& Text() const { return m_text; }
    size_t LineCount() const;
    uint32_t ProgressPosition() const { return m_nProgress; }
    bool CancelShown() const { return !m_cancel.Empty(); }
    SChatRange CancelRange() const { return m_cancel; }
    SChatRange PathRange(size_t nSlot) const { return m_paths[nSlot % kChatPathSlots].range; }

private:
    struct SPath
    {
        std::u16string szPath;
        SChatRange range; // empty: no link
    };

    uint32_t End() const { return static_cast<uint32_t>(m_text.size()); }
    std::u16string Stamp() const;
    void Insert(uint32_t nPos, const std::u16string& szText, uint32_t dwColour);
    void Delete(SChatRange range);
    void SetPicture(uint32_t nPos, const SChatPicture& picture);
    void TrimAndScroll();
    // Moves every remembered position past a deletion; ranges inside it are dropped.
    void ShiftAfterDelete(SChatRange gone);
    void ShiftAfterInsert(uint32_t nPos, uint32_t nCount);
    // The last occurrence of the word inside the range; empty when there is none.
    SChatRange LastIn(SChatRange within, const std::u16string& szWord) const;
    void Unlink(SChatRange& range);

    IChatLogView& m_view;
    std::function<SClock()> m_clock;
    std::u16string m_text;
    bool m_bNoticeLog = true;
    bool m_bHideJoinLeave = false;
    bool m_bTimeStamps = false;
    bool m_bFirstLine = true;
    std::vector<SRequest> m_requests;
    std::array<SPath, kChatPathSlots> m_paths;
    uint32_t m_nProgress = kChatNoPosition;
    SChatRange m_cancel; // empty: no cancel link
};

// Line breaks as a log holds them: "\r\n" and a lone "\n" become "\r".
std::u16string ChatLineBreaks(const std::u16string& szText);
// Lines of a log text: its line breaks, and a last line without one.
size_t ChatLineCount(const std::u16string& szText);
// Characters of the oldest kChatTrimLines lines when the text holds more than kChatMaxLines
// lines; 0 when it needs no trim.
uint32_t ChatTrimLength(const std::u16string& szText);
// Moves a remembered range past the deleted range; one that lay in it is emptied (false).
bool ShiftChatRange(SChatRange& range, SChatRange gone);

// A peer's text as one line: every control character (and the Unicode line and paragraph
// separators) shows as a space.
std::u16string ChatOneLine(std::u16string szText);

// The first "%s" of a language text replaced by the argument, "%%" by "%", everything else
// as it stands; at most nMax characters.
std::u16string ChatFormat(const std::u16string& szFormat, const std::u16string& szArg, size_t nMax = 259);
