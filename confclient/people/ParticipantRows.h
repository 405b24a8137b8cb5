// The participant list's rows: the chief on row 0, the presenter on row 1, the others in sort
// order; each row's board and voice icons, display text, tooltip, channel key and join value.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "confclient/session/roomstate/RoomUserInfo.h"

// Names of the bitmaps the list draws in its icon cells.
extern const char16_t kIconBlank[];
extern const char16_t kIconVoiceOn[];
extern const char16_t kIconVoiceOff[];
extern const char16_t kIconVoiceSpeak[];
extern const char16_t kIconVoiceErr[];
extern const char16_t kIconVoiceDis[];
extern const char16_t kIconBoardTrue[];
extern const char16_t kIconBoardFalse[];

struct SUserRow
{
    std::u16string szBoard;    // column 1
    std::u16string szVoice;    // column 2
    std::u16string szName;     // column 4: the find and name-sort key
    std::u16string szPosition; // column 5: the name with its position word
    std::u16string szTip;      // column 5's tooltip
    uint16_t wChannel = 65535; // column 6: the row key
    uint16_t wJoin = 0;        // column 7: the join-order sort key
    uint16_t wUser = 65535;    // the user's index: the row stays the user's when channels move
    bool operator==(const SUserRow&) const = default;
};

enum UserSortMode : int
{
    USERSORT_JOIN = 0,
    USERSORT_NAME_UP = 1,
    USERSORT_NAME_DOWN = 2,
};

// The room as the rows read it.
class IUserRowRoom
{
public:
    virtual ~IUserRowRoom() = default;
    // The user's record; null when the user is not in the room.
    virtual S_ROOMUSERINFO* FindUser(uint16_t wChannel) = 0;
    // The chief, or a grade that the room's right mode lets control the room.
    virtual bool HasControlRight(uint16_t wChannel) const = 0;
    // 65535 while nobody presents.
    virtual uint16_t PresenterUserIndex() const = 0;
    // The name, or the name with the administrator word for the grades the right mode names.
    virtual std::u16string PositionText(const std::u16string& szName, uint16_t wLevel) const = 0;
    // "IDMS_POSITION_PRESIDER", "IDMS_POSITION_SPEAKER".
    virtual std::u16string Text(const char* pszKey) const = 0;
};

// The list window as the rows see it.
class IUserRowView
{
public:
    virtual ~IUserRowView() = default;
    // Shows the rows as they now are, cells and tooltips alike.
    virtual void ShowRows(const std::vector<SUserRow>& rows) = 0;
};

// Row order of a sort: true when a goes before b. Names compare without regard to case.
bool UserRowLess(const SUserRow& a, const SUserRow& b, int nMode);

class CParticipantRows
{
public:
    CParticipantRows(IUserRowRoom& room, IUserRowView& view) : m_room(room), m_view(view) {}

    void InsertUser(uint16_t wChannel, uint16_t wJoin);
    // Deletes every row of the channel.
    void RemoveUser(uint16_t wChannel);
    // Low 16 bits channel, bit 16 voice error, bit 17 voice off.
    void UpdateUserRow(uint32_t dwStatus);
    void UpdateUserIcons(uint16_t wChannel, uint32_t dwTalk, uint32_t dwDraw, uint32_t dwDs, uint32_t dwShare,
                         uint32_t dwMediaShare);
    void SetVoiceIcon(uint16_t wChannel, bool bSpeaking);
    // A room-wide right (bVoice: talk, else draw) on every row but the control holders' and
    // the presenter's.
    void SetBoardIcon(bool bVoice, uint32_t dwValue);
    void ChangeUserIndex(uint16_t wOld, uint16_t wNew);
    void SwapUserIndices(uint16_t wA, uint16_t wB);
    // Places the presenter's row on row 1 (65535: clears it) and sorts again.
    void AddOrUpdateUser(uint16_t wPresenterChannel);
    // The new chief's row to row 0, the old one's back among the others.
    void RebuildList(uint16_t wOldChief, uint16_t wNewChief);
    // Sorts all rows but row 0 and, while a presenter is set, row 1.
    void SortList(int nMode);
    // Brings the rows in step with the room's members, given by channel in the order the room
    // learned of them: rows of users who left go, rows follow their users to new channels, users
    // without a row get one with the next join value, icons and texts are written anew (a
    // speaking mark stays while its user may talk), the chief (wChief) takes row 0 and the
    // presenter (wPresenter, 65535: none) row 1, and the others are sorted. The view hears only
    // of a change.
    void Sync(const std::vector<uint16_t>& members, uint16_t wChief, uint16_t wPresenter);
    int SortMode() const { return m_nSort; }

    // The next row at or after the one after nMark (wrapping) whose name holds the text,
    // without regard to case; -1 for none or an empty text.
    int Find(const std::u16string& szText, int nMark) const;
    // The first row of the channel, or 65535.
    int RowOf(uint16_t wChannel) const;

    std::u16string VoiceIconName(uint16_t wChannel);
    const std::vector<SUserRow>& Rows() const { return m_rows; }

private:
    std::u16string BoardIconName(uint16_t wChannel);
    std::u16string Tip(const S_ROOMUSERINFO& user) const;
    SUserRow MakeRow(const S_ROOMUSERINFO& user, uint16_t wJoin);
    // Swaps the row of the channel (searched from nTarget) into nTarget; false without one.
    bool MoveTo(uint16_t wChannel, size_t nTarget);
    void Show() { m_view.ShowRows(m_rows); }
    void SortRows();

    IUserRowRoom& m_room;
    IUserRowView& m_view;
    std::vector<SUserRow> m_rows;
    int m_nSort = USERSORT_JOIN;
    // The join values Sync gave, by user index.
    std::map<uint16_t, uint16_t> m_joins;
    uint16_t m_wNextJoin = 0;
};

// The first channel at or above nStart that no user holds (65535 when none is).
uint16_t FirstFreeChannel(const CRoomUserInfo& users, uint16_t nStart);

// "%s (%d/%d)", or "(%d/%d)" alone when docked and the full text (measured, plus 4) is wider
// than the room left of the buttons.
std::u16string UserListTitle(const std::u16string& szLabel, int nUsers, int nMax, bool bDocked,
                             const std::function<int(const std::u16string&)>& measure, int nAvailable);

// The grade that a level word gives: its low byte modulo 10.
inline int UserGrade(uint16_t wLevel)
{
    return (wLevel & 0xFF) % 10;
}
// Whether a grade holds the administrator position (and the control right) in a right mode.
bool GradeIsAdmin(int nGrade, int nRightMode);
