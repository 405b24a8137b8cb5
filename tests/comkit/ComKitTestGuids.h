// Class and interface ids of the test controls (ComKitTestCtrl.idl), shared by the library and the tests.
#pragma once
#include <guiddef.h>

// {5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C0n}
#define COMKIT_TEST_GUID(n)                                                                                  \
    {                                                                                                        \
        0x5B0C3E41, 0x7A2D, 0x4C8E,                                                                          \
        {                                                                                                    \
            0x9F, 0x61, 0x2D, 0x7E, 0x5A, 0x9B, 0x1C, n                                                      \
        }                                                                                                    \
    }

inline constexpr GUID LIBID_ComKitTestLib = COMKIT_TEST_GUID(0x01);
inline constexpr IID DIID_DComKitTest = COMKIT_TEST_GUID(0x02);
inline constexpr IID DIID_DComKitTestEvents = COMKIT_TEST_GUID(0x03);
inline constexpr CLSID CLSID_ComKitTest = COMKIT_TEST_GUID(0x04);
inline constexpr IID DIID_DBrowserStandIn = COMKIT_TEST_GUID(0x05);
inline constexpr IID DIID_DBrowserStandInEvents = COMKIT_TEST_GUID(0x06);
inline constexpr CLSID CLSID_BrowserStandIn = COMKIT_TEST_GUID(0x07);

inline constexpr wchar_t kTestProgId[] = L"ComKitTest.ComKitTestCtrl.1";
inline constexpr wchar_t kStandInProgId[] = L"ComKitTest.BrowserStandIn.1";
