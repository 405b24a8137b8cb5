// Which windows a room has, by its type and flags and by whether a recording plays.
#include "confclient/session/layout/RoomWindowTable.h"

#include "confclient/session/roomstate/RoomFlags.h"

namespace
{
bool Always(const CRoomState&, bool)
{
    return true;
}
bool LiveOnly(const CRoomState&, bool bPlayer)
{
    return !bPlayer;
}
bool PlayerOnly(const CRoomState&, bool bPlayer)
{
    return bPlayer;
}
bool ShowsVideo(const CRoomState& room, bool)
{
    return room.info.wRoomType != kDocumentRoomType && !(room.info.dwFlags & ROOMFLAG_NOVIDEOVIEW);
}
bool SharesMedia(const CRoomState& room, bool bPlayer)
{
    return (room.info.dwFlags & ROOMFLAG_MEDIASHARE_ANY) || bPlayer;
}
bool AsksQuestions(const CRoomState& room, bool)
{
    return room.bQuestionnaire;
}
bool ShowsEBook(const CRoomState& room, bool bPlayer)
{
    return (room.info.dwFlags & ROOMFLAG_EBOOK) && !bPlayer;
}

constexpr RoomWindowRow kRows[] = {
    {SLOT_MAINVIEW, SLOT_NONE, &Always},
    {SLOT_VIDEOVIEW, SLOT_MAINVIEW, &ShowsVideo},
    {SLOT_MEDIASHAREVIEW, SLOT_MAINVIEW, &SharesMedia},
    {SLOT_QUESTION, SLOT_MAINVIEW, &AsksQuestions},
    {SLOT_MANAGETOOL, SLOT_MAINVIEW, &Always},
    {SLOT_CHAT, SLOT_MANAGETOOL, &Always},
    {SLOT_AGENDALIST, SLOT_MANAGETOOL, &Always},
    {SLOT_EBOOK, SLOT_MANAGETOOL, &ShowsEBook},
    {SLOT_USERLIST, SLOT_MANAGETOOL, &Always},
    {SLOT_BOARDTOOL, SLOT_MAINVIEW, &LiveOnly},
    {SLOT_ROOMCTRL, SLOT_MAINVIEW, &Always},
    {SLOT_PLAYER, SLOT_MAINVIEW, &PlayerOnly},
};
static_assert(std::size(kRows) == ROOM_SLOT_COUNT, "one row per slot");
} // namespace

std::span<const RoomWindowRow> RoomWindowRows()
{
    return kRows;
}
