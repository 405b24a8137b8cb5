// H.263 over RTP: units start at groups of blocks (mode A) or reported macroblocks (mode B),
// stay within the unit size, and every mode's units join back into the picture bit for bit.
#include <gtest/gtest.h>

#include "lmvideo/rtp/H263Depacketizer.h"
#include "lmvideo/rtp/H263Packetizer.h"
#include "lmvideo/rtp/H263Picture.h"
#include "lmvideo/rtp/RtpPacket.h"
#include "tests/rtp/RtpTestStreams.h"

namespace
{
Packets Packetize(H263Packetizer& packetizer, const H263TestPicture& pic, uint32_t ts, bool bWithMacroblocks,
                  bool* pOk = nullptr)
{
    Bytes buffer(1 << 20);
    uint32_t sizes[1024];
    RtpUnitWriter writer(buffer.data(), buffer.size(), sizes, 1024);
    bool bOk = packetizer.Packetize(pic.bits.data(), pic.bits.size(), ts, pic.macroblocks.data(),
                                    bWithMacroblocks ? pic.macroblocks.size() : 0, writer);
    if (pOk) *pOk = bOk;
    return bOk ? SplitUnits(buffer.data(), sizes, writer.UnitCount()) : Packets();
}

// The picture's bits [from, to) as a unit of the given mode (0 A, 1 B, 2 C) would carry them.
Bytes Unit2190(const Bytes& bits, size_t from, size_t to, int mode, bool bInter = true)
{
    static const size_t kHeader[] = {4, 8, 12};
    Bytes payload(bits.begin() + from / 8, bits.begin() + (to + 7) / 8);
    payload.insert(payload.begin(), kHeader[mode], 0);
    payload[0] =
        static_cast<uint8_t>((mode ? 0x80 : 0) | (mode == 2 ? 0x40 : 0) | (from % 8) << 3 | (8 - to % 8) % 8);
    payload[1] = 2 << 5;
    if (bInter) payload[mode ? 4 : 1] |= mode ? 0x80 : 0x10;
    return payload;
}

uint32_t Bits(const uint8_t* p, size_t from, unsigned n)
{
    uint32_t v = 0;
    for (size_t i = from; i < from + n; ++i)
        v = v << 1 | ((p[i / 8] >> (7 - i % 8)) & 1);
    return v;
}
} // namespace

TEST(H263Rtp, UnitsRebuildThePictureBitForBit)
{
    struct
    {
        const char* name;
        bool bIntra;
        std::vector<size_t> groups;
        size_t nMacroblockBits;
        bool bModeB; // some unit starts between macroblocks
    } cases[] = {
        {"small picture", true, {100, 100}, 0, false},
        {"whole groups fill units", false, {700, 700, 700, 300, 1300}, 0, false},
        {"one group too large", false, {200, 5000, 300}, 411, true},
        {"picture without groups", true, {20000}, 997, true},
        {"macroblocks reported but not needed", true, {500, 500}, 403, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        H263TestPicture pic = MakeH263Picture(c.bIntra, 77, c.groups, c.nMacroblockBits);
        H263Packetizer packetizer(5, 65535);
        Packets packets = Packetize(packetizer, pic, 180000, true);
        ASSERT_FALSE(packets.empty());
        bool bSawModeB = false;
        unsigned nOpenBits = 0;
        for (size_t i = 0; i < packets.size(); ++i)
        {
            SCOPED_TRACE(i);
            EXPECT_LE(packets[i].size(), kRtpMaxUnitBytes);
            RtpPacketView v;
            ASSERT_TRUE(ParseRtpPacket(packets[i].data(), packets[i].size(), v));
            EXPECT_EQ(kRtpPayloadH263, v.nPayloadType);
            EXPECT_EQ(uint16_t(65535 + i), v.nSequence);
            EXPECT_EQ(i + 1 == packets.size(), v.bMarker);
            const uint8_t* h = v.pPayload;
            unsigned sbit = (h[0] >> 3) & 7, ebit = h[0] & 7;
            EXPECT_EQ(0u, (sbit + nOpenBits) % 8);
            nOpenBits = ebit;
            EXPECT_EQ(2, h[1] >> 5); // QCIF
            if (h[0] & 0x80)
            {
                EXPECT_EQ(0, h[0] & 0x40); // mode B, never C
                bSawModeB = true;
                EXPECT_EQ(!c.bIntra, (h[4] >> 7) != 0);
                // The header names the macroblock the unit starts with.
                size_t nFirstBit = 0;
                const H263MacroblockInfo* pMb = nullptr;
                for (const H263MacroblockInfo& mb : pic.macroblocks)
                    if (mb.nQuant == (h[1] & 0x1F) && mb.nGob == (h[2] >> 3) &&
                        mb.nAddress == (((h[2] & 7) << 6) | (h[3] >> 2)) && mb.nBitOffset % 8 == sbit)
                        pMb = &mb, nFirstBit = mb.nBitOffset;
                ASSERT_NE(nullptr, pMb);
                EXPECT_EQ(uint32_t(pMb->nHmv1 & 0x7F), Bits(h + 4, 4, 7));
                EXPECT_EQ(uint32_t(pMb->nVmv1 & 0x7F), Bits(h + 4, 11, 7));
                EXPECT_EQ(Bits(pic.bits.data(), nFirstBit, 8), Bits(h + 8, sbit, 8));
            }
            else
            {
                // Mode A: at the picture or a group start, with the picture's type and time.
                EXPECT_EQ(0u, sbit);
                EXPECT_TRUE(IsH263StartCode(h + 4));
                EXPECT_EQ(!c.bIntra, (h[1] >> 4) & 1);
                EXPECT_EQ(0b1010, h[1] & 0x0F);
                EXPECT_EQ(77, h[3]);
            }
        }
        EXPECT_EQ(c.bModeB, bSawModeB);
        H263Depacketizer depacketizer;
        std::vector<AccessUnit> units = Depacketize(depacketizer, packets);
        ASSERT_EQ(1u, units.size());
        EXPECT_EQ(pic.bits, units[0].data);
        EXPECT_EQ(c.bIntra, units[0].bKey);
        EXPECT_EQ(180000u, units[0].nTimestamp);
    }
}

TEST(H263Rtp, RefusedPicturesLeaveTheSequenceAlone)
{
    H263TestPicture big = MakeH263Picture(true, 1, {3000}, 0);
    H263TestPicture pb = MakeH263Picture(true, 1, {50}, 0);
    pb.bits[5] |= 0x20; // the PB-frames bit
    H263TestPicture plus = MakeH263Picture(true, 1, {50}, 0);
    plus.bits[4] |= 0x1C; // source format 7: the extended type
    H263TestPicture notPicture = MakeH263Picture(true, 1, {50}, 0);
    notPicture.bits[2] = 0x84; // a group start code, not a picture's
    struct
    {
        const char* name;
        const H263TestPicture& pic;
    } cases[] = {{"group too large without macroblocks", big},
                 {"PB-frames", pb},
                 {"extended type", plus},
                 {"no picture start", notPicture}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        H263Packetizer packetizer(5, 40);
        bool bOk = true;
        Packetize(packetizer, c.pic, 0, true, &bOk);
        EXPECT_FALSE(bOk);
        Packets next = Packetize(packetizer, MakeH263Picture(true, 2, {50}, 0), 0, true);
        ASSERT_EQ(1u, next.size());
        EXPECT_EQ(40, next[0][2] << 8 | next[0][3]);
    }
}

TEST(H263Rtp, ModesAbcJoinSharedBytes)
{
    H263TestPicture pic = MakeH263Picture(false, 9, {400, 300}, 0);
    const size_t nBits = pic.bits.size() * 8;
    struct
    {
        const char* name;
        std::vector<size_t> cuts; // first bit of each unit
        std::vector<int> modes;
        bool bOk;
    } cases[] = {
        {"modes A, B, C", {0, 803, 1600, 2405}, {0, 1, 2, 2}, true},
        {"bytes shared twice in a row", {0, 803, 806, 1700}, {0, 2, 1, 1}, true},
        {"aligned splits", {0, 800, 1600}, {0, 1, 2}, true},
        {"a unit inside one byte", {0, 803, 805, 900}, {0, 1, 2, 1}, true},
        {"first unit starts inside a byte", {3, 800}, {1, 1}, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Packets packets;
        for (size_t i = 0; i < c.cuts.size(); ++i)
        {
            size_t to = i + 1 < c.cuts.size() ? c.cuts[i + 1] : nBits;
            packets.push_back(MakeRtp(uint16_t(i), 500, i + 1 == c.cuts.size(), 34,
                                      Unit2190(pic.bits, c.cuts[i], to, c.modes[i])));
        }
        H263Depacketizer depacketizer;
        std::vector<AccessUnit> units = Depacketize(depacketizer, packets);
        ASSERT_EQ(c.bOk ? 1u : 0u, units.size());
        if (!c.bOk) continue;
        Bytes expected = pic.bits;
        if (c.cuts[0] % 8) expected.erase(expected.begin());
        EXPECT_EQ(expected, units[0].data);
        EXPECT_FALSE(units[0].bKey);
    }
}

TEST(H263Rtp, MismatchedOrCutUnitsDropThePicture)
{
    H263TestPicture pic = MakeH263Picture(true, 9, {400}, 0);
    const size_t nBits = pic.bits.size() * 8;
    Bytes wrongSplit = Unit2190(pic.bits, 803, nBits, 1);
    wrongSplit[0] = static_cast<uint8_t>((wrongSplit[0] & ~0x38) | 2 << 3); // SBIT 2 after EBIT 5
    Bytes headerOnly = Unit2190(pic.bits, 803, nBits, 2);
    headerOnly.resize(12);
    struct
    {
        const char* name;
        Bytes second;
    } cases[] = {
        {"start bits disagree with the end bits before", wrongSplit},
        {"header only", headerOnly},
        {"cut inside the header", {0x80, 0x40, 0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Packets packets = {MakeRtp(1, 500, false, 34, Unit2190(pic.bits, 0, 803, 0, false)),
                           MakeRtp(2, 500, true, 34, c.second),
                           MakeRtp(3, 600, true, 34, Unit2190(pic.bits, 0, nBits, 0, false))};
        H263Depacketizer depacketizer;
        std::vector<AccessUnit> units = Depacketize(depacketizer, packets);
        ASSERT_EQ(1u, units.size());
        EXPECT_EQ(600u, units[0].nTimestamp);
        EXPECT_TRUE(units[0].bAfterLoss);
        EXPECT_EQ(pic.bits, units[0].data);
        EXPECT_TRUE(units[0].bKey);
    }
}

TEST(H263Rtp, MacroblockSideDataIsReadAsTheEncoderWritesIt)
{
    const Bytes side = {0x34, 0x12, 0, 0, 9, 3, 0x05, 0x01, 0xFE, 2, 0, 0, /* cut record */ 1, 2, 3};
    std::vector<H263MacroblockInfo> mbs = ReadH263MacroblockInfo(side.data(), side.size());
    ASSERT_EQ(1u, mbs.size());
    EXPECT_EQ(0x1234u, mbs[0].nBitOffset);
    EXPECT_EQ(9, mbs[0].nQuant);
    EXPECT_EQ(3, mbs[0].nGob);
    EXPECT_EQ(0x105, mbs[0].nAddress);
    EXPECT_EQ(-2, mbs[0].nHmv1);
    EXPECT_EQ(2, mbs[0].nVmv1);
}
