// DirectShow identifiers that the toolchain's headers lack.
#pragma once
#include <guiddef.h>

// The planar 4:2:0 subtype of FOURCC 'I420'.
inline constexpr GUID kMediaSubtypeI420 = {
    0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// The sample grabber filter of the editing services.
inline constexpr CLSID kClsidSampleGrabber = {
    0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
