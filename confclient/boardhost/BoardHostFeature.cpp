// The board host's tables and its inbound and error handling.
#include "confclient/boardhost/BoardHostFeature.h"

#include "core/Utf8Text.h"

namespace
{
constexpr uint8_t kCodeUploadStart = 20;
constexpr uint8_t kCodeTransferEnd = 10;
} // namespace

const char* BoardErrorTextKey(int nErr, bool bLobby)
{
    switch (nErr)
    {
    case 0:
        return "IDS_PLAY_FILEREADFAIL";
    case 1:
        return "IDMS_BOARD_UNSUPPORT";
    case 2:
        return "IDMS_BOARD_UPLOCK";
    case 3:
        return bLobby ? "IDMS_BOARD_COPYFAIL_AGENDA" : "IDMS_BOARD_COPYFAIL";
    case 4:
        return "IDMS_BOARD_OVERFLOWPAGE";
    case 5:
        return "IDMS_BOARD_OPENFAIL_ACCESS_DENIED";
    case 7:
        return bLobby ? nullptr : "IDMS_BOARD_CHANGEORDERFAIL";
    case 8:
        return bLobby ? nullptr : "IDMS_BOARD_RENAMEFAIL";
    case 9:
        return bLobby ? "IDMS_BOARD_ALREADY_USE" : nullptr;
    default:
        return nullptr;
    }
}

bool IsReportedZoom(int nZoom)
{
    return nZoom == 4096 || nZoom == 8192 || (nZoom >= 10 && nZoom <= 300);
}

unsigned ZoomMenuId(int nZoom)
{
    switch (nZoom)
    {
    case 25:
        return 32941;
    case 50:
        return 32942;
    case 75:
        return 32943;
    case 100:
        return 32944;
    case 125:
        return 32945;
    case 150:
        return 32946;
    case 200:
        return 32947;
    case 300:
        return 32948;
    case 4096:
        return 32949;
    case 8192:
        return 32950;
    default:
        return 32987;
    }
}

DrawModeFeedback DrawModeButton(int nDrawMode, bool bHighlighter)
{
    switch (nDrawMode)
    {
    case 0:
        return bHighlighter ? DrawModeFeedback{1393, 32930} : DrawModeFeedback{1392, 32928};
    case 2:
        return {1395, 0};
    case 6:
        return {1389, 0};
    default:
        return {};
    }
}

bool CBoardHostFeature::OnInbound(const uint8_t* pData, size_t nLen, bool bPlayer, bool bRoomPanels)
{
    if (!pData || nLen == 0) return false;
    if (bPlayer) return true;
    if (pData[0] == kCodeUploadStart) m_bDownloading = true;
    if (pData[0] == kCodeTransferEnd) m_bDownloading = false;
    return bRoomPanels;
}

std::u16string CBoardHostFeature::OnErrorMessage(int nErr, bool bLobby)
{
    const char* pszKey = BoardErrorTextKey(nErr, bLobby);
    std::u16string text = pszKey ? m_notices.Text(pszKey) : std::u16string();
    LogF(m_pLog, LOG_ERROR, bLobby ? "[Lobby Board] %s (%d)" : "[Conference Board] %s (%d)",
         Utf8Of(text).c_str(), nErr);
    m_notices.ShowBox(text);
    return text;
}

std::u16string CBoardHostFeature::IniText(const std::u16string& key) const
{
    std::string narrow = Utf8Of(key);
    std::u16string text = m_notices.Text(narrow.c_str());
    return text == key ? std::u16string() : text;
}
