// Calls to phones and terminals: the dialer's number rules and keys, the call request's bytes,
// hanging up, the phone book's lines and its round trip, and what 801 and 802 do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/CallFeature.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "confclient/settings/PrivateDataFeature.h"
#include "tests/core/TestLogs.h"
#include "tests/people/RecordedCallSender.h"
#include "tests/session/RecordedNotices.h"

namespace
{
struct RecordedCallView : ICallView
{
    std::u16string szDisplay;
    std::vector<int> states;
    std::vector<PhoneBookEntry> rows;

    void ShowNumber(const std::u16string& s) override { szDisplay = s; }
    void ShowCallState(int n) override { states.push_back(n); }
    void ShowPhoneBook(const std::vector<PhoneBookEntry>& r) override { rows = r; }
};

struct Dialer
{
    CRoomState room;
    RecordedCallSender sender;
    RecordedNotices notices;
    LogLines log;
    RecordedCallView view;
    CCallFeature call{room, sender, notices, &log};

    Dialer() { room.info.wRoomIndex = 1; }
    void Type(const std::u16string& digits)
    {
        for (char16_t c : digits)
            call.PressKey(kDialKeyFirst + (c - u'0'), false);
    }
};

std::u16string Repeat(char16_t c, size_t n)
{
    return std::u16string(n, c);
}
} // namespace

TEST(CallFeature, FormatNumberInsertsDashesByLengthAndPrefix)
{
    struct
    {
        std::u16string in, out;
    } cases[] = {
        {u"", u""},
        {u"0", u"0"},
        {u"12", u"12"},
        {u"123", u"123"},
        {u"1234", u"123-4"},
        {u"1234567", u"123-4567"},
        {u"12345678", u"1234-5678"},
        {u"123456789", u"123-456-789"},
        {u"1234567890", u"123-456-7890"},
        {u"12345678901", u"123-4567-8901"},
        {u"02", u"02"},
        {u"021", u"02-1"},
        {u"021234", u"02-1234"},
        {u"0212345", u"02-1234-5"},
        {u"021234567", u"02-123-4567"},
        {u"0212345678", u"02-1234-5678"},
        {u"*12#", u"*12-#"},
        {u"10.0.0.1", u"10.0.0.1"},
        {u"ab12345678", u"ab12345678"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, FormatNumber(c.in)) << std::string(c.in.begin(), c.in.end());
}

TEST(CallFeature, DialSendsTheRequestWithKindAndVoiceFlags)
{
    struct
    {
        const char* pszCase;
        std::u16string szNumber;
        bool bVoice;
        uint16_t wRoomType;
        uint32_t dwFlags; // 0: nothing sent
        std::vector<std::u16string> boxes;
    } cases[] = {
        {"telephone, voice", u"0212345678", true, 1, 0x11, {}},
        {"telephone, video", u"0212345678", false, 1, 0x01, {}},
        {"terminal, voice", u"10.0.0.1", true, 1, 0x13, {}},
        {"terminal, video", u"10.0.0.1", false, 1, 0x03, {}},
        {"star and hash are a telephone", u"*12#", true, 1, 0x11, {}},
        {"64 characters fill the field", Repeat(u'7', 64), true, 1, 0x11, {}},
        {"65 characters are refused, not cut", Repeat(u'7', 65), true, 1, 0, {u"<IDS_MSG_PHONE_NUMBERLONG>"}},
        {"document room, voice to a telephone", u"0212345678", true, 8, 0x11, {}},
        {"document room, video", u"0212345678", false, 8, 0, {u"<IDS_MSG_PHONE_NONINVITE>"}},
        {"document room, terminal", u"10.0.0.1", true, 8, 0, {u"<IDS_MSG_PHONE_NONINVITE>"}},
        {"empty number", u"", true, 1, 0, {}},
    };
    for (const auto& c : cases)
    {
        Dialer d;
        d.room.info.wRoomType = c.wRoomType;
        d.call.OpenDialer(d.view);
        d.call.SetNumber(c.szNumber);
        d.call.Dial(c.bVoice);
        EXPECT_EQ(c.boxes, d.notices.boxes) << c.pszCase;
        if (!c.dwFlags)
        {
            EXPECT_TRUE(d.sender.calls.empty()) << c.pszCase;
            EXPECT_FALSE(d.call.IsCalling()) << c.pszCase;
            continue;
        }
        ASSERT_EQ(1u, d.sender.calls.size()) << c.pszCase;
        Bytes b;
        EncodePhoneCall(d.sender.calls[0], b);
        ASSERT_EQ(kPhoneCallSize, b.size()) << c.pszCase;
        EXPECT_EQ(c.dwFlags, b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24) << c.pszCase;
        for (size_t i = 0; i < kCallNumberUnits; ++i)
        {
            const char16_t want = i < c.szNumber.size() ? c.szNumber[i] : 0;
            ASSERT_EQ(want, b[4 + 2 * i] | b[5 + 2 * i] << 8) << c.pszCase << " unit " << i;
        }
        EXPECT_TRUE(d.call.IsCalling()) << c.pszCase;
        EXPECT_EQ(std::vector<int>({0, c.bVoice ? 1 : 2}), d.view.states) << c.pszCase;
        // A second dial while the first is under way sends nothing.
        d.call.Dial(true);
        EXPECT_EQ(1u, d.sender.calls.size()) << c.pszCase;
    }
}

TEST(CallFeature, KeysRespectTheirLimitsAndShiftedMeanings)
{
    Dialer d;
    d.call.OpenDialer(d.view);
    d.Type(Repeat(u'1', 17));
    EXPECT_TRUE(d.call.TypeSeparator(u'.'));
    EXPECT_FALSE(d.call.TypeSeparator(u':')) << "'.' and ':' stop at 18 characters";
    d.Type(Repeat(u'2', 20));
    EXPECT_EQ(30u, d.call.Number().size()) << "keys stop at 30 characters";
    EXPECT_FALSE(d.call.PressKey(kDialKeyHash, false));

    Dialer k;
    k.call.OpenDialer(k.view);
    k.call.PressKey(kDialKeyFirst + 2, true); // Shift+2
    k.call.PressKey(kDialKeyStar, false);     // '.' while idle
    k.call.PressKey(kDialKeyHash, false);
    k.call.TypeSeparator(u':');
    EXPECT_EQ(u"@.#:", k.call.Number());
    EXPECT_EQ(u"@.#:", k.view.szDisplay);
    k.call.ClearNumber();
    k.Type(u"0212345678");
    EXPECT_EQ(u"02-1234-5678", k.view.szDisplay);
    k.call.Dial(true);
    k.call.PressKey(kDialKeyStar, false); // '*' during a call
    EXPECT_EQ(u"0212345678*", k.call.Number());
    EXPECT_TRUE(k.call.Backspace());
    EXPECT_EQ(u"0212345678", k.call.Number());

    struct
    {
        unsigned nVk;
        bool bShift, bControl;
        DialInput input;
        int nKeyId;
        char16_t ch;
    } keys[] = {
        {'0', false, false, DialInput::Key, kDialKeyFirst, 0},
        {'9', false, false, DialInput::Key, kDialKeyFirst + 9, 0},
        {0x60 + 5, false, false, DialInput::Key, kDialKeyFirst + 5, 0},
        {'2', true, false, DialInput::Key, kDialKeyFirst + 2, 0},
        {'3', true, false, DialInput::Key, kDialKeyHash, 0},
        {'8', true, false, DialInput::Key, kDialKeyStar, 0},
        {'1', true, false, DialInput::None, 0, 0},
        {0x6A, false, false, DialInput::Key, kDialKeyStar, 0},
        {0xBE, false, false, DialInput::Separator, 0, u'.'},
        {0x6E, false, false, DialInput::Separator, 0, u'.'},
        {0xBA, true, false, DialInput::Separator, 0, u':'},
        {0xBA, false, false, DialInput::None, 0, 0},
        {0x08, false, false, DialInput::Backspace, 0, 0},
        {0x08, true, false, DialInput::ClearNumber, 0, 0},
        {0x2E, false, false, DialInput::Delete, 0, 0},
        {0x1B, false, false, DialInput::Escape, 0, 0},
        {0x03, false, true, DialInput::Swallow, 0, 0},
        {'5', false, true, DialInput::None, 0, 0},
        {'A', false, false, DialInput::None, 0, 0},
    };
    for (const auto& k2 : keys)
    {
        DialKeyAction a = DialKeyOf(k2.nVk, k2.bShift, k2.bControl);
        EXPECT_EQ(k2.input, a.input) << k2.nVk << " shift " << k2.bShift;
        EXPECT_EQ(k2.nKeyId, a.nKeyId) << k2.nVk << " shift " << k2.bShift;
        EXPECT_EQ(k2.ch, a.chChar) << k2.nVk << " shift " << k2.bShift;
    }
}

TEST(CallFeature, HangUpEndsTheRequestOrSendsTheCalledMemberOut)
{
    // While calling: 810, and back to idle.
    Dialer d;
    d.call.OpenDialer(d.view);
    d.call.SetNumber(u"0212345678");
    d.call.Dial(true);
    d.call.HangUpButton();
    EXPECT_EQ(1, d.sender.nHangUps);
    EXPECT_TRUE(d.sender.banished.empty());
    EXPECT_FALSE(d.call.IsCalling());
    EXPECT_EQ(0, d.view.states.back());
    // A call being placed as the room is left goes with it: the next room can call again.
    d.call.Dial(true);
    d.call.OnRoomLeft();
    d.call.Dial(true);
    EXPECT_EQ(3u, d.sender.calls.size());

    // Idle: the member whose ID is the number, or its display form, is sent out.
    struct
    {
        const char* pszCase;
        std::u16string szMemberId;
        std::vector<std::pair<uint16_t, uint16_t>> banished;
    } cases[] = {
        {"ID as dialled", u"0212345678", {{7, 3}}},
        {"ID in display form", u"02-1234-5678", {{7, 3}}},
        {"no such member", u"0299999999", {}},
    };
    for (const auto& c : cases)
    {
        Dialer idle;
        S_ROOMUSERINFO phone;
        phone.channel = 3;
        phone.userIndex = 7;
        phone.level = 2;
        phone.ID = c.szMemberId;
        idle.room.users.AddUser(phone);
        idle.call.OpenDialer(idle.view);
        idle.call.SetNumber(u"0212345678");
        idle.call.HangUpButton();
        EXPECT_EQ(c.banished, idle.sender.banished) << c.pszCase;
        EXPECT_EQ(0, idle.sender.nHangUps) << c.pszCase;
    }
}

TEST(CallFeature, CallEndAndFailureReturnTheDialerToIdle)
{
    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        uint32_t dwExtra;
        std::vector<std::u16string> boxes;
        std::vector<std::string> log;
    } cases[] = {
        {"timeout", NAK_CALL, 3, {u"<IDS_DIFFER_INVITE_ERROR_TIMEOUT>"}, {"4 [CALL] failed (3)"}},
        {"busy", NAK_CALL, 101, {u"<IDS_DIFFER_INVITE_ERROR_SS486>"}, {"4 [CALL] failed (101)"}},
        {"not video", NAK_CALL, 108, {u"<IDS_DIFFER_INVITE_ERROR_NOTVIDEO>"}, {"4 [CALL] failed (108)"}},
        {"code without a text", NAK_CALL, 105, {}, {"4 [CALL] failed (105)"}},
        {"code 0", NAK_CALL, 0, {u"<IDS_DIFFER_INVITE_ERROR_UNKNOWN>"}, {"4 [CALL] failed (0)"}},
        {"call ended", INFO_CALL_END, 0, {}, {"2 [CALL] ended"}},
    };
    for (const auto& c : cases)
    {
        Dialer d;
        d.call.OpenDialer(d.view);
        d.call.SetNumber(u"0212345678");
        d.call.Dial(true);
        d.log.lines.clear();
        RoomHandlers handlers{.pCall = &d.call};
        QNPacketDesc desc;
        desc.dwExtra = c.dwExtra;
        DispatchRoomCommand(handlers, &d.log, c.wCommand, desc);
        EXPECT_EQ(c.boxes, d.notices.boxes) << c.pszCase;
        EXPECT_EQ(c.log, d.log.lines) << c.pszCase;
        EXPECT_FALSE(d.call.IsCalling()) << c.pszCase;
        EXPECT_EQ(std::vector<int>({0, 1, 0}), d.view.states) << c.pszCase;
    }
}

TEST(CallFeature, PhoneBookLinesRoundTripAndBadLinesAreSkipped)
{
    const std::vector<PhoneBookEntry> rows = {
        {0, u"Office", u"02-1234-5678"}, {1, u"Meeting room", u"0311112222"}, {2, u"Hall", u"10.0.0.1"}};
    const std::u16string text = u"Office = 0;02-1234-5678\nMeeting room = 1;0311112222\nHall = 2;10.0.0.1\n";
    EXPECT_EQ(text, PhoneBookText(rows));
    size_t nSkipped = 9;
    EXPECT_EQ(rows, ParsePhoneBook(text, &nSkipped));
    EXPECT_EQ(0u, nSkipped);

    struct
    {
        std::u16string szLine;
        bool bParses;
    } lines[] = {
        {u"A = 0;1", true},    {u"A = 3;1", false},  {u"A = 0;", false},      {u" = 0;1", false},
        {u"A=0;1", false},     {u"A = 01;1", false}, {u"A = x;1", false},     {u"no separator", false},
        {u"A;B = 0;1", false}, {u"A = 0;1;2", true}, {u"A = 2;h@x:80", true}, {u"A\r = 0;1", false},
    };
    for (const auto& l : lines)
    {
        std::vector<PhoneBookEntry> got = ParsePhoneBook(l.szLine + u"\n", &nSkipped);
        EXPECT_EQ(l.bParses ? 1u : 0u, got.size()) << std::string(l.szLine.begin(), l.szLine.end());
        EXPECT_EQ(l.bParses ? 0u : 1u, nSkipped) << std::string(l.szLine.begin(), l.szLine.end());
    }
}

TEST(CallFeature, EntriesAreCheckedBeforeTheyJoinTheBook)
{
    struct
    {
        const char* pszCase;
        std::u16string szKind, szName, szNumber;
        PhoneEntryResult result;
        std::vector<std::u16string> boxes;
    } cases[] = {
        {"digits, dashes and hash", u"0", u"Office", u"02-123#", PhoneEntryResult::Added, {}},
        {"terminal address", u"2", u"Hall", u"1234@10.0.0.1:80", PhoneEntryResult::Added, {}},
        {"letter in the number",
         u"0",
         u"Office",
         u"12a3",
         PhoneEntryResult::BadNumber,
         {u"[a] <IDS_CONF_NONCHARACTER>"}},
        {"bad number told even without a name",
         u"0",
         u"",
         u"1 2",
         PhoneEntryResult::BadNumber,
         {u"[ ] <IDS_CONF_NONCHARACTER>"}},
        {"empty name", u"0", u"", u"123", PhoneEntryResult::Incomplete, {}},
        {"empty number", u"0", u"Office", u"", PhoneEntryResult::Incomplete, {}},
        {"unknown kind", u"", u"Office", u"123", PhoneEntryResult::Incomplete, {}},
        {"';' in the name",
         u"0",
         u"A;B",
         u"123",
         PhoneEntryResult::BadName,
         {u"[;] <IDS_CONF_NONCHARACTER>"}},
        {"'=' in the name",
         u"0",
         u"A=B",
         u"123",
         PhoneEntryResult::BadName,
         {u"[=] <IDS_CONF_NONCHARACTER>"}},
        {"line break in the name",
         u"0",
         u"A\nB",
         u"123",
         PhoneEntryResult::BadName,
         {u"[\n] <IDS_CONF_NONCHARACTER>"}},
    };
    for (const auto& c : cases)
    {
        Dialer d;
        d.call.OpenDialer(d.view);
        EXPECT_EQ(c.result, d.call.AddPhoneEntry(c.szKind, c.szName, c.szNumber)) << c.pszCase;
        EXPECT_EQ(c.boxes, d.notices.boxes) << c.pszCase;
        EXPECT_EQ(c.result == PhoneEntryResult::Added ? 1u : 0u, d.view.rows.size()) << c.pszCase;
    }

    // The text holds 4000 characters with its terminator: the entry that reaches exactly that is
    // taken, the next one is refused and the book stays as it was.
    Dialer d;
    d.call.OpenDialer(d.view);
    const std::u16string number = Repeat(u'1', 60);
    // Each line: name (29) + " = 0;" + 60 + "\n" = 95 characters; 42 lines = 3990.
    for (int i = 0; i < 42; ++i)
        ASSERT_EQ(PhoneEntryResult::Added, d.call.AddPhoneEntry(u"0", Repeat(u'n', 29), number)) << i;
    // 3990 + "x = 0;22\n" + terminator = 4000.
    EXPECT_EQ(PhoneEntryResult::Added, d.call.AddPhoneEntry(u"0", u"x", u"22"));
    EXPECT_EQ(3999u, PhoneBookText(d.call.PhoneBook()).size());
    EXPECT_EQ(PhoneEntryResult::BookFull, d.call.AddPhoneEntry(u"0", u"y", u"3"));
    EXPECT_EQ(std::vector<std::u16string>({u"<IDS_MSG_PHONE_BOOKFULL>"}), d.notices.boxes);
    EXPECT_EQ(43u, d.call.PhoneBook().size());
    d.call.CloseDialer();
    ASSERT_EQ(1u, d.sender.stored.size());
    EXPECT_EQ(PhoneBookText(d.call.PhoneBook()), d.sender.stored[0]);
}

TEST(CallFeature, DialerLoadsTheBookAndStoresItOnlyWhenChanged)
{
    struct
    {
        const char* pszCase;
        std::u16string szStored;
        int nDelete; // row deleted before closing, -1 none
        bool bAdd;
        std::vector<std::u16string> stored;
    } cases[] = {
        {"unchanged", u"A = 0;1\nB = 1;2\n", -1, false, {}},
        {"a row deleted", u"A = 0;1\nB = 1;2\n", 0, false, {u"B = 1;2\n"}},
        {"a row added", u"A = 0;1\n", -1, true, {u"A = 0;1\nC = 2;3\n"}},
        {"emptied", u"A = 0;1\n", 0, false, {u""}},
        {"empty and unchanged", u"", -1, false, {}},
        {"bad stored line dropped", u"A = 0;1\nbroken\n", -1, false, {u"A = 0;1\n"}},
    };
    for (const auto& c : cases)
    {
        Dialer d;
        d.room.szPrivateData = c.szStored;
        d.call.OpenDialer(d.view);
        EXPECT_EQ(1, d.sender.nQueries) << c.pszCase;
        if (c.nDelete >= 0) d.call.DeletePhoneEntry(static_cast<size_t>(c.nDelete));
        if (c.bAdd) d.call.AddPhoneEntry(u"2", u"C", u"3");
        d.call.CloseDialer();
        EXPECT_EQ(c.stored, d.sender.stored) << c.pszCase;
        EXPECT_FALSE(d.call.DialerOpen()) << c.pszCase;
    }

    // The server's answer (901) replaces the rows shown, never doubling them, unless the user
    // changed them meanwhile; the text is kept either way.
    Dialer d;
    CPrivateDataFeature privateData{d.room, d.notices, &d.log, &d.call};
    RoomHandlers handlers{.pPrivateData = &privateData};
    auto load = [&](const std::u16string& text)
    {
        Bytes b;
        EncodePrivateData({kPrivateDataPhoneBook, text}, b);
        QNPacketDesc desc;
        desc.pData = b.data();
        desc.nLength = static_cast<uint32_t>(b.size());
        DispatchRoomCommand(handlers, &d.log, ACK_PRIVATE_LOADDATA, desc);
    };
    d.room.szPrivateData = u"A = 0;1\n";
    d.call.OpenDialer(d.view);
    load(u"A = 0;1\nB = 1;2\n");
    EXPECT_EQ(2u, d.view.rows.size());
    load(u"A = 0;1\nB = 1;2\n");
    EXPECT_EQ(2u, d.view.rows.size());
    d.call.DeletePhoneEntry(1);
    load(u"Z = 0;9\n");
    EXPECT_EQ(std::vector<PhoneBookEntry>({{0, u"A", u"1"}}), d.view.rows);
    EXPECT_EQ(u"Z = 0;9\n", d.room.szPrivateData);
    d.call.CloseDialer();
    EXPECT_EQ(std::vector<std::u16string>({u"A = 0;1\n"}), d.sender.stored);
}

TEST(CallFeature, WebLinksGiveNumbersOnlyByTheirPrefix)
{
    const std::u16string page = u"http://server/invite/invite_phone.asp";
    struct
    {
        std::u16string szUrl;
        bool bCancel;
        std::u16string szNumber; // empty: none
    } cases[] = {
        {u"http://server/invite/invite_phone.asp", false, u""},
        {u"HTTP://SERVER/invite/invite_phone.asp?page=2", false, u""},
        {u"http://phone_0212345678", true, u"0212345678"},
        {u"HTTP://PHONE_0212345678/", true, u"0212345678"},
        {u"http://phone_host.example", true, u"host.example"},
        {u"http://phone_", true, u""},
        {u"http://elsewhere.example/page", true, u""},
        {u"https://phone_123", true, u""},
    };
    for (const auto& c : cases)
    {
        LinkAction a = NavigationOf(c.szUrl, page);
        EXPECT_EQ(c.bCancel, a.bCancel) << std::string(c.szUrl.begin(), c.szUrl.end());
        EXPECT_EQ(c.szNumber, a.number.value_or(u"")) << std::string(c.szUrl.begin(), c.szUrl.end());
    }
}

TEST(CallFeature, DialerOpensOverTheRoomOrItsMonitorAndStaysInTheWorkArea)
{
    // The second monitor stands right of the first; its work area leaves a task bar at the bottom.
    const DialerArea kFirst{0, 0, 1280, 984}, kSecond{1280, 0, 2560, 984};
    struct
    {
        const char* pszCase;
        DialerArea room, work;
        bool bOnScreen;
        DialerArea want;
    } cases[] = {
        {"over the room", {100, 100, 900, 700}, kFirst, false, {350, 200, 650, 600}},
        {"on the room's monitor", {100, 100, 900, 700}, kFirst, true, {490, 292, 790, 692}},
        {"second monitor", {1380, 100, 2180, 700}, kSecond, true, {1770, 292, 2070, 692}},
        {"room across the seam", {900, 100, 1700, 700}, kFirst, false, {980, 200, 1280, 600}},
        {"room partly above", {100, -500, 900, 100}, kFirst, false, {350, 0, 650, 400}},
        {"room left of the screen", {-900, 100, -100, 700}, kFirst, false, {0, 200, 300, 600}},
        {"work area smaller", {0, 0, 200, 200}, {0, 0, 200, 300}, true, {0, 0, 300, 400}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.want, DialerPlacement(300, 400, c.room, c.work, c.bOnScreen)) << c.pszCase;
}
