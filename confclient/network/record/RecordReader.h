// Reads a recording: its header with the version rules, record heads and payloads checked
// against the file, and the appended index. A recording that was never closed (index offset
// 0 or beyond the file) ends at the end of the file and has no index of its own: one is
// built on opening, by a single forward pass.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "confclient/network/record/BinFile.h"
#include "confclient/network/record/RecordFormat.h"

class CRecordFileReader
{
public:
    enum class Next
    {
        Record,  // a head whose payload lies within the records
        Closing, // the terminator that closed the recording: the head holds the end time
        End,     // the end of the records at a record boundary
        Broken,  // a short head or a length beyond the records
    };

    // 1, or REC_CANNOT_OPEN, REC_TOO_OLD, or REC_ERROR for a header cut short.
    int Open(const std::filesystem::path& path);
    void Close() { m_file.Close(); }
    bool IsOpen() const { return m_file.IsOpen(); }

    const SRecordHeader& Header() const { return m_header; }
    uint64_t RecordsBegin() const { return m_nRecordsBegin; }
    uint64_t RecordsEnd() const { return m_nRecordsEnd; }
    // True when the file carries its appended index; otherwise seeks use the built one.
    bool HasIndex() const { return m_bHasIndex; }

    uint64_t Position() const { return m_file.Tell(); }
    bool SeekTo(uint64_t nPos) { return m_file.Seek(nPos); }

    // Reads the head at the current position. On Record the file stands at the payload;
    // otherwise it stays at the head, so that reading again gives the same answer.
    Next ReadHead(SRecordHead& head);
    // Reads or steps over the payload of the head just read.
    bool ReadPayload(std::vector<uint8_t>& out, uint32_t nLen);
    bool SkipPayload(uint32_t nLen) { return m_file.Seek(m_file.Tell() + nLen); }
    // Reads the record at nPos when it holds wCommand; the file position is left after it.
    bool ReadRecordAt(uint64_t nPos, uint16_t wCommand, std::vector<uint8_t>& out);

    // The index entries, in file order, whose time is below dwBefore; entries that point
    // outside the records are left out. From the file's own index, or the built one.
    std::vector<SIndexEntry> IndexBefore(uint32_t dwBefore);

private:
    // Reads the records front to back in large chunks and keeps the entries the writer would
    // have made, less media key frames, which a record does not mark. A record cut short ends
    // the pass.
    void BuildIndex();

    CBinFile m_file;
    SRecordHeader m_header;
    uint64_t m_nSize = 0;
    uint64_t m_nRecordsBegin = 0;
    uint64_t m_nRecordsEnd = 0;
    bool m_bHasIndex = false;
    std::vector<SIndexEntry> m_builtIndex;
};
