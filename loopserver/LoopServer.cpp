// Start and stop, frame handling and sending of the loopback server.
#include "loopserver/LoopServer.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <utility>
#include <random>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "core/ByteReader.h"
#include "core/ByteWriter.h"

namespace
{
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

// What a member that falls behind may miss: live voice and video, which the next frame replaces.
// Board messages are state: a member without one would draw another page than the others.
bool IsDroppableMedia(uint16_t c)
{
    return IsRelayed(c) && c != DAT_BOARD_ROOM && c != DAT_BOARD_LOBBY;
}
} // namespace

CLoopServer::CLoopServer(LoopConfig cfg, ILogSink* pLog) : m_cfg(std::move(cfg)), m_pLog(pLog)
{
    m_phoneBooks = m_cfg.phoneBooks;
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

void CLoopServer::LogFrame(const Client& c, bool bIn, uint16_t wCommand, uint16_t wSub, size_t nLen)
{
    LogF(m_pLog, LOG_DEBUG, "[loop] #%d %s %u %s sub %u len %u", c.nId, bIn ? "<-" : "->", wCommand,
         NameOf(wCommand), wSub, static_cast<unsigned>(nLen));
}

void CLoopServer::Send(Client& c, uint16_t wCommand, uint16_t wSub, const Bytes& payload, unsigned nDelayMs)
{
    const SeedRoundKeys& rk = InboundTableOf(wCommand) == QNKeyTable::Server ? c.serverKeys : c.clientKeys;
    LogFrame(c, false, wCommand, wSub, payload.size());
    Outbound o{EncodeFrame(wCommand, wSub, payload.data(), payload.size(), rk), {}, false};
    if (nDelayMs) o.tNotBefore = Clock::now() + std::chrono::milliseconds(nDelayMs);
    Enqueue(c, std::move(o), IsDroppableMedia(wCommand));
}

void CLoopServer::HandleFrame(const std::shared_ptr<Client>& c, uint8_t* pFrame, size_t nLen,
                              int64_t nArrivalUs)
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
    if (std::find(m_stamped.begin(), m_stamped.end(), h.wCommand) != m_stamped.end())
        m_arrivals.emplace_back(nArrivalUs, n);

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
    case CMD_MSG_TEXT:
    case CMD_MSG_FILEOFFER:
    case CMD_MSG_FILEANSWER:
    case DAT_MSG_FILE:
    case CMD_MSG_INVITE:
    case CMD_MSG_INVITEREPLY:
        RelayToAddressee(*c, h.wCommand, p, n);
        break;
    case CMD_PUSH_BEGIN:
    case DAT_PUSH_CHUNK:
    case CMD_PUSH_CANCEL:
        RelayPush(*c, h.wCommand, p, n);
        break;
    case CMD_CONF_AUDIOSETTINGS:
        OnAudioSettings(*c, p, n);
        break;
    case DAT_BOARD_ROOM:
        OnRoomBoard(*c, p, n);
        break;
    case CMD_CONF_VIEWMODE:
        OnViewModeRequest(*c, p, n);
        break;
    case CMD_CONF_PROPERTY:
        OnRoomProperty(*c, p, n);
        break;
    case CMD_CONF_UPDATE:
        OnConfUpdate(*c, p, n);
        break;
    case CMD_CONF_CONFTYPE:
        OnRoomTypeRequest(*c, p, n);
        break;
    case NTF_CONF_STATE:
        OnLecture(*c, p, n);
        break;
    case CMD_CONF_MAXIMIZE:
        OnMaximize(*c, p, n);
        break;
    case INFO_CONF_PRESENTER_SET:
        OnSetPresenter(*c, p, n);
        break;
    case CMD_CALL:
        OnPhoneCall(*c, p, n);
        break;
    case CMD_CALL_HANGUP:
        OnCallHangUp(*c);
        break;
    case CMD_CONF_BANISH:
        // A phone member goes by its caller's or the presider's word; anyone else by the presider's.
        if (!OnPhoneBanish(*c, p, n)) OnBanishUser(*c, p, n);
        break;
    case CMD_PRIVATE_LOADDATA:
        OnPhoneBookQuery(*c, p, n);
        break;
    case CMD_PRIVATE_SAVEDATA:
        OnPhoneBookSave(*c, p, n);
        break;
    case CMD_CONF_PRESIDER:
        OnPresiderChange(*c, p, n);
        break;
    case CMD_CONF_CHGCHANNEL:
        OnChannelMove(*c, p, n);
        break;
    case CMD_CONF_RECORD:
        OnRecordState(*c, p, n);
        break;
    case CMD_CONF_RECORDERSTATE:
        OnRecorderQuery(*c, p, n);
        break;
    case CMD_MEDIASHARE_STATE:
        OnMediaShareRecord(*c, p, n);
        break;
    case CMD_MEDIASHARE_POSITION:
        OnMediaShareState(*c, p, n);
        break;
    default:
        if (IsRelayed(h.wCommand)) Relay(*c, h.wCommand, p, n);
        break;
    }
}

void CLoopServer::StampArrivals(std::vector<uint16_t> commands)
{
    std::lock_guard<std::mutex> g(m_state);
    m_bStamping = !commands.empty();
    m_stamped = std::move(commands);
}

std::vector<std::pair<int64_t, size_t>> CLoopServer::TakeArrivals()
{
    std::lock_guard<std::mutex> g(m_state);
    return std::exchange(m_arrivals, {});
}
