// Received files land under one safe name inside the download folder, and a name already there,
// in any case, gives the next free numbered name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/people/ReceiveNames.h"
#include "core/Utf8Text.h"
#include "tests/people/TempDownloadFolder.h"

TEST(ReceiveNames, HostileNamesBecomeOneSafeComponent)
{
    const std::u16string kLong = std::u16string(300, u'a') + u".pdf";
    const std::u16string kBidi = std::u16string(u"invoice\u202Efdp.exe");
    struct
    {
        std::u16string szRaw;
        std::u16string szSafe;
    } cases[] = {
        {u"report.pdf", u"report.pdf"},
        {u"..\\..\\Windows\\system.ini", u"system.ini"},
        {u"../../etc/passwd", u"passwd"},
        {u"C:\\boot.ini", u"boot.ini"},
        {u"C:evil.txt", u"C_evil.txt"},
        {u"\\\\server\\share\\x.doc", u"x.doc"},
        {u"file.txt:stream", u"file.txt_stream"},
        {u"a<b>c|d?e*f\"g.txt", u"a_b_c_d_e_f_g.txt"},
        {u"CON", u"_CON"},
        {u"nul.txt", u"_nul.txt"},
        {u"com1.tar.gz", u"_com1.tar.gz"},
        {u"LPT9", u"_LPT9"},
        {u"COM10.txt", u"COM10.txt"},
        {u"console.txt", u"console.txt"},
        {u"notes.txt. . .", u"notes.txt"},
        {u"", u"file"},
        {u".", u"file"},
        {u"..", u"file"},
        {u"dir/", u"file"},
        {std::u16string(u"ok.txt\0../../x", 14), u"ok.txt"},
        {u"tab\there.txt", u"tab_here.txt"},
        {kBidi, u"invoice_fdp.exe"},
        {u"\xD800lone.txt", u"_lone.txt"},
        {u"smile\xD83D\xDE00.txt", u"smile\xD83D\xDE00.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.szSafe, SafeReceiveName(c.szRaw)) << Utf8Of(c.szRaw);

    const std::u16string szCut = SafeReceiveName(kLong, 100);
    EXPECT_EQ(100u, szCut.size());
    EXPECT_EQ(u".pdf", szCut.substr(96)) << "the extension is kept";
    // A pair of surrogates is never split by the cut.
    const std::u16string szPairs =
        SafeReceiveName(u"\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00.t", 9);
    EXPECT_EQ(u"\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00.t", szPairs);
}

TEST(ReceiveNames, HostileNamesLandInsideTheFolder)
{
    CTempDownloadFolder folder;
    for (std::u16string raw : {u"../escape.txt", u"..\\..\\escape2.txt", u"/tmp/abs.txt", u"..", u"a/b/../c"})
    {
        std::unique_ptr<IReceiveFile> file = CreateReceiveFile(folder, raw);
        ASSERT_NE(nullptr, file) << Utf8Of(raw);
        EXPECT_EQ(std::u16string::npos, raw.find_first_of(u"/\\")) << Utf8Of(raw);
    }
    EXPECT_EQ((std::vector<std::string>{"abs.txt", "c", "escape.txt", "escape2.txt", "file"}),
              folder.Names());
}

TEST(ReceiveNames, NamesPresentInAnyCaseGiveTheNextNumber)
{
    struct
    {
        const char* pszCase;
        std::vector<std::string> present;
        std::u16string szOffered;
        std::u16string szCreated;
    } cases[] = {
        {"free", {}, u"plan.pdf", u"plan.pdf"},
        {"taken", {"plan.pdf"}, u"plan.pdf", u"plan(1).pdf"},
        {"taken in another case", {"Plan.PDF"}, u"plan.pdf", u"plan(1).pdf"},
        {"the first numbers taken", {"plan.pdf", "plan(1).pdf", "PLAN(2).pdf"}, u"plan.pdf", u"plan(3).pdf"},
        {"a number replaced, not extended", {"plan(4).pdf"}, u"plan(4).pdf", u"plan(1).pdf"},
        {"no extension", {"notes"}, u"notes", u"notes(1)"},
        {"brackets that are no number", {"a(b).txt"}, u"a(b).txt", u"a(b)(1).txt"},
        {"last dot only", {"x.tar.gz"}, u"x.tar.gz", u"x.tar(1).gz"},
    };
    for (const auto& c : cases)
    {
        CTempDownloadFolder folder;
        for (const std::string& name : c.present)
            folder.Put(name, "old");
        std::u16string szName = c.szOffered;
        std::unique_ptr<IReceiveFile> file = CreateReceiveFile(folder, szName);
        ASSERT_NE(nullptr, file) << c.pszCase;
        EXPECT_EQ(c.szCreated, szName) << c.pszCase;
        const uint8_t b[] = {'n', 'e', 'w'};
        file->Write(b, 3);
        file.reset();
        for (const std::string& name : c.present)
            EXPECT_EQ("old", folder.Contents(name)) << c.pszCase << ": nothing appended to " << name;
    }
}

TEST(ReceiveNames, NumberedNamesFitTheRoom)
{
    const std::u16string szName = std::u16string(40, u'n') + u".docx";
    const std::u16string szNumbered = NumberedName(szName, 12, 30);
    EXPECT_EQ(30u, szNumbered.size());
    EXPECT_EQ(u"(12).docx", szNumbered.substr(21));
}
