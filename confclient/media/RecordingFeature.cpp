// Recording notices, the server's recording of this client's room and the recorder's state.
#include "confclient/media/RecordingFeature.h"

#include "confclient/network/QNCommands.h"
#include "confclient/session/roomdispatch/RoomRules.h"
#include "core/Utf8Text.h"

std::u16string CRecordingFeature::ServerFailText() const
{
    return m_notices.Text("IDS_RECORD_SERVER") + u" " + m_notices.Text("IDS_RECORD_FAIL_OTHERUSER");
}

void CRecordingFeature::OnRecordNotice(uint16_t wCommand, const QNRecordNotice& r)
{
    const bool bServer = wCommand == INFO_CONF_SERVERRECORD;
    std::u16string text;
    if (bServer && r.wFlag == RECORDNOTICE_FAIL)
        text = ServerFailText();
    else
    {
        const char* pszKey =
            r.wFlag == RECORDNOTICE_START ? "IDS_RECORD_START_OTHERUSER" : "IDS_RECORD_END_OTHERUSER";
        const S_ROOMUSERINFO* pUser = m_room.users.FindUser(r.wChannel);
        text = (pUser ? pUser->Name : std::u16string()) + u" " + m_notices.Text(pszKey);
        if (bServer) text = m_notices.Text("IDS_RECORD_SERVER") + u" " + text;
    }
    m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
    LogF(m_pLog, LOG_INFO, bServer ? "[INFO_CONF_SERVERRECORD] %s" : "[INFO_CONF_RECORD] %s",
         Utf8Of(text).c_str());
}

void CRecordingFeature::OnServerRecordRefused()
{
    const std::u16string text = ServerFailText();
    m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
    LogF(m_pLog, LOG_ERROR, "[NAK_CONF_SERVERRECORD] %s", Utf8Of(text).c_str());
    m_view.EnableServerRecordMenu(m_view.IsChief());
}

void CRecordingFeature::OnServerRecordLocal(const QNServerRecordLocal& r)
{
    if (r.wFlag == RECORDNOTICE_START)
    {
        m_view.StopRecordForServer();
        const std::u16string target = ServerRecordTarget(m_view.RecordFolder(), r.szTargetName);
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_SERVERRECORD] target %s", Utf8Of(target).c_str());
        m_view.StartServerMp4Record(target);
        m_view.EnableRecordButtons(true);
        m_view.LayoutRoom();
    }
    else
        m_view.EnableServerRecordMenu(m_view.IsChief());
    OnRecordNotice(INFO_CONF_SERVERRECORD, QNRecordNotice{m_room.wMyChannel, r.wFlag});
}

void CRecordingFeature::OnRecorderState(const QNRecorderState& s)
{
    m_room.wRecorderState = s.wState;
    // The user's own recording does not take the record button away from its own stop.
    const bool bIdle =
        s.wState == 0 || (s.wRecorderChannel == m_room.wMyChannel && m_room.wMyChannel != kNoIndex);
    m_view.EnableServerRecordMenu(m_view.IsChief() && bIdle);
    m_view.EnableRecordButtons(bIdle);
}
