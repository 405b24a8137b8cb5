// The room windows table: every slot once, parents before children, and the windows each
// kind of room has.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "confclient/session/layout/RoomWindowTable.h"
#include "confclient/session/roomstate/RoomFlags.h"

TEST(RoomWindowTable, EverySlotOnceAndParentsFirst)
{
    std::set<RoomSlot> made;
    for (const RoomWindowRow& row : RoomWindowRows())
    {
        EXPECT_TRUE(made.insert(row.slot).second) << row.slot << " twice";
        if (row.parent != SLOT_NONE) EXPECT_TRUE(made.count(row.parent)) << row.slot << " before its parent";
    }
    EXPECT_EQ(static_cast<size_t>(ROOM_SLOT_COUNT), made.size());
}

TEST(RoomWindowTable, TheWindowsOfEachKindOfRoom)
{
    auto windowsOf = [](uint16_t wType, uint32_t dwFlags, bool bQuestionnaire, bool bPlayer)
    {
        CRoomState room;
        room.info.wRoomType = wType;
        room.info.dwFlags = dwFlags;
        room.bQuestionnaire = bQuestionnaire;
        std::vector<RoomSlot> slots;
        for (const RoomWindowRow& row : RoomWindowRows())
            if (row.pfnWanted(room, bPlayer)) slots.push_back(row.slot);
        return slots;
    };
    const std::vector<RoomSlot> kEveryRoom = {SLOT_MAINVIEW,   SLOT_MANAGETOOL, SLOT_CHAT,
                                              SLOT_AGENDALIST, SLOT_USERLIST,   SLOT_ROOMCTRL};
    auto with = [&](std::vector<RoomSlot> extra)
    {
        std::vector<RoomSlot> slots = kEveryRoom;
        slots.insert(slots.end(), extra.begin(), extra.end());
        std::sort(slots.begin(), slots.end());
        return slots;
    };
    struct
    {
        const char* pszCase;
        uint16_t wType;
        uint32_t dwFlags;
        bool bQuestionnaire;
        bool bPlayer;
        std::vector<RoomSlot> slots;
    } cases[] = {
        {"video room", 1, 0, false, false, with({SLOT_VIDEOVIEW, SLOT_BOARDTOOL})},
        {"document room", kDocumentRoomType, 0, false, false, with({SLOT_BOARDTOOL})},
        {"no video view flag", 1, ROOMFLAG_NOVIDEOVIEW, false, false, with({SLOT_BOARDTOOL})},
        {"movie sharing, e-book, questions", 1, ROOMFLAG_MEDIASHARE_MOVIE | ROOMFLAG_EBOOK, true, false,
         with({SLOT_VIDEOVIEW, SLOT_MEDIASHAREVIEW, SLOT_QUESTION, SLOT_EBOOK, SLOT_BOARDTOOL})},
        {"playing a recording", 1, ROOMFLAG_EBOOK, false, true,
         with({SLOT_VIDEOVIEW, SLOT_MEDIASHAREVIEW, SLOT_PLAYER})},
    };
    for (const auto& c : cases)
    {
        std::vector<RoomSlot> slots = windowsOf(c.wType, c.dwFlags, c.bQuestionnaire, c.bPlayer);
        std::sort(slots.begin(), slots.end());
        EXPECT_EQ(c.slots, slots) << c.pszCase;
    }
}
