// Outbound media-share commands: the sharer's record (564) and its state (566).
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNInterface.h"

bool CQNInterface::SendMediaShareRecord(const QNMediaShareRecord& r)
{
    Bytes p;
    EncodeMediaShareRecord(r, p);
    return SendCommand(CMD_MEDIASHARE_STATE, 0, p.data(), p.size());
}

bool CQNInterface::SendMediaShareState(uint32_t dwFlags)
{
    // Frames of a stopped file still waiting would follow the stop into the room.
    if (((dwFlags >> 2) & 3u) == MEDIASHARE_STOPPED) ClearMediaShareQueue();
    Bytes p;
    EncodeU32(dwFlags, p);
    return SendCommand(CMD_MEDIASHARE_POSITION, 0, p.data(), p.size());
}
