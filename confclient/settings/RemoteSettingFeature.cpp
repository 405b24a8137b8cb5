// A remote setting: frame rate and video stop kept in the room state, anything else noticed.
#include "confclient/settings/RemoteSettingFeature.h"

#include "confclient/session/texttable/TextTable.h"
#include "core/Utf8Text.h"

void CRemoteSettingFeature::OnRemoteSetting(const QNRemoteSetting& setting)
{
    switch (setting.wSelector)
    {
    case REMOTESETTING_FRAMERATE:
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] SendFrame old:%u, new:%u", m_room.dwFrameRate,
             setting.dwValue);
        m_room.dwFrameRate = setting.dwValue;
        break;
    case REMOTESETTING_VIDEOSTOP:
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] VideoStop old:%u, new:%u", m_room.dwVideoStop,
             setting.dwValue);
        m_room.dwVideoStop = setting.dwValue;
        break;
    default:
    {
        const S_ROOMUSERINFO* pSetter = m_room.users.FindUser(setting.wSetterChannel);
        const std::u16string text = Formatted(m_pLog, m_notices.Text("IDMS_AUDIO_REMOTECTRL"),
                                              pSetter ? pSetter->Name : std::u16string());
        m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] %s", Utf8Of(text).c_str());
        break;
    }
    }
}
