// Costs per record of the table operations the notes program leans on, for
// tables laid out like its alarm table (seven character fields, 341-byte
// records), at 10,000 and 100,000 records. "ns_per_record" is the figure to
// compare; the plain read of the same file in 64 KiB blocks is the floor.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Tabulo.h"

namespace {

constexpr int kFieldCount = 7;
constexpr int kFieldLengths[kFieldCount] = {64, 64, 64, 64, 64, 10, 10};  // 340 bytes

std::filesystem::path BenchFolder() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("tabulo-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

std::string CreateAlarmLikeTable(const std::string& name, FileDBF& table) {
    FieldHeaderCreat fields[kFieldCount];
    std::memset(fields, 0, sizeof fields);
    for (int i = 0; i < kFieldCount; ++i) {
        std::snprintf(fields[i].name, sizeof fields[i].name, "F%d", i + 1);
        fields[i].type = 'C';
        fields[i].length = static_cast<unsigned char>(kFieldLengths[i]);
    }
    const std::string path = (BenchFolder() / name).string();
    if (table.Creat(path.c_str(), kFieldCount, fields) != 0) std::abort();
    return path;
}

// A filled table, built once per size and reused by the read benchmarks.
const std::string& FilledTable(long records) {
    static std::string paths[2];
    std::string& path = paths[records > 10000 ? 1 : 0];
    if (!path.empty()) return path;
    FileDBF table;
    path = CreateAlarmLikeTable("filled-" + std::to_string(records) + ".dbf", table);
    for (long n = 0; n < records; ++n) {
        if (table.AppendRecord() != 0) std::abort();
        for (int i = 1; i <= kFieldCount; ++i)
            if (table.WriteField(i, "20240101 a value that fills part of the field") != 0) std::abort();
    }
    return path;
}

void ReportPerRecord(benchmark::State& state, long records) {
    state.counters["ns_per_record"] = benchmark::Counter(
        static_cast<double>(records) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Append(benchmark::State& state) {
    const long records = state.range(0);
    for (auto _ : state) {
        FileDBF table;
        CreateAlarmLikeTable("append.dbf", table);
        for (long n = 0; n < records; ++n)
            if (table.AppendRecord() != 0) std::abort();
        benchmark::DoNotOptimize(table.GetRecords());
    }
    ReportPerRecord(state, records);
}

void BM_ReadEveryField(benchmark::State& state) {
    const long records = state.range(0);
    const std::string& path = FilledTable(records);
    char buf[256];
    for (auto _ : state) {
        FileDBF table;
        if (table.Open(path.c_str()) != 0) std::abort();
        for (long n = 1; n <= records; ++n) {
            table.Go(n);
            for (int i = 1; i <= kFieldCount; ++i) table.ReadField(i, buf);
            benchmark::DoNotOptimize(buf);
        }
    }
    ReportPerRecord(state, records);
}

void BM_ReadRecord(benchmark::State& state) {
    const long records = state.range(0);
    const std::string& path = FilledTable(records);
    std::vector<char> buf(341);
    for (auto _ : state) {
        FileDBF table;
        if (table.Open(path.c_str()) != 0) std::abort();
        for (long n = 1; n <= records; ++n) {
            table.Go(n);
            table.ReadRecord(buf.data());
            benchmark::DoNotOptimize(buf.data());
        }
    }
    ReportPerRecord(state, records);
}

void BM_PlainBlockRead(benchmark::State& state) {
    const long records = state.range(0);
    const std::string& path = FilledTable(records);
    std::vector<char> block(64 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) std::abort();
        long total = 0;
        for (ssize_t n; (n = ::read(fd, block.data(), block.size())) > 0;) total += n;
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    ReportPerRecord(state, records);
}

BENCHMARK(BM_Append)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryField)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecord)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBlockRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BenchFolder(), ignored);
    return 0;
}
