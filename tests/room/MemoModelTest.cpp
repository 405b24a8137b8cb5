// The memo pad's change flag and its save question.
#include "confclient/room/MemoModel.h"

#include <gtest/gtest.h>

TEST(MemoModel, MovingLockAndFunctionKeysAreNoChange)
{
    for (unsigned nKey : {0x1Bu, 0x10u, 0x11u, 0x21u, 0x22u, 0x23u, 0x24u, 0x25u, 0x26u, 0x27u, 0x28u, 0x2Du,
                          0x90u, 0x91u, 0x70u, 0x79u})
        EXPECT_FALSE(MemoKeyModifies(nKey)) << nKey;
    // Letters, Tab, Delete, Backspace, Enter and F11 change the memo.
    for (unsigned nKey : {0x41u, 0x09u, 0x2Eu, 0x08u, 0x0Du, 0x7Au})
        EXPECT_TRUE(MemoKeyModifies(nKey)) << nKey;
}

TEST(MemoModel, TheSaveQuestionGoesOnOnlyAfterASaveOrADiscard)
{
    struct Case
    {
        const char* pszName;
        bool bTyped;
        int nAnswer;
        bool bSaveWorks;
        bool bGoesOn;
        bool bStillModified;
        int nAsked;
        int nSaved;
    } cases[] = {
        {"unchanged: no question", false, MEMO_CANCEL, true, true, false, 0, 0},
        {"saved", true, MEMO_SAVE, true, true, false, 1, 1},
        {"save failed or cancelled", true, MEMO_SAVE, false, false, true, 1, 1},
        {"discarded", true, MEMO_DISCARD, true, true, false, 1, 0},
        {"cancelled", true, MEMO_CANCEL, true, false, true, 1, 0},
        {"box closed under it", true, 0, true, false, true, 1, 0},
    };
    for (const Case& c : cases)
    {
        CMemoModel memo;
        if (c.bTyped) memo.OnKey(0x41);
        int nAsked = 0, nSaved = 0;
        bool bGoesOn =
            memo.ConfirmSave([&] { return ++nAsked, c.nAnswer; }, [&] { return ++nSaved, c.bSaveWorks; });
        EXPECT_EQ(c.bGoesOn, bGoesOn) << c.pszName;
        EXPECT_EQ(c.bStillModified, memo.IsModified()) << c.pszName;
        EXPECT_EQ(c.nAsked, nAsked) << c.pszName;
        EXPECT_EQ(c.nSaved, nSaved) << c.pszName;
    }
}
