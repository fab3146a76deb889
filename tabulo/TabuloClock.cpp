#include "TabuloClock.h"

#include <ctime>

namespace tabulo {

namespace {

TodayFunction g_today = nullptr;

CalendarDate LocalToday() noexcept {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    if (localtime_s(&local, &now) != 0) return CalendarDate{1900, 1, 1};
#else
    if (localtime_r(&now, &local) == nullptr) return CalendarDate{1900, 1, 1};
#endif
    return CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace

CalendarDate Today() noexcept { return g_today ? g_today() : LocalToday(); }

TodayFunction SetTodayFunction(TodayFunction today) noexcept {
    const TodayFunction previous = g_today;
    g_today = today;
    return previous;
}

}  // namespace tabulo
