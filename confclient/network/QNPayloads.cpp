// The one codec of the conference payload records.
#include "confclient/network/QNPayloads.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

void EncodeLogin(const QNLoginRequest& r, Bytes& out)
{
    ByteWriter w(out);
    w.Utf16Field(r.szUserId, kIdUnits).Utf16Field(r.szSecond, kIdUnits).U16(r.wValue).U16(r.wPanel);
}

bool DecodeLogin(const uint8_t* p, size_t n, QNLoginRequest& r)
{
    ByteReader rd(p, n);
    r.szUserId = rd.Utf16Field(kIdUnits);
    r.szSecond = rd.Utf16Field(kIdUnits);
    r.wValue = rd.U16();
    r.wPanel = rd.U16();
    return rd.Ok();
}

void EncodeLoginAck(const QNLoginAck& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wLevel).Zeros(12).U16(r.wUserIndex).U16(0).U16(r.wGroupCode);
    w.Utf16Field(r.szUserId, kIdUnits).U32(0).Utf16Field(r.szName, kNameUnits);
}

bool DecodeLoginAck(const uint8_t* p, size_t n, QNLoginAck& r)
{
    ByteReader rd(p, n);
    r.wLevel = rd.U16();
    rd.Skip(12);
    r.wUserIndex = rd.U16();
    rd.Skip(2);
    r.wGroupCode = rd.U16();
    r.szUserId = rd.Utf16Field(kIdUnits);
    rd.Skip(4);
    r.szName = rd.Utf16Field(kNameUnits);
    return rd.Ok();
}

void EncodeLobbyUser(const QNLobbyUser& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wUserIndex).U16(r.wLevel).U16(r.wRoomIndex).U16(r.wGroupCode);
    w.Utf16Field(r.szUserId, kIdUnits).Utf16Field(r.szName, kNameUnits);
}

bool DecodeLobbyUser(const uint8_t* p, size_t n, QNLobbyUser& r)
{
    ByteReader rd(p, n);
    r.wUserIndex = rd.U16();
    r.wLevel = rd.U16();
    r.wRoomIndex = rd.U16();
    r.wGroupCode = rd.U16();
    r.szUserId = rd.Utf16Field(kIdUnits);
    r.szName = rd.Utf16Field(kNameUnits);
    return rd.Ok();
}

void EncodeLobbyConf(const QNLobbyConf& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wRoomIndex).U16(r.wRoomType).U16(r.wMaxUser).U16(r.wUserCount).U32(r.dwFlags);
    w.U32(r.dwStartTime).U32(r.dwEndTime).U16(r.wLocked).U16(r.wOwnerIndex);
    w.Utf16Field(r.szTitle, kTitleUnits).U16(0).Utf16Field(r.szConfCode, kConfCodeUnits);
    w.Utf16Field(r.szOwnerId, kIdUnits).Utf16Field(r.szOwnerName, kNameUnits);
}

bool DecodeLobbyConf(const uint8_t* p, size_t n, QNLobbyConf& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    r.wRoomType = rd.U16();
    r.wMaxUser = rd.U16();
    r.wUserCount = rd.U16();
    r.dwFlags = rd.U32();
    r.dwStartTime = rd.U32();
    r.dwEndTime = rd.U32();
    r.wLocked = rd.U16();
    r.wOwnerIndex = rd.U16();
    r.szTitle = rd.Utf16Field(kTitleUnits);
    rd.Skip(2);
    r.szConfCode = rd.Utf16Field(kConfCodeUnits);
    r.szOwnerId = rd.Utf16Field(kIdUnits);
    r.szOwnerName = rd.Utf16Field(kNameUnits);
    return rd.Ok();
}

namespace
{
template <typename T, typename Enc> void EncodeList(const std::vector<T>& v, Bytes& out, Enc enc)
{
    ByteWriter(out).U16(static_cast<uint16_t>(v.size())).U16(0);
    for (const T& r : v)
        enc(r, out);
}

template <typename T, typename Dec>
bool DecodeList(const uint8_t* p, size_t n, std::vector<T>& v, size_t nRecord, Dec dec)
{
    ByteReader rd(p, n);
    uint16_t nCount = rd.U16();
    rd.Skip(2);
    // The count comes from the peer: it must fit the bytes that follow.
    if (!rd.Ok() || nCount > rd.Remaining() / nRecord) return false;
    v.assign(nCount, T{});
    for (T& r : v)
        if (!dec(rd.Span(nRecord), nRecord, r)) return false;
    return true;
}
} // namespace

void EncodeUserList(const std::vector<QNLobbyUser>& v, Bytes& out)
{
    EncodeList(v, out, EncodeLobbyUser);
}
bool DecodeUserList(const uint8_t* p, size_t n, std::vector<QNLobbyUser>& v)
{
    return DecodeList(p, n, v, kLobbyUserSize, DecodeLobbyUser);
}
void EncodeConfList(const std::vector<QNLobbyConf>& v, Bytes& out)
{
    EncodeList(v, out, EncodeLobbyConf);
}
bool DecodeConfList(const uint8_t* p, size_t n, std::vector<QNLobbyConf>& v)
{
    return DecodeList(p, n, v, kLobbyConfSize, DecodeLobbyConf);
}

void EncodeSystemOption(const QNSystemOption& r, Bytes& out)
{
    ByteWriter(out)
        .Utf16Field(r.szDssAddress, kAddressUnits)
        .U16(r.wDssPort)
        .U16(r.wUseRemoteControl)
        .U16(r.wUseDesktop)
        .U16(0);
}

bool DecodeSystemOption(const uint8_t* p, size_t n, QNSystemOption& r)
{
    ByteReader rd(p, n);
    r.szDssAddress = rd.Utf16Field(kAddressUnits);
    r.wDssPort = rd.U16();
    r.wUseRemoteControl = rd.U16();
    r.wUseDesktop = rd.U16();
    rd.Skip(2);
    return rd.Ok();
}

void EncodeConfOpen(const QNConfOpen& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wRoomType).U16(r.wMaxUser).U32(r.dwFlags).Utf16Field(r.szTitle, kTitleUnits).U16(0);
    w.Utf16Field(r.szConfCode, kConfCodeUnits).Utf16Field(r.szPassword, kPasswordUnits);
}

bool DecodeConfOpen(const uint8_t* p, size_t n, QNConfOpen& r)
{
    ByteReader rd(p, n);
    r.wRoomType = rd.U16();
    r.wMaxUser = rd.U16();
    r.dwFlags = rd.U32();
    r.szTitle = rd.Utf16Field(kTitleUnits);
    rd.Skip(2);
    r.szConfCode = rd.Utf16Field(kConfCodeUnits);
    r.szPassword = rd.Utf16Field(kPasswordUnits);
    return rd.Ok();
}

void EncodeRoomInfo(const QNRoomInfo& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wRoomIndex).U16(r.wRoomType).U16(r.wMaxUser).U16(r.wExtraLocalVideo).U32(r.dwFlags);
    w.U16(r.wMyChannel).U16(r.wOwnerIndex).Utf16Field(r.szTitle, kTitleUnits).U16(0);
    w.Utf16Field(r.szConfCode, kConfCodeUnits);
}

bool DecodeRoomInfo(const uint8_t* p, size_t n, QNRoomInfo& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    r.wRoomType = rd.U16();
    r.wMaxUser = rd.U16();
    r.wExtraLocalVideo = rd.U16();
    r.dwFlags = rd.U32();
    r.wMyChannel = rd.U16();
    r.wOwnerIndex = rd.U16();
    r.szTitle = rd.Utf16Field(kTitleUnits);
    rd.Skip(2);
    r.szConfCode = rd.Utf16Field(kConfCodeUnits);
    return rd.Ok();
}

void EncodeConfJoin(const QNConfJoin& r, Bytes& out)
{
    ByteWriter(out)
        .U16(r.wRoomIndex)
        .U16(0)
        .Utf16Field(r.szConfCode, kConfCodeUnits)
        .Utf16Field(r.szPassword, kPasswordUnits);
}

bool DecodeConfJoin(const uint8_t* p, size_t n, QNConfJoin& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    rd.Skip(2);
    r.szConfCode = rd.Utf16Field(kConfCodeUnits);
    r.szPassword = rd.Utf16Field(kPasswordUnits);
    return rd.Ok();
}

void EncodeRoomUser(const QNRoomUser& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wChannel).U16(r.wUserIndex).U16(r.wLevel).U16(r.wVideoStop).U16(r.wCamType).U16(0);
    w.U32(r.dwDrawRight).U32(r.dwTalkRight).U32(r.dwDsRight).U32(r.dwShareRight).U32(r.dwMediaShareRight);
    w.Utf16Field(r.szUserId, kIdUnits).Utf16Field(r.szName, kNameUnits);
}

bool DecodeRoomUser(const uint8_t* p, size_t n, QNRoomUser& r)
{
    ByteReader rd(p, n);
    r.wChannel = rd.U16();
    r.wUserIndex = rd.U16();
    r.wLevel = rd.U16();
    r.wVideoStop = rd.U16();
    r.wCamType = rd.U16();
    rd.Skip(2);
    r.dwDrawRight = rd.U32();
    r.dwTalkRight = rd.U32();
    r.dwDsRight = rd.U32();
    r.dwShareRight = rd.U32();
    r.dwMediaShareRight = rd.U32();
    r.szUserId = rd.Utf16Field(kIdUnits);
    r.szName = rd.Utf16Field(kNameUnits);
    return rd.Ok();
}

void EncodeRoomRights(const QNRoomRights& r, Bytes& out)
{
    ByteWriter(out).U16(r.wRoomIndex).U16(0).U32(r.dwRights);
}

bool DecodeRoomRights(const uint8_t* p, size_t n, QNRoomRights& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    rd.Skip(2);
    r.dwRights = rd.U32();
    return rd.Ok();
}

void EncodeViewMode(const QNViewMode& r, Bytes& out)
{
    ByteWriter(out).U16(r.wRoomIndex).U16(r.wViewMode).U16(r.wModeValue).U16(0);
}

bool DecodeViewMode(const uint8_t* p, size_t n, QNViewMode& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    r.wViewMode = rd.U16();
    r.wModeValue = rd.U16();
    rd.Skip(2);
    return rd.Ok();
}

void EncodeRoomState(const QNRoomState& r, Bytes& out)
{
    ByteWriter(out).U16(r.wRoomIndex).U16(r.wState).U32(r.dwFlags);
}

bool DecodeRoomState(const uint8_t* p, size_t n, QNRoomState& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    r.wState = rd.U16();
    r.dwFlags = rd.U32();
    return rd.Ok();
}

void EncodeChat(const QNChat& r, Bytes& out)
{
    size_t nUnits = std::min(r.szText.size(), kMaxChatUnits);
    ByteWriter w(out);
    w.U16(r.wSenderChannel).U16(r.wTargetChannel).U32(r.dwColour).U16(static_cast<uint16_t>(nUnits));
    for (size_t i = 0; i < nUnits; ++i)
        w.U16(r.szText[i]);
}

bool DecodeChat(const uint8_t* p, size_t n, QNChat& r)
{
    ByteReader rd(p, n);
    r.wSenderChannel = rd.U16();
    r.wTargetChannel = rd.U16();
    r.dwColour = rd.U32();
    uint16_t nUnits = rd.U16();
    if (!rd.Ok() || nUnits > kMaxChatUnits || nUnits > rd.Remaining() / 2) return false;
    r.szText.resize(nUnits);
    for (char16_t& c : r.szText)
        c = rd.U16();
    return rd.Ok();
}

void EncodeU16(uint16_t v, Bytes& out)
{
    ByteWriter(out).U16(v);
}
bool DecodeU16(const uint8_t* p, size_t n, uint16_t& v)
{
    ByteReader rd(p, n);
    v = rd.U16();
    return rd.Ok();
}
void EncodeU32(uint32_t v, Bytes& out)
{
    ByteWriter(out).U32(v);
}
bool DecodeU32(const uint8_t* p, size_t n, uint32_t& v)
{
    ByteReader rd(p, n);
    v = rd.U32();
    return rd.Ok();
}
