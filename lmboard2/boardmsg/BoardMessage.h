// The board message: S_BOARD_MSGHDR (72 bytes: u8 code and a zero byte, u16 value,
// u32 payload length, wchar[32] name) and a payload; built into a buffer of its own
// and read back within the bytes received.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kBoardMsgHeaderSize = 72;
constexpr size_t kBoardMsgMax = 1376;     // largest message on the wire
constexpr size_t kBoardPayloadMax = 1304; // largest payload: also the file chunk and the stored record limit
constexpr size_t kBoardMsgBuffer = 8192;  // a message that would outgrow this is never sent

enum BoardMsgCode : uint8_t
{
    BMSG_MODE = 1,
    BMSG_HOST_MODE = 2,
    BMSG_END_CONVERSION = 3,
    BMSG_TRANSFER_END = 10,
    BMSG_UPLOAD_START = 20,
    BMSG_PAGE_HEADER = 30,
    BMSG_PAGE_CHUNK = 31,
    BMSG_PAGE_COMPLETE = 32,
    BMSG_PAGE_DELETE = 40,
    BMSG_CURRENT_PAGE = 50,
    BMSG_AGENDA_ORDER = 53,
    BMSG_ERROR7 = 54,
    BMSG_AGENDA_NAME = 56,
    BMSG_ERROR8 = 57,
    BMSG_RECORD = 60,
    BMSG_BROWSER_RECORD = 70,
    BMSG_DOWNLOAD_ACK = 80,
    BMSG_ZOOM = 81,
    BMSG_UPLOAD_CANCEL = 82,
    BMSG_EBOOK = 90,
    BMSG_ERROR0 = 91,
};

struct S_BOARD_MSGHDR
{
    uint8_t byCode = 0;
    uint16_t wValue = 0;
    uint32_t dwPayloadLen = 0;
    char16_t szName[32] = {}; // as received: not necessarily terminated

    // pData must hold kBoardMsgHeaderSize bytes.
    static S_BOARD_MSGHDR Read(const uint8_t* pData);
    void Write(uint8_t* pData) const;
};

// One message being built: begin (code, name, value), append, finish. Appends past
// kBoardMsgBuffer spoil the message, and a spoiled message finishes as nothing.
class CBoardMessage
{
public:
    // Zeroed header with the code, the value and up to 31 units of the name.
    CBoardMessage(uint8_t byCode, std::u16string_view name = {}, uint16_t wValue = 0);

    // The name area (offset 8, 64 bytes), for codes that carry numbers there.
    void PutNameU16(size_t nOffset, uint16_t v);
    void PutNameU32(size_t nOffset, uint32_t v);

    void AppendU8(uint8_t v);
    void AppendU16(uint16_t v);
    void AppendU32(uint32_t v);
    void AppendBytes(const void* p, size_t n); // nothing for no source or no bytes
    void AppendString(std::u16string_view s);  // the units up to the first NUL, then a 16-bit NUL

    size_t Length() const { return m_bytes.size(); }
    uint8_t* Data() { return m_bytes.data(); }

    // Stores the payload length; the whole message, or nothing when it was spoiled.
    std::optional<std::vector<uint8_t>> Finish();

private:
    bool Room(size_t n);

    std::vector<uint8_t> m_bytes;
    bool m_bSpoiled = false;
};

// A received message, checked against the bytes that arrived.
struct BoardMessageView
{
    S_BOARD_MSGHDR hdr;
    const uint8_t* pPayload = nullptr; // hdr.dwPayloadLen bytes
    // The name field as a page or agenda name, when it is terminated and safe.
    std::optional<std::u16string> SafeName() const;
};

// Nothing when the bytes are shorter than the header or than the payload length says.
std::optional<BoardMessageView> ReadBoardMessage(const uint8_t* pData, size_t nLen);
