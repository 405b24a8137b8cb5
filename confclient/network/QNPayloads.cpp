// The one codec of the conference payload records.
#include "confclient/network/QNPayloads.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/FieldIO.h"

void EncodeLogin(const QNLoginRequest& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeLogin(const uint8_t* p, size_t n, QNLoginRequest& r)
{
    return DecodeFields(p, n, r);
}

void EncodeLoginAck(const QNLoginAck& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeLoginAck(const uint8_t* p, size_t n, QNLoginAck& r)
{
    return DecodeFields(p, n, r);
}

void EncodeLobbyUser(const QNLobbyUser& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeLobbyUser(const uint8_t* p, size_t n, QNLobbyUser& r)
{
    return DecodeFields(p, n, r);
}

void EncodeLobbyConf(const QNLobbyConf& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeLobbyConf(const uint8_t* p, size_t n, QNLobbyConf& r)
{
    return DecodeFields(p, n, r);
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
    EncodeFields(r, out);
}

bool DecodeSystemOption(const uint8_t* p, size_t n, QNSystemOption& r)
{
    return DecodeFields(p, n, r);
}

void EncodeConfOpen(const QNConfOpen& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeConfOpen(const uint8_t* p, size_t n, QNConfOpen& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRoomInfo(const QNRoomInfo& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomInfo(const uint8_t* p, size_t n, QNRoomInfo& r)
{
    return DecodeFields(p, n, r);
}

void EncodeConfJoin(const QNConfJoin& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeConfJoin(const uint8_t* p, size_t n, QNConfJoin& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRoomUser(const QNRoomUser& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomUser(const uint8_t* p, size_t n, QNRoomUser& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRoomRights(const QNRoomRights& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomRights(const uint8_t* p, size_t n, QNRoomRights& r)
{
    return DecodeFields(p, n, r);
}

void EncodeViewMode(const QNViewMode& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeViewMode(const uint8_t* p, size_t n, QNViewMode& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRoomState(const QNRoomState& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomState(const uint8_t* p, size_t n, QNRoomState& r)
{
    return DecodeFields(p, n, r);
}

void EncodeChat(const QNChat& r, Bytes& out)
{
    size_t nUnits = std::min(r.szText.size(), kMaxChatUnits);
    ByteWriter w(out);
    w.U16(r.wSenderUserIndex).U16(static_cast<uint16_t>(nUnits * 2)).U32(r.dwColour);
    for (size_t i = 0; i < nUnits; ++i)
        w.U16(r.szText[i]);
}

bool DecodeChat(const uint8_t* p, size_t n, QNChat& r)
{
    ByteReader rd(p, n);
    r.wSenderUserIndex = rd.U16();
    size_t nBytes = rd.U16();
    r.dwColour = rd.U32();
    if (!rd.Ok()) return false;
    size_t nUnits = std::min({nBytes / 2, rd.Remaining() / 2, kMaxChatUnits});
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

void EncodeRoomOptions(const std::vector<QNRoomOption>& options, Bytes& out)
{
    ByteWriter w(out);
    for (size_t i = 0; i < kRoomOptionCount; ++i)
    {
        QNRoomOption o = i < options.size() ? options[i] : QNRoomOption{};
        w.U16(o.wLayout).U16(o.wUserLimit);
    }
}

std::vector<QNRoomOption> DecodeRoomOptions(const uint8_t* p, size_t n)
{
    std::vector<QNRoomOption> options;
    if (!p || n < kRoomInfoSize + kRoomOptionCount * 4) return options;
    ByteReader rd(p + kRoomInfoSize, n - kRoomInfoSize);
    for (size_t i = 0; i < kRoomOptionCount; ++i)
    {
        QNRoomOption o;
        o.wLayout = rd.U16();
        o.wUserLimit = rd.U16();
        if (o.wLayout != 0) options.push_back(o);
    }
    return options;
}
