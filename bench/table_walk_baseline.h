// What every table walk is measured against: a plain sequential read of the file
// in 64 KiB blocks, as the host and the Windows benchmarks make it.
#pragma once
#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace bench {

constexpr size_t kReadBlock = 64 * 1024;

// Reads the whole file; returns the bytes read.
inline size_t PlainSequentialRead(const std::string& path, std::vector<char>& block) {
    block.resize(kReadBlock);
    size_t total = 0;
#ifdef _WIN32
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    while (ReadFile(f, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got > 0) total += got;
    CloseHandle(f);
#else
    FILE* f = std::fopen(path.c_str(), "rb");
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), f)) > 0) total += n;
    std::fclose(f);
#endif
    return total;
}

}  // namespace bench
