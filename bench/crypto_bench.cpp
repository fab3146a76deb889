// Throughput of the password box's AES-256-CBC and SHA-256 on 1 MiB buffers,
// and what one guess at a master password costs an attacker who holds a
// copied pnpb.dat: with the old text cipher (encrypt the guess, one AES block,
// compare with the stored text) and with the sealed format's Argon2id (derive
// with the file's parameters, check the wrapped key's MAC). Items per second
// are guesses per second on one core (CPU time, so a busy machine does not
// flatter the figures).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Aes.h"
#include "BoxCipher.h"
#include "Kdf.h"
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

// The old check as an attacker runs it: the key is in the binary, so its
// schedule is made once; a guess of up to 16 bytes is one AES block (zero
// padding, the fixed IV) compared with the stored one.
void BM_MasterGuessOldCipher(benchmark::State& state) {
    pncrypto::Aes256Schedule schedule;
    pncrypto::Aes256ExpandEncryptKey(reinterpret_cast<const uint8_t*>("7 h2QWRTV,PLMZKXBY58HGT9D6RFAe41"), schedule);
    uint8_t iv[16] = {0x5C, 0x0E, 0x93, 0x27}, stored[16] = {1};
    long long n = 0;
    for (auto _ : state) {
        uint8_t block[16] = {'g', 'u', 'e', 's', 's'};
        std::memcpy(block + 5, &n, sizeof n);  // a new guess each time
        ++n;
        for (int i = 0; i < 16; ++i) block[i] ^= iv[i];
        pncrypto::Aes256EncryptBlock(schedule, block, block);
        benchmark::DoNotOptimize(std::memcmp(block, stored, 16));
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_MasterGuessArgon2id(benchmark::State& state) {
    pncrypto::DataKey key;
    pncrypto::WrappedKey stored;
    if (!pncrypto::NewDataKey(key) || !pncrypto::WrapDataKey("the master", pncrypto::kDefaultKdfParameters, key, stored)) {
        state.SkipWithError("no key");
        return;
    }
    long long n = 0;
    for (auto _ : state) {
        pncrypto::DataKey out;
        const auto result = pncrypto::UnwrapDataKey("guess" + std::to_string(n++), stored, out);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetLabel("Argon2id " + std::to_string(pncrypto::kDefaultKdfParameters.memoryKiB / 1024) + " MiB, " +
                   std::to_string(pncrypto::kDefaultKdfParameters.passes) + " passes, " +
                   std::to_string(pncrypto::kDefaultKdfParameters.lanes) + " lane");
}

}  // namespace

BENCHMARK(BM_MasterGuessOldCipher);
BENCHMARK(BM_MasterGuessArgon2id)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Aes256CbcEncrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcDecrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
