// Rebuilds H.264 pictures as Annex-B byte streams from RTP units (RFC 6184,
// non-interleaved: single NAL units, STAP-A and FU-A).
#pragma once
#include "lmvideo/rtp/RtpDepacketizer.h"

class H264Depacketizer : public RtpDepacketizer
{
protected:
    bool AppendPayload(const RtpPacketView& packet, AccessUnit& unit) override;
    bool FinishPicture(AccessUnit& unit) override { return !m_bInFragment; }
    void ResetPicture() override { m_bInFragment = false; }
    bool OpensPicture(const RtpPacketView& packet) const override;

private:
    bool AppendStapA(const uint8_t* p, size_t n, AccessUnit& unit);
    bool AppendFuA(const uint8_t* p, size_t n, AccessUnit& unit);

    bool m_bInFragment = false;
    uint8_t m_nFragmentType = 0;
};
