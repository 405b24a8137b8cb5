// Inbound board messages over a scripted page model: downloads, the queue, pending
// selections, player mode and the bounds every peer message is held to.
#include <gtest/gtest.h>

#include "lmboard2/view/BoardReader.h"
#include "tests/lmboard2_view/BoardViewFakes.h"

namespace
{
using Log = std::vector<std::string>;

std::vector<uint8_t> U32s(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; i++)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

// Code 20: numbered word at 8, count at 12, total at 16 (all in the name area).
std::vector<uint8_t> Announce(uint32_t dwNumbered, uint32_t nCount, uint32_t nTotal,
                              std::vector<uint8_t> numbers = {})
{
    CBoardMessage m(BMSG_UPLOAD_START);
    m.PutNameU32(0, dwNumbered);
    m.PutNameU32(4, nCount);
    m.PutNameU32(8, nTotal);
    m.AppendBytes(numbers.data(), numbers.size());
    return *m.Finish();
}

std::vector<uint8_t> HeaderMsg(const std::u16string& name, uint8_t byKind = PAGE_BLANK)
{
    std::vector<uint8_t> hdr(kBoardFileHeaderSize);
    PageHeader(name, byKind).Write(hdr.data());
    return Msg(BMSG_PAGE_HEADER, name, hdr);
}

struct ReaderTest : ::testing::Test
{
    CScriptedModel model;
    CRecordedEvents events;
    CBoardReader reader{model, events};

    int Read(const std::vector<uint8_t>& m) { return reader.Read(m.data(), m.size()); }
    // Codes 30 and 32 of one page.
    void ReceivePage(const std::u16string& name, uint8_t byKind = PAGE_BLANK)
    {
        ASSERT_EQ(Read(HeaderMsg(name, byKind)), 1);
        ASSERT_EQ(Read(Msg(BMSG_PAGE_COMPLETE, name)), 1);
    }
    Log TakeModel() { return std::exchange(model.log, {}); }
    Log TakeEvents() { return std::exchange(events.log, {}); }
};

TEST_F(ReaderTest, RecordsForADownloadingPageWaitAndAreDrawnInArrivalOrderAfterTheReplay)
{
    model.pages.push_back(PageHeader(u"conf_000"));
    model.nCurrent = 0;
    ASSERT_EQ(Read(Announce(0, 1, 500)), 1);
    EXPECT_EQ(TakeEvents(), (Log{"CreateProgress:1", "Total:500", "Files:1/1"}));

    // conf_001 is not here yet: its record waits, and so does the later one for the listed page.
    EXPECT_EQ(Read(Msg(BMSG_RECORD, u"conf_001", Record(REC_CLEAR))), 0);
    EXPECT_EQ(Read(Msg(BMSG_RECORD, u"conf_000", Record(REC_STAMP))), 0);
    EXPECT_EQ(reader.QueuedCount(), 2u);
    ReceivePage(u"conf_001");
    EXPECT_EQ(Read(Msg(BMSG_TRANSFER_END)), 1);
    EXPECT_EQ(TakeModel(), (Log{"EmptyUploadList", "Begin:conf_001", "AddPage:conf_001", "2131", "Ack:1"}));

    reader.ReplayQueue();
    EXPECT_FALSE(reader.IsDownloading());
    EXPECT_EQ(TakeModel(), (Log{"Store:conf_001:161", "Store:conf_000:170", "Draw:170"}));
    EXPECT_EQ(TakeEvents(), (Log{"DestroyProgress"}));
    // After the replay records go straight to their page.
    EXPECT_EQ(Read(Msg(BMSG_RECORD, u"conf_000", Record(REC_CLEAR))), 1);
    EXPECT_EQ(TakeModel(), (Log{"Store:conf_000:161", "Draw:161"}));
}

TEST_F(ReaderTest, ReplayReselectsTheOnlyPageOutsideWebMode)
{
    model.pages.push_back(PageHeader(u"conf_000"));
    model.nCurrent = 0;
    reader.ReplayQueue();
    EXPECT_EQ(TakeModel(), (Log{"Select:0"}));
    model.bWeb = true;
    reader.ReplayQueue();
    EXPECT_EQ(TakeModel(), Log{});
}

TEST_F(ReaderTest, PendingSelectionIsAppliedWhenItsPageCompletes)
{
    EXPECT_EQ(Read(Msg(BMSG_CURRENT_PAGE, u"conf_001")), 1);
    EXPECT_FALSE(reader.IsModified()) << "a selection alone leaves a played board unmodified";
    ASSERT_EQ(Read(Announce(0, 2, 100)), 1);
    EXPECT_TRUE(reader.IsModified());
    ReceivePage(u"conf_000");
    EXPECT_EQ(model.nCurrent, -1);
    ReceivePage(u"conf_001");
    EXPECT_EQ(model.nCurrent, 1);
}

TEST_F(ReaderTest, PendingSelectionOfADocumentPageWaitsForTheLastFile)
{
    ASSERT_EQ(Read(Announce(0, 2, 100)), 1);
    ASSERT_EQ(Read(Msg(BMSG_CURRENT_PAGE, u"conf_000")), 1);
    ReceivePage(u"conf_000", PAGE_DOCUMENT);
    EXPECT_EQ(model.nCurrent, -1);
    ReceivePage(u"conf_001", PAGE_DOCUMENT);
    EXPECT_EQ(model.nCurrent, 0);
}

TEST_F(ReaderTest, NumberedAnnouncementTakesLocalPagesAndListsThemAtTheEnd)
{
    model.localFiles = {PageHeader(u"conf_002"), PageHeader(u"conf_005")};
    // Pages 2, 3 (not here) and 5, one file still to come.
    ASSERT_EQ(Read(Announce(1, 1, 10, {2, 0, 3, 0, 5, 0})), 1);
    EXPECT_EQ(model.pages.size(), 0u);
    ASSERT_EQ(Read(Msg(BMSG_CURRENT_PAGE, u"conf_005")), 1);
    ReceivePage(u"conf_004");
    // conf_002 sorts before conf_004 and enters first; conf_005 waits for the end.
    EXPECT_EQ(TakeModel(),
              (Log{"EmptyUploadList", "AddPage:conf_002", "Begin:conf_004", "AddPage:conf_004"}));
    ASSERT_EQ(Read(Msg(BMSG_TRANSFER_END)), 1);
    EXPECT_EQ(TakeModel(), (Log{"AddPage:conf_005", "Apply50:conf_005", "2131"}))
        << "no ack for numbered pages";
}

TEST_F(ReaderTest, PlayerModeRefusesWhatWouldChangeTheLiveBoard)
{
    reader.SetPlayerMode(true);
    for (uint8_t byCode : {BMSG_HOST_MODE, BMSG_END_CONVERSION, BMSG_ERROR0})
        EXPECT_EQ(Read(Msg(byCode, u"Capture")), 0) << int(byCode);
    EXPECT_EQ(TakeModel(), Log{});
    EXPECT_EQ(TakeEvents(), Log{});
    reader.SetPlayerMode(false);
    EXPECT_EQ(Read(Msg(BMSG_HOST_MODE, u"ClipBoard")), 1);
    EXPECT_EQ(Read(Msg(BMSG_HOST_MODE, u"Edit_Del")), 1);
    EXPECT_EQ(Read(Msg(BMSG_END_CONVERSION)), 1);
    EXPECT_EQ(TakeModel(), (Log{"2125:5:ClipBoard", "EndConversion"}));
    EXPECT_EQ(TakeEvents(), (Log{"DeletePage:0", "Error:2"}));
}

TEST_F(ReaderTest, AgendaOrderListsPagesFirstMiddleLast)
{
    std::vector<uint8_t> order(8 + 3 * 12);
    std::vector<uint8_t> msg = Msg(BMSG_AGENDA_ORDER, u"conf_001", order);
    msg[76] = 3;
    model.order.emplace();
    for (const char16_t* name : {u"conf_000", u"conf_001", u"conf_002"})
        model.order->push_back(PageHeader(name));
    EXPECT_EQ(Read(msg), 1);
    EXPECT_EQ(TakeEvents(), (Log{"AddPage1:conf_000", "AddPage0:conf_001", "AddPage2:conf_002"}));

    model.order->resize(1);
    EXPECT_EQ(Read(msg), 1);
    EXPECT_EQ(TakeEvents(), (Log{"AddPage2:conf_000"})) << "a single page is the last";

    model.order = {{PageHeader(u"conf_000"), std::nullopt, PageHeader(u"conf_002")}};
    EXPECT_EQ(Read(msg), 0);
    EXPECT_EQ(TakeEvents(), (Log{"AddPage1:conf_000"})) << "an empty slot ends the list";
}

TEST_F(ReaderTest, UploadCancelDropsThePageBeingReceived)
{
    ASSERT_EQ(Read(Announce(0, 3, 100)), 1);
    ASSERT_EQ(Read(HeaderMsg(u"conf_000")), 1);
    TakeEvents();
    EXPECT_EQ(Read(Msg(BMSG_UPLOAD_CANCEL)), 1);
    EXPECT_FALSE(reader.IsDownloading());
    EXPECT_EQ(TakeEvents(), (Log{"DestroyProgress"}));
    EXPECT_EQ(TakeModel().back(), "CancelReceive");
    // The counts went with it: the next end of transfer sends no acknowledgement.
    ASSERT_EQ(Read(Msg(BMSG_TRANSFER_END)), 1);
    EXPECT_EQ(TakeModel(), (Log{"2131"}));
}

TEST_F(ReaderTest, ZoomEBookAndErrorCodesReachTheirTargets)
{
    std::vector<uint8_t> zoom = Msg(BMSG_ZOOM);
    zoom[8] = 175;
    EXPECT_EQ(Read(zoom), 1);
    EXPECT_EQ(Read(Msg(BMSG_EBOOK, u"Book", U32s({2, 3, 4, 900}))), 1);
    EXPECT_TRUE(reader.IsDownloading());
    EXPECT_EQ(TakeModel(), (Log{"Zoom:175", "EBook:Book:2,3,4"}));
    EXPECT_EQ(Read(Msg(BMSG_ERROR7)), 1);
    EXPECT_EQ(Read(Msg(BMSG_ERROR8)), 1);
    EXPECT_EQ(Read(Msg(BMSG_ERROR0)), 1);
    EXPECT_EQ(Read(Msg(99)), 1);
    EXPECT_EQ(TakeEvents(), (Log{"Total:900", "Error:7", "Error:8", "Error:0"}));
}

// A peer's message reaches no page file or list unless it is whole and its names are page names.
TEST_F(ReaderTest, MalformedMessagesAndUnsafeNamesAreRefused)
{
    model.pages.push_back(PageHeader(u"conf_000"));
    std::vector<uint8_t> ok = Msg(BMSG_RECORD, u"conf_000", Record(REC_CLEAR));
    std::vector<uint8_t> longPayload = ok;
    longPayload[4] = 5; // payload length past the end
    std::vector<uint8_t> unterminated = Msg(BMSG_PAGE_DELETE, u"conf_000");
    for (size_t i = 8; i < 72; i += 2)
        unterminated[i] = 'a';
    std::vector<uint8_t> oversized(kBoardMsgBuffer + 1);
    oversized[0] = BMSG_ERROR7;
    std::vector<uint8_t> shortOrder = Msg(BMSG_AGENDA_ORDER, u"conf_000", std::vector<uint8_t>(8 + 12));
    shortOrder[76] = 2;

    const std::vector<std::vector<uint8_t>> refused = {
        std::vector<uint8_t>(ok.begin(), ok.begin() + 71),
        longPayload,
        oversized,
        unterminated,
        Msg(BMSG_PAGE_DELETE, u"..\\..\\boot.ini"),
        Msg(BMSG_PAGE_DELETE, u"C:x"),
        Msg(BMSG_RECORD, u"../conf_000", Record(REC_CLEAR)),
        Msg(BMSG_PAGE_COMPLETE, u"a/b"),
        Msg(BMSG_CURRENT_PAGE, u".."),
        HeaderMsg(u"..\\x"),
        Msg(BMSG_PAGE_HEADER, u"conf_000", std::vector<uint8_t>(207)),
        Msg(BMSG_AGENDA_NAME, u"conf_000", std::vector<uint8_t>(71)),
        Msg(BMSG_AGENDA_NAME, u"..", std::vector<uint8_t>(72)),
        Msg(BMSG_EBOOK, u"Book", std::vector<uint8_t>(15)),
        shortOrder,
        Msg(BMSG_AGENDA_ORDER, u"conf_000", std::vector<uint8_t>(3)), // no room for the count
    };
    for (size_t i = 0; i < refused.size(); i++)
        EXPECT_EQ(reader.Read(refused[i].data(), refused[i].size()), 0) << "row " << i;
    EXPECT_EQ(reader.Read(nullptr, 100), 0);
    EXPECT_EQ(TakeModel(), Log{});
    EXPECT_EQ(TakeEvents(), Log{});

    EXPECT_EQ(Read(Msg(BMSG_AGENDA_NAME, u"conf_000", std::vector<uint8_t>(72))), 1);
    EXPECT_EQ(TakeModel(), (Log{"Rename:conf_000"}));
    EXPECT_EQ(TakeEvents(), (Log{"Renamed"}));
}
} // namespace
