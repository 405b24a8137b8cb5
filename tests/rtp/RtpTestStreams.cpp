// Synthetic coded pictures for the RTP tests.
#include "tests/rtp/RtpTestStreams.h"

#include "lmvideo/rtp/RtpPacket.h"

void FillNonZero(uint8_t* p, size_t n, uint32_t seed)
{
    uint32_t x = seed * 2654435761u + 12345;
    for (size_t i = 0; i < n; ++i)
    {
        x = x * 1664525u + 1013904223u;
        p[i] = static_cast<uint8_t>(1 + (x >> 24) % 255);
    }
}

Bytes MakeNal(uint8_t type, size_t n, uint32_t seed)
{
    Bytes nal(n);
    FillNonZero(nal.data(), n, seed);
    nal[0] = static_cast<uint8_t>(0x60 | type);
    return nal;
}

Bytes MakeSlice(uint8_t type, bool bFirst, size_t n, uint32_t seed)
{
    Bytes nal = MakeNal(type, n, seed);
    if (n > 1) nal[1] = bFirst ? (nal[1] | 0x80) : ((nal[1] & 0x7F) | 0x01);
    return nal;
}

Bytes MakeAnnexB(const std::vector<Bytes>& nals)
{
    Bytes out;
    for (const Bytes& nal : nals)
    {
        out.insert(out.end(), {0, 0, 0, 1});
        out.insert(out.end(), nal.begin(), nal.end());
    }
    return out;
}

Packets SplitUnits(const uint8_t* p, const uint32_t* sizes, size_t count)
{
    Packets packets;
    for (size_t i = 0; i < count; ++i)
    {
        packets.emplace_back(p, p + sizes[i]);
        p += sizes[i];
    }
    return packets;
}

Bytes MakeRtp(uint16_t seq, uint32_t ts, bool marker, uint8_t pt, const Bytes& payload, uint32_t ssrc)
{
    Bytes packet(kRtpHeaderBytes);
    WriteRtpHeader(packet.data(), marker, pt, seq, ts, ssrc);
    packet.insert(packet.end(), payload.begin(), payload.end());
    return packet;
}

std::vector<AccessUnit> Depacketize(RtpDepacketizer& d, const Packets& packets)
{
    std::vector<AccessUnit> units;
    AccessUnit unit;
    auto drain = [&]
    {
        while (d.Pop(unit))
            units.push_back(unit);
    };
    for (const Bytes& packet : packets)
    {
        d.Push(packet.data(), packet.size());
        drain();
    }
    d.Flush();
    drain();
    return units;
}

namespace
{
class BitWriter
{
public:
    void Put(uint32_t v, unsigned n)
    {
        for (unsigned i = n; i-- > 0;)
        {
            if (m_nBit % 8 == 0) bytes.push_back(0);
            if ((v >> i) & 1) bytes.back() |= static_cast<uint8_t>(0x80 >> (m_nBit % 8));
            ++m_nBit;
        }
    }
    void Align()
    {
        while (m_nBit % 8)
            Put(0, 1);
    }
    size_t Bit() const { return m_nBit; }

    Bytes bytes;

private:
    size_t m_nBit = 0;
};
} // namespace

H263TestPicture MakeH263Picture(bool bIntra, uint8_t nTemporalReference,
                                const std::vector<size_t>& groupBytes, size_t nMacroblockBits)
{
    H263TestPicture pic;
    BitWriter w;
    w.Put(0x20, 22);
    w.Put(nTemporalReference, 8);
    w.Put(2, 2); // type field marker bits
    w.Put(0, 3); // no split screen, document camera, freeze release
    w.Put(2, 3); // QCIF
    w.Put(bIntra ? 0 : 1, 1);
    w.Put(0b1010, 4); // unrestricted vectors, no arithmetic coding, advanced prediction, no PB-frames
    w.Put(10, 5);     // quant
    w.Put(0, 2);      // no continuous presence, no extra information
    for (size_t g = 0; g < groupBytes.size(); ++g)
    {
        if (g > 0)
        {
            w.Align();
            w.Put(1, 17);
            w.Put(static_cast<uint32_t>(g), 5);
            w.Put(0, 4);
            w.Put(12, 5);
        }
        Bytes body(groupBytes[g]);
        FillNonZero(body.data(), body.size(), static_cast<uint32_t>(g + 100 * nTemporalReference));
        for (size_t k = 1; nMacroblockBits && k * nMacroblockBits < body.size() * 8; ++k)
        {
            H263MacroblockInfo mb;
            mb.nBitOffset = static_cast<uint32_t>(w.Bit() + k * nMacroblockBits);
            mb.nQuant = static_cast<uint8_t>(8 + k % 5);
            mb.nGob = static_cast<uint8_t>(g);
            mb.nAddress = static_cast<uint16_t>(k);
            mb.nHmv1 = static_cast<int8_t>(-int(k % 31));
            mb.nVmv1 = static_cast<int8_t>(k % 29);
            pic.macroblocks.push_back(mb);
        }
        for (uint8_t b : body)
            w.Put(b, 8);
    }
    w.Align();
    pic.bits = w.bytes;
    return pic;
}
