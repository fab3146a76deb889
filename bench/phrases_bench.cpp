// The phrase reader over the whole phrase table of its tests (every group, the
// phrases without a time included): phrases per second, and the time of one.
#include <benchmark/benchmark.h>

#include <cstddef>

#include "WhenPhraseTable.h"
#include "WhenPhrases.h"

namespace {

using namespace pinora::phrase_table;

std::size_t TableRows() {
    std::size_t rows = 0;
    for (const Group& group : kGroups) rows += group.count;
    return rows;
}

// Only a reader that still gives the table's answers is worth timing.
bool TableHolds() {
    for (const Group& group : kGroups)
        for (std::size_t i = 0; i < group.count; ++i)
            if (pinora::FormatWhenLine(pinora::ReadWhen(group.rows[i].phrase, *group.now, group.order)) !=
                group.rows[i].line)
                return false;
    return true;
}

void BM_ReadWholeTable(benchmark::State& state) {
    if (!TableHolds()) {
        state.SkipWithError("the reader does not give the table's answers");
        return;
    }
    const std::size_t rows = TableRows();
    for (auto _ : state) {
        for (const Group& group : kGroups)
            for (std::size_t i = 0; i < group.count; ++i)
                benchmark::DoNotOptimize(pinora::ReadWhen(group.rows[i].phrase, *group.now, group.order));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * rows));
    state.counters["phrases"] = static_cast<double>(rows);
    // Seconds of CPU per phrase ("9.9u" is 9.9 microseconds).
    state.counters["per_phrase"] = benchmark::Counter(
        static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadWholeTable)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
