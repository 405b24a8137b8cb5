// What the transport calls in the room windows, the messenger, the board host
// and the media receivers. Every notice from the send thread is posted: the
// implementation copies what it needs and the window that takes it on the GUI
// thread checks that it still exists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "confclient/network/QNFrameCodec.h"
#include "confclient/network/record/RecordOwner.h"

// The room control window.
class IQNRoomControl
{
public:
    virtual ~IQNRoomControl() = default;
    // True when the room control window exists and its mode value is 2.
    virtual bool WantsBacklogNotice() = 0;
    // Posts 4053 (wParam 1, lParam 0) to the room control window.
    virtual void PostBacklogNotice() = 0;
    // Posts the file bytes of a pushed block (command 524) that left the socket.
    virtual void PostPushChunkSent(uint32_t nBytes) = 0;
};

// The session's messenger file-transfer bookkeeping.
class IQNTransferBook
{
public:
    virtual ~IQNTransferBook() = default;
    // Posts (transfer identifier, bytes) of a messenger file block (command 640) that left the socket.
    virtual void PostFileBlockSent(uint16_t wTransfer, uint32_t nBytes) = 0;
};

// The board view (command 3000) and the share view (command 3100) of the host.
class IQNBoardHost
{
public:
    virtual ~IQNBoardHost() = default;
    // Posts the unmasked payload of a board frame that left the socket, so that the
    // control sends its next chunk; 3000 goes to the board view, 3100 to the share view.
    virtual void PostBoardDataSent(uint16_t wCommand, std::vector<uint8_t> plain) = 0;
};

// The media receivers of the main dialog.
class IQNMediaReceivers
{
public:
    virtual ~IQNMediaReceivers() = default;
    // Voice (1000) and shared-movie sound (2202), unmasked, on the receive thread.
    virtual void OnSoundFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* pData, size_t nLen) = 0;
    // Video and shared-movie video (2000, 2010, 2020, 2030, 2201), unmasked, on the dispatch thread.
    virtual void OnMediaFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* pData, size_t nLen) = 0;
};

// The main dialog as the network object sees it: log, player mode, the services
// above, and what the recorder needs (clocks, folders, meeting, player).
class IQNHost : public IQNSession,
                public IQNRoomControl,
                public IQNTransferBook,
                public IQNBoardHost,
                public IQNMediaReceivers,
                public virtual IRecordOwner
{
};
