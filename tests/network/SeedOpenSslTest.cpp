// SEED cross-checked against OpenSSL's implementation (legacy provider) for
// random keys and lengths: round keys and ECB ciphertexts must agree.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/crypto.h>
#include <openssl/provider.h>
#include <openssl/seed.h>

#include <random>
#include <vector>

#include "confclient/network/SeedCipher.h"

namespace
{
std::vector<uint8_t> OpenSslEcb(const uint8_t key[16], const std::vector<uint8_t>& in, bool bEncrypt)
{
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "SEED-ECB", nullptr);
    EXPECT_NE(nullptr, cipher) << "OpenSSL's legacy provider has no SEED";
    std::vector<uint8_t> out(in.size() + 16);
    if (!cipher) return out;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, cipher, nullptr, key, nullptr, bEncrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    int n = 0, m = 0;
    EVP_CipherUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size()));
    EVP_CipherFinal_ex(ctx, out.data() + n, &m);
    out.resize(n + m);
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
    return out;
}

// SEED lives in OpenSSL's legacy provider; load it for the run and unload it after.
class OpenSslProviders : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_pLegacy = OSSL_PROVIDER_load(nullptr, "legacy");
        m_pDefault = OSSL_PROVIDER_load(nullptr, "default");
    }
    void TearDown() override
    {
        if (m_pLegacy) OSSL_PROVIDER_unload(m_pLegacy);
        if (m_pDefault) OSSL_PROVIDER_unload(m_pDefault);
        OPENSSL_cleanup();
    }

private:
    OSSL_PROVIDER* m_pLegacy = nullptr;
    OSSL_PROVIDER* m_pDefault = nullptr;
};
const ::testing::Environment* const kProviders = ::testing::AddGlobalTestEnvironment(new OpenSslProviders);
} // namespace

TEST(SeedOpenSsl, RandomKeysAndLengthsAgree)
{
    std::mt19937 rng(20261210);
    for (int trial = 0; trial < 200; ++trial)
    {
        uint8_t key[16];
        for (uint8_t& b : key)
            b = static_cast<uint8_t>(rng());
        SeedRoundKeys rk = SeedCipher::KeySchedule(key);

        SEED_KEY_SCHEDULE ks;
        SEED_set_key(key, &ks);
        for (int i = 0; i < 32; ++i)
            ASSERT_EQ(ks.data[i], rk[i]) << "trial " << trial << " word " << i;

        size_t nLen = 16 * (rng() % 40);
        std::vector<uint8_t> plain(nLen);
        for (uint8_t& b : plain)
            b = static_cast<uint8_t>(rng());
        std::vector<uint8_t> ours(nLen);
        SeedCipher::EncryptBuffer(plain.data(), nLen, ours.data(), rk);
        ASSERT_EQ(OpenSslEcb(key, plain, true), ours) << "trial " << trial;
        std::vector<uint8_t> back(nLen);
        SeedCipher::DecryptBuffer(ours.data(), nLen, back.data(), rk);
        ASSERT_EQ(plain, back);
        ASSERT_EQ(OpenSslEcb(key, ours, false), plain);
    }
}
