// The control agent's accepted codes, the 261 payload and the join text.
#include <gtest/gtest.h>

#include <vector>

#include "confclient/session/agent/AgentCommands.h"

TEST(AgentCommands, OnlyKnownCodesAct)
{
    EXPECT_EQ(AgentCommand::Show, AgentCommandOf(1));
    EXPECT_EQ(AgentCommand::Restart, AgentCommandOf(4));
    EXPECT_EQ(AgentCommand::JoinRoom, AgentCommandOf(5));
    for (uintptr_t w : {uintptr_t(0), uintptr_t(6), uintptr_t(424), ~uintptr_t(0)})
        EXPECT_FALSE(AgentCommandOf(w)) << w;
}

TEST(AgentCommands, ConfEntryTextIsBoundedByThePayload)
{
    const std::vector<uint8_t> ok = {3, 0, '7', 0, '\n', 0, 'A', 0, 0xEE}; // a trailing byte is left alone
    EXPECT_EQ(u"7\nA", DecodeConfEntryText(ok.data(), ok.size()));
    const std::vector<uint8_t> empty = {0, 0};
    EXPECT_EQ(u"", DecodeConfEntryText(empty.data(), empty.size()));

    const std::vector<uint8_t> longCount = {4, 0, '7', 0, '\n', 0, 'A', 0}; // one unit short
    EXPECT_FALSE(DecodeConfEntryText(longCount.data(), longCount.size()));
    const std::vector<uint8_t> hugeCount = {0xFF, 0xFF, 'A', 0};
    EXPECT_FALSE(DecodeConfEntryText(hugeCount.data(), hugeCount.size()));
    EXPECT_FALSE(DecodeConfEntryText(ok.data(), 1));
    EXPECT_FALSE(DecodeConfEntryText(nullptr, 0));
}

TEST(AgentCommands, JoinText)
{
    struct
    {
        std::u16string text;
        bool bOk;
        uint16_t wRoom;
        std::u16string szCode;
    } cases[] = {
        {u"1\nROOM1", true, 1, u"ROOM1"}, {u"65534\nX", true, 65534, u"X"}, {u"12", true, 12, u""},
        {u"0\nX", false, 0, u""},         {u"65535\nX", false, 0, u""},     {u"99999999\nX", false, 0, u""},
        {u"-1\nX", false, 0, u""},        {u"1a\nX", false, 0, u""},        {u"\nX", false, 0, u""},
    };
    for (const auto& c : cases)
    {
        std::optional<S_AGENTJOIN> j = ParseAgentJoinText(c.text);
        ASSERT_EQ(c.bOk, j.has_value()) << std::string(c.text.begin(), c.text.end());
        if (!j) continue;
        EXPECT_EQ(c.wRoom, j->wRoomIndex);
        EXPECT_EQ(c.szCode, j->szConfCode);
    }
}
