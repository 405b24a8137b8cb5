// The object system's own codes and the few Win32 error numbers portable code sets itself.
#pragma once
#include <cstdint>

// Own codes have the form 0xA00xxxxx.
inline constexpr int32_t LM_E_NOPICTURE = static_cast<int32_t>(0xA0000000); // consumed, no picture yet
inline constexpr int32_t LM_E_NOTINITIALIZED =
    static_cast<int32_t>(0xA0000002); // "The object is not initialized."
inline constexpr int32_t LM_E_BUFFERTOOSMALL = static_cast<int32_t>(0xA0000004); // output buffer too small
inline constexpr int32_t LM_E_INVALIDCODEC = static_cast<int32_t>(0xA001000B);   // "Invalid Codec"
inline constexpr int32_t LM_E_PAUSED =
    static_cast<int32_t>(0xA0020001); // "can't receive video. it is paused"
inline constexpr int32_t LM_E_NORENDERER = static_cast<int32_t>(0xA0020002);   // "Invalid LMRenderer Module"
inline constexpr int32_t LM_E_MEDIACONTROL = static_cast<int32_t>(0xA0020003); // "Can not run media control"

// Win32 error numbers (winerror.h) that the portable holder and objects report.
inline constexpr uint32_t LM_ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t LM_ERROR_MOD_NOT_FOUND = 126;
inline constexpr uint32_t LM_ERROR_PROC_NOT_FOUND = 127;
inline constexpr uint32_t LM_ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr uint32_t LM_ERROR_FUNCTION_NOT_CALLED = 1626;
inline constexpr uint32_t LM_ERROR_FUNCTION_FAILED = 1627;

// Win32 errors travel as HRESULTs: 0 or less unchanged, else (value & 0xFFFF) | 0x80070000.
constexpr int32_t LMHResultFromWin32(int32_t nValue)
{
    return nValue <= 0 ? nValue
                       : static_cast<int32_t>((static_cast<uint32_t>(nValue) & 0xFFFFu) | 0x80070000u);
}
