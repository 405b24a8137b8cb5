// Any bytes as a page file: the replay walk must end (1 or 0) without reading outside
// what it read from the file, whatever the header's size field and record lengths say.
#include <unistd.h>

#include <fstream>

#include "fuzz/lmboard2_core/CountingSurface.h"

namespace
{
class CQuietView : public IPageStoreOwner
{
public:
    void AddPage(const S_BOARD_FILEHDR&) override {}
    void ErrorMessage(int) override { ++nErrors; }
    bool IsPresentationName(const std::u16string&) override { return false; }
    int nErrors = 0;
};

std::u16string Widen(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // The page folder lives for the run and goes with it.
    static const struct Temp
    {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("qboard_fuzz_" + std::to_string(::getpid()));
        ~Temp()
        {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    } s_temp;
    static BoardFolders s_folders = *BoardFolders::Make(s_temp.path);
    static CQuietView s_view;
    static CBoardPageStore s_store(s_folders, s_view, Widen);

    {
        std::ofstream out(*s_folders.PageFile(u"Fuzz_001"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    }
    CCountingSurface surface;
    KeptViewRecords kept;
    int n = s_store.ReplayPage(u"Fuzz_001", surface, kept);
    if (n != 0 && n != 1) __builtin_trap();
    for (const auto* p : {&kept.zoom, &kept.scroll, &kept.pointer})
        if (!p->empty() && p->size() > kBoardPayloadMax + 2) __builtin_trap();
    n = s_store.ReplayPageTo(u"Fuzz_001", surface, nSize & 1 ? s_folders.base : std::filesystem::path());
    if (n != 0 && n != 1) __builtin_trap();
    return 0;
}
