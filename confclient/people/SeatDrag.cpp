// The participant drag's rules and the channel move a drop sends.
#include "confclient/people/SeatDrag.h"

#include <algorithm>

#include "confclient/people/ParticipantRows.h"
#include "confclient/session/roomstate/RoomFlags.h"

namespace
{
// A room of this type seats two users face to face: with two or fewer there is nothing to move.
constexpr uint16_t kPairRoomType = 50;
constexpr int kBoardColumn = 1;
constexpr int kVoiceColumn = 2;
constexpr int kObserverGrade = 4;

bool PairRoomTooSmall(const SSeatDragRoom& r)
{
    return r.wRoomType == kPairRoomType && r.nUsers <= 2;
}
} // namespace

int MaxVideoSenders(uint32_t dwRoomFlags, int nViewCount)
{
    const int nSenders = static_cast<int>((dwRoomFlags & ROOMFLAG_SENDERS_MASK) >> 3);
    return nSenders != 0 ? nSenders : std::min(nViewCount, 10);
}

bool CSeatDrag::MayDrag(const SSeatDragRoom& r) const
{
    return !r.bPlayerMode && r.bControlRight && r.nMyGrade != kObserverGrade &&
           r.wRoomType != kDocumentRoomType && !PairRoomTooSmall(r);
}

bool CSeatDrag::PressOnList(int nColumn)
{
    const SSeatDragRoom r = m_room.DragRoom();
    if (nColumn == kBoardColumn || nColumn == kVoiceColumn || r.bVideoOff || !MayDrag(r)) return false;
    // The source is the row's user, stored when the drop lands on a seat.
    m_bDragging = true;
    m_wSource = m_wTarget = kNoSeatChannel;
    return true;
}

bool CSeatDrag::PressOnSeat(uint16_t wChannel)
{
    if (wChannel == kNoSeatChannel || !MayDrag(m_room.DragRoom())) return false;
    m_bDragging = true;
    m_wSource = wChannel;
    m_wTarget = kNoSeatChannel;
    return true;
}

bool CSeatDrag::ShowsDragCursor() const
{
    return m_bDragging && !PairRoomTooSmall(m_room.DragRoom());
}

bool CSeatDrag::ReleaseOnList()
{
    if (!m_bDragging) return false;
    if (m_wSource != kNoSeatChannel)
        m_wTarget = FirstFreeChannel(m_room.Users(), m_room.DragRoom().wSeatCount);
    return EndDragSwapChannels();
}

bool CSeatDrag::ReleaseOnSeat(uint16_t wSeatChannel, uint16_t wListSelected)
{
    if (!m_bDragging) return false;
    // A drag from the list has no source yet: the list's selected user is the one dragged.
    if (m_wSource == kNoSeatChannel) m_wSource = wListSelected;
    if (wSeatChannel == kNoSeatChannel)
    {
        const uint16_t wFree = FirstFreeChannel(m_room.Users(), 0);
        wSeatChannel = wFree < m_room.DragRoom().wSeatCount ? wFree : kNoSeatChannel;
    }
    m_wTarget = wSeatChannel;
    return EndDragSwapChannels();
}

void CSeatDrag::CancelDrag()
{
    m_bDragging = false;
    m_wSource = m_wTarget = kNoSeatChannel;
}

bool CSeatDrag::EndDragSwapChannels()
{
    const uint16_t wFrom = m_wSource, wTo = m_wTarget;
    // The drag ends here whatever it asks for: a stale source would move someone on the next drop.
    CancelDrag();
    if (wFrom == kNoSeatChannel || wTo == kNoSeatChannel || wFrom == wTo) return false;
    m_room.SendChannelMove(std::min(wFrom, wTo), std::max(wFrom, wTo));
    return true;
}
