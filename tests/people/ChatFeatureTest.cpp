// Inbound chat lines reach the chat view with the sender's room name.
#include <gtest/gtest.h>

#include <vector>

#include "confclient/people/ChatFeature.h"

namespace
{
struct ChatLine
{
    std::u16string szSender;
    std::u16string szText;
    uint32_t dwColour;
};

struct RecordedChat : IChatView
{
    std::vector<ChatLine> lines;
    void OnChatReceived(const std::u16string& szSender, const std::u16string& szText,
                        uint32_t dwColour) override
    {
        lines.push_back({szSender, szText, dwColour});
    }
};
} // namespace

TEST(ChatFeature, LinesCarryTheSendersRoomName)
{
    CRoomState room;
    S_ROOMUSERINFO bob;
    bob.channel = 4;
    bob.userIndex = 40;
    bob.Name = u"Bob\r\n[forged]";
    room.users.AddUser(bob);

    struct
    {
        const char* pszCase;
        uint16_t wSender;
        const char16_t* pszSender;
    } cases[] = {
        {"sender in the room, one line", 40, u"Bob  [forged]"},
        {"sender who left", 9, u" "},
    };
    for (const auto& c : cases)
    {
        RecordedChat view;
        CChatFeature chat(room, view);
        QNChat line;
        line.wSenderUserIndex = c.wSender;
        line.dwColour = 0x00FF00;
        line.szText = u"hel\nlo";
        chat.OnChat(line);
        ASSERT_EQ(1u, view.lines.size()) << c.pszCase;
        EXPECT_EQ(c.pszSender, view.lines[0].szSender) << c.pszCase;
        EXPECT_EQ(u"hel lo", view.lines[0].szText) << c.pszCase;
        EXPECT_EQ(0x00FF00u, view.lines[0].dwColour) << c.pszCase;
    }
}
