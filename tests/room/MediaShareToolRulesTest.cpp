// The media-share tool bar's rules: time text, volume steps, the once-a-second notice gate,
// taking over a sharer's state, the open result, filters, dropped files, layout and the
// questionnaire page's address.
#include <gtest/gtest.h>

#include "confclient/room/MediaShareToolRules.h"
#include "confclient/room/QuestionAddress.h"

TEST(MediaShareToolRules, TimeTextAndVolumeSteps)
{
    EXPECT_EQ(u"01:02:05 / 02:00:00", ShareTimeText(3725, 7200));
    EXPECT_EQ(u"00:00:00 / 18:12:15", ShareTimeText(0, 65535));
    struct
    {
        uint32_t nCurrent, nValue;
        bool bUp;
        uint32_t nExpected;
    } cases[] = {
        {95, 65535, true, 100}, {5, 65535, false, 0}, {50, 65535, true, 60},
        {50, 65535, false, 40}, {50, 80, false, 80},  {50, 130, true, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nExpected, StepShareVolume(c.nCurrent, c.nValue, c.bUp)) << c.nCurrent << " " << c.nValue;
}

TEST(MediaShareToolRules, TwoFramesInOneSecondGiveOneNotice)
{
    CShareSecondGate gate;
    EXPECT_TRUE(gate.Pass(5000));
    EXPECT_FALSE(gate.Pass(5999));
    EXPECT_TRUE(gate.Pass(6000));
    EXPECT_FALSE(gate.Pass(6400));
    // Across the tick counter's wrap.
    CShareSecondGate wrap;
    EXPECT_TRUE(wrap.Pass(0xFFFFFF00u));
    EXPECT_FALSE(wrap.Pass(0x100u));
    EXPECT_TRUE(wrap.Pass(0x400u));
}

namespace
{
QNMediaShareRecord Playing(uint32_t nPosition)
{
    QNMediaShareRecord r;
    r.wSharer = 5;
    r.wLength = 7200;
    r.SetPlay(MEDIASHARE_PLAYING);
    r.SetPosition(nPosition);
    r.SetVolume(50);
    return r;
}
} // namespace

TEST(MediaShareToolRules, StateNoticeTakesOverAndCountsWholeSeconds)
{
    // A new play state: the record is copied whole.
    QNMediaShareRecord room = Playing(3725), copy;
    uint32_t dwTick = 1000;
    TakeOverShareState(room, copy, dwTick, 1500, false, true);
    EXPECT_EQ(3725u, copy.Position());
    EXPECT_TRUE(copy.Playing());

    // Playing on: 2.7 s later the copy is two seconds on and the tick keeps the rest.
    dwTick = 10000;
    SShareTakeOver t = TakeOverShareState(room, copy, dwTick, 12700, false, true);
    EXPECT_EQ(3727u, copy.Position());
    EXPECT_EQ(12000u, dwTick);
    EXPECT_FALSE(t.bSeekMoved);
    EXPECT_FALSE(t.bVolumeChanged);

    // A seek sets the changed bit: the position is taken over, the voice reset, the bit cleared.
    room.SetPosition(100);
    room.SetChanged(true);
    room.SetVolume(80);
    room.SetMuted(true);
    t = TakeOverShareState(room, copy, dwTick, 13000, false, true);
    EXPECT_TRUE(t.bSeekMoved && t.bVoiceReset && t.bVolumeChanged && t.bMuted);
    EXPECT_EQ(100u, copy.Position());
    EXPECT_EQ(13000u, dwTick);
    EXPECT_FALSE(room.Changed() || copy.Changed());
    EXPECT_EQ(80u, copy.Volume());

    // Forced without the bit: the position, not the voice.
    room.SetPosition(200);
    t = TakeOverShareState(room, copy, dwTick, 13100, true, true);
    EXPECT_TRUE(t.bSeekMoved);
    EXPECT_FALSE(t.bVoiceReset);
    EXPECT_EQ(200u, copy.Position());

    // Pause: the tick follows the clock, the position stays.
    room.SetPlay(MEDIASHARE_PAUSED);
    TakeOverShareState(room, copy, dwTick, 20000, false, true);
    EXPECT_EQ(20000u, dwTick);
    EXPECT_EQ(MEDIASHARE_PAUSED, copy.Play());
    EXPECT_EQ(200u, copy.Position());

    // Stop: the position is cleared in both, a receiver shows the idle picture.
    room.SetPlay(MEDIASHARE_STOPPED);
    t = TakeOverShareState(room, copy, dwTick, 21000, false, true);
    EXPECT_EQ(0u, room.Position());
    EXPECT_EQ(0u, copy.Position());
    EXPECT_TRUE(t.bReceiveIdle);
    EXPECT_FALSE(TakeOverShareState(room, copy, dwTick, 21000, false, false).bReceiveIdle);
}

TEST(MediaShareToolRules, OpenResultAndFilter)
{
    EXPECT_EQ(SHAREOPEN_LOADFAILED, ShareOpenResultOf(0));
    EXPECT_EQ(SHAREOPEN_LOADFAILED, ShareOpenResultOf(0x10000));
    EXPECT_EQ(SHAREOPEN_UNSUPPORTED, ShareOpenResultOf(1)) << "low 1, high 0: only the unsupported text";
    EXPECT_EQ(SHAREOPEN_LOADED, ShareOpenResultOf(0x10001));

    SShareExtensions ext{u"*.avi;*.mp4", u"avi, mp4", u"*.mp3", u"mp3"};
    EXPECT_EQ(
        u"All available files|*.avi;*.mp4;*.mp3|Video files(avi, mp4)|*.avi;*.mp4|Audio files(mp3)|*.mp3||",
        ShareOpenFilter(3, ext));
    EXPECT_EQ(u"All available files|*.mp3|Audio files(mp3)|*.mp3||", ShareOpenFilter(2, ext));
}

TEST(MediaShareToolRules, DroppedFilesMatchWholeExtensions)
{
    SShareExtensions ext{u"*.avi;*.mp4", u"", u"*.mp3;*.wav", u""};
    struct
    {
        const char16_t* pszPath;
        int nMode;
        bool bAccepted;
    } cases[] = {
        {u"C:\\films\\MOVIE.MP4", 3, true},
        {u"C:\\films\\clip.avi", 3, true},
        {u"C:\\films\\clip.avi", 2, false}, // video only in the video list, only audio sharing
        {u"C:\\music\\song.mp3", 2, true},
        {u"C:\\music\\song.mp3", 0, false},
        {u"C:\\films\\README", 3, false},   // no extension: an empty one is found everywhere
        {u"C:\\films.d\\README", 3, false}, // the dot of a folder is no extension
        {u"C:\\films\\clip.", 3, false},
        {u"C:\\films\\clip.mp", 3, false}, // ".mp" inside "*.mp4" is not an entry
        {u"C:\\films\\clip.p4", 3, false},
        {u"C:\\films\\clip.mp4.txt", 3, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bAccepted, AcceptsDroppedShare(c.pszPath, c.nMode, ext))
            << std::string(c.pszPath, c.pszPath + std::char_traits<char16_t>::length(c.pszPath)) << " "
            << c.nMode;
    EXPECT_FALSE(AcceptsDroppedShare(u"C:\\" + std::u16string(300, u'a') + u".mp3", 3, ext))
        << "longer than 260";
}

TEST(MediaShareToolRules, ToolBarLayoutFollowsTheWidth)
{
    SShareToolSizes s;
    s.nOpenCx = 30;
    s.nOpenCy = 30;
    s.nPlayCx = 30;
    s.nPauseCx = 30;
    s.nButtonCy = 30;
    s.nStopCx = 30;
    s.nMuteCx = 20;
    s.nMuteCy = 20;
    s.nVolumeCx = 60;
    s.nVolumeCy = 20;
    s.nSeekCy = 16;
    for (int cx : {400, 800, 1600})
    {
        SCOPED_TRACE(cx);
        SShareToolLayout l = LayoutShareTool(cx, s);
        EXPECT_EQ((SShareRect{6, 11, 30, 30}), l.open);
        EXPECT_EQ((SShareRect{39, 11, 30, 30}), l.play);
        EXPECT_EQ(l.play, l.pause) << "one of them shows";
        EXPECT_EQ((SShareRect{72, 11, 30, 30}), l.stop);
        EXPECT_EQ((SShareRect{125, 29, 118, 18}), l.time);
        EXPECT_EQ((SShareRect{262, 29, cx - 260, 18}), l.name);
        EXPECT_EQ((SShareRect{cx - 70, 9, 20, 20}), l.mute);
        EXPECT_EQ((SShareRect{cx - 134, 2, 60, 20}), l.volume);
        EXPECT_EQ((SShareRect{125, 9, cx - 269, 16}), l.seek);
    }
}

TEST(QuestionAddress, ChiefAndOthersAndAnEncodedCode)
{
    const std::u16string kPage = u"/question/question.asp";
    EXPECT_EQ(u"http://conf.example:8080/question/question.asp?confcode=R1&auth=1",
              QuestionPageAddress(u"conf.example:8080", kPage, u"R1", true));
    EXPECT_EQ(u"http://conf.example/question/question.asp?confcode=R1&auth=0",
              QuestionPageAddress(u"conf.example", kPage, u"R1", false));
    EXPECT_EQ(u"http://h/question/question.asp?confcode=A%26B%3DC%20d%C3%A9&auth=0",
              QuestionPageAddress(u"h", kPage, u"A&B=C d\u00e9", false));
}
