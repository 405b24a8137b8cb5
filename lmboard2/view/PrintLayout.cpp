// The printed page's caption band and scaled image.
#include "lmboard2/view/PrintLayout.h"

#include <algorithm>
#include <cstdint>

PrintedPageLayout LayoutPrintedPage(int nPageWidth, int nPageHeight, int nPrintWidth, int nPrintHeight,
                                    int nCaptionHeight)
{
    PrintedPageLayout l;
    nCaptionHeight = std::max(nCaptionHeight, 0);
    const int nImageArea = nPrintHeight - nCaptionHeight;
    if (nPageWidth <= 0 || nPageHeight <= 0 || nPrintWidth <= 0 || nImageArea <= 0) return l;
    l.captionRight = nPrintWidth;
    l.captionBottom = nCaptionHeight;
    // The larger scale that keeps both sides inside, in 64-bit so large printers cannot wrap.
    if (int64_t(nPrintWidth) * nPageHeight <= int64_t(nImageArea) * nPageWidth)
    {
        l.imageWidth = nPrintWidth;
        l.imageHeight = static_cast<int>(int64_t(nPageHeight) * nPrintWidth / nPageWidth);
    }
    else
    {
        l.imageHeight = nImageArea;
        l.imageWidth = static_cast<int>(int64_t(nPageWidth) * nImageArea / nPageHeight);
    }
    l.imageLeft = (nPrintWidth - l.imageWidth) / 2;
    l.imageTop = nCaptionHeight;
    return l;
}
