// The decisions start-up makes before any window exists: how a second start hands
// its command line over, which language resource library to load, and where
// the controls' registration is looked up.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// WM_COPYDATA codes by which a second start hands its command line to the first.
enum : uint32_t
{
    COPYDATA_PLAY = 4040,        // a player word or a recording path
    COPYDATA_SECONDSTART = 4041, // any other command line
    COPYDATA_AVSETTING = 4042,   // "AVSetting"
};

uint32_t HandOffCode(std::u16string_view cmdLine);

// Language ids that choose a library of their own; every other id gives English.
enum : uint16_t
{
    LANGID_GERMAN = 1031,
    LANGID_ENGLISH = 1033,
    LANGID_JAPANESE = 1041,
    LANGID_KOREAN = 1042,
};

// The id that an "AcceptLanguage" setting names by its first two letters ("ko",
// "ja", "de", else English); an empty setting gives the user's default id.
uint16_t LangIdFromAcceptLanguage(std::u16string_view acceptLanguage, uint16_t nUserDefault);

// Chooses the language resource library. szFieldDll is field 8 of the launch
// string, szKind field 7 (the whole command line "rvplayer" makes it "1",
// "qnplayer" "0"). fileExists tests a plain file name in the program folder;
// firstWithPrefix finds the first file of the folder whose name begins with the
// prefix. Returns the file name, or nothing when no library can be found.
// Only a plain file name ending in ".dll" is ever accepted from the launch
// string: a name with a separator or ':' would load a library from elsewhere.
std::optional<std::u16string>
ChooseResourceDll(std::u16string_view szFieldDll, std::u16string_view szKind, std::u16string_view cmdLine,
                  uint16_t nLangId, const std::function<bool(const std::u16string&)>& fileExists,
                  const std::function<std::optional<std::u16string>(std::u16string_view)>& firstWithPrefix);

// True for a bare file name ending in ".dll" (case ignored): no '/', '\' or ':'.
bool IsPlainDllName(std::u16string_view name);

// The file part of a path (forward slashes count as backslashes) without its
// extension; a leading '.' is not an extension.
std::u16string GetFileStem(std::u16string_view path);

// The program name without a trailing "_D"/"_d" of debug builds.
std::u16string ProgramName(std::u16string_view exeStem);

// ASCII case-insensitive comparison of two paths, as registration paths are compared.
bool PathEqualsNoCase(std::u16string_view a, std::u16string_view b);
