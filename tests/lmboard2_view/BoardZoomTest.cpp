// Zoom values, scales and the real zoom reported for the fit values.
#include <gtest/gtest.h>

#include "lmboard2/view/BoardZoom.h"

TEST(BoardZoom, AcceptsPercentagesAndTheTwoFits)
{
    for (int n : {10, 100, 300, 4096, 8192})
        EXPECT_TRUE(IsAcceptedZoom(n)) << n;
    for (int n : {5, 9, 301, 310, 0, -100, 4095, 8193})
        EXPECT_FALSE(IsAcceptedZoom(n)) << n;
}

TEST(BoardZoom, ScalesAndRealZoom)
{
    struct Row
    {
        int nZoom;
        ZoomViewport view;
        double dScale;
        int nReal;
    };
    const Row rows[] = {
        {150, {800, 600}, 1.5, 150},
        // Fit width: 800 / 1600; the page at half size is 600 high and fits, no scroll bar taken off.
        {kZoomFitWidth, {800, 600, 1600, 1200, 17}, 0.5, 50},
        // Taller than the window at 800 / 1600: the scroll bar's width comes off first.
        {kZoomFitWidth, {800, 500, 1600, 1200, 16}, 784.0 / 1600, 49},
        // A fit never enlarges outside a slide show.
        {kZoomFitWidth, {3200, 2400, 1600, 1200, 17}, 1.0, 100},
        {kZoomFitPage, {800, 300, 1600, 1200, 17}, 0.25, 25},
        {kZoomFitPage, {3200, 3200, 1600, 1200, 17, true}, 2.0, 200},
        {100, {800, 600, 1600, 1200, 0, true}, 0.5, 100},
    };
    for (const Row& r : rows)
    {
        double dScale = ZoomScale(r.nZoom, r.view);
        EXPECT_DOUBLE_EQ(dScale, r.dScale) << r.nZoom << " in " << r.view.nWindowWidth;
        EXPECT_EQ(RealZoom(r.nZoom, dScale, r.view.nPageWidth), r.nReal) << r.nZoom;
    }
}
