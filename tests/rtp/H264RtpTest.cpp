// H.264 over RTP: our units rebuild the picture they came from, stay within the unit size,
// and lay out aggregates and fragments as receivers read them; losses cost one picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "lmvideo/rtp/H264Depacketizer.h"
#include "lmvideo/rtp/H264Packetizer.h"
#include "lmvideo/rtp/RtpPacket.h"
#include "tests/rtp/RtpTestStreams.h"

namespace
{
constexpr size_t kPayload = kRtpMaxUnitBytes - kRtpHeaderBytes;

struct Output
{
    Bytes buffer = Bytes(1 << 20);
    uint32_t sizes[1024] = {};
};

// The picture's units, or none when the packetizer refused it.
Packets Packetize(H264Packetizer& packetizer, const Bytes& au, uint32_t ts, bool* pOk = nullptr)
{
    Output out;
    RtpUnitWriter writer(out.buffer.data(), out.buffer.size(), out.sizes, 1024);
    bool bOk = packetizer.Packetize(au.data(), au.size(), ts, writer);
    if (pOk) *pOk = bOk;
    return bOk ? SplitUnits(out.buffer.data(), out.sizes, writer.UnitCount()) : Packets();
}

RtpPacketView View(const Bytes& packet)
{
    RtpPacketView view;
    EXPECT_TRUE(ParseRtpPacket(packet.data(), packet.size(), view));
    return view;
}

std::vector<Bytes> Nals(std::initializer_list<std::pair<uint8_t, size_t>> shape)
{
    std::vector<Bytes> nals;
    uint32_t seed = 1;
    for (auto [type, size] : shape)
        nals.push_back(type == 1 || type == 5 ? MakeSlice(type, true, size, seed++)
                                              : MakeNal(type, size, seed++));
    return nals;
}

// Three pictures of three slices each (sequence 10..18, time stamps 3000 apart).
Packets ThreePictures(std::vector<Bytes>* pPictures)
{
    H264Packetizer packetizer(7, 10, true);
    Packets packets;
    for (uint32_t i = 0; i < 3; ++i)
    {
        uint8_t type = i == 0 ? 5 : 1;
        Bytes au = MakeAnnexB({MakeSlice(type, true, 300 + i, i), MakeSlice(type, false, 200, 10 + i),
                               MakeSlice(type, false, 100, 20 + i)});
        pPictures->push_back(au);
        for (Bytes& p : Packetize(packetizer, au, 3000 * (i + 1)))
            packets.push_back(p);
    }
    return packets;
}
} // namespace

TEST(H264Rtp, UnitsRebuildTheirPictureWithinTheUnitSize)
{
    struct
    {
        const char* name;
        std::initializer_list<std::pair<uint8_t, size_t>> shape;
        bool bCompat;
    } cases[] = {
        {"one small unit", {{5, 40}}, false},
        {"parameter sets and a slice", {{7, 12}, {8, 5}, {5, 900}}, false},
        {"aggregate exactly full", {{1, 600}, {1, kPayload - 1 - 2 - 600 - 2}}, false},
        {"aggregate one byte over", {{1, 600}, {1, kPayload - 1 - 2 - 600 - 2 + 1}}, false},
        {"unit exactly the payload", {{1, kPayload}}, false},
        {"unit one byte over", {{1, kPayload + 1}}, false},
        {"large unit in fragments", {{5, 10000}}, false},
        {"mixed", {{9, 2}, {6, 30}, {1, 4000}, {1, 3}, {1, kPayload}, {1, 1}}, false},
        {"compat small units", {{7, 12}, {8, 5}, {5, 1300}, {1, kPayload}}, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        H264Packetizer packetizer(0x1234, 65530, c.bCompat);
        Bytes au = MakeAnnexB(Nals(c.shape));
        Packets packets = Packetize(packetizer, au, 90000);
        ASSERT_FALSE(packets.empty());
        for (size_t i = 0; i < packets.size(); ++i)
        {
            EXPECT_LE(packets[i].size(), kRtpMaxUnitBytes);
            RtpPacketView v = View(packets[i]);
            EXPECT_EQ(kRtpPayloadH264, v.nPayloadType);
            EXPECT_EQ(uint16_t(65530 + i), v.nSequence);
            EXPECT_EQ(90000u, v.nTimestamp);
            EXPECT_EQ(i + 1 == packets.size(), v.bMarker);
            if (c.bCompat)
            {
                uint8_t type = v.pPayload[0] & 0x1F;
                EXPECT_TRUE(type >= 1 && type <= 23) << int(type);
            }
        }
        if (c.bCompat)
        {
            EXPECT_EQ(c.shape.size(), packets.size());
        }
        H264Depacketizer depacketizer;
        std::vector<AccessUnit> units = Depacketize(depacketizer, packets);
        ASSERT_EQ(1u, units.size());
        EXPECT_EQ(au, units[0].data);
        bool bIdr = false;
        for (auto [type, size] : c.shape)
            bIdr = bIdr || type == 5;
        EXPECT_EQ(bIdr, units[0].bKey);
        EXPECT_FALSE(units[0].bAfterLoss);
    }
}

TEST(H264Rtp, FragmentsCarryStartAndEndFlags)
{
    Bytes nal = MakeSlice(5, true, 3000, 9);
    H264Packetizer packetizer(1, 0, false);
    Packets packets = Packetize(packetizer, MakeAnnexB({nal}), 0);
    ASSERT_EQ(3u, packets.size());
    Bytes body;
    for (size_t i = 0; i < packets.size(); ++i)
    {
        RtpPacketView v = View(packets[i]);
        EXPECT_EQ(0x60 | 28, v.pPayload[0]);
        uint8_t expected = static_cast<uint8_t>((i == 0 ? 0x80 : 0) | (i == 2 ? 0x40 : 0) | 5);
        EXPECT_EQ(expected, v.pPayload[1]) << i;
        body.insert(body.end(), v.pPayload + 2, v.pPayload + v.nPayload);
    }
    EXPECT_EQ(Bytes(nal.begin() + 1, nal.end()), body);
}

TEST(H264Rtp, AggregateListsEachUnitBehindItsSize)
{
    Bytes sps = MakeNal(7, 12, 1), pps = MakeNal(8, 5, 2), slice = MakeNal(5, 100, 3);
    sps[0] = 0x67, pps[0] = 0x48, slice[0] = 0x25; // importance 3, 2, 1: the aggregate takes 3
    H264Packetizer packetizer(1, 0, false);
    Packets packets = Packetize(packetizer, MakeAnnexB({sps, pps, slice}), 0);
    ASSERT_EQ(1u, packets.size());
    Bytes expected = {0x78, 0, 12};
    expected.insert(expected.end(), sps.begin(), sps.end());
    expected.insert(expected.end(), {0, 5});
    expected.insert(expected.end(), pps.begin(), pps.end());
    expected.insert(expected.end(), {0, 100});
    expected.insert(expected.end(), slice.begin(), slice.end());
    RtpPacketView v = View(packets[0]);
    EXPECT_EQ(expected, Bytes(v.pPayload, v.pPayload + v.nPayload));
}

TEST(H264Rtp, RefusedPicturesLeaveTheSequenceAlone)
{
    struct
    {
        const char* name;
        Bytes au;
        bool bCompat;
        size_t nCapacity;
    } cases[] = {
        {"compat unit too large", MakeAnnexB({MakeNal(1, kPayload + 1, 1)}), true, 1 << 20},
        {"no start code", Bytes(50, 0x11), false, 1 << 20},
        {"packetization type inside", MakeAnnexB({MakeNal(1, 50, 1), MakeNal(28, 50, 2)}), false, 1 << 20},
        {"output too small", MakeAnnexB({MakeNal(1, 5000, 1)}), false, 3000},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        H264Packetizer packetizer(1, 100, c.bCompat);
        Output out;
        RtpUnitWriter writer(out.buffer.data(), c.nCapacity, out.sizes, 1024);
        EXPECT_FALSE(packetizer.Packetize(c.au.data(), c.au.size(), 0, writer));
        Packets next = Packetize(packetizer, MakeAnnexB({MakeNal(1, 10, 3)}), 0);
        ASSERT_EQ(1u, next.size());
        EXPECT_EQ(100, View(next[0]).nSequence);
    }
}

TEST(H264Rtp, ALostPacketCostsOnlyItsPicture)
{
    // Packets 0-2, 3-5 and 6-8 are the three pictures; the middle one starts without a key.
    struct
    {
        const char* name;
        std::vector<size_t> lost;
        std::vector<size_t> pictures; // which pictures come out
        uint32_t nDropped;            // pictures seen in part and dropped
    } cases[] = {
        {"nothing lost", {}, {0, 1, 2}, 0},
        {"first packet of a picture", {3}, {0, 2}, 1},
        {"middle packet", {4}, {0, 2}, 1},
        {"marker packet", {5}, {0, 2}, 1},
        {"marker and the next picture's first", {5, 6}, {0}, 2},
        // The next picture opens with its first slice: none of the lost packets were its.
        {"whole middle picture", {3, 4, 5}, {0, 2}, 0},
        {"joined inside the first picture", {0}, {1, 2}, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<Bytes> pictures;
        Packets all = ThreePictures(&pictures);
        Packets received;
        for (size_t i = 0; i < all.size(); ++i)
            if (std::find(c.lost.begin(), c.lost.end(), i) == c.lost.end()) received.push_back(all[i]);
        H264Depacketizer depacketizer;
        std::vector<AccessUnit> units = Depacketize(depacketizer, received);
        ASSERT_EQ(c.pictures.size(), units.size());
        for (size_t i = 0; i < units.size(); ++i)
        {
            EXPECT_EQ(pictures[c.pictures[i]], units[i].data) << i;
            EXPECT_EQ(3000 * (c.pictures[i] + 1), units[i].nTimestamp);
            // A picture after a gap says so, whether or not the lost packets were its own.
            bool bGapBefore = i > 0 ? c.pictures[i] != c.pictures[i - 1] + 1 : c.pictures[i] != 0;
            EXPECT_EQ(bGapBefore, units[i].bAfterLoss) << i;
        }
        EXPECT_EQ(c.nDropped, depacketizer.DroppedPictures());
    }
}

TEST(H264Rtp, TimeStampChangeEndsAPictureWithoutMarker)
{
    Bytes a = MakeSlice(5, true, 50, 1), b = MakeSlice(5, false, 60, 2), c = MakeSlice(1, true, 70, 3);
    Packets packets = {MakeRtp(1, 100, false, 96, a), MakeRtp(2, 100, false, 96, b),
                       MakeRtp(3, 200, false, 96, c)};
    H264Depacketizer depacketizer;
    for (size_t i = 0; i < 3; ++i)
        depacketizer.Push(packets[i].data(), packets[i].size());
    AccessUnit unit;
    ASSERT_TRUE(depacketizer.Pop(unit));
    EXPECT_EQ(MakeAnnexB({a, b}), unit.data);
    EXPECT_TRUE(unit.bKey);
    EXPECT_FALSE(depacketizer.Pop(unit));
    depacketizer.Flush();
    ASSERT_TRUE(depacketizer.Pop(unit));
    EXPECT_EQ(MakeAnnexB({c}), unit.data);
    EXPECT_EQ(200u, unit.nTimestamp);
}

TEST(H264Rtp, MalformedPayloadsDropTheirPictureOnly)
{
    Bytes good = MakeSlice(1, true, 40, 1);
    Bytes fuBody = MakeNal(1, 40, 2);
    auto fu = [&](uint8_t flags)
    {
        Bytes p = fuBody;
        p[0] = 0x7C;
        p.insert(p.begin() + 1, static_cast<uint8_t>(flags | 1));
        return p;
    };
    struct
    {
        const char* name;
        std::vector<Bytes> payloads; // the middle picture's packets
    } cases[] = {
        {"aggregate size past its end", {{0x78, 0, 50, 0x61, 1, 2}}},
        {"aggregate with an empty unit", {{0x78, 0, 0}}},
        {"aggregate with nothing in it", {{0x78}}},
        {"fragment without start", {fu(0x00), fu(0x40)}},
        {"fragment never ended", {fu(0x80), fu(0x00)}},
        {"fragment started twice", {fu(0x80), fu(0x80), fu(0x40)}},
        {"fragment with start and end", {fu(0xC0)}},
        {"fragment cut before its header", {{0x7C}}},
        {"unit between fragments", {fu(0x80), good, fu(0x40)}},
        {"interleaved-mode type", {{0x79, 1, 2, 3}}},
        {"empty payload", {{}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Packets packets = {MakeRtp(1, 100, true, 96, good)};
        uint16_t seq = 2;
        for (size_t i = 0; i < c.payloads.size(); ++i)
            packets.push_back(MakeRtp(seq++, 200, i + 1 == c.payloads.size(), 96, c.payloads[i]));
        packets.push_back(MakeRtp(seq, 300, true, 96, good));
        H264Depacketizer depacketizer;
        std::vector<AccessUnit> units = Depacketize(depacketizer, packets);
        ASSERT_EQ(2u, units.size());
        EXPECT_EQ(100u, units[0].nTimestamp);
        EXPECT_EQ(300u, units[1].nTimestamp);
        EXPECT_TRUE(units[1].bAfterLoss);
        EXPECT_EQ(1u, depacketizer.DroppedPictures());
    }
}

TEST(H264Rtp, DuplicatesAndStrangersAreIgnored)
{
    std::vector<Bytes> pictures;
    Packets all = ThreePictures(&pictures);
    Packets received = {all[0], all[1], all[1], all[0], all[2]};
    Bytes padded = all[3];
    padded[0] |= 0x20; // padding bit: a last byte of 4 counts the padding
    padded.insert(padded.end(), {9, 9, 9, 4});
    received.push_back(padded);
    received.push_back({0x40, 0x60, 0, 13}); // version 1
    received.push_back({0x80, 0x60});        // cut header
    received.insert(received.end(), all.begin() + 4, all.end());
    H264Depacketizer depacketizer;
    std::vector<AccessUnit> units = Depacketize(depacketizer, received);
    ASSERT_EQ(3u, units.size());
    for (size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(pictures[i], units[i].data);
        EXPECT_FALSE(units[i].bAfterLoss);
    }
    EXPECT_EQ(4u, depacketizer.RejectedPackets());
}

TEST(H264Rtp, ANewSenderRestartsTheNumbering)
{
    Bytes a = MakeSlice(5, true, 50, 1), b = MakeSlice(5, true, 60, 2);
    Packets packets = {MakeRtp(1000, 100, true, 96, a, 1), MakeRtp(10, 200, true, 96, b, 2),
                       MakeRtp(11, 300, true, 96, b, 2)};
    H264Depacketizer depacketizer;
    std::vector<AccessUnit> units = Depacketize(depacketizer, packets);
    ASSERT_EQ(3u, units.size());
    EXPECT_FALSE(units[1].bAfterLoss);
    EXPECT_FALSE(units[2].bAfterLoss);
}
