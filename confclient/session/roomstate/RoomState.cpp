// The room state's entering and leaving.
#include "confclient/session/roomstate/RoomState.h"

#include "confclient/session/roomstate/RoomFlags.h"

bool CRoomState::IsChief(uint16_t wMyUserIndex) const
{
    return InRoom() && (info.wOwnerIndex == wMyUserIndex || wPresiderChannel == wMyChannel);
}

bool CRoomState::Enter(const QNRoomInfo& room, bool bOpenedHere)
{
    if (bOpenedHere) bOpenedByMe = true;
    bPendingOpen = false;
    wPendingJoinRoom = 0;
    bool bEntering = !InRoom();
    info = room;
    bQuestionnaire = (room.dwFlags & ROOMFLAG_QUESTIONNAIRE) != 0;
    wMyChannel = room.wMyChannel;
    if (bEntering) users.RemoveAll();
    return bEntering;
}

void CRoomState::Leave()
{
    info = QNRoomInfo();
    users.RemoveAll();
    viewNames.fill(std::u16string());
    wPresenterChannel = wPresiderChannel = wMyChannel = kNoIndex;
    dwRights = 0;
    property.reset();
    wViewMode = wModeValue = wRoomState = wRecorderState = 0;
    wLectureState = wLectureMinutes = 0;
    options.clear();
    recordSettings = QNRoomRecordSettings();
    bOpenedByMe = bPendingOpen = false;
    wPendingJoinRoom = 0;
    bPanelAwaitsEntry = false;
}
