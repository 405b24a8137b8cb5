// Connections, threads and frame handling of the loopback server.
#include "loopserver/LoopServer.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <random>
#include <thread>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "core/ByteReader.h"
#include "core/ByteWriter.h"

namespace
{
constexpr size_t kBufferSize = 0x80000;

const char* NameOf(uint16_t wCommand)
{
    const QNCommandInfo* p = FindCommandInfo(wCommand);
    return p ? p->pszName : "?";
}

SeedRoundKeys KeysFromBytes(const uint8_t* p)
{
    SeedRoundKeys rk{};
    ByteReader rd(p, kRoundKeyBytes);
    for (uint32_t& w : rk)
        w = rd.U32();
    return rk;
}

bool IsRelayed(uint16_t c)
{
    return c == DAT_VOICE || c == DAT_VIDEO || c == DAT_VIDEO_FRAME || c == DAT_VIDEO_2020 ||
           c == DAT_VIDEO_2030 || c == DAT_MOVIE_VIDEO || c == DAT_MOVIE_AUDIO || c == DAT_BOARD_ROOM ||
           c == DAT_BOARD_LOBBY;
}
} // namespace

CLoopServer::CLoopServer(LoopConfig cfg, ILogSink* pLog) : m_cfg(std::move(cfg)), m_pLog(pLog)
{
    for (const LoopRoom& r : m_cfg.rooms)
    {
        Room& room = m_rooms[r.wRoomIndex];
        room.info = r;
        room.bConfigured = true;
    }
}

CLoopServer::~CLoopServer()
{
    Stop();
}

bool CLoopServer::Start(uint16_t wPort)
{
    if (!NetStartup()) return false;
    m_bNetStarted = true;
    m_hListen = NetListenLoopback(wPort, &m_wPort);
    if (m_hListen == kNoSocket) return false;
    LogF(m_pLog, LOG_INFO, "[loop] listening on 127.0.0.1:%u", m_wPort);
    return m_acceptThread.Start([this] { AcceptLoop(); }, false);
}

void CLoopServer::Stop()
{
    if (m_bStopping.exchange(true)) return;
    NetShutdownClose(m_hListen);
    m_acceptThread.WaitFor(~0u);
    std::vector<std::shared_ptr<Client>> clients;
    {
        std::lock_guard<std::mutex> g(m_state);
        clients = m_clients;
    }
    for (auto& c : clients)
    {
        NetShutdown(c->hSocket);
        if (kNetCloseToWake) NetClose(c->hSocket.exchange(kNoSocket));
        {
            std::lock_guard<std::mutex> g(c->outLock);
            c->bClosing = true;
        }
        c->outReady.notify_all();
    }
    for (auto& c : clients)
    {
        c->reader.WaitFor(~0u);
        c->writer.WaitFor(~0u);
        NetClose(c->hSocket.exchange(kNoSocket));
    }
    if (m_bNetStarted) NetCleanup();
}

void CLoopServer::AcceptLoop()
{
    while (!m_bStopping)
    {
        NetSocket s = NetAccept(m_hListen);
        if (s == kNoSocket)
        {
            if (m_bStopping) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        NetSetNoDelay(s);
        auto c = std::make_shared<Client>();
        c->hSocket = s;
        {
            std::lock_guard<std::mutex> g(m_state);
            if (m_bStopping)
            {
                NetShutdownClose(s);
                return;
            }
            ReapGone();
            c->nId = m_nNextClientId++;
            m_clients.push_back(c);
            c->writer.Start([this, c] { WriteLoop(c); }, false);
            c->reader.Start([this, c] { ReadLoop(c); }, false);
        }
        LogF(m_pLog, LOG_INFO, "[loop] #%d connected", c->nId);
    }
}

void CLoopServer::WriteLoop(std::shared_ptr<Client> c)
{
    for (;;)
    {
        Outbound o;
        {
            std::unique_lock<std::mutex> g(c->outLock);
            c->outReady.wait(g, [&] { return c->bClosing || !c->out.empty(); });
            if (c->out.empty()) return;
            o = std::move(c->out.front());
            c->out.pop_front();
        }
        if (o.nDelayMs) std::this_thread::sleep_for(std::chrono::milliseconds(o.nDelayMs));
        size_t nSent = 0;
        while (nSent < o.bytes.size())
        {
            int n = NetSend(c->hSocket, o.bytes.data() + nSent, o.bytes.size() - nSent);
            if (n <= 0) return;
            nSent += static_cast<size_t>(n);
        }
        if (o.bCloseAfter)
        {
            NetShutdown(c->hSocket);
            return;
        }
    }
}

void CLoopServer::ReadLoop(std::shared_ptr<Client> c)
{
    std::vector<uint8_t> buf(kBufferSize);
    size_t nHeld = 0;
    for (;;)
    {
        int n = NetRecv(c->hSocket, buf.data() + nHeld, kBufferSize - nHeld);
        if (n <= 0) break;
        nHeld += static_cast<size_t>(n);
        size_t nCursor = 0;
        bool bDrop = false;
        while (nHeld - nCursor >= kFrameHeaderSize)
        {
            PacketHeader h = PacketHeader::Read(buf.data() + nCursor);
            if (h.byMask != kFrameMask || h.dwTotalLength < kFrameHeaderSize ||
                h.dwTotalLength > kMaxFrameLength)
            {
                LogF(m_pLog, LOG_ERROR, "[loop] #%d bad stream, %u bytes dropped", c->nId,
                     static_cast<unsigned>(nHeld - nCursor));
                bDrop = true;
                break;
            }
            if (nHeld - nCursor < h.dwTotalLength) break;
            HandleFrame(c, buf.data() + nCursor, h.dwTotalLength);
            nCursor += h.dwTotalLength;
        }
        if (bDrop)
            nHeld = 0;
        else
        {
            nHeld -= nCursor;
            std::memmove(buf.data(), buf.data() + nCursor, nHeld);
        }
    }
    Dropped(c);
}

void CLoopServer::Dropped(const std::shared_ptr<Client>& c)
{
    {
        std::lock_guard<std::mutex> g(m_state);
        LeaveRoom(*c, false);
        if (c->pUser)
        {
            Bytes p;
            EncodeLobbyUser(LobbyUserOf(*c), p);
            c->pUser = nullptr;
            ToLobby(c.get(), INFO_USER_LOGOUT, p);
        }
        c->bGone = true;
    }
    {
        std::lock_guard<std::mutex> g(c->outLock);
        c->bClosing = true;
    }
    c->outReady.notify_all();
    LogF(m_pLog, LOG_INFO, "[loop] #%d closed", c->nId);
}

void CLoopServer::ReapGone()
{
    std::erase_if(m_clients,
                  [](const std::shared_ptr<Client>& c)
                  {
                      if (!c->bGone || !c->reader.WaitFor(0) || !c->writer.WaitFor(0)) return false;
                      NetClose(c->hSocket.exchange(kNoSocket));
                      return true;
                  });
}

void CLoopServer::LogFrame(const Client& c, bool bIn, uint16_t wCommand, uint16_t wSub, size_t nLen)
{
    LogF(m_pLog, LOG_DEBUG, "[loop] #%d %s %u %s sub %u len %u", c.nId, bIn ? "<-" : "->", wCommand,
         NameOf(wCommand), wSub, static_cast<unsigned>(nLen));
}

void CLoopServer::SendRaw(Client& c, Bytes bytes, unsigned nDelayMs, bool bCloseAfter)
{
    {
        std::lock_guard<std::mutex> g(c.outLock);
        if (c.bClosing) return;
        c.out.push_back({std::move(bytes), nDelayMs, bCloseAfter});
    }
    c.outReady.notify_one();
}

void CLoopServer::Send(Client& c, uint16_t wCommand, uint16_t wSub, const Bytes& payload, unsigned nDelayMs)
{
    const SeedRoundKeys& rk = InboundTableOf(wCommand) == QNKeyTable::Server ? c.serverKeys : c.clientKeys;
    LogFrame(c, false, wCommand, wSub, payload.size());
    SendRaw(c, EncodeFrame(wCommand, wSub, payload.data(), payload.size(), rk), nDelayMs, false);
}

void CLoopServer::HandleFrame(const std::shared_ptr<Client>& c, uint8_t* pFrame, size_t nLen)
{
    std::lock_guard<std::mutex> g(m_state);
    PacketHeader h = PacketHeader::Read(pFrame);
    if (c->received.empty()) m_firstCommands.push_back(h.wCommand);
    c->received.push_back(h.wCommand);
    if (c->pUser) m_history[c->pUser->szId].push_back(h.wCommand);

    FrameFault fault;
    std::optional<size_t> nPlain = DecodeFrame(pFrame, nLen, c->clientKeys, &fault);
    LogFrame(*c, true, h.wCommand, h.wSub, nPlain.value_or(0));
    if (!nPlain)
    {
        LogF(m_pLog, LOG_ERROR, "[loop] #%d frame dropped: %s", c->nId, FrameFaultText(fault));
        return;
    }
    const uint8_t* p = pFrame + kFrameHeaderSize;
    size_t n = *nPlain;

    if (h.wCommand == CMD_SEED_KEY)
    {
        // Exactly the client's round-key table: anything else is not this protocol.
        if (n != kRoundKeyBytes)
        {
            LogF(m_pLog, LOG_ERROR, "[loop] #%d key of %u bytes: connection closed", c->nId,
                 static_cast<unsigned>(n));
            SendRaw(*c, {}, 0, true);
            return;
        }
        c->clientKeys = KeysFromBytes(p);
        std::random_device rd;
        uint8_t key[16];
        for (uint8_t& b : key)
            b = static_cast<uint8_t>(rd());
        c->serverKeys = SeedCipher::KeySchedule(key);
        c->bKeyed = true;
        Bytes table;
        ByteWriter w(table);
        for (uint32_t v : c->serverKeys)
            w.U32(v);
        Send(*c, ACK_SEED_KEY, 0, table);
        return;
    }
    if (!c->bKeyed) return;
    switch (h.wCommand)
    {
    case CMD_LOBY_LOGIN:
    case CMD_LOBY_LOGIN_EX:
        OnLogin(c, h.wCommand, p, n);
        return;
    case CMD_LOBY_BANISH:
        OnBanish(*c, p, n);
        return;
    default:
        break;
    }
    if (!c->pUser) return;
    switch (h.wCommand)
    {
    case CMD_KEEP_ALIVE:
        OnKeepAlive(c, p, n);
        break;
    case CMD_CONF_OPEN:
        OnOpen(c, p, n);
        break;
    case CMD_CONF_JOIN:
        OnJoin(c, p, n);
        break;
    case CMD_CONF_QUIT:
        LeaveRoom(*c);
        break;
    case CMD_CONF_CHAT:
        OnChat(*c, p, n);
        break;
    case CMD_CONF_AVSTATE:
        OnAvState(*c, p, n);
        break;
    case CMD_CONF_PRESENTER:
        OnPresenter(*c, p, n);
        break;
    case CMD_CONF_USEROPTION:
        OnUserOption(*c, p, n);
        break;
    case CMD_MSG_INVITEREPLY:
        OnInviteReply(*c, p, n);
        break;
    default:
        if (IsRelayed(h.wCommand)) Relay(*c, h.wCommand, p, n);
        break;
    }
}
