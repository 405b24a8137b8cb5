// The chat log: line formats and filters, the trim and the positions that move with it,
// links on remembered ranges only, the push line, the slash commands.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "confclient/people/ChatCommands.h"
#include "confclient/people/ChatInput.h"
#include "confclient/people/ChatLog.h"
#include "tests/people/FakeChatLogView.h"

namespace
{
CChatLog::SClock TenPast()
{
    return {9, 10, 5};
}

std::u16string Sub(const std::u16string& s, SChatRange r)
{
    return s.substr(r.nStart, r.nEnd - r.nStart);
}

const std::u16string kPermit = u"Permit";
const std::u16string kDeny = u"Deny";

std::u16string RequestText(const std::u16string& szName)
{
    return szName + u" asks to present. " + kPermit + u" / " + kDeny;
}
} // namespace

TEST(ChatLog, LineFormats)
{
    struct
    {
        const char* pszCase;
        int nKind;
        bool bStamps;
        const char16_t* pszName;
        const char16_t* pszText;
        const char16_t* pszLine;
        uint32_t dwColour;
    } cases[] = {
        {"chat, no stamp", CHATLINE_CHAT, false, u"bob", u"hi", u"bob > hi\r", 0x123456},
        {"chat, stamp", CHATLINE_CHAT, true, u"bob", u"hi", u"bob  09:10:05 > hi\r", 0x123456},
        {"notice, no stamp", CHATLINE_NOTICE, false, u"", u"joined", u"[joined]\r", kChatNoticeColour},
        {"notice, stamp", CHATLINE_NOTICE, true, u"", u"joined", u"[joined 09:10:05 ]\r", kChatNoticeColour},
        {"error", CHATLINE_ERROR, false, u"", u"bad", u"[bad]\r", kChatRedColour},
        {"request", CHATLINE_REQUEST, false, u"", u"ask", u"[ask]\r", 0},
        {"join", CHATLINE_JOINLEAVE, false, u"", u"carol", u"[carol]\r", kChatNoticeColour},
        {"red", CHATLINE_RED, true, u"", u"stats", u"stats\r", kChatRedColour},
        {"command output, breaks", CHATLINE_COMMAND, false, u"", u"x\n*State\ny\r\n", u"x\r*State\ry\r",
         kChatRedColour},
    };
    for (const auto& c : cases)
    {
        FakeLogView view;
        CChatLog log(view, TenPast);
        log.AddMessage(CHATLINE_RED, u"first", u"", 0);
        if (c.bStamps) log.ToggleTimeStamps();
        SChatRange r = log.AddMessage(c.nKind, c.pszText, c.pszName, 0x123456);
        EXPECT_EQ(std::u16string(c.pszLine), Sub(log.Text(), r)) << c.pszCase;
        EXPECT_EQ(c.dwColour, view.colours.back()) << c.pszCase;
        EXPECT_EQ(view.text, log.Text()) << c.pszCase;
    }
}

TEST(ChatLog, FirstLineLosesLeadingBreaksAndFiltersDropKinds)
{
    {
        FakeLogView view;
        CChatLog log(view, TenPast);
        log.AddMessage(CHATLINE_COMMAND, u"\r\n\n*State\nx\r\n", u"", 0);
        EXPECT_EQ(u"*State\rx\r", log.Text());
        log.AddMessage(CHATLINE_COMMAND, u"\n*State\r\n", u"", 0);
        EXPECT_EQ(u"*State\rx\r\r*State\r", log.Text()) << "only the very first line is trimmed";
    }
    struct
    {
        const char* pszCase;
        bool bNoticeLog;
        bool bHideJoinLeave;
        std::vector<int> shown; // kinds 0..7 written
    } cases[] = {
        {"all shown", true, false, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"notice log off", false, false, {2, 3, 4, 5, 6}},
        {"bit 22", true, true, {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases)
    {
        FakeLogView view;
        CChatLog log(view, TenPast);
        log.SetNoticeLog(c.bNoticeLog);
        log.SetHideJoinLeave(c.bHideJoinLeave);
        std::vector<int> shown;
        for (int nKind = 0; nKind <= 7; ++nKind)
        {
            size_t nBefore = log.Text().size();
            log.AddMessage(nKind, u"t", u"n", 0);
            if (log.Text().size() != nBefore) shown.push_back(nKind);
        }
        EXPECT_EQ(c.shown, shown) << c.pszCase;
    }
}

TEST(ChatLog, TrimDropsTheFirst200LinesAndMovesRequests)
{
    FakeLogView view;
    CChatLog log(view, TenPast);
    log.AddPresenterRequest(RequestText(u"early"), kPermit, kDeny, 11); // trimmed away later
    for (int i = 0; i < 500; ++i)
        log.AddMessage(CHATLINE_CHAT, u"line", u"bob", 0);
    log.AddPresenterRequest(RequestText(u"carol"), kPermit, kDeny, 7);
    log.AddPresenterRequest(RequestText(u"dave"), kPermit, kDeny, 8);
    for (int i = 0; i < 497; ++i)
        log.AddMessage(CHATLINE_CHAT, u"line", u"bob", 0);
    ASSERT_EQ(1000u, log.LineCount());
    ASSERT_EQ(3u, log.Requests().size());
    log.AddMessage(CHATLINE_CHAT, u"the 1001st", u"bob", 0);
    EXPECT_EQ(801u, log.LineCount());
    EXPECT_EQ(view.text, log.Text());
    ASSERT_EQ(2u, log.Requests().size()) << "the request on a trimmed line is gone";
    for (const auto& req : log.Requests())
    {
        EXPECT_EQ(kPermit, Sub(log.Text(), req.permit));
        EXPECT_EQ(kDeny, Sub(log.Text(), req.deny));
        EXPECT_TRUE(view.AllLinked(req.permit));
        EXPECT_TRUE(view.AllLinked(req.deny));
    }
    // Permitting the second answers dave, and only his links stop being links.
    SChatLinkHit hit = log.LinkAt(log.Requests()[1].permit.nStart);
    EXPECT_EQ(SChatLinkHit::PERMIT, hit.kind);
    EXPECT_EQ(8, hit.wUser);
    SChatRange carolDeny = log.Requests()[0].deny;
    EXPECT_EQ(SChatLinkHit::DENY, log.LinkAt(carolDeny.nStart + 1).kind);
    EXPECT_EQ(7, log.LinkAt(carolDeny.nStart).wUser);
    log.RemovePresenterRequest(8);
    EXPECT_EQ(1u, log.Requests().size());
    EXPECT_EQ(kPermit.size() + kDeny.size(), view.LinkedCount()) << "carol's links alone";
}

TEST(ChatLog, PeerTextNeverBecomesALink)
{
    FakeLogView view;
    CChatLog log(view, TenPast);
    // A peer who types the link words, before and after the real request.
    log.AddMessage(CHATLINE_CHAT, ChatOneLine(u"Permit Deny Cancel"), u"mallory", 0);
    log.AddPresenterRequest(RequestText(u"Deny Permit"), kPermit, kDeny, 5);
    log.AddMessage(CHATLINE_CHAT, u"Permit Deny", u"mallory", 0);
    ASSERT_EQ(1u, log.Requests().size());
    const auto& req = log.Requests()[0];
    // The links are the template's words, behind the name.
    EXPECT_EQ(kPermit.size() + kDeny.size(), view.LinkedCount());
    EXPECT_TRUE(view.AllLinked(req.permit));
    size_t nPeer = log.Text().find(u"Permit");
    EXPECT_EQ(SChatLinkHit::NONE, log.LinkAt(static_cast<uint32_t>(nPeer)).kind);
    size_t nLast = log.Text().rfind(u"Permit");
    EXPECT_EQ(SChatLinkHit::NONE, log.LinkAt(static_cast<uint32_t>(nLast)).kind);
    // A line break in a peer's text cannot forge a notice line.
    EXPECT_EQ(u"a [b] c d ", ChatOneLine(u"a\r[b]\nc\td\x2028"));
    EXPECT_EQ(u"a  b c d", ChatOneLine(u"a\r\nb\x85"
                                       u"c\x2029"
                                       u"d"));
}

TEST(ChatLog, PushProgressLine)
{
    FakeLogView view;
    CChatLog log(view, TenPast);
    log.AddMessage(CHATLINE_NOTICE, u"start", u"", 0);
    log.UpdatePushProgress(10, u"1 min", u"Done", u"Received", u"Cancel", true);
    uint32_t nPos = log.ProgressPosition();
    ASSERT_NE(kChatNoPosition, nPos);
    EXPECT_EQ(u"\r  \xFFFC\xFFFC\xFFFC", log.Text().substr(nPos - 5, 6));
    EXPECT_EQ(u"Cancel", Sub(log.Text(), log.CancelRange()));
    EXPECT_TRUE(view.AllLinked(log.CancelRange()));
    // Chat goes on below while the push runs; the progress stays in place.
    log.AddMessage(CHATLINE_CHAT, u"meanwhile", u"bob", 0);
    std::u16string szAfter = log.Text().substr(nPos + 1);
    log.UpdatePushProgress(50, u"30 s", u"Done", u"Received", u"Cancel", true);
    EXPECT_EQ(nPos, log.ProgressPosition());
    EXPECT_EQ(szAfter, log.Text().substr(nPos + 1)) << "an update overwrites only its pictures";
    EXPECT_EQ(SChatLinkHit::CANCEL, log.LinkAt(log.CancelRange().nStart).kind);
    // At 100 the line closes, the cancel link goes, the next progress starts a new line.
    log.UpdatePushProgress(100, u"", u"Done", u"Received", u"Cancel", true);
    EXPECT_EQ(kChatNoPosition, log.ProgressPosition());
    EXPECT_FALSE(log.CancelShown());
    EXPECT_EQ(0u, view.LinkedCount());
    size_t nSize = log.Text().size();
    log.UpdatePushProgress(1, u"2 min", u"Done", u"Received", u"Cancel", false);
    EXPECT_EQ(nSize + 5, log.ProgressPosition());
    // Cancelling removes the break, spaces, placeholder and progress; the status stays.
    log.EndPushProgress(u"Cancelled");
    EXPECT_EQ(kChatNoPosition, log.ProgressPosition());
    EXPECT_EQ(nSize + 1, log.Text().size());
    EXPECT_EQ(view.text, log.Text());
}

TEST(ChatLog, PushLineAndPathsMoveWithTheTrim)
{
    FakeLogView view;
    CChatLog log(view, TenPast);
    log.AddReceivedFile(u"got C:\\in\\a.txt", u"C:\\in\\a.txt", 3);
    for (int i = 0; i < 300; ++i)
        log.AddMessage(CHATLINE_CHAT, u"x", u"bob", 0);
    log.AddReceivedFile(u"got C:\\in\\b.txt", u"C:\\in\\b.txt", 4);
    log.UpdatePushProgress(40, u"soon", u"Done", u"Received", u"Cancel", true);
    for (int i = 0; i < 700; ++i)
        log.AddMessage(CHATLINE_CHAT, u"y", u"bob", 0);
    ASSERT_LT(log.LineCount(), 1000u);
    EXPECT_TRUE(log.PathRange(3).Empty()) << "its line was trimmed";
    EXPECT_EQ(u"C:\\in\\b.txt", Sub(log.Text(), log.PathRange(4)));
    SChatLinkHit hit = log.LinkAt(log.PathRange(4).nStart);
    EXPECT_EQ(SChatLinkHit::PATH, hit.kind);
    EXPECT_EQ(u"C:\\in\\b.txt", hit.szPath);
    uint32_t nPos = log.ProgressPosition();
    ASSERT_NE(kChatNoPosition, nPos);
    EXPECT_EQ(u"\r  \xFFFC\xFFFC\xFFFC", log.Text().substr(nPos - 5, 6));
    std::u16string szBefore = log.Text();
    log.UpdatePushProgress(100, u"", u"Done", u"Received", u"Cancel", true);
    EXPECT_EQ(szBefore, log.Text()) << "progress at 100 writes over its own pictures only";
    // A slot used again clears the older file's link.
    log.AddReceivedFile(u"got C:\\in\\c.txt", u"C:\\in\\c.txt", 104);
    EXPECT_EQ(u"C:\\in\\c.txt", Sub(log.Text(), log.PathRange(4)));
    EXPECT_EQ(std::u16string(u"C:\\in\\c.txt").size(), view.LinkedCount());
    EXPECT_EQ(view.text, log.Text());
}

TEST(ChatCommands, ParseTheLocalCommands)
{
    struct
    {
        const char16_t* pszLine;
        uint16_t wLevel;
        SChatCommand::Id id;
        int32_t nValue;
        const char16_t* pszArg;
    } cases[] = {
        {u"/jq", 0, SChatCommand::JQ, 6, u""},
        {u"/JQ 12", 0, SChatCommand::JQ, 9, u""},
        {u"/bitrate 9000", 0, SChatCommand::BITRATE, 5000, u""},
        {u"/bitrate x", 0, SChatCommand::BITRATE, 0, u""},
        {u"/bitrate", 0, SChatCommand::BITRATE, 0, u""},
        {u"/MF", 0, SChatCommand::MF, 3, u""},
        {u"/mf 7", 0, SChatCommand::MF, 6, u""},
        {u"/color 1", 0, SChatCommand::COLOR, 1, u""},
        {u"/wmv 5 9", 0, SChatCommand::WMV, 5, u""},
        {u"/codec 4,20", 0, SChatCommand::CODEC, 0, u"speed=4;crf=20;"},
        {u"/codec 4,0", 0, SChatCommand::CODEC, 0, u"speed=4;"},
        {u"/codec", 0, SChatCommand::CODEC, 0, u""},
        {u"/sendsize", 0, SChatCommand::SENDSIZE, 0, u""},
        {u"/sendsize 640x480", 0, SChatCommand::SENDSIZE, 0, u"640x480"},
        {u"/dsprofile 2", 0, SChatCommand::DSPROFILE, 2, u""},
        {u"/dsprofile", 0, SChatCommand::DSPROFILE, 0, u""},
        {u"/STATE", 0, SChatCommand::STATE, 0, u""},
        {u"/time", 0, SChatCommand::TIME, 0, u""},
        {u"/time now", 0, SChatCommand::NONE, 0, u""},
        {u"hello /JQ", 0, SChatCommand::NONE, 0, u""},
        {u"/JQ 12", 14, SChatCommand::NONE, 0, u""}, // a listener: no local commands
        {u"/state", 0x104, SChatCommand::NONE, 0, u""},
    };
    for (const auto& c : cases)
    {
        SChatCommand cmd = ParseChatCommand(c.pszLine, c.wLevel);
        std::string szCase(c.pszLine, c.pszLine + std::char_traits<char16_t>::length(c.pszLine));
        EXPECT_EQ(c.id, cmd.id) << szCase;
        EXPECT_EQ(c.nValue, cmd.nValue) << szCase;
        EXPECT_EQ(std::u16string(c.pszArg), cmd.szArg) << szCase;
    }
    SChatCommand size = ParseChatCommand(u"/sendsize 640 x 480", 0);
    EXPECT_EQ(640, size.nWidth);
    EXPECT_EQ(480, size.nHeight);
    EXPECT_TRUE(ParseChatCommand(u"/dsprofile 3", 0).bIgnored);
    EXPECT_EQ(2147483647, ChatDecimal(u"99999999999"));
}

TEST(ChatInput, WhoMayWriteAndWhatEnterDoes)
{
    struct
    {
        SChatInputRights rights;
        ChatInputMode mode;
    } modes[] = {
        {{true, 0, true, false, true}, CHATINPUT_HIDDEN},        // playback
        {{false, 0x104, true, false, true}, CHATINPUT_DISABLED}, // a listener, even as chief
        {{false, 0, false, false, false}, CHATINPUT_DISABLED},   // chat right off
        {{false, 0, true, false, false}, CHATINPUT_ENABLED},     // the chief writes anyway
        {{false, 0, false, true, false}, CHATINPUT_ENABLED},     // so does the presenter
        {{false, 3, false, false, true}, CHATINPUT_ENABLED},
    };
    for (const auto& c : modes)
        EXPECT_EQ(c.mode, ChatInputModeOf(c.rights)) << c.rights.wMyLevel << " " << c.rights.bRoomChatRight;

    struct
    {
        const char16_t* pszInput;
        uint16_t wLevel;
        SChatEnter::Action action;
    } enters[] = {
        {u"", 0, SChatEnter::NOTHING},
        {u"Type here", 0, SChatEnter::NOTHING}, // the enable hint is not a line
        {u"No chat", 0, SChatEnter::NOTHING},   // nor the disable hint
        {u"hello", 14, SChatEnter::NOTHING},    // a listener sends nothing
        {u"/JQ 3", 14, SChatEnter::NOTHING},    // and runs no command
        {u"/JQ 3", 0, SChatEnter::LOCAL},
        {u"/sendsize", 0, SChatEnter::LOCAL}, // does nothing, but is never sent
        {u"hello", 0, SChatEnter::SEND},
    };
    for (const auto& c : enters)
        EXPECT_EQ(c.action, ChatEnterOf(c.pszInput, u"Type here", u"No chat", c.wLevel).action)
            << std::string(c.pszInput, c.pszInput + std::char_traits<char16_t>::length(c.pszInput));
    EXPECT_EQ(SChatCommand::JQ, ChatEnterOf(u"/JQ 3", u"", u"", 0).command.id);
}

TEST(ChatLog, RandomOperationsKeepRangesOnTheirWords)
{
    std::mt19937 rng(20);
    FakeLogView view;
    CChatLog log(view, TenPast);
    const std::u16string alphabet = u"ab PermitDenyCancel\r\n\x0B\xD800\xDC00[]";
    for (int i = 0; i < 6000; ++i)
    {
        switch (rng() % 8)
        {
        case 0:
            log.AddPresenterRequest(RequestText(u"u"), kPermit, kDeny, static_cast<uint16_t>(rng() % 5));
            break;
        case 1:
            log.UpdatePushProgress(static_cast<int>(rng() % 101), u"t", u"Done", u"Recv", u"Cancel",
                                   rng() % 2);
            break;
        case 2:
            if (rng() % 8 == 0) log.EndPushProgress(u"Cancelled");
            break;
        case 3:
        {
            std::u16string szPath = u"C:\\f" + std::u16string(1, static_cast<char16_t>(u'0' + rng() % 10));
            log.AddReceivedFile(u"got " + szPath, szPath, rng() % 120);
        }
        break;
        case 4:
            if (rng() % 16 == 0) log.RemovePresenterRequest(static_cast<uint16_t>(rng() % 5));
            break;
        default:
        {
            std::u16string szText;
            for (size_t n = rng() % 30; n > 0; --n)
                szText.push_back(alphabet[rng() % alphabet.size()]);
            log.AddMessage(CHATLINE_CHAT, ChatOneLine(szText), u"peer", 0);
            break;
        }
        }
        ASSERT_EQ(view.text, log.Text());
        ASSERT_LE(log.LineCount(), kChatMaxLines);
        for (const auto& req : log.Requests())
        {
            ASSERT_EQ(kPermit, Sub(log.Text(), req.permit));
            ASSERT_EQ(kDeny, Sub(log.Text(), req.deny));
        }
        if (log.CancelShown())
        {
            ASSERT_EQ(u"Cancel", Sub(log.Text(), log.CancelRange()));
        }
        if (log.ProgressPosition() != kChatNoPosition)
        {
            ASSERT_EQ(u"\r  \xFFFC\xFFFC\xFFFC", log.Text().substr(log.ProgressPosition() - 5, 6));
        }
    }
}
