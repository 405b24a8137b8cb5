// What the loopback server knows before anyone connects: its users, its rooms,
// its port and the scenario of faults it plays for tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"

struct LoopUser
{
    std::u16string szId;
    std::u16string szPassword; // empty: any password is taken
    std::u16string szName;
    uint16_t wLevel = 1;
    uint16_t wGroupCode = 0;
};

struct LoopRoom
{
    uint16_t wRoomIndex = 0;
    std::u16string szConfCode;
    std::u16string szTitle;
    uint16_t wRoomType = 1;
    uint16_t wMaxUser = 49;
    // The layouts it offers and each one's user limit (the room option table of 301 and 321).
    std::vector<std::pair<uint16_t, uint16_t>> layouts = DefaultLayouts();
    // The room record's flags its members get (media share, questionnaire, ...).
    uint32_t dwFlags = 0;

    static std::vector<std::pair<uint16_t, uint16_t>> DefaultLayouts()
    {
        std::vector<std::pair<uint16_t, uint16_t>> v;
        for (uint16_t wLayout : {1, 2, 4, 6, 7, 10, 13, 14, 17, 23})
            v.push_back({wLayout, 49});
        return v;
    }
    // Its recording settings (the tail of 301 and 321); an automatic room's 431 carries mode value 4.
    QNRoomRecordSettings recordSettings{};
    bool bAutoRecord = false;
};

// Faults answered to keep-alives, one per keep-alive in list order; the
// keep-alives after the list get a plain answer.
enum class LoopFault : uint8_t
{
    BadFirstByte,  // 16 bytes not starting with the mask byte, then the answer
    ShortLength,   // a header whose total length is below 10, then the answer
    LongLength,    // a header whose total length is above 0x80000, then the answer
    BadPadding,    // a ciphered frame whose padding count exceeds its payload, then the answer
    PartialBlock,  // a ciphered frame of 17 payload bytes, then the answer
    Delay,         // the answer half a second late
    CloseMidFrame, // half of a frame, then the connection closes
    ForcedLogout,  // command 223, then the connection closes
    Close,         // the connection closes
};

// Presenters, messages to anyone, invitation, remote control, desktop and media share on;
// calls off; right mode 0; the desktop-sharing server at 127.0.0.1 without a port.
QNSystemOption DefaultSystemOption();

struct LoopConfig
{
    uint16_t wPort = 7700;
    std::vector<LoopUser> users;
    std::vector<LoopRoom> rooms;
    std::vector<LoopFault> scenario;
    // The next nRefuseLoginTimes logins are refused with this reason (NAK_LOBY_LOGIN's sub code).
    uint16_t wRefuseLoginReason = 0;
    int nRefuseLoginTimes = 0;
    // Texts sent as conference entries (261) after each login: "<room index>\n<conference code>".
    std::vector<std::u16string> confEntries;
    // Bytes queued for one member at most: past half of it relayed media is dropped for
    // that member, past all of it the member is cut off.
    size_t nOutboundLimit = 8u << 20;
    // Connections served at once; one more is closed as soon as it is accepted.
    size_t nMaxConnections = 1000;
    // A connection that has not sent its key this long after connecting is closed.
    unsigned nKeyTimeoutMs = 5000;
    // Calls out of rooms (800): numbers refused with a failure code, numbers that ring until hung
    // up, and how long any other number takes to answer.
    std::map<std::u16string, uint16_t> callFailures;
    std::set<std::u16string> ringingNumbers;
    unsigned nCallAnswerMs = 300;
    // Users whose one-to-one traffic (610 ... 660) is refused with sub 1204, logged in or not.
    std::set<std::u16string> unreachableUsers;
    // Phone books stored before anyone connects, by user ID.
    std::map<std::u16string, std::u16string> phoneBooks;
    // The system options (251) every login gets: all on but calls unless configured.
    QNSystemOption systemOption = DefaultSystemOption();
};

// Four users (alice, bob, carol, dave; any password) and two rooms.
LoopConfig DefaultLoopConfig();

// Reads a configuration text over the defaults; one entry a line, '#' starts a comment:
//   port 7700
//   user <id> <password or -> <name> [level] [group]
//   room <index> <code> <max users> <type> <title ...>
//   scenario <fault>[,<fault>...]   (names as in ParseFaults)
//   refuselogin <reason> <times>
//   confentry <room index> <conference code>
//   call <number> fail <code>      an 800 for that number is refused with 802 and the code
//   call <number> ring             it rings until the caller hangs up (810)
//   callanswer <ms>                any other number answers after that long (300)
//   phonebook <id> <file>          the user's stored phone book, read from the file
//   unreachable <id>               messages, files, invitations and replies to that user get 611 ... 661,
//                                  sub 1204
//   autorecord <room index> <interval> <length> [wmv] [playeronly]   the room records itself:
//                                  minutes between and of its recordings, in its record settings
//   option <byte offset 0, 4, 24, 36, 50 or 62> <value, decimal or 0x hex>   (a system option word)
// False with the line number in *pErrLine when a line makes no sense.
bool ParseLoopConfig(const std::string& text, LoopConfig& cfg, int* pErrLine);

// "badbyte,shortlen,longlen,padding,partial,delay,midframe,logout223,close".
bool ParseFaults(const std::string& text, std::vector<LoopFault>& out);

std::u16string Utf16FromAscii(const std::string& s);
std::string AsciiFromUtf16(const std::u16string& s);
