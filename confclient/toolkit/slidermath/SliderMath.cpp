// Bitmap slider geometry.
#include "confclient/toolkit/slidermath/SliderMath.h"

#include <algorithm>

int ClampSliderPos(int nPos, const SliderRange& r)
{
    if (nPos > r.nMax) nPos = r.nMax;
    if (nPos < r.nMin) nPos = r.nMin;
    return nPos;
}

int SliderPosToPixel(int nPos, const SliderRange& r, const SliderAxis& a)
{
    int nStart = a.nThumbLength / 2 + a.nNearMargin;
    if (r.nMax == r.nMin) return nStart;
    double fraction = double(nPos - r.nMin) / double(r.nMax - r.nMin);
    double track = double(a.nLength - a.nFarMargin - a.nThumbLength - a.nNearMargin);
    return nStart + static_cast<int>(fraction * track + 0.9);
}

int SliderPixelToPos(int nPixel, const SliderRange& r, const SliderAxis& a)
{
    int nTrack = a.nLength - a.nFarMargin - a.nNearMargin - a.nThumbLength;
    if (r.nMax == r.nMin || nTrack == 0) return r.nMin;
    double fraction = double(nPixel - a.nThumbLength / 2 - a.nNearMargin) / double(nTrack);
    return static_cast<int>(fraction * double(r.nMax - r.nMin) + r.nMin);
}

int ClampThumbCentre(int nCentre, const SliderAxis& a)
{
    int lo = a.nNearMargin + a.nThumbLength / 2;
    int hi = a.nLength - a.nFarMargin - a.nThumbLength / 2;
    return std::max(lo, std::min(nCentre, hi));
}

int DragOffset(int nMouse, int nThumbCentre, int nThumbLength)
{
    int d = nMouse - nThumbCentre;
    return (d > nThumbLength / 2 || -d > nThumbLength / 2) ? 0 : d;
}

int SliderKeyPos(SliderKey key, int nPos, int nPageStep, const SliderRange& r)
{
    switch (key)
    {
    case SliderKey::PageUp:
        nPos -= nPageStep;
        break;
    case SliderKey::PageDown:
        nPos += nPageStep;
        break;
    case SliderKey::End:
        nPos = r.nMax;
        break;
    case SliderKey::Home:
        nPos = r.nMin;
        break;
    case SliderKey::Left:
    case SliderKey::Up:
        nPos -= 1;
        break;
    case SliderKey::Right:
    case SliderKey::Down:
        nPos += 1;
        break;
    }
    return ClampSliderPos(nPos, r);
}
