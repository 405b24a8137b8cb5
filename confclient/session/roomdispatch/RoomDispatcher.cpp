// The room dispatcher's rows, expanded from QNRoomHandlers.def: one place reads the
// payload and drops a short one with its DEBUG line.
#include "confclient/session/roomdispatch/RoomDispatcher.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

#include "confclient/boardhost/BoardNoticeFeature.h"
#include "confclient/media/MediaShareFeature.h"
#include "confclient/media/VideoFeature.h"
#include "confclient/room/RoomViewFeature.h"
#include "confclient/media/RecordingFeature.h"
#include "confclient/media/RoomVoice.h"
#include "confclient/network/QNCommands.h"
#include "confclient/people/CallFeature.h"
#include "confclient/people/ChatFeature.h"
#include "confclient/people/MessengerFeature.h"
#include "confclient/settings/PrivateDataFeature.h"
#include "confclient/people/PushReceiveFeature.h"
#include "confclient/people/ParticipantsFeature.h"
#include "confclient/people/PresenterFeature.h"

namespace
{
// True when the payload was read; a payload too short for its record is dropped with a DEBUG line.
template <class Record, bool (*Decode)(const uint8_t*, size_t, Record&)>
bool Read(ILogSink* pLog, uint16_t wCommand, const QNPacketDesc& desc, Record& r)
{
    const size_t n = desc.pData ? desc.nLength : 0;
    if (Decode(desc.pData, n, r)) return true;
    LogF(pLog, LOG_DEBUG, "[ROOM] command %u: payload of %u bytes dropped", wCommand,
         static_cast<unsigned>(n));
    return false;
}

// A handler takes what it needs of (command, descriptor, record): all three, the command and
// the record, or the record alone.
template <auto Method, class Target, class Record>
void Call(Target& target, uint16_t wCommand, const QNPacketDesc& desc, const Record& r)
{
    if constexpr (std::is_invocable_v<decltype(Method), Target&, uint16_t, const QNPacketDesc&,
                                      const Record&>)
        (target.*Method)(wCommand, desc, r);
    else if constexpr (std::is_invocable_v<decltype(Method), Target&, uint16_t, const Record&>)
        (target.*Method)(wCommand, r);
    else
        (target.*Method)(r);
}

// ... and of (command, descriptor) when the row decodes nothing.
template <auto Method, class Target> void Call(Target& target, uint16_t wCommand, const QNPacketDesc& desc)
{
    if constexpr (std::is_invocable_v<decltype(Method), Target&, uint16_t, const QNPacketDesc&>)
        (target.*Method)(wCommand, desc);
    else if constexpr (std::is_invocable_v<decltype(Method), Target&, uint16_t>)
        (target.*Method)(wCommand);
    else
        (target.*Method)();
}

template <class Record, bool (*Decode)(const uint8_t*, size_t, Record&), auto Member, auto Method>
void Decoded(const RoomHandlers& handlers, ILogSink* pLog, uint16_t wCommand, const QNPacketDesc& desc)
{
    auto* pTarget = handlers.*Member;
    Record r{};
    if (pTarget && Read<Record, Decode>(pLog, wCommand, desc, r)) Call<Method>(*pTarget, wCommand, desc, r);
}

template <auto Member, auto Method>
void Plain(const RoomHandlers& handlers, ILogSink*, uint16_t wCommand, const QNPacketDesc& desc)
{
    if (auto* pTarget = handlers.*Member) Call<Method>(*pTarget, wCommand, desc);
}

template <class Record, bool (*Decode)(const uint8_t*, size_t, Record&)>
void Checked(const RoomHandlers&, ILogSink* pLog, uint16_t wCommand, const QNPacketDesc& desc)
{
    Record r{};
    Read<Record, Decode>(pLog, wCommand, desc, r);
}

void Ignored(const RoomHandlers&, ILogSink*, uint16_t, const QNPacketDesc&) {}

// A messenger line is read up to the length its window takes.
bool DecodeMessengerText(const uint8_t* p, size_t n, QNMessage& r)
{
    return DecodeMessage(p, n, r);
}

template <class Pointer> using TargetOf = std::remove_pointer_t<Pointer>;

constexpr RoomHandlerRow kRows[] = {
#define ROOM_DECODED(command, record, decoder, target, method)                                               \
    {command,                                                                                                \
     &Decoded<record, decoder, &RoomHandlers::target, &TargetOf<decltype(RoomHandlers::target)>::method>,    \
     nullptr},
#define ROOM_PLAIN(command, target, method)                                                                  \
    {command, &Plain<&RoomHandlers::target, &TargetOf<decltype(RoomHandlers::target)>::method>, nullptr},
#define ROOM_CHECKED(command, record, decoder, reason) {command, &Checked<record, decoder>, reason},
#define ROOM_IGNORED(command, reason) {command, &Ignored, reason},
#include "confclient/network/QNRoomHandlers.def"
#undef ROOM_DECODED
#undef ROOM_PLAIN
#undef ROOM_CHECKED
#undef ROOM_IGNORED
};
} // namespace

const RoomHandlerRow* FindRoomHandlerRow(uint16_t wCommand)
{
    auto it = std::find_if(std::begin(kRows), std::end(kRows),
                           [wCommand](const RoomHandlerRow& row) { return row.wCommand == wCommand; });
    return it == std::end(kRows) ? nullptr : &*it;
}

void DispatchRoomCommand(const RoomHandlers& handlers, ILogSink* pLog, uint16_t wCommand,
                         const QNPacketDesc& desc)
{
    if (const RoomHandlerRow* pRow = FindRoomHandlerRow(wCommand))
        pRow->pfnDispatch(handlers, pLog, wCommand, desc);
}
