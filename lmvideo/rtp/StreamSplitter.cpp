// Pictures of plain H.264 and H.263 streams.
#include "lmvideo/rtp/StreamSplitter.h"

#include <utility>

#include "lmvideo/rtp/AnnexB.h"
#include "lmvideo/rtp/H263Picture.h"

namespace
{
bool IsSlice(uint8_t type)
{
    return type == 1 || type == kNalTypeIdr;
}
} // namespace

void StreamSplitter::Push(const uint8_t* p, size_t n)
{
    if (n == 0) return;
    m_queue.Trim(AccessUnitQueue::kMaxQueued);
    m_buffer.insert(m_buffer.end(), p, p + n);
    Scan(false);
    if (m_nPictureStart != kNone && m_buffer.size() - m_nPictureStart > kMaxAccessUnitBytes)
    {
        // Wait for the next picture to begin.
        DropPicture();
        m_nPictureStart = kNone;
    }
    Compact();
}

void StreamSplitter::Flush()
{
    Scan(true);
    if (m_nPictureStart != kNone && (m_codec == VideoCodec::H263 || m_bHasSlice)) EndPicture(m_buffer.size());
    m_buffer.clear();
    m_nScanned = 0;
    m_nPictureStart = kNone;
    m_bHasSlice = m_bKey = false;
}

void StreamSplitter::Scan(bool bFinal)
{
    const uint8_t* p = m_buffer.data();
    const size_t n = m_buffer.size();
    size_t i = m_nScanned;
    if (m_codec == VideoCodec::H264)
    {
        // 00 00 01, then the NAL header and, for a slice, its first byte.
        for (; i + 3 < n && (bFinal || i + 4 < n); ++i)
            if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1) OnH264Nal(i);
    }
    else
    {
        for (; i + 2 < n; ++i)
            if (IsH263PictureStart(p + i)) OnH263StartCode(i);
    }
    m_nScanned = i;
}

void StreamSplitter::OnH264Nal(size_t nStartCode)
{
    const uint8_t* p = m_buffer.data();
    const uint8_t type = NalType(p[nStartCode + 3]);
    const bool bOpens = NalOpensPicture(p + nStartCode + 3, m_buffer.size() - nStartCode - 3);
    // The zero byte of a four-byte start code goes with the unit it starts.
    size_t nCut = nStartCode > 0 && p[nStartCode - 1] == 0 ? nStartCode - 1 : nStartCode;
    if (m_nPictureStart == kNone)
    {
        // Joining the stream (or after a drop) at a unit that cannot open a picture.
        if (!bOpens) return;
        m_nPictureStart = nCut;
    }
    else if (m_bHasSlice && bOpens)
    {
        EndPicture(nCut);
        m_nPictureStart = nCut;
    }
    if (IsSlice(type)) m_bHasSlice = true;
    if (type == kNalTypeIdr) m_bKey = true;
}

void StreamSplitter::OnH263StartCode(size_t nStartCode)
{
    if (m_nPictureStart != kNone && nStartCode > m_nPictureStart) EndPicture(nStartCode);
    m_nPictureStart = nStartCode;
}

void StreamSplitter::DropPicture()
{
    // A picture larger than any of ours: a broken or hostile stream.
    ++m_nDroppedPictures;
    m_queue.NoteLoss();
    m_bHasSlice = m_bKey = false;
}

void StreamSplitter::EndPicture(size_t nEnd)
{
    if (nEnd - m_nPictureStart > kMaxAccessUnitBytes)
    {
        DropPicture();
        return;
    }
    AccessUnit unit;
    unit.data.assign(m_buffer.begin() + m_nPictureStart, m_buffer.begin() + nEnd);
    if (m_codec == VideoCodec::H264)
    {
        unit.bKey = m_bKey;
    }
    else
    {
        H263PictureHeader header;
        unit.bKey = ParseH263PictureHeader(unit.data.data(), unit.data.size(), header) && !header.bInter;
    }
    m_queue.Push(std::move(unit));
    m_bHasSlice = m_bKey = false;
}

void StreamSplitter::Compact()
{
    // Bytes before the open picture are done with; without one, only the unscanned tail
    // (a start code split between blocks) and the byte before it (a four-byte start
    // code's zero) are kept.
    size_t nDone = m_nPictureStart != kNone ? m_nPictureStart : (m_nScanned > 0 ? m_nScanned - 1 : 0);
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + nDone);
    m_nScanned -= nDone;
    if (m_nPictureStart != kNone) m_nPictureStart = 0;
}
