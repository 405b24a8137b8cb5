// The board's folders under the temporary folder: "LMBoard" as the base, "Agenda" for
// whole page files and "Temp" for each page's background data. Every path built from
// a page name goes through the name check, so no peer's name leaves these folders.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

struct BoardFolders
{
    std::filesystem::path base;
    std::filesystem::path pages;
    std::filesystem::path backgrounds;

    // Makes the three folders (level by level) under tempDir; false when one cannot be made.
    static std::optional<BoardFolders> Make(const std::filesystem::path& tempDir);

    // The page file of a page; nothing for a name that fails the check.
    std::optional<std::filesystem::path> PageFile(std::u16string_view name) const;
    // The page's background data file.
    std::optional<std::filesystem::path> BackgroundFile(std::u16string_view name) const;
};

// The room's pages lie in the agenda folder itself, not in a sub-folder of their meeting: this
// names the agenda folder to whoever asks for that sub-folder (the recorder embeds its files
// into a recording and writes them out again for playback).
constexpr char16_t kBoardAgendaSubFolder[] = u".";

// The user's temporary folder, or the fixed fallback when there is none.
std::filesystem::path BoardTempFolder();
