// The test camera's classes.
#pragma once
#include <guiddef.h>

// {991B22F9-FC25-4A7B-BD90-A661A8A559D0}
inline constexpr CLSID CLSID_QuillonTestCamera = {
    0x991B22F9, 0xFC25, 0x4A7B, {0xBD, 0x90, 0xA6, 0x61, 0xA8, 0xA5, 0x59, 0xD0}};
// {3D414965-4F44-4572-9B43-D7701E50A3F3}
inline constexpr CLSID CLSID_QuillonTestCameraPage = {
    0x3D414965, 0x4F44, 0x4572, {0x9B, 0x43, 0xD7, 0x70, 0x1E, 0x50, 0xA3, 0xF3}};

// The name the camera is listed by.
inline constexpr wchar_t kTestCameraName[] = L"Quillon Test Camera";
