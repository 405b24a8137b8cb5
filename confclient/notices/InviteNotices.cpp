// Invitation notices: their places on the screen, the list of open ones and their text.
#include "confclient/notices/InviteNotices.h"

#include <algorithm>

#include "confclient/session/texttable/TextTable.h"

NoticePoint InviteNoticeOrigin(const NoticeRect& workArea, int nSlot)
{
    return {workArea.right - kInviteNoticeWidth, workArea.bottom - kInviteNoticeHeight * (nSlot + 1)};
}

std::optional<int> CInviteNoticeList::Add(uint16_t wInviter, uint16_t wRoomIndex)
{
    if (Has(wInviter, wRoomIndex)) return std::nullopt;
    int nSlot = 0;
    while (std::any_of(m_entries.begin(), m_entries.end(),
                       [nSlot](const S_INVITENOTICE_LIST& e) { return e.nSlot == nSlot; }))
        ++nSlot;
    m_entries.push_back({wInviter, wRoomIndex, nSlot});
    return nSlot;
}

void CInviteNoticeList::Remove(uint16_t wInviter, uint16_t wRoomIndex)
{
    std::erase_if(m_entries, [&](const S_INVITENOTICE_LIST& e)
                  { return e.wInviter == wInviter && e.wRoomIndex == wRoomIndex; });
}

bool CInviteNoticeList::Has(uint16_t wInviter, uint16_t wRoomIndex) const
{
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const S_INVITENOTICE_LIST& e)
                       { return e.wInviter == wInviter && e.wRoomIndex == wRoomIndex; });
}

std::u16string InviteNoticeText(const std::u16string& szInviteTemplate,
                                const std::u16string& szAnyoneTemplate,
                                const std::optional<std::u16string>& inviter, const std::u16string& szRoom,
                                ILogSink* pLog)
{
    const std::u16string szBreak = u"\n\n";
    if (inviter) return Formatted(pLog, szInviteTemplate, *inviter, szRoom, szBreak);
    return Formatted(pLog, szAnyoneTemplate, szRoom, szBreak);
}
