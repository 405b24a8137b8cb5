// The renderer objects' interface: a picture drawn into a window, with the name and level overlays.
#pragma once
#include "confclient/library/LMObject.h"

#include <cstdint>

struct HWND__; // the platform's window handle type, without its header

class ILMRenderer : public virtual ILMObject
{
public:
    // Prepares drawing into hWnd; 0 when this kind of renderer cannot work there (nothing is
    // left behind then, and the last error says why).
    virtual int Init(HWND__* hWnd) = 0;
    // Draws the last picture again into the given client rectangle.
    virtual int Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom) = 0;
    // Draws a picture of nBytes in the format GetBitsPerPixel names, rows top-down.
    virtual int Draw(int32_t nBytes, const uint8_t* pData, int32_t nWidth, int32_t nHeight) = 0;
    virtual int Resize(int32_t cx, int32_t cy) = 0;
    // Forgets the last picture and clears the window.
    virtual int Reset(int32_t nFlags) = 0;
    // The window given to Init, or null.
    virtual HWND__* GetWindow() = 0;
    // Restores what the device lost; 0 when it cannot.
    virtual int Check() = 0;
    // 32, 24 or 16 (the formats "32RGB32", "24RGB24", "16RGB565").
    virtual int16_t GetBitsPerPixel() = 0;
    // Where the renderer keeps its surfaces; set before Init.
    virtual int SetMemoryType(int32_t nMemoryType) = 0;
    virtual int32_t GetMemoryType() = 0;
    virtual int SetName(const wchar_t* szName) = 0;
    virtual int SetNameVisible(int bVisible) = 0;
    // The level meter's value, 0..100 (others are clamped).
    virtual int SetPeakLevel(int16_t nLevel) = 0;
    virtual int SetPeakMeterVisible(int bVisible) = 0;
    // The name's font face and its sizes in points, normal and bigger.
    virtual int SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize) = 0;
    virtual int SetNameBigger(int bBigger) = 0;
    // The corner of the name: 0 top left, 1 top right, 2 bottom left, 3 bottom right.
    virtual int SetPosition(int16_t nPosition) = 0;
};
