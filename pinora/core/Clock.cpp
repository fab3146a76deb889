#include "Clock.h"

namespace pinora {

const Clock& SystemClock();  // Clock_win.cpp or Clock_host.cpp

namespace {
const Clock* g_clock = nullptr;
}

const Clock& CurrentClock() { return g_clock ? *g_clock : SystemClock(); }

void SetClock(const Clock* clock) { g_clock = clock; }

int DayOfWeek(int year, int month, int day) {
    // No month of the calendar, or numbers far beyond any date: Sunday, rather
    // than a read outside the table or an overflow.
    constexpr int kFar = 1000000;
    if (month < 1 || month > 12 || year < -kFar || year > kFar || day < -kFar || day > kFar) return 0;
    // Sakamoto's method.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    const int weekday = (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
    return weekday < 0 ? weekday + 7 : weekday;
}

}  // namespace pinora
