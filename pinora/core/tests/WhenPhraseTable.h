// The phrase table: phrases and the line pnwhen prints for each, at fixed
// moments, grouped by the kind of phrase. The host tests check every row; the
// benchmark reads the whole table.
#pragma once
#include <cstddef>

#include "WhenPhrases.h"

namespace pinora::phrase_table {

inline LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

inline const LocalTime kMonday = At(2026, 12, 7, 19, 0);          // the evening of Monday 7 December
inline const LocalTime kBeforeMidnight = At(2026, 12, 9, 23, 59);  // Wednesday
inline const LocalTime kSunday = At(2026, 12, 13, 10, 0);
inline const LocalTime kNewYearsEve = At(2026, 12, 31, 19, 0);     // Thursday
inline const LocalTime kLeapFebruary = At(2028, 2, 28, 12, 0);     // Monday; 2028 is a leap year

struct Row {
    const char* phrase;
    const char* line;  // what pnwhen prints
};

struct Group {
    const char* name;
    const LocalTime* now;
    DateOrder order;
    const Row* rows;
    std::size_t count;
};

inline const Row kOffsetsRows[] = {
    {"call Ann in 20 min", R"(due=2026-12-07T19:20 repeat=none text="call Ann")"},
    {"in 1.5 hours stretch", R"(due=2026-12-07T20:30 repeat=none text="stretch")"},
    {"in 1,5 hours stretch", R"(due=2026-12-07T20:30 repeat=none text="stretch")"},
    {"tea in half an hour", R"(due=2026-12-07T19:30 repeat=none text="tea")"},
    {"in 2h 15m backup", R"(due=2026-12-07T21:15 repeat=none text="backup")"},
    {"in 2h15m backup", R"(due=2026-12-07T21:15 repeat=none text="backup")"},
    {"in 1h30 leave", R"(due=2026-12-07T20:30 repeat=none text="leave")"},
    {"In 2 hours and 15 minutes call", R"(due=2026-12-07T21:15 repeat=none text="call")"},
    {"in an hour and a half", R"(due=2026-12-07T20:30 repeat=none text="")"},
    {"in a couple of hours", R"(due=2026-12-07T21:00 repeat=none text="")"},
    {"in ten minutes", R"(due=2026-12-07T19:10 repeat=none text="")"},
    {"in 6 hours", R"(due=2026-12-08T01:00 repeat=none text="")"},
    {"pay rent in 3 days", R"(due=2026-12-10T19:00 repeat=none text="pay rent")"},
    {"in 3 days at 9 dentist", R"(due=2026-12-10T09:00 repeat=none text="dentist")"},
    {"in 2 weeks review", R"(due=2026-12-21T19:00 repeat=none text="review")"},
    {"in 1.5 days", R"(due=2026-12-09T07:00 repeat=none text="")"},
};

inline const Row kDayWordsRows[] = {
    {"dentist tomorrow 9:30", R"(due=2026-12-08T09:30 repeat=none text="dentist")"},
    {"Tomorrow", R"(due=2026-12-08T09:00 repeat=none text="")"},
    {"pay the day after tomorrow", R"(due=2026-12-09T09:00 repeat=none text="pay")"},
    {"call mom tonight", R"(due=2026-12-07T20:00 repeat=none text="call mom")"},
    {"movie at 8 tonight", R"(due=2026-12-07T20:00 repeat=none text="movie")"},
    {"tonight at 11 news", R"(due=2026-12-07T23:00 repeat=none text="news")"},
    {"today at 21:00 bins", R"(due=2026-12-07T21:00 repeat=none text="bins")"},
    {"friday 3pm report", R"(due=2026-12-11T15:00 repeat=none text="report")"},
    {"buy wine on fri", R"(due=2026-12-11T09:00 repeat=none text="buy wine")"},
    {"sat 10am market", R"(due=2026-12-12T10:00 repeat=none text="market")"},
    // "next" names the first such day after today, as the plain weekday does.
    {"next tuesday review", R"(due=2026-12-08T09:00 repeat=none text="review")"},
    {"tuesday review", R"(due=2026-12-08T09:00 repeat=none text="review")"},
    // A weekday named on that day is next week's.
    {"monday standup", R"(due=2026-12-14T09:00 repeat=none text="standup")"},
    {"tomorrow morning gym", R"(due=2026-12-08T09:00 repeat=none text="gym")"},
    {"tomorrow evening call", R"(due=2026-12-08T19:00 repeat=none text="call")"},
    {"tomorrow at 8 in the evening", R"(due=2026-12-08T20:00 repeat=none text="")"},
};

inline const Row kTimesOfDayRows[] = {
    // A bare time already past today is tomorrow's.
    {"9:30 standup", R"(due=2026-12-08T09:30 repeat=none text="standup")"},
    {"call at 9.30", R"(due=2026-12-08T09:30 repeat=none text="call")"},
    {"dentist tomorrow 9.30", R"(due=2026-12-08T09:30 repeat=none text="dentist")"},
    {"9.30 on friday yoga", R"(due=2026-12-11T09:30 repeat=none text="yoga")"},
    {"3pm report", R"(due=2026-12-08T15:00 repeat=none text="report")"},
    {"15:15 train", R"(due=2026-12-08T15:15 repeat=none text="train")"},
    {"at 20:30 call", R"(due=2026-12-07T20:30 repeat=none text="call")"},
    {"call at 7:45pm", R"(due=2026-12-07T19:45 repeat=none text="call")"},
    {"call at 7.45 p.m.", R"(due=2026-12-07T19:45 repeat=none text="call")"},
    {"at 9 a.m. walk", R"(due=2026-12-08T09:00 repeat=none text="walk")"},
    {"lunch at noon", R"(due=2026-12-08T12:00 repeat=none text="lunch")"},
    {"backup at midnight", R"(due=2026-12-08T00:00 repeat=none text="backup")"},
    // Hours from 1 to 12 without am or pm are read between 7:00 and 18:59.
    {"tea at half past three", R"(due=2026-12-08T15:30 repeat=none text="tea")"},
    {"leave at quarter to 5", R"(due=2026-12-08T16:45 repeat=none text="leave")"},
    {"quarter to 7", R"(due=2026-12-08T06:45 repeat=none text="")"},
    {"ten past eight pm", R"(due=2026-12-07T20:10 repeat=none text="")"},
    {"at five", R"(due=2026-12-08T17:00 repeat=none text="")"},
    {"8 o'clock", R"(due=2026-12-08T08:00 repeat=none text="")"},
    {"at 3", R"(due=2026-12-08T15:00 repeat=none text="")"},
    {"at 03:00", R"(due=2026-12-08T03:00 repeat=none text="")"},
    {"tomorrow at 17h", R"(due=2026-12-08T17:00 repeat=none text="")"},
    {"at 3 in the afternoon", R"(due=2026-12-08T15:00 repeat=none text="")"},
    {"at 11 at night", R"(due=2026-12-07T23:00 repeat=none text="")"},
    {"in the morning", R"(due=2026-12-08T09:00 repeat=none text="")"},
};

inline const Row kDatesInWordsAndNumbersRows[] = {
    {"Dec 15 party", R"(due=2026-12-15T09:00 repeat=none text="party")"},
    {"party 15 december", R"(due=2026-12-15T09:00 repeat=none text="party")"},
    {"2026-12-15 party", R"(due=2026-12-15T09:00 repeat=none text="party")"},
    {"dec 15th at 2pm", R"(due=2026-12-15T14:00 repeat=none text="")"},
    {"on the 15th of december", R"(due=2026-12-15T09:00 repeat=none text="")"},
    {"Dec. 15, 2027", R"(due=2027-12-15T09:00 repeat=none text="")"},
    {"jan 3 dentist", R"(due=2027-01-03T09:00 repeat=none text="dentist")"},  // passed this year
    {"15/12 at 10 haircut", R"(due=2026-12-15T10:00 repeat=none text="haircut")"},
    {"haircut on 15/12", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
    {"15/12/2026 haircut", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
    {"15.12.26 haircut", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
    {"Tuesday, 15 December at 10 haircut", R"(due=2026-12-15T10:00 repeat=none text="haircut")"},
    {"on tue dec 15", R"(due=2026-12-15T09:00 repeat=none text="")"},
};

inline const Row kDatesInWordsAndNumbersMonthFirstRows[] = {
    {"12/15/2026 haircut", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
    {"haircut on 12/15", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
    {"2026-12-15", R"(due=2026-12-15T09:00 repeat=none text="")"},
    {"15/12/2026", "none"},  // month 15
};

inline const Row kDatesInWordsAndNumbersYearFirstRows[] = {
    {"2026/12/15 haircut", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
    {"26.12.15 haircut", R"(due=2026-12-15T09:00 repeat=none text="haircut")"},
};

inline const Row kRepeatsRows[] = {
    {"every day standup", R"(due=2026-12-08T09:00 repeat=daily text="standup")"},
    {"standup daily at 9:15", R"(due=2026-12-08T09:15 repeat=daily text="standup")"},
    {"every weekday 8am standup", R"(due=2026-12-08T08:00 repeat=weekly:MO,TU,WE,TH,FR text="standup")"},
    {"every monday 8am standup", R"(due=2026-12-14T08:00 repeat=weekly:MO text="standup")"},
    {"every mon and thu at 10 gym", R"(due=2026-12-10T10:00 repeat=weekly:MO,TH text="gym")"},
    {"every mon, wed and fri 7am run", R"(due=2026-12-09T07:00 repeat=weekly:MO,WE,FR text="run")"},
    {"gym every mon wed fri 7am", R"(due=2026-12-09T07:00 repeat=weekly:MO,WE,FR text="gym")"},
    {"on mondays and fridays at 7pm", R"(due=2026-12-11T19:00 repeat=weekly:MO,FR text="")"},
    {"every weekend", R"(due=2026-12-12T09:00 repeat=weekly:SA,SU text="")"},
    {"every evening walk", R"(due=2026-12-08T19:00 repeat=daily text="walk")"},
    {"daily until friday water plants",
     R"(due=2026-12-08T09:00 repeat=daily:2026-12-08..2026-12-11 text="water plants")"},
    {"every day at 8 until 31 dec pills", R"(due=2026-12-08T08:00 repeat=daily:2026-12-08..2026-12-31 text="pills")"},
    {"every monday until 2027-01-31", R"(due=2026-12-14T09:00 repeat=weekly:MO..2027-01-31 text="")"},
    {"every day from dec 20 at 7", R"(due=2026-12-20T07:00 repeat=daily text="")"},
};

inline const Row kJustBeforeMidnightRows[] = {
    {"in 5 min", R"(due=2026-12-10T00:04 repeat=none text="")"},
    {"in 1 day", R"(due=2026-12-10T23:59 repeat=none text="")"},
    {"tomorrow 7:00 run", R"(due=2026-12-10T07:00 repeat=none text="run")"},
    {"at 23:59", R"(due=2026-12-10T23:59 repeat=none text="")"},
    {"at midnight", R"(due=2026-12-10T00:00 repeat=none text="")"},
    {"thursday", R"(due=2026-12-10T09:00 repeat=none text="")"},
    {"every day at 8", R"(due=2026-12-10T08:00 repeat=daily text="")"},
    {"tonight", "none"},
    {"today", "none"},
};

inline const Row kOnASundayRows[] = {
    {"sunday brunch", R"(due=2026-12-20T09:00 repeat=none text="brunch")"},
    {"next sunday", R"(due=2026-12-20T09:00 repeat=none text="")"},
    {"monday", R"(due=2026-12-14T09:00 repeat=none text="")"},
    {"on sat", R"(due=2026-12-19T09:00 repeat=none text="")"},
    {"every sunday at 11 church", R"(due=2026-12-13T11:00 repeat=weekly:SU text="church")"},
    {"every sunday at 9", R"(due=2026-12-20T09:00 repeat=weekly:SU text="")"},
    {"every weekday", R"(due=2026-12-14T09:00 repeat=weekly:MO,TU,WE,TH,FR text="")"},
    {"this evening", R"(due=2026-12-13T19:00 repeat=none text="")"},
    {"at 11", R"(due=2026-12-13T11:00 repeat=none text="")"},
    {"daily until sunday", R"(due=2026-12-14T09:00 repeat=daily:2026-12-14..2026-12-20 text="")"},
};

inline const Row kOnNewYearsEveRows[] = {
    {"jan 1 brunch", R"(due=2027-01-01T09:00 repeat=none text="brunch")"},
    {"tomorrow", R"(due=2027-01-01T09:00 repeat=none text="")"},
    {"friday", R"(due=2027-01-01T09:00 repeat=none text="")"},
    {"on 1/1 at 10", R"(due=2027-01-01T10:00 repeat=none text="")"},
    {"in 6 hours", R"(due=2027-01-01T01:00 repeat=none text="")"},
    {"in 1 week", R"(due=2027-01-07T19:00 repeat=none text="")"},
    {"dec 31 at 22:00", R"(due=2026-12-31T22:00 repeat=none text="")"},
    {"every day until jan 5", R"(due=2027-01-01T09:00 repeat=daily:2027-01-01..2027-01-05 text="")"},
    {"dec 31", "none"},                 // today, and nine o'clock has passed
    {"every day until 31 dec", "none"},  // over before it rings
};

inline const Row kOnTheTwentyEighthOfFebruaryInALeapYearRows[] = {
    {"tomorrow", R"(due=2028-02-29T09:00 repeat=none text="")"},
    {"feb 29 leap party", R"(due=2028-02-29T09:00 repeat=none text="leap party")"},
    {"on 29/2", R"(due=2028-02-29T09:00 repeat=none text="")"},
    {"2028-02-29 at 8", R"(due=2028-02-29T08:00 repeat=none text="")"},
    {"in 2 days", R"(due=2028-03-01T12:00 repeat=none text="")"},
    {"in 24 hours", R"(due=2028-02-29T12:00 repeat=none text="")"},
    {"wednesday", R"(due=2028-03-01T09:00 repeat=none text="")"},
    {"every day until mar 1", R"(due=2028-02-29T09:00 repeat=daily:2028-02-29..2028-03-01 text="")"},
    {"feb 30", "none"},
    {"2027-02-29", "none"},
};

// No false alarms: none of these is a time, or one a stick can hold.
inline const Row kNoTimeFoundRows[] = {
    {"call 555-1234", "none"},
    {"+44 20 7946 0958", "none"},
    {"3 30", "none"},
    {"later", "none"},
    {"call Ann later", "none"},
    {"version 2.5", "none"},
    {"upgrade to v2.5", "none"},
    {"costs 9.30 euros", "none"},
    {"buy milk 2.50", "none"},
    {"gym mon wed fri 7am", "none"},  // which of the days?
    {"42", "none"},
    {"at home", "none"},
    {"buy 1/2 cup of flour", "none"},
    {"sat on the sofa", "none"},
    {"it's 2 to 3 people", "none"},
    {"feb 30", "none"},
    {"feb 29", "none"},  // no leap year before the next one is over
    {"25:00", "none"},
    {"13pm", "none"},
    {"9:60", "none"},
    {"13/13/2026", "none"},
    {"in 0 min", "none"},
    {"in 20 years", "none"},
    {"dec 31 2025", "none"},
    {"today", "none"},  // nine o'clock has passed
    {"every month pay rent", "none"},
    {"every 2 days", "none"},
    {"every other day", "none"},
    {"every 15 minutes", "none"},
    {"weekly report", "none"},
    {"yesterday", "none"},
    {"2 hours ago", "none"},
    {"last monday", "none"},
    {"next week", "none"},
    {"dentist tomorrow 3", "none"},
    {"tomorrow at 9 or at 10", "none"},
    {"monday or tuesday", "none"},
    {"tomorrow midnight", "none"},
    {"until friday", "none"},
    {"from monday", "none"},
    {"in 20 min tomorrow", "none"},
    {"tomorrow tonight", "none"},
    {"8pm in the morning", "none"},
    {"wait until it is done", "none"},
    {"Monday, 15 December", "none"},  // a Tuesday
    {"meeting 8:00-9:00 tomorrow", "none"},
    {"meeting 8-9am tomorrow", "none"},
    {"at 7am and 7pm", "none"},
    {"", "none"},
};

template <std::size_t N>
Group GroupOf(const char* name, const LocalTime& now, DateOrder order, const Row (&rows)[N]) {
    return Group{name, &now, order, rows, N};
}

inline const Group kGroups[] = {
    GroupOf("Offsets", kMonday, DateOrder::DayMonthYear, kOffsetsRows),
    GroupOf("DayWords", kMonday, DateOrder::DayMonthYear, kDayWordsRows),
    GroupOf("TimesOfDay", kMonday, DateOrder::DayMonthYear, kTimesOfDayRows),
    GroupOf("DatesInWordsAndNumbers", kMonday, DateOrder::DayMonthYear, kDatesInWordsAndNumbersRows),
    GroupOf("DatesInWordsAndNumbersMonthFirst", kMonday, DateOrder::MonthDayYear,
            kDatesInWordsAndNumbersMonthFirstRows),
    GroupOf("DatesInWordsAndNumbersYearFirst", kMonday, DateOrder::YearMonthDay, kDatesInWordsAndNumbersYearFirstRows),
    GroupOf("Repeats", kMonday, DateOrder::DayMonthYear, kRepeatsRows),
    GroupOf("JustBeforeMidnight", kBeforeMidnight, DateOrder::DayMonthYear, kJustBeforeMidnightRows),
    GroupOf("OnASunday", kSunday, DateOrder::DayMonthYear, kOnASundayRows),
    GroupOf("OnNewYearsEve", kNewYearsEve, DateOrder::DayMonthYear, kOnNewYearsEveRows),
    GroupOf("OnTheTwentyEighthOfFebruaryInALeapYear", kLeapFebruary, DateOrder::DayMonthYear,
            kOnTheTwentyEighthOfFebruaryInALeapYearRows),
    GroupOf("NoTimeFound", kMonday, DateOrder::DayMonthYear, kNoTimeFoundRows),
};

}  // namespace pinora::phrase_table
