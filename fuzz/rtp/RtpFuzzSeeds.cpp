// Writes the RTP fuzzers' starting corpora: units our packetizers make of synthetic H.264 and
// H.263 pictures, whole and then cut, duplicated, reordered, thinned and bit-flipped, and
// the same pictures as plain streams for the decoders' front.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "lmvideo/rtp/H263Packetizer.h"
#include "lmvideo/rtp/H264Packetizer.h"
#include "tests/rtp/RtpTestStreams.h"

namespace fs = std::filesystem;

namespace
{
[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "rtp_fuzz_seeds: %s\n", why);
    std::exit(1);
}

struct Coded
{
    std::vector<Bytes> pictures;
    Packets packets;
};

void AddUnits(Packets& packets, const Bytes& buffer, const std::vector<uint32_t>& sizes, size_t count)
{
    for (Bytes& p : SplitUnits(buffer.data(), sizes.data(), count))
        packets.push_back(std::move(p));
}

Coded H264Pictures()
{
    Coded c;
    c.pictures = {MakeAnnexB({MakeNal(7, 12, 1), MakeNal(8, 5, 2), MakeSlice(5, true, 3000, 3)}),
                  MakeAnnexB({MakeSlice(1, true, 200, 4), MakeSlice(1, false, 40, 5)}),
                  MakeAnnexB({MakeNal(6, 9, 6), MakeSlice(1, true, 1400, 7)})};
    H264Packetizer packetizer(0x5EED, 65534, false);
    Bytes buffer(1 << 16);
    std::vector<uint32_t> sizes(64);
    for (size_t i = 0; i < c.pictures.size(); ++i)
    {
        RtpUnitWriter writer(buffer.data(), buffer.size(), sizes.data(), sizes.size());
        if (!packetizer.Packetize(c.pictures[i].data(), c.pictures[i].size(), uint32_t(3000 * i), writer))
            Fail("H.264 picture refused");
        AddUnits(c.packets, buffer, sizes, writer.UnitCount());
    }
    return c;
}

Coded H263Pictures()
{
    Coded c;
    H263Packetizer packetizer(0x5EED, 65534);
    Bytes buffer(1 << 16);
    std::vector<uint32_t> sizes(64);
    const std::vector<std::vector<size_t>> groups = {{300, 2000, 100}, {150, 150}, {3000}};
    for (size_t i = 0; i < groups.size(); ++i)
    {
        H263TestPicture pic = MakeH263Picture(i == 0, uint8_t(i), groups[i], 411);
        RtpUnitWriter writer(buffer.data(), buffer.size(), sizes.data(), sizes.size());
        if (!packetizer.Packetize(pic.bits.data(), pic.bits.size(), uint32_t(3000 * i),
                                  pic.macroblocks.data(), pic.macroblocks.size(), writer))
            Fail("H.263 picture refused");
        AddUnits(c.packets, buffer, sizes, writer.UnitCount());
        c.pictures.push_back(pic.bits);
    }
    return c;
}

// The ways a network or a hostile sender spoils a run of packets.
std::vector<std::pair<std::string, Packets>> Spoilt(const Packets& packets)
{
    std::vector<std::pair<std::string, Packets>> out = {{"whole", packets}};
    Packets cut, doubled, reordered, thinned, flipped;
    for (size_t i = 0; i < packets.size(); ++i)
    {
        const Bytes& p = packets[i];
        cut.emplace_back(p.begin(), p.begin() + p.size() * (i % 3 + 1) / 4);
        doubled.push_back(p);
        doubled.push_back(p);
        if (i % 3 != 1) thinned.push_back(p);
        Bytes f = p;
        f[(i * 7919) % f.size()] ^= uint8_t(1 << (i % 8));
        flipped.push_back(f);
    }
    reordered = packets;
    for (size_t i = 0; i + 1 < reordered.size(); i += 2)
        std::swap(reordered[i], reordered[i + 1]);
    out.push_back({"cut", cut});
    out.push_back({"duplicated", doubled});
    out.push_back({"reordered", reordered});
    out.push_back({"thinned", thinned});
    out.push_back({"bit-flipped", flipped});
    return out;
}

Packets Pieces(const std::vector<Bytes>& pictures, size_t nPiece)
{
    Bytes all;
    for (const Bytes& p : pictures)
        all.insert(all.end(), p.begin(), p.end());
    Packets pieces;
    for (size_t i = 0; i < all.size(); i += nPiece)
        pieces.emplace_back(all.begin() + i, all.begin() + std::min(all.size(), i + nPiece));
    return pieces;
}

void Write(const fs::path& folder, const std::string& name, const Bytes& prefix, const Packets& blocks)
{
    fs::create_directories(folder);
    Bytes file = prefix;
    for (const Bytes& b : blocks)
    {
        file.push_back(uint8_t(b.size() >> 8));
        file.push_back(uint8_t(b.size()));
        file.insert(file.end(), b.begin(), b.end());
    }
    std::ofstream(folder / ("seed-" + name), std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: rtp_fuzz_seeds <corpus folder>\n");
        return 2;
    }
    const fs::path corpus = argv[1];
    const std::pair<const char*, Coded> codecs[] = {{"h264", H264Pictures()}, {"h263", H263Pictures()}};
    for (const auto& [codec, coded] : codecs)
    {
        const Bytes frontCodec = {uint8_t(codec == std::string("h264") ? 0 : 1)};
        for (const auto& [name, packets] : Spoilt(coded.packets))
        {
            Write(corpus / (std::string("fuzz_rtp_") + codec), name, {}, packets);
            Write(corpus / "fuzz_rtp_front", std::string(codec) + "-rtp-" + name, frontCodec, packets);
        }
        for (size_t nPiece : {1000, 77})
            Write(corpus / "fuzz_rtp_front", std::string(codec) + "-stream-" + std::to_string(nPiece),
                  frontCodec, Pieces(coded.pictures, nPiece));
    }
    return 0;
}
