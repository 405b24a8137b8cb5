// What any room feature may tell the user through the session: texts by key, a notice line
// in the room chat, a box that does not wait. The session implements it; tests record it.
#pragma once
#include <string>

class IRoomNotices
{
public:
    virtual ~IRoomNotices() = default;
    // The language table's text of a key; the key itself when the table has none.
    virtual std::u16string Text(const char* pszKey) const = 0;
    // A notice line in the room chat; without a chat window nothing is shown.
    virtual void AddChatNotice(const std::u16string& szText, int nKind) = 0;
    // A box the user closes when they like; the session goes on meanwhile.
    virtual void ShowBox(const std::u16string& szText) = 0;
};

// Kinds of notice lines in the room chat and the messenger windows.
enum : int
{
    NOTICE_KIND_NOTICE = 4,
    NOTICE_KIND_JOINLEAVE = 7, // another user's join or leave: the room's options may hide it
};
