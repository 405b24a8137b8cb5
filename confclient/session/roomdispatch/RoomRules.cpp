// The room dispatcher's fixed tables and the recording path rule.
#include "confclient/session/roomdispatch/RoomRules.h"

#include <string_view>

#include "confclient/network/QNCommands.h"

const char* NakConfTextKey(uint16_t wReason)
{
    switch (wReason)
    {
    case 1002:
        return "IDS_NAK_LOBY_MAXUSEROVERFLOW";
    case 1009:
        return "IDS_DESKTOP_16BIT";
    case 1201:
        return "IDS_MSG_INVITE_ACCEPTFAILED";
    case 1202:
        return "IDS_CONF_NOSEAT";
    case 1205:
        return "IDS_EXCEED_MAXUSER";
    case 1206:
        return "IDS_SERVERERROR_OPEN";
    default:
        return nullptr;
    }
}

const char* CallFailureTextKey(uint16_t wCode)
{
    switch (wCode)
    {
    case 1:
        return "IDS_DIFFER_INVITE_ERROR_MGINFO";
    case 2:
        return "IDS_DIFFER_INVITE_ERROR_FAILED";
    case 3:
        return "IDS_DIFFER_INVITE_ERROR_TIMEOUT";
    case 100:
        return "IDS_DIFFER_INVITE_ERROR_SS403";
    case 101:
        return "IDS_DIFFER_INVITE_ERROR_SS486";
    case 102:
        return "IDS_DIFFER_INVITE_ERROR_SS500";
    case 103:
        return "IDS_DIFFER_INVITE_ERROR_SSXXX";
    case 104:
        return "IDS_DIFFER_INVITE_ERROR_SSCTO";
    case 105:
        return nullptr;
    case 106:
        return "IDS_DIFFER_INVITE_ERROR_MG100";
    case 107:
        return "IDS_DIFFER_INVITE_ERROR_QN100";
    case 108:
        return "IDS_DIFFER_INVITE_ERROR_NOTVIDEO";
    case 109:
        return "IDS_DIFFER_INVITE_ERROR_EXCEED_MAX";
    default:
        return "IDS_DIFFER_INVITE_ERROR_UNKNOWN";
    }
}

const char* RoomCommandName(uint16_t wCommand)
{
    // Codes that share a log name with their partner.
    switch (wCommand)
    {
    case NAK_CONF_SERVERRECORD_STOP:
        return "NAK_CONF_SERVERRECORD";
    case INFO_CONF_SERVERRECORD_LOCAL:
        return "INFO_CONF_SERVERRECORD";
    case CMD_CONF_PRESENTER:
        return "INFO_CONF_PRESENTER";
    default:
        break;
    }
    const QNCommandInfo* p = FindCommandInfo(wCommand);
    return p ? p->pszName : "";
}

namespace
{
bool IsPlainFileName(const std::u16string& s)
{
    if (s.empty() || s == u"." || s.find(u"..") != std::u16string::npos) return false;
    for (char16_t c : s)
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos)
            return false;
    return true;
}
} // namespace

std::u16string ServerRecordTarget(const std::u16string& szFolder, const std::u16string& szName)
{
    std::u16string path = szFolder;
    path += IsPlainFileName(szName) ? szName : std::u16string(kServerRecordFallback);
    path += u".mp4";
    // The path buffer holds kMaxRecordPath characters with its terminator.
    if (path.size() >= kMaxRecordPath) return {};
    return path;
}
