// Byte layout of recording files: header, records, index entries, embedded files, and the rules over them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The program's file version, its four parts printed as decimals run together, kept to 16 bits.
constexpr uint16_t FileVersionNumber(unsigned nMajor, unsigned nMinor, unsigned nBuild, unsigned nRevision)
{
    unsigned v = 0;
    for (unsigned part : {nMajor, nMinor, nBuild, nRevision})
    {
        unsigned scale = 10;
        while (scale <= part)
            scale *= 10;
        v = v * scale + part;
    }
    return static_cast<uint16_t>(v);
}

// The version written into new recordings (5.6.0.1): names are UTF-16 from 5600 on.
constexpr uint16_t kRecordFileVersion = FileVersionNumber(5, 6, 0, 1);
static_assert(kRecordFileVersion >= 5600, "new recordings carry UTF-16 names");

constexpr uint16_t kOldestPlayableVersion = 5203;
constexpr uint16_t kOldRecordingBelow = 5361;
constexpr uint16_t kUtf16NamesFrom = 5600;

constexpr size_t kRecordHeadSize = 10;
constexpr size_t kIndexEntrySize = 12;
constexpr size_t kWrittenHeaderSize = 16;
constexpr uint64_t kRecordSizeLimit = 2000000000;
constexpr size_t kEmbeddedNameUnits = 32;
constexpr size_t kEmbeddedNameBytes = 64;

enum RecordCommand : uint16_t
{
    REC_TERMINATOR = 0,
    REC_AGENDA_FILE = 3010,
    REC_SKIN_FILE = 3011,
    REC_MEETING_NAME = 3012,
};

// Header size of a file of this version: 14 below 5381, 18 for 5427-5431 and 5500-5501, else 16.
size_t RecordHeaderSize(uint16_t wVersion);
// Versions whose header carries the extra field.
bool HasExtraHeaderField(uint16_t wVersion);
// Whether opening compares the recording's meeting name with the open meeting's.
bool ChecksMeetingName(uint16_t wVersion, uint16_t wExtra);

struct SRecordHeader
{
    uint16_t wVersion = 0;
    uint32_t dwStartTime = 0;
    uint32_t dwEndTime = 0;
    uint32_t dwIndexOffset = 0;
    uint16_t wSkinCount = 0;
    uint16_t wExtra = 0;
};

// Reads a header of its version's size; nothing when the bytes are too few.
std::optional<SRecordHeader> ParseRecordHeader(std::span<const uint8_t> bytes);
// The 16-byte form the writer uses.
std::vector<uint8_t> BuildRecordHeader(const SRecordHeader& h);

struct SRecordHead
{
    uint32_t dwTime = 0;
    uint16_t wCommand = 0;
    uint32_t dwLength = 0;
};

SRecordHead ParseRecordHead(const uint8_t* p10);
void WriteRecordHead(const SRecordHead& h, uint8_t* p10);

struct SIndexEntry
{
    uint32_t dwTime = 0;
    uint32_t dwPosition = 0;
    uint16_t wCommand = 0;
    uint16_t wSub = 0;
};

SIndexEntry ParseIndexEntry(const uint8_t* p12);
void WriteIndexEntry(const SIndexEntry& e, uint8_t* p12);

// Whether a record of this command and key flag gets an index entry (voice never, media at key frames).
bool NeedsIndexEntry(uint16_t wCommand, bool bKeyFrame);
// An index entry's sub: the channel (the payload's first u16) of 2000, 2010, 2030 and 2201, else 65535.
uint16_t IndexSubOf(uint16_t wCommand, const uint8_t* pPayload, size_t nLen);

// Milliseconds from dwStart to dwNow on a 32-bit tick counter; across a wrap the value
// is dwNow + (0xFFFFFFFF - dwStart), one less than the true interval, as recordings have it.
uint32_t RecordElapsed(uint32_t dwNow, uint32_t dwStart);

// A name from a recording that may be used as a file name in our folders: a plain name of at
// most 32 well-formed UTF-16 units with no separator, "..", drive or stream colon, control or
// reserved character, no trailing dot or space, and no device name.
bool IsSafeEmbeddedName(std::u16string_view name);

struct SEmbeddedFile
{
    std::u16string szName;
    size_t nDataOffset = 0; // where the file's bytes begin in the payload
};

// Reads the name field of a 3010 or 3011 payload of the given version; nothing when the
// payload is shorter than its name field.
std::optional<SEmbeddedFile> ParseEmbeddedFile(uint16_t wCommand, uint16_t wVersion,
                                               std::span<const uint8_t> payload);
// The name field of an embedded file as the writer puts it (UTF-16, 64 bytes).
std::vector<uint8_t> BuildEmbeddedName(std::u16string_view name);

// The meeting name of a 3012 payload: UTF-16 from 5600 on, a 32-byte ANSI field before.
std::u16string ParseMeetingName(uint16_t wVersion, std::span<const uint8_t> payload);
std::vector<uint8_t> BuildMeetingName(std::u16string_view name);
