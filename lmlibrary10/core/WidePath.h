// A caller's wide path as the UTF-8 text FFmpeg opens files by (on Windows FFmpeg turns it back
// into the wide name, so every character survives).
#pragma once
#include <string>

// UTF-16 (Windows) or UTF-32 (elsewhere) to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string LMWideToUtf8(const wchar_t* szWide);
