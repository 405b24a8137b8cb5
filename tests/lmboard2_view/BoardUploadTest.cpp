// The upload's file list, picture detection, page numbers and the worker's loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Utf8Text.h"
#include "lmboard2/view/BoardUpload.h"

namespace
{
TEST(BoardUpload, FileListKindsTitlesAndNumbers)
{
    EXPECT_EQ(SplitFileList(u"C:\\a.png|C:\\b c.JPG||d.gif|"),
              (std::vector<std::u16string>{u"C:\\a.png", u"C:\\b c.JPG", u"d.gif"}));
    EXPECT_TRUE(SplitFileList(u"").empty());
    EXPECT_TRUE(SplitFileList(u"||").empty());

    struct Row
    {
        const char16_t* path;
        UploadFileKind kind;
        const char16_t* title;
    };
    const Row rows[] = {
        {u"C:\\pics\\Sea.JPG", UploadFileKind::Picture, u"Sea"},
        {u"a.jpeg", UploadFileKind::Picture, u"a"},
        {u"a.b.png", UploadFileKind::Picture, u"a.b"},
        {u"x.bmp", UploadFileKind::Picture, u"x"},
        {u"x.GIF", UploadFileKind::Picture, u"x"},
        {u"talk.pptx", UploadFileKind::Presentation, u"talk"},
        {u"report.pdf", UploadFileKind::Document, u"report"},
        {u"C:\\dir.png\\noext", UploadFileKind::Document, u"noext"},
        {u"/tmp/.png", UploadFileKind::Picture, u".png"},
    };
    for (const Row& r : rows)
    {
        EXPECT_EQ(ClassifyUploadFile(r.path), r.kind) << Utf8Of(std::u16string(r.path));
        EXPECT_EQ(FileTitleOf(r.path), r.title) << Utf8Of(std::u16string(r.path));
    }

    EXPECT_EQ(NextPageNumber({}), 0);
    EXPECT_EQ(NextPageNumber({u"conf_000"}), 1);
    EXPECT_EQ(NextPageNumber({u"conf_000", u"conf_007", u"conf_003", u"odd"}), 8);
}

S_BOARD_FILEHDR Page(const char16_t* name, uint8_t byKind = PAGE_PICTURE)
{
    S_BOARD_FILEHDR h;
    h.byKind = byKind;
    S_BOARD_FILEHDR::SetText(h.szName, name);
    return h;
}

// Records the loop's steps; sending fails or cancels at a chosen page.
struct UploadRecorder : IUploadSteps
{
    std::vector<std::string> log;
    size_t nFailAt = SIZE_MAX;   // SendPage of this page (from 0) fails
    size_t nCancelAt = SIZE_MAX; // the upload is cancelled while this page goes
    size_t nSending = 0;
    bool bCancelled = false;

    void FileCount(uint32_t n, uint32_t nTotal) override
    {
        log.push_back("count " + std::to_string(n) + "/" + std::to_string(nTotal));
    }
    bool SendPage(const S_BOARD_FILEHDR& hdr) override
    {
        size_t n = nSending++;
        if (n == nCancelAt) bCancelled = true;
        bool bOk = n != nFailAt && !bCancelled;
        log.push_back((bOk ? "sent " : "failed ") + Utf8Of(S_BOARD_FILEHDR::Text(hdr.szName)));
        return bOk;
    }
    bool Cancelled() override { return bCancelled; }
    void ShowFirstPage(int n) override { log.push_back("show " + std::to_string(n)); }
    void DropUnsent(const S_BOARD_FILEHDR& hdr) override
    {
        log.push_back("drop " + Utf8Of(S_BOARD_FILEHDR::Text(hdr.szName)));
    }
};

using Log = std::vector<std::string>;

TEST(BoardUpload, WorkerLoop)
{
    const std::vector<S_BOARD_FILEHDR> pictures = {Page(u"c_001"), Page(u"c_002"), Page(u"c_003")};
    const std::vector<S_BOARD_FILEHDR> document = {Page(u"c_001", PAGE_DOCUMENT),
                                                   Page(u"c_002", PAGE_DOCUMENT)};
    struct Row
    {
        const char* what;
        const std::vector<S_BOARD_FILEHDR>& pages;
        size_t nFailAt, nCancelAt;
        Log want;
        bool bCancelled, bDocument;
        size_t nSent;
    };
    const Row rows[] = {
        {"all pictures",
         pictures,
         SIZE_MAX,
         SIZE_MAX,
         {"count 1/3", "sent c_001", "show 4", "count 2/3", "sent c_002", "count 3/3", "sent c_003"},
         false,
         false,
         3},
        // A document's first page is shown once its second has gone too.
        {"document",
         document,
         SIZE_MAX,
         SIZE_MAX,
         {"count 1/2", "sent c_001", "count 2/2", "sent c_002", "show 4"},
         false,
         true,
         2},
        // A failure ends the loop; without a cancel the unsent files stay.
        {"failure",
         pictures,
         1,
         SIZE_MAX,
         {"count 1/3", "sent c_001", "show 4", "count 2/3", "failed c_002"},
         false,
         false,
         1},
        // A cancel drops every page not sent, the one under way included.
        {"cancel",
         pictures,
         SIZE_MAX,
         1,
         {"count 1/3", "sent c_001", "show 4", "count 2/3", "failed c_002", "drop c_002", "drop c_003"},
         true,
         false,
         1},
        {"empty", {}, SIZE_MAX, SIZE_MAX, {}, false, false, 0},
    };
    for (const Row& r : rows)
    {
        UploadRecorder rec;
        rec.nFailAt = r.nFailAt;
        rec.nCancelAt = r.nCancelAt;
        UploadResult res = RunUpload(rec, r.pages, 4);
        EXPECT_EQ(rec.log, r.want) << r.what;
        EXPECT_EQ(res.bCancelled, r.bCancelled) << r.what;
        EXPECT_EQ(res.bDocument, r.bDocument) << r.what;
        EXPECT_EQ(res.nSent, r.nSent) << r.what;
    }
}
} // namespace
