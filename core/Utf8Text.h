// UTF-8 form of UTF-16 text, for log lines and other 8-bit outputs; an unpaired surrogate
// becomes U+FFFD.
#pragma once
#include <string>
#include <string_view>

std::string Utf8Of(std::u16string_view text);
