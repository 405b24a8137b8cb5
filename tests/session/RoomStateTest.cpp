// The room state: entering ends the open or join awaited, leaving forgets the room, and the
// chief is the owner or the presider.
#include <gtest/gtest.h>

#include "confclient/session/roomstate/RoomFlags.h"
#include "confclient/session/roomstate/RoomState.h"

namespace
{
QNRoomInfo RoomRecord(uint16_t wRoomIndex, uint16_t wMyChannel, uint16_t wOwner, uint32_t dwFlags = 0)
{
    QNRoomInfo info;
    info.wRoomIndex = wRoomIndex;
    info.wMyChannel = wMyChannel;
    info.wOwnerIndex = wOwner;
    info.dwFlags = dwFlags;
    info.szTitle = u"Weekly";
    return info;
}
} // namespace

TEST(RoomState, EnteringTakesTheRecordAndEndsWhatWasAwaited)
{
    CRoomState room;
    room.wPendingJoinRoom = 5;
    EXPECT_TRUE(room.AwaitsEntry());
    S_ROOMUSERINFO stale;
    stale.channel = 1;
    room.users.AddUser(stale);

    EXPECT_TRUE(room.Enter(RoomRecord(5, 3, 7, ROOMFLAG_QUESTIONNAIRE), false));
    EXPECT_FALSE(room.AwaitsEntry());
    EXPECT_TRUE(room.InRoom());
    EXPECT_EQ(5, room.RoomIndex());
    EXPECT_EQ(3, room.wMyChannel);
    EXPECT_TRUE(room.bQuestionnaire);
    EXPECT_FALSE(room.bOpenedByMe);
    EXPECT_EQ(0u, room.users.Count()) << "a new room starts with no one from the last";

    // The same room's record again (an update) keeps the people already known.
    S_ROOMUSERINFO bob;
    bob.channel = 4;
    room.users.AddUser(bob);
    EXPECT_FALSE(room.Enter(RoomRecord(5, 3, 7), true));
    EXPECT_TRUE(room.bOpenedByMe);
    EXPECT_EQ(1u, room.users.Count());
}

TEST(RoomState, LeavingForgetsTheRoomButNotTheInvitation)
{
    CRoomState room;
    room.Enter(RoomRecord(5, 3, 7), true);
    room.wPresiderChannel = 3;
    room.wPresenterChannel = 4;
    room.dwRights = 0x1F;
    room.wViewMode = 2;
    room.viewNames[0] = u"front";
    room.bPanelAwaitsEntry = true;
    room.wPendingInvite = 9;

    room.Leave();
    EXPECT_FALSE(room.InRoom());
    EXPECT_EQ(kNoIndex, room.wMyChannel);
    EXPECT_EQ(kNoIndex, room.wPresiderChannel);
    EXPECT_EQ(kNoIndex, room.wPresenterChannel);
    EXPECT_EQ(0u, room.dwRights);
    EXPECT_EQ(0, room.wViewMode);
    EXPECT_EQ(u"", room.viewNames[0]);
    EXPECT_FALSE(room.bOpenedByMe);
    EXPECT_FALSE(room.bPanelAwaitsEntry);
    EXPECT_EQ(9, room.wPendingInvite) << "the invitation being answered outlives the room left";
}

TEST(RoomState, TheChiefIsTheOwnerOrThePresider)
{
    constexpr uint16_t kMyUserIndex = 11;
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint16_t wOwner;
        uint16_t wPresider;
        bool bChief;
    } cases[] = {
        {"owner", true, kMyUserIndex, kNoIndex, true},
        {"presider", true, 2, 3, true},
        {"neither", true, 2, 8, false},
        {"no room", false, kMyUserIndex, 3, false},
    };
    for (const auto& c : cases)
    {
        CRoomState room;
        if (c.bInRoom) room.Enter(RoomRecord(5, 3, c.wOwner), false);
        room.wPresiderChannel = c.wPresider;
        EXPECT_EQ(c.bChief, room.IsChief(kMyUserIndex)) << c.pszCase;
    }
}
