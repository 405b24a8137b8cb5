// The invitation notices the session shows: one per (inviter, room), each stacked above the
// last in the bottom-right corner of the work area, and the text each one reads.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/LogSink.h"

constexpr int kInviteNoticeWidth = 230;
constexpr int kInviteNoticeHeight = 170;

struct NoticeRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct NoticePoint
{
    int x = 0;
    int y = 0;
};

// The top-left corner of the notice in stack slot nSlot (0: the lowest) in screen coordinates:
// at the work area's right and bottom edges whichever screen edge the taskbar takes.
NoticePoint InviteNoticeOrigin(const NoticeRect& workArea, int nSlot);

// An entry of the session's list of open invitation notices.
struct S_INVITENOTICE_LIST
{
    uint16_t wInviter = 0xFFFF;
    uint16_t wRoomIndex = 0;
    int nSlot = 0; // its place in the stack
};

class CInviteNoticeList
{
public:
    // Takes a notice for (inviter, room) and gives its stack slot, the lowest one free; none when
    // that pair already has a notice open.
    std::optional<int> Add(uint16_t wInviter, uint16_t wRoomIndex);
    // The notice of that pair closed; nothing when it is not listed.
    void Remove(uint16_t wInviter, uint16_t wRoomIndex);
    bool Has(uint16_t wInviter, uint16_t wRoomIndex) const;
    size_t Count() const { return m_entries.size(); }

private:
    std::vector<S_INVITENOTICE_LIST> m_entries;
};

// The notice's text: IDS_MSG_INVITENOTICE filled with (inviter, room, blank line) when the inviter
// is a known lobby user, else IDS_MSG_ANYONE_INVITENOTICE filled with (room, blank line).
std::u16string InviteNoticeText(const std::u16string& szInviteTemplate,
                                const std::u16string& szAnyoneTemplate,
                                const std::optional<std::u16string>& inviter, const std::u16string& szRoom,
                                ILogSink* pLog);
