// The control-panel server: one outside panel on 127.0.0.1 drives the program
// with '@' command frames and hears answers back (docs/control-panel.md).
// An accept thread takes one panel at a time; a receive thread cuts its frames
// and hands each command to the owner's callback on that thread.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>

#include "confclient/network/control/PanelFrames.h"
#include "confclient/network/transport/NetPlatform.h"

class CQNControl
{
public:
    using CommandFn = std::function<void(const S_PANELFRAME&)>;

    // onCommand runs on the receive thread for every command frame of the panel.
    explicit CQNControl(CommandFn onCommand) : m_onCommand(std::move(onCommand)) {}
    ~CQNControl() { Stop(); }
    CQNControl(const CQNControl&) = delete;
    CQNControl& operator=(const CQNControl&) = delete;

    // Listens on 127.0.0.1:wPort (0: a free port, see Port()). False when it cannot.
    bool Start(uint16_t wPort);
    uint16_t Port() const { return m_wPort; }
    // Closes the panel and the listening socket and joins both threads.
    void Stop();

    bool IsConnected() const { return m_hPanel.load() != kNoSocket; }
    // Sends "keyword value" as an answer frame to a connected panel; false without one.
    bool SendAnswer(std::string_view keyword, long value);

private:
    void AcceptLoop(NetSocket hListen);
    void ReceiveLoop(NetSocket s);

    CommandFn m_onCommand;
    uint16_t m_wPort = 0;
    NetSocket m_hListen = kNoSocket;
    std::atomic<NetSocket> m_hPanel{kNoSocket};
    std::atomic<bool> m_bStopping{false};
    std::mutex m_sendLock; // also held while the panel's socket is closed
    CNetThread m_acceptThread;
    std::unique_ptr<CNetThread> m_pReceiveThread; // one per panel
    bool m_bNetStarted = false;
};
