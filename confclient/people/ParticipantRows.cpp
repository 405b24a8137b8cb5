// The participant list's rows.
#include "confclient/people/ParticipantRows.h"

#include <algorithm>
#include <string>

const char16_t kIconBlank[] = u"Blank_";
const char16_t kIconVoiceOn[] = u"Voice_ON_";
const char16_t kIconVoiceOff[] = u"Voice_OFF_";
const char16_t kIconVoiceSpeak[] = u"Voice_SPEAK_";
const char16_t kIconVoiceErr[] = u"Voice_ERR_";
const char16_t kIconVoiceDis[] = u"Voice_DIS_";
const char16_t kIconBoardTrue[] = u"Board_true_";
const char16_t kIconBoardFalse[] = u"Board_false_";

namespace
{
char16_t LowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string Lowered(std::u16string s)
{
    for (char16_t& c : s)
        c = LowerAscii(c);
    return s;
}

int CompareNoCase(const std::u16string& a, const std::u16string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        char16_t ca = LowerAscii(a[i]), cb = LowerAscii(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::u16string WithWord(const std::u16string& szName, const std::u16string& szWord)
{
    return szName + u" (" + szWord + u")";
}

std::u16string Decimal16(int n)
{
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}
} // namespace

bool GradeIsAdmin(int nGrade, int nRightMode)
{
    return ((nRightMode == 1 || nRightMode == 3) && (nGrade == 0 || nGrade == 1)) ||
           ((nRightMode == 2 || nRightMode == 3) && nGrade == 4);
}

bool UserRowLess(const SUserRow& a, const SUserRow& b, int nMode)
{
    switch (nMode)
    {
    case USERSORT_NAME_UP:
        return CompareNoCase(a.szName, b.szName) < 0;
    case USERSORT_NAME_DOWN:
        return CompareNoCase(b.szName, a.szName) < 0;
    default:
        return a.wJoin < b.wJoin;
    }
}

std::u16string CParticipantRows::VoiceIconName(uint16_t wChannel)
{
    const S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel);
    if (!pUser) return std::u16string();
    if (pUser->avFlag2) return kIconVoiceErr;
    const std::u16string szOnOff = pUser->avFlag1 ? kIconVoiceOff : kIconVoiceOn;
    if (pUser->talkRight || m_room.HasControlRight(wChannel)) return szOnOff;
    if (pUser->userIndex != m_room.PresenterUserIndex()) return kIconVoiceDis;
    return szOnOff;
}

std::u16string CParticipantRows::BoardIconName(uint16_t wChannel)
{
    const S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel);
    bool bDraw = m_room.HasControlRight(wChannel) || (pUser && pUser->drawRight);
    return bDraw ? kIconBoardTrue : kIconBoardFalse;
}

std::u16string CParticipantRows::Tip(const S_ROOMUSERINFO& user) const
{
    return user.ID.empty() ? user.Name : user.Name + u"(" + user.ID + u")";
}

SUserRow CParticipantRows::MakeRow(const S_ROOMUSERINFO& user, uint16_t wJoin)
{
    SUserRow row;
    row.szVoice = VoiceIconName(user.channel);
    row.szBoard = BoardIconName(user.channel);
    row.szName = user.Name;
    row.szPosition = m_room.PositionText(user.Name, user.level);
    row.szTip = Tip(user);
    row.wChannel = user.channel;
    row.wJoin = wJoin;
    row.wUser = user.userIndex;
    return row;
}

int CParticipantRows::RowOf(uint16_t wChannel) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].wChannel == wChannel) return static_cast<int>(i);
    return 65535;
}

void CParticipantRows::InsertUser(uint16_t wChannel, uint16_t wJoin)
{
    const S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel);
    if (!pUser) return;
    m_rows.push_back(MakeRow(*pUser, wJoin));
    Show();
}

void CParticipantRows::RemoveUser(uint16_t wChannel)
{
    size_t nBefore = m_rows.size();
    std::erase_if(m_rows, [wChannel](const SUserRow& row) { return row.wChannel == wChannel; });
    if (m_rows.size() != nBefore) Show();
}

void CParticipantRows::UpdateUserRow(uint32_t dwStatus)
{
    uint16_t wChannel = static_cast<uint16_t>(dwStatus & 0xFFFF);
    S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel);
    int nRow = RowOf(wChannel);
    if (!pUser || nRow == 65535) return;
    pUser->avFlag2 = (dwStatus >> 16) & 1;
    pUser->avFlag1 = (dwStatus >> 17) & 1;
    m_rows[nRow].szVoice = VoiceIconName(wChannel);
    Show();
}

void CParticipantRows::UpdateUserIcons(uint16_t wChannel, uint32_t dwTalk, uint32_t dwDraw, uint32_t dwDs,
                                       uint32_t dwShare, uint32_t dwMediaShare)
{
    S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel);
    int nRow = RowOf(wChannel);
    if (!pUser || nRow == 65535) return;
    pUser->talkRight = dwTalk;
    pUser->drawRight = dwDraw;
    pUser->dsRight = dwDs;
    pUser->shareRight = dwShare;
    pUser->mediaShareRight = dwMediaShare;
    SUserRow& row = m_rows[nRow];
    if (m_room.HasControlRight(wChannel))
    {
        row.szVoice = VoiceIconName(wChannel);
        row.szBoard = kIconBoardTrue;
    }
    else
    {
        row.szVoice = dwTalk ? VoiceIconName(wChannel) : kIconVoiceDis;
        row.szBoard = dwDraw ? kIconBoardTrue : kIconBoardFalse;
    }
    Show();
}

void CParticipantRows::SetVoiceIcon(uint16_t wChannel, bool bSpeaking)
{
    if (wChannel == 65535) return;
    int nRow = RowOf(wChannel);
    if (nRow == 65535) return;
    std::u16string& szVoice = m_rows[nRow].szVoice;
    if (szVoice == kIconVoiceDis || szVoice == kIconVoiceErr || szVoice == kIconVoiceOff) return;
    if (bSpeaking && szVoice != kIconVoiceSpeak)
        szVoice = kIconVoiceSpeak;
    else if (!bSpeaking && szVoice == kIconVoiceSpeak)
        szVoice = VoiceIconName(wChannel);
    else
        return;
    Show();
}

void CParticipantRows::SetBoardIcon(bool bVoice, uint32_t dwValue)
{
    for (SUserRow& row : m_rows)
    {
        S_ROOMUSERINFO* pUser = m_room.FindUser(row.wChannel);
        if (!pUser || m_room.HasControlRight(row.wChannel) || pUser->userIndex == m_room.PresenterUserIndex())
            continue;
        if (bVoice)
        {
            pUser->talkRight = dwValue;
            row.szVoice = VoiceIconName(row.wChannel);
        }
        else
        {
            pUser->drawRight = dwValue;
            row.szBoard = dwValue ? kIconBoardTrue : kIconBoardFalse;
        }
    }
    Show();
}

void CParticipantRows::ChangeUserIndex(uint16_t wOld, uint16_t wNew)
{
    int nRow = RowOf(wOld);
    if (nRow == 65535) return;
    m_rows[nRow].wChannel = wNew;
    Show();
}

void CParticipantRows::SwapUserIndices(uint16_t wA, uint16_t wB)
{
    int nA = RowOf(wA), nB = RowOf(wB);
    if (nA != 65535) m_rows[nA].wChannel = wB;
    if (nB != 65535) m_rows[nB].wChannel = wA;
    if (nA != 65535 || nB != 65535) Show();
}

bool CParticipantRows::MoveTo(uint16_t wChannel, size_t nTarget)
{
    for (size_t i = nTarget; i < m_rows.size(); ++i)
        if (m_rows[i].wChannel == wChannel)
        {
            std::swap(m_rows[nTarget], m_rows[i]);
            return true;
        }
    return false;
}

void CParticipantRows::AddOrUpdateUser(uint16_t wPresenter)
{
    if (m_rows.size() < 2)
    {
        Show();
        return;
    }
    SUserRow& row1 = m_rows[1];
    if (wPresenter == 65535)
        row1.szPosition = row1.szName;
    else if (wPresenter == row1.wChannel)
    {
        row1.szPosition = WithWord(row1.szName, m_room.Text("IDMS_POSITION_SPEAKER"));
        Show();
        return;
    }
    else
    {
        uint16_t wDisplaced = row1.wChannel;
        if (MoveTo(wPresenter, 1))
        {
            SUserRow& presenter = m_rows[1];
            presenter.szBoard = kIconBoardTrue;
            presenter.szVoice = VoiceIconName(wPresenter);
            presenter.szPosition = WithWord(presenter.szName, m_room.Text("IDMS_POSITION_SPEAKER"));
            int nOld = RowOf(wDisplaced);
            if (nOld != 65535)
            {
                SUserRow& old = m_rows[nOld];
                old.szVoice = VoiceIconName(wDisplaced);
                old.szBoard = BoardIconName(wDisplaced);
                old.szPosition = old.szName;
            }
        }
    }
    SortList(m_nSort);
}

void CParticipantRows::RebuildList(uint16_t wOldChief, uint16_t wNewChief)
{
    int nOld = RowOf(wOldChief);
    if (nOld != 65535)
    {
        SUserRow& old = m_rows[nOld];
        old.szVoice = VoiceIconName(wOldChief);
        old.szBoard = BoardIconName(wOldChief);
        old.szPosition = old.szName;
    }
    int nNew = RowOf(wNewChief);
    if (nNew == 65535)
    {
        Show();
        return;
    }
    uint16_t wDisplaced = m_rows[0].wChannel;
    MoveTo(wNewChief, 0);
    SUserRow& chief = m_rows[0];
    chief.szVoice = VoiceIconName(wNewChief);
    chief.szBoard = kIconBoardTrue;
    chief.szPosition = WithWord(chief.szName, m_room.Text("IDMS_POSITION_PRESIDER"));
    if (wDisplaced != wNewChief)
    {
        int nRow = RowOf(wDisplaced);
        const S_ROOMUSERINFO* pUser = m_room.FindUser(wDisplaced);
        if (nRow != 65535 && pUser) m_rows[nRow].szPosition = m_room.PositionText(pUser->Name, pUser->level);
    }
    // The displaced row goes back to its place among the others.
    SortList(m_nSort);
}

void CParticipantRows::SortList(int nMode)
{
    m_nSort = nMode;
    SortRows();
    Show();
}

void CParticipantRows::SortRows()
{
    const int nMode = m_nSort;
    size_t nPinned = m_room.PresenterUserIndex() < 65535 ? 2 : 1;
    if (m_rows.size() > nPinned)
        std::stable_sort(m_rows.begin() + static_cast<std::ptrdiff_t>(nPinned), m_rows.end(),
                         [nMode](const SUserRow& a, const SUserRow& b) { return UserRowLess(a, b, nMode); });
}

void CParticipantRows::Sync(const std::vector<uint16_t>& members, uint16_t wChief, uint16_t wPresenter)
{
    const std::vector<SUserRow> before = m_rows;
    std::map<uint16_t, uint16_t> channelOf; // user index -> channel
    for (uint16_t wChannel : members)
        if (const S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel))
            channelOf.emplace(pUser->userIndex, wChannel);

    std::erase_if(m_rows, [&](const SUserRow& row) { return !channelOf.contains(row.wUser); });
    std::erase_if(m_joins, [&](const auto& join) { return !channelOf.contains(join.first); });
    for (SUserRow& row : m_rows)
        row.wChannel = channelOf[row.wUser];
    for (uint16_t wChannel : members)
    {
        const S_ROOMUSERINFO* pUser = m_room.FindUser(wChannel);
        if (!pUser || m_joins.contains(pUser->userIndex)) continue;
        const uint16_t wUser = pUser->userIndex;
        m_joins[wUser] = m_wNextJoin++;
        if (std::none_of(m_rows.begin(), m_rows.end(),
                         [wUser](const SUserRow& r) { return r.wUser == wUser; }))
            m_rows.push_back(MakeRow(*pUser, m_joins[wUser]));
    }

    for (SUserRow& row : m_rows)
    {
        const S_ROOMUSERINFO* pUser = m_room.FindUser(row.wChannel);
        if (!pUser) continue;
        const bool bSpeaking = row.szVoice == kIconVoiceSpeak;
        row.szVoice = VoiceIconName(row.wChannel);
        if (bSpeaking && row.szVoice == kIconVoiceOn) row.szVoice = kIconVoiceSpeak;
        row.szName = pUser->Name;
        row.szTip = Tip(*pUser);
        if (row.wChannel == wChief)
        {
            row.szBoard = kIconBoardTrue;
            row.szPosition = WithWord(row.szName, m_room.Text("IDMS_POSITION_PRESIDER"));
        }
        else if (row.wChannel == wPresenter)
        {
            row.szBoard = kIconBoardTrue;
            row.szPosition = WithWord(row.szName, m_room.Text("IDMS_POSITION_SPEAKER"));
        }
        else
        {
            row.szBoard = BoardIconName(row.wChannel);
            row.szPosition = m_room.PositionText(pUser->Name, pUser->level);
        }
    }
    if (wChief != 65535) MoveTo(wChief, 0);
    if (wPresenter != 65535 && wPresenter != wChief && !m_rows.empty()) MoveTo(wPresenter, 1);
    SortRows();
    if (m_rows != before) Show();
}

int CParticipantRows::Find(const std::u16string& szText, int nMark) const
{
    if (szText.empty() || m_rows.empty()) return -1;
    const std::u16string szWanted = Lowered(szText);
    int nCount = static_cast<int>(m_rows.size());
    int nStart = nMark < 0 || nMark + 1 >= nCount ? 0 : nMark + 1;
    for (int i = 0; i < nCount; ++i)
    {
        int nRow = (nStart + i) % nCount;
        if (Lowered(m_rows[nRow].szName).find(szWanted) != std::u16string::npos) return nRow;
    }
    return -1;
}

uint16_t FirstFreeChannel(const CRoomUserInfo& users, uint16_t nStart)
{
    uint16_t wChannel = nStart;
    while (wChannel < 65535 && users.HasChannel(wChannel) == 1)
        ++wChannel;
    return wChannel;
}

std::u16string UserListTitle(const std::u16string& szLabel, int nUsers, int nMax, bool bDocked,
                             const std::function<int(const std::u16string&)>& measure, int nAvailable)
{
    std::u16string szCount = u"(" + Decimal16(nUsers) + u"/" + Decimal16(nMax) + u")";
    std::u16string szFull = szLabel + u" " + szCount;
    if (bDocked && measure && measure(szFull) + 4 > nAvailable) return szCount;
    return szFull;
}
