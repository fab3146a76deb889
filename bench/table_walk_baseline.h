// What every table walk is measured against: a plain sequential read of the file
// in 64 KiB blocks. The programs timed under Wine also share their timing: the
// median of repeated runs.
#pragma once
#include <algorithm>
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

#ifdef _WIN32
template <typename F>
double MedianMicroseconds(F work, int runs) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&a);
        work();
        QueryPerformanceCounter(&b);
        times.push_back(1e6 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[static_cast<size_t>(runs / 2)];
}
#endif

}  // namespace bench
