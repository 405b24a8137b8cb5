// Picture boundaries and losses of an RTP video stream.
#include "lmvideo/rtp/RtpDepacketizer.h"

#include <utility>

namespace
{
// A packet at most this far behind the next expected one is late or a duplicate and is
// ignored; further behind, the sender has restarted its numbering and we follow it.
constexpr int kLateWindow = 256;
} // namespace

void RtpDepacketizer::Push(const uint8_t* p, size_t n)
{
    RtpPacketView packet;
    if (!ParseRtpPacket(p, n, packet))
    {
        ++m_nRejectedPackets;
        return;
    }
    if (m_bHaveSequence && packet.nSsrc != m_nSsrc)
    {
        // A new sender: its numbering has nothing to do with the old one's.
        Flush();
        m_bHaveSequence = false;
    }
    // Joining a stream, the first packets may be the middle of a picture.
    const bool bJoining = !m_bHaveSequence;
    int nMissing = 0;
    if (m_bHaveSequence)
    {
        int nAhead = static_cast<int16_t>(packet.nSequence - m_nNextSequence);
        if (nAhead < 0 && nAhead >= -kLateWindow)
        {
            ++m_nRejectedPackets;
            return;
        }
        nMissing = nAhead > 0 ? nAhead : (nAhead < 0 ? 1 : 0);
    }
    if (nMissing > 0) m_queue.NoteLoss();
    m_nSsrc = packet.nSsrc;
    m_nNextSequence = static_cast<uint16_t>(packet.nSequence + 1);
    m_bHaveSequence = true;

    if (m_bOpen && packet.nTimestamp != m_unit.nTimestamp)
    {
        // The open picture's marker packet never came; when packets are missing, that
        // one is among them.
        if (nMissing > 0)
        {
            m_bDamaged = true;
            --nMissing;
        }
        EndPicture();
    }
    if (!m_bOpen)
    {
        BeginPicture(packet.nTimestamp);
        // After a gap, or on joining, a picture is whole only if it plainly starts here:
        // the packets missed were then other pictures'.
        if (nMissing > 0 || bJoining) m_bDamaged = !OpensPicture(packet);
    }
    else if (nMissing > 0)
    {
        m_bDamaged = true;
    }
    if (!m_bDamaged && (!AppendPayload(packet, m_unit) || m_unit.data.size() > kMaxAccessUnitBytes))
        m_bDamaged = true;
    if (packet.bMarker) EndPicture();
}

void RtpDepacketizer::Flush()
{
    if (m_bOpen) EndPicture();
}

void RtpDepacketizer::BeginPicture(uint32_t nTimestamp)
{
    m_unit = AccessUnit();
    m_unit.nTimestamp = nTimestamp;
    m_bOpen = true;
    m_bDamaged = false;
    ResetPicture();
}

void RtpDepacketizer::EndPicture()
{
    m_bOpen = false;
    if (!m_bDamaged && FinishPicture(m_unit))
    {
        // Packets that carried nothing a decoder uses make no picture, and no loss.
        if (!m_unit.data.empty()) m_queue.Push(std::move(m_unit));
        return;
    }
    ++m_nDroppedPictures;
    m_queue.NoteLoss();
}
