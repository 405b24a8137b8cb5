// An RTP capture played over and over as one endless stream, for the decoding benchmarks natively
// and under Wine: each pass continues the sequence numbers and time stamps where the last one
// ended, as a sender would go on.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class RtpLoop
{
public:
    using Bytes = std::vector<uint8_t>;

    // The packets of a capture file (each as a 16-bit big-endian length and its bytes); stops at
    // anything too short for an RTP header or cut short.
    static std::vector<Bytes> ReadCapture(const Bytes& file)
    {
        std::vector<Bytes> packets;
        for (size_t at = 0; at + 2 <= file.size();)
        {
            const size_t n = static_cast<size_t>(file[at] << 8 | file[at + 1]);
            if (n < 12 || at + 2 + n > file.size()) break;
            packets.emplace_back(file.begin() + static_cast<ptrdiff_t>(at + 2),
                                 file.begin() + static_cast<ptrdiff_t>(at + 2 + n));
            at += 2 + n;
        }
        return packets;
    }

    // packets: a capture with at least one packet.
    explicit RtpLoop(std::vector<Bytes> packets) : m_packets(std::move(packets))
    {
        uint32_t step = 0;
        size_t nLargest = 0;
        for (size_t i = 0; i < m_packets.size(); ++i)
        {
            nLargest = std::max(nLargest, m_packets[i].size());
            if (i == 0 || Timestamp(m_packets[i]) != Timestamp(m_packets[i - 1]))
                m_pictureStarts.push_back(i);
            const uint32_t d = i ? Timestamp(m_packets[i]) - Timestamp(m_packets[i - 1]) : 0;
            if (d && (!step || d < step)) step = d;
        }
        m_pictureStarts.push_back(m_packets.size());
        m_nSpan = Timestamp(m_packets.back()) - Timestamp(m_packets.front()) + step;
        m_packet.resize(nLargest);
    }

    size_t PicturesPerPass() const { return m_pictureStarts.size() - 1; }

    // Calls f(packet, bytes) for every packet of pass nPass.
    template <class F> void Pass(uint32_t nPass, F&& f)
    {
        for (size_t i = 0; i < m_packets.size(); ++i)
            Hand(nPass, i, f);
    }

    // Calls f(packet, bytes) for every packet of picture n of the endless stream.
    template <class F> void Picture(uint64_t n, F&& f)
    {
        const auto nPass = static_cast<uint32_t>(n / PicturesPerPass());
        const size_t k = static_cast<size_t>(n % PicturesPerPass());
        for (size_t i = m_pictureStarts[k]; i < m_pictureStarts[k + 1]; ++i)
            Hand(nPass, i, f);
    }

private:
    static uint32_t Timestamp(const Bytes& p)
    {
        return static_cast<uint32_t>(p[4]) << 24 | p[5] << 16 | p[6] << 8 | p[7];
    }

    template <class F> void Hand(uint32_t nPass, size_t i, F&& f)
    {
        const Bytes& p = m_packets[i];
        uint8_t* packet = m_packet.data();
        std::copy(p.begin(), p.end(), packet);
        const auto seq = static_cast<uint16_t>((p[2] << 8 | p[3]) + nPass * m_packets.size());
        const uint32_t ts = Timestamp(p) + nPass * m_nSpan;
        packet[2] = static_cast<uint8_t>(seq >> 8), packet[3] = static_cast<uint8_t>(seq);
        for (int b = 0; b < 4; ++b)
            packet[4 + b] = static_cast<uint8_t>(ts >> (24 - 8 * b));
        f(static_cast<const uint8_t*>(packet), static_cast<int32_t>(p.size()));
    }

    std::vector<Bytes> m_packets;
    std::vector<size_t> m_pictureStarts; // first packet of each picture, and the end
    Bytes m_packet;                      // the packet being handed over, with its new numbers
    uint32_t m_nSpan = 0;                // time-stamp advance of one pass
};
