// A file another member pushes to the room: its start, cancellation and data reach the control bar.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"

// The control bar's receive side as the push sees it.
class IPushReceiveView
{
public:
    virtual ~IPushReceiveView() = default;
    // The receive of a pushed file starts; false when there is no control bar to take it.
    virtual bool BeginPushReceive(uint16_t wPushId, const std::u16string& szSender,
                                  const std::u16string& szFile, uint32_t dwSize) = 0;
    // The sender cancelled that push; another push's id is left alone by the control bar.
    virtual void OnPushCancelled(uint16_t wPushId) = 0;
    // The next bytes of the file being received.
    virtual void OnPushData(const uint8_t* p, size_t n) = 0;
};

class CPushReceiveFeature
{
public:
    CPushReceiveFeature(const CRoomState& room, IRoomNotices& notices, IPushReceiveView& view)
        : m_room(room), m_notices(notices), m_view(view)
    {
    }

    // Only in a room, and never this client's own push coming back.
    void OnPushBegin(const QNPushBegin& b);
    void OnPushCancel(const uint16_t& wPushId);
    // The chunk's length is the descriptor's, bounded by the payload the chunk points into.
    void OnPushChunk(uint16_t wCommand, const QNPacketDesc& desc, const QNPushChunk& chunk);

private:
    const CRoomState& m_room;
    IRoomNotices& m_notices;
    IPushReceiveView& m_view;
};
