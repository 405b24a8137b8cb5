// The bitmap slider's geometry and input rules, along one axis: position to
// pixel and back, the drag's thumb clamp, and what each key does.
#pragma once
#include <cstdint>

struct SliderAxis
{
    int nLength;      // control width (height when vertical)
    int nNearMargin;  // left (top) margin
    int nFarMargin;   // right (bottom) margin
    int nThumbLength; // thumb width (height)
};

struct SliderRange
{
    int nMin = 0;
    int nMax = 100;
};

// Clamps first to the maximum, then to the minimum.
int ClampSliderPos(int nPos, const SliderRange& r);

// The thumb centre's pixel for a position. An empty range (max = min) puts the
// thumb at the track's start instead of dividing by zero.
int SliderPosToPixel(int nPos, const SliderRange& r, const SliderAxis& a);

// The position under a pixel; an empty range or an empty track gives min.
int SliderPixelToPos(int nPixel, const SliderRange& r, const SliderAxis& a);

// The thumb centre a drag asks for, kept on the track.
int ClampThumbCentre(int nCentre, const SliderAxis& a);

// The distance the drag keeps between mouse and thumb centre: 0 (jump to the
// mouse) when the mouse is more than half a thumb from the centre.
int DragOffset(int nMouse, int nThumbCentre, int nThumbLength);

enum class SliderKey
{
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Up,
    Right,
    Down,
};
// The position a key leads to (clamped); every key is reported even when the position stays.
int SliderKeyPos(SliderKey key, int nPos, int nPageStep, const SliderRange& r);
