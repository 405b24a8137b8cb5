// The room main window's rules: which keys skip the room's hot keys, what a dropped file opens,
// and the taskbar group's registry entries.
#include "confclient/room/RoomMainInput.h"
#include "confclient/room/TaskbarGroup.h"
#include <gtest/gtest.h>

TEST(RoomMainInput, KeysForTheFocusedControlOrTheRoom)
{
    struct Row
    {
        unsigned nKey;
        S_MAINKEYSTATE s; // edit focus, full screen, board web mode, player
        MainKeyRoute route;
    } rows[] = {
        {0x0D, {true, false, false, false}, MAINKEY_DIALOG_ONLY}, // Return in a field
        {0x0D, {false, true, false, false}, MAINKEY_DIALOG_ONLY}, // Return in full screen
        {0x0D, {false, false, true, false}, MAINKEY_ROOM},        // the web page alone does not take Return
        {0x0D, {true, false, false, true}, MAINKEY_DIALOG_ONLY},  // a field takes it in playback too
        {0x25, {true, false, false, false}, MAINKEY_DIALOG_ONLY}, // first arrow
        {0x28, {false, false, true, false}, MAINKEY_DIALOG_ONLY}, // last arrow on the web page
        {'V', {true, false, false, false}, MAINKEY_DIALOG_ONLY},  // AltGr+V types in the field
        {'V', {false, false, false, false}, MAINKEY_ROOM},        // elsewhere it drops the View menu
        {0x26, {true, false, false, true}, MAINKEY_ROOM},         // playback: arrows are the room's
        {0x24, {true, false, true, false}, MAINKEY_ROOM},         // Home is no arrow
        {0x29, {true, false, true, false}, MAINKEY_ROOM},         // nor the key after the last one
        {'O', {true, true, true, false}, MAINKEY_ROOM},           // Ctrl+O is always the room's
    };
    for (const Row& r : rows)
        EXPECT_EQ(MainViewKeyOf(r.nKey, r.s), r.route) << r.nKey;
}

TEST(RoomMainInput, DroppedFilesOpenOnlyRecordingsAndOnlyInPlayback)
{
    const std::u16string szLong = u"C:\\" + std::u16string(kMaxDroppedPath - 5, u'a') + u".qn";
    ASSERT_EQ(szLong.size(), kMaxDroppedPath + 1);
    struct Row
    {
        std::u16string szPath;
        bool bPlayer, bRv;
        DropAction action;
    } rows[] = {
        {u"C:\\r\\talk.qn", false, false, DROP_IGNORE},
        {u"C:\\r\\talk.QN", true, false, DROP_PLAY},
        {u"C:\\r\\talk.txt", true, false, DROP_UNSUPPORTED},
        {u"C:\\r\\talk.rv", true, false, DROP_UNSUPPORTED},
        {u"C:\\r\\talk.Rv", true, true, DROP_PLAY},
        {u"C:\\r\\talk.qn", true, true, DROP_UNSUPPORTED},
        {u"C:\\r.qn\\talk", true, false, DROP_UNSUPPORTED}, // a folder's dot is no extension
        {u"C:\\r\\talk.qnx", true, false, DROP_UNSUPPORTED},
        {u"C:\\r\\qn", true, false, DROP_UNSUPPORTED},
        {szLong, true, false, DROP_UNSUPPORTED}, // too long: refused, not cut to "...a.q"
        {szLong.substr(1), true, false, DROP_PLAY},
    };
    for (const Row& r : rows)
        EXPECT_EQ(DroppedFileAction(r.szPath, r.bPlayer, r.bRv), r.action)
            << r.szPath.size() << " " << r.bPlayer;
}

TEST(RoomMainInput, TaskbarGroupIconAndName)
{
    const std::u16string kApp = u"SOFTWARE\\Classes\\Applications\\Quillon.exe";
    const std::u16string kCache = u"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
    const std::u16string kPath = u"C:\\Q\\Quillon.exe";
    struct Row
    {
        S_TASKBARGROUPINPUT in;
        std::vector<S_REGWRITE> writes;
    } rows[] = {
        // No skin files: the program's path as icon, its name as group.
        {{u"Quillon", kPath, {}, {}},
         {{true, kApp, u"TaskbarGroupIcon", kPath}, {false, kCache, kPath, u"Quillon"}}},
        {{u"Quillon", kPath, u"C:\\Q\\skin\\GroupIcon.ico", u"; name\r\nGROUP=Lumora Rooms\r\n"},
         {{true, kApp, u"TaskbarGroupIcon", u"C:\\Q\\skin\\GroupIcon.ico"},
          {false, kCache, kPath, u"Lumora Rooms"}}},
        // A name file without the key keeps the program's name.
        {{u"Quillon", kPath, {}, u"OTHER=x\n"},
         {{true, kApp, u"TaskbarGroupIcon", kPath}, {false, kCache, kPath, u"Quillon"}}},
        // Without a program path the cache's default value is not overwritten.
        {{u"Quillon", u"", u"C:\\Q\\skin\\GroupIcon.ico", u"GROUP=x\n"},
         {{true, kApp, u"TaskbarGroupIcon", u"C:\\Q\\skin\\GroupIcon.ico"}}},
        {{u"Quillon", u"", {}, {}}, {}},
        // An empty group name is not written.
        {{u"Quillon", kPath, {}, u"GROUP=\n"}, {{true, kApp, u"TaskbarGroupIcon", kPath}}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TaskbarGroupEntries(r.in), r.writes) << r.writes.size();

    // A long name is cut to its limit, never inside a surrogate pair.
    std::u16string szName(kMaxTaskbarGroupName - 1, u'n');
    szName += u"\U0001F600tail";
    std::vector<S_REGWRITE> w = TaskbarGroupEntries({u"Quillon", kPath, {}, u"GROUP=" + szName});
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[1].szValue, std::u16string(kMaxTaskbarGroupName - 1, u'n'));
    w = TaskbarGroupEntries({u"Quillon", kPath, {}, u"GROUP=" + std::u16string(300, u'g')});
    EXPECT_EQ(w[1].szValue.size(), kMaxTaskbarGroupName);
}
