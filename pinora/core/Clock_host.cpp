#include "Clock.h"

#include <chrono>
#include <ctime>

namespace pinora {
namespace {

class HostClock : public Clock {
public:
    LocalTime Now() const override {
        std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
    }
    std::uint32_t TickCount() const override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

}  // namespace

const Clock& SystemClock() {
    static HostClock clock;
    return clock;
}

}  // namespace pinora
