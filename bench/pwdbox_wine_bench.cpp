// The password list timed as the box runs it, under Wine: a database of
// 10,000 records in 100 groups (sealed when its master password is set, with
// the key-derivation parameters new databases get), unlocked as the login
// panel does it (wall time, and the CPU time of the unlocking thread, which a
// busy machine does not stretch), read into the list by the reading thread
// (until the last row is in the list), and a search by web address over it
// (PBM_SEARCH: open every group, query, find each match's row). Prints the
// median of several runs.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FillDatabase.h"
#include "Kdf.h"
#include "PwdBoxCtrl.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "wine_bench_timing.h"

namespace {

constexpr int kGroups = 100;
constexpr int kRecords = 10000;
constexpr int kRuns = 7;
constexpr int kUnlockRuns = 5;

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * double(c.QuadPart) / double(f.QuadPart);
}

// CPU time of this thread, user and kernel, in milliseconds.
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "pwdbox-bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string db = folder + "pnpb.dat";
    DeleteFileA(db.c_str());
    double start = Now();
    storetest::FillDatabase(db, kGroups, kRecords);
    std::printf("database of %d records in %d groups written in %.0f ms\n", kRecords, kGroups, Now() - start);
    pnstore::setDatabasePath(db.c_str());
    // The box's resource library is not needed for timing; the module folder
    // is where the database is, so nothing beside the program is touched.
    pnstore::SetModuleFolderOverride(folder);

    start = Now();
    if (pnstore::PwdStore().createMasterUser("bench master") != 1) {
        std::printf("the master password could not be set\n");
        return 1;
    }
    std::printf("master password set and %d records sealed in %.0f ms\n", kRecords, Now() - start);
    const pncrypto::KdfParameters kdf = pncrypto::NewKdfParameters();
    std::vector<double> cpu;
    const double unlock = wine_bench::MedianMicroseconds(kUnlockRuns, [&] {
        const double before = ThreadCpuMs();
        pnstore::SessionKeys keys;
        if (pnstore::OpenBox("bench master", keys) == pnstore::UnlockResult::Opened) pnstore::StartSession(keys);
        cpu.push_back(ThreadCpuMs() - before);
    });
    std::sort(cpu.begin(), cpu.end());
    std::printf("unlock (Argon2id %u MiB, %u passes, %u lane): median %.0f ms, of which the unlocking thread's "
                "CPU time %.0f ms\n",
                kdf.memoryKiB / 1024, kdf.passes, kdf.lanes, unlock / 1000, cpu[cpu.size() / 2]);

    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    CPnPwdBoxCtrl control;
    control.Create(parent, true);
    MoveWindow(control.hwnd(), 0, 0, 800, 600, TRUE);
    ShowWindow(parent, SW_SHOWNOACTIVATE);

    const double fill = wine_bench::MedianMicroseconds(kRuns, [&] {
        control.ReadDBToListView();
        while (control.IsReading() || control.List().RecordCount() < kRecords) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            Pump();
        }
        UpdateWindow(control.List().ListHwnd());
    });
    // The reading alone (query and decryption, no list), for comparison.
    const double read = wine_bench::MedianMicroseconds(kRuns, [] {
        int n = 0;
        pnstore::PwdStore().readLiveRecords([&](const pnstore::ListedRecord&) { return ++n > 0; });
    });
    size_t matches = 0;
    const double search = wine_bench::MedianMicroseconds(kRuns, [&] {
        control.OnCollapseAll();  // the search opens every group again
        std::vector<int32_t> rows;
        SendMessageA(control.hwnd(), PBM_SEARCH, WPARAM(&rows), LPARAM("site77"));
        matches = rows.size();
    });
    std::printf("fill the list (reading thread, %d rows): median %.0f ms\n", kRecords + kGroups, fill / 1000);
    std::printf("of which reading the database alone: median %.0f ms\n", read / 1000);
    std::printf("URL search \"site77\" (%zu matches): median %.1f ms\n", matches, search / 1000);
    control.Destroy();
    DestroyWindow(parent);
    DeleteFileA(db.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
