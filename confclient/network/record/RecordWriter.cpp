// Recording file writer.
#include "confclient/network/record/RecordWriter.h"

#include "confclient/network/record/RecordStatus.h"

#include <system_error>
#include <vector>

bool CRecordFileWriter::Open(const std::filesystem::path& recording, const std::filesystem::path& indexFile,
                             uint32_t dwStartTime)
{
    m_nLastRecordPos = 0;
    m_bLimitReached = false;
    m_wSkinCount = 0;
    if (!m_recording.Open(recording, CBinFile::Mode::Create, kRecordWriteBuffer)) return false;
    m_indexPath = indexFile;
    if (!m_index.Open(indexFile, CBinFile::Mode::Create, kRecordWriteBuffer))
    {
        m_recording.Close();
        return false;
    }
    SRecordHeader h;
    h.wVersion = kRecordFileVersion;
    h.dwStartTime = h.dwEndTime = dwStartTime;
    h.dwIndexOffset = static_cast<uint32_t>(m_recording.Tell());
    std::vector<uint8_t> bytes = BuildRecordHeader(h);
    if (!m_recording.Seek(0) || !m_recording.Write(bytes.data(), bytes.size()))
    {
        m_recording.Close();
        m_index.Close();
        return false;
    }
    m_nWritePos = bytes.size();
    return true;
}

bool CRecordFileWriter::WriteRecord(uint32_t dwTime, uint16_t wCommand, std::span<const uint8_t> a,
                                    std::span<const uint8_t> b)
{
    uint8_t head[kRecordHeadSize];
    WriteRecordHead({dwTime, wCommand, static_cast<uint32_t>(a.size() + b.size())}, head);
    if (!m_recording.Write(head, sizeof head) || !m_recording.Write(a.data(), a.size()) ||
        !m_recording.Write(b.data(), b.size()))
    {
        m_nWritePos = m_recording.Tell(); // part of it may be out
        return false;
    }
    m_nWritePos += sizeof head + a.size() + b.size();
    return true;
}

int CRecordFileWriter::Append(uint32_t dwTime, uint16_t wCommand, const uint8_t* pPayload, size_t nLen,
                              bool bKeyFrame)
{
    if (!IsOpen() || (nLen && !pPayload) || nLen > 0xFFFFFFFFu - kRecordHeadSize) return REC_ERROR;
    if (m_bLimitReached) return REC_SUCCESS;
    bool bAtLimit = m_nLastRecordPos >= m_nSizeLimit;
    uint64_t nPos = m_nWritePos;
    if (!WriteRecord(dwTime, wCommand, {pPayload, nLen}, {})) return REC_ERROR;
    m_nLastRecordPos = nPos;
    if (NeedsIndexEntry(wCommand, bKeyFrame))
    {
        uint8_t entry[kIndexEntrySize];
        WriteIndexEntry({dwTime, static_cast<uint32_t>(nPos), wCommand, IndexSubOf(wCommand, pPayload, nLen)},
                        entry);
        if (!m_index.Write(entry, sizeof entry)) return REC_ERROR;
    }
    if (bAtLimit)
    {
        m_bLimitReached = true;
        return REC_SIZE_LIMIT;
    }
    return REC_SUCCESS;
}

bool CRecordFileWriter::AppendEmbedded(uint16_t wCommand, std::span<const uint8_t> nameField,
                                       std::span<const uint8_t> data)
{
    if (!IsOpen()) return false;
    m_nLastRecordPos = m_nWritePos;
    return WriteRecord(0, wCommand, nameField, data);
}

bool CRecordFileWriter::AppendIndexFile()
{
    if (!m_index.Seek(0)) return false;
    std::vector<uint8_t> chunk(10240);
    for (;;)
    {
        size_t n = m_index.Read(chunk.data(), chunk.size());
        if (n == 0) return true;
        if (!m_recording.Write(chunk.data(), n)) return false;
    }
}

bool CRecordFileWriter::Close(uint32_t dwTime, uint32_t dwEndTime, bool bAppendIndex)
{
    if (!IsOpen()) return false;
    bool bOk = m_recording.SeekEnd();
    uint64_t nPos = m_recording.Tell();
    bOk = bOk && WriteRecord(dwTime, REC_TERMINATOR, {}, {});
    uint8_t entry[kIndexEntrySize];
    WriteIndexEntry({dwTime, static_cast<uint32_t>(nPos), REC_TERMINATOR, 65535}, entry);
    bOk = bOk && m_index.Write(entry, sizeof entry);

    uint64_t nIndexOffset = m_recording.Tell();
    uint8_t tail[10];
    for (int i = 0; i < 4; ++i)
        tail[i] = static_cast<uint8_t>(dwEndTime >> (8 * i));
    for (int i = 0; i < 4; ++i)
        tail[4 + i] = static_cast<uint8_t>(nIndexOffset >> (8 * i));
    tail[8] = static_cast<uint8_t>(m_wSkinCount);
    tail[9] = static_cast<uint8_t>(m_wSkinCount >> 8);
    bOk = bOk && m_recording.Seek(6) && m_recording.Write(tail, sizeof tail);
    if (bAppendIndex) bOk = bOk && m_recording.Seek(nIndexOffset) && AppendIndexFile();
    bOk = m_recording.Flush() && bOk;
    m_recording.Close();
    m_index.Close();
    std::error_code ec;
    std::filesystem::remove(m_indexPath, ec);
    return bOk;
}
