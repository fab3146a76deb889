#include "Clock.h"

#include <windows.h>

namespace pinora {
namespace {

class Win32Clock : public Clock {
public:
    LocalTime Now() const override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
    }
    std::uint32_t TickCount() const override { return GetTickCount(); }
};

}  // namespace

const Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace pinora
