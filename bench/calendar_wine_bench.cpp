// The calendar's month reload timed as the program runs it: a Windows program,
// run under Wine, over the same 10,000-record alarm table as the host benchmark,
// beside a plain read of the file in 64 KiB blocks. Times the one pass, the pass
// per day, and the real calendar window refilling its 42 cells. Prints the
// median of 21 runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "CalendarWnd.h"
#include "calendar_bench_table.h"
#include "table_walk_baseline.h"
#include "wine_bench_timing.h"

namespace {

constexpr int kRuns = 21;

std::string MakeFolder() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "calendar-wine-bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + pinora::kAlarmTableName).c_str());
    calendar_bench::FillAlarmTable(folder + pinora::kAlarmTableName);
    return folder;
}

template <typename F>
double MedianMicroseconds(F work) {
    return wine_bench::MedianMicroseconds(kRuns, work);
}

}  // namespace

int main() {
    const std::string folder = MakeFolder();
    const std::string path = folder + pinora::kAlarmTableName;
    const pinora::MonthGrid grid = pinora::BuildMonthGrid(calendar_bench::kYear, calendar_bench::kMonth);
    auto perDay = [&] {
        std::array<pinora::DaySticks, pinora::kCalendarCells> month;
        for (int i = 0; i < pinora::kCalendarCells; ++i)
            month[i] = pinora::LoadDaySticks(path, pinora::DateNumberOf(grid[i]), true);
        return month;
    };
    const size_t expected = calendar_bench::Listed(perDay());

    std::vector<char> block;
    const double plain = MedianMicroseconds([&] { bench::PlainSequentialRead(path, block); });
    const double onePass = MedianMicroseconds([&] {
        if (calendar_bench::Listed(pinora::LoadMonthSticks(path, grid, true)) != expected) std::exit(2);
    });
    const double passPerDay = MedianMicroseconds([&] {
        if (calendar_bench::Listed(perDay()) != expected) std::exit(3);
    });

    // The real calendar window, refilling its cells and their list boxes.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1280, 800, nullptr, nullptr, nullptr, nullptr);
    pinora::CCalendarWnd calendar([&] { return folder; });
    HWND window = calendar.Create(parent, 1);
    MoveWindow(window, 0, 0, 1280, 760, FALSE);
    const double windowReload = MedianMicroseconds([&] {
        if (!calendar.SetDate(pinora::CivilDate{calendar_bench::kYear, calendar_bench::kMonth, 20})) std::exit(4);
    });
    size_t shown = 0;
    for (int i = 0; i < pinora::kCalendarCells; ++i) shown += calendar.Cell(i).Sticks().size();
    if (shown != expected) std::exit(5);
    calendar.Destroy();
    DestroyWindow(parent);

    std::printf("records %d, month %d-%02d lists %zu sticks; median of %d runs under this system:\n",
                calendar_bench::kRecords, calendar_bench::kYear, calendar_bench::kMonth, expected, kRuns);
    std::printf("  plain read           %9.0f us\n", plain);
    std::printf("  month, one pass      %9.0f us  (%.1fx the plain read)\n", onePass, onePass / plain);
    std::printf("  month, pass per day  %9.0f us  (%.1fx the plain read)\n", passPerDay, passPerDay / plain);
    std::printf("  calendar window      %9.0f us  (%.1fx the plain read)\n", windowReload, windowReload / plain);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
