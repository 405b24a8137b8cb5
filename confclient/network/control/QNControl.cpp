// The control-panel server.
#include "confclient/network/control/QNControl.h"

bool CQNControl::Start(uint16_t wPort)
{
    if (m_hListen != kNoSocket) return false;
    m_bNetStarted = NetStartup();
    if (!m_bNetStarted) return false;
    m_hListen = NetListenLoopback(wPort, &m_wPort);
    if (m_hListen == kNoSocket) return false;
    m_bStopping = false;
    NetSocket hListen = m_hListen;
    return m_acceptThread.Start([this, hListen] { AcceptLoop(hListen); }, false);
}

void CQNControl::Stop()
{
    m_bStopping = true;
    // A blocked accept or recv is woken by shutdown natively, by closing under Winsock; natively the
    // socket is closed only after its thread has ended.
    auto wake = [](NetSocket s)
    {
        if (kNetCloseToWake)
            NetShutdownClose(s);
        else
            NetShutdown(s);
    };
    if (m_hListen != kNoSocket) wake(m_hListen);
    if (m_acceptThread.Started()) m_acceptThread.WaitFor(~0u);
    if (m_hListen != kNoSocket && !kNetCloseToWake) NetClose(m_hListen);
    m_hListen = kNoSocket; // cleared only once the accept thread, which took its own copy, has ended
    NetSocket s = kNoSocket;
    {
        std::lock_guard<std::mutex> lock(m_sendLock);
        s = m_hPanel.exchange(kNoSocket);
        if (s != kNoSocket) wake(s);
    }
    m_pReceiveThread.reset(); // joins
    if (s != kNoSocket && !kNetCloseToWake) NetClose(s);
    if (m_bNetStarted)
    {
        NetCleanup();
        m_bNetStarted = false;
    }
}

void CQNControl::AcceptLoop(NetSocket hListen)
{
    while (!m_bStopping)
    {
        NetSocket s = NetAccept(hListen);
        if (s == kNoSocket) return; // the listening socket was closed
        if (m_bStopping || m_hPanel.load() != kNoSocket)
        {
            NetShutdownClose(s); // one panel at a time
            continue;
        }
        // The previous panel's thread cleared its socket on the way out: join it and start a new one.
        m_pReceiveThread = std::make_unique<CNetThread>();
        m_hPanel = s;
        if (!m_pReceiveThread->Start([this, s] { ReceiveLoop(s); }, false))
        {
            m_hPanel = kNoSocket;
            NetShutdownClose(s);
        }
    }
}

void CQNControl::ReceiveLoop(NetSocket s)
{
    CPanelFrameReader reader;
    uint8_t buf[2048];
    for (;;)
    {
        int n = NetRecv(s, buf, sizeof buf);
        if (n <= 0) break;
        for (const S_PANELFRAME& f : reader.Feed(buf, static_cast<size_t>(n)))
            if (f.type == PanelFrameType::Command && m_onCommand) m_onCommand(f);
    }
    std::lock_guard<std::mutex> lock(m_sendLock);
    NetSocket mine = s;
    // Stop may have taken and closed the socket already.
    if (m_hPanel.compare_exchange_strong(mine, kNoSocket)) NetShutdownClose(s);
}

bool CQNControl::SendAnswer(std::string_view keyword, long value)
{
    std::lock_guard<std::mutex> lock(m_sendLock);
    NetSocket s = m_hPanel.load();
    if (s == kNoSocket) return false;
    std::vector<uint8_t> frame = EncodePanelAnswer(keyword, value);
    return NetSend(s, frame.data(), frame.size()) == static_cast<int>(frame.size());
}
