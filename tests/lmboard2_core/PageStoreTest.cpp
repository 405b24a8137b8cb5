// Page store: creating and appending to page files, receiving a page sent by another
// board's writer, old-header pages, and names that must not reach the file system.
#include <gtest/gtest.h>

#include "tests/lmboard2_core/PageStoreFakes.h"
#include "tests/lmboard2_core/SockBoardFakes.h"

namespace
{
struct StoreFixture : ::testing::Test, PageStoreFixture
{
};

std::vector<uint8_t> Message(uint8_t byCode, std::u16string_view name,
                             const std::vector<uint8_t>& payload = {})
{
    CBoardMessage msg(byCode, name);
    msg.AppendBytes(payload.data(), payload.size());
    return *msg.Finish();
}
} // namespace

TEST_F(StoreFixture, CreatePageFileWritesHeaderAndBackground)
{
    S_BOARD_FILEHDR h = PageHeader(u"Conf_001", PAGE_PICTURE, 3000);
    std::vector<uint8_t> picture(3000);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i * 13);
    WriteWholeFile(Background(u"Conf_001"), picture);
    ASSERT_TRUE(store.CreatePageFile(u"Conf_001", &h, true));
    EXPECT_EQ(PageBytes(h, picture), ReadWholeFile(Page(u"Conf_001")));

    std::optional<S_BOARD_FILEHDR> back = store.ReadHeader(u"Conf_001");
    ASSERT_TRUE(back);
    EXPECT_EQ(3000u, back->dwSize);
    EXPECT_EQ(u"Caption", S_BOARD_FILEHDR::Text(back->szCaption));

    // No background to copy: nothing is created.
    EXPECT_FALSE(store.CreatePageFile(u"Conf_002", &h, true));
    EXPECT_FALSE(std::filesystem::exists(Page(u"Conf_002")));
    EXPECT_FALSE(store.CreatePageFile(u"..\\Conf_002", &h, false));
    EXPECT_FALSE(store.ReadHeader(u"Conf_404"));

    ASSERT_TRUE(store.CreatePageFile(u"Conf_003", nullptr, false));
    EXPECT_TRUE(ReadWholeFile(Page(u"Conf_003")).empty());
}

TEST_F(StoreFixture, AppendKeepsWholeRecordsOnly)
{
    S_BOARD_FILEHDR h = PageHeader(u"Conf_000", PAGE_BLANK, 0);
    ASSERT_TRUE(store.CreatePageFile(u"Conf_000", &h, false));
    std::vector<uint8_t> clear = RecordBytes(REC_CLEAR, {});
    std::vector<uint8_t> stamp = RecordBytes(REC_STAMP, {1, 0, 2, 0});
    std::vector<uint8_t> browser = RecordBytes(REC_BROWSER, std::vector<uint8_t>(8, 0));
    std::vector<uint8_t> huge = RecordBytes(REC_ERASER, std::vector<uint8_t>(1304, 0));
    std::vector<uint8_t> lying = stamp;
    lying[0] = 9; // its length says more than the payload holds

    EXPECT_TRUE(store.AppendRecord(u"Conf_000", clear.data(), clear.size()));
    EXPECT_TRUE(store.AppendRecord(u"Conf_000", stamp.data(), stamp.size()));
    EXPECT_TRUE(store.AppendRecord(u"Conf_000", browser.data(), browser.size())); // never stored
    EXPECT_TRUE(store.AppendRecord(u"Conf_000", huge.data(), huge.size()));       // too long to keep
    EXPECT_FALSE(store.AppendRecord(u"Conf_000", lying.data(), lying.size()));
    EXPECT_FALSE(store.AppendRecord(u"Conf_000", clear.data(), 1));
    EXPECT_FALSE(store.AppendRecord(u"Conf/000", clear.data(), clear.size()));
    EXPECT_EQ(PageBytes(h, {}, {clear, stamp}), ReadWholeFile(Page(u"Conf_000")));

    // The view closes the page's handle before it deletes the page: then it takes no records.
    store.CloseAppend();
    std::filesystem::remove(Page(u"Conf_000"));
    EXPECT_FALSE(store.AppendRecord(u"Conf_000", clear.data(), clear.size()));
    EXPECT_FALSE(std::filesystem::exists(Page(u"Conf_000")));
#ifndef _WIN32
    // Where an open file can be deleted, the handle still open here does not revive it.
    ASSERT_TRUE(store.CreatePageFile(u"Conf_000", &h, false));
    EXPECT_TRUE(store.AppendRecord(u"Conf_000", clear.data(), clear.size()));
    std::filesystem::remove(Page(u"Conf_000"));
    EXPECT_FALSE(store.AppendRecord(u"Conf_000", clear.data(), clear.size()));
#endif
}

TEST_F(StoreFixture, WriterSendsOnlyWhatThePageFileKept)
{
    CRecordingOwner owner;
    CFakeClock clock;
    CSockBoard sock(owner, store, clock, folders);
    sock.SetCurrentPage(u"Conf_000");

    // No page file yet: the record is neither stored nor sent.
    EXPECT_FALSE(sock.SendClear());
    EXPECT_TRUE(owner.Sent().empty());

    S_BOARD_FILEHDR h = PageHeader(u"Conf_000", PAGE_BLANK, 0);
    ASSERT_TRUE(store.CreatePageFile(u"Conf_000", &h, false));
    EXPECT_TRUE(sock.SendClear());
    EXPECT_TRUE(sock.SendBrowserAddress(u"http://a/"));
    ASSERT_TRUE(sock.SendText(0, 0, 0, 9, 9, S_BOARD_LOGFONT(), std::u16string(1000, u't')));
    std::vector<std::vector<uint8_t>> sent = owner.Sent();
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ(70, sent[1][0]);
    // The clear and the text are in the file, the browser address is not.
    std::vector<uint8_t> file = ReadWholeFile(Page(u"Conf_000"));
    std::vector<uint8_t> expected = PageBytes(h, {},
                                              {std::vector<uint8_t>(sent[0].begin() + 72, sent[0].end()),
                                               std::vector<uint8_t>(sent[2].begin() + 72, sent[2].end())});
    EXPECT_EQ(expected, file);
}

TEST_F(StoreFixture, PageSentByOneBoardIsRebuiltByAnother)
{
    // The sender's page: a picture background and two records.
    std::vector<uint8_t> picture(2 * 1304 + 17);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i ^ (i >> 8));
    S_BOARD_FILEHDR h = PageHeader(u"Conf_005", PAGE_PICTURE, static_cast<uint32_t>(picture.size()));
    std::vector<uint8_t> page =
        PageBytes(h, picture, {RecordBytes(REC_CLEAR, {}), RecordBytes(REC_STAMP, {1, 0, 2, 0})});
    WriteWholeFile(Page(u"Conf_005"), page);

    PageStoreFixture receiver;
    CRecordingOwner owner;
    CFakeClock clock;
    std::unique_ptr<CSockBoard> sock;
    owner.onSend = [&](const uint8_t* p, size_t n)
    {
        if (p[0] == 30)
        {
            EXPECT_TRUE(receiver.store.BeginReceive(p, n));
        }
        if (p[0] == 31)
        {
            EXPECT_TRUE(receiver.store.ReceiveChunk(p, n));
        }
        if (p[0] == 32)
        {
            EXPECT_TRUE(receiver.store.EndReceive(p, n));
        }
        sock->SucSendBoardData(p, n);
    };
    sock = std::make_unique<CSockBoard>(owner, store, clock, folders);
    ASSERT_TRUE(sock->SendFile(h));

    EXPECT_EQ(page, ReadWholeFile(receiver.Page(u"Conf_005")));
    EXPECT_EQ(picture, ReadWholeFile(receiver.Background(u"Conf_005")));
    ASSERT_EQ(1u, receiver.view.added.size());
    EXPECT_EQ(u"Conf_005", S_BOARD_FILEHDR::Text(receiver.view.added[0].szName));
    EXPECT_EQ(picture.size(), receiver.view.added[0].dwSize);
}

TEST_F(StoreFixture, ReceiveRefusesBadHeadersNamesAndStrayChunks)
{
    S_BOARD_FILEHDR h = PageHeader(u"Conf_001", PAGE_BLANK, 0);
    std::vector<uint8_t> raw(kBoardFileHeaderSize);
    h.Write(raw.data());

    std::vector<uint8_t> shortHeader(raw.begin(), raw.begin() + 200);
    EXPECT_FALSE(store.BeginReceive(Message(30, u"Conf_001", shortHeader).data(), 272));
    EXPECT_FALSE(std::filesystem::exists(Page(u"Conf_001")));
    std::vector<uint8_t> escape = Message(30, u"../Conf_001", raw);
    EXPECT_FALSE(store.BeginReceive(escape.data(), escape.size()));
    EXPECT_FALSE(std::filesystem::exists(folders.base / "Conf_001"));

    std::vector<uint8_t> unterminated = Message(30, u"", raw);
    for (size_t i = 0; i < 32; ++i)
        unterminated[8 + 2 * i] = 'x';
    EXPECT_FALSE(store.BeginReceive(unterminated.data(), unterminated.size()));

    // A chunk for a page that was never begun is dropped without making a file.
    std::vector<uint8_t> chunk = Message(31, u"Conf_009", {1, 2, 3});
    EXPECT_FALSE(store.ReceiveChunk(chunk.data(), chunk.size()));
    EXPECT_FALSE(std::filesystem::exists(Page(u"Conf_009")));
    EXPECT_FALSE(store.EndReceive(u"Conf_009"));
    EXPECT_TRUE(view.added.empty());
}

TEST_F(StoreFixture, EndReceiveListsPagesAndCopiesBackgroundsByKind)
{
    WriteWholeFile(Page(u"Blank_000"), PageBytes(PageHeader(u"Blank_000", PAGE_BLANK, 0), {}));
    WriteWholeFile(Page(u"deck.pptx"), PageBytes(PageHeader(u"deck.pptx", PAGE_DOCUMENT, 4), {1, 2, 3, 4}));
    // The size field claims more than the file holds: what is there is copied.
    WriteWholeFile(Page(u"Pic_001"), PageBytes(PageHeader(u"Pic_001", PAGE_PICTURE, 100), {5, 6, 7}));
    view.presentations.insert(u"deck.pptx");

    EXPECT_TRUE(store.EndReceive(u"Blank_000"));
    EXPECT_FALSE(std::filesystem::exists(Background(u"Blank_000")));
    EXPECT_TRUE(store.EndReceive(u"deck.pptx"));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4}), ReadWholeFile(Background(u"deck.pptx")));
    EXPECT_TRUE(store.EndReceive(u"Pic_001"));
    EXPECT_EQ((std::vector<uint8_t>{5, 6, 7}), ReadWholeFile(Background(u"Pic_001")));

    ASSERT_EQ(2u, view.added.size()); // the presentation file is not a page
    EXPECT_EQ(u"Blank_000", S_BOARD_FILEHDR::Text(view.added[0].szName));
    EXPECT_EQ(u"Pic_001", S_BOARD_FILEHDR::Text(view.added[1].szName));
}

TEST_F(StoreFixture, OldHeaderPageBecomesACurrentPage)
{
    std::vector<uint8_t> old(kOldFileHeaderSize, 0);
    old[0] = 3; // background size
    old[4] = 0x44;
    old[8] = PAGE_PICTURE;
    old[9] = 2;
    old[12] = 6;
    old[16] = 'a';
    old[48] = 'b';
    for (size_t i = 0; i < 32; ++i)
        old[80 + i] = static_cast<uint8_t>(0xC0 + i % 20); // no terminator
    std::vector<uint8_t> stamp = RecordBytes(REC_STAMP, {1, 0, 2, 0});
    std::vector<uint8_t> file = old;
    file.insert(file.end(), {9, 8, 7});
    file.insert(file.end(), stamp.begin(), stamp.end());
    WriteWholeFile(Page(u"Old_001"), file);

    ASSERT_TRUE(store.ConvertOldPage(u"Old_001"));
    ASSERT_EQ(1u, view.added.size());
    const S_BOARD_FILEHDR& h = view.added[0];
    EXPECT_EQ(3u, h.dwSize);
    EXPECT_EQ(0x44u, h.dwReserved);
    EXPECT_EQ(PAGE_PICTURE, h.byKind);
    EXPECT_EQ(2, h.bySubPage);
    EXPECT_EQ(6u, h.dwNumber);
    EXPECT_EQ(u"a", S_BOARD_FILEHDR::Text(h.szName));
    EXPECT_EQ(u"b", S_BOARD_FILEHDR::Text(h.szTitle));
    std::u16string caption = S_BOARD_FILEHDR::Text(h.szCaption);
    ASSERT_EQ(31u, caption.size());
    EXPECT_EQ(u'\u00C0', caption[0]);

    EXPECT_EQ(PageBytes(h, {9, 8, 7}, {stamp}), ReadWholeFile(Page(u"Old_001")));
    EXPECT_EQ((std::vector<uint8_t>{9, 8, 7}), ReadWholeFile(Background(u"Old_001")));
    EXPECT_EQ(2u, std::distance(std::filesystem::directory_iterator(folders.base),
                                std::filesystem::directory_iterator())); // nothing left beside the folders

    WriteWholeFile(Page(u"Old_002"), std::vector<uint8_t>(50, 0));
    EXPECT_FALSE(store.ConvertOldPage(u"Old_002"));
    EXPECT_FALSE(store.ConvertOldPage(u"Old_404"));
}

TEST_F(StoreFixture, PagesAreMadeFromSourceFiles)
{
    std::filesystem::path source = dir.path / "source.gif";
    std::vector<uint8_t> picture = {'G', 'I', 'F', 1, 2, 3, 4};

    struct Case
    {
        const char* what;
        uint8_t byKind, bySubPage;
        bool bSource, bSourceKept;
        uint8_t byExpectedSub;
        uint32_t dwExpectedNumber;
    } cases[] = {
        {"picture: copied", PAGE_PICTURE, 0, true, true, 0, 0},
        {"capture: moved", PAGE_CAPTURE, 0, true, false, 0, 0},
        {"document page: copied, a page with sub-pages", PAGE_DOCUMENT, 0, true, true, 1, 4},
        {"document page as a sub-page", PAGE_DOCUMENT, 2, true, true, 2, 4},
        {"document page without source", PAGE_DOCUMENT, 0, false, true, 1, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        WriteWholeFile(source, picture);
        WriteWholeFile(Background(u"Conf_004"), {9, 9}); // an older background is replaced
        S_NEW_PAGE page{u"Conf_004", u"Doc", u"Slide 4", c.byKind, c.bySubPage, 4};
        std::optional<S_BOARD_FILEHDR> h = store.CreatePage(c.bSource ? &source : nullptr, page);
        ASSERT_TRUE(h);
        EXPECT_EQ(c.byKind, h->byKind);
        EXPECT_EQ(c.byExpectedSub, h->bySubPage);
        EXPECT_EQ(c.dwExpectedNumber, h->dwNumber);
        EXPECT_EQ(u"Slide 4", S_BOARD_FILEHDR::Text(h->szCaption));
        std::vector<uint8_t> background = c.bSource ? picture : std::vector<uint8_t>{};
        EXPECT_EQ(background.size(), h->dwSize);
        EXPECT_EQ(PageBytes(*h, background), ReadWholeFile(Page(u"Conf_004")));
        if (c.bSource)
        {
            EXPECT_EQ(picture, ReadWholeFile(Background(u"Conf_004")));
        }
        EXPECT_EQ(c.bSourceKept, std::filesystem::exists(source));
    }
    EXPECT_TRUE(view.errors.empty());

    // A source that already is the page's background stays whole.
    std::filesystem::path inPlace = Background(u"Conf_004");
    WriteWholeFile(inPlace, picture);
    ASSERT_TRUE(store.CreatePage(&inPlace, S_NEW_PAGE{u"Conf_004", u"", u"", PAGE_PICTURE, 0, 0}));
    EXPECT_EQ(picture, ReadWholeFile(inPlace));

    std::filesystem::remove(source);
    std::filesystem::remove(Page(u"Conf_004"));
    S_NEW_PAGE page{u"Conf_004", u"", u"", PAGE_CAPTURE, 0, 0};
    EXPECT_FALSE(store.CreatePage(&source, page));
    EXPECT_EQ(std::vector<int>{3}, view.errors);
    EXPECT_FALSE(std::filesystem::exists(Page(u"Conf_004")));
    page.name = u"../Conf_004";
    WriteWholeFile(source, picture);
    EXPECT_FALSE(store.CreatePage(&source, page));
    EXPECT_TRUE(std::filesystem::exists(source));
}
