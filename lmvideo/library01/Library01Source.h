// The library name that LMLibrary01U's objects give their error reports.
#pragma once

inline constexpr wchar_t kLibrary01Source[] = L"LMLibrary01";
