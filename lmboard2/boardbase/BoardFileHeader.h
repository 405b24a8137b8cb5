// S_BOARD_FILEHDR: the 208-byte header of a page file, also carried by code-30 board
// messages and handed to the host with every page. Read and written field by field.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kBoardFileHeaderSize = 208;

enum BoardPageKind : uint8_t
{
    PAGE_PICTURE = 7,
    PAGE_BLANK = 8,
    PAGE_WEB = 9,
    PAGE_CAPTURE = 10,
    PAGE_DOCUMENT = 15,
};

struct S_BOARD_FILEHDR
{
    uint32_t dwSize = 0;     // background bytes behind the header
    uint32_t dwReserved = 0; // kept as read
    uint8_t byKind = 0;      // BoardPageKind
    uint8_t bySubPage = 0;   // 0 none, 1 has sub-pages, 2 is a sub-page
    uint32_t dwNumber = 0;   // slide or page number within a document
    char16_t szName[32] = {};
    char16_t szTitle[32] = {};
    char16_t szCaption[32] = {};

    // pData must hold kBoardFileHeaderSize bytes.
    static S_BOARD_FILEHDR Read(const uint8_t* pData);
    void Write(uint8_t* pData) const;

    // The text of a name field up to its terminator (at most 32 units).
    static std::u16string Text(const char16_t (&field)[32]);
    // Stores at most 31 units and zero-fills the rest.
    static void SetText(char16_t (&field)[32], std::u16string_view text);
};
