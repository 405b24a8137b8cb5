// The participant drag: who may start one, where a drop sends the user, and that every drag ends
// with its source and target cleared.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "confclient/people/SeatDrag.h"

namespace
{
struct FakeDragRoom : ISeatDragRoom
{
    SSeatDragRoom room;
    CRoomUserInfo users;
    std::vector<std::pair<uint16_t, uint16_t>> moves;

    FakeDragRoom()
    {
        room.bControlRight = true;
        room.wRoomType = 4;
        room.wSeatCount = 4;
        for (uint16_t ch : {0, 1, 2, 4, 5})
        {
            S_ROOMUSERINFO u;
            u.channel = ch;
            u.userIndex = static_cast<uint16_t>(100 + ch);
            users.AddUser(u);
        }
        room.nUsers = 5;
    }
    SSeatDragRoom DragRoom() const override { return room; }
    const CRoomUserInfo& Users() const override { return users; }
    void SendChannelMove(uint16_t wFrom, uint16_t wTo) override { moves.emplace_back(wFrom, wTo); }
};
using Moves = std::vector<std::pair<uint16_t, uint16_t>>;
} // namespace

TEST(SeatDrag, MaxVideoSendersReadsTheFlagsOrTheCappedViewCount)
{
    EXPECT_EQ(6, MaxVideoSenders(6u << 3, 16));
    EXPECT_EQ(15, MaxVideoSenders(0xFFFFFFFFu, 4));
    EXPECT_EQ(10, MaxVideoSenders(0, 16));
    EXPECT_EQ(4, MaxVideoSenders(1u << 7, 4)) << "bit 7 is not part of the count";
}

TEST(SeatDrag, WhoMayStartADragFromTheListOrASeat)
{
    struct Case
    {
        const char* pszName;
        void (*change)(SSeatDragRoom&);
        int nColumn;
        bool bList, bSeat;
    } cases[] = {
        {"control holder on the name", [](SSeatDragRoom&) {}, 4, true, true},
        {"board column", [](SSeatDragRoom&) {}, 1, false, true},
        {"voice column", [](SSeatDragRoom&) {}, 2, false, true},
        {"no control right", [](SSeatDragRoom& r) { r.bControlRight = false; }, 4, false, false},
        {"observer", [](SSeatDragRoom& r) { r.nMyGrade = 4; }, 4, false, false},
        {"playback", [](SSeatDragRoom& r) { r.bPlayerMode = true; }, 4, false, false},
        {"document room", [](SSeatDragRoom& r) { r.wRoomType = 8; }, 4, false, false},
        {"video off", [](SSeatDragRoom& r) { r.bVideoOff = true; }, 4, false, true},
        {"pair room of two",
         [](SSeatDragRoom& r)
         {
             r.wRoomType = 50;
             r.nUsers = 2;
         },
         4, false, false},
        {"pair room of three",
         [](SSeatDragRoom& r)
         {
             r.wRoomType = 50;
             r.nUsers = 3;
         },
         4, true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        FakeDragRoom room;
        c.change(room.room);
        CSeatDrag drag(room);
        EXPECT_EQ(c.bList, drag.PressOnList(c.nColumn));
        EXPECT_EQ(c.bList, drag.IsDragging());
        EXPECT_EQ(c.bList, drag.ShowsDragCursor());
        drag.CancelDrag();
        EXPECT_EQ(c.bSeat, drag.PressOnSeat(1));
        EXPECT_EQ(c.bSeat ? 1 : kNoSeatChannel, drag.Source());
    }
}

TEST(SeatDrag, DropsMoveTheRightUserAndEveryDragEnds)
{
    struct Case
    {
        const char* pszName;
        bool (*run)(CSeatDrag&);
        Moves moves;
    } cases[] = {
        {"list user onto an occupied seat swaps, lower channel first",
         [](CSeatDrag& d) { return d.PressOnList(4) && d.ReleaseOnSeat(1, 5); },
         {{1, 5}}},
        {"list user onto an empty seat takes the first free seat",
         [](CSeatDrag& d) { return d.PressOnList(4) && d.ReleaseOnSeat(kNoSeatChannel, 5); },
         {{3, 5}}},
        {"list user onto his own seat sends nothing",
         [](CSeatDrag& d) { return d.PressOnList(4) && d.ReleaseOnSeat(2, 2); },
         {}},
        {"no selected user sends nothing",
         [](CSeatDrag& d) { return d.PressOnList(4) && d.ReleaseOnSeat(1, kNoSeatChannel); },
         {}},
        {"seat to seat keeps the seat's user, not the list's selection",
         [](CSeatDrag& d) { return d.PressOnSeat(0) && d.ReleaseOnSeat(2, 5); },
         {{0, 2}}},
        {"seat user onto the list leaves the seats for the first free channel above them",
         [](CSeatDrag& d) { return d.PressOnSeat(1) && d.ReleaseOnList(); },
         {{1, 6}}},
        {"list drag back onto the list sends nothing",
         [](CSeatDrag& d) { return d.PressOnList(4) && d.ReleaseOnList(); },
         {}},
        {"release without a drag sends nothing", [](CSeatDrag& d) { return d.ReleaseOnSeat(1, 5); }, {}},
        {"a click that toggles nothing ends the drag",
         [](CSeatDrag& d)
         {
             d.PressOnList(4);
             d.CancelDrag();
             return d.ReleaseOnSeat(1, 5);
         },
         {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        FakeDragRoom room;
        CSeatDrag drag(room);
        EXPECT_EQ(!c.moves.empty(), c.run(drag));
        EXPECT_EQ(c.moves, room.moves);
        EXPECT_FALSE(drag.IsDragging());
        EXPECT_EQ(kNoSeatChannel, drag.Source());
        EXPECT_EQ(kNoSeatChannel, drag.Target());
    }
}

TEST(SeatDrag, AnEmptySeatWhenTheSeatsAreFullMovesNobody)
{
    FakeDragRoom room;
    room.room.wSeatCount = 3; // channels 0-2, all held
    CSeatDrag drag(room);
    ASSERT_TRUE(drag.PressOnList(4));
    EXPECT_FALSE(drag.ReleaseOnSeat(kNoSeatChannel, 5));
    EXPECT_TRUE(room.moves.empty());
}
