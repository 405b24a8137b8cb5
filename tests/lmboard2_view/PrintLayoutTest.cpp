// The printed page's layout: the caption band and the image scaled into the rest.
#include <gtest/gtest.h>

#include "lmboard2/view/PrintLayout.h"

namespace
{
TEST(PrintLayout, ImageFillsTheRestKeepingItsShape)
{
    struct Row
    {
        int pw, ph, w, h, cap;
        int left, top, width, height;
    };
    const Row rows[] = {
        {1600, 1200, 4800, 6600, 200, 0, 200, 4800, 3600},    // wide page on portrait paper: full width
        {1200, 1600, 6600, 4800, 200, 1575, 200, 3450, 4600}, // tall page on landscape paper: full height
        {100, 100, 1000, 1100, 100, 0, 100, 1000, 1000},      // exactly fits both ways
        {3, 1, 1000, 100000, 0, 0, 0, 1000, 333},
    };
    for (const Row& r : rows)
    {
        PrintedPageLayout l = LayoutPrintedPage(r.pw, r.ph, r.w, r.h, r.cap);
        EXPECT_EQ(l.imageLeft, r.left) << r.pw << "x" << r.ph;
        EXPECT_EQ(l.imageTop, r.top) << r.pw << "x" << r.ph;
        EXPECT_EQ(l.imageWidth, r.width) << r.pw << "x" << r.ph;
        EXPECT_EQ(l.imageHeight, r.height) << r.pw << "x" << r.ph;
        EXPECT_EQ(l.captionBottom, r.cap);
        EXPECT_LE(l.imageTop + l.imageHeight, r.h);
    }
    // Nothing to place.
    for (PrintedPageLayout l :
         {LayoutPrintedPage(0, 10, 100, 100, 10), LayoutPrintedPage(10, 10, 100, 100, 100),
          LayoutPrintedPage(10, 10, 0, 100, 0)})
        EXPECT_EQ(l.imageWidth, 0);
}
} // namespace
