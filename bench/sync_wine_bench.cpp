// Pinora's side of bench/sync_vs_caldav.sh, under Wine: COUNT sticks made in a
// fresh user folder, then PnSync.dll (loaded as Pinora loads it) uploads them
// to the calendar at URL; then syncs with nothing changed, five times. Prints
// the times, the requests and the process's memory before loading the
// library, after the upload and at its peak.
//   sync_wine_bench.exe <PnSync.dll> <url> <count>
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "AlarmStore.h"
#include "PnSyncApi.h"
#include "StickMapping.h"
#include "wine_bench_timing.h"

namespace {

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return m;
}

// The bench's user folder goes again at the end (and an old one of the same name first).
void RemoveTree(const std::string& folder) {
    std::string from = folder.substr(0, folder.size() - 1);
    from.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

double Seconds(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: sync_wine_bench <PnSync.dll> <url> <count>\n");
        return 2;
    }
    const int count = std::atoi(argv[3]);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string user = std::string(temp) + "pinora-sync-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
    const std::string data = user + "data\\";
    RemoveTree(user);
    CreateDirectoryA(user.c_str(), nullptr);
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA((data + "sticks\\").c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        pnsync::StickFields f;
        f.text = "Bench stick " + std::to_string(i);
        f.date = 20310101 + i % 28;
        f.hasAlarm = true;
        f.hour = 9;
        f.repeat = 1;
        f.endDate = f.date;
        pinora::SaveNewStick(data + "sticks\\", f.date, f.text, pnsync::RecordFromStick(f));
    }
    const PROCESS_MEMORY_COUNTERS before = Memory();
    HMODULE lib = LoadLibraryExA(argv[1], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    auto run = reinterpret_cast<decltype(&PnSync_Run)>(reinterpret_cast<void*>(GetProcAddress(lib, "PnSync_Run")));
    if (!run) {
        std::fprintf(stderr, "PnSync.dll cannot be loaded\n");
        return 1;
    }
    const PROCESS_MEMORY_COUNTERS loaded = Memory();
    const std::string state = user + "sync.db";
    PnSyncJob job = {};
    job.version = PNSYNC_VERSION;
    job.dataFolder = data.c_str();
    job.stateFile = state.c_str();
    job.url = argv[2];
    job.user = "alice";
    job.password = "secret";
    job.certSha256 = "";
    PnSyncResult r = {};
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    run(&job, &r);
    QueryPerformanceCounter(&b);
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("upload: %d sticks in %.3f s, %d requests, status %d\n", r.pushed, Seconds(a, b), r.requests, r.status);
    int requests = 0;
    const double quiet = wine_bench::MedianMicroseconds(5, [&] {
        PnSyncResult q = {};
        run(&job, &q);
        requests = q.requests;
    });
    std::printf("no-change sync: %.1f ms (median of 5), %d request(s)\n", quiet / 1000.0, requests);
    std::printf("memory: %.1f MB before loading PnSync.dll, %.1f MB loaded (with WinHTTP), %.1f MB after the upload,"
                " peak %.1f MB (+%.1f MB over loaded)\n",
                Megabytes(before.WorkingSetSize), Megabytes(loaded.WorkingSetSize), Megabytes(after.WorkingSetSize),
                Megabytes(after.PeakWorkingSetSize), Megabytes(after.PeakWorkingSetSize) - Megabytes(loaded.WorkingSetSize));
    FreeLibrary(lib);
    RemoveTree(user);
    return r.status == PNSYNC_OK ? 0 : 1;
}
