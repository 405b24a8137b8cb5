// The room property dialog's rules.
#include "confclient/room/RoomPropertyRules.h"

#include <algorithm>

int PresenterVideoIndex(uint32_t nValue)
{
    return nValue >= 3 ? 0 : static_cast<int>(nValue) + 1;
}

uint32_t PresenterVideoValue(int nIndex)
{
    return nIndex <= 0 || nIndex > 3 ? 3 : static_cast<uint32_t>(nIndex - 1);
}

int CaptureSizeIndex(uint32_t nCode)
{
    return nCode >= 2 && nCode <= 6 ? static_cast<int>(nCode) - 1 : 0;
}

uint32_t CaptureSizeCode(int nIndex)
{
    return nIndex >= 0 && nIndex <= 5 ? static_cast<uint32_t>(nIndex) + 1 : 1;
}

S_VIDEOSIZE VideoSizeOfCode(int nCode)
{
    switch (nCode)
    {
    case 2:
        return {320, 240};
    case 3:
        return {640, 480};
    case 4:
        return {720, 480};
    case 5:
        return {1280, 720};
    case 6:
        return {1920, 1080};
    default:
        return {};
    }
}

S_PROPERTYLAYOUT PropertyLayout(bool bHasVideo, bool bQualityHidden, bool bDesktopShareShown,
                                bool bMediaShareShown)
{
    S_PROPERTYLAYOUT l;
    if (!bHasVideo)
        l.nSectionShift += 130;
    else if (bQualityHidden) // without video the quality row is gone with its section
        l.nSectionShift += 20;
    if (!(bDesktopShareShown && bMediaShareShown)) l.nButtonShift += 25;
    l.nHeight = 590 - l.nSectionShift - l.nButtonShift;
    l.nMediaShareX = bDesktopShareShown ? 200 : 26;
    l.nOkY = l.nTop - l.nSectionShift - l.nButtonShift + 518;
    return l;
}

S_FRAMERATECONTROLS FrameRateControls(bool bFixed, bool bDocumentRoom, bool bHasSender, bool bHasVideo,
                                      uint32_t nRoomFrameRate, uint32_t nMaxFrameRate)
{
    S_FRAMERATECONTROLS c;
    // The record carries five bits: a larger maximum would send a wrapped value.
    c.nSliderMax = std::min(nMaxFrameRate, kMaxSentFrameRate);
    if (bDocumentRoom || !bFixed)
    {
        c.nFrameRate = 0;
        return c;
    }
    // Without a local sender the fixed rate is not switched on: the value stays as it is.
    if (!bHasSender) return c;
    c.bValueShown = bHasVideo;
    c.bSliderEnabled = true;
    c.nFrameRate = std::min(nRoomFrameRate != 0 ? nRoomFrameRate : 5, c.nSliderMax);
    return c;
}

namespace
{
std::optional<char16_t> FirstBadChar(const std::u16string& s)
{
    for (char16_t c : s)
        if (c == u'\'' || c == 0xFF) return c;
    return std::nullopt;
}
} // namespace

S_PROPERTYOK PropertyOk(const S_PROPERTYROOM& room, const S_PROPERTYFORM& form)
{
    S_PROPERTYOK r;
    if (!room.bControlRight) return r;
    r.action = PROPERTY_STAY;
    if (form.szTitle.empty())
    {
        r.szMessageKey = "IDS_CONF_NULLTITLE";
        return r;
    }
    if (form.szTitle.size() > kMaxTitleUnits) return r;
    std::u16string szPassword = form.szPassword.substr(0, kMaxPasswordUnits);
    std::optional<char16_t> bad = FirstBadChar(form.szTitle);
    if (!bad) bad = FirstBadChar(szPassword);
    if (bad)
    {
        r.szMessageKey = "IDS_CONF_NONCHARACTER";
        r.badChar = bad;
        return r;
    }
    const S_ROOMPROPERTY& cur = room.current;
    const S_ROOMPROPERTY& in = form.values;
    if (in.wMaxUsers != cur.wMaxUsers && in.wMaxUsers < room.nParticipants)
    {
        r.szMessageKey = "IDMS_NON_MAXUSER";
        return r;
    }
    r.szTitle = form.szTitle;
    r.szPassword = szPassword;

    uint32_t nFrameRate = std::min(in.nFrameRate, kMaxSentFrameRate);
    bool bFrameRateChanged =
        !room.bDocumentRoom && (nFrameRate != cur.nFrameRate || nFrameRate != form.nOpeningFrameRate);
    bool bCaptureChanged = in.nCaptureSize != cur.nCaptureSize;
    bool bSame = in.bDraw == cur.bDraw && in.bTalk == cur.bTalk && in.bChat == cur.bChat &&
                 in.bRecord == cur.bRecord && in.bPrint == cur.bPrint && !bFrameRateChanged &&
                 in.nVideoQuality == cur.nVideoQuality && !bCaptureChanged && in.wMaxUsers == cur.wMaxUsers &&
                 in.bCloseWithHost == cur.bCloseWithHost && in.bDesktopShare == cur.bDesktopShare &&
                 in.bMediaShare == cur.bMediaShare && in.bNoticeLog == cur.bNoticeLog &&
                 in.nPresenterMode == cur.nPresenterMode && in.nPresenterVideo == cur.nPresenterVideo &&
                 in.bEraseAll == cur.bEraseAll;
    if (bSame)
    {
        r.action = PROPERTY_TEXTS;
        return r;
    }
    r.action = PROPERTY_SEND;
    r.send = in;
    r.send.nFrameRate = nFrameRate;
    r.send.nCaptureSize = bCaptureChanged ? in.nCaptureSize : 0;
    // The fields no dialog edits go back as the room has them.
    r.send.nOptionA = cur.nOptionA;
    r.send.nOptionB = cur.nOptionB;
    r.send.bRoomValueBit = cur.bRoomValueBit;
    return r;
}

std::u16string BadCharMessage(char16_t c, const std::u16string& szText)
{
    return u"[" + std::u16string(1, c) + u"] " + szText;
}

S_ROOMPROPERTY WithRecordRights(S_ROOMPROPERTY form, const QNRoomProperty& record)
{
    S_ROOMPROPERTY r = UnpackRoomProperty(record);
    form.bTalk = r.bTalk;
    form.bDraw = r.bDraw;
    form.bDesktopShare = r.bDesktopShare;
    form.bMediaShare = r.bMediaShare;
    return form;
}
