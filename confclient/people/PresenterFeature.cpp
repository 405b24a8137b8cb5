// The presider, the presenter and the rights as the room announces them.
#include "confclient/people/PresenterFeature.h"

#include <iterator>
#include <string>

#include "confclient/network/QNCommands.h"
#include "confclient/people/ChatLog.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "core/Utf8Text.h"

namespace
{
// What each right selector covers, as the log names what stopped (RIGHT_TALK .. RIGHT_MEDIASHARE).
constexpr const char* kStoppedKeys[] = {"IDS_RIGHT_STOPPED_TALK", "IDS_RIGHT_STOPPED_DRAW",
                                        "IDS_RIGHT_STOPPED_DESKTOP", "IDS_RIGHT_STOPPED_CAMERA",
                                        "IDS_RIGHT_STOPPED_CAPTURE"};
static_assert(std::size(kStoppedKeys) == RIGHT_MEDIASHARE - RIGHT_TALK + 1);
} // namespace

void CPresenterFeature::OnPresenterChange(uint16_t wCommand, const uint16_t& wChannel)
{
    SetPresenter(wChannel, wCommand == INFO_CONF_PRESENTER_SET);
}

void CPresenterFeature::OnRights(const QNRightsNotice& notice)
{
    if (notice.rights.wRoomIndex != m_room.RoomIndex()) return;
    // The room's whole properties come along once a member has set them: kept, so that the next
    // change for everyone starts from them and the chat knows its right.
    if (notice.bHasProperty) m_room.property = UnpackRoomProperty(notice.property);
    ApplyRights(notice.rights.dwRights);
}

void CPresenterFeature::OnPresenterRequest(const QNPresenterRequest& req)
{
    UpdatePresenterButton();
    if (req.wKind == PRESENTER_REQUEST)
        m_view.PostPresenterQuestion(req.wRequesterChannel);
    else if (!req.wAccepted)
    {
        std::u16string text = m_notices.Text("IDS_REQ_PRESENTER_DENY");
        m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_PRESENTER] %s", Utf8Of(text).c_str());
    }
}

void CPresenterFeature::OnPresenterRefused()
{
    UpdatePresenterButton();
    std::u16string text = m_notices.Text("IDS_SET_PRESENTER_FAILED");
    m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
    LogF(m_pLog, LOG_ERROR, "[NAK_CONF_PRESENTER] %s", Utf8Of(text).c_str());
}

void CPresenterFeature::OnSetPresenterRefused(uint16_t, const QNPacketDesc& desc)
{
    UpdatePresenterButton();
    if (static_cast<uint16_t>(desc.dwExtra) == kReasonConfExistUser)
    {
        LogF(m_pLog, LOG_ERROR, "[NAK_CONF_SET_PRESENTER] ERR_CONF_EXISTUSER");
        return;
    }
    std::u16string text = m_notices.Text("IDS_SET_PRESENTER_FAILED");
    m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
    LogF(m_pLog, LOG_ERROR, "[NAK_CONF_SET_PRESENTER] %s", Utf8Of(text).c_str());
}

void CPresenterFeature::OnPresider(const uint16_t& wChannel)
{
    const uint16_t wOld = m_room.wPresiderChannel;
    SetPresider(wChannel);
    const S_ROOMUSERINFO* pChief = m_room.users.FindUser(wChannel);
    if (wOld == kNoIndex || wOld == wChannel || !pChief || pChief->Name.empty()) return;
    std::u16string text = ChatFormat(m_notices.Text("IDS_NEWCHIEF"), ChatOneLine(pChief->Name));
    m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
}

void CPresenterFeature::SetPresider(uint16_t wChannel)
{
    m_room.wPresiderChannel = wChannel;
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_PRESIDER] CH:%d", wChannel);
    UpdatePresenterButton();
    m_view.ShowRoomUsers();
}

void CPresenterFeature::SetPresenter(uint16_t wChannel, bool bSet)
{
    if (bSet)
        m_room.wPresenterChannel = wChannel;
    else if (m_room.wPresenterChannel == wChannel)
        m_room.wPresenterChannel = kNoIndex;
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_PRESENTER] %s CH:%d", bSet ? "Set" : "Clear", wChannel);
    UpdatePresenterButton();
    m_view.ShowRoomUsers();
}

void CPresenterFeature::UpdatePresenterButton()
{
    m_view.EnablePresenterButton(m_room.InRoom() && m_room.info.wRoomType != kDocumentRoomType &&
                                 !IsChief() && m_room.wPresenterChannel != m_room.wMyChannel);
}

void CPresenterFeature::ApplyRights(uint32_t dwRights)
{
    uint32_t dwChanged = dwRights ^ m_room.dwRights;
    m_room.dwRights = dwRights;
    for (int32_t nSel = RIGHT_TALK; nSel <= RIGHT_MEDIASHARE; ++nSel)
    {
        if (!(dwChanged & (1u << nSel))) continue;
        uint32_t dwOn = (dwRights >> nSel) & 1;
        m_room.users.SetFlagForAll(nSel, dwOn);
        if (!dwOn && !IsChief())
            LogF(m_pLog, LOG_INFO, "[INFO_CONF_RIGHTS] %s stopped",
                 Utf8Of(m_notices.Text(kStoppedKeys[nSel - RIGHT_TALK])).c_str());
    }
    LogF(m_pLog, LOG_INFO, "[INFO_CONF_RIGHTS] Rights:0x%x", dwRights);
    m_view.LayoutRoom();
    m_view.ShowRoomUsers();
}
