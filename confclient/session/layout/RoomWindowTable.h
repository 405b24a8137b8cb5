// The windows that come and go with a room, described once: each slot's parent and the
// condition under which the room has it. Rows are in creation order; a parent comes before
// its children, so teardown runs the rows backwards.
#pragma once
#include <cstddef>
#include <iterator>
#include <span>

#include "confclient/session/roomstate/RoomState.h"

enum RoomSlot : int
{
    SLOT_MAINVIEW,
    SLOT_VIDEOVIEW,
    SLOT_MEDIASHAREVIEW,
    SLOT_QUESTION,
    SLOT_MANAGETOOL,
    SLOT_CHAT,
    SLOT_AGENDALIST,
    SLOT_EBOOK,
    SLOT_USERLIST,
    SLOT_BOARDTOOL,
    SLOT_ROOMCTRL,
    SLOT_PLAYER,
    ROOM_SLOT_COUNT,
    SLOT_NONE = -1, // a top-level window
};

struct RoomWindowRow
{
    RoomSlot slot;
    RoomSlot parent;
    // Whether the room has this window; bPlayer: the session plays a recording.
    bool (*pfnWanted)(const CRoomState& room, bool bPlayer);
};

std::span<const RoomWindowRow> RoomWindowRows();
