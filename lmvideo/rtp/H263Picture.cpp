// H.263 picture headers.
#include "lmvideo/rtp/H263Picture.h"

#include "lmvideo/rtp/RtpReaders.h"

bool ParseH263PictureHeader(const uint8_t* p, size_t n, H263PictureHeader& out)
{
    BitReader r(p, n);
    if (r.Bits(22) != 0x20) return false;
    out.nTemporalReference = static_cast<uint8_t>(r.Bits(8));
    // The type field opens with the bits 1 and 0; then split screen, document camera and
    // freeze release, which nothing here uses.
    if (r.Bits(2) != 2) return false;
    r.Bits(3);
    out.nSourceFormat = static_cast<uint8_t>(r.Bits(3));
    if (out.nSourceFormat != 7)
    {
        out.bInter = r.Bits(1) != 0;
        out.bUnrestrictedVectors = r.Bits(1) != 0;
        out.bArithmeticCoding = r.Bits(1) != 0;
        out.bAdvancedPrediction = r.Bits(1) != 0;
        out.bPbFrames = r.Bits(1) != 0;
        return r.Ok();
    }
    // The extended type: its options (when updated), then the picture type, 0 for intra.
    if (r.Bits(3) == 1) r.Bits(18);
    out.bInter = r.Bits(3) != 0;
    return r.Ok();
}
