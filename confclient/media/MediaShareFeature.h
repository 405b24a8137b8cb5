// The shared movie as the room hears of it: play state and position for the shared-movie window.
#pragma once
#include <cstdint>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/session/roomstate/RoomState.h"

// The shared-movie window as the share sees it.
class IMediaShareView
{
public:
    virtual ~IMediaShareView() = default;
    virtual void OnShareVideoState(bool bPlaying) = 0;
    virtual void OnSharePosition(uint32_t dwPositionMs) = 0;
};

class CMediaShareFeature
{
public:
    CMediaShareFeature(const CRoomState& room, IMediaShareView& view) : m_room(room), m_view(view) {}

    // The sharer's own state is already on its window: only another member's reaches the view.
    void OnState(const QNMediaShareState& s);
    void OnPosition(const QNMediaSharePosition& s);

private:
    const CRoomState& m_room;
    IMediaShareView& m_view;
};
