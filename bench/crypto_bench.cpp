// Throughput of the password box's AES-256-CBC and SHA-256 on 1 MiB buffers.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "Aes.h"
#include "Sha256.h"

namespace {

constexpr size_t kBufferSize = 1 << 20;

std::vector<uint8_t> Buffer() {
    std::vector<uint8_t> data(kBufferSize);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 31 + 7);
    return data;
}

void Key(uint8_t key[32]) {
    for (int i = 0; i < 32; ++i) key[i] = uint8_t(i * 11 + 5);
}

void BM_Aes256CbcEncrypt(benchmark::State& state) {
    uint8_t key[32];
    Key(key);
    pncrypto::Aes256Schedule schedule;
    pncrypto::Aes256ExpandEncryptKey(key, schedule);
    std::vector<uint8_t> data = Buffer();
    uint8_t iv[16] = {};
    for (auto _ : state) {
        pncrypto::Aes256CbcEncrypt(schedule, iv, data.data(), data.data(), data.size());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBufferSize));
}

void BM_Aes256CbcDecrypt(benchmark::State& state) {
    uint8_t key[32];
    Key(key);
    pncrypto::Aes256Schedule schedule;
    pncrypto::Aes256ExpandDecryptKey(key, schedule);
    std::vector<uint8_t> data = Buffer();
    uint8_t iv[16] = {};
    for (auto _ : state) {
        pncrypto::Aes256CbcDecrypt(schedule, iv, data.data(), data.data(), data.size());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBufferSize));
}

void BM_Sha256(benchmark::State& state) {
    const std::vector<uint8_t> data = Buffer();
    uint8_t digest[32];
    for (auto _ : state) {
        pncrypto::Sha256::Digest(data.data(), data.size(), digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBufferSize));
}

}  // namespace

BENCHMARK(BM_Aes256CbcEncrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcDecrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
