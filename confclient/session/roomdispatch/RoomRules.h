// The room dispatcher's fixed tables: the texts of refusal and call-failure codes,
// the names its log lines use, and the path of a recording the server asks for.
#pragma once
#include <cstdint>
#include <string>

// The text key shown for a reason of an open or join refusal (302, 322), or null
// for a reason that gets the log line only.
const char* NakConfTextKey(uint16_t wReason);

// The text key shown for a call failure code (802), or null for 105, which shows nothing.
const char* CallFailureTextKey(uint16_t wCode);

// The name a room command's log line carries; "" for a code the protocol does not name.
const char* RoomCommandName(uint16_t wCommand);

// Where a recording the server starts (505) goes: folder + name + ".mp4". The name
// comes from the server, so only a plain file name is kept (not empty, no "..", no
// separator, ':' or other character a file name cannot hold); anything else becomes
// kServerRecordFallback. Empty when the path and its terminator would not fit
// kMaxRecordPath characters.
constexpr size_t kMaxRecordPath = 260;
inline constexpr char16_t kServerRecordFallback[] = u"ServerRecord";
std::u16string ServerRecordTarget(const std::u16string& szFolder, const std::u16string& szName);
