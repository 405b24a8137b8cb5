// Who presides and who presents, the rights in force, presenter requests and their refusals,
// and whether this client may ask to present.
#pragma once
#include <cstdint>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

// The reason of a presenter refusal (554) that only means "already the presenter": logged, not shown.
constexpr uint16_t kReasonConfExistUser = 1210;

// The room windows as roles and rights see them.
class IPresenterView
{
public:
    virtual ~IPresenterView() = default;
    // Enables or greys the control bar's presenter button; without a control bar nothing happens.
    virtual void EnablePresenterButton(bool bEnable) = 0;
    // Shows the participants again, with their roles and rights.
    virtual void ShowRoomUsers() = 0;
    // Lays the room windows out again.
    virtual void LayoutRoom() = 0;
    // Asks the presider's yes/no question about a request later, outside the command being handled.
    virtual void PostPresenterQuestion(uint16_t wRequesterChannel) = 0;
};

class CPresenterFeature
{
public:
    // wMyUserIndex: the session's own user index, which each login sets.
    CPresenterFeature(CRoomState& room, const uint16_t& wMyUserIndex, IRoomNotices& notices,
                      IPresenterView& view, ILogSink* pLog)
        : m_room(room), m_wMyUserIndex(wMyUserIndex), m_notices(notices), m_view(view), m_pLog(pLog)
    {
    }

    // A presider other than the one known is announced in the chat as the new chief.
    void OnPresider(const uint16_t& wChannel);
    // 553 sets the presenter, 555 clears it.
    void OnPresenterChange(uint16_t wCommand, const uint16_t& wChannel);
    // Rights of another room are not ours.
    void OnRights(const QNRightsNotice& notice);
    // A request goes to the presider's question; a refused answer is told in the chat.
    void OnPresenterRequest(const QNPresenterRequest& req);
    void OnPresenterRefused();
    // The refusal's reason is the descriptor's extra word.
    void OnSetPresenterRefused(uint16_t wCommand, const QNPacketDesc& desc);

    void SetPresider(uint16_t wChannel);
    // Clearing names the channel that stops presenting; another presenter stays.
    void SetPresenter(uint16_t wChannel, bool bSet);
    // Anyone but the chief and the presenter may ask to present, in a room that shows people.
    void UpdatePresenterButton();
    // The room's owner or its presider.
    bool IsChief() const { return m_room.IsChief(m_wMyUserIndex); }

private:
    void ApplyRights(uint32_t dwRights);

    CRoomState& m_room;
    const uint16_t& m_wMyUserIndex;
    IRoomNotices& m_notices;
    IPresenterView& m_view;
    ILogSink* m_pLog;
};
