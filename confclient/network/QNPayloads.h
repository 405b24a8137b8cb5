// Payload records of the conference commands and their one codec, shared by the
// network object and the loopback server. Layouts are in docs/protocol.md.
// Encoders append to a byte vector; decoders read through a bounds-checked
// reader and return false for a payload too short for its record.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kNoIndex = 65535;

// Field widths in UTF-16 units, terminator included.
constexpr size_t kIdUnits = 32;
constexpr size_t kNameUnits = 32;
constexpr size_t kTitleUnits = 101;
constexpr size_t kConfCodeUnits = 32;
constexpr size_t kPasswordUnits = 16;
constexpr size_t kAddressUnits = 32;

using Bytes = std::vector<uint8_t>;

// 200 and 203: the lobby login.
struct QNLoginRequest
{
    std::u16string szUserId;
    std::u16string szSecond; // the second login string (password or ticket)
    uint16_t wValue = 0;     // the kept 16-bit login value
    uint16_t wPanel = 0;     // 1 when a control panel drives the session
};
template <class IO> void Fields(IO& io, QNLoginRequest& r)
{
    io.Utf16(r.szUserId, kIdUnits);
    io.Utf16(r.szSecond, kIdUnits);
    io.U16(r.wValue);
    io.U16(r.wPanel);
}
void EncodeLogin(const QNLoginRequest& r, Bytes& out);
bool DecodeLogin(const uint8_t* p, size_t n, QNLoginRequest& r);

// 201: the login answer.
struct QNLoginAck
{
    uint16_t wLevel = 0;
    uint16_t wUserIndex = kNoIndex;
    uint16_t wGroupCode = 0;
    std::u16string szUserId;
    std::u16string szName;
};
template <class IO> void Fields(IO& io, QNLoginAck& r)
{
    io.U16(r.wLevel);
    io.Pad(12);
    io.U16(r.wUserIndex);
    io.Pad(2);
    io.U16(r.wGroupCode);
    io.Utf16(r.szUserId, kIdUnits);
    io.Pad(4);
    io.Utf16(r.szName, kNameUnits);
}
void EncodeLoginAck(const QNLoginAck& r, Bytes& out);
bool DecodeLoginAck(const uint8_t* p, size_t n, QNLoginAck& r);
constexpr size_t kLoginAckSize = 152;

// 100, 101 and each entry of 231: a lobby user.
struct QNLobbyUser
{
    uint16_t wUserIndex = kNoIndex;
    uint16_t wLevel = 0;
    uint16_t wRoomIndex = 0;
    uint16_t wGroupCode = 0;
    std::u16string szUserId;
    std::u16string szName;
};
template <class IO> void Fields(IO& io, QNLobbyUser& r)
{
    io.U16(r.wUserIndex);
    io.U16(r.wLevel);
    io.U16(r.wRoomIndex);
    io.U16(r.wGroupCode);
    io.Utf16(r.szUserId, kIdUnits);
    io.Utf16(r.szName, kNameUnits);
}
constexpr size_t kLobbyUserSize = 136;
void EncodeLobbyUser(const QNLobbyUser& r, Bytes& out);
bool DecodeLobbyUser(const uint8_t* p, size_t n, QNLobbyUser& r);

// 120, 303, 371 and each entry of 241: a lobby conference.
struct QNLobbyConf
{
    uint16_t wRoomIndex = 0;
    uint16_t wRoomType = 0;
    uint16_t wMaxUser = 0;
    uint16_t wUserCount = 0;
    uint32_t dwFlags = 0;
    uint32_t dwStartTime = 0; // seconds since 1970, UTC
    uint32_t dwEndTime = 0;
    uint16_t wLocked = 0;
    uint16_t wOwnerIndex = kNoIndex;
    std::u16string szTitle;
    std::u16string szConfCode;
    std::u16string szOwnerId;
    std::u16string szOwnerName;
};
template <class IO> void Fields(IO& io, QNLobbyConf& r)
{
    io.U16(r.wRoomIndex);
    io.U16(r.wRoomType);
    io.U16(r.wMaxUser);
    io.U16(r.wUserCount);
    io.U32(r.dwFlags);
    io.U32(r.dwStartTime);
    io.U32(r.dwEndTime);
    io.U16(r.wLocked);
    io.U16(r.wOwnerIndex);
    io.Utf16(r.szTitle, kTitleUnits);
    io.Pad(2);
    io.Utf16(r.szConfCode, kConfCodeUnits);
    io.Utf16(r.szOwnerId, kIdUnits);
    io.Utf16(r.szOwnerName, kNameUnits);
}
constexpr size_t kLobbyConfSize = 420;
void EncodeLobbyConf(const QNLobbyConf& r, Bytes& out);
bool DecodeLobbyConf(const uint8_t* p, size_t n, QNLobbyConf& r);

// 231 and 241: a u16 count, two reserved bytes, then the records.
void EncodeUserList(const std::vector<QNLobbyUser>& v, Bytes& out);
bool DecodeUserList(const uint8_t* p, size_t n, std::vector<QNLobbyUser>& v);
void EncodeConfList(const std::vector<QNLobbyConf>& v, Bytes& out);
bool DecodeConfList(const uint8_t* p, size_t n, std::vector<QNLobbyConf>& v);

// 251: the system options: six option words, then the desktop-sharing server.
struct QNSystemOption
{
    uint32_t dwOption0 = 0;  // bit 12 VideoOff
    uint32_t dwOption4 = 0;  // bits 30-31 RightMode
    uint32_t dwOption24 = 0; // bits 2-3 MessageMode, 6-7 PresenterMode, 19 UseInvite; bit 1 a taller panel
    uint32_t dwOption36 = 0; // bit 16 UseRemoteControl, 17 UseDesktop
    uint32_t dwOption50 = 0; // bits 0-1 MediaShareMode
    uint32_t dwOption62 = 0; // bit 16 UsePhoneCall, 17 UseHwCall
    std::u16string szDssAddress;
    uint16_t wDssPort = 0;

    bool VideoOff() const { return (dwOption0 >> 12) & 1; }
    int RightMode() const { return static_cast<int>(dwOption4 >> 30); }
    int MessageMode() const { return static_cast<int>((dwOption24 >> 2) & 3); }
    int PresenterMode() const { return static_cast<int>((dwOption24 >> 6) & 3); }
    bool UseInvite() const { return (dwOption24 >> 19) & 1; }
    uint16_t UseRemoteControl() const { return (dwOption36 >> 16) & 1; }
    uint16_t UseDesktop() const { return (dwOption36 >> 17) & 1; }
    int MediaShareMode() const { return static_cast<int>(dwOption50 & 3); }
    bool UsePhoneCall() const { return (dwOption62 >> 16) & 1; }
    bool UseHwCall() const { return (dwOption62 >> 17) & 1; }
};
// The call options of word 62: calls to telephones and to terminals.
constexpr uint32_t kUsePhoneCall = 1u << 16;
constexpr uint32_t kUseHwCall = 1u << 17;
template <class IO> void Fields(IO& io, QNSystemOption& r)
{
    io.U32(r.dwOption0);
    io.U32(r.dwOption4);
    io.Pad(16);
    io.U32(r.dwOption24);
    io.Pad(8);
    io.U32(r.dwOption36);
    io.Pad(10);
    io.U32(r.dwOption50);
    io.Pad(8);
    io.U32(r.dwOption62);
    io.Utf16(r.szDssAddress, kAddressUnits);
    io.U16(r.wDssPort);
    io.Pad(178);
}
constexpr size_t kSystemOptionSize = 310;
void EncodeSystemOption(const QNSystemOption& r, Bytes& out);
bool DecodeSystemOption(const uint8_t* p, size_t n, QNSystemOption& r);

// 300: open a room.
struct QNConfOpen
{
    uint16_t wRoomType = 0;
    uint16_t wMaxUser = 0;
    uint32_t dwFlags = 0;
    std::u16string szTitle;
    std::u16string szConfCode;
    std::u16string szPassword;
};
template <class IO> void Fields(IO& io, QNConfOpen& r)
{
    io.U16(r.wRoomType);
    io.U16(r.wMaxUser);
    io.U32(r.dwFlags);
    io.Utf16(r.szTitle, kTitleUnits);
    io.Pad(2);
    io.Utf16(r.szConfCode, kConfCodeUnits);
    io.Utf16(r.szPassword, kPasswordUnits);
}
void EncodeConfOpen(const QNConfOpen& r, Bytes& out);
bool DecodeConfOpen(const uint8_t* p, size_t n, QNConfOpen& r);

// 301 and 321: the room record.
struct QNRoomInfo
{
    uint16_t wRoomIndex = 0;
    uint16_t wRoomType = 0;
    uint16_t wMaxUser = 0;
    uint16_t wExtraLocalVideo = 0;
    uint32_t dwFlags = 0;
    uint16_t wMyChannel = kNoIndex;
    uint16_t wOwnerIndex = kNoIndex;
    std::u16string szTitle;
    std::u16string szConfCode;
};
template <class IO> void Fields(IO& io, QNRoomInfo& r)
{
    io.U16(r.wRoomIndex);
    io.U16(r.wRoomType);
    io.U16(r.wMaxUser);
    io.U16(r.wExtraLocalVideo);
    io.U32(r.dwFlags);
    io.U16(r.wMyChannel);
    io.U16(r.wOwnerIndex);
    io.Utf16(r.szTitle, kTitleUnits);
    io.Pad(2);
    io.Utf16(r.szConfCode, kConfCodeUnits);
}
constexpr size_t kRoomInfoSize = 284;
void EncodeRoomInfo(const QNRoomInfo& r, Bytes& out);
bool DecodeRoomInfo(const uint8_t* p, size_t n, QNRoomInfo& r);

// The room option table after the room record of 301 and 321: 30 entries of {u16 layout, u16 user
// limit}; an entry of layout 0 is empty. A record without the table offers no layouts.
struct QNRoomOption
{
    uint16_t wLayout = 0;
    uint16_t wUserLimit = 0;
    bool operator==(const QNRoomOption&) const = default;
};
constexpr size_t kRoomOptionCount = 30;
// Appends the table (at most 30 entries; the rest empty).
void EncodeRoomOptions(const std::vector<QNRoomOption>& options, Bytes& out);
// The table's non-empty entries from a whole 301 or 321 payload; none when it ends with the record.
std::vector<QNRoomOption> DecodeRoomOptions(const uint8_t* p, size_t n);

// 320: join a room.
struct QNConfJoin
{
    uint16_t wRoomIndex = 0;
    std::u16string szConfCode;
    std::u16string szPassword;
};
template <class IO> void Fields(IO& io, QNConfJoin& r)
{
    io.U16(r.wRoomIndex);
    io.Pad(2);
    io.Utf16(r.szConfCode, kConfCodeUnits);
    io.Utf16(r.szPassword, kPasswordUnits);
}
void EncodeConfJoin(const QNConfJoin& r, Bytes& out);
bool DecodeConfJoin(const uint8_t* p, size_t n, QNConfJoin& r);

// 323 and 332: a room user.
struct QNRoomUser
{
    uint16_t wChannel = kNoIndex;
    uint16_t wUserIndex = kNoIndex;
    uint16_t wLevel = 0;
    uint16_t wVideoStop = 0;
    uint16_t wCamType = 0;
    uint32_t dwDrawRight = 0;
    uint32_t dwTalkRight = 0;
    uint32_t dwDsRight = 0;
    uint32_t dwShareRight = 0;
    uint32_t dwMediaShareRight = 0;
    std::u16string szUserId;
    std::u16string szName;
};
template <class IO> void Fields(IO& io, QNRoomUser& r)
{
    io.U16(r.wChannel);
    io.U16(r.wUserIndex);
    io.U16(r.wLevel);
    io.U16(r.wVideoStop);
    io.U16(r.wCamType);
    io.Pad(2);
    io.U32(r.dwDrawRight);
    io.U32(r.dwTalkRight);
    io.U32(r.dwDsRight);
    io.U32(r.dwShareRight);
    io.U32(r.dwMediaShareRight);
    io.Utf16(r.szUserId, kIdUnits);
    io.Utf16(r.szName, kNameUnits);
}
constexpr size_t kRoomUserSize = 160;
void EncodeRoomUser(const QNRoomUser& r, Bytes& out);
bool DecodeRoomUser(const uint8_t* p, size_t n, QNRoomUser& r);

// 421: the room's right bits (bit n = right selector n).
struct QNRoomRights
{
    uint16_t wRoomIndex = 0;
    uint32_t dwRights = 0;
};
template <class IO> void Fields(IO& io, QNRoomRights& r)
{
    io.U16(r.wRoomIndex);
    io.Pad(2);
    io.U32(r.dwRights);
}
void EncodeRoomRights(const QNRoomRights& r, Bytes& out);
bool DecodeRoomRights(const uint8_t* p, size_t n, QNRoomRights& r);

// 431: the view mode.
struct QNViewMode
{
    uint16_t wRoomIndex = 0;
    uint16_t wViewMode = 0;
    uint16_t wModeValue = 0;
    uint16_t wFlags = 0; // bit 0: the room is in full screen
};
template <class IO> void Fields(IO& io, QNViewMode& r)
{
    io.U16(r.wRoomIndex);
    io.U16(r.wViewMode);
    io.U16(r.wModeValue);
    io.U16(r.wFlags);
}
void EncodeViewMode(const QNViewMode& r, Bytes& out);
bool DecodeViewMode(const uint8_t* p, size_t n, QNViewMode& r);

// 533: the room state, and the lecture's state (0 none, 1 started, 100 ended) and length in minutes.
struct QNRoomState
{
    uint16_t wRoomIndex = 0;
    uint16_t wState = 0;
    uint32_t dwFlags = 0;
    uint16_t wLectureState = 0;
    uint16_t wLectureMinutes = 0;
};
template <class IO> void Fields(IO& io, QNRoomState& r)
{
    io.U16(r.wRoomIndex);
    io.U16(r.wState);
    io.U32(r.dwFlags);
    io.U16(r.wLectureState);
    io.U16(r.wLectureMinutes);
}
void EncodeRoomState(const QNRoomState& r, Bytes& out);
bool DecodeRoomState(const uint8_t* p, size_t n, QNRoomState& r);

// 460 and 461: a chat line. The client's 460 carries its own user index; the server's 461 the
// sender's. The text is read as far as its stated byte length and the payload reach, in whole
// UTF-16 units, at most kMaxChatUnits of them.
struct QNChat
{
    uint16_t wSenderUserIndex = kNoIndex;
    uint32_t dwColour = 0;
    std::u16string szText;
};
constexpr size_t kMaxChatUnits = 1024;
void EncodeChat(const QNChat& r, Bytes& out);
bool DecodeChat(const uint8_t* p, size_t n, QNChat& r);

// One u16 (110, 330, 341, 391, 544) or one u32 (410) as the whole payload.
void EncodeU16(uint16_t v, Bytes& out);
bool DecodeU16(const uint8_t* p, size_t n, uint16_t& v);
void EncodeU32(uint32_t v, Bytes& out);
bool DecodeU32(const uint8_t* p, size_t n, uint32_t& v);

// 20 and 21: 32 little-endian round-key words.
constexpr size_t kRoundKeyBytes = 128;
