// This user's private data kept by the server: the text loaded into the room state, and
// the failure of a load or save told to the user.
#pragma once
#include <cstdint>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

// Who reads the loaded text into rows of its own (the dialer's phone book).
class IPrivateDataReader
{
public:
    virtual ~IPrivateDataReader() = default;
    virtual void ParsePrivateData(const std::u16string& szText) = 0;
};

class CPrivateDataFeature
{
public:
    CPrivateDataFeature(CRoomState& room, IRoomNotices& notices, ILogSink* pLog,
                        IPrivateDataReader* pReader = nullptr)
        : m_room(room), m_notices(notices), m_pLog(pLog), m_pReader(pReader)
    {
    }

    // The loaded text replaces the one kept, and goes to the reader.
    void OnLoaded(const QNPrivateData& data);
    // A load or save the server refused; its reason is the descriptor's extra value.
    void OnRefused(uint16_t wCommand, const QNPacketDesc& desc);

private:
    CRoomState& m_room;
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
    IPrivateDataReader* m_pReader;
};
