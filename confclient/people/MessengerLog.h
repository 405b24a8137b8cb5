// The messenger window's history as text: the line each kind makes and its colour, the answer
// links (Yes and No of the last file offer, Cancel of the running transfer, Yes and No of the
// last invitation), and the 1000-line trim that keeps the links in step.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/people/ChatLog.h"

// Kinds of messenger lines; each has its own look and, from the local user, its own action.
enum MessengerLineKind : int
{
    MSGKIND_NOTICE = 0,           // a notice (end of a transfer, a refusal)
    MSGKIND_UNREACHABLE = 1,      // the peer cannot be reached: the text names the peer
    MSGKIND_STATUS = 2,           // the window's own notice (an invitation sent)
    MSGKIND_OPEN = 3,             // only opens the window
    MSGKIND_TEXT = 5,             // a chat line: colour digits and text
    MSGKIND_FILE_OFFER = 7,       // an incoming file offer, with Yes and No
    MSGKIND_FILE_ANSWER = 8,      // the offer accepted
    MSGKIND_FILE_CANCEL = 9,      // refused or cancelled
    MSGKIND_OFFER_SENT = 10,      // the own offer, with Cancel
    MSGKIND_OFFER_TAKEN = 11,     // the own acceptance: the offer's links go, Cancel comes
    MSGKIND_INVITATION = 12,      // an incoming invitation, with Yes and No
    MSGKIND_INVITE_ACCEPTED = 13, // the invitation answered yes (or why it cannot be)
    MSGKIND_INVITE_REFUSED = 14,  // the invitation answered no
    MSGKIND_TRANSFER = 15,        // a transfer running, with Cancel
    MSGKIND_COMMAND = 16,         // the output of a local slash command
};

constexpr uint32_t kMessengerGrey = 0x007F7F7F; // RGB(127,127,127)
constexpr uint32_t kMessengerRed = 0x000000FF;  // RGB(255,0,0)

// A message as it travels: six lower-case hexadecimal digits rrggbb of the sender's colour, then
// the text.
struct SMessengerText
{
    uint32_t dwColour = 0; // a COLORREF: 0x00bbggrr
    std::u16string szText;
};
// A text shorter than six characters, or whose first six are not all hexadecimal digits, has no
// colour: colour 0 and the whole text.
SMessengerText ParseMessengerText(const std::u16string& szWire);
// The colour's digits in front of the text.
std::u16string FormatMessengerText(uint32_t dwColour, const std::u16string& szText);

// The three link words: texts of IDS_MSG_YES, IDS_MSG_NO, IDS_MSG_CANCEL.
struct SMessengerWords
{
    std::u16string szYes, szNo, szCancel;
};

class CMessengerLog
{
public:
    enum Link
    {
        LINK_NONE,
        LINK_OFFER_YES,
        LINK_OFFER_NO,
        LINK_CANCEL,
        LINK_INVITE_YES,
        LINK_INVITE_NO,
        LINK_COUNT,
    };

    CMessengerLog(IChatLogView& view, SMessengerWords words) : m_view(view), m_words(std::move(words)) {}

    // One line of the kind. szName: the sender's name of a chat line, the peer's of kind 1;
    // szExtra fills an invitation's text. bUnlinkInvite: kinds 13 and 14 take the invitation's
    // links off. Answers the line's colour.
    uint32_t Add(int nKind, const std::u16string& szText, const std::u16string& szName,
                 const std::u16string& szExtra, bool bUnlinkInvite);

    // Which remembered link starts at or holds the position.
    Link LinkAt(uint32_t nPos) const;
    SChatRange Range(Link link) const { return m_links[link]; }
    // Takes a link's effect off (a transfer that ended).
    void Unlink(Link link);
    // Deletes the history from nFrom to its end (a status line written again); links in it go.
    void Truncate(uint32_t nFrom);

    const std::u16string& Text() const { return m_text; }
    size_t LineCount() const { return ChatLineCount(m_text); }

private:
    void Delete(SChatRange gone);
    void LinkWord(Link link, SChatRange line, const std::u16string& szWord);

    IChatLogView& m_view;
    SMessengerWords m_words;
    std::u16string m_text;
    SChatRange m_links[LINK_COUNT];
};
