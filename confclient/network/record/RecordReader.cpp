// Recording file reader.
#include "confclient/network/record/RecordReader.h"

#include "confclient/network/record/RecordStatus.h"

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
    m_file.Seek(m_nRecordsBegin);
    return 1;
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
    if (!m_bHasIndex || !m_file.Seek(m_nRecordsEnd)) return entries;
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
