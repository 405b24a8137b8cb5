// The room dispatcher's rows, expanded from QNRoomHandlers.def: one place reads the
// payload and drops a short one with its DEBUG line.
#include "confclient/session/roomdispatch/RoomDispatcher.h"

#include <algorithm>
#include <iterator>

#include "confclient/network/QNCommands.h"

bool DecodePushChunk(const uint8_t* p, size_t n, QNPushChunk& r)
{
    if (!p || n < 2) return false;
    r.pData = p + 2;
    r.nLength = n - 2;
    return true;
}

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

template <class Record, bool (*Decode)(const uint8_t*, size_t, Record&),
          void (IRoomCommands::*Handler)(uint16_t, const QNPacketDesc&, const Record&)>
void Decoded(IRoomCommands& handlers, ILogSink* pLog, uint16_t wCommand, const QNPacketDesc& desc)
{
    Record r{};
    if (Read<Record, Decode>(pLog, wCommand, desc, r)) (handlers.*Handler)(wCommand, desc, r);
}

template <void (IRoomCommands::*Handler)(uint16_t, const QNPacketDesc&)>
void Plain(IRoomCommands& handlers, ILogSink*, uint16_t wCommand, const QNPacketDesc& desc)
{
    (handlers.*Handler)(wCommand, desc);
}

template <class Record, bool (*Decode)(const uint8_t*, size_t, Record&)>
void Checked(IRoomCommands&, ILogSink* pLog, uint16_t wCommand, const QNPacketDesc& desc)
{
    Record r{};
    Read<Record, Decode>(pLog, wCommand, desc, r);
}

void Ignored(IRoomCommands&, ILogSink*, uint16_t, const QNPacketDesc&) {}

constexpr RoomHandlerRow kRows[] = {
#define ROOM_DECODED(command, record, decoder, handler)                                                      \
    {command, &Decoded<record, decoder, &IRoomCommands::handler>, nullptr},
#define ROOM_PLAIN(command, handler) {command, &Plain<&IRoomCommands::handler>, nullptr},
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

void DispatchRoomCommand(IRoomCommands& handlers, ILogSink* pLog, uint16_t wCommand, const QNPacketDesc& desc)
{
    if (const RoomHandlerRow* pRow = FindRoomHandlerRow(wCommand))
        pRow->pfnDispatch(handlers, pLog, wCommand, desc);
}
