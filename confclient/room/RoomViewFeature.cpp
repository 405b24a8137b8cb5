// The room window's commands: type, view mode, maximise, floating video, room state.
#include "confclient/room/RoomViewFeature.h"

#include "confclient/network/QNCommands.h"
#include "core/Utf8Text.h"

namespace
{
// The view-mode value whose page shows the recorder's state.
constexpr uint16_t kRecorderModeValue = 4;
// Bit 0 of the flags: the room is in full screen.
constexpr uint16_t kFullScreenFlag = 1;
} // namespace

void CRoomViewFeature::OnRoomType(const QNRoomType& type)
{
    if (type.wRoomIndex != m_room.RoomIndex() || !m_room.InRoom()) return;
    m_room.info.wRoomType = type.wRoomType;
    m_room.info.dwFlags = type.dwFlags;
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_CONFTYPE] RoomType:%d", type.wRoomType);
    m_view.OnRoomTypeChanged();
}

void CRoomViewFeature::OnRoomTypeRefused()
{
    std::u16string text = m_notices.Text("IDS_ROOMTYPE_NONCHANGE");
    m_notices.ShowBox(text);
    LogF(m_pLog, LOG_ERROR, "[NAK_CONF_CONFTYPE] %s", Utf8Of(text).c_str());
}

void CRoomViewFeature::OnViewMode(const QNViewMode& mode)
{
    if (m_view.IsPlayerMode() || mode.wRoomIndex != m_room.RoomIndex()) return;
    if (mode.wViewMode != m_room.wViewMode || mode.wModeValue != m_room.wModeValue)
    {
        m_room.wViewMode = mode.wViewMode;
        m_room.wModeValue = mode.wModeValue;
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_VIEWMODE] Mode:%d, Value:%d", mode.wViewMode, mode.wModeValue);
        m_view.ShowViewMode(mode.wViewMode);
    }
    bool bFullScreen = (mode.wFlags & kFullScreenFlag) != 0;
    if (bFullScreen != m_view.IsRoomFullScreen())
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_VIEWMODE] FullScreen:%d", bFullScreen ? 1 : 0);
        m_view.SetRoomFullScreen(bFullScreen);
    }
    if (mode.wModeValue != kRecorderModeValue) return;
    m_view.QueryRecorderState();
    m_view.StartChiefAutoRecord();
}

void CRoomViewFeature::OnMaximize(const QNMaximize& m)
{
    if (m.wMarker != 1 || m_view.IsPlayerMode()) return;
    m_view.MaximizeRoom(m.nMaximize != 0);
}

void CRoomViewFeature::OnFloatVideo(const QNFloatVideo& f)
{
    if (m_room.InRoom() && f.wChannel == m_room.wMyChannel) m_view.SetOwnVideoFloating(f.nMode);
}

void CRoomViewFeature::OnRoomState(uint16_t wCommand, const QNRoomState& state)
{
    if (wCommand == NTF_CONF_STATE && m_view.IsPlayerMode()) return;
    if (state.wRoomIndex != m_room.RoomIndex()) return;
    m_room.wRoomState = state.wState;
    bool bLectureChanged =
        state.wLectureState != m_room.wLectureState || state.wLectureMinutes != m_room.wLectureMinutes;
    m_room.wLectureState = state.wLectureState;
    m_room.wLectureMinutes = state.wLectureMinutes;
    if (bLectureChanged) m_view.OnLectureChanged();
    LogF(m_pLog, LOG_DEBUG, "[INFO_CONF_STATE] State:%d, Flags:0x%x", state.wState, state.dwFlags);
}
