// The one wide formatter: the same text from the same format on every C library.
#include "confclient/library/LMFormat.h"
#include "confclient/library/LMPixelFormat.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(LMFormat, ConversionsTable)
{
    const char* szNarrow = "narrow";
    const wchar_t* szNull = nullptr;
    struct
    {
        std::wstring got;
        const wchar_t* want;
    } rows[] = {
        {LMFormat(L"0x%08x at %s:%d, ", 0xA0020001u, L"RecvVideo", 42), L"0xa0020001 at RecvVideo:42, "},
        {LMFormat(L"Unknown error 0x%08X", 0x8876017Cu), L"Unknown error 0x8876017C"},
        {LMFormat(L"%s|%ls|%S|%hs", L"wide", L"wide", szNarrow, szNarrow), L"wide|wide|narrow|narrow"},
        {LMFormat(L"[%5s][%-5s][%.2s]", L"ab", L"ab", L"abc"), L"[   ab][ab   ][ab]"},
        {LMFormat(L"%s", szNull), L"(null)"},
        {LMFormat(L"%d %i %u", -12, 7, 4000000000u), L"-12 7 4000000000"},
        {LMFormat(L"[%5d][%-5d][%05d][%+d][% d]", -3, 3, -3, 3, 3), L"[   -3][3    ][-0003][+3][ 3]"},
        {LMFormat(L"%.3d|%#x|%#o|%o", 5, 255u, 8u, 8u), L"005|0xff|010|10"},
        {LMFormat(L"%ld %lld %I64d %zu", -1L, -9000000000LL, 9000000000LL, static_cast<size_t>(77)),
         L"-1 -9000000000 9000000000 77"},
        {LMFormat(L"%hd %hhu", 70000, 300), L"4464 44"},
        {LMFormat(L"%*d|%-*d|%.*s", 4, 1, 3, 2, 1, L"xyz"), L"   1|2  |x"},
        {LMFormat(L"%c%c 100%%", L'o', L'k'), L"ok 100%"},
        {LMFormat(L"%q and %"), L"%q and %"},
    };
    for (auto& row : rows)
        EXPECT_EQ(row.got, std::wstring(row.want));
}

TEST(LMFormat, PictureBytesByFormatName)
{
    struct
    {
        const wchar_t* szFormat;
        int32_t nWidth, nHeight;
        int64_t nBytes;
    } rows[] = {
        {LM_FMT_YUV420, 352, 288, 152064},
        {LM_FMT_YUV420, 352, -288, 152064},
        {LM_FMT_YUV420, 351, 288, -1},
        {LM_FMT_YUV420, 352, 287, -1},
        {LM_FMT_RGB555, 4, 2, 16},
        {LM_FMT_RGB565, 4, 2, 16},
        {LM_FMT_YUY2, 4, 2, 16},
        {LM_FMT_UYVY, 4, 2, 16},
        {LM_FMT_RGB24, 5, 3, 45},
        {LM_FMT_RGB32, -5, 3, 60},
        {LM_FMT_NONE, 4, 4, -1},
        {L"32rgb32", 4, 4, -1},
        {nullptr, 4, 4, -1},
        {LM_FMT_RGB32, 0, 4, -1},
    };
    for (auto row : rows)
        EXPECT_EQ(LMPictureBytes(row.szFormat, row.nWidth, row.nHeight), row.nBytes)
            << (row.szFormat ? row.szFormat : L"null") << " " << row.nWidth << "x" << row.nHeight;
}
