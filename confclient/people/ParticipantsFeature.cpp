// The participants' inbound commands: the room's user records, the windows that show them,
// and this client's own channel and announced state.
#include "confclient/people/ParticipantsFeature.h"

#include <algorithm>

#include "confclient/people/ChatLog.h"
#include "core/Utf8Text.h"

void CParticipantsFeature::OnUserJoin(uint16_t, const QNPacketDesc& desc, const QNRoomUser& user)
{
    if (!m_room.InRoom() || desc.dwExtra == 0) return;
    // Once this client's own record is in, another record is someone joining.
    const bool bJoining = m_room.users.FindUser(m_room.wMyChannel) != nullptr;
    AddUser(user);
    if (user.wChannel == m_room.wMyChannel)
        m_notices.AddChatNotice(ChatFormat(m_notices.Text("IDS_ADDUSER_ME"), ChatOneLine(user.szName)),
                                NOTICE_KIND_NOTICE);
    else if (bJoining)
        m_notices.AddChatNotice(ChatFormat(m_notices.Text("IDS_ADDUSER"), ChatOneLine(user.szName)),
                                NOTICE_KIND_JOINLEAVE);
    if (m_room.bPanelAwaitsEntry && m_view.PanelListens())
    {
        m_room.bPanelAwaitsEntry = false;
        if (m_room.bOpenedByMe)
            m_view.PanelAnswer("CREATE", m_room.RoomIndex());
        else
            m_view.PanelAnswer("JOIN", 1);
    }
}

void CParticipantsFeature::AddUser(const QNRoomUser& user)
{
    if (m_room.users.Count() >= CRoomUserInfo::kMaxUsers) return;
    m_room.users.RemoveUser(user.wChannel); // a record sent again replaces the older one
    S_ROOMUSERINFO u;
    u.channel = user.wChannel;
    u.userIndex = user.wUserIndex;
    u.level = user.wLevel;
    u.videoStop = user.wVideoStop;
    u.camType = user.wCamType;
    u.drawRight = user.dwDrawRight;
    u.talkRight = user.dwTalkRight;
    u.dsRight = user.dwDsRight;
    u.shareRight = user.dwShareRight;
    u.mediaShareRight = user.dwMediaShareRight;
    u.ID = user.szUserId;
    u.Name = user.szName;
    m_room.users.AddUser(u);
    m_serverRights[u.userIndex] = RightsOf(u);
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_JOIN] ID:%s, Name:%s, CH:%d, TotCount:%d", Utf8Of(u.ID).c_str(),
         Utf8Of(u.Name).c_str(), u.channel, static_cast<int>(m_room.users.Count()));
    m_view.ShowRoomUsers();
}

void CParticipantsFeature::OnUserQuit(const QNRoomUser& user)
{
    if (!m_room.InRoom()) return;
    const S_ROOMUSERINFO* pUser = m_room.users.FindUser(user.wChannel);
    if (!pUser)
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_QUIT] unknown CH:%d", user.wChannel);
        return;
    }
    std::u16string szName = pUser->level == 2 ? m_notices.Text("IDS_PHONE_INBOUND_NAME") : pUser->Name;
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_QUIT] ID:%s, Name:%s, CH:%d, TotCount:%d", Utf8Of(pUser->ID).c_str(),
         Utf8Of(szName).c_str(), user.wChannel, static_cast<int>(m_room.users.Count()) - 1);
    m_notices.AddChatNotice(ChatFormat(m_notices.Text("IDS_REMOVEUSER"), ChatOneLine(szName)),
                            NOTICE_KIND_JOINLEAVE);
    m_room.users.RemoveUser(user.wChannel);
    m_view.RemoveUserRow(user.wChannel);
    if (m_room.wPresenterChannel == user.wChannel) m_presenter.SetPresenter(user.wChannel, false);
    m_view.ShowRoomUsers();
}

void CParticipantsFeature::OnChannelChange(const QNChannelChange& change)
{
    if (!m_room.InRoom()) return;
    S_ROOMUSERINFO* pUser = m_room.users.FindUserByIndex(change.wUserIndex);
    if (!pUser)
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_CHGCHANNEL] unknown user %d", change.wUserIndex);
        return;
    }
    pUser->channel = change.wNewChannel;
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_CHGCHANNEL] ID:%s, Name:%s, CH:%d => CH:%d\n",
         Utf8Of(pUser->ID).c_str(), Utf8Of(pUser->Name).c_str(), change.wOldChannel, change.wNewChannel);
    if (change.wOldChannel == m_room.wMyChannel && change.wUserIndex == m_wMyUserIndex)
    {
        m_room.wMyChannel = change.wNewChannel;
        m_view.SetMyChannel(m_room.wMyChannel);
    }
    m_view.ShowRoomUsers();
    if (m_room.wPresiderChannel == change.wOldChannel) m_presenter.SetPresider(change.wNewChannel);
}

void CParticipantsFeature::OnVideoState(const uint32_t& dwValue)
{
    uint16_t wChannel = static_cast<uint16_t>(dwValue & 0xFFFF);
    if (!m_room.InRoom() || wChannel == kNoIndex) return;
    S_ROOMUSERINFO* pUser = m_room.users.FindUser(wChannel);
    if (!pUser) return;
    uint16_t wStop = (dwValue >> 17) & 1;
    uint16_t wCam = (dwValue >> 18) & 0xF;
    if (pUser->videoStop == wStop && pUser->camType == wCam) return;
    pUser->videoStop = wStop;
    pUser->camType = wCam;
    m_view.SetVideoState(wChannel, dwValue);
}

void CParticipantsFeature::OnSeat(const QNSeat& seat)
{
    if (!m_room.InRoom()) return;
    m_room.users.SetUserValue(seat.wChannel, seat.wSeat);
    if (seat.wChannel == m_room.wMyChannel)
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_SEAT] Seat:%d, SendSize:%dx%d", seat.wSeat, seat.wWidth,
             seat.wHeight);
        m_room.wCaptureWidth = seat.wWidth;
        m_room.wCaptureHeight = seat.wHeight;
    }
    m_view.LayoutRoom();
}

void CParticipantsFeature::OnUserOption(const QNUserOption& option)
{
    m_room.users.SetUserValue(option.wChannel, option.dwValue);
}

void CParticipantsFeature::OnUserStatus(const QNUserStatus& status)
{
    m_view.UpdateUserRow(status.wChannel, status.wStatus, status.dwFlags);
}

void CParticipantsFeature::OnViewNames(const std::vector<QNViewName>& names)
{
    size_t nNames = std::min(names.size(), m_room.viewNames.size());
    for (size_t i = 0; i < nNames; ++i)
    {
        m_room.viewNames[i] = names[i].szName;
        m_view.SetViewName(names[i].wChannel, names[i].szName);
    }
}

void CParticipantsFeature::OnAvState(const QNUserState& state)
{
    if (!m_room.InRoom()) return;
    const uint32_t dwWord = state.dwWord;
    m_room.users.SetAvFlags(&dwWord);
    bool bMine = state.Channel() == m_room.wMyChannel;
    bool bRightsChanged = false;
    S_ROOMUSERINFO* pUser = m_room.users.FindUser(state.Channel());
    const uint32_t dwRights = state.dwRights & kRightsMask;
    // Every 411 carries the user's rights as the server keeps them: only a change of those is
    // applied, so that a state word does not undo a room-wide change (421) in the records.
    auto last = pUser ? m_serverRights.find(pUser->userIndex) : m_serverRights.end();
    if (pUser && (last == m_serverRights.end() || last->second != dwRights))
    {
        m_serverRights[pUser->userIndex] = dwRights;
        bRightsChanged = RightsOf(*pUser) != dwRights;
        pUser->talkRight = dwRights & 1;
        pUser->drawRight = (dwRights >> 1) & 1;
        pUser->dsRight = (dwRights >> 2) & 1;
        pUser->shareRight = (dwRights >> 3) & 1;
        pUser->mediaShareRight = (dwRights >> 4) & 1;
    }
    // Someone else (the chief) changed this user's state: it is announced as the user's own.
    // The server's echo of what this client announced is no change and goes no further.
    if (bMine && dwWord != m_room.dwMyAvState)
    {
        m_room.dwMyAvState = dwWord;
        m_presenter.UpdatePresenterButton();
        m_view.SendAvState(dwWord);
    }
    if (bMine && bRightsChanged)
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_AVSTATE] my rights 0x%x", dwRights);
        m_view.ApplyMyRights(dwRights);
    }
    m_view.ShowRoomUsers();
}

uint32_t CParticipantsFeature::RightsOf(const S_ROOMUSERINFO& user)
{
    return (user.talkRight ? 1u : 0u) | (user.drawRight ? 2u : 0u) | (user.dsRight ? 4u : 0u) |
           (user.shareRight ? 8u : 0u) | (user.mediaShareRight ? 16u : 0u);
}
