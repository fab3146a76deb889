#include "Clock.h"

namespace pinora {

const Clock& SystemClock();  // Clock_win.cpp or Clock_host.cpp

namespace {
const Clock* g_clock = nullptr;
}

const Clock& CurrentClock() { return g_clock ? *g_clock : SystemClock(); }

void SetClock(const Clock* clock) { g_clock = clock; }

int DayOfWeek(int year, int month, int day) {
    // No date of the calendar: Sunday, rather than a read outside the table
    // or an overflow.
    if (month < 1 || month > 12 || year < 1 || year > 9999 || day < 1 || day > 31) return 0;
    // Sakamoto's method.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + offsets[(month + 11) % 12] + day) % 7;
}

}  // namespace pinora
