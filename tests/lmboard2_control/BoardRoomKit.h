// Boards as participants of a room on the loopback server: each has its connection, its board
// view and events that send the board's messages (tests and benchmarks of board traffic).
#pragma once
#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"
#include "lmboard2/control/LMView.h"
#include "tests/lmboard2_control/BoardTestKit.h"
#include "tests/network/QNTestOwner.h"

inline constexpr uint32_t kTimedOut = 0xFFFFFFFF;

class CClientNet : public CQNInterface
{
public:
    using CQNInterface::CQNInterface;
    ~CClientNet() override { StopThreads(); }
};

// A participant: connection, board view and the events that send the board's messages.
struct Participant : CQuietBoardEvents
{
    CTestOwner owner;
    std::unique_ptr<CClientNet> net = std::make_unique<CClientNet>(&owner, &owner);
    std::filesystem::path temp;
    std::unique_ptr<CLMView> view;
    std::atomic<int> nSent{0};
    int nRead = 0;
    std::vector<int> errors;
    std::vector<std::pair<uint32_t, uint32_t>> fileCounts;
    int nAdded = 0;
    std::vector<std::u16string> added;
    int nComplete = 0;
    int nProgressBytes = 0;

    explicit Participant(const char* pszName)
    {
        temp = std::filesystem::temp_directory_path() / (std::string("board-traffic-") + pszName);
        std::error_code ec;
        std::filesystem::remove_all(temp, ec);
        std::filesystem::create_directories(temp, ec);
        view = std::make_unique<CLMView>(*this, temp);
    }
    bool Login(uint16_t wPort, const std::u16string& id)
    {
        if (!net->Connect("127.0.0.1", wPort)) return false;
        if (owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == kTimedOut) return false;
        net->SendLogin(id, u"", 0, false);
        return owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg != kTimedOut;
    }
    // Reads the board messages that arrived, up to the nth in all; false when one does not come.
    bool ReadUpTo(int nTotal)
    {
        for (; nRead < nTotal; nRead++)
        {
            QNEvent e = owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, nRead + 1);
            if (e.nMsg == kTimedOut) return false;
            view->Read(e.payload.data(), e.payload.size());
        }
        return true;
    }
    std::vector<char> PageFile(const char* pszName = "E2E_000") const
    {
        std::ifstream in(temp / "LMBoard" / "Agenda" / pszName, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    }
    // Runs the window's messages and tells the board which of its frames have left, until
    // done() or nMs milliseconds.
    bool PumpUntil(const std::function<bool()>& done, DWORD nMs = 20000)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < nMs;)
        {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            for (auto& [w, frame] : owner.TakeBoardSent())
                view->SucSendBoardData(frame.data());
            if (done()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return false;
    }

    void SendData(const uint8_t* p, size_t n) override
    {
        if (net->SendBoardData(DAT_BOARD_ROOM, p, n)) nSent++;
    }
    void ErrorMessage(int nErr) override { errors.push_back(nErr); }
    void SetFileCount(uint32_t n, uint32_t nTotal) override { fileCounts.emplace_back(n, nTotal); }
    void ProgressChange(uint32_t n) override { nProgressBytes += static_cast<int>(n); }
    void AddPage(int, const S_BOARD_FILEHDR& hdr) override
    {
        ++nAdded;
        added.push_back(S_BOARD_FILEHDR::Text(hdr.szName));
    }
    void UploadAgendaComplete() override { ++nComplete; }
};

// The host opens room "E2E" and the guests join it; false when any step fails.
inline bool OpenRoom(Participant& host, std::initializer_list<Participant*> guests, const char16_t* pszTitle,
                     QNRoomInfo& room)
{
    QNConfOpen open;
    open.wRoomType = 1;
    open.wMaxUser = 10;
    open.szTitle = pszTitle;
    open.szConfCode = u"E2E";
    host.net->SendConfOpen(open);
    QNEvent opened = host.owner.WaitFor(kMsgRoomPacket, ACK_CONF_OPEN);
    if (opened.nMsg == kTimedOut || !DecodeRoomInfo(opened.payload.data(), opened.payload.size(), room))
        return false;
    for (Participant* p : guests)
    {
        p->net->SendConfJoin(room.wRoomIndex, u"", u"");
        if (p->owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg == kTimedOut) return false;
    }
    return true;
}
