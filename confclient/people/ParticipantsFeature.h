// The room's people: who joins and leaves, their channels, seats, options, statuses, video
// and audio states, and the names over the video views.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/people/PresenterFeature.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

// The room windows, the network and the control panel as the participants see them.
class IParticipantsView
{
public:
    virtual ~IParticipantsView() = default;
    // Shows the participants again in the user list and the video views.
    virtual void ShowRoomUsers() = 0;
    // Lays the room windows out again.
    virtual void LayoutRoom() = 0;
    // Removes a participant's row from the user list, when there is one.
    virtual void RemoveUserRow(uint16_t wChannel) = 0;
    // Shows a participant's status in the user list, when there is one.
    virtual void UpdateUserRow(uint16_t wChannel, uint16_t wStatus, uint32_t dwFlags) = 0;
    // A participant started or stopped speaking: the user list marks the row, when there is one.
    virtual void ShowSpeaking(uint16_t wChannel, bool bSpeaking) = 0;
    // Shows a participant's video state in the video views, when there are some.
    virtual void SetVideoState(uint16_t wChannel, uint32_t dwValue) = 0;
    // Names a video view, when there are some.
    virtual void SetViewName(uint16_t wChannel, const std::u16string& szName) = 0;
    // Tells the network this client's own channel.
    virtual void SetMyChannel(uint16_t wChannel) = 0;
    // Announces this client's audio/video state word to the server.
    virtual void SendAvState(uint32_t dwState) = 0;
    // The chief gave or took one of this client's own rights (bit n: right selector n).
    virtual void ApplyMyRights(uint32_t dwRights) = 0;
    // True when the control panel is connected and the session is live (not playing a recording).
    virtual bool PanelListens() const = 0;
    // Answers the control panel.
    virtual void PanelAnswer(const char* pszKeyword, long nValue) = 0;
};

class CParticipantsFeature
{
public:
    // wMyUserIndex: the session's own user index, which each login sets. The presenter feature
    // hears of the presenter leaving, the presider moving and this client's own state changing.
    CParticipantsFeature(CRoomState& room, const uint16_t& wMyUserIndex, IRoomNotices& notices,
                         IParticipantsView& view, CPresenterFeature& presenter, ILogSink* pLog)
        : m_room(room), m_wMyUserIndex(wMyUserIndex), m_notices(notices), m_view(view),
          m_presenter(presenter), m_pLog(pLog)
    {
    }

    // A join outside a room or with an empty payload is ignored; the first join seen after the
    // control panel asked to enter answers the panel.
    void OnUserJoin(uint16_t wCommand, const QNPacketDesc& desc, const QNRoomUser& user);
    void OnUserQuit(const QNRoomUser& user);
    void OnChannelChange(const QNChannelChange& change);
    // Low 16 bits: channel; bit 17: video stopped; bits 18-21: camera type.
    void OnVideoState(const uint32_t& dwValue);
    void OnSeat(const QNSeat& seat);
    void OnUserOption(const QNUserOption& option);
    void OnUserStatus(const QNUserStatus& status);
    void OnViewNames(const std::vector<QNViewName>& names);
    // A user's state word (low 16 bits: channel; the rest the audio/video flags) and rights.
    void OnAvState(const QNUserState& state);

    // The five rights of a record as bits 0-4.
    static uint32_t RightsOf(const S_ROOMUSERINFO& user);

private:
    void AddUser(const QNRoomUser& user);

    CRoomState& m_room;
    const uint16_t& m_wMyUserIndex;
    IRoomNotices& m_notices;
    IParticipantsView& m_view;
    CPresenterFeature& m_presenter;
    ILogSink* m_pLog;
    // By user index: the rights the server last told for the user (its 323 record, then 411s).
    std::map<uint16_t, uint32_t> m_serverRights;
};
