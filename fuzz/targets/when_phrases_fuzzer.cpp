// Any text as a note typed with a time in it, at a few moments and in each
// order of numeric dates: what the phrase reader finds is always an alarm a
// stick can hold, ahead of now, and its line and description can be made.
#include <string>

#include "Scratch.h"
#include "WhenPhrases.h"

namespace {

const pinora::LocalTime kMoments[] = {
    {2026, 12, 7, 19, 0, 0, 1},
    {2026, 12, 31, 23, 59, 0, 4},
    {2028, 2, 28, 12, 0, 0, 1},
    {2999, 12, 29, 23, 0, 0, 0},  // the day before the last day an alarm can ring on
};

// A date an alarm can ring on: up to the end date of a repeat without end.
bool IsAlarmDate(const pinora::CivilDate& d) {
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1) return false;
    if (d.day > pinora::DaysInMonth(d.year, d.month)) return false;
    return pinora::DateNumber(d.year, d.month, d.day) <= pinora::kEndlessDate;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const pinora::LocalTime& now : kMoments) {
        for (pinora::DateOrder order : {pinora::DateOrder::DayMonthYear, pinora::DateOrder::MonthDayYear,
                                        pinora::DateOrder::YearMonthDay}) {
            const pinora::WhenFound when = pinora::ReadWhen(text, now, order);
            const std::string line = pinora::FormatWhenLine(when);
            const std::string words = pinora::DescribeWhen(when, now, true);
            if (!when.found) {
                fuzz::Require(line == "none" && words.empty());
                continue;
            }
            fuzz::Require(IsAlarmDate(when.date));
            fuzz::Require(when.hour >= 0 && when.hour <= 23 && when.minute >= 0 && when.minute <= 59);
            const long today = pinora::DaysFromCivil(pinora::CivilDate{now.year, now.month, now.day});
            const long day = pinora::DaysFromCivil(when.date);
            fuzz::Require(day > today || (day == today && when.hour * 60 + when.minute > now.hour * 60 + now.minute));
            if (when.repeat == pinora::WhenRepeat::Weekly) {
                bool any = false;
                for (bool w : when.weekdays) any = any || w;
                fuzz::Require(any);
                fuzz::Require(when.weekdays[pinora::DayOfWeek(when.date.year, when.date.month, when.date.day)]);
            }
            if (when.hasEnd) fuzz::Require(IsAlarmDate(when.end) && pinora::DaysFromCivil(when.end) >= day);
            fuzz::Require(when.text.size() <= text.size());
            fuzz::Require(!words.empty());
        }
    }
    fuzz::Require(pinora::WithoutReminderLead(text).size() <= text.size());
    return 0;
}
