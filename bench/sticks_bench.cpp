// One scheduler pass and one today-list build over an alarm table of 10,000
// records of which 100 are live alarms, each beside a plain sequential read of
// the same file (64 KiB blocks), the floor any table walk is measured against.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "sticks_bench_table.h"
#include "table_walk_baseline.h"
#include "Clock.h"
#include "Scheduler.h"
#include "TodayList.h"

namespace {

using sticks_bench::kLive;

const std::string& BenchTable() {
    static const std::string path = [] {
        auto dir = std::filesystem::temp_directory_path() / ("sticks-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string p = (dir / pinora::kAlarmTableName).string();
        sticks_bench::FillAlarmTable(p);
        return p;
    }();
    return path;
}

pinora::ManualClock g_clock(pinora::LocalTime{2009, 3, 5, 9, 0, 0, 4});

void BM_PlainSequentialRead(benchmark::State& state) {
    const std::string& path = BenchTable();
    std::vector<char> block;
    for (auto _ : state) benchmark::DoNotOptimize(bench::PlainSequentialRead(path, block));
}
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMicrosecond);

void BM_SchedulerPass(benchmark::State& state) {
    const std::string& path = BenchTable();
    pinora::SetClock(&g_clock);
    for (auto _ : state) {
        pinora::AlarmPassResult pass = pinora::CheckAlarms(path);
        if (!pass.events.empty() || pass.readErrors) state.SkipWithError("the pass changed the table");
        benchmark::DoNotOptimize(pass);
    }
    pinora::SetClock(nullptr);
}
BENCHMARK(BM_SchedulerPass)->Unit(benchmark::kMicrosecond);

void BM_TodayListBuild(benchmark::State& state) {
    const std::string& path = BenchTable();
    for (auto _ : state) {
        std::vector<pinora::TodayItem> items = pinora::BuildTodayList(path, 20090305, 0);
        if (items.size() != kLive) state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(items);
    }
}
BENCHMARK(BM_TodayListBuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
