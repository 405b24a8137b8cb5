// The bar's recording over a fake engine, session and bar: file names, kinds, the record command,
// automatic starts and their timers on a test clock, and the stop texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "confclient/media/RecordControl.h"
#include "tests/session/RecordedLog.h"
#include "tests/session/RecordedNotices.h"

namespace
{
// Folders and files by path; a folder is made only when its parent exists.
struct FakeFiles : IRecordFiles
{
    std::set<std::u16string> paths{u"C:", u"C:\\Rec", u"D:"};
    std::vector<std::u16string> made;
    bool Exists(const std::u16string& s) override { return paths.count(s) != 0; }
    bool MakeFolder(const std::u16string& s) override
    {
        size_t nSep = s.rfind(u'\\');
        if (nSep == std::u16string::npos || !paths.count(s.substr(0, nSep))) return false;
        paths.insert(s);
        made.push_back(s);
        return true;
    }
};

struct FakeEngine : IRecordEngine
{
    int nState = 0;
    bool bRefuseKinds = true; // kinds 1 and 2 have no recorder
    bool bStopFails = false;
    std::vector<std::pair<std::u16string, int>> starts;
    std::vector<int> stops;
    FakeFiles* pFiles = nullptr;
    bool StartRecording(const std::u16string& szPath, int nKind) override
    {
        starts.emplace_back(szPath, nKind);
        if (nKind != RECORD_KIND_PLAYER && bRefuseKinds) return false;
        nState = 1;
        if (pFiles) pFiles->paths.insert(szPath);
        return true;
    }
    bool StopRecording(int nReason) override
    {
        stops.push_back(nReason);
        nState = 0;
        return !bStopFails;
    }
    int RecordState() const override { return nState; }
};

struct FakeHost : IRecordHost
{
    S_RECORDROOM room;
    uint32_t nFilterIndex = 0;
    std::vector<uint32_t> writtenIndexes;
    std::vector<std::string> sent;
    uint32_t dwTick = 1000;
    S_LOCALMINUTE minute{2026, 12, 11, 9, 5};

    FakeHost()
    {
        room.szProduct = u"Quillon";
        room.szRecordFolder = u"C:\\Rec";
        room.szDefaultFolder = u"C:\\Docs";
        room.dwMinuteMs = 60000;
    }
    S_RECORDROOM RecordRoom() const override { return room; }
    uint32_t ReadFilterIndex() override { return nFilterIndex; }
    void WriteFilterIndex(uint32_t n) override
    {
        nFilterIndex = n;
        writtenIndexes.push_back(n);
    }
    void SendRecordState(bool bOn) override { sent.push_back(bOn ? "490 on" : "490 off"); }
    void SendListenerNotice() override { sent.push_back("544"); }
    S_LOCALMINUTE LocalMinute() override { return minute; }
    uint32_t TickCount() override { return dwTick; }
};

struct FakeBar : IRecordBarView
{
    bool bChecked = false;
    std::set<int> timers;
    // The dialog's answer: empty cancels; the filter index it ends on.
    std::u16string szAnswer;
    uint32_t nAnswerIndex = 1;
    S_RECORDNAME asked;
    std::u16string szFilter;
    int nAsked = 0;
    void SetRecordCheck(bool b) override { bChecked = b; }
    bool AskRecordPath(const S_RECORDNAME& name, const std::u16string& filter, std::u16string& szPath,
                       uint32_t& nIndex) override
    {
        ++nAsked;
        asked = name;
        szFilter = filter;
        nIndex = nAnswerIndex;
        szPath = szAnswer;
        return !szAnswer.empty();
    }
    void SetRecordTimer(int nId, bool bOn) override
    {
        if (bOn)
            timers.insert(nId);
        else
            timers.erase(nId);
    }
    void SaveRoomPlacement() override {}
};

struct Rig
{
    FakeFiles files;
    FakeEngine engine;
    FakeHost host;
    FakeBar bar;
    RecordedNotices notices;
    RecordedLog log;
    CRecordControl control{engine, host, bar, files, notices, &log};
    Rig() { engine.pFiles = &files; }
    void Tick(uint32_t dwMs)
    {
        host.dwTick += dwMs;
        for (int nId : std::set<int>(bar.timers))
            control.OnTimer(nId);
    }
};
} // namespace

TEST(RecordFileName, NamesFoldersAndExtensions)
{
    struct Case
    {
        const char* pszWhat;
        bool bAutomatic;
        const char16_t* pszPreset;
        const char16_t* pszRecordFolder;
        bool bRv;
        uint32_t nAutoKind;
        uint32_t nFilterIndex;
        std::vector<std::u16string> existing;
        const char16_t* pszPath;
        std::vector<std::u16string> made;
    };
    const Case cases[] = {
        {"by the user, player file",
         false,
         u"",
         u"C:\\Rec",
         false,
         0,
         1,
         {},
         u"C:\\Rec\\202612110905.qn",
         {}},
        {"RV edition", false, u"", u"C:\\Rec", true, 0, 0, {}, u"C:\\Rec\\202612110905.rv", {}},
        {"filter 3 is mp4", false, u"", u"C:\\Rec", false, 0, 3, {}, u"C:\\Rec\\202612110905.mp4", {}},
        {"filter 2 is wmv", false, u"", u"C:\\Rec", false, 0, 2, {}, u"C:\\Rec\\202612110905.wmv", {}},
        {"no record folder: the default", false, u"", u"", false, 0, 0, {}, u"C:\\Docs\\202612110905.qn", {}},
        {"same minute: _1",
         false,
         u"",
         u"C:\\Rec",
         false,
         0,
         1,
         {u"C:\\Rec\\202612110905.qn"},
         u"C:\\Rec\\202612110905_1.qn",
         {}},
        {"then _2",
         false,
         u"",
         u"C:\\Rec",
         false,
         0,
         1,
         {u"C:\\Rec\\202612110905.qn", u"C:\\Rec\\202612110905_1.qn"},
         u"C:\\Rec\\202612110905_2.qn",
         {}},
        {"another extension is no clash",
         false,
         u"",
         u"C:\\Rec",
         false,
         0,
         2,
         {u"C:\\Rec\\202612110905.qn"},
         u"C:\\Rec\\202612110905.wmv",
         {}},
        {"automatic, wmv room", true, u"", u"C:\\Rec", false, 2, 3, {}, u"C:\\Rec\\202612110905.wmv", {}},
        {"automatic ignores the filter",
         true,
         u"",
         u"C:\\Rec",
         false,
         0,
         3,
         {},
         u"C:\\Rec\\202612110905.qn",
         {}},
        {"preset in a nested missing folder",
         true,
         u"D:\\a\\b\\c\\talk.qn",
         u"C:\\Rec",
         false,
         2,
         0,
         {},
         u"D:\\a\\b\\c\\talk.qn",
         {u"D:\\a", u"D:\\a\\b", u"D:\\a\\b\\c"}},
        {"preset taken: _1",
         true,
         u"C:\\Rec\\talk.qn",
         u"",
         false,
         0,
         0,
         {u"C:\\Rec\\talk.qn"},
         u"C:\\Rec\\talk_1.qn",
         {}},
        {"preset without extension: the room's kind",
         true,
         u"C:\\Rec\\talk",
         u"",
         false,
         2,
         0,
         {},
         u"C:\\Rec\\talk.wmv",
         {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        FakeFiles files;
        for (const auto& e : c.existing)
            files.paths.insert(e);
        S_RECORDNAMEINPUT in;
        in.bAutomatic = c.bAutomatic;
        in.szPresetPath = c.pszPreset;
        in.szRecordFolder = c.pszRecordFolder;
        in.szDefaultFolder = u"C:\\Docs";
        in.bRvEdition = c.bRv;
        in.nAutoKind = c.nAutoKind;
        in.nFilterIndex = c.nFilterIndex;
        in.now = {2026, 12, 11, 9, 5};
        S_RECORDNAME name = MakeRecordFileName(in, files);
        EXPECT_EQ(name.Path(), c.pszPath);
        EXPECT_TRUE(name.bFolderReady);
        EXPECT_EQ(files.made, c.made);
        EXPECT_EQ(name.nFilterIndex, c.bAutomatic ? 0u : c.nFilterIndex);
    }
}

TEST(RecordFileName, PresetFolderThatCannotBeMadeIsReported)
{
    FakeFiles files;
    S_RECORDNAMEINPUT in;
    in.bAutomatic = true;
    in.szPresetPath = u"Q:\\x\\talk.qn"; // no drive Q: to make it on
    EXPECT_FALSE(MakeRecordFileName(in, files).bFolderReady);
    EXPECT_TRUE(MakeFolderLevels(u"\\\\server\\share\\rec\\", files) == false);
}

TEST(RecordFileName, KindByExtensionAndTheFilterOfATypedName)
{
    struct Case
    {
        const char16_t* pszTyped;
        uint32_t nFilterIndex;
        const char16_t* pszPath;
        int nKind;
    };
    const Case cases[] = {
        {u"C:\\Rec\\a.WMV", 1, u"C:\\Rec\\a.WMV", RECORD_KIND_WMV},
        {u"C:\\Rec\\x.Mp4", 1, u"C:\\Rec\\x.Mp4", RECORD_KIND_MP4},
        {u"C:\\Rec\\talk.qn", 3, u"C:\\Rec\\talk.qn", RECORD_KIND_PLAYER},
        {u"C:\\Rec\\talk.txt", 3, u"C:\\Rec\\talk.txt", RECORD_KIND_PLAYER},
        {u"C:\\Rec\\talk", 3, u"C:\\Rec\\talk.mp4", RECORD_KIND_MP4},
        {u"C:\\Rec\\talk", 2, u"C:\\Rec\\talk.wmv", RECORD_KIND_WMV},
        {u"C:\\Rec\\talk", 0, u"C:\\Rec\\talk.qn", RECORD_KIND_PLAYER},
        {u"C:\\Rec.d\\talk", 1, u"C:\\Rec.d\\talk.qn", RECORD_KIND_PLAYER},
        {u"C:\\Rec\\talk.", 2, u"C:\\Rec\\talk.wmv", RECORD_KIND_WMV},
    };
    for (const Case& c : cases)
    {
        std::u16string path = WithFilterExtension(c.pszTyped, c.nFilterIndex, false);
        EXPECT_EQ(path, c.pszPath);
        EXPECT_EQ(RecordKindOfPath(path), c.nKind);
    }
}

TEST(RecordFileName, Filters)
{
    EXPECT_EQ(RecordFilter(u"Quillon", false, true), u"Quillon Player file (*.qn)|*.qn; ||");
    EXPECT_EQ(RecordFilter(u"Quillon", true, false), u"Quillon Player file (*.rv)|*.rv; |WMV Record file "
                                                     u"(*.wmv)|*.wmv; |MP4 Record file (*.mp4)|*.mp4; ||");
}

TEST(RecordControl, RecordCommandStartsStopsAndTellsTheRoom)
{
    struct Case
    {
        const char* pszWhat;
        bool bBlocked;
        bool bListener;
        std::u16string szAnswer; // empty: cancel
        uint32_t nAnswerIndex;
        std::vector<std::pair<std::u16string, int>> starts;
        bool bChecked;
        std::vector<std::string> sent;
        std::vector<std::u16string> notices;
    };
    const std::u16string kPath = u"C:\\Rec\\talk.qn";
    const Case cases[] = {
        {"blocked", true, false, kPath, 1, {}, false, {}, {u"<IDS_RECORD_NOTSTART>"}},
        {"cancel", false, false, u"", 3, {}, false, {}, {}},
        {"player file", false, false, kPath, 1, {{kPath, 0}}, true, {"490 on"}, {u"<IDS_RECORD_END_ST>"}},
        {"listener", false, true, kPath, 1, {{kPath, 0}}, true, {"544"}, {u"<IDS_RECORD_END_ST>"}},
        {"mp4 is refused",
         false,
         false,
         u"C:\\Rec\\talk",
         3,
         {{u"C:\\Rec\\talk.mp4", 2}},
         false,
         {},
         {u"<IDS_RECORD_END_FA>"}},
        {"wmv is refused",
         false,
         false,
         u"C:\\Rec\\talk.WMV",
         1,
         {{u"C:\\Rec\\talk.WMV", 1}},
         false,
         {},
         {u"<IDS_RECORD_END_FA>"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        Rig r;
        r.host.room.bBlocked = c.bBlocked;
        r.host.room.bListener = c.bListener;
        r.host.nFilterIndex = 2;
        r.bar.szAnswer = c.szAnswer;
        r.bar.nAnswerIndex = c.nAnswerIndex;
        r.bar.bChecked = true; // the click
        r.control.OnRecordCommand();
        EXPECT_EQ(r.engine.starts, c.starts);
        EXPECT_EQ(r.bar.bChecked, c.bChecked);
        EXPECT_EQ(r.host.sent, c.sent);
        EXPECT_EQ(r.notices.chatNotices, c.notices);
        EXPECT_EQ(r.bar.nAsked, c.bBlocked ? 0 : 1);
        // The dialog opened on the stored filter; its index is stored whatever the answer.
        if (!c.bBlocked)
        {
            EXPECT_EQ(r.bar.asked.nFilterIndex, 2u);
            EXPECT_EQ(r.bar.asked.szExt, u"wmv");
            EXPECT_EQ(r.host.writtenIndexes, std::vector<uint32_t>{c.nAnswerIndex});
        }
        else
            EXPECT_TRUE(r.host.writtenIndexes.empty());
    }
}

TEST(RecordControl, SecondCommandStopsWithTheRoomToldOnce)
{
    Rig r;
    r.bar.szAnswer = u"C:\\Rec\\talk.qn";
    r.control.OnRecordCommand();
    r.control.OnRecordCommand();
    EXPECT_EQ(r.engine.stops, std::vector<int>{RECORD_STOP_NORMAL});
    EXPECT_FALSE(r.bar.bChecked);
    EXPECT_EQ(r.host.sent, (std::vector<std::string>{"490 on", "490 off"}));
    EXPECT_EQ(r.notices.chatNotices,
              (std::vector<std::u16string>{u"<IDS_RECORD_END_ST>", u"<IDS_RECORD_END_SU>"}));
    // A status the engine posts afterwards (or for a refused start) is nobody's.
    r.control.OnEngineStatus(RECORD_STOP_FAILED);
    EXPECT_EQ(r.notices.chatNotices.size(), 2u);
}

TEST(RecordControl, StopTextsByReason)
{
    struct Case
    {
        int nReason;
        bool bStopFails;
        std::vector<std::u16string> notices;
        std::vector<std::u16string> boxes;
        const char* pszLogLevel;
    };
    const Case cases[] = {
        {RECORD_STOP_NORMAL, false, {u"<IDS_RECORD_END_SU>"}, {}, "2 "},
        {RECORD_STOP_NORMAL, true, {u"<IDS_RECORD_END_FA>"}, {}, "4 "},
        {RECORD_STOP_FAILED, false, {u"<IDS_RECORD_END_FA>"}, {}, "4 "},
        {RECORD_STOP_SERVER_MP4, false, {u"<IDS_RECORD_END_SVRMP4>"}, {}, "4 "},
        {RECORD_STOP_SIZE_LIMIT, false, {}, {u"<IDS_RECORD_END_OF>"}, "4 "},
        {4040, false, {}, {}, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nReason);
        Rig r;
        r.engine.bStopFails = c.bStopFails;
        ASSERT_TRUE(r.control.StartRecord(u"C:\\Rec\\a.qn", 0));
        r.notices.chatNotices.clear();
        r.log.lines.clear();
        r.control.StopRecord(c.nReason);
        EXPECT_EQ(r.notices.chatNotices, c.notices);
        EXPECT_EQ(r.notices.boxes, c.boxes);
        if (c.pszLogLevel)
        {
            ASSERT_EQ(r.log.lines.size(), 1u);
            EXPECT_EQ(r.log.lines[0].rfind(c.pszLogLevel, 0), 0u) << r.log.lines[0];
        }
        else
            EXPECT_TRUE(r.log.lines.empty());
        EXPECT_EQ(r.host.sent.back(), "490 off");
    }
}

TEST(RecordControl, EmptyTextsAreNeverPosted)
{
    struct SilentNotices : RecordedNotices
    {
        std::u16string Text(const char*) const override { return u""; }
    } notices;
    Rig r;
    CRecordControl control{r.engine, r.host, r.bar, r.files, notices, &r.log};
    control.StartRecord(u"C:\\Rec\\a.qn", 0);
    control.StopRecord(RECORD_STOP_NORMAL);
    control.StartRecord(u"C:\\Rec\\a.mp4", RECORD_KIND_MP4);
    control.StartRecord(u"C:\\Rec\\b.qn", 0);
    control.StopRecord(RECORD_STOP_SIZE_LIMIT);
    EXPECT_TRUE(notices.chatNotices.empty());
    EXPECT_TRUE(notices.boxes.empty());
}

TEST(RecordControl, TheStatusOfARefusedStartDoesNotStopTheNextRecording)
{
    Rig r;
    r.control.StartRecord(u"C:\\Rec\\a.mp4", RECORD_KIND_MP4);
    r.control.StartRecord(u"C:\\Rec\\a.qn", RECORD_KIND_PLAYER);
    r.control.OnEngineStatus(RECORD_STOP_FAILED); // the refusal's, posted before the second start
    EXPECT_TRUE(r.engine.stops.empty());
    EXPECT_TRUE(r.bar.bChecked);
    r.control.OnEngineStatus(RECORD_STOP_FAILED); // a write failure of the running recording
    EXPECT_EQ(r.engine.stops, std::vector<int>{RECORD_STOP_FAILED});
}

TEST(RecordControl, EngineStatusStopsTheRecording)
{
    Rig r;
    r.control.StartRecord(u"C:\\Rec\\a.qn", 0);
    r.control.OnEngineStatus(RECORD_STOP_SIZE_LIMIT);
    EXPECT_EQ(r.engine.stops, std::vector<int>{RECORD_STOP_SIZE_LIMIT});
    EXPECT_EQ(r.notices.boxes, std::vector<std::u16string>{u"<IDS_RECORD_END_OF>"});
    EXPECT_FALSE(r.bar.bChecked);
}

TEST(RecordControl, PlaybackSendsNothingAndStartsNoAutomaticRecording)
{
    Rig r;
    r.host.room.bPlayback = true;
    r.control.StartAutoRecord();
    r.control.StartRecordTimer();
    EXPECT_TRUE(r.engine.starts.empty());
    EXPECT_TRUE(r.bar.timers.empty());
    // A listener recording a played conference takes the 490 path, which sends nothing in
    // playback; 544 is a live listener's only.
    r.host.room.bListener = true;
    r.control.StartRecord(u"C:\\Rec\\a.qn", 0);
    EXPECT_EQ(r.host.sent, std::vector<std::string>{"490 on"});
}

TEST(RecordControl, AutomaticRecordingWaitsWhileBlocked)
{
    Rig r;
    r.host.room.bBlocked = true;
    r.control.StartAutoRecord();
    EXPECT_TRUE(r.engine.starts.empty());
    EXPECT_EQ(r.bar.timers, std::set<int>{RECORD_TIMER_RETRY});
    r.Tick(1000);
    EXPECT_TRUE(r.engine.starts.empty());
    r.host.room.bBlocked = false; // the chief granted the record right
    r.Tick(1000);
    ASSERT_EQ(r.engine.starts.size(), 1u);
    EXPECT_EQ(r.engine.starts[0], (std::pair<std::u16string, int>{u"C:\\Rec\\202612110905.qn", 0}));
    EXPECT_FALSE(r.bar.timers.count(RECORD_TIMER_RETRY));
    EXPECT_EQ(r.notices.chatNotices, std::vector<std::u16string>{u"<IDS_RECORD_END_ST>"});
}

TEST(RecordControl, AutomaticIntervalAndLength)
{
    struct Case
    {
        const char* pszWhat;
        uint16_t wInterval;
        uint16_t wLength;
        bool bTimer;      // 1257 runs after the start
        uint32_t dwRunMs; // how long the test lets it run
        size_t nStarts;   // recordings started by then
        size_t nStops;    // and stopped
    };
    const Case cases[] = {
        {"interval 0, length 1: one minute, then the next", 0, 1, true, 61000, 2, 1},
        {"interval 0xFFFE: one minute, then none", kRecordIntervalOnce, 1, true, 180000, 1, 1},
        {"length 0 runs until stopped", 0, 0, true, 600000, 1, 0},
        {"length 0xFFFF runs until stopped", 0, kRecordNoLimit, true, 600000, 1, 0},
        {"another interval sets no timer", 30, 1, false, 600000, 1, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        Rig r;
        r.host.room.wInterval = c.wInterval;
        r.host.room.wLength = c.wLength;
        r.control.StartAutoRecord();
        EXPECT_EQ(r.bar.timers.count(RECORD_TIMER_LENGTH) != 0, c.bTimer);
        for (uint32_t t = 0; t < c.dwRunMs; t += 1000)
            r.Tick(1000);
        EXPECT_EQ(r.engine.starts.size(), c.nStarts);
        EXPECT_EQ(r.engine.stops.size(), c.nStops);
    }
}

TEST(RecordControl, TheNextAutomaticRecordingInTheSameMinuteGetsASuffix)
{
    Rig r;
    r.host.room.wInterval = 0;
    r.host.room.wLength = 1;
    r.control.StartAutoRecord();
    for (int i = 0; i < 61; ++i)
        r.Tick(1000);
    ASSERT_EQ(r.engine.starts.size(), 2u);
    EXPECT_EQ(r.engine.starts[1].first, u"C:\\Rec\\202612110905_1.qn");
    EXPECT_EQ(r.engine.stops, std::vector<int>{RECORD_STOP_NORMAL});
    EXPECT_EQ(r.host.sent, (std::vector<std::string>{"490 on", "490 off", "490 on"}));
}

TEST(RecordControl, RefusedAutomaticKindIsReportedOnce)
{
    Rig r;
    r.host.room.nAutoKind = kAutoKindWmv;
    r.host.room.wInterval = 0;
    r.host.room.wLength = 1;
    r.control.StartAutoRecord();
    for (int i = 0; i < 5; ++i)
        r.Tick(1000);
    EXPECT_EQ(r.engine.starts.size(), 1u);
    EXPECT_EQ(r.notices.chatNotices, std::vector<std::u16string>{u"<IDS_RECORD_END_FA>"});
    EXPECT_TRUE(r.host.sent.empty());
    EXPECT_TRUE(r.bar.timers.empty());
}

TEST(RecordControl, LeavingTheRoomStopsNormally)
{
    Rig r;
    r.host.room.wInterval = 0;
    r.host.room.wLength = 5;
    r.control.StartAutoRecord();
    r.control.OnRoomLeaving();
    EXPECT_EQ(r.engine.stops, std::vector<int>{RECORD_STOP_NORMAL});
    EXPECT_TRUE(r.bar.timers.empty());
    EXPECT_EQ(r.host.sent.back(), "490 off");
}

TEST(RecordControl, ServerRecordChoices)
{
    struct Case
    {
        uint8_t nChoice;
        std::vector<std::pair<std::u16string, int>> starts;
    };
    const Case cases[] = {
        {0, {}},
        {1, {{u"C:\\Rec\\202612110905.qn", 0}}},
        {2, {{u"C:\\Rec\\202612110905.mp4", 2}}},
        {3, {{u"C:\\Rec\\202612110905.qn", 0}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(int(c.nChoice));
        Rig r;
        r.host.room.nServerChoice = c.nChoice;
        r.control.OnServerRecordCommand();
        EXPECT_EQ(r.engine.starts, c.starts);
    }
}
