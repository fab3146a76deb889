// Cost of the hook procedures per input event, as the system calls them: the
// staged pnhook.dll is loaded and 100,000 synthetic keyboard and mouse events
// are fed through hookproc and hookMouseProc directly. Prints the median of 5
// runs in nanoseconds per event, with and without the hooks installed, and the
// two parts of a procedure apart: the record update (the same inline code the
// DLL runs, on a record of this process) and the call to CallNextHookEx.
//   scripts/wine build/windows/bench/pnhook_wine_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "HookCore.h"
#include "wine_bench_timing.h"

namespace {

constexpr int kEvents = 100000;
constexpr int kRuns = 5;

std::string StagedDll() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path = exe;
    path = path.substr(0, path.find_last_of('\\'));          // bench
    path = path.substr(0, path.find_last_of('\\') + 1);      // build folder
    return path + "dist\\pnhook.dll";
}

template <typename F>
double MedianNsPerEvent(F feed) {
    return 1000.0 * wine_bench::MedianMicroseconds(kRuns, feed) / kEvents;
}

void Report(const char* what, HOOKPROC keyProc, HOOKPROC mouseProc) {
    const double key = MedianNsPerEvent([&] {
        for (int i = 0; i < kEvents; ++i)
            // Alternating presses and releases of one key.
            keyProc(HC_ACTION, 'A', (i & 1) ? static_cast<LPARAM>(0xC01E0001u) : 0x001E0001);
    });
    const double mouse = MedianNsPerEvent([&] {
        for (int i = 0; i < kEvents; ++i) mouseProc(HC_ACTION, WM_MOUSEMOVE, 0);
    });
    std::printf("%-24s hookproc %7.1f ns/event   hookMouseProc %7.1f ns/event\n", what, key, mouse);
}

void ReportParts() {
    static pnhook::HookShared record = {};
    const double update = MedianNsPerEvent([&] {
        for (int i = 0; i < kEvents; ++i) pnhook::NoteKeyEvent(record, GetTickCount(), (i & 1) != 0);
    });
    const double next = MedianNsPerEvent([&] {
        for (int i = 0; i < kEvents; ++i) CallNextHookEx(nullptr, HC_ACTION, 'A', 0);
    });
    std::printf("%-24s record update %7.1f ns/event   CallNextHookEx %7.1f ns/call\n", "parts:", update, next);
}

}  // namespace

int main() {
    const std::string path = StagedDll();
    HMODULE dll = LoadLibraryA(path.c_str());
    if (!dll) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        return 1;
    }
    auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); };
    auto keyProc = reinterpret_cast<HOOKPROC>(find("hookproc"));
    auto mouseProc = reinterpret_cast<HOOKPROC>(find("hookMouseProc"));
    auto install = reinterpret_cast<int(__cdecl*)(HWND)>(find("installhook"));
    auto remove = reinterpret_cast<void(__cdecl*)()>(find("removehook"));
    if (!keyProc || !mouseProc || !install || !remove) return 1;

    std::printf("%d events per run, median of %d runs\n", kEvents, kRuns);
    Report("no hooks installed:", keyProc, mouseProc);
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (install(owner) == 1) {
        Report("hooks installed:", keyProc, mouseProc);
        remove();
    }
    ReportParts();
    DestroyWindow(owner);
    FreeLibrary(dll);
    return 0;
}
