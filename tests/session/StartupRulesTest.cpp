// Command-line parsing and the start-up choices: hand-off code, language library, registration keys.
#include <gtest/gtest.h>

#include <set>

#include "confclient/session/startup/CopyData.h"
#include "confclient/session/startup/LaunchString.h"
#include "confclient/session/startup/StartupRules.h"

TEST(LaunchString, KindsOfCommandLine)
{
    struct
    {
        const char16_t* line;
        LaunchKind kind;
    } rows[] = {
        {u"", LaunchKind::Empty},
        {u"QNPlayer", LaunchKind::Player},
        {u"rvplayer", LaunchKind::Player},
        {u"avsetting", LaunchKind::AVSetting},
        {u"C:\\rec\\meeting.qn", LaunchKind::RecordingPath},
        {u"QuillonPort 7100", LaunchKind::PanelPort},
        {u"127.0.0.1,7000,alice,pw,0,0,,0,RoriVuz_Eng.dll", LaunchKind::LaunchString},
    };
    for (auto r : rows)
    {
        auto launch = ParseCommandLine(r.line);
        ASSERT_TRUE(launch.has_value());
        EXPECT_EQ(r.kind, launch->kind);
    }
    EXPECT_FALSE(ParseCommandLine(u"QuillonPort").has_value());
    EXPECT_FALSE(ParseCommandLine(u"QuillonPort 70000").has_value());
    EXPECT_EQ(7100, ParseCommandLine(u"quillonport 7100")->nPanelPort);
    EXPECT_EQ(u"1", ParseCommandLine(u"rvplayer")->fields.szEditionKind);
}

TEST(LaunchString, FieldsAndTheirDefaults)
{
    auto full =
        ParseCommandLine(u"conf.example, 7000 ,alice,secret,3,131170,ROOM42,1,RoriVuz_Kor.dll,1")->fields;
    EXPECT_EQ(u"conf.example", full.szServerAddress);
    EXPECT_EQ(7000, full.nServerPort);
    EXPECT_EQ(u"alice", full.szUserId);
    EXPECT_EQ(u"secret", full.szLoginKey);
    EXPECT_EQ(3, full.nLoginKind);
    EXPECT_EQ(131170u, full.hLauncherWnd);
    EXPECT_EQ(u"ROOM42", full.szConfCode);
    EXPECT_EQ(u"1", full.szEditionKind);
    EXPECT_EQ(u"RoriVuz_Kor.dll", full.szResourceDll);
    EXPECT_TRUE(full.bNoLauncherWatch);

    auto shortList = ParseCommandLine(u"10.0.0.1,notaport,bob")->fields;
    EXPECT_EQ(0, shortList.nServerPort);
    EXPECT_EQ(u"bob", shortList.szUserId);
    EXPECT_TRUE(shortList.szResourceDll.empty());
    EXPECT_FALSE(shortList.bNoLauncherWatch);
    EXPECT_EQ(0, ParseCommandLine(u"a,99999")->fields.nServerPort);
}

TEST(StartupRules, HandOffCodes)
{
    EXPECT_EQ(COPYDATA_PLAY, HandOffCode(u"qnplayer"));
    EXPECT_EQ(COPYDATA_PLAY, HandOffCode(u"RVPLAYER"));
    EXPECT_EQ(COPYDATA_PLAY, HandOffCode(u"/tmp/x.qn"));
    EXPECT_EQ(COPYDATA_PLAY, HandOffCode(u"D:\\x.qn"));
    EXPECT_EQ(COPYDATA_AVSETTING, HandOffCode(u"AVSetting"));
    EXPECT_EQ(COPYDATA_SECONDSTART, HandOffCode(u"127.0.0.1,7000,alice"));
}

TEST(StartupRules, LanguageFromAcceptLanguage)
{
    EXPECT_EQ(LANGID_KOREAN, LangIdFromAcceptLanguage(u"ko-KR,en;q=0.5", 1033));
    EXPECT_EQ(LANGID_JAPANESE, LangIdFromAcceptLanguage(u"ja", 1033));
    EXPECT_EQ(LANGID_GERMAN, LangIdFromAcceptLanguage(u"de-AT", 1033));
    EXPECT_EQ(LANGID_ENGLISH, LangIdFromAcceptLanguage(u"fr-FR", 1042));
    EXPECT_EQ(1042, LangIdFromAcceptLanguage(u"", 1042));
    EXPECT_EQ(2052, LangIdFromAcceptLanguage(u"", 2052)); // only the exact ids choose a library
}

TEST(StartupRules, ResourceLibraryChoiceTable)
{
    const std::set<std::u16string> all = {u"RoriVuz_Eng.dll",  u"RoriVuz_Kor.dll",   u"RoriVuz_Jpn.dll",
                                          u"RoriVuz_Ger.dll",  u"RoriVuzRV_Eng.dll", u"RoriVuzRV_Kor.dll",
                                          u"RoriVuzRV_Jpn.dll"};
    struct
    {
        const char16_t* field8;
        const char16_t* kind;
        const char16_t* cmdLine;
        uint16_t langId;
        std::set<std::u16string> present;
        const char16_t* expected; // null: nothing found
    } rows[] = {
        {u"RoriVuz_Jpn.dll", u"0", u"x", 1033, all, u"RoriVuz_Jpn.dll"},
        {u"RoriVuz_Jpn.dll", u"0", u"x", 1033, {u"RoriVuz_Eng.dll"}, u"RoriVuz_Eng.dll"},
        {u"RoriVuz_Jpn.dll",
         u"1",
         u"x",
         1033,
         {u"RoriVuzRV_Eng.dll", u"RoriVuz_Eng.dll"},
         u"RoriVuzRV_Eng.dll"},
        {u"RoriVuz_Jpn.dll", u"0", u"x", 1033, {u"RoriVuzRV_Kor.dll"}, u"RoriVuzRV_Kor.dll"},
        {u"RoriVuz_Jpn.dll", u"0", u"x", 1033, {}, nullptr},
        {u"RoriVuzRV_Kor.dll", u"0", u"x", 1042, all, u"RoriVuz_Kor.dll"}, // the edition follows field 7
        {u"", u"1", u"x", 1041, all, u"RoriVuzRV_Jpn.dll"},
        {u"", u"", u"x", 1031, all, u"RoriVuz_Ger.dll"},
        {u"", u"1", u"x", 1031, all, u"RoriVuz_Ger.dll"},
        {u"", u"", u"rvplayer", 1042, all, u"RoriVuzRV_Kor.dll"},
        {u"", u"1", u"qnplayer", 2052, all, u"RoriVuz_Eng.dll"},
        // Names that are not plain library file names are never loaded.
        {u"..\\evil\\RoriVuz_Eng.dll", u"0", u"x", 1042, all, u"RoriVuz_Kor.dll"},
        {u"C:RoriVuz_Jpn.dll", u"0", u"x", 1033, all, u"RoriVuz_Eng.dll"},
        {u"RoriVuz_Jpn.exe", u"0", u"x", 1033, all, u"RoriVuz_Eng.dll"},
    };
    for (const auto& r : rows)
    {
        auto exists = [&](const std::u16string& f) { return r.present.count(f) > 0; };
        auto first = [&](std::u16string_view prefix) -> std::optional<std::u16string>
        {
            for (const auto& f : r.present)
                if (f.compare(0, prefix.size(), prefix) == 0) return f;
            return std::nullopt;
        };
        auto got = ChooseResourceDll(r.field8, r.kind, r.cmdLine, r.langId, exists, first);
        if (r.expected)
        {
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(std::u16string(r.expected), *got);
        }
        else
            EXPECT_FALSE(got.has_value());
    }
}

TEST(StartupRules, NamesAndKeys)
{
    EXPECT_EQ(u"Quillon", GetFileStem(u"C:\\Program Files\\Q\\Quillon.exe"));
    EXPECT_EQ(u"LMBoardU", GetFileStem(u"c:/x/LMBoardU.ocx"));
    EXPECT_EQ(u".hidden", GetFileStem(u"a\\.hidden"));
    EXPECT_EQ(u"a.b", GetFileStem(u"a.b.c"));
    EXPECT_EQ(u"Quillon", ProgramName(u"Quillon_D"));
    EXPECT_EQ(u"Quillon", ProgramName(u"Quillon_d"));
    EXPECT_EQ(u"Quillon", ProgramName(u"Quillon"));
    EXPECT_TRUE(PathEqualsNoCase(u"C:\\Prog\\LMBoardU.ocx", u"c:\\prog\\lmboardu.OCX"));
    EXPECT_FALSE(PathEqualsNoCase(u"C:\\Prog\\LMBoardU.ocx", u"C:\\Other\\LMBoardU.ocx"));
}

TEST(CopyData, OnlyKnownCodesAndBoundedText)
{
    const char16_t text[] = u"qnplayer";
    auto ok = AcceptCopyData(COPYDATA_PLAY, 16, text); // no terminator sent
    ASSERT_TRUE(ok);
    EXPECT_EQ(u"qnplayer", ok->text);
    EXPECT_EQ(u"qnp", AcceptCopyData(COPYDATA_SECONDSTART, 6, text)->text);
    EXPECT_EQ(u"", AcceptCopyData(COPYDATA_AVSETTING, 0, nullptr)->text);
    const char16_t zero[] = {u'a', 0, u'b', 0};
    EXPECT_EQ(u"a", AcceptCopyData(CLIENTCMD_JOIN, 8, zero)->text); // ends at the first zero unit

    EXPECT_FALSE(AcceptCopyData(1234, 16, text));                             // unknown code
    EXPECT_FALSE(AcceptCopyData(COPYDATA_PLAY, 15, text));                    // odd byte count
    EXPECT_FALSE(AcceptCopyData(COPYDATA_PLAY, 16, nullptr));                 // no data
    EXPECT_FALSE(AcceptCopyData(COPYDATA_PLAY, kMaxCopyDataBytes + 2, text)); // too long
}
