// Any bytes as a stream of received board messages (each behind a 2-byte length): the reader
// hands the page model only safe page names and payloads that lie within their message, and
// replays its queue without reading past what it copied.
#include <algorithm>
#include <vector>

#include "lmboard2/boardbase/BoardName.h"
#include "lmboard2/view/BoardReader.h"

namespace
{
const uint8_t* g_pBegin = nullptr;
const uint8_t* g_pEnd = nullptr;
bool g_bReplaying = false; // queued copies are the reader's own, bounded by ASan

void CheckName(const std::u16string& name)
{
    if (!IsSafeBoardName(name)) __builtin_trap();
}

void CheckWithin(const uint8_t* p, size_t n)
{
    if (n == 0 || g_bReplaying) return;
    if (!g_pBegin || p < g_pBegin || p + n > g_pEnd) __builtin_trap();
}

class CCheckingModel : public IBoardPageModel
{
public:
    void PostHostMode(int, const std::u16string&) override {}
    void EndConversion() override {}
    bool HasPage(const std::u16string& name) const override
    {
        CheckName(name);
        for (const auto& h : pages)
            if (S_BOARD_FILEHDR::Text(h.szName) == name) return true;
        return false;
    }
    std::optional<S_BOARD_FILEHDR> ListedHeader(const std::u16string& name) const override
    {
        CheckName(name);
        return std::nullopt;
    }
    void AddPage(const S_BOARD_FILEHDR& hdr) override
    {
        if (pages.size() < 64) pages.push_back(hdr);
    }
    int CurrentIndex() const override { return 0; }
    size_t PageCount() const override { return pages.size(); }
    std::u16string CurrentPageName() const override { return u"conf_000"; }
    std::u16string AgendaName() const override { return u"conf"; }
    bool IsWebMode() const override { return false; }
    void SelectPage(int, bool) override {}
    void ApplyPageSelection(const uint8_t* pMsg) override { CheckWithin(pMsg, 72); }
    void EmptyUploadList() override {}
    std::optional<S_BOARD_FILEHDR> LocalHeader(const std::u16string& name) override
    {
        CheckName(name);
        S_BOARD_FILEHDR h;
        S_BOARD_FILEHDR::SetText(h.szName, name);
        return h;
    }
    bool BeginReceive(const uint8_t* p, size_t n) override
    {
        CheckWithin(p, n);
        return true;
    }
    bool ReceiveChunk(const uint8_t* p, size_t n) override
    {
        CheckWithin(p, n);
        return true;
    }
    bool EndReceive(const std::u16string& name) override
    {
        CheckName(name);
        return true;
    }
    void CancelReceive() override {}
    void DeletePageByName(const std::u16string& name) override { CheckName(name); }
    std::optional<std::vector<std::optional<S_BOARD_FILEHDR>>> ApplyAgendaOrder(const uint8_t* p,
                                                                                size_t n) override
    {
        CheckWithin(p, n);
        return std::vector<std::optional<S_BOARD_FILEHDR>>(2);
    }
    void RenamePages(const std::u16string& name, const uint8_t* pBlock) override
    {
        CheckName(name);
        CheckWithin(pBlock, 72);
    }
    void StoreRecord(const std::u16string& page, const uint8_t* p, size_t n) override
    {
        CheckName(page);
        CheckWithin(p, n);
    }
    void DrawRecord(const uint8_t* p, size_t n) override { CheckWithin(p, n); }
    void SetZoomFromPeer(uint16_t) override {}
    void SelectEBookPage(const std::u16string& title, uint32_t, uint32_t, uint32_t) override
    {
        CheckName(title);
    }
    void PostReplay() override {}
    void SendDownloadAck(uint32_t) override {}

    std::vector<S_BOARD_FILEHDR> pages;
};

class CQuietEvents : public IBoardEvents
{
public:
    void SendData(const uint8_t*, size_t) override {}
    void ErrorMessage(int) override {}
    void CreateProgress(bool) override {}
    void DestroyProgress() override {}
    void SetTotalSize(uint32_t) override {}
    void SetFileCount(uint32_t, uint32_t) override {}
    void ProgressChange(uint32_t) override {}
    void AddPage(int, const S_BOARD_FILEHDR&) override {}
    void DeletePage(int) override {}
    void SetCurrentPage(int) override {}
    void ModeChange(const std::u16string&, int) override {}
    void DoChangeAgendaName(const uint8_t* pMsg) override { CheckWithin(pMsg, 72); }
    void ResultZoom(bool, int, int) override {}
    void ResultDrawMode(int) override {}
    void SelectEBookCombo(const std::u16string&, uint32_t, uint32_t, uint32_t) override {}
    std::u16string GetIniString(const std::u16string&) override { return u""; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CCheckingModel model;
    CQuietEvents events;
    CBoardReader reader(model, events);
    size_t i = 0;
    while (i + 2 <= nSize)
    {
        size_t n = pData[i] | (pData[i + 1] << 8);
        i += 2;
        n = std::min(n, nSize - i);
        std::vector<uint8_t> msg(pData + i, pData + i + n); // exact size: reads past it are caught
        g_pBegin = msg.data();
        g_pEnd = msg.data() + msg.size();
        reader.Read(msg.data(), msg.size());
        i += n;
    }
    g_bReplaying = true;
    reader.ReplayQueue();
    g_bReplaying = false;
    return 0;
}
