// The room chat: an inbound chat line goes to the chat window with its sender's name.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/network/QNPayloads.h"
#include "confclient/session/roomstate/RoomState.h"

// The chat window as the chat sees it.
class IChatView
{
public:
    virtual ~IChatView() = default;
    virtual void OnChatReceived(const std::u16string& szSender, const std::u16string& szText,
                                uint32_t dwColour) = 0;
};

class CChatFeature
{
public:
    CChatFeature(const CRoomState& room, IChatView& view) : m_room(room), m_view(view) {}

    // A line from the room; a sender who is not (or no longer) in the room is named " ".
    void OnChat(const QNChat& chat);

private:
    const CRoomState& m_room;
    IChatView& m_view;
};
