// The one codec of the room payload records beyond the basic room commands.
#include "confclient/network/QNRoomPayloads.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/FieldIO.h"

namespace
{

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
    ByteWriter(out).U16(static_cast<uint16_t>(nCount)).U16(0);
    for (size_t i = 0; i < nCount; ++i)
        EncodeFields(v[i], out);
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
    FieldReader io(rd);
    for (QNViewName& e : v)
        Fields(io, e);
    return rd.Ok();
}

void EncodeRoomType(const QNRoomType& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomType(const uint8_t* p, size_t n, QNRoomType& r)
{
    return DecodeFields(p, n, r);
}

void EncodeChannelChange(const QNChannelChange& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeChannelChange(const uint8_t* p, size_t n, QNChannelChange& r)
{
    return DecodeFields(p, n, r);
}

void EncodeUserStatus(const QNUserStatus& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeUserStatus(const uint8_t* p, size_t n, QNUserStatus& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRecordNotice(const QNRecordNotice& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRecordNotice(const uint8_t* p, size_t n, QNRecordNotice& r)
{
    return DecodeFields(p, n, r);
}

void EncodeServerRecordLocal(const QNServerRecordLocal& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeServerRecordLocal(const uint8_t* p, size_t n, QNServerRecordLocal& r)
{
    return DecodeFields(p, n, r);
}

void EncodeCamControl(const QNCamControl& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeCamControl(const uint8_t* p, size_t n, QNCamControl& r)
{
    return DecodeFields(p, n, r);
}

void EncodePushFile(const QNPushFile& r, Bytes& out)
{
    ByteWriter(out).U16(r.wSender).U32(r.dwFileSize).Utf16Field(r.szFileName, kTransferNameUnits);
}

bool DecodePushFile(const uint8_t* p, size_t n, QNPushFile& r)
{
    ByteReader rd(p, n);
    r.wSender = rd.U16();
    r.dwFileSize = rd.U32();
    if (!rd.Ok()) return false;
    // The name runs to the payload's end: its field width bounds it too.
    const size_t nUnits = std::min(rd.Remaining() / 2, kTransferNameUnits);
    r.szFileName = TextOf(rd.Current(), nUnits * 2);
    return true;
}

void EncodeAudioSettings(const QNAudioSettings& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeAudioSettings(const uint8_t* p, size_t n, QNAudioSettings& r)
{
    return DecodeFields(p, n, r);
}

void EncodeFloatVideo(const QNFloatVideo& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeFloatVideo(const uint8_t* p, size_t n, QNFloatVideo& r)
{
    return DecodeFields(p, n, r);
}

void EncodeSeat(const QNSeat& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeSeat(const uint8_t* p, size_t n, QNSeat& r)
{
    return DecodeFields(p, n, r);
}

void EncodeMaximize(const QNMaximize& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeMaximize(const uint8_t* p, size_t n, QNMaximize& r)
{
    return DecodeFields(p, n, r) && r.wMarker == 1;
}

void EncodeRecorderState(const QNRecorderState& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRecorderState(const uint8_t* p, size_t n, QNRecorderState& r)
{
    return DecodeFields(p, n, r);
}

void EncodeUserOption(const QNUserOption& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeUserOption(const uint8_t* p, size_t n, QNUserOption& r)
{
    return DecodeFields(p, n, r);
}

void EncodePresenterRequest(const QNPresenterRequest& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodePresenterRequest(const uint8_t* p, size_t n, QNPresenterRequest& r)
{
    return DecodeFields(p, n, r);
}

void EncodeMediaShareRecord(const QNMediaShareRecord& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeMediaShareRecord(const uint8_t* p, size_t n, QNMediaShareRecord& r)
{
    return DecodeFields(p, n, r);
}

void EncodeMessage(const QNMessage& r, Bytes& out)
{
    size_t nUnits = std::min(r.szText.size(), kMaxMessageUnits);
    ByteWriter w(out);
    w.U32(static_cast<uint32_t>(nUnits * 2)).U16(r.wSenderIndex).U16(r.wReceiverIndex);
    PutText(w, r.szText, nUnits);
}

bool DecodeMessage(const uint8_t* p, size_t n, QNMessage& r, size_t nMaxBytes)
{
    ByteReader rd(p, n);
    uint32_t dwLength = rd.U32();
    r.wSenderIndex = rd.U16();
    r.wReceiverIndex = rd.U16();
    if (!rd.Ok()) return false;
    // The stated length is the peer's word: the payload and the caller's buffer bound it.
    size_t nBytes = std::min({size_t(dwLength), rd.Remaining(), nMaxBytes});
    r.szText = TextOf(rd.Current(), nBytes & ~size_t(1));
    return true;
}

void EncodeFileOffer(const QNFileOffer& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeFileOffer(const uint8_t* p, size_t n, QNFileOffer& r)
{
    return DecodeFields(p, n, r);
}

void EncodeFileReply(const QNFileReply& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeFileReply(const uint8_t* p, size_t n, QNFileReply& r)
{
    return DecodeFields(p, n, r);
}

void EncodeFileData(const QNFileData& r, Bytes& out)
{
    ByteWriter w(out);
    w.U32(static_cast<uint32_t>(r.nData)).U16(r.wSenderIndex).U16(r.wReceiverIndex);
    if (r.nData) w.Bytes(r.pData, r.nData);
}

bool DecodeFileData(const uint8_t* p, size_t n, QNFileData& r)
{
    ByteReader rd(p, n);
    const uint32_t dwCount = rd.U32();
    r.wSenderIndex = rd.U16();
    r.wReceiverIndex = rd.U16();
    const uint8_t* pData = rd.Span(dwCount);
    if (!rd.Ok()) return false;
    r.pData = dwCount ? pData : nullptr;
    r.nData = dwCount;
    return true;
}

void EncodeInvitation(const QNInvitation& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeInvitation(const uint8_t* p, size_t n, QNInvitation& r)
{
    return DecodeFields(p, n, r);
}

void EncodeInviteReply(const QNInviteReply& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeInviteReply(const uint8_t* p, size_t n, QNInviteReply& r)
{
    return DecodeFields(p, n, r);
}

void EncodePrivateData(const QNPrivateData& r, Bytes& out)
{
    // The length counts the terminator and must fit 16 bits.
    size_t nUnits = std::min(r.szText.size(), size_t(0xFFFF / 2) - 1);
    ByteWriter w(out);
    w.U16(r.wKind).U16(static_cast<uint16_t>(nUnits ? (nUnits + 1) * 2 : 0));
    if (nUnits == 0) return;
    PutText(w, r.szText, nUnits);
    w.U16(0);
}

bool DecodePrivateData(const uint8_t* p, size_t n, QNPrivateData& r)
{
    ByteReader rd(p, n);
    r.wKind = rd.U16();
    uint16_t wLength = rd.U16();
    if (!rd.Ok() || r.wKind != kPrivateDataPhoneBook || wLength == 0 || wLength > rd.Remaining())
        return false;
    r.szText = TextOf(rd.Current(), wLength);
    return true;
}

bool DecodePrivateSave(const uint8_t* p, size_t n, QNPrivateData& r)
{
    ByteReader rd(p, n);
    r.wKind = rd.U16();
    uint16_t wLength = rd.U16();
    if (!rd.Ok() || wLength != rd.Remaining() || wLength % 2 != 0) return false;
    r.szText = TextOf(rd.Current(), wLength);
    return true;
}

void EncodePhoneCall(const QNPhoneCall& r, Bytes& out)
{
    ByteWriter w(out);
    w.U32(r.dwFlags);
    size_t nUnits = std::min(r.szNumber.size(), kCallNumberUnits);
    PutText(w, r.szNumber, nUnits);
    w.Zeros((kCallNumberUnits - nUnits) * 2);
}

bool DecodePhoneCall(const uint8_t* p, size_t n, QNPhoneCall& r)
{
    ByteReader rd(p, n);
    r.dwFlags = rd.U32();
    if (!rd.Ok() || rd.Remaining() < kCallNumberUnits * 2) return false;
    r.szNumber = TextOf(rd.Current(), kCallNumberUnits * 2);
    return true;
}

bool DecodeDrawToolCommand(const uint8_t* p, size_t n, uint32_t& dwCommand)
{
    ByteReader rd(p, n);
    rd.Skip(2);
    dwCommand = rd.U32();
    return rd.Ok();
}

void EncodePushChunk(const QNPushChunk& r, Bytes& out)
{
    ByteWriter w(out);
    w.U16(r.wSender);
    if (r.nLength) w.Bytes(r.pData, r.nLength);
}

bool DecodePushChunk(const uint8_t* p, size_t n, QNPushChunk& r)
{
    if (!p || n < 2) return false;
    r.wSender = static_cast<uint16_t>(p[0] | (p[1] << 8));
    r.pData = p + 2;
    r.nLength = n - 2;
    return true;
}

void EncodeConfUpdate(const QNConfUpdate& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeConfUpdate(const uint8_t* p, size_t n, QNConfUpdate& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRoomTypeRequest(const QNRoomTypeRequest& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomTypeRequest(const uint8_t* p, size_t n, QNRoomTypeRequest& r)
{
    return DecodeFields(p, n, r);
}

void EncodeLectureCommand(const QNLectureCommand& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeLectureCommand(const uint8_t* p, size_t n, QNLectureCommand& r)
{
    return DecodeFields(p, n, r);
}

QNSetPresenter MakeSetPresenter(uint16_t wUserIndex, bool bSet)
{
    return {bSet ? wUserIndex : kNoIndex, bSet ? 1u : 0u};
}

void EncodeSetPresenter(const QNSetPresenter& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeSetPresenter(const uint8_t* p, size_t n, QNSetPresenter& r)
{
    return DecodeFields(p, n, r);
}

void EncodeBanish(const QNBanish& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeBanish(const uint8_t* p, size_t n, QNBanish& r)
{
    return DecodeFields(p, n, r);
}

void EncodeUserState(const QNUserState& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeUserState(const uint8_t* p, size_t n, QNUserState& r)
{
    return DecodeFields(p, n, r);
}

void EncodeChannelMove(const QNChannelMove& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeChannelMove(const uint8_t* p, size_t n, QNChannelMove& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRecordState(const QNRecordState& r, Bytes& out)
{
    EncodeFields(r, out);
}

bool DecodeRecordState(const uint8_t* p, size_t n, QNRecordState& r)
{
    return DecodeFields(p, n, r);
}

void EncodeRoomRecordSettings(const QNRoomRecordSettings& r, Bytes& out)
{
    EncodeFields(r, out);
}

QNRoomRecordSettings DecodeRoomRecordSettings(const uint8_t* p, size_t n)
{
    QNRoomRecordSettings r;
    if (!p || n < kRoomRecordSettingsOffset ||
        !DecodeFields(p + kRoomRecordSettingsOffset, n - kRoomRecordSettingsOffset, r))
        return {};
    return r;
}
