// SEED-ECB buffer throughput, ours next to OpenSSL's (legacy provider), in one run.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <vector>

#include "confclient/network/SeedCipher.h"

namespace
{
const uint8_t kKey[16] = {0x28, 0xDB, 0xC3, 0xBC, 0x49, 0xFF, 0xD8, 0x7D,
                          0xCF, 0xA5, 0x09, 0xB1, 0x1D, 0x42, 0x2B, 0xE7};

void Ours(benchmark::State& state, bool bEncrypt)
{
    SeedRoundKeys rk = SeedCipher::KeySchedule(kKey);
    std::vector<uint8_t> buf(state.range(0), 0x5a);
    for (auto _ : state)
    {
        if (bEncrypt)
            SeedCipher::EncryptBuffer(buf.data(), buf.size(), buf.data(), rk);
        else
            SeedCipher::DecryptBuffer(buf.data(), buf.size(), buf.data(), rk);
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void OpenSsl(benchmark::State& state, bool bEncrypt)
{
    static OSSL_PROVIDER* pLegacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* pDefault = OSSL_PROVIDER_load(nullptr, "default");
    benchmark::DoNotOptimize(pLegacy);
    benchmark::DoNotOptimize(pDefault);
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "SEED-ECB", nullptr);
    if (!cipher)
    {
        state.SkipWithError("OpenSSL has no SEED-ECB");
        return;
    }
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, cipher, nullptr, kKey, nullptr, bEncrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::vector<uint8_t> buf(state.range(0), 0x5a);
    for (auto _ : state)
    {
        int n = 0;
        EVP_CipherUpdate(ctx, buf.data(), &n, buf.data(), static_cast<int>(buf.size()));
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
}
} // namespace

BENCHMARK_CAPTURE(Ours, Encrypt, true)->Arg(64)->Arg(64 << 10);
BENCHMARK_CAPTURE(OpenSsl, Encrypt, true)->Arg(64)->Arg(64 << 10);
BENCHMARK_CAPTURE(Ours, Decrypt, false)->Arg(64)->Arg(64 << 10);
BENCHMARK_CAPTURE(OpenSsl, Decrypt, false)->Arg(64)->Arg(64 << 10);
BENCHMARK_MAIN();
