// The one codec of the room payload records beyond the basic room commands.
#include "confclient/network/QNRoomPayloads.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

namespace
{
constexpr size_t kViewNameUnits = (kViewNameEntrySize - 2) / 2;
constexpr size_t kRecordTargetUnits = 64;
constexpr size_t kFileNameUnits = 130;
constexpr size_t kInviteUnits = 128;
constexpr uint16_t kPhoneBookKind = 2;

// nBytes of UTF-16 text from p, cut to whole units and at the first zero unit.
std::u16string TextOf(const uint8_t* p, size_t nBytes)
{
    std::u16string s;
    for (size_t i = 0; i + 1 < nBytes; i += 2)
    {
        char16_t c = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
        if (c == 0) break;
        s.push_back(c);
    }
    return s;
}

void PutText(ByteWriter& w, const std::u16string& s, size_t nUnits)
{
    for (size_t i = 0; i < nUnits; ++i)
        w.U16(s[i]);
}
} // namespace

void EncodeViewNames(const std::vector<QNViewName>& v, Bytes& out)
{
    size_t nCount = std::min(v.size(), kMaxViewNames);
    ByteWriter w(out);
    w.U16(static_cast<uint16_t>(nCount)).U16(0);
    for (size_t i = 0; i < nCount; ++i)
        w.U16(v[i].wChannel).Utf16Field(v[i].szName, kViewNameUnits);
}

bool DecodeViewNames(const uint8_t* p, size_t n, std::vector<QNViewName>& v)
{
    ByteReader rd(p, n);
    uint16_t nCount = rd.U16();
    rd.Skip(2);
    // The count comes from the peer: more than the views there are, or more than
    // the bytes that follow, refuses the whole list.
    if (!rd.Ok() || nCount > kMaxViewNames || nCount > rd.Remaining() / kViewNameEntrySize) return false;
    v.assign(nCount, QNViewName{});
    for (QNViewName& e : v)
    {
        e.wChannel = rd.U16();
        e.szName = rd.Utf16Field(kViewNameUnits);
    }
    return rd.Ok();
}

void EncodeRoomType(const QNRoomType& r, Bytes& out)
{
    ByteWriter(out).U16(r.wRoomIndex).U16(r.wRoomType).U32(r.dwFlags);
}

bool DecodeRoomType(const uint8_t* p, size_t n, QNRoomType& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    r.wRoomType = rd.U16();
    r.dwFlags = rd.U32();
    return rd.Ok();
}

void EncodeChannelChange(const QNChannelChange& r, Bytes& out)
{
    ByteWriter(out).U16(r.wUserIndex).U16(r.wOldChannel).U16(r.wNewChannel);
}

bool DecodeChannelChange(const uint8_t* p, size_t n, QNChannelChange& r)
{
    ByteReader rd(p, n);
    r.wUserIndex = rd.U16();
    r.wOldChannel = rd.U16();
    r.wNewChannel = rd.U16();
    return rd.Ok();
}

void EncodeUserStatus(const QNUserStatus& r, Bytes& out)
{
    ByteWriter(out).U16(r.wChannel).U16(r.wStatus).U32(r.dwFlags);
}

bool DecodeUserStatus(const uint8_t* p, size_t n, QNUserStatus& r)
{
    ByteReader rd(p, n);
    r.wChannel = rd.U16();
    r.wStatus = rd.U16();
    r.dwFlags = rd.U32();
    return rd.Ok();
}

void EncodeRecordNotice(const QNRecordNotice& r, Bytes& out)
{
    ByteWriter(out).U16(r.wChannel).U16(r.wFlag);
}

bool DecodeRecordNotice(const uint8_t* p, size_t n, QNRecordNotice& r)
{
    ByteReader rd(p, n);
    r.wChannel = rd.U16();
    r.wFlag = rd.U16();
    return rd.Ok();
}

void EncodeServerRecordLocal(const QNServerRecordLocal& r, Bytes& out)
{
    ByteWriter(out).U16(r.wFlag).U16(0).Utf16Field(r.szTargetName, kRecordTargetUnits);
}

bool DecodeServerRecordLocal(const uint8_t* p, size_t n, QNServerRecordLocal& r)
{
    ByteReader rd(p, n);
    r.wFlag = rd.U16();
    rd.Skip(2);
    r.szTargetName = rd.Utf16Field(kRecordTargetUnits);
    return rd.Ok();
}

void EncodeCamControl(const QNCamControl& r, Bytes& out)
{
    ByteWriter(out).U16(r.wTargetChannel).U16(r.wAction).U16(r.wValue);
}

bool DecodeCamControl(const uint8_t* p, size_t n, QNCamControl& r)
{
    ByteReader rd(p, n);
    r.wTargetChannel = rd.U16();
    r.wAction = rd.U16();
    r.wValue = rd.U16();
    return rd.Ok();
}

void EncodePushBegin(const QNPushBegin& r, Bytes& out)
{
    ByteWriter(out)
        .U16(r.wPushId)
        .U16(r.wSenderChannel)
        .U32(r.dwFileSize)
        .Utf16Field(r.szFileName, kFileNameUnits);
}

bool DecodePushBegin(const uint8_t* p, size_t n, QNPushBegin& r)
{
    ByteReader rd(p, n);
    r.wPushId = rd.U16();
    r.wSenderChannel = rd.U16();
    r.dwFileSize = rd.U32();
    r.szFileName = rd.Utf16Field(kFileNameUnits);
    return rd.Ok();
}

void EncodeRemoteSetting(const QNRemoteSetting& r, Bytes& out)
{
    ByteWriter(out).U16(r.wSelector).U16(r.wSetterChannel).U32(r.dwValue);
}

bool DecodeRemoteSetting(const uint8_t* p, size_t n, QNRemoteSetting& r)
{
    ByteReader rd(p, n);
    r.wSelector = rd.U16();
    r.wSetterChannel = rd.U16();
    r.dwValue = rd.U32();
    return rd.Ok();
}

void EncodeFloatVideo(const QNFloatVideo& r, Bytes& out)
{
    ByteWriter(out).U8(r.nMode).U16(r.wChannel);
}

bool DecodeFloatVideo(const uint8_t* p, size_t n, QNFloatVideo& r)
{
    ByteReader rd(p, n);
    r.nMode = rd.U8();
    r.wChannel = rd.U16();
    return rd.Ok();
}

void EncodeSeat(const QNSeat& r, Bytes& out)
{
    ByteWriter(out).U16(r.wChannel).U16(r.wSeat).U16(r.wWidth).U16(r.wHeight);
}

bool DecodeSeat(const uint8_t* p, size_t n, QNSeat& r)
{
    ByteReader rd(p, n);
    r.wChannel = rd.U16();
    r.wSeat = rd.U16();
    r.wWidth = rd.U16();
    r.wHeight = rd.U16();
    return rd.Ok();
}

void EncodeMaximize(const QNMaximize& r, Bytes& out)
{
    ByteWriter(out).U16(r.wMarker).U8(r.nMaximize);
}

bool DecodeMaximize(const uint8_t* p, size_t n, QNMaximize& r)
{
    ByteReader rd(p, n);
    r.wMarker = rd.U16();
    r.nMaximize = rd.U8();
    return rd.Ok() && r.wMarker == 1;
}

void EncodeRecorderState(const QNRecorderState& r, Bytes& out)
{
    ByteWriter(out).U16(r.wRoomIndex).U16(r.wState).U16(r.wRecorderChannel);
}

bool DecodeRecorderState(const uint8_t* p, size_t n, QNRecorderState& r)
{
    ByteReader rd(p, n);
    r.wRoomIndex = rd.U16();
    r.wState = rd.U16();
    r.wRecorderChannel = rd.U16();
    return rd.Ok();
}

void EncodeUserOption(const QNUserOption& r, Bytes& out)
{
    ByteWriter(out).U16(r.wChannel).U16(r.wOption).U32(r.dwValue);
}

bool DecodeUserOption(const uint8_t* p, size_t n, QNUserOption& r)
{
    ByteReader rd(p, n);
    r.wChannel = rd.U16();
    r.wOption = rd.U16();
    r.dwValue = rd.U32();
    return rd.Ok();
}

void EncodePresenterRequest(const QNPresenterRequest& r, Bytes& out)
{
    ByteWriter(out).U16(r.wKind).U16(r.wRequesterChannel).U16(r.wAccepted);
}

bool DecodePresenterRequest(const uint8_t* p, size_t n, QNPresenterRequest& r)
{
    ByteReader rd(p, n);
    r.wKind = rd.U16();
    r.wRequesterChannel = rd.U16();
    r.wAccepted = rd.U16();
    return rd.Ok();
}

void EncodeMediaShareState(const QNMediaShareState& r, Bytes& out)
{
    ByteWriter(out).U16(r.wSharerChannel).U16(r.wState);
}

bool DecodeMediaShareState(const uint8_t* p, size_t n, QNMediaShareState& r)
{
    ByteReader rd(p, n);
    r.wSharerChannel = rd.U16();
    r.wState = rd.U16();
    return rd.Ok();
}

void EncodeMediaSharePosition(const QNMediaSharePosition& r, Bytes& out)
{
    ByteWriter(out).U16(r.wSharerChannel).U16(0).U32(r.dwPositionMs);
}

bool DecodeMediaSharePosition(const uint8_t* p, size_t n, QNMediaSharePosition& r)
{
    ByteReader rd(p, n);
    r.wSharerChannel = rd.U16();
    rd.Skip(2);
    r.dwPositionMs = rd.U32();
    return rd.Ok();
}

void EncodeMessage(const QNMessage& r, Bytes& out)
{
    size_t nUnits = std::min(r.szText.size(), kMaxMessageBytes / 2);
    ByteWriter w(out);
    w.U32(static_cast<uint32_t>(nUnits * 2)).U16(r.wSenderIndex).U16(0);
    PutText(w, r.szText, nUnits);
}

bool DecodeMessage(const uint8_t* p, size_t n, QNMessage& r, size_t nMaxBytes)
{
    ByteReader rd(p, n);
    uint32_t dwLength = rd.U32();
    r.wSenderIndex = rd.U16();
    rd.Skip(2);
    if (!rd.Ok()) return false;
    // The stated length is the peer's word: the payload and the caller's buffer bound it.
    size_t nBytes = std::min({size_t(dwLength), rd.Remaining(), nMaxBytes});
    r.szText = TextOf(rd.Current(), nBytes & ~size_t(1));
    return true;
}

void EncodeFileOffer(const QNFileOffer& r, Bytes& out)
{
    ByteWriter(out)
        .U16(r.wSenderIndex)
        .U16(r.wTransferId)
        .U32(r.dwFileSize)
        .Utf16Field(r.szFileName, kFileNameUnits);
}

bool DecodeFileOffer(const uint8_t* p, size_t n, QNFileOffer& r)
{
    ByteReader rd(p, n);
    r.wSenderIndex = rd.U16();
    r.wTransferId = rd.U16();
    r.dwFileSize = rd.U32();
    r.szFileName = rd.Utf16Field(kFileNameUnits);
    return rd.Ok();
}

void EncodeFileAnswer(const QNFileAnswer& r, Bytes& out)
{
    ByteWriter(out).U16(r.wSenderIndex).U16(r.wTransferId).U16(r.wAnswer);
}

bool DecodeFileAnswer(const uint8_t* p, size_t n, QNFileAnswer& r)
{
    ByteReader rd(p, n);
    r.wSenderIndex = rd.U16();
    r.wTransferId = rd.U16();
    r.wAnswer = rd.U16();
    return rd.Ok();
}

void EncodeFileData(const QNFileData& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wSenderIndex).U16(r.wTransferId).U32(r.dwOffset).U32(static_cast<uint32_t>(r.nData));
    if (r.nData) w.Bytes(r.pData, r.nData);
}

bool DecodeFileData(const uint8_t* p, size_t n, QNFileData& r)
{
    ByteReader rd(p, n);
    r.wSenderIndex = rd.U16();
    r.wTransferId = rd.U16();
    r.dwOffset = rd.U32();
    uint32_t dwCount = rd.U32();
    const uint8_t* pData = rd.Span(dwCount);
    if (!rd.Ok()) return false;
    r.pData = dwCount ? pData : nullptr;
    r.nData = dwCount;
    return true;
}

void EncodeInvitation(const QNInvitation& r, Bytes& out)
{
    ByteWriter(out).U16(r.wInviterIndex).U16(r.wRoomIndex).Utf16Field(r.szMessage, kInviteUnits);
}

bool DecodeInvitation(const uint8_t* p, size_t n, QNInvitation& r)
{
    ByteReader rd(p, n);
    r.wInviterIndex = rd.U16();
    r.wRoomIndex = rd.U16();
    r.szMessage = rd.Utf16Field(kInviteUnits);
    return rd.Ok();
}

void EncodeInviteAnswer(const QNInviteAnswer& r, Bytes& out)
{
    ByteWriter(out).U16(r.wInviteeIndex).U16(r.wRoomIndex).U16(r.wAccepted);
}

bool DecodeInviteAnswer(const uint8_t* p, size_t n, QNInviteAnswer& r)
{
    ByteReader rd(p, n);
    r.wInviteeIndex = rd.U16();
    r.wRoomIndex = rd.U16();
    r.wAccepted = rd.U16();
    return rd.Ok();
}

void EncodePrivateData(const QNPrivateData& r, Bytes& out)
{
    size_t nUnits = std::min(r.szText.size(), size_t(0xFFFF / 2));
    ByteWriter w(out);
    w.U16(r.wKind).U16(static_cast<uint16_t>(nUnits * 2));
    PutText(w, r.szText, nUnits);
}

bool DecodePrivateData(const uint8_t* p, size_t n, QNPrivateData& r)
{
    ByteReader rd(p, n);
    r.wKind = rd.U16();
    uint16_t wLength = rd.U16();
    if (!rd.Ok() || r.wKind != kPhoneBookKind || wLength == 0 || wLength > rd.Remaining()) return false;
    r.szText = TextOf(rd.Current(), wLength);
    return true;
}

bool DecodeDrawToolCommand(const uint8_t* p, size_t n, uint32_t& dwCommand)
{
    ByteReader rd(p, n);
    rd.Skip(2);
    dwCommand = rd.U32();
    return rd.Ok();
}
