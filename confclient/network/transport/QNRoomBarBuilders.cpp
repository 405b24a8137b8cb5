// Builders of the control bar's commands: the room record (370), the room type (380), the
// lecture (532), everyone's room window (538) and the presenter set by the bar (553).
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNInterface.h"

bool CQNInterface::SendConfUpdate(const QNConfUpdate& record)
{
    Bytes p;
    EncodeConfUpdate(record, p);
    return SendCommand(CMD_CONF_UPDATE, 0, p.data(), p.size());
}

bool CQNInterface::SendRoomType(uint16_t wRoomType, uint16_t wUserLimit)
{
    Bytes p;
    EncodeRoomTypeRequest({wRoomType, wUserLimit}, p);
    return SendCommand(CMD_CONF_CONFTYPE, 0, p.data(), p.size());
}

bool CQNInterface::SendCmd532(uint16_t wValue, uint16_t wMinutes)
{
    Bytes p;
    EncodeLectureCommand({wValue, wMinutes}, p);
    return SendCommand(NTF_CONF_STATE, 0, p.data(), p.size());
}

bool CQNInterface::SendCmd538(uint16_t wIndex, bool bMaximize)
{
    Bytes p;
    EncodeMaximize({wIndex, static_cast<uint8_t>(bMaximize ? 1 : 0)}, p);
    return SendCommand(CMD_CONF_MAXIMIZE, 0, p.data(), p.size());
}

bool CQNInterface::SendSetPresenter(uint16_t wUserIndex, bool bSet)
{
    if (wUserIndex == kNoIndex) return false;
    Bytes p;
    EncodeSetPresenter(MakeSetPresenter(wUserIndex, bSet), p);
    return SendCommand(INFO_CONF_PRESENTER_SET, 0, p.data(), p.size());
}
