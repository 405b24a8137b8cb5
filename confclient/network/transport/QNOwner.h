// The owner window of the network object as the transport sees it: connection
// notices and inbound commands. The Win32 side posts or sends window messages;
// tests record the calls.
#pragma once
#include <cstddef>
#include <cstdint>

// Window messages of the owner.
constexpr uint32_t kMsgConnectionState = 0x54E; // wParam 1365, 1366 or 1367
constexpr uint32_t kMsgLobbyPacket = 0x550;     // codes 1 to 271 except 110, and 223 from the receive thread
constexpr uint32_t kMsgRoomPacket = 0x552;      // every other decoded command
constexpr uint32_t kMsgBoardPacket = 0x553;     // board data 3000 and 3100
constexpr uint32_t kMsgRecordStatus = 0x554;    // recorder and player status codes

constexpr uint32_t kConnConnected = 1365;
constexpr uint32_t kConnFailed = 1366;
constexpr uint32_t kConnClosed = 1367;

// What lParam of 0x550, 0x552 and 0x553 points to; valid only during the call.
// The payload pointer is the second 32-bit word on the 32-bit target.
struct QNPacketDesc
{
    uint32_t dwExtra = 0;           // the header's sub; the payload length for 323, length - 2 for 525
    const uint8_t* pData = nullptr; // the plain payload, null when empty
    uint32_t nLength = 0;           // bytes at pData: every handler checks it before reading
    uint16_t wSub = 0;              // the header's sub as received
};
static_assert(sizeof(void*) != 4 || offsetof(QNPacketDesc, pData) == 4,
              "handlers read the payload pointer as the descriptor's second 32-bit word");

class IQNOwner
{
public:
    virtual ~IQNOwner() = default;
    // Posts 0x54E with a connection notice; returns at once. Any thread.
    virtual void PostConnectionState(uint32_t wParam, uint32_t lParam) = 0;
    // Posts 0x554 with a recorder or player status code; returns at once. Any thread.
    virtual void PostRecordStatus(uint32_t nStatus) = 0;
    // Sends 0x550, 0x552 or 0x553 and returns when the owner has handled it
    // (a null desc is lParam 0). Called from the dispatch or receive thread.
    virtual void SendPacketMessage(uint32_t nMsg, uint16_t wCommand, const QNPacketDesc* pDesc) = 0;
    // Handles messages sent to the calling thread's windows by other threads,
    // so that a thread blocked in SendPacketMessage can finish. GUI thread only.
    virtual void PumpSentMessages() = 0;
};
