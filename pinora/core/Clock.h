// The program's one source of "now": local date and time, and the tick count.
// Everything that decides by the date reads it here, so tests can set any moment.
#pragma once
#include <cstdint>

namespace pinora {

struct LocalTime {
    int year = 0;
    int month = 0;       // 1..12
    int day = 0;         // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfWeek = 0;   // 0 = Sunday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
    virtual std::uint32_t TickCount() const = 0;
};

// The clock in force: the system's, unless a test installed another.
const Clock& CurrentClock();
// Installs a clock (not owned); nullptr restores the system clock.
void SetClock(const Clock* clock);

// A clock that shows what it is told; for tests and tools.
class ManualClock : public Clock {
public:
    explicit ManualClock(LocalTime t = {}, std::uint32_t ticks = 0) : now_(t), ticks_(ticks) {}
    LocalTime Now() const override { return now_; }
    std::uint32_t TickCount() const override { return ticks_; }
    void Set(LocalTime t) { now_ = t; }
    void SetTicks(std::uint32_t t) { ticks_ = t; }

private:
    LocalTime now_;
    std::uint32_t ticks_;
};

// Day of the week (0 = Sunday) of a date in the Gregorian calendar.
int DayOfWeek(int year, int month, int day);

}  // namespace pinora
