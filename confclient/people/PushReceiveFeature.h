// A file another member pushes to the room: its start, cancellation and data reach the control bar.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"

// The control bar's receive side as the push sees it; the bar checks that blocks and cancels come
// from the push's sender.
class IPushReceiveView
{
public:
    virtual ~IPushReceiveView() = default;
    // The receive of a pushed file starts; false when there is no control bar or it refuses.
    virtual bool BeginPushReceive(uint16_t wSender, const std::u16string& szSender,
                                  const std::u16string& szFile, uint32_t dwSize) = 0;
    // That user cancelled a push.
    virtual void OnPushCancelled(uint16_t wSender, const std::u16string& szSender) = 0;
    // The next bytes of a file that user pushes.
    virtual void OnPushData(uint16_t wSender, const uint8_t* p, size_t n) = 0;
};

class CPushReceiveFeature
{
public:
    CPushReceiveFeature(const CRoomState& room, IPushReceiveView& view) : m_room(room), m_view(view) {}

    // Only in a room, and never this client's own push coming back.
    void OnPushBegin(const QNPushFile& b);
    void OnPushCancel(const uint16_t& wSender);
    void OnPushChunk(const QNPushChunk& chunk);

private:
    bool FromOther(uint16_t wSender) const;
    std::u16string NameOf(uint16_t wSender) const;

    const CRoomState& m_room;
    IPushReceiveView& m_view;
};
