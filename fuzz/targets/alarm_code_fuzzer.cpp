// Any text as the CODE of an alarm: decoded for showing and for acting on;
// a code that is acted on goes through every decision and every snooze, and
// survives its own encoding.
#include <string>

#include "AlarmCode.h"
#include "Clock.h"
#include "Scheduler.h"
#include "Scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const pinora::AlarmCode shown = pinora::DecodeAlarmCode(text.c_str());
    const int weekday = pinora::DayOfWeek(shown.year, shown.month, shown.day);
    fuzz::Require(weekday >= 0 && weekday <= 6);

    pinora::AlarmCode code;
    if (!pinora::DecodeAlarmCode(text.c_str(), &code)) return 0;
    pinora::AlarmCode again;
    fuzz::Require(pinora::DecodeAlarmCode(pinora::EncodeAlarmCode(code).c_str(), &again));
    fuzz::Require(pinora::EncodeAlarmCode(again) == pinora::EncodeAlarmCode(code));
    for (int flags = 0; flags < 4; ++flags) {
        code.bDone30 = flags & 1;
        code.bDone5 = flags >> 1;
        for (const pinora::TodayNumbers& now :
             {pinora::TodayNumbers{code.startDate, code.hour, code.minute, code.dayOfWeek},
              pinora::TodayNumbers{code.endDate, 0, 0, 0}, pinora::TodayNumbers{code.startDate, 23, 59, 6}})
            pinora::CheckDue(code, "1010101", now);
    }
    for (int delay = -1; delay <= 7; ++delay) {
        const pinora::AlarmCode moved = pinora::SnoozedAlarm(code, delay);
        fuzz::Require(moved.hour >= 0 && moved.hour <= 23 && moved.minute >= 0 && moved.minute <= 59);
    }
    return 0;
}
