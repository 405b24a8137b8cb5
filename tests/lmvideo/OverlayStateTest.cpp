// The renderers' overlay settings: the level is clamped, only four corners, a font needs a face
// and sizes.
#include "lmvideo/renderer/OverlayState.h"

#include <gtest/gtest.h>

TEST(LMRendererOverlay, LevelsPositionsAndFonts)
{
    COverlayState state;
    struct
    {
        int16_t nIn, nOut;
    } levels[] = {{-32768, 0}, {-1, 0}, {0, 0}, {57, 57}, {100, 100}, {101, 100}, {32767, 100}};
    for (auto row : levels)
    {
        state.SetPeakLevel(row.nIn);
        EXPECT_EQ(state.Get().nPeakLevel, row.nOut) << row.nIn;
    }

    struct
    {
        int16_t nPosition;
        bool bTaken;
    } positions[] = {{0, true}, {3, true}, {4, false}, {-1, false}, {2, true}};
    for (auto row : positions)
        EXPECT_EQ(state.SetPosition(row.nPosition), row.bTaken) << row.nPosition;
    EXPECT_EQ(state.Get().nPosition, 2); // refusals left the last good corner

    EXPECT_FALSE(state.SetFont(nullptr, 9, 12));
    EXPECT_FALSE(state.SetFont(L"", 9, 12));
    EXPECT_FALSE(state.SetFont(L"Arial", 0, 12));
    EXPECT_FALSE(state.SetFont(L"Arial", 9, -1));
    EXPECT_EQ(state.Get().face, L"Tahoma");
    EXPECT_TRUE(state.SetFont(L"Arial", 10, 16));
    EXPECT_EQ(state.Get().face, L"Arial");
    EXPECT_EQ(state.Get().nBigSize, 16);

    EXPECT_TRUE(state.SetName(nullptr));
    EXPECT_EQ(state.Get().name, L"");
}
