// Dragging a participant between the participant list and the video seats: the room's drag
// state (flag, source and target channels), which presses start a drag, and the channel move
// (440) a drop asks for.
#pragma once
#include <cstdint>

#include "confclient/session/roomstate/RoomUserInfo.h"

constexpr uint16_t kNoSeatChannel = 65535;

// What a drag reads of the room, the local user and the system option record.
struct SSeatDragRoom
{
    bool bPlayerMode = false;
    bool bControlRight = false;
    int nMyGrade = 0;
    bool bVideoOff = false;
    uint16_t wRoomType = 0;
    int nUsers = 0;
    // The video seats: channels below max(view count, most simultaneous senders).
    uint16_t wSeatCount = 0;
};

// The room as the drag sees it.
class ISeatDragRoom
{
public:
    virtual ~ISeatDragRoom() = default;
    virtual SSeatDragRoom DragRoom() const = 0;
    virtual const CRoomUserInfo& Users() const = 0;
    // 440 with the two channels, the lower first.
    virtual void SendChannelMove(uint16_t wFrom, uint16_t wTo) = 0;
};

// The most simultaneous video senders: the 4-bit count in bits 3..6 of the room flags, or,
// when it is 0, the room type's view count capped at 10.
int MaxVideoSenders(uint32_t dwRoomFlags, int nViewCount);

class CSeatDrag
{
public:
    explicit CSeatDrag(ISeatDragRoom& room) : m_room(room) {}

    bool IsDragging() const { return m_bDragging; }
    uint16_t Source() const { return m_wSource; }
    uint16_t Target() const { return m_wTarget; }

    // A left press on a list row outside the board (1) and voice (2) columns: the drag starts
    // for a control holder who is not an observer, in a room with video, unless a room of
    // type 50 holds two users or fewer.
    bool PressOnList(int nColumn);
    // A left press on a seat bound to the channel: the drag starts with that user as source,
    // for a control holder who is not an observer (in room type 50 only with three or more).
    bool PressOnSeat(uint16_t wChannel);
    // A mouse move while dragging: whether it shows the drag cursor (false: nothing to show).
    bool ShowsDragCursor() const;
    // A left release over the list: a seat's user dragged here moves to the first free channel
    // above the seats. Returns whether a move went out.
    bool ReleaseOnList();
    // A left release over a seat: the seat's user (or, for an empty seat, the first free seat)
    // trades places with the drag's source, or with the list's selected user when the drag
    // came from the list. Returns whether a move went out.
    bool ReleaseOnSeat(uint16_t wSeatChannel, uint16_t wListSelected);
    // A click on a list cell that toggles nothing ends a drag that never left the list.
    void CancelDrag();

private:
    bool MayDrag(const SSeatDragRoom& r) const;
    // Sends 440 when source and target are set and differ; the drag ends in any case.
    bool EndDragSwapChannels();

    ISeatDragRoom& m_room;
    bool m_bDragging = false;
    uint16_t m_wSource = kNoSeatChannel;
    uint16_t m_wTarget = kNoSeatChannel;
};
