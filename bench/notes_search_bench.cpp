// The diary search over ten years of day files (see notes_bench_corpus.h):
// NoteContainsKeywords over every file, and the same with the folder listed as
// the search lists it. notes_vs_grep.sh sets the figures beside grep -ril.
//   notes_search_bench generate <folder>     only writes the files
//   notes_search_bench [benchmark flags]     NOTES_BENCH_DIR names the folder
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "NoteSearch.h"
#include "notes_bench_corpus.h"

namespace {

std::string Folder() {
    const char* given = std::getenv("NOTES_BENCH_DIR");
    static const std::string folder = [given] {
        std::filesystem::path dir = given ? std::filesystem::path(given)
                                          : std::filesystem::temp_directory_path() / "pinora-notes-bench";
        std::filesystem::create_directories(dir);
        return dir.string() + "/";
    }();
    return folder;
}

const std::vector<std::string>& Paths() {
    static const std::vector<std::string> paths = notes_bench::WriteCorpus(Folder());
    return paths;
}

void BM_NoteContainsKeywords(benchmark::State& state) {
    const auto& paths = Paths();
    for (auto _ : state) {
        int found = 0;
        for (const std::string& path : paths) found += pinora::NoteContainsKeywords(path.c_str(), notes_bench::kKeywords);
        if (found != notes_bench::kMatches) state.SkipWithError("wrong number of matches");
    }
    state.counters["files"] = static_cast<double>(paths.size());
}
BENCHMARK(BM_NoteContainsKeywords)->Unit(benchmark::kMillisecond);

// As the search runs: the folder listed, every "*.txt" tested.
void BM_SearchFolder(benchmark::State& state) {
    Paths();
    const std::string folder = Folder();
    for (auto _ : state) {
        int found = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) continue;
            found += pinora::NoteContainsKeywords((folder + name).c_str(), notes_bench::kKeywords);
        }
        if (found != notes_bench::kMatches) state.SkipWithError("wrong number of matches");
    }
}
BENCHMARK(BM_SearchFolder)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "generate") == 0) {
        std::filesystem::create_directories(argv[2]);
        notes_bench::WriteCorpus(std::string(argv[2]) + "/");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
