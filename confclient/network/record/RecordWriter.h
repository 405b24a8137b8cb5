// Writes one recording: header, records with the index rule, the size limit, embedded files,
// and at close the terminator, the final header and the appended index.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "confclient/network/record/BinFile.h"
#include "confclient/network/record/RecordFormat.h"

// Records go to the file through a buffer of this size: small records are not each a write call.
constexpr size_t kRecordWriteBuffer = 64u << 10;

class CRecordFileWriter
{
public:
    explicit CRecordFileWriter(uint64_t nSizeLimit = kRecordSizeLimit) : m_nSizeLimit(nSizeLimit) {}

    // Creates the recording and the index file and writes the header (start time as end
    // time, the current position as index offset, no skin files). False when any step fails.
    bool Open(const std::filesystem::path& recording, const std::filesystem::path& indexFile,
              uint32_t dwStartTime);
    bool IsOpen() const { return m_recording.IsOpen(); }

    // Appends one protocol record and, by the index rule, its index entry. Returns
    // REC_SUCCESS when written or dropped after the size limit, REC_SIZE_LIMIT for the
    // record written once the limit is reached, REC_ERROR when the file cannot be written.
    int Append(uint32_t dwTime, uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bKeyFrame);

    // Appends an embedded record at time 0 with no index entry: a name field and a file's bytes.
    bool AppendEmbedded(uint16_t wCommand, std::span<const uint8_t> nameField, std::span<const uint8_t> data);
    void CountSkinFile() { ++m_wSkinCount; }

    // Writes the terminator and its index entry, completes the header, appends the index
    // when asked, closes both files and deletes the index file. False on a write failure.
    bool Close(uint32_t dwTime, uint32_t dwEndTime, bool bAppendIndex);

    uint16_t SkinCount() const { return m_wSkinCount; }

private:
    bool WriteRecord(uint32_t dwTime, uint16_t wCommand, std::span<const uint8_t> a,
                     std::span<const uint8_t> b);
    bool AppendIndexFile();

    uint64_t m_nSizeLimit;
    CBinFile m_recording;
    CBinFile m_index;
    std::filesystem::path m_indexPath;
    uint64_t m_nLastRecordPos = 0; // position before the last written record
    uint64_t m_nWritePos = 0; // where the next record goes: asking the runtime costs a system call on Windows
    bool m_bLimitReached = false;
    uint16_t m_wSkinCount = 0;
};
