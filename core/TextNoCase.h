// ASCII case-insensitive comparison of UTF-16 text, for fixed words.
#pragma once
#include <string_view>

bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
