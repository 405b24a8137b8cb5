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
    auto drain = [&] {
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
