// A scripted page model and a recording event sink: every call becomes one line of a log.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "core/Utf8Text.h"
#include "lmboard2/boardbase/BoardRecord.h"
#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/view/BoardEvents.h"
#include "lmboard2/view/BoardPageModel.h"

inline S_BOARD_FILEHDR PageHeader(const std::u16string& name, uint8_t byKind = PAGE_BLANK)
{
    S_BOARD_FILEHDR h;
    h.byKind = byKind;
    S_BOARD_FILEHDR::SetText(h.szName, name);
    return h;
}

class CScriptedModel : public IBoardPageModel
{
public:
    std::vector<std::string> log;
    std::vector<S_BOARD_FILEHDR> pages;
    std::vector<S_BOARD_FILEHDR> localFiles; // page files already on this machine
    std::vector<S_BOARD_FILEHDR> receiving;  // headers of codes 30 not yet complete
    int nCurrent = -1;
    std::u16string agenda = u"conf";
    bool bWeb = false;
    std::optional<std::vector<std::optional<S_BOARD_FILEHDR>>> order;

    void Note(const std::string& s) { log.push_back(s); }
    const S_BOARD_FILEHDR* Find(const std::u16string& name) const
    {
        for (const auto& h : pages)
            if (S_BOARD_FILEHDR::Text(h.szName) == name) return &h;
        return nullptr;
    }

    void PostHostMode(int nMode, const std::u16string& name) override
    {
        Note("2125:" + std::to_string(nMode) + ":" + Utf8Of(name));
    }
    void EndConversion() override { Note("EndConversion"); }
    bool HasPage(const std::u16string& name) const override { return Find(name) != nullptr; }
    std::optional<S_BOARD_FILEHDR> ListedHeader(const std::u16string& name) const override
    {
        const S_BOARD_FILEHDR* p = Find(name);
        return p ? std::optional<S_BOARD_FILEHDR>(*p) : std::nullopt;
    }
    void AddPage(const S_BOARD_FILEHDR& hdr) override
    {
        pages.push_back(hdr);
        Note("AddPage:" + Utf8Of(S_BOARD_FILEHDR::Text(hdr.szName)));
    }
    int CurrentIndex() const override { return nCurrent; }
    size_t PageCount() const override { return pages.size(); }
    std::u16string CurrentPageName() const override
    {
        return nCurrent >= 0 && nCurrent < int(pages.size()) ? S_BOARD_FILEHDR::Text(pages[nCurrent].szName)
                                                             : u"";
    }
    std::u16string AgendaName() const override { return agenda; }
    bool IsWebMode() const override { return bWeb; }
    void SelectPage(int n, bool bSend) override
    {
        nCurrent = n;
        Note("Select:" + std::to_string(n) + (bSend ? ":send" : ""));
    }
    void ApplyPageSelection(const uint8_t* pMsg) override
    {
        std::u16string name = S_BOARD_FILEHDR::Text(S_BOARD_MSGHDR::Read(pMsg).szName);
        for (size_t i = 0; i < pages.size(); i++)
            if (S_BOARD_FILEHDR::Text(pages[i].szName) == name) nCurrent = int(i);
        Note("Apply50:" + Utf8Of(name));
    }
    void EmptyUploadList() override { Note("EmptyUploadList"); }
    std::optional<S_BOARD_FILEHDR> LocalHeader(const std::u16string& name) override
    {
        for (const auto& h : localFiles)
            if (S_BOARD_FILEHDR::Text(h.szName) == name) return h;
        return std::nullopt;
    }
    bool BeginReceive(const uint8_t* pMsg, size_t) override
    {
        receiving.push_back(S_BOARD_FILEHDR::Read(pMsg + kBoardMsgHeaderSize));
        Note("Begin:" + Utf8Of(S_BOARD_FILEHDR::Text(receiving.back().szName)));
        return true;
    }
    bool ReceiveChunk(const uint8_t*, size_t) override { return true; }
    bool EndReceive(const std::u16string& name) override
    {
        for (const auto& h : receiving)
            if (S_BOARD_FILEHDR::Text(h.szName) == name)
            {
                AddPage(h);
                return true;
            }
        return false;
    }
    void CancelReceive() override { Note("CancelReceive"); }
    void DeletePageByName(const std::u16string& name) override { Note("Delete:" + Utf8Of(name)); }
    std::optional<std::vector<std::optional<S_BOARD_FILEHDR>>> ApplyAgendaOrder(const uint8_t*,
                                                                                size_t) override
    {
        Note("Order");
        return order;
    }
    void RenamePages(const std::u16string& name, const uint8_t*) override { Note("Rename:" + Utf8Of(name)); }
    void StoreRecord(const std::u16string& page, const uint8_t* p, size_t) override
    {
        Note("Store:" + Utf8Of(page) + ":" + std::to_string(p[2]));
    }
    void DrawRecord(const uint8_t* p, size_t) override { Note("Draw:" + std::to_string(p[2])); }
    void SetZoomFromPeer(uint16_t n) override { Note("Zoom:" + std::to_string(n)); }
    void SelectEBookPage(const std::u16string& t, uint32_t l, uint32_t s, uint32_t p) override
    {
        Note("EBook:" + Utf8Of(t) + ":" + std::to_string(l) + "," + std::to_string(s) + "," +
             std::to_string(p));
    }
    void PostReplay() override { Note("2131"); }
    void SendDownloadAck(uint32_t n) override { Note("Ack:" + std::to_string(n)); }
};

class CRecordedEvents : public IBoardEvents
{
public:
    std::vector<std::string> log;
    void SendData(const uint8_t*, size_t n) override { log.push_back("SendData:" + std::to_string(n)); }
    void ErrorMessage(int n) override { log.push_back("Error:" + std::to_string(n)); }
    void CreateProgress(bool b) override { log.push_back(std::string("CreateProgress:") + (b ? "1" : "0")); }
    void DestroyProgress() override { log.push_back("DestroyProgress"); }
    void SetTotalSize(uint32_t n) override { log.push_back("Total:" + std::to_string(n)); }
    void SetFileCount(uint32_t c, uint32_t t) override
    {
        log.push_back("Files:" + std::to_string(c) + "/" + std::to_string(t));
    }
    void ProgressChange(uint32_t n) override { log.push_back("Progress:" + std::to_string(n)); }
    void AddPage(int t, const S_BOARD_FILEHDR& h) override
    {
        log.push_back("AddPage" + std::to_string(t) + ":" + Utf8Of(S_BOARD_FILEHDR::Text(h.szName)));
    }
    void DeletePage(int n) override { log.push_back("DeletePage:" + std::to_string(n)); }
    void SetCurrentPage(int n) override { log.push_back("Current:" + std::to_string(n)); }
    void ModeChange(const std::u16string&, int n) override { log.push_back("Mode:" + std::to_string(n)); }
    void DoChangeAgendaName(const uint8_t*) override { log.push_back("Renamed"); }
    void ResultZoom(bool b, int z, int r) override
    {
        log.push_back("ResultZoom:" + std::to_string(b) + ":" + std::to_string(z) + ":" + std::to_string(r));
    }
    void ResultDrawMode(int n) override { log.push_back("ResultDrawMode:" + std::to_string(n)); }
    void SelectEBookCombo(const std::u16string&, uint32_t, uint32_t, uint32_t) override {}
    std::u16string GetIniString(const std::u16string&) override { return u""; }
};

// A message as a peer sends it: header, name and payload.
inline std::vector<uint8_t> Msg(uint8_t byCode, const std::u16string& name = u"",
                                std::vector<uint8_t> payload = {}, uint16_t wValue = 0)
{
    CBoardMessage m(byCode, name, wValue);
    m.AppendBytes(payload.data(), payload.size());
    return *m.Finish();
}

// A drawing record (length, type, fields, terminator) with no fields.
inline std::vector<uint8_t> Record(uint8_t byType)
{
    return {2, 0, byType, 13};
}
