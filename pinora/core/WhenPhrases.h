// The phrase reader: finds one time phrase in a note ("call Ann in 20 min",
// "dentist tomorrow 9:30", "every monday 8am standup") and turns it into what a
// stick's alarm can hold: the first time it rings, a repeat (none, daily within
// a range, chosen weekdays, until a date) and the note without the phrase.
// Portable; "now" and the order of numeric dates are the caller's.
#pragma once
#include <string>

#include "AlarmCode.h"
#include "Clock.h"
#include "PhraseLanguage.h"

namespace pinora {

// How the user writes numeric dates: 15/12/2026, 12/15/2026 or 2026/12/15.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

enum class WhenRepeat { None, Daily, Weekly };

struct WhenFound {
    bool found = false;
    CivilDate date;   // the first time the alarm rings
    int hour = 0;
    int minute = 0;
    WhenRepeat repeat = WhenRepeat::None;
    bool weekdays[7] = {};  // Weekly: the days it rings on, 0 = Sunday
    bool hasEnd = false;    // Daily or Weekly until a date
    CivilDate end;
    std::string text;       // the note without the phrase
};

// Reads text at "now". Nothing is found when the text holds no time phrase,
// or more than one, or one that is impossible ("feb 30", "25:00"), lies in the
// past, or is a repeat no stick can hold ("every month"): never a wrong alarm.
WhenFound ReadWhen(const std::string& text, const LocalTime& now, DateOrder order,
                   const PhraseLanguage& language = EnglishPhrases());

// pnwhen's line: due=2026-12-08T09:30 repeat=none text="dentist", or "none".
// Repeats: none, daily, daily:FROM..TO, weekly:MO,TH and weekly:MO,TH..TO.
std::string FormatWhenLine(const WhenFound& when);

// The alarm in the user's words: "Tue 8 Dec 09:30", "08:00 every day until Thu
// 31 Dec", "08:00 every Mon, Thu". todayAsTime: a one-time alarm of today is
// only its time ("19:55").
std::string DescribeWhen(const WhenFound& when, const LocalTime& now, bool todayAsTime,
                         const PhraseLanguage& language = EnglishPhrases());

// The note after the command word "remind": without the words that only join
// it to the command ("me to call Ann" gives "call Ann").
std::string WithoutReminderLead(const std::string& text, const PhraseLanguage& language = EnglishPhrases());

// The order of numeric dates the user's Windows settings use (GetLocaleInfo);
// DayMonthYear where it cannot be told.
DateOrder UserDateOrder();

// Date arithmetic the reader needs: days since 1 January 1970, and back.
long DaysFromCivil(CivilDate date);
CivilDate CivilFromDays(long days);

}  // namespace pinora
