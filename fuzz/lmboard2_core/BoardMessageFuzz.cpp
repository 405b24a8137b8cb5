// Any bytes as a received board message: the reader must refuse or hand over a payload
// that lies within the bytes, and any name it accepts must be safe for the file system.
// The writer's "sent" notice reads the same bytes.
#include <vector>

#include "lmboard2/boardbase/BoardName.h"
#include "lmboard2/boardmsg/SockBoard.h"

namespace
{
class CQuietOwner : public IBoardWriterOwner
{
public:
    void SendData(const uint8_t*, size_t) override {}
    void ProgressChange(uint32_t n) override { nProgress += n; }
    void AddLocalPage(const S_BOARD_FILEHDR&) override {}
    uint64_t nProgress = 0;
};

class CQuietStore : public IBoardRecordStore
{
public:
    bool AppendRecord(const std::u16string&, const uint8_t*, size_t) override { return true; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static CQuietOwner owner;
    static CQuietStore store;
    static CSteadyBoardClock clock;
    static CSockBoard sock(owner, store, clock, BoardFolders{});

    std::vector<uint8_t> msg(pData, pData + nSize); // exact size: reads past it are caught
    std::optional<BoardMessageView> v = ReadBoardMessage(msg.data(), msg.size());
    if (v)
    {
        if (v->pPayload != msg.data() + kBoardMsgHeaderSize) __builtin_trap();
        if (v->hdr.dwPayloadLen > msg.size() - kBoardMsgHeaderSize) __builtin_trap();
        volatile uint8_t last = v->hdr.dwPayloadLen ? v->pPayload[v->hdr.dwPayloadLen - 1] : 0;
        (void)last;
        std::optional<std::u16string> name = v->SafeName();
        if (name && !IsSafeBoardName(*name)) __builtin_trap();
    }
    sock.SucSendBoardData(msg.data(), msg.size());
    return 0;
}
