// The board host's notices in the room chat.
#include "confclient/boardhost/BoardNoticeFeature.h"

#include "core/Utf8Text.h"

void CBoardNoticeFeature::OnBoardComplete()
{
    const std::u16string text = m_notices.Text("IDMS_BOARD_RECVCOMPLETE");
    m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_BOARDCOMPLETE] %s", Utf8Of(text).c_str());
}
