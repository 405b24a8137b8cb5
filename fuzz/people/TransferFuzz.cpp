// Any order of inbound pushes (521, 525, 523) and messenger transfer commands (622, 632, 642),
// with any names, into the push and messenger transfer models, with the user's answers between
// them: no crash, and nothing is written outside the download folder.
#include <cstdint>
#include <string>
#include <vector>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/people/FilePush.h"
#include "confclient/people/MessengerTransfer.h"
#include "tests/people/TempDownloadFolder.h"

namespace
{
struct Clock : IPaceClock
{
    uint64_t NowMs() override { return 0; }
    void WaitFor(std::unique_lock<std::mutex>&, std::condition_variable&, uint32_t,
                 const std::function<bool()>&) override
    {
    }
};

struct Notices : IRoomNotices
{
    std::u16string Text(const char*) const override { return u"%s %d"; }
    void AddChatNotice(const std::u16string&, int) override {}
    void ShowBox(const std::u16string&) override {}
};

// No network: nothing is sent, and the models never wait for a report.
struct PushHost : IFilePushHost, IFileSendCalOwner
{
    bool SendPushFile(uint32_t, const std::u16string&) override { return false; }
    bool SendPushData(const uint8_t*, size_t) override { return false; }
    bool SendPushCancel() override { return false; }
    void SetPushEndTimer(uint32_t) override {}
    void UpdatePushMenu() override {}
    void EndPushProgressLine() override {}
    void AddReceivedFile(const std::u16string&) override {}
    uint32_t TickCount() const override { return 0; }
    void PostPushProgress(int, const std::u16string&) override {}
};

// Traps on any name that could reach outside the folder, then creates it there.
struct CheckedFolder : IDownloadFolder
{
    CTempDownloadFolder& folder;
    explicit CheckedFolder(CTempDownloadFolder& f) : folder(f) {}
    static void Check(const std::u16string& s)
    {
        if (s.empty() || s == u"." || s == u".." || s.find_first_of(u"/\\:") != std::u16string::npos ||
            s.find(u'\0') != std::u16string::npos || s.size() > kMaxPathUnits)
            __builtin_trap();
    }
    CreateResult CreateNew(const std::u16string& szName, std::unique_ptr<IReceiveFile>& file) override
    {
        Check(szName);
        return folder.CreateNew(szName, file);
    }
    void Remove(const std::u16string& szName) override
    {
        Check(szName);
        folder.Remove(szName);
    }
    std::u16string PathOf(const std::u16string& szName) const override { return folder.PathOf(szName); }
    size_t NameRoom() const override { return folder.NameRoom(); }
};

struct TransferHost : IMessengerTransferHost
{
    bool SendFileOffer(const std::u16string&, uint32_t) override { return false; }
    bool SendFileReply(bool) override { return false; }
    bool SendFileData(const uint8_t*, size_t) override { return false; }
    std::u16string Text(const char*) const override { return u"%s"; }
    void AddLine(int, const std::u16string&) override {}
    void ShowBox(const std::u16string&) override {}
    void SetEndTimer(bool, uint32_t) override {}
    void ShowProgress(bool, const std::u16string&, uint32_t) override {}
    void UpdateProgress(uint64_t, uint32_t) override {}
    void CloseProgress() override {}
    void EnableFileButton(bool) override {}
    void UnlinkCancel() override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CTempDownloadFolder temp;
    CheckedFolder folder(temp);
    {
        Clock clock;
        Notices notices;
        PushHost pushHost;
        TransferHost transferHost;
        CFilePush push(pushHost, notices, folder, clock, pushHost, SRemainFormats{}, 131072);
        CMessengerTransfer transfer(transferHost, folder, clock, 131072);
        // Each step: a byte choosing it, a byte of length, then the payload.
        size_t i = 0;
        while (i + 2 <= nSize)
        {
            const uint8_t kind = pData[i] % 12;
            const size_t n = std::min<size_t>(pData[i + 1], nSize - i - 2);
            const std::vector<uint8_t> payload(pData + i + 2, pData + i + 2 + n);
            const uint8_t* p = payload.data();
            i += 2 + n;
            switch (kind)
            {
            case 0:
                if (QNPushFile f; DecodePushFile(p, n, f))
                    push.BeginPushReceive(f.szFileName, f.dwFileSize, f.wSender, u"x");
                break;
            case 1:
                if (QNPushChunk c; DecodePushChunk(p, n, c)) push.OnPushData(c.wSender, c.pData, c.nLength);
                break;
            case 2:
                if (n >= 2) push.OnPushCancelled(static_cast<uint16_t>(p[0] | (p[1] << 8)), u"x");
                break;
            case 3:
                push.CancelFilePush(true);
                break;
            case 4:
                push.EndPush();
                break;
            case 5:
                if (QNFileOffer o; DecodeFileOffer(p, n, o))
                    transfer.OnOffer(o.szFileName, o.dwFileSize, u"x");
                // Short fuzz inputs rarely fill 528 bytes: the name alone also comes as an offer.
                else if (n >= 4)
                    transfer.OnOffer(std::u16string(reinterpret_cast<const char16_t*>(p + 4), (n - 4) / 2),
                                     p[0] | (p[1] << 8), u"x");
                break;
            case 6:
                if (QNFileReply r; DecodeFileReply(p, n, r))
                    transfer.OnReply((r.dwFlags & kFileReplyAccepted) != 0);
                else if (n >= 1)
                    transfer.OnReply(p[0] & 1);
                break;
            case 7:
                if (QNFileData d; DecodeFileData(p, n, d)) transfer.OnData(d.pData, d.nData);
                break;
            case 8:
                transfer.AcceptOffer();
                break;
            case 9:
                transfer.RefuseOffer();
                break;
            case 10:
                transfer.Cancel();
                break;
            default:
                transfer.OnReceiveEnd();
                break;
            }
        }
    }
    return 0;
}
