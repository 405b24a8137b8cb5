// The room view's requests: a view-mode change (430) and the room's properties (420), each a
// 26-byte record, with the named values packed into its words in one place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "confclient/network/QNPayloads.h"

// 430: the sender's channel and, in the word at 14, the view mode (bits 12-13) and full
// screen (bit 14).
struct QNViewModeRequest
{
    uint16_t wChannel = 0xFFFF;
    uint32_t dwModeWord = 0;
};
template <class IO> void Fields(IO& io, QNViewModeRequest& r)
{
    io.Pad(4);
    io.U16(r.wChannel);
    io.Pad(8);
    io.U32(r.dwModeWord);
    io.Pad(8);
}
constexpr size_t kViewModeRequestSize = 26;
QNViewModeRequest MakeViewModeRequest(uint16_t wChannel, uint16_t wMode, bool bFullScreen);
uint16_t ViewModeOf(const QNViewModeRequest& r);
bool FullScreenOf(const QNViewModeRequest& r);
void EncodeViewModeRequest(const QNViewModeRequest& r, std::vector<uint8_t>& out);
bool DecodeViewModeRequest(const uint8_t* p, size_t n, QNViewModeRequest& r);

// The room's properties as the property dialog and the side-panel host name them.
struct S_ROOMPROPERTY
{
    bool bDraw = false, bTalk = false, bChat = false, bRecord = false, bPrint = false;
    uint32_t nFrameRate = 0;    // 5 bits
    uint32_t nVideoQuality = 0; // 0..2
    bool bCloseWithHost = false;
    bool bNoticeLog = false;
    uint32_t nOptionA = 0; // 4 bits
    uint32_t nOptionB = 0; // 2 bits
    uint16_t wMaxUsers = 0;
    uint32_t nCaptureSize = 0; // 0 unchanged, 1 automatic, 2..6
    bool bDesktopShare = false, bMediaShare = false;
    uint32_t nPresenterMode = 0;  // 0..3
    uint32_t nPresenterVideo = 0; // 0..3
    bool bEraseAll = false;
    bool bRoomValueBit = false; // bit 0 of a room value no dialog edits
    bool operator==(const S_ROOMPROPERTY&) const = default;
};

// 420 (and the tail of 421): the properties packed into a zeroed 26-byte record.
struct QNRoomProperty
{
    uint16_t wMaxUsers = 0;
    uint32_t dwRights = 0;  // the word at 14
    uint32_t dwOptions = 0; // the word at 18
    uint32_t dwShares = 0;  // the word at 22
};
template <class IO> void Fields(IO& io, QNRoomProperty& r)
{
    io.Pad(6);
    io.U16(r.wMaxUsers);
    io.Pad(6);
    io.U32(r.dwRights);
    io.U32(r.dwOptions);
    io.U32(r.dwShares);
}
constexpr size_t kRoomPropertySize = 26;
QNRoomProperty PackRoomProperty(const S_ROOMPROPERTY& p);
S_ROOMPROPERTY UnpackRoomProperty(const QNRoomProperty& r);
// The right bits of 421 the properties grant everyone: 0 talk, 1 draw, 2 desktop share, 4 media share.
uint32_t RightBitsOf(const S_ROOMPROPERTY& p);
void EncodeRoomProperty(const QNRoomProperty& r, std::vector<uint8_t>& out);
bool DecodeRoomProperty(const uint8_t* p, size_t n, QNRoomProperty& r);

// 421: the rights word, and after a member's 420 the room's properties record behind it.
struct QNRightsNotice
{
    QNRoomRights rights;
    bool bHasProperty = false;
    QNRoomProperty property;
};
// False when the rights word is short; a tail shorter than the record is no record.
bool DecodeRightsNotice(const uint8_t* p, size_t n, QNRightsNotice& r);
