#include "SecureDelete.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "NewRandom.h"
#include "SystemSources.h"

namespace pncrypto {
namespace {

struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

constexpr size_t kChunk = 4096;
constexpr int kPasses = 4;
constexpr int kGrowth = 4;

// Files past 2 GiB need the 64-bit offsets.
bool SeekTo(FILE* f, int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(f, offset, origin) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), origin) == 0;
#endif
}

int64_t Position(FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return static_cast<int64_t>(ftello(f));
#endif
}

void FillFromGenerator(uint8_t* buffer, size_t length) {
    for (size_t i = 0; i < length; i += 4) {
        const uint32_t v = XorshiftNext();
        const size_t n = length - i < 4 ? length - i : 4;
        for (size_t k = 0; k < n; ++k) buffer[i + k] = uint8_t(v >> (8 * k));
    }
}

void FillForPass(int pass, uint8_t* buffer, size_t length) {
    if (pass == 0) std::memset(buffer, 0x00, length);
    else if (pass == 1) std::memset(buffer, 0xFF, length);
    else FillFromGenerator(buffer, length);
}

// Writes `length` bytes from the start in flushed chunks; a failed or short
// write ends the pass.
void WritePass(FILE* f, const uint8_t* buffer, int64_t length) {
    if (!SeekTo(f, 0, SEEK_SET)) return;
    while (length > 0) {
        const size_t chunk = length < int64_t(kChunk) ? size_t(length) : kChunk;
        if (std::fwrite(buffer, 1, chunk, f) != chunk) return;
        if (std::fflush(f) != 0) return;
        length -= int64_t(chunk);
    }
}

}  // namespace

OverwriteOutcome OverwriteFileForDeletion(const char* path) {
    if (!path) return OverwriteOutcome::CannotOpen;
    FilePtr file(std::fopen(path, "r+b"));  // existing files only, never truncated
    if (!file) return OverwriteOutcome::CannotOpen;
    if (!SeekTo(file.get(), 0, SEEK_END)) return OverwriteOutcome::CannotOpen;
    const int64_t size = Position(file.get());
    if (size < 0) return OverwriteOutcome::CannotOpen;
    if (size == 0) return OverwriteOutcome::Empty;

    // Growing the file first hides its exact length among the overwrites.
    uint8_t growth[kGrowth];
    FillFromGenerator(growth, sizeof growth);
    std::fwrite(growth, 1, sizeof growth, file.get());
    std::fflush(file.get());

    uint8_t buffer[kChunk];
    for (int pass = 0; pass < kPasses; ++pass) {
        FillForPass(pass, buffer, sizeof buffer);
        WritePass(file.get(), buffer, size + pass);
    }
    return OverwriteOutcome::Overwritten;
}

}  // namespace pncrypto

extern "C" int SecureDeleteFile(const char* path) {
    if (pncrypto::OverwriteFileForDeletion(path) == pncrypto::OverwriteOutcome::CannotOpen) return 0;
    return pncrypto::DeleteFileAtPath(path) ? 1 : 0;
}
