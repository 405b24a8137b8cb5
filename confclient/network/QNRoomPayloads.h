// Payload records of the room commands beyond open, join, users, rights, view
// mode, state and chat (those are in QNPayloads.h), with their one codec shared
// by the main program and the loopback server. Layouts are in docs/protocol.md.
// Decoders read through a bounds-checked reader and return false for a payload
// too short for its record; texts are bounded by their field and the payload.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "confclient/network/QNPayloads.h"

// Widths of the fixed UTF-16 fields, in units.
constexpr size_t kViewNameUnits = 64;
constexpr size_t kRecordTargetUnits = 64;
constexpr size_t kFileNameUnits = 130;

// 360: the names of the video views. At most 49 entries; a larger count is refused whole.
struct QNViewName
{
    uint16_t wChannel = kNoIndex;
    std::u16string szName; // UTF-16[64] on the wire
};
template <class IO> void Fields(IO& io, QNViewName& r)
{
    io.U16(r.wChannel);
    io.Utf16(r.szName, kViewNameUnits);
}
constexpr size_t kViewNameEntrySize = 2 + 2 * kViewNameUnits;
constexpr size_t kMaxViewNames = 49;
void EncodeViewNames(const std::vector<QNViewName>& v, Bytes& out);
bool DecodeViewNames(const uint8_t* p, size_t n, std::vector<QNViewName>& v);

// 382: the room's new type.
struct QNRoomType
{
    uint16_t wRoomIndex = 0;
    uint16_t wRoomType = 0;
    uint32_t dwFlags = 0;
};
template <class IO> void Fields(IO& io, QNRoomType& r)
{
    io.U16(r.wRoomIndex);
    io.U16(r.wRoomType);
    io.U32(r.dwFlags);
}
void EncodeRoomType(const QNRoomType& r, Bytes& out);
bool DecodeRoomType(const uint8_t* p, size_t n, QNRoomType& r);

// 442: a user moved to another channel.
struct QNChannelChange
{
    uint16_t wUserIndex = kNoIndex;
    uint16_t wOldChannel = kNoIndex;
    uint16_t wNewChannel = kNoIndex;
};
template <class IO> void Fields(IO& io, QNChannelChange& r)
{
    io.U16(r.wUserIndex);
    io.U16(r.wOldChannel);
    io.U16(r.wNewChannel);
}
void EncodeChannelChange(const QNChannelChange& r, Bytes& out);
bool DecodeChannelChange(const uint8_t* p, size_t n, QNChannelChange& r);

// 480 and 481: a user's status, as the user list shows it.
struct QNUserStatus
{
    uint16_t wChannel = kNoIndex;
    uint16_t wStatus = 0;
    uint32_t dwFlags = 0;
};
template <class IO> void Fields(IO& io, QNUserStatus& r)
{
    io.U16(r.wChannel);
    io.U16(r.wStatus);
    io.U32(r.dwFlags);
}
void EncodeUserStatus(const QNUserStatus& r, Bytes& out);
bool DecodeUserStatus(const uint8_t* p, size_t n, QNUserStatus& r);

// 491 and 502: someone's recording started, ended or failed.
enum : uint16_t
{
    RECORDNOTICE_STOP = 0,
    RECORDNOTICE_START = 1,
    RECORDNOTICE_FAIL = 2,
};
struct QNRecordNotice
{
    uint16_t wChannel = kNoIndex; // the recording user
    uint16_t wFlag = RECORDNOTICE_STOP;
};
template <class IO> void Fields(IO& io, QNRecordNotice& r)
{
    io.U16(r.wChannel);
    io.U16(r.wFlag);
}
void EncodeRecordNotice(const QNRecordNotice& r, Bytes& out);
bool DecodeRecordNotice(const uint8_t* p, size_t n, QNRecordNotice& r);

// 505: the server records this client's room: start (with the target's name) or stop.
struct QNServerRecordLocal
{
    uint16_t wFlag = RECORDNOTICE_STOP;
    std::u16string szTargetName; // UTF-16[64]: a file name chosen by the server
};
template <class IO> void Fields(IO& io, QNServerRecordLocal& r)
{
    io.U16(r.wFlag);
    io.Pad(2);
    io.Utf16(r.szTargetName, kRecordTargetUnits);
}
void EncodeServerRecordLocal(const QNServerRecordLocal& r, Bytes& out);
bool DecodeServerRecordLocal(const uint8_t* p, size_t n, QNServerRecordLocal& r);

// 511: a camera-control command of the chief.
enum : uint16_t
{
    CAMCONTROL_RECALL = 0,
    CAMCONTROL_SAVE = 1,
    CAMCONTROL_MOVE = 2,
};
struct QNCamControl
{
    uint16_t wTargetChannel = kNoIndex;
    uint16_t wAction = CAMCONTROL_RECALL;
    uint16_t wValue = 0; // preset number, or the direction of a move
};
template <class IO> void Fields(IO& io, QNCamControl& r)
{
    io.U16(r.wTargetChannel);
    io.U16(r.wAction);
    io.U16(r.wValue);
}
void EncodeCamControl(const QNCamControl& r, Bytes& out);
bool DecodeCamControl(const uint8_t* p, size_t n, QNCamControl& r);

// 520 (sent) and 521 (relayed): a file pushed to the room: u16 sender's user index at 0 (the
// server writes it), u32 file size at 2, the name from 6: a 260-unit field when sent (526 bytes).
// The decoded name is at most 260 units, what the payload holds, up to its first zero unit.
constexpr size_t kTransferNameUnits = 260;
struct QNPushFile
{
    uint16_t wSender = kNoIndex;
    uint32_t dwFileSize = 0;
    std::u16string szFileName;
};
void EncodePushFile(const QNPushFile& r, Bytes& out);
bool DecodePushFile(const uint8_t* p, size_t n, QNPushFile& r);

// 534 (sent) and the server's 535 for it: one member's audio settings, asked for, answered or
// applied. User numbers are user indexes.
enum : uint16_t
{
    AUDIOSETTINGS_REQUEST = 0, // the target answers with its settings
    AUDIOSETTINGS_ANSWER = 1,  // shown by the requester
    AUDIOSETTINGS_APPLY = 2,   // the target applies them
};
struct QNAudioSettings
{
    uint16_t wKind = AUDIOSETTINGS_REQUEST;
    uint16_t wRequester = kNoIndex;
    uint16_t wTarget = kNoIndex;
    uint8_t bMicVolume = 0;
    uint8_t bSpeakerVolume = 0;
    uint8_t bMicBoost = 0; // 2 on, 3 off, 0 unknown
    uint8_t bMic = 0;      // 2 open, 3 closed, 1 talk not allowed
    uint8_t bMute = 0;     // 2 on, 3 off
    uint8_t bVideo = 0;    // 0 none, 2 sending, 3 stopped
    uint8_t bFrameRate = 0;
};
constexpr size_t kAudioSettingsBytes = 13;
template <class IO> void Fields(IO& io, QNAudioSettings& r)
{
    io.U16(r.wKind);
    io.U16(r.wRequester);
    io.U16(r.wTarget);
    io.U8(r.bMicVolume);
    io.U8(r.bSpeakerVolume);
    io.U8(r.bMicBoost);
    io.U8(r.bMic);
    io.U8(r.bMute);
    io.U8(r.bVideo);
    io.U8(r.bFrameRate);
}
void EncodeAudioSettings(const QNAudioSettings& r, Bytes& out);
bool DecodeAudioSettings(const uint8_t* p, size_t n, QNAudioSettings& r);

// 536: the video view floats or docks for one channel (u8 mode at 0, u16 ch at 1).
struct QNFloatVideo
{
    uint8_t nMode = 0;
    uint16_t wChannel = kNoIndex;
};
template <class IO> void Fields(IO& io, QNFloatVideo& r)
{
    io.U8(r.nMode);
    io.U16(r.wChannel);
}
void EncodeFloatVideo(const QNFloatVideo& r, Bytes& out);
bool DecodeFloatVideo(const uint8_t* p, size_t n, QNFloatVideo& r);

// 537: a user's seat and send size.
struct QNSeat
{
    uint16_t wChannel = kNoIndex;
    uint16_t wSeat = 0;
    uint16_t wWidth = 0;
    uint16_t wHeight = 0;
};
template <class IO> void Fields(IO& io, QNSeat& r)
{
    io.U16(r.wChannel);
    io.U16(r.wSeat);
    io.U16(r.wWidth);
    io.U16(r.wHeight);
}
void EncodeSeat(const QNSeat& r, Bytes& out);
bool DecodeSeat(const uint8_t* p, size_t n, QNSeat& r);

// 538 and 539: maximise (non-zero) or restore the room window; a marker other than 1 is refused.
struct QNMaximize
{
    uint16_t wMarker = 1;
    uint8_t nMaximize = 0;
};
template <class IO> void Fields(IO& io, QNMaximize& r)
{
    io.U16(r.wMarker);
    io.U8(r.nMaximize);
}
void EncodeMaximize(const QNMaximize& r, Bytes& out);
bool DecodeMaximize(const uint8_t* p, size_t n, QNMaximize& r);

// 545: the server recorder's state.
struct QNRecorderState
{
    uint16_t wRoomIndex = 0;
    uint16_t wState = 0; // 0 idle, 1 recording
    uint16_t wRecorderChannel = kNoIndex;
};
template <class IO> void Fields(IO& io, QNRecorderState& r)
{
    io.U16(r.wRoomIndex);
    io.U16(r.wState);
    io.U16(r.wRecorderChannel);
}
void EncodeRecorderState(const QNRecorderState& r, Bytes& out);
bool DecodeRecorderState(const uint8_t* p, size_t n, QNRecorderState& r);

// 546 and 547: one option of one user.
struct QNUserOption
{
    uint16_t wChannel = kNoIndex;
    uint16_t wOption = 0;
    uint32_t dwValue = 0;
};
template <class IO> void Fields(IO& io, QNUserOption& r)
{
    io.U16(r.wChannel);
    io.U16(r.wOption);
    io.U32(r.dwValue);
}
void EncodeUserOption(const QNUserOption& r, Bytes& out);
bool DecodeUserOption(const uint8_t* p, size_t n, QNUserOption& r);

// 550 and 552: a presenter request (to the presider) or its answer (to the requester).
enum : uint16_t
{
    PRESENTER_REQUEST = 0,
    PRESENTER_ANSWER = 1,
};
struct QNPresenterRequest
{
    uint16_t wKind = PRESENTER_REQUEST;
    uint16_t wRequesterChannel = kNoIndex;
    uint16_t wAccepted = 0; // an answer: 1 accepted, 0 refused
};
template <class IO> void Fields(IO& io, QNPresenterRequest& r)
{
    io.U16(r.wKind);
    io.U16(r.wRequesterChannel);
    io.U16(r.wAccepted);
}
void EncodePresenterRequest(const QNPresenterRequest& r, Bytes& out);
bool DecodePresenterRequest(const uint8_t* p, size_t n, QNPresenterRequest& r);

// 564 and 565: the whole media-share record; 566 and 567: its first u32 (the flags) alone.
// Flags: bit 0 changed (a jump of position or a new state to take over), bit 1 muted, bits 2-3
// play state, bits 4-19 position in seconds, bits 20-26 volume 0..100.
constexpr size_t kMediaSharePathUnits = 260;
constexpr size_t kMediaShareRecordSize = 532;
enum MediaSharePlay : uint32_t
{
    MEDIASHARE_STOPPED = 0,
    MEDIASHARE_PAUSED = 1,
    MEDIASHARE_PLAYING = 2,
};
struct QNMediaShareRecord
{
    uint32_t dwFlags = 0;
    uint16_t wSharer = kNoIndex; // the sharer's user index
    uint16_t wLength = 0;        // seconds
    std::u16string szPath;       // UTF-16[260] on the wire; empty: no file
    uint32_t dwHasVideo = 1;     // bit 0: the file has pictures

    bool Changed() const { return dwFlags & 1u; }
    bool Muted() const { return dwFlags & 2u; }
    uint32_t Play() const { return (dwFlags >> 2) & 3u; }
    bool Playing() const { return Play() == MEDIASHARE_PLAYING; }
    uint32_t Position() const { return (dwFlags >> 4) & 0xFFFFu; }
    uint32_t Volume() const { return (dwFlags >> 20) & 0x7Fu; }
    bool HasVideo() const { return dwHasVideo & 1u; }
    void SetChanged(bool b) { dwFlags = (dwFlags & ~1u) | (b ? 1u : 0u); }
    void SetMuted(bool b) { dwFlags = (dwFlags & ~2u) | (b ? 2u : 0u); }
    void SetPlay(uint32_t nPlay) { dwFlags = (dwFlags & ~0xCu) | ((nPlay & 3u) << 2); }
    // Clamped to the 16 bits the field holds.
    void SetPosition(uint32_t nSeconds)
    {
        dwFlags = (dwFlags & ~0xFFFF0u) | ((nSeconds > 0xFFFFu ? 0xFFFFu : nSeconds) << 4);
    }
    // Clamped to 0..100.
    void SetVolume(uint32_t nVolume)
    {
        dwFlags = (dwFlags & ~(0x7Fu << 20)) | ((nVolume > 100u ? 100u : nVolume) << 20);
    }
    // Back to no share: zeroed, the video bit set, no sharer.
    void Reset() { *this = QNMediaShareRecord{}; }
};
template <class IO> void Fields(IO& io, QNMediaShareRecord& r)
{
    io.U32(r.dwFlags);
    io.U16(r.wSharer);
    io.U16(r.wLength);
    io.Utf16(r.szPath, kMediaSharePathUnits);
    io.U32(r.dwHasVideo);
}
void EncodeMediaShareRecord(const QNMediaShareRecord& r, Bytes& out);
// Reads the path within its 260 units, up to the first zero unit.
bool DecodeMediaShareRecord(const uint8_t* p, size_t n, QNMediaShareRecord& r);

// 610 (sent) and 612 (relayed): a one-to-one message: u32 byte length at 0, u16 sender index
// at 4, u16 addressee index at 6, text from 8. The server relays the sender's layout with the
// sender's own index written at 4. The decoded text is at most the stated length, the payload's
// bytes after 8 and nMaxBytes, in whole UTF-16 units, up to its first zero unit.
struct QNMessage
{
    uint16_t wSenderIndex = kNoIndex;
    std::u16string szText;
    uint16_t wReceiverIndex = kNoIndex;
};
constexpr size_t kMaxMessageBytes = 2011;
// Characters of one sent message at most.
constexpr size_t kMaxMessageUnits = 1000;
void EncodeMessage(const QNMessage& r, Bytes& out);
bool DecodeMessage(const uint8_t* p, size_t n, QNMessage& r, size_t nMaxBytes = kMaxMessageBytes);

// 620 (sent) and 622 (relayed): a messenger file offer: u32 file size at 0, u16 sender's user
// index at 4, u16 receiver's user index at 6, the name in 260 UTF-16 units from 8; 528 bytes.
struct QNFileOffer
{
    uint32_t dwFileSize = 0;
    uint16_t wSenderIndex = kNoIndex;
    uint16_t wReceiverIndex = kNoIndex;
    std::u16string szFileName;
};
template <class IO> void Fields(IO& io, QNFileOffer& r)
{
    io.U32(r.dwFileSize);
    io.U16(r.wSenderIndex);
    io.U16(r.wReceiverIndex);
    io.Utf16(r.szFileName, kTransferNameUnits);
}
void EncodeFileOffer(const QNFileOffer& r, Bytes& out);
bool DecodeFileOffer(const uint8_t* p, size_t n, QNFileOffer& r);

// 630 (sent) and 632 (relayed): the answer to an offer or the end of its transfer: u32 flags at 0
// (bit 16 accepted; a refusal or a cancel has it clear), u16 sender at 4, u16 receiver at 6, the
// rest zero; 528 bytes.
constexpr uint32_t kFileReplyAccepted = 1u << 16;
constexpr size_t kFileReplySize = 528;
struct QNFileReply
{
    uint32_t dwFlags = 0;
    uint16_t wSenderIndex = kNoIndex;
    uint16_t wReceiverIndex = kNoIndex;
};
template <class IO> void Fields(IO& io, QNFileReply& r)
{
    io.U32(r.dwFlags);
    io.U16(r.wSenderIndex);
    io.U16(r.wReceiverIndex);
    io.Pad(kFileReplySize - 8);
}
void EncodeFileReply(const QNFileReply& r, Bytes& out);
bool DecodeFileReply(const uint8_t* p, size_t n, QNFileReply& r);

// 640 (sent, frame sub = receiver) and 642 (relayed): a block of a messenger file: u32 byte count
// n at 0, u16 sender at 4, u16 receiver at 6, n bytes from 8 (at most 1366). The bytes point
// into the payload; a count past the payload is refused.
constexpr size_t kMessengerBlockBytes = 1366;
struct QNFileData
{
    uint16_t wSenderIndex = kNoIndex;
    uint16_t wReceiverIndex = kNoIndex;
    const uint8_t* pData = nullptr;
    size_t nData = 0;
};
void EncodeFileData(const QNFileData& r, Bytes& out);
bool DecodeFileData(const uint8_t* p, size_t n, QNFileData& r);

// 650 (sent) and 652 (relayed): an invitation into the sender's room: u32 room index at 0,
// u16 sender index at 4, u16 addressee index at 6; 8 bytes.
struct QNInvitation
{
    uint32_t dwRoomIndex = kNoIndex;
    uint16_t wInviterIndex = kNoIndex;
    uint16_t wInviteeIndex = kNoIndex;
};
template <class IO> void Fields(IO& io, QNInvitation& r)
{
    io.U32(r.dwRoomIndex);
    io.U16(r.wInviterIndex);
    io.U16(r.wInviteeIndex);
}
void EncodeInvitation(const QNInvitation& r, Bytes& out);
bool DecodeInvitation(const uint8_t* p, size_t n, QNInvitation& r);

// 660 (sent) and 662 (relayed): the invited user's reply, to the inviter; the relay carries the
// replying user's index at 4.
constexpr uint32_t kInviteReplyAccepted = 1u << 16;
struct QNInviteReply
{
    uint32_t dwFlags = 0; // kInviteReplyAccepted, every other bit 0
    uint16_t wSenderIndex = kNoIndex;
    uint16_t wInviterIndex = kNoIndex;
};
template <class IO> void Fields(IO& io, QNInviteReply& r)
{
    io.U32(r.dwFlags);
    io.U16(r.wSenderIndex);
    io.U16(r.wInviterIndex);
}
void EncodeInviteReply(const QNInviteReply& r, Bytes& out);
bool DecodeInviteReply(const uint8_t* p, size_t n, QNInviteReply& r);

// 901 and 910: private data: u16 kind at 0 (2: the phone book text), u16 byte length at 2
// (the text's units and its terminator; 0 for an empty text), the text and its terminator from 4.
// The decoder of 901 is false unless the kind is 2, the length is non-zero and the payload holds
// it; an odd length keeps its whole UTF-16 units, and the text ends at its first zero unit.
constexpr uint16_t kPrivateDataPhoneBook = 2;
struct QNPrivateData
{
    uint16_t wKind = 0;
    std::u16string szText;
};
void EncodePrivateData(const QNPrivateData& r, Bytes& out);
bool DecodePrivateData(const uint8_t* p, size_t n, QNPrivateData& r);
// 910 as the server reads it: false for a short payload, or when the length field does not
// count exactly the bytes after it (an empty text: 0 and nothing after it).
bool DecodePrivateSave(const uint8_t* p, size_t n, QNPrivateData& r);

// 731: the drawing-tool command, a u32 at offset 2.
bool DecodeDrawToolCommand(const uint8_t* p, size_t n, uint32_t& dwCommand);

// 524 (sent) and 525 (relayed): a block of a pushed file: u16 sender's user index at 0 (the
// server writes it), the bytes from 2 (at most 1372), pointing into the payload.
constexpr size_t kPushBlockBytes = 1372;
struct QNPushChunk
{
    uint16_t wSender = kNoIndex;
    const uint8_t* pData = nullptr;
    size_t nLength = 0;
};
void EncodePushChunk(const QNPushChunk& r, Bytes& out);
bool DecodePushChunk(const uint8_t* p, size_t n, QNPushChunk& r);

// 370: the room record the chief changes: the property words at 14, 18 and 22 as 420 packs
// them, the password at 154 and the title at 418; every other byte 0. 674 bytes.
struct QNConfUpdate
{
    uint32_t dwRights = 0;
    uint32_t dwOptions = 0;
    uint32_t dwShares = 0;
    std::u16string szPassword;
    std::u16string szTitle;
};
constexpr size_t kConfUpdatePasswordUnits = 132;
constexpr size_t kConfUpdateTitleUnits = 128;
template <class IO> void Fields(IO& io, QNConfUpdate& r)
{
    io.Pad(14);
    io.U32(r.dwRights);
    io.U32(r.dwOptions);
    io.U32(r.dwShares);
    io.Pad(128);
    io.Utf16(r.szPassword, kConfUpdatePasswordUnits);
    io.Utf16(r.szTitle, kConfUpdateTitleUnits);
}
constexpr size_t kConfUpdateSize = 674;
void EncodeConfUpdate(const QNConfUpdate& r, Bytes& out);
bool DecodeConfUpdate(const uint8_t* p, size_t n, QNConfUpdate& r);

// 380: a new room type and its user limit. 26 bytes.
struct QNRoomTypeRequest
{
    uint16_t wRoomType = 0;
    uint16_t wUserLimit = 0;
};
template <class IO> void Fields(IO& io, QNRoomTypeRequest& r)
{
    io.U16(r.wRoomType);
    io.U16(r.wUserLimit);
    io.Pad(22);
}
constexpr size_t kRoomTypeRequestSize = 26;
void EncodeRoomTypeRequest(const QNRoomTypeRequest& r, Bytes& out);
bool DecodeRoomTypeRequest(const uint8_t* p, size_t n, QNRoomTypeRequest& r);

// 532 from the client: the lecture's new state (1 start, 100 end) and its length in minutes.
// 12 bytes.
struct QNLectureCommand
{
    uint16_t wValue = 0;
    uint16_t wMinutes = 0;
};
template <class IO> void Fields(IO& io, QNLectureCommand& r)
{
    io.U16(r.wValue);
    io.U16(r.wMinutes);
    io.Pad(8);
}
constexpr size_t kLectureCommandSize = 12;
void EncodeLectureCommand(const QNLectureCommand& r, Bytes& out);
bool DecodeLectureCommand(const uint8_t* p, size_t n, QNLectureCommand& r);

// 553 from the client: set (bit 0 of the word) or clear the presenter: the user index, 65535
// when clearing. 6 bytes.
struct QNSetPresenter
{
    uint16_t wUserIndex = kNoIndex;
    uint32_t dwFlags = 0;
};
template <class IO> void Fields(IO& io, QNSetPresenter& r)
{
    io.U16(r.wUserIndex);
    io.U32(r.dwFlags);
}
constexpr size_t kSetPresenterSize = 6;
QNSetPresenter MakeSetPresenter(uint16_t wUserIndex, bool bSet);
void EncodeSetPresenter(const QNSetPresenter& r, Bytes& out);
bool DecodeSetPresenter(const uint8_t* p, size_t n, QNSetPresenter& r);

// 800: a call placed through the server, 132 bytes: u32 flags at 0 (bits 0-3: 1 a telephone
// number, 3 a terminal address; bit 4 a voice call), the number from 4 in 64 UTF-16 units,
// zero-filled (a number of 64 units has no terminator; a longer one is cut).
constexpr uint32_t kCallTelephone = 0x01;
constexpr uint32_t kCallTerminal = 0x03;
constexpr uint32_t kCallKindMask = 0x0F;
constexpr uint32_t kCallVoice = 0x10;
constexpr size_t kCallNumberUnits = 64;
constexpr size_t kPhoneCallSize = 4 + 2 * kCallNumberUnits;
struct QNPhoneCall
{
    uint32_t dwFlags = 0;
    std::u16string szNumber;
};
void EncodePhoneCall(const QNPhoneCall& r, Bytes& out);
bool DecodePhoneCall(const uint8_t* p, size_t n, QNPhoneCall& r);

// 411: a user's state word (low 16 bits channel, bit 16 voice error, bit 17 voice off) and
// the user's five rights (bit n: right selector n, talk, draw, desktop share, share, media share).
struct QNUserState
{
    uint32_t dwWord = 0;
    uint32_t dwRights = 0;
    uint16_t Channel() const { return static_cast<uint16_t>(dwWord & 0xFFFF); }
};
template <class IO> void Fields(IO& io, QNUserState& r)
{
    io.U32(r.dwWord);
    io.U32(r.dwRights);
}
void EncodeUserState(const QNUserState& r, Bytes& out);
bool DecodeUserState(const uint8_t* p, size_t n, QNUserState& r);
// 410 from the chief naming another user: the channel in the low 16 bits, the five rights in
// bits 16-20.
constexpr int kRightsShift = 16;
constexpr uint32_t kRightsMask = 0x1F;

// 400: the chief (or a phone member's caller) sends a member out, 152 bytes, zero but the
// member's channel at 12, its user index at 14 and the sender's own user index at 16.
struct QNBanish
{
    uint16_t wChannel = kNoIndex;
    uint16_t wUserIndex = kNoIndex;
    uint16_t wSenderIndex = kNoIndex;
};
template <class IO> void Fields(IO& io, QNBanish& r)
{
    io.Pad(12);
    io.U16(r.wChannel);
    io.U16(r.wUserIndex);
    io.U16(r.wSenderIndex);
    io.Pad(134);
}
constexpr size_t kBanishSize = 152;
void EncodeBanish(const QNBanish& r, Bytes& out);
bool DecodeBanish(const uint8_t* p, size_t n, QNBanish& r);

// 440: the chief moves a user to a free channel, or swaps the users of two channels; the lower
// channel first.
struct QNChannelMove
{
    uint16_t wLow = kNoIndex;
    uint16_t wHigh = kNoIndex;
};
template <class IO> void Fields(IO& io, QNChannelMove& r)
{
    io.U16(r.wLow);
    io.U16(r.wHigh);
}
void EncodeChannelMove(const QNChannelMove& r, Bytes& out);
bool DecodeChannelMove(const uint8_t* p, size_t n, QNChannelMove& r);

// 490: this user's own recording started (1) or stopped (0), with its user number.
struct QNRecordState
{
    uint8_t nOn = 0;
    uint16_t wUser = kNoIndex;
};
template <class IO> void Fields(IO& io, QNRecordState& r)
{
    io.U8(r.nOn);
    io.U16(r.wUser);
}
void EncodeRecordState(const QNRecordState& r, Bytes& out);
bool DecodeRecordState(const uint8_t* p, size_t n, QNRecordState& r);

// The room's recording settings, after the option table of 301 and 321 (older readers ignore
// them): the automatic interval and length in minutes and the record options word (bits 0-3 the
// server-record choice, bit 4 player files only, bits 12-13 the automatic kind, 2 = wmv).
struct QNRoomRecordSettings
{
    uint16_t wAutoInterval = 0;
    uint16_t wAutoLength = 0;
    uint32_t dwOptions = 0;
    bool operator==(const QNRoomRecordSettings&) const = default;
};
template <class IO> void Fields(IO& io, QNRoomRecordSettings& r)
{
    io.U16(r.wAutoInterval);
    io.U16(r.wAutoLength);
    io.U32(r.dwOptions);
}
constexpr uint32_t kRecordOptionServerMask = 0xF;
constexpr uint32_t kRecordOptionPlayerOnly = 0x10;
constexpr unsigned kRecordOptionAutoKindShift = 12;
// Where the settings stand in a 301 or 321 payload: after the record and its option table.
constexpr size_t kRoomRecordSettingsOffset = kRoomInfoSize + kRoomOptionCount * 4;
// Appends the settings to a room record that has its option table.
void EncodeRoomRecordSettings(const QNRoomRecordSettings& r, Bytes& out);
// The settings of a whole 301 or 321 payload; all zero when it ends before them.
QNRoomRecordSettings DecodeRoomRecordSettings(const uint8_t* p, size_t n);
