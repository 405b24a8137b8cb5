// Any bytes as a received board message: the reader must refuse or hand over a payload
// that lies within the bytes, any name it accepts must be safe for the file system, and
// page messages (30, 31, 32) handed to the page store must leave no file outside its
// folders. The writer's "sent" notice reads the same bytes.
#include <unistd.h>

#include <iterator>
#include <vector>

#include "lmboard2/boardbase/BoardName.h"
#include "lmboard2/pagefile/BoardPageStore.h"

namespace
{
class CQuietOwner : public IBoardWriterOwner, public IPageStoreOwner
{
public:
    void SendData(const uint8_t*, size_t) override {}
    void ProgressChange(uint32_t n) override { nProgress += n; }
    void AddLocalPage(const S_BOARD_FILEHDR&) override {}
    void AddPage(const S_BOARD_FILEHDR&) override {}
    void ErrorMessage(int) override {}
    bool IsPresentationName(const std::u16string&) override { return false; }
    uint64_t nProgress = 0;
};

std::u16string Widen(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

size_t Entries(const std::filesystem::path& p)
{
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator(p), std::filesystem::directory_iterator()));
}

// The folders live for the run and go with it.
struct Temp
{
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("qboard_msgfuzz_" + std::to_string(::getpid()));
    ~Temp()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const Temp s_temp;
    static const BoardFolders s_folders = *BoardFolders::Make(s_temp.path);
    static CQuietOwner s_owner;
    static CBoardPageStore s_store(s_folders, s_owner, Widen);
    static CSteadyBoardClock s_clock;
    static CSockBoard s_sock(s_owner, s_store, s_clock, s_folders);

    std::vector<uint8_t> msg(pData, pData + nSize); // exact size: reads past it are caught
    std::optional<BoardMessageView> v = ReadBoardMessage(msg.data(), msg.size());
    std::optional<std::u16string> name;
    if (v)
    {
        if (v->pPayload != msg.data() + kBoardMsgHeaderSize) __builtin_trap();
        if (v->hdr.dwPayloadLen > msg.size() - kBoardMsgHeaderSize) __builtin_trap();
        name = v->SafeName();
        if (name && !IsSafeBoardName(*name)) __builtin_trap();
        if (v->hdr.byCode == BMSG_PAGE_HEADER) s_store.BeginReceive(msg.data(), msg.size());
        if (v->hdr.byCode == BMSG_PAGE_CHUNK) s_store.ReceiveChunk(msg.data(), msg.size());
        if (v->hdr.byCode == BMSG_PAGE_COMPLETE) s_store.EndReceive(msg.data(), msg.size());
    }
    s_sock.SucSendBoardData(msg.data(), msg.size());

    if (Entries(s_temp.path) != 1 || Entries(s_folders.base) != 2) __builtin_trap();
    if (name)
    {
        s_store.ClosePage();
        std::error_code ec;
        std::filesystem::remove(*s_folders.PageFile(*name), ec);
        std::filesystem::remove(*s_folders.BackgroundFile(*name), ec);
    }
    return 0;
}
