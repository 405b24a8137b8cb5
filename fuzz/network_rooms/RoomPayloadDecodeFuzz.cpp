// Any bytes as the payload of every room record: the decoders read within bounds,
// and what they keep stays within the limits they promise.
#include "confclient/network/QNRoomPayloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<uint8_t> copy(pData, pData + nSize); // exact size: a read past it is caught
    const uint8_t* p = copy.data();

    std::vector<QNViewName> names;
    if (DecodeViewNames(p, nSize, names) && (names.size() > kMaxViewNames || 4 + names.size() * 130 > nSize))
        __builtin_trap();
    QNMessage message;
    if (DecodeMessage(p, nSize, message) &&
        (message.szText.size() * 2 > kMaxMessageBytes || 8 + message.szText.size() * 2 > nSize))
        __builtin_trap();
    QNFileData data;
    if (DecodeFileData(p, nSize, data) && data.nData &&
        (data.pData < p || data.pData + data.nData > p + nSize))
        __builtin_trap();
    QNPrivateData priv;
    if (DecodePrivateData(p, nSize, priv) && (priv.wKind != 2 || 4 + priv.szText.size() * 2 > nSize))
        __builtin_trap();
    QNPrivateData saved;
    if (DecodePrivateSave(p, nSize, saved) && 4 + saved.szText.size() * 2 > nSize) __builtin_trap();
    QNPhoneCall call;
    if (DecodePhoneCall(p, nSize, call) &&
        (nSize < kPhoneCallSize || call.szNumber.size() > kCallNumberUnits))
        __builtin_trap();
    QNPushFile pushFile;
    if (DecodePushFile(p, nSize, pushFile) &&
        (pushFile.szFileName.size() > kTransferNameUnits || 6 + pushFile.szFileName.size() * 2 > nSize))
        __builtin_trap();
    QNPushChunk chunk;
    if (DecodePushChunk(p, nSize, chunk) && (chunk.pData != p + 2 || chunk.nLength + 2 != nSize))
        __builtin_trap();
    QNBanish banish;
    if (DecodeBanish(p, nSize, banish) && nSize < kBanishSize) __builtin_trap();

    QNRoomType type;
    QNChannelChange change;
    QNUserStatus status;
    QNRecordNotice notice;
    QNServerRecordLocal serverRecord;
    QNCamControl cam;
    QNFloatVideo floatVideo;
    QNSeat seat;
    QNMaximize maximize;
    QNRecorderState recorder;
    QNUserOption option;
    QNPresenterRequest presenter;
    QNMediaShareRecord shareRecord;
    QNFileOffer offer;
    QNFileReply answer;
    QNInvitation invitation;
    QNInviteReply inviteReply;
    uint32_t dwTool = 0;
    DecodeRoomType(p, nSize, type);
    DecodeChannelChange(p, nSize, change);
    DecodeUserStatus(p, nSize, status);
    DecodeRecordNotice(p, nSize, notice);
    DecodeServerRecordLocal(p, nSize, serverRecord);
    DecodeCamControl(p, nSize, cam);
    DecodeFloatVideo(p, nSize, floatVideo);
    DecodeSeat(p, nSize, seat);
    DecodeMaximize(p, nSize, maximize);
    DecodeRecorderState(p, nSize, recorder);
    DecodeUserOption(p, nSize, option);
    DecodePresenterRequest(p, nSize, presenter);
    DecodeMediaShareRecord(p, nSize, shareRecord);
    DecodeFileOffer(p, nSize, offer);
    DecodeFileReply(p, nSize, answer);
    DecodeInvitation(p, nSize, invitation);
    DecodeInviteReply(p, nSize, inviteReply);
    DecodeDrawToolCommand(p, nSize, dwTool);
    QNRecordState recordState;
    DecodeRecordState(p, nSize, recordState);
    // The recording settings stand past the room record and its table: a shorter payload has none.
    if (nSize < kRoomRecordSettingsOffset + 8 &&
        !(DecodeRoomRecordSettings(p, nSize) == QNRoomRecordSettings{}))
        __builtin_trap();
    return 0;
}
