// Zoom values and scales of the board view.
#include "lmboard2/view/BoardZoom.h"

#include <algorithm>
#include <cmath>

bool IsAcceptedZoom(int nZoom)
{
    return nZoom == kZoomFitWidth || nZoom == kZoomFitPage || (nZoom >= kZoomMin && nZoom <= kZoomMax);
}

double ZoomScale(int nZoom, const ZoomViewport& view)
{
    if (view.nPageWidth <= 0 || view.nPageHeight <= 0) return 1.0;
    const double dWidth = static_cast<double>(view.nWindowWidth);
    const double dHeight = static_cast<double>(view.nWindowHeight);
    if (nZoom == kZoomFitPage || view.bSlideShow)
    {
        double dScale = std::min(dWidth / view.nPageWidth, dHeight / view.nPageHeight);
        if (!view.bSlideShow) dScale = std::min(dScale, 1.0);
        return std::max(dScale, 0.0);
    }
    if (nZoom == kZoomFitWidth)
    {
        double dScale = dWidth / view.nPageWidth;
        // The page would be taller than the window: a vertical scroll bar takes its width.
        if (view.nPageHeight * dScale > dHeight) dScale = (dWidth - view.nScrollBarWidth) / view.nPageWidth;
        return std::clamp(dScale, 0.0, 1.0);
    }
    return nZoom / 100.0;
}

int RealZoom(int nZoom, double dScale, int nPageWidth)
{
    if (nZoom != kZoomFitWidth && nZoom != kZoomFitPage) return nZoom;
    if (nPageWidth <= 0) return 100;
    return Scaled(nPageWidth, dScale) * 100 / nPageWidth;
}

int Scaled(int nLength, double dScale)
{
    // A product meant to be whole (784 / 1600 of 1600) may come out a hair below it, and on
    // 32-bit x86 differently than on 64-bit: such a hair is not a pixel less.
    return static_cast<int>(std::floor(nLength * dScale + 1e-9));
}
