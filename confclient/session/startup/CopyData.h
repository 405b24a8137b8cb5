// What the main window accepts by WM_COPYDATA from other processes: a known
// code and a UTF-16 text, copied out bounded. Any process can send this
// message, so nothing in it is trusted.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Client commands the launcher hands in ('\n'-separated fields).
enum : uint32_t
{
    CLIENTCMD_JOIN = 401, // join a conference: "room index\nconference code"
};

constexpr size_t kMaxCopyDataBytes = 8192;

struct S_COPYDATA_IN
{
    uint32_t dwCode;
    std::u16string text;
};

// Accepts only the hand-off codes (4040, 4041, 4042) and the client commands,
// an even byte count up to kMaxCopyDataBytes and a data pointer when the count
// is not 0. The text ends at its first zero unit or at the count, whichever
// comes first; no terminator is assumed.
std::optional<S_COPYDATA_IN> AcceptCopyData(uint32_t dwCode, size_t cbData, const void* pData);
