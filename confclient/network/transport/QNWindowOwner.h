// The owner of the network object as a window: connection notices are posted,
// inbound commands sent, as the main dialog expects them.
#pragma once
#include <windows.h>

#include <mutex>
#include <vector>

#include "confclient/network/transport/QNOwner.h"

class CQNWindowOwner : public IQNOwner
{
public:
    explicit CQNWindowOwner(HWND hWnd) : m_hWnd(hWnd) {}

    // Posts 0x54E when the window still exists.
    void PostConnectionState(uint32_t wParam, uint32_t lParam) override;
    // Posts 0x554 when the window still exists.
    void PostRecordStatus(uint32_t nStatus) override;
    // SendMessage of the command (wParam) and the descriptor (lParam, 0 for none)
    // when the window still exists.
    void SendPacketMessage(uint32_t nMsg, uint16_t wCommand, const QNPacketDesc* pDesc) override;
    // Lets messages that other threads sent to this thread's windows run.
    void PumpSentMessages() override;

    // Whether the command message the window is handling is one this owner sent and still waits
    // on. Other programs may send the window these message numbers too (the filter lets them in),
    // and their lParam is no descriptor of ours. GUI thread.
    bool IsOwnPacketMessage(uint32_t nMsg, WPARAM wParam, LPARAM lParam) const;

private:
    struct SentMessage
    {
        uint32_t nMsg;
        uint16_t wCommand;
        const QNPacketDesc* pDesc;
        bool operator==(const SentMessage&) const = default;
    };

    HWND m_hWnd;
    mutable std::mutex m_lock;
    std::vector<SentMessage> m_inFlight; // one a sending thread at most: dispatch and receive
};
