// Calls out of the room to telephones and terminals, placed by the server, and the phone book the
// server keeps for the user: the dialer's number and call state, the rules of its keys, numbers,
// links and phone-book lines, and what the room hears of a call (801, 802).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "confclient/settings/PrivateDataFeature.h"
#include "core/LogSink.h"

// One row of the phone book.
enum : uint16_t
{
    PHONE_KIND_VOICE = 0,
    PHONE_KIND_VIDEO = 1,
    PHONE_KIND_TERMINAL = 2,
};
struct PhoneBookEntry
{
    uint16_t wKind = PHONE_KIND_VOICE;
    std::u16string szName;
    std::u16string szNumber;
    bool operator==(const PhoneBookEntry&) const = default;
};

// The stored phone book holds at most this many characters, its terminator included.
constexpr size_t kPhoneBookMaxChars = 4000;
// A key appends while the number is shorter than this; '.' and ':' while shorter than the second.
constexpr size_t kDialKeyLimit = 30;
constexpr size_t kDialSeparatorLimit = 18;
// The dialer's number keys: 0..9, then the star key and the hash key.
constexpr int kDialKeyFirst = 10056;
constexpr int kDialKeyStar = 10066;
constexpr int kDialKeyHash = 10067;

// The number in display form: telephone numbers get dashes by their length and prefix.
std::u16string FormatNumber(const std::u16string& szNumber);
// Every character a digit, '*' or '#' (a telephone number); anything else is a terminal address.
bool IsTelephoneNumber(const std::u16string& szNumber);
// The number without its dashes.
std::u16string WithoutDashes(const std::u16string& szNumber);
// The phone book as stored: one "name = kind;number\n" line per row while the text stays within
// kPhoneBookMaxChars (terminator included).
std::u16string PhoneBookText(const std::vector<PhoneBookEntry>& rows);
// The rows of a stored text; a line that does not parse is skipped and counted in *pSkipped.
std::vector<PhoneBookEntry> ParsePhoneBook(const std::u16string& szText, size_t* pSkipped);
// The first character of a number outside '0'-'9', '-', '*', '#', '.', ':', '@'; 0 when none.
char16_t BadNumberChar(const std::u16string& szNumber);
// The first character of a name that would break its stored line (line break, ';', '='); 0 when none.
char16_t BadNameChar(const std::u16string& szName);
// A navigation of the web tab: allowed inside the page, otherwise cancelled; a link beginning
// "http://phone_" (case ignored) gives the rest, without its '/', as the number.
struct LinkAction
{
    bool bCancel = false;
    std::optional<std::u16string> number;
};
LinkAction NavigationOf(const std::u16string& szUrl, const std::u16string& szPageUrl);

// Where the dialer opens: centred over the room window, or over the work area of the room window's
// monitor when bOnScreen (the centre option with several monitors, or no room window to centre
// on); moved inside that work area where it would stand out of it (a room window across two
// monitors or partly off screen).
struct DialerArea
{
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DialerArea&) const = default;
};
DialerArea DialerPlacement(int cx, int cy, const DialerArea& room, const DialerArea& workArea,
                           bool bOnScreen);

// What a key of the keyboard does in the dialer.
enum class DialInput
{
    None,      // not the dialer's: the window handles it as usual
    Key,       // the number key nKeyId (with bShift)
    Separator, // appends chChar ('.' or ':')
    Backspace,
    ClearNumber,
    Delete,
    Escape,
    Swallow, // consumed without effect (Ctrl+Break)
};
struct DialKeyAction
{
    DialInput input = DialInput::None;
    int nKeyId = 0;
    char16_t chChar = 0;
};
// Virtual-key codes of Windows as plain numbers: the rule is portable.
DialKeyAction DialKeyOf(unsigned nVirtualKey, bool bShift, bool bControl);

// The dialer window, while it is open.
class ICallView
{
public:
    virtual ~ICallView() = default;
    // The number in display form.
    virtual void ShowNumber(const std::u16string& szDisplay) = 0;
    // 0 idle (the two call buttons), 1 voice or 2 video call being placed (the hang-up button).
    virtual void ShowCallState(int nState) = 0;
    // The phone-book rows, replacing those shown.
    virtual void ShowPhoneBook(const std::vector<PhoneBookEntry>& rows) = 0;
};

// What the feature sends to the server through the session.
class ICallSender
{
public:
    virtual ~ICallSender() = default;
    virtual void SendPhoneCall(const QNPhoneCall& call) = 0;
    virtual void SendHangUp() = 0;
    virtual void SendBanish(uint16_t wUserIndex, uint16_t wChannel) = 0;
    virtual void SendPhoneBookQuery() = 0;
    virtual void SendPhoneBook(const std::u16string& szText) = 0;
};

// What adding a phone-book entry came to.
enum class PhoneEntryResult
{
    Added,
    Incomplete, // a field is empty: nothing happens
    BadNumber,  // the number has a character outside the allowed set (told)
    BadName,    // the name has a line break, ';' or '=' (told)
    BookFull,   // the stored text would pass its limit (told)
};

class CCallFeature : public IPrivateDataReader
{
public:
    CCallFeature(CRoomState& room, ICallSender& sender, IRoomNotices& notices, ILogSink* pLog)
        : m_room(room), m_sender(sender), m_notices(notices), m_pLog(pLog)
    {
    }

    // The dialer opened: it asks the server for the phone book and shows the stored one.
    void OpenDialer(ICallView& view);
    // The dialer closes: a phone book that differs from the stored text is stored (910).
    void CloseDialer();
    bool DialerOpen() const { return m_pView != nullptr; }

    // Number entry; each change shows the display form again. False when nothing changed.
    bool PressKey(int nKeyId, bool bShift);
    bool TypeSeparator(char16_t ch);
    bool Backspace();
    void ClearNumber();
    // A row's or a link's number becomes the dialer's number.
    void SetNumber(const std::u16string& szNumber);

    // Places a call of the number (800) unless one is under way or the number is empty.
    void Dial(bool bVoice);
    // Calls a given entry: a video kind ("1") as a video call, anything else by voice.
    void SetNumberAndDial(const std::u16string& szKind, const std::u16string& szNumber);
    // The hang-up button: hangs up the call being placed, or sends the called member out.
    void HangUpButton();
    // Hangs up the call being placed (810).
    void HangUp();
    // The server ended the call (801), or could not place it (802, its code in the extra value).
    void OnCallEnded(uint16_t wCommand, const QNPacketDesc& desc);
    void OnCallFailed(uint16_t wCommand, const QNPacketDesc& desc);
    // The room was left: a call being placed went with it (the server drops it).
    void OnRoomLeft() { EndCall(); }

    // The phone book: the entry form adds ("0", "1" or "2" as the kind), the list deletes.
    PhoneEntryResult AddPhoneEntry(const std::u16string& szKind, const std::u16string& szName,
                                   const std::u16string& szNumber);
    void DeletePhoneEntry(size_t nRow);
    const std::vector<PhoneBookEntry>& PhoneBook() const { return m_book; }
    // IPrivateDataReader: the stored text, loaded (901); it replaces the rows unless the user
    // changed them since the dialer opened.
    void ParsePrivateData(const std::u16string& szText) override;

    // The running number of call requests.
    uint32_t NextRequestId() { return ++m_dwRequestId; }

    const std::u16string& Number() const { return m_szNumber; }
    const std::u16string& DisplayNumber() const { return m_szDisplay; }
    bool IsCalling() const { return m_bCalling; }
    int CallState() const { return m_nCallState; }

private:
    void NumberChanged();
    void SetCallState(int nState);
    void EndCall();
    void ShowRows();

    CRoomState& m_room;
    ICallSender& m_sender;
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
    ICallView* m_pView = nullptr;

    std::u16string m_szNumber;
    std::u16string m_szDisplay;
    bool m_bCalling = false;
    int m_nCallState = 0;
    uint32_t m_dwRequestId = 0;
    std::vector<PhoneBookEntry> m_book;
    bool m_bBookChanged = false;
};
