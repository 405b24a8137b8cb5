// The failure of a call placed through the server.
#include "confclient/people/CallFeature.h"

#include "confclient/session/roomdispatch/RoomRules.h"

void CCallFeature::OnCallFailed(uint16_t, const QNPacketDesc& desc)
{
    const uint16_t wCode = static_cast<uint16_t>(desc.dwExtra);
    if (const char* pszKey = CallFailureTextKey(wCode)) m_notices.ShowBox(m_notices.Text(pszKey));
    LogF(m_pLog, LOG_ERROR, "[CALL] failed (%d)", wCode);
}
