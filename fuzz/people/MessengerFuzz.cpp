// Any bytes as a run of one-to-one commands (612, 652, 662 and the undelivered 611/651/661) through
// the room dispatcher into the messenger feature, the table of windows and each window's history:
// no crash, every remembered link inside its history and on its word, the mirror equal to the log.
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/MessengerFeature.h"
#include "confclient/people/MessengerTable.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "fuzz/people/MirrorLogView.h"

namespace
{
const SMessengerWords kWords{u"Yes", u"No", u"Cancel"};

struct Window : IMessengerWindow
{
    MirrorView view;
    CMessengerLog log{view, kWords};
    void SetPeer(uint16_t) override {}
    void UpdateRoomState(bool, uint16_t) override {}
    void ReceiveMessage(int nKind, const std::u16string& szText, const std::u16string& szExtra,
                        uint32_t) override
    {
        log.Add(nKind, szText, szExtra, szExtra, false);
        if (log.Text() != view.text) std::abort();
        const std::u16string* words[] = {nullptr,          &kWords.szYes, &kWords.szNo,
                                         &kWords.szCancel, &kWords.szYes, &kWords.szNo};
        for (int i = CMessengerLog::LINK_OFFER_YES; i < CMessengerLog::LINK_COUNT; ++i)
        {
            SChatRange r = log.Range(static_cast<CMessengerLog::Link>(i));
            if (r.Empty()) continue;
            if (r.nEnd > log.Text().size() || log.Text().substr(r.nStart, r.nEnd - r.nStart) != *words[i])
                std::abort();
        }
    }
    void OnFileDataAck(uint32_t) override {}
    void ForceClose() override {}
};

struct Windows : IMessengerWindows
{
    std::vector<std::unique_ptr<Window>> all;
    IMessengerWindow* CreateMessenger(const S_MESSAGEINFO&) override
    {
        all.push_back(std::make_unique<Window>());
        return all.back().get();
    }
    void DeleteMessenger(IMessengerWindow*) override {}
};

struct Notices : IRoomNotices
{
    std::u16string Text(const char* pszKey) const override
    {
        return std::string(pszKey) == "IDS_MSG_INVITE_REQ" ? u"%s invites you. Yes No" : u"%s text";
    }
    void AddChatNotice(const std::u16string&, int) override {}
    void ShowBox(const std::u16string&) override {}
};

struct View : IMessengerView
{
    CMessengerTable& table;
    explicit View(CMessengerTable& t) : table(t) {}
    void DeliverToMessenger(int nKind, uint16_t wUser, const std::u16string& szText,
                            uint32_t dwValue) override
    {
        // Few peers, so that windows fill, trim and take several lines each.
        table.Deliver(nKind, wUser, u"", u"peer", szText, dwValue, false, 65535);
    }
    void OnMessengerFileOffer(const QNFileOffer&) override {}
    void OnMessengerFileReply(uint16_t, bool) override {}
    void OnMessengerFileData(const QNFileData&) override {}
    void ShowInviteNotice(uint16_t, uint16_t, const std::u16string&) override {}
    std::u16string LobbyName(uint16_t wUser) const override { return wUser % 2 ? u"Ann" : u""; }
    std::optional<std::u16string> ConfTitle(uint16_t wRoom) const override
    {
        if (wRoom % 3) return u"Room";
        return std::nullopt;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const uint16_t kCommands[] = {INFO_MSG_TEXT, INFO_MSG_INVITE, INFO_MSG_INVITEANSWER,
                                         NAK_MSG_TEXT,  NAK_MSG_INVITE,  NAK_MSG_INVITEANSWER};
    Windows windows;
    CMessengerTable table(windows);
    View view(table);
    CRoomState room;
    Notices notices;
    CMessengerFeature feature(room, notices, view, nullptr);
    RoomHandlers handlers{.pMessenger = &feature};
    // Each command: a byte choosing it, a byte of its sub, a byte of length, then the payload.
    size_t i = 0;
    while (i + 3 <= nSize)
    {
        const uint16_t wCommand = kCommands[pData[i] % 6];
        const uint16_t wSub = pData[i + 1] & 1 ? 1000 : 1204;
        size_t n = std::min<size_t>(pData[i + 2], nSize - i - 3);
        std::vector<uint8_t> payload(pData + i + 3,
                                     pData + i + 3 + n); // exact size: a read past it is caught
        QNPacketDesc desc;
        desc.pData = payload.empty() ? nullptr : payload.data();
        desc.nLength = static_cast<uint32_t>(payload.size());
        desc.wSub = wSub;
        DispatchRoomCommand(handlers, nullptr, wCommand, desc);
        i += 3 + n;
    }
    return 0;
}
