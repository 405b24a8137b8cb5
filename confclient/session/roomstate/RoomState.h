// The current room as the session knows it: its record, the people in it, who presides and
// presents, the rights and view mode in force, and the open or join this client awaits.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/session/roomstate/RoomUserInfo.h"

struct CRoomState
{
    // The room record; its room index is 0 when there is no room. Type and flags follow
    // the room's later type changes.
    QNRoomInfo info;
    CRoomUserInfo users;
    std::array<std::u16string, kMaxViewNames> viewNames;

    uint16_t wMyChannel = kNoIndex;
    uint16_t wPresiderChannel = kNoIndex;
    uint16_t wPresenterChannel = kNoIndex;
    uint32_t dwRights = 0;
    // The room's properties as a member last set them (421's record); none before the first.
    std::optional<S_ROOMPROPERTY> property;
    uint16_t wViewMode = 0;
    uint16_t wModeValue = 0;
    uint16_t wRoomState = 0;
    uint16_t wLectureState = 0; // 0 none, 1 started, 100 ended
    uint16_t wLectureMinutes = 0;
    std::vector<QNRoomOption> options; // the layouts the room offers, with their user limits
    uint16_t wRecorderState = 0;
    // The room's recording settings (after its room record).
    QNRoomRecordSettings recordSettings;
    bool bQuestionnaire = false;

    // This client's own announced state and what the room asked of its camera.
    uint32_t dwMyAvState = 0;
    uint32_t dwFrameRate = 0;
    uint32_t dwVideoStop = 0; // from the user's settings at login, then as the chief sets it
    uint16_t wCaptureWidth = 0;
    uint16_t wCaptureHeight = 0;
    std::u16string szPrivateData;

    // What this client asked for and has no answer to yet.
    bool bPendingOpen = false;
    uint16_t wPendingJoinRoom = 0;
    bool bPanelAwaitsEntry = false; // the control panel asked and hears the outcome
    uint16_t wPendingInvite = 0;    // the room of the invitation being answered
    bool bOpenedByMe = false;

    bool InRoom() const { return info.wRoomIndex != 0; }
    // Whether the room lets its members record: until a member sets the properties, it does.
    bool RecordRight() const { return !property || property->bRecord; }
    uint16_t RoomIndex() const { return info.wRoomIndex; }
    bool AwaitsEntry() const { return bPendingOpen || wPendingJoinRoom != 0; }
    // The room's owner or its presider.
    bool IsChief(uint16_t wMyUserIndex) const;
    // Takes the room record of an open or join answer; true when this client was not in a room.
    bool Enter(const QNRoomInfo& room, bool bOpenedHere);
    // Back to no room: the record, the people, roles, rights, view mode and pending requests.
    void Leave();
};
