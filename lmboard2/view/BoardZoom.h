// Zoom of the board view: the values it accepts, the scale each gives for a window and a
// page, and the zoom actually applied that ResultZoom reports.
#pragma once
#include <cstdint>

constexpr int kZoomFitWidth = 4096;
constexpr int kZoomFitPage = 8192;
constexpr int kZoomMin = 10;
constexpr int kZoomMax = 300;

// 10..300 percent, 4096 and 8192.
bool IsAcceptedZoom(int nZoom);

struct ZoomViewport
{
    int nWindowWidth = 0;
    int nWindowHeight = 0;
    int nPageWidth = 1600;
    int nPageHeight = 1200;
    int nScrollBarWidth = 0; // of a vertical scroll bar
    bool bSlideShow = false;
};

// The scale of an accepted zoom: percent / 100; 4096 fits the width (less the vertical scroll
// bar when the page would then be taller than the window), 8192 and every zoom of a slide
// show fit the page; a fit never enlarges outside a slide show.
double ZoomScale(int nZoom, const ZoomViewport& view);

// The scaled page's width as a percentage of the page's for the fit values; else the zoom.
int RealZoom(int nZoom, double dScale, int nPageWidth);

// The scaled size of a page length, rounded down.
int Scaled(int nLength, double dScale);
