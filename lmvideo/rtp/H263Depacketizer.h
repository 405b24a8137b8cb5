// Rebuilds H.263 pictures from RTP units (RFC 2190 modes A, B and C), joining the bits of a
// byte that two units share.
#pragma once
#include "lmvideo/rtp/RtpDepacketizer.h"

class H263Depacketizer : public RtpDepacketizer
{
protected:
    bool AppendPayload(const RtpPacketView& packet, AccessUnit& unit) override;
    bool FinishPicture(AccessUnit& unit) override;
    void ResetPicture() override { m_nOpenBits = 0; }
    bool OpensPicture(const RtpPacketView& packet) const override;

private:
    // Bits at the end of the picture's last byte that the next unit brings (the EBIT of the
    // unit before).
    unsigned m_nOpenBits = 0;
};
