// Board page and agenda names: the one check every name passes before it becomes a
// file name, and the "%s_%03d" page names with their numbers.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

constexpr size_t kBoardNameUnits = 32; // wchar[32] name fields: 31 characters and a NUL
constexpr int kMaxPageNumber = 999;
constexpr size_t kMaxAgendaPart = 27; // 27 + '_' + 3 digits fills the 31 characters

// True when the name may become a file name in a board folder: 1 to 31 units of
// well-formed UTF-16, no separator, ':', "..", lone "." or control character. Names
// reach us from peers.
bool IsSafeBoardName(std::u16string_view name);

// A wchar[32] field as received: the text before its terminator, when the terminator
// lies within the 32 units and the text is a safe name; otherwise nothing.
std::optional<std::u16string> SafeNameFromField(const char16_t* pField);

// The page name "%s_%03d" of an agenda and a page number; the agenda part is cut to 27
// units so that every page of a long agenda still gets its own name. Numbers outside
// 0..999 give nothing.
std::optional<std::u16string> MakePageName(std::u16string_view agenda, int nNumber);

// The number after the last '_' of a page name, or -1 when there is none.
int PageNumberOfName(std::u16string_view name);
