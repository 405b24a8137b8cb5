// The private data's load and the refusals of a load or save.
#include "confclient/settings/PrivateDataFeature.h"

#include "confclient/network/QNCommands.h"
#include "confclient/session/roomdispatch/RoomRules.h"
#include "core/Utf8Text.h"

namespace
{
// The server has nothing saved for this user yet: not a failure.
constexpr uint16_t kReasonNothingSaved = 1406;

std::u16string DecimalOf(uint16_t wValue)
{
    const std::string digits = std::to_string(wValue);
    return std::u16string(digits.begin(), digits.end());
}
} // namespace

void CPrivateDataFeature::OnLoaded(const QNPrivateData& data)
{
    m_room.szPrivateData = data.szText;
    LogF(m_pLog, LOG_INFO, "[PRIVATE_DATA] %u characters", static_cast<unsigned>(data.szText.size()));
    if (m_pReader) m_pReader->ParsePrivateData(data.szText);
}

void CPrivateDataFeature::OnRefused(uint16_t wCommand, const QNPacketDesc& desc)
{
    const uint16_t wReason = static_cast<uint16_t>(desc.dwExtra);
    if (wReason == kReasonNothingSaved) return;
    const std::u16string text = m_notices.Text(wCommand == NAK_PRIVATE_LOADDATA ? "IDS_MSG_PHONE_LOADFAIL"
                                                                                : "IDS_MSG_PHONE_SAVEFAIL");
    m_notices.ShowBox(text + u" (" + DecimalOf(wReason) + u")");
    LogF(m_pLog, LOG_ERROR, "[%s] %s", RoomCommandName(wCommand), Utf8Of(text).c_str());
}
