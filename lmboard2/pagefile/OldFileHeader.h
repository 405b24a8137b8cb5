// The old 112-byte page header (three 32-byte names in the system code page), read
// and turned into the 208-byte header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "lmboard2/boardbase/BoardFileHeader.h"

constexpr size_t kOldFileHeaderSize = 112;

// Text of the system code page to UTF-16.
using AnsiDecoder = std::function<std::u16string(std::string_view)>;

// pData must hold kOldFileHeaderSize bytes. Each name is taken up to its NUL or its
// 32 bytes, whichever comes first, and kept to 31 units.
S_BOARD_FILEHDR ConvertOldFileHeader(const uint8_t* pData, const AnsiDecoder& decode);
