// SEED against the published known-answer vectors, and the buffer routines' rules.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "confclient/network/SeedCipher.h"

namespace
{
struct KnownAnswer
{
    uint8_t key[16], plain[16], cipher[16];
};

const KnownAnswer kVectors[] = {
    {{0},
     {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F},
     {0x5E, 0xBA, 0xC6, 0xE0, 0x05, 0x4E, 0x16, 0x68, 0x19, 0xAF, 0xF1, 0xCC, 0x6D, 0x34, 0x6C, 0xDB}},
    {{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F},
     {0},
     {0xC1, 0x1F, 0x22, 0xF2, 0x01, 0x40, 0x50, 0x50, 0x84, 0x48, 0x35, 0x97, 0xE4, 0x37, 0x0F, 0x43}},
    {{0x47, 0x06, 0x48, 0x08, 0x51, 0xE6, 0x1B, 0xE8, 0x5D, 0x74, 0xBF, 0xB3, 0xFD, 0x95, 0x61, 0x85},
     {0x83, 0xA2, 0xF8, 0xA2, 0x88, 0x64, 0x1F, 0xB9, 0xA4, 0xE9, 0xA5, 0xCC, 0x2F, 0x13, 0x1C, 0x7D},
     {0xEE, 0x54, 0xD1, 0x3E, 0xBC, 0xAE, 0x70, 0x6D, 0x22, 0x6B, 0xC3, 0x14, 0x2C, 0xD4, 0x0D, 0x4A}},
    {{0x28, 0xDB, 0xC3, 0xBC, 0x49, 0xFF, 0xD8, 0x7D, 0xCF, 0xA5, 0x09, 0xB1, 0x1D, 0x42, 0x2B, 0xE7},
     {0xB4, 0x1E, 0x6B, 0xE2, 0xEB, 0xA8, 0x4A, 0x14, 0x8E, 0x2E, 0xED, 0x84, 0x59, 0x3C, 0x5E, 0xC7},
     {0x9B, 0x9B, 0x7B, 0xFC, 0xD1, 0x81, 0x3C, 0xB9, 0x5D, 0x0B, 0x36, 0x18, 0xF4, 0x0F, 0x51, 0x22}},
};

// The round keys of the all-zero key, round 1 first.
const uint32_t kZeroKeyRoundKeys[32] = {
    0x7c8f8c7e, 0xc737a22c, 0xff276cdb, 0xa7ca684a, 0x2f9d01a1, 0x70049e41, 0xae59b3c4, 0x4245e90c,
    0xa1d6400f, 0xdbc1394e, 0x85963508, 0x0c5f1fcb, 0xb684bda7, 0x61a4aeae, 0xd17e0741, 0xfee90aa1,
    0x76cc05d5, 0xe97a7394, 0x50ac6f92, 0x1b2666e5, 0x65b7904a, 0x8ec3a7b3, 0x2f7e2e22, 0xa2b121b9,
    0x4d0bfde4, 0x4e888d9b, 0x631c8ddc, 0x4378a6c4, 0x216af65f, 0x7878c031, 0x71891150, 0x98b255b0,
};
} // namespace

TEST(SeedCipher, KnownAnswerVectorsEncryptAndDecrypt)
{
    for (const KnownAnswer& v : kVectors)
    {
        SeedRoundKeys rk = SeedCipher::KeySchedule(v.key);
        uint8_t block[16];
        std::memcpy(block, v.plain, 16);
        SeedCipher::EncryptBlock(block, rk);
        EXPECT_EQ(0, std::memcmp(block, v.cipher, 16));
        SeedCipher::DecryptBlock(block, rk);
        EXPECT_EQ(0, std::memcmp(block, v.plain, 16));
    }
}

TEST(SeedCipher, KeyScheduleOfTheZeroKey)
{
    uint8_t key[16] = {};
    SeedRoundKeys rk = SeedCipher::KeySchedule(key);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(kZeroKeyRoundKeys[i], rk[i]) << "word " << i;
}

TEST(SeedCipher, BufferIsBlockwiseEcbWhateverItsLength)
{
    // Every block of a long buffer must equal the single-block result, across the
    // side-by-side groups and the single blocks that follow them.
    const KnownAnswer& v = kVectors[2];
    SeedRoundKeys rk = SeedCipher::KeySchedule(v.key);
    for (size_t nBlocks : {1u, 3u, 4u, 5u, 9u, 17u})
    {
        std::vector<uint8_t> buf(nBlocks * 16);
        for (size_t b = 0; b < nBlocks; ++b)
            std::memcpy(&buf[b * 16], v.plain, 16);
        EXPECT_EQ(buf.size(), SeedCipher::EncryptBuffer(buf.data(), buf.size(), buf.data(), rk));
        for (size_t b = 0; b < nBlocks; ++b)
            EXPECT_EQ(0, std::memcmp(&buf[b * 16], v.cipher, 16)) << nBlocks;
        std::vector<uint8_t> back(buf.size());
        EXPECT_EQ(buf.size(), SeedCipher::DecryptBuffer(buf.data(), buf.size(), back.data(), rk));
        for (size_t b = 0; b < nBlocks; ++b)
            EXPECT_EQ(0, std::memcmp(&back[b * 16], v.plain, 16)) << nBlocks;
    }
}

TEST(SeedCipher, LengthRulesOfTheBufferRoutines)
{
    SeedRoundKeys rk = SeedCipher::KeySchedule(kVectors[0].key);
    uint8_t src[32] = {1, 2, 3};
    uint8_t dst[32] = {};
    EXPECT_EQ(0u, SeedCipher::EncryptBuffer(src, 0, dst, rk));
    EXPECT_EQ(0u, SeedCipher::DecryptBuffer(src, 0, dst, rk));
    // A partial block is ciphered whole: the target's bytes past the length take part.
    EXPECT_EQ(16u, SeedCipher::EncryptBuffer(src, 1, dst, rk));
    EXPECT_EQ(32u, SeedCipher::EncryptBuffer(src, 17, dst, rk));

    struct
    {
        size_t in, out;
    } rounding[] = {{0, 0}, {1, 16}, {15, 16}, {16, 16}, {17, 32}, {0x7fff0, 0x7fff0}};
    for (auto r : rounding)
        EXPECT_EQ(r.out, SeedCipher::RoundUp(r.in)) << r.in;
}
