// Packing of the view-mode request and the room-property record.
#include "confclient/network/QNRoomViewPayloads.h"

#include "core/FieldIO.h"

#include <algorithm>

namespace
{
uint32_t Bits(uint32_t v, int nShift, uint32_t mask)
{
    return (v & mask) << nShift;
}
uint32_t Field(uint32_t w, int nShift, uint32_t mask)
{
    return (w >> nShift) & mask;
}
} // namespace

QNViewModeRequest MakeViewModeRequest(uint16_t wChannel, uint16_t wMode, bool bFullScreen)
{
    return {wChannel, Bits(wMode, 12, 3) | Bits(bFullScreen, 14, 1)};
}

uint16_t ViewModeOf(const QNViewModeRequest& r)
{
    return static_cast<uint16_t>(Field(r.dwModeWord, 12, 3));
}

bool FullScreenOf(const QNViewModeRequest& r)
{
    return Field(r.dwModeWord, 14, 1) != 0;
}

void EncodeViewModeRequest(const QNViewModeRequest& r, std::vector<uint8_t>& out)
{
    EncodeFields(r, out);
}

bool DecodeViewModeRequest(const uint8_t* p, size_t n, QNViewModeRequest& r)
{
    return DecodeFields(p, n, r);
}

QNRoomProperty PackRoomProperty(const S_ROOMPROPERTY& p)
{
    QNRoomProperty r;
    r.wMaxUsers = p.wMaxUsers;
    // The rate has five bits: a higher one is sent as the highest, not as its low bits.
    r.dwRights = Bits(std::min<uint32_t>(p.nFrameRate, 0x1F), 15, 0x1F) | Bits(p.bTalk, 20, 1) |
                 Bits(p.bDraw, 21, 1) | Bits(p.bRecord, 22, 1) | Bits(p.bRoomValueBit, 23, 1) |
                 Bits(p.bPrint, 24, 1) | Bits(p.nVideoQuality, 25, 3) | Bits(p.bChat, 27, 1) |
                 Bits(p.bCloseWithHost, 28, 1);
    r.dwOptions = Bits(p.nOptionA, 0, 0xF) | Bits(p.nOptionB, 4, 3) | Bits(p.nCaptureSize, 7, 7);
    r.dwShares = Bits(p.bDesktopShare, 0, 1) | Bits(p.bMediaShare, 2, 1) | Bits(p.nPresenterMode, 3, 3) |
                 Bits(p.nPresenterVideo, 5, 3) | Bits(p.bNoticeLog, 7, 1) | Bits(p.bEraseAll, 9, 1);
    return r;
}

S_ROOMPROPERTY UnpackRoomProperty(const QNRoomProperty& r)
{
    S_ROOMPROPERTY p;
    p.wMaxUsers = r.wMaxUsers;
    p.nFrameRate = Field(r.dwRights, 15, 0x1F);
    p.bTalk = Field(r.dwRights, 20, 1);
    p.bDraw = Field(r.dwRights, 21, 1);
    p.bRecord = Field(r.dwRights, 22, 1);
    p.bRoomValueBit = Field(r.dwRights, 23, 1);
    p.bPrint = Field(r.dwRights, 24, 1);
    p.nVideoQuality = Field(r.dwRights, 25, 3);
    p.bChat = Field(r.dwRights, 27, 1);
    p.bCloseWithHost = Field(r.dwRights, 28, 1);
    p.nOptionA = Field(r.dwOptions, 0, 0xF);
    p.nOptionB = Field(r.dwOptions, 4, 3);
    p.nCaptureSize = Field(r.dwOptions, 7, 7);
    p.bDesktopShare = Field(r.dwShares, 0, 1);
    p.bMediaShare = Field(r.dwShares, 2, 1);
    p.nPresenterMode = Field(r.dwShares, 3, 3);
    p.nPresenterVideo = Field(r.dwShares, 5, 3);
    p.bNoticeLog = Field(r.dwShares, 7, 1);
    p.bEraseAll = Field(r.dwShares, 9, 1);
    return p;
}

uint32_t RightBitsOf(const S_ROOMPROPERTY& p)
{
    return Bits(p.bTalk, 0, 1) | Bits(p.bDraw, 1, 1) | Bits(p.bDesktopShare, 2, 1) |
           Bits(p.bMediaShare, 4, 1);
}

void EncodeRoomProperty(const QNRoomProperty& r, std::vector<uint8_t>& out)
{
    EncodeFields(r, out);
}

bool DecodeRoomProperty(const uint8_t* p, size_t n, QNRoomProperty& r)
{
    return DecodeFields(p, n, r);
}

bool DecodeRightsNotice(const uint8_t* p, size_t n, QNRightsNotice& r)
{
    constexpr size_t kRightsSize = 8;
    if (!DecodeRoomRights(p, n, r.rights)) return false;
    r.bHasProperty = n >= kRightsSize + kRoomPropertySize &&
                     DecodeRoomProperty(p + kRightsSize, n - kRightsSize, r.property);
    return true;
}
