// Timing for the benchmark programs run under Wine: the median wall time of a
// number of runs of a piece of work, by the performance counter.
#pragma once
#include <windows.h>

#include <algorithm>
#include <vector>

namespace wine_bench {

template <typename F>
double MedianMicroseconds(int runs, F work) {
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

}  // namespace wine_bench
