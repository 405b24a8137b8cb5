// Board folders and the paths of page and background files.
#include "lmboard2/boardbase/BoardFolders.h"

#include <system_error>

#include "lmboard2/boardbase/BoardName.h"

std::optional<BoardFolders> BoardFolders::Make(const std::filesystem::path& tempDir)
{
    BoardFolders f;
    f.base = tempDir / u"LMBoard";
    f.pages = f.base / u"Agenda";
    f.backgrounds = f.base / u"Temp";
    for (const std::filesystem::path* p : {&f.pages, &f.backgrounds})
    {
        std::error_code ec;
        std::filesystem::create_directories(*p, ec);
        if (!std::filesystem::is_directory(*p, ec)) return std::nullopt;
    }
    return f;
}

std::optional<std::filesystem::path> BoardFolders::PageFile(std::u16string_view name) const
{
    if (!IsSafeBoardName(name)) return std::nullopt;
    return pages / std::u16string(name);
}

std::optional<std::filesystem::path> BoardFolders::BackgroundFile(std::u16string_view name) const
{
    if (!IsSafeBoardName(name)) return std::nullopt;
    return backgrounds / std::u16string(name);
}

std::filesystem::path BoardTempFolder()
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::temp_directory_path(ec);
    if (!ec && !p.empty()) return p;
#ifdef _WIN32
    return std::filesystem::path(u"c:\\temp\\");
#else
    return std::filesystem::path(u"/tmp/");
#endif
}
