// The board host's tables, inbound board data and error notices.
#include <gtest/gtest.h>

#include "confclient/boardhost/BoardHostFeature.h"
#include "tests/session/RecordedNotices.h"

namespace
{
struct LineLog : ILogSink
{
    std::vector<std::pair<int, std::string>> lines;
    void AddLog(int nLevel, const std::string& utf8) override { lines.emplace_back(nLevel, utf8); }
};

TEST(BoardHostTables, ErrorKeysDifferBetweenRoomAndLobby)
{
    struct Row
    {
        int nErr;
        const char* pszRoom;
        const char* pszLobby;
    };
    const Row rows[] = {
        {0, "IDS_PLAY_FILEREADFAIL", "IDS_PLAY_FILEREADFAIL"},
        {1, "IDMS_BOARD_UNSUPPORT", "IDMS_BOARD_UNSUPPORT"},
        {2, "IDMS_BOARD_UPLOCK", "IDMS_BOARD_UPLOCK"},
        {3, "IDMS_BOARD_COPYFAIL", "IDMS_BOARD_COPYFAIL_AGENDA"},
        {4, "IDMS_BOARD_OVERFLOWPAGE", "IDMS_BOARD_OVERFLOWPAGE"},
        {5, "IDMS_BOARD_OPENFAIL_ACCESS_DENIED", "IDMS_BOARD_OPENFAIL_ACCESS_DENIED"},
        {6, nullptr, nullptr},
        {7, "IDMS_BOARD_CHANGEORDERFAIL", nullptr},
        {8, "IDMS_BOARD_RENAMEFAIL", nullptr},
        {9, nullptr, "IDMS_BOARD_ALREADY_USE"},
        {10, nullptr, nullptr},
        {-1, nullptr, nullptr},
    };
    for (const Row& r : rows)
    {
        const char* pszRoom = BoardErrorTextKey(r.nErr, false);
        const char* pszLobby = BoardErrorTextKey(r.nErr, true);
        EXPECT_STREQ(pszRoom, r.pszRoom) << r.nErr;
        EXPECT_STREQ(pszLobby, r.pszLobby) << r.nErr;
    }
}

TEST(BoardHostTables, ZoomMenuAndDrawModeFeedback)
{
    const std::pair<int, unsigned> zooms[] = {{25, 32941},   {50, 32942},   {75, 32943},  {100, 32944},
                                              {125, 32945},  {150, 32946},  {200, 32947}, {300, 32948},
                                              {4096, 32949}, {8192, 32950}, {175, 32987}, {10, 32987}};
    for (auto [nZoom, nId] : zooms)
    {
        EXPECT_TRUE(IsReportedZoom(nZoom)) << nZoom;
        EXPECT_EQ(ZoomMenuId(nZoom), nId) << nZoom;
    }
    for (int nZoom : {5, 9, 301, 4095, 0})
        EXPECT_FALSE(IsReportedZoom(nZoom)) << nZoom;

    EXPECT_EQ(DrawModeButton(0, false).nButton, 1392u);
    EXPECT_EQ(DrawModeButton(0, false).nCommand, 32928u);
    EXPECT_EQ(DrawModeButton(0, true).nButton, 1393u);
    EXPECT_EQ(DrawModeButton(0, true).nCommand, 32930u);
    EXPECT_EQ(DrawModeButton(2, false).nButton, 1395u);
    EXPECT_EQ(DrawModeButton(6, true).nButton, 1389u);
    for (int nMode : {1, 3, 4, 5, 7, 13})
        EXPECT_EQ(DrawModeButton(nMode, false).nButton, 0u) << nMode;
}

TEST(BoardHostFeature, DownloadFlagFollowsCodesTwentyAndTenOutsidePlayback)
{
    RecordedNotices notices;
    CBoardHostFeature host(notices, nullptr);
    const uint8_t start[] = {20, 0}, end[] = {10, 0}, record[] = {60, 0};
    // Set even when the room's panels are not there and the message is dropped.
    EXPECT_FALSE(host.OnInbound(start, sizeof start, false, false));
    EXPECT_TRUE(host.IsDownloading());
    EXPECT_TRUE(host.OnInbound(record, sizeof record, false, true));
    EXPECT_TRUE(host.IsDownloading());
    EXPECT_TRUE(host.OnInbound(end, sizeof end, false, true));
    EXPECT_FALSE(host.IsDownloading());
    // Playback passes everything and leaves the flag alone.
    EXPECT_TRUE(host.OnInbound(start, sizeof start, true, false));
    EXPECT_FALSE(host.IsDownloading());
    // An empty message is not read.
    EXPECT_FALSE(host.OnInbound(start, 0, false, true));
    EXPECT_FALSE(host.OnInbound(nullptr, 5, true, true));
    EXPECT_FALSE(host.IsDownloading());
}

TEST(BoardHostFeature, ErrorsAreLoggedWithTheirCodeAndShown)
{
    RecordedNotices notices;
    LineLog log;
    CBoardHostFeature host(notices, &log);
    EXPECT_EQ(host.OnErrorMessage(3, false), u"<IDMS_BOARD_COPYFAIL>");
    EXPECT_EQ(host.OnErrorMessage(3, true), u"<IDMS_BOARD_COPYFAIL_AGENDA>");
    EXPECT_EQ(host.OnErrorMessage(9, false), u"") << "code 9 has a text only in the lobby";
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0],
              (std::pair<int, std::string>{LOG_ERROR, "[Conference Board] <IDMS_BOARD_COPYFAIL> (3)"}));
    EXPECT_EQ(log.lines[1].second, "[Lobby Board] <IDMS_BOARD_COPYFAIL_AGENDA> (3)");
    EXPECT_EQ(log.lines[2].second, "[Conference Board]  (9)");
    EXPECT_EQ(notices.boxes,
              (std::vector<std::u16string>{u"<IDMS_BOARD_COPYFAIL>", u"<IDMS_BOARD_COPYFAIL_AGENDA>", u""}));
}
} // namespace
