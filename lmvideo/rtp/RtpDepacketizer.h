// Turns received RTP packets of one video stream into complete pictures. A picture ends
// on its marker packet or when the time stamp changes; a picture that lost a packet (a
// sequence gap) or carried a malformed payload is dropped, and only that picture. The
// payload format is the codec's: a derived class appends each packet's payload.
#pragma once
#include <cstddef>
#include <cstdint>

#include "lmvideo/rtp/AccessUnit.h"
#include "lmvideo/rtp/RtpPacket.h"

class RtpDepacketizer
{
public:
    virtual ~RtpDepacketizer() = default;

    // One whole RTP packet; completed pictures wait for Pop.
    void Push(const uint8_t* p, size_t n);
    // Ends the open picture, as at the end of the stream.
    void Flush();
    // Takes the oldest complete picture; false when none is waiting.
    bool Pop(AccessUnit& out) { return m_queue.Pop(out); }

    uint32_t DroppedPictures() const { return m_nDroppedPictures; }
    uint32_t RejectedPackets() const { return m_nRejectedPackets; }

protected:
    // Appends one packet's payload to the picture; false when the payload is malformed or
    // does not follow on from the packets before it.
    virtual bool AppendPayload(const RtpPacketView& packet, AccessUnit& unit) = 0;
    // Completes the picture at its end; false when it is still unfinished inside.
    virtual bool FinishPicture(AccessUnit& unit) = 0;
    // Forgets any payload state at the start of a picture.
    virtual void ResetPicture() = 0;
    // Whether the packet plainly opens a picture, so that packets lost before it were
    // none of this picture's.
    virtual bool OpensPicture(const RtpPacketView& packet) const = 0;

private:
    void BeginPicture(uint32_t nTimestamp);
    void EndPicture();

    AccessUnitQueue m_queue;
    AccessUnit m_unit;
    bool m_bOpen = false;
    bool m_bDamaged = false;
    bool m_bHaveSequence = false;
    uint16_t m_nNextSequence = 0;
    uint32_t m_nSsrc = 0;
    uint32_t m_nDroppedPictures = 0;
    uint32_t m_nRejectedPackets = 0;
};
