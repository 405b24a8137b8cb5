// Where a printed board page goes on the paper: its caption in a band at the top, the page image
// below it, scaled to the rest of the printable area with its proportions kept and centred.
#pragma once

struct PrintedPageLayout
{
    int captionLeft = 0, captionTop = 0, captionRight = 0, captionBottom = 0;
    int imageLeft = 0, imageTop = 0, imageWidth = 0, imageHeight = 0;
};

// Nothing fits (zero sizes) when the page or the printable area is empty or the caption band
// takes it all.
PrintedPageLayout LayoutPrintedPage(int nPageWidth, int nPageHeight, int nPrintWidth, int nPrintHeight,
                                    int nCaptionHeight);
