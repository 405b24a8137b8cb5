// Builders of the room view's requests: the view mode (430) and the room's properties (420).
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/network/transport/QNInterface.h"

bool CQNInterface::SendViewMode(uint16_t wMode, bool bFullScreen)
{
    std::vector<uint8_t> p;
    EncodeViewModeRequest(MakeViewModeRequest(m_record.MyChannel(), wMode, bFullScreen), p);
    return SendCommand(CMD_CONF_VIEWMODE, 0, p.data(), p.size());
}

bool CQNInterface::SendRoomProperty(const S_ROOMPROPERTY& property)
{
    std::vector<uint8_t> p;
    EncodeRoomProperty(PackRoomProperty(property), p);
    return SendCommand(CMD_CONF_PROPERTY, 0, p.data(), p.size());
}
