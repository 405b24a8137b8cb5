// The bytes of a view-mode request (430) and of the room's properties (420).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomViewPayloads.h"

namespace
{
uint32_t U32At(const std::vector<uint8_t>& b, size_t i)
{
    return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | uint32_t(b[i + 3]) << 24;
}
} // namespace

TEST(ViewModeRequest, ModeAndFullScreenInTheWordAt14)
{
    struct Row
    {
        uint16_t wMode;
        bool bFullScreen;
        uint32_t dwWord;
    } rows[] = {{0, false, 0}, {1, false, 0x1000}, {2, true, 0x6000}, {3, true, 0x7000}, {7, false, 0x3000}};
    for (const Row& r : rows)
    {
        std::vector<uint8_t> b;
        EncodeViewModeRequest(MakeViewModeRequest(0x0304, r.wMode, r.bFullScreen), b);
        ASSERT_EQ(b.size(), kViewModeRequestSize);
        EXPECT_EQ(b[4], 0x04);
        EXPECT_EQ(b[5], 0x03);
        EXPECT_EQ(U32At(b, 14), r.dwWord) << r.wMode;
        for (size_t i : {0, 1, 2, 3, 6, 13, 18, 25})
            EXPECT_EQ(b[i], 0) << i;
        QNViewModeRequest back;
        ASSERT_TRUE(DecodeViewModeRequest(b.data(), b.size(), back));
        EXPECT_EQ(ViewModeOf(back), r.wMode & 3);
        EXPECT_EQ(FullScreenOf(back), r.bFullScreen);
    }
    QNViewModeRequest shortOne;
    std::vector<uint8_t> b(17);
    EXPECT_FALSE(DecodeViewModeRequest(b.data(), b.size(), shortOne));
}

TEST(RoomProperty, EachValueInItsBits)
{
    struct Row
    {
        const char* name;
        void (*set)(S_ROOMPROPERTY&);
        size_t nWordAt;
        uint32_t dwBits;
    } rows[] = {
        {"frame rate", [](S_ROOMPROPERTY& p) { p.nFrameRate = 31; }, 14, 0x1Fu << 15},
        {"talk", [](S_ROOMPROPERTY& p) { p.bTalk = true; }, 14, 1u << 20},
        {"draw", [](S_ROOMPROPERTY& p) { p.bDraw = true; }, 14, 1u << 21},
        {"record", [](S_ROOMPROPERTY& p) { p.bRecord = true; }, 14, 1u << 22},
        {"room value", [](S_ROOMPROPERTY& p) { p.bRoomValueBit = true; }, 14, 1u << 23},
        {"print", [](S_ROOMPROPERTY& p) { p.bPrint = true; }, 14, 1u << 24},
        {"quality", [](S_ROOMPROPERTY& p) { p.nVideoQuality = 2; }, 14, 2u << 25},
        {"chat", [](S_ROOMPROPERTY& p) { p.bChat = true; }, 14, 1u << 27},
        {"close with host", [](S_ROOMPROPERTY& p) { p.bCloseWithHost = true; }, 14, 1u << 28},
        {"option A", [](S_ROOMPROPERTY& p) { p.nOptionA = 0x1F; }, 18, 0xFu},
        {"option B", [](S_ROOMPROPERTY& p) { p.nOptionB = 3; }, 18, 3u << 4},
        {"capture size", [](S_ROOMPROPERTY& p) { p.nCaptureSize = 6; }, 18, 6u << 7},
        {"desktop share", [](S_ROOMPROPERTY& p) { p.bDesktopShare = true; }, 22, 1u},
        {"media share", [](S_ROOMPROPERTY& p) { p.bMediaShare = true; }, 22, 1u << 2},
        {"presenter mode", [](S_ROOMPROPERTY& p) { p.nPresenterMode = 3; }, 22, 3u << 3},
        {"presenter video", [](S_ROOMPROPERTY& p) { p.nPresenterVideo = 2; }, 22, 2u << 5},
        {"notice log", [](S_ROOMPROPERTY& p) { p.bNoticeLog = true; }, 22, 1u << 7},
        {"erase all", [](S_ROOMPROPERTY& p) { p.bEraseAll = true; }, 22, 1u << 9},
    };
    for (const Row& r : rows)
    {
        S_ROOMPROPERTY p;
        r.set(p);
        std::vector<uint8_t> b;
        EncodeRoomProperty(PackRoomProperty(p), b);
        ASSERT_EQ(b.size(), kRoomPropertySize);
        for (size_t at : {14, 18, 22})
            EXPECT_EQ(U32At(b, at), at == r.nWordAt ? r.dwBits : 0u) << r.name << " word " << at;
        QNRoomProperty back;
        ASSERT_TRUE(DecodeRoomProperty(b.data(), b.size(), back));
        S_ROOMPROPERTY unpacked = UnpackRoomProperty(back);
        if (std::string(r.name) != "option A") EXPECT_EQ(unpacked, p) << r.name;
    }
    S_ROOMPROPERTY p;
    p.wMaxUsers = 0x1234;
    std::vector<uint8_t> b;
    EncodeRoomProperty(PackRoomProperty(p), b);
    EXPECT_EQ(b[6], 0x34);
    EXPECT_EQ(b[7], 0x12);
    p.bTalk = p.bDraw = p.bMediaShare = true;
    EXPECT_EQ(RightBitsOf(p), 0x13u);
}

TEST(ViewModeNotice, FullScreenFlagAtSix)
{
    std::vector<uint8_t> b;
    EncodeViewMode({5, 2, 0, 1}, b);
    ASSERT_EQ(b.size(), 8u);
    EXPECT_EQ(b[6], 1);
    QNViewMode back;
    ASSERT_TRUE(DecodeViewMode(b.data(), b.size(), back));
    EXPECT_EQ(back.wFlags, 1);
}
