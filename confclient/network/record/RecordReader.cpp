// Recording file reader.
#include "confclient/network/record/RecordReader.h"

#include <cstring>

#include "confclient/network/record/RecordStatus.h"

namespace
{
// Reads of the index pass: large enough that the pass costs little more than reading the file.
constexpr size_t kIndexPassChunk = 1u << 20;
} // namespace

int CRecordFileReader::Open(const std::filesystem::path& path)
{
    if (!m_file.Open(path, CBinFile::Mode::Read)) return REC_CANNOT_OPEN;
    m_nSize = m_file.Size();
    uint8_t bytes[18] = {};
    size_t n = m_file.Read(bytes, sizeof bytes);
    std::optional<SRecordHeader> h = ParseRecordHeader({bytes, n});
    if (n >= 2 && (bytes[0] | bytes[1] << 8) < kOldestPlayableVersion)
    {
        m_file.Close();
        return REC_TOO_OLD;
    }
    if (!h)
    {
        m_file.Close();
        return REC_ERROR;
    }
    m_header = *h;
    m_nRecordsBegin = RecordHeaderSize(h->wVersion);
    uint64_t nOffset = h->dwIndexOffset;
    bool bClosed = nOffset >= m_nRecordsBegin && nOffset <= m_nSize;
    m_nRecordsEnd = bClosed ? nOffset : m_nSize;
    m_bHasIndex = bClosed && m_nSize - nOffset >= kIndexEntrySize;
    m_builtIndex.clear();
    if (!m_bHasIndex) BuildIndex();
    m_file.Seek(m_nRecordsBegin);
    return 1;
}

void CRecordFileReader::BuildIndex()
{
    std::vector<uint8_t> chunk(kIndexPassChunk);
    uint64_t nChunkPos = m_nRecordsBegin; // file position of chunk[0]; the file stands after the bytes read
    size_t nHave = 0;
    uint64_t nPos = m_nRecordsBegin; // the next head
    if (!m_file.Seek(nPos)) return;
    // Index positions are 32 bits: a record beyond them cannot be indexed.
    while (nPos <= 0xFFFFFFFFu && nPos < m_nRecordsEnd && m_nRecordsEnd - nPos >= kRecordHeadSize)
    {
        uint64_t nChunkEnd = nChunkPos + nHave;
        if (nPos + kRecordHeadSize > nChunkEnd)
        {
            // Keep the start of a head cut by the chunk's end; step over a payload longer
            // than the chunk with one seek.
            size_t nKeep = nPos < nChunkEnd ? static_cast<size_t>(nChunkEnd - nPos) : 0;
            if (nKeep)
                std::memmove(chunk.data(), chunk.data() + (nPos - nChunkPos), nKeep);
            else if (nPos != nChunkEnd && !m_file.Seek(nPos))
                break;
            nChunkPos = nPos;
            nHave = nKeep + m_file.Read(chunk.data() + nKeep, chunk.size() - nKeep);
            if (nHave < kRecordHeadSize) break;
        }
        SRecordHead head = ParseRecordHead(chunk.data() + (nPos - nChunkPos));
        bool bClosing = head.wCommand == REC_TERMINATOR;
        if (!bClosing && head.dwLength > m_nRecordsEnd - nPos - kRecordHeadSize) break;
        bool bEmbedded = head.wCommand == REC_AGENDA_FILE || head.wCommand == REC_SKIN_FILE ||
                         head.wCommand == REC_MEETING_NAME;
        if (bClosing || (!bEmbedded && NeedsIndexEntry(head.wCommand, false)))
            m_builtIndex.push_back({head.dwTime, static_cast<uint32_t>(nPos), head.wCommand, 0xFFFF});
        if (bClosing) break;
        nPos += kRecordHeadSize + head.dwLength;
    }
}

CRecordFileReader::Next CRecordFileReader::ReadHead(SRecordHead& head)
{
    uint64_t nPos = m_file.Tell();
    if (nPos >= m_nRecordsEnd) return nPos == m_nRecordsEnd ? Next::End : Next::Broken;
    if (m_nRecordsEnd - nPos < kRecordHeadSize) return Next::Broken;
    uint8_t bytes[kRecordHeadSize];
    if (!m_file.ReadAll(bytes, sizeof bytes))
    {
        m_file.Seek(nPos);
        return Next::Broken;
    }
    head = ParseRecordHead(bytes);
    Next next = Next::Record;
    if (head.wCommand == REC_TERMINATOR)
        next = Next::Closing;
    else if (head.dwLength > m_nRecordsEnd - nPos - kRecordHeadSize)
        next = Next::Broken;
    if (next != Next::Record) m_file.Seek(nPos);
    return next;
}

bool CRecordFileReader::ReadPayload(std::vector<uint8_t>& out, uint32_t nLen)
{
    // The length was checked against the records by ReadHead, so the buffer is bounded by the file.
    out.resize(nLen);
    return m_file.ReadAll(out.data(), nLen);
}

bool CRecordFileReader::ReadRecordAt(uint64_t nPos, uint16_t wCommand, std::vector<uint8_t>& out)
{
    if (nPos < m_nRecordsBegin || !m_file.Seek(nPos)) return false;
    SRecordHead head;
    if (ReadHead(head) != Next::Record || head.wCommand != wCommand) return false;
    return ReadPayload(out, head.dwLength);
}

std::vector<SIndexEntry> CRecordFileReader::IndexBefore(uint32_t dwBefore)
{
    std::vector<SIndexEntry> entries;
    if (!m_bHasIndex)
    {
        for (const SIndexEntry& e : m_builtIndex)
        {
            if (e.dwTime >= dwBefore) break;
            entries.push_back(e);
        }
        return entries;
    }
    if (!m_file.Seek(m_nRecordsEnd)) return entries;
    uint8_t chunk[kIndexEntrySize * 853];
    for (;;)
    {
        size_t n = m_file.Read(chunk, sizeof chunk) / kIndexEntrySize;
        for (size_t i = 0; i < n; ++i)
        {
            SIndexEntry e = ParseIndexEntry(chunk + i * kIndexEntrySize);
            if (e.dwTime >= dwBefore) return entries;
            if (e.dwPosition >= m_nRecordsBegin && e.dwPosition < m_nRecordsEnd) entries.push_back(e);
        }
        if (n * kIndexEntrySize < sizeof chunk) return entries;
    }
}
