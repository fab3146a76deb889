// Reloading the calendar's month (42 days) over an alarm table of 10,000
// records: the one pass the calendar makes, the pass per day that each cell
// would make on its own, and a plain sequential read of the same file (64 KiB
// blocks), the floor every table walk is measured against.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "CalendarModel.h"
#include "calendar_bench_table.h"
#include "table_walk_baseline.h"

namespace {

const std::string& BenchTable() {
    static const std::string path = [] {
        auto dir = std::filesystem::temp_directory_path() / ("calendar-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string p = (dir / pinora::kAlarmTableName).string();
        calendar_bench::FillAlarmTable(p);
        return p;
    }();
    return path;
}

const pinora::MonthGrid& Grid() {
    static const pinora::MonthGrid grid = pinora::BuildMonthGrid(calendar_bench::kYear, calendar_bench::kMonth);
    return grid;
}

std::array<pinora::DaySticks, pinora::kCalendarCells> PerDay(const std::string& path) {
    std::array<pinora::DaySticks, pinora::kCalendarCells> month;
    for (int i = 0; i < pinora::kCalendarCells; ++i)
        month[i] = pinora::LoadDaySticks(path, pinora::DateNumberOf(Grid()[i]), true);
    return month;
}

size_t ExpectedListed() {
    static const size_t n = calendar_bench::Listed(PerDay(BenchTable()));
    return n;
}

void BM_PlainSequentialRead(benchmark::State& state) {
    const std::string& path = BenchTable();
    std::vector<char> block;
    for (auto _ : state) benchmark::DoNotOptimize(bench::PlainSequentialRead(path, block));
}
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMicrosecond);

void BM_MonthReloadOnePass(benchmark::State& state) {
    const std::string& path = BenchTable();
    const size_t expected = ExpectedListed();
    for (auto _ : state) {
        auto month = pinora::LoadMonthSticks(path, Grid(), true);
        if (calendar_bench::Listed(month) != expected) state.SkipWithError("the month lists other sticks");
        benchmark::DoNotOptimize(month);
    }
    state.counters["listed"] = static_cast<double>(expected);
}
BENCHMARK(BM_MonthReloadOnePass)->Unit(benchmark::kMicrosecond);

void BM_MonthReloadPassPerDay(benchmark::State& state) {
    const std::string& path = BenchTable();
    for (auto _ : state) {
        auto month = PerDay(path);
        benchmark::DoNotOptimize(month);
    }
}
BENCHMARK(BM_MonthReloadPassPerDay)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
