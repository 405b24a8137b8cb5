// The text of a plain-text file: read from UTF-16 with a byte-order mark, UTF-8 (with a mark or
// simply valid) or else the machine's ANSI code page; written as UTF-8 with a mark.
#pragma once
#include <functional>
#include <string>
#include <string_view>

// Turns bytes of the ANSI code page into UTF-16; the Windows side passes its converter.
using AnsiDecoder = std::function<std::u16string(std::string_view)>;

std::u16string DecodeTextFile(std::string_view bytes, const AnsiDecoder& ansi);
// UTF-8 with its byte-order mark, as the program's text files are saved.
std::string EncodeTextFile(std::u16string_view text);
