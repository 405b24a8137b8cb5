// Session record updates by command.
#include "confclient/network/transport/QNSessionRecord.h"

#include <algorithm>

#include "confclient/network/QNCommands.h"
#include "confclient/network/QNFrameCodec.h"

S_VUSERINFO* CQNSessionRecord::Find(uint16_t wUserIndex)
{
    auto it = std::find_if(m_users.begin(), m_users.end(),
                           [&](const S_VUSERINFO& u) { return u.wUserIndex == wUserIndex; });
    return it == m_users.end() ? nullptr : &*it;
}

void CQNSessionRecord::PutUser(const S_VUSERINFO& u)
{
    if (S_VUSERINFO* p = Find(u.wUserIndex))
        *p = u;
    else if (m_users.size() < kMaxSessionUsers)
        m_users.push_back(u);
}

void CQNSessionRecord::Update(uint16_t wCommand, const uint8_t* pData, size_t nLen, CQNFrameCodec& codec)
{
    std::lock_guard<std::mutex> g(m_lock);
    switch (wCommand)
    {
    case ACK_SEED_KEY:
        if (nLen >= kRoundKeyBytes) codec.SetServerRoundKeys(pData);
        break;
    case ACK_LOBY_LOGIN:
    {
        QNLoginAck a;
        if (!DecodeLoginAck(pData, nLen, a)) break;
        m_me.wUserIndex = a.wUserIndex;
        m_me.wLevel = a.wLevel;
        m_me.wGroupCode = a.wGroupCode;
        m_me.szUserId = a.szUserId;
        m_me.szName = a.szName;
        break;
    }
    case INFO_USER_LOGIN:
    {
        QNLobbyUser u;
        if (DecodeLobbyUser(pData, nLen, u))
            PutUser({u.wUserIndex, u.wLevel, u.wGroupCode, u.wRoomIndex, kNoIndex, u.szUserId, u.szName});
        break;
    }
    case INFO_USER_LOGOUT:
    {
        QNLobbyUser u;
        if (DecodeLobbyUser(pData, nLen, u))
            std::erase_if(m_users, [&](const S_VUSERINFO& v) { return v.wUserIndex == u.wUserIndex; });
        break;
    }
    case DAT_LOBY_USERLIST:
    {
        std::vector<QNLobbyUser> list;
        if (!DecodeUserList(pData, nLen, list)) break;
        for (const QNLobbyUser& u : list)
            PutUser({u.wUserIndex, u.wLevel, u.wGroupCode, u.wRoomIndex, kNoIndex, u.szUserId, u.szName});
        break;
    }
    case ACK_CONF_OPEN:
    case ACK_CONF_JOIN:
    {
        QNRoomInfo r;
        if (!DecodeRoomInfo(pData, nLen, r)) break;
        m_wRoomIndex = r.wRoomIndex;
        m_me.wRoomIndex = r.wRoomIndex;
        m_me.wChannel = r.wMyChannel;
        break;
    }
    case INFO_CONF_JOIN:
    {
        QNRoomUser u;
        if (!DecodeRoomUser(pData, nLen, u)) break;
        S_VUSERINFO v{u.wUserIndex, u.wLevel, 0, m_wRoomIndex, u.wChannel, u.szUserId, u.szName};
        if (S_VUSERINFO* p = Find(u.wUserIndex)) v.wGroupCode = p->wGroupCode;
        PutUser(v);
        break;
    }
    case INFO_CONF_QUIT:
    {
        QNRoomUser u;
        if (!DecodeRoomUser(pData, nLen, u)) break;
        if (S_VUSERINFO* p = Find(u.wUserIndex))
        {
            p->wChannel = kNoIndex;
            p->wRoomIndex = 0;
        }
        break;
    }
    case INFO_CONF_CLOSE:
    case INFO_CONF_DELETE:
    {
        uint16_t wRoom = 0;
        if (DecodeU16(pData, nLen, wRoom) && wRoom != 0 && wRoom == m_wRoomIndex)
        {
            m_wRoomIndex = 0;
            m_me.wRoomIndex = 0;
            m_me.wChannel = kNoIndex;
        }
        break;
    }
    default:
        break;
    }
}

S_VUSERINFO CQNSessionRecord::Me() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_me;
}

uint16_t CQNSessionRecord::MyUserIndex() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_me.wUserIndex;
}

uint16_t CQNSessionRecord::RoomIndex() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_wRoomIndex;
}

uint16_t CQNSessionRecord::MyChannel() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_me.wChannel;
}

size_t CQNSessionRecord::UserCount() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_users.size();
}

bool CQNSessionRecord::FindUser(uint16_t wUserIndex, S_VUSERINFO& out) const
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = std::find_if(m_users.begin(), m_users.end(),
                           [&](const S_VUSERINFO& u) { return u.wUserIndex == wUserIndex; });
    if (it == m_users.end()) return false;
    out = *it;
    return true;
}

void CQNSessionRecord::SetMyChannel(uint16_t wChannel)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_me.wChannel = wChannel;
}

void CQNSessionRecord::LeaveRoom()
{
    std::lock_guard<std::mutex> g(m_lock);
    m_wRoomIndex = 0;
    m_me.wRoomIndex = 0;
    m_me.wChannel = kNoIndex;
}

void CQNSessionRecord::Reset()
{
    std::lock_guard<std::mutex> g(m_lock);
    m_me = S_VUSERINFO{};
    m_wRoomIndex = 0;
    m_users.clear();
}
