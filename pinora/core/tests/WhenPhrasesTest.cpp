// The phrase reader against the phrase table (WhenPhraseTable.h), group by
// group; the text it leaves, and how it describes an alarm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WhenPhraseTable.h"
#include "WhenPhrases.h"

namespace pinora {
namespace {

using namespace phrase_table;

// Every row of a group of the table: the line pnwhen would print.
void ExpectGroup(const char* name) {
    for (const Group& group : kGroups) {
        if (std::string(group.name) != name) continue;
        for (std::size_t i = 0; i < group.count; ++i) {
            const Row& row = group.rows[i];
            EXPECT_EQ(FormatWhenLine(ReadWhen(row.phrase, *group.now, group.order)), row.line)
                << group.name << ": " << row.phrase;
        }
        return;
    }
    ADD_FAILURE() << "no group " << name;
}

TEST(WhenPhrases, Offsets) { ExpectGroup("Offsets"); }
TEST(WhenPhrases, DayWords) { ExpectGroup("DayWords"); }
TEST(WhenPhrases, TimesOfDay) { ExpectGroup("TimesOfDay"); }
TEST(WhenPhrases, DatesInTheUsersOrder) {
    ExpectGroup("DatesInWordsAndNumbers");
    ExpectGroup("DatesInWordsAndNumbersMonthFirst");
    ExpectGroup("DatesInWordsAndNumbersYearFirst");
}
TEST(WhenPhrases, Repeats) { ExpectGroup("Repeats"); }
TEST(WhenPhrases, JustBeforeMidnight) { ExpectGroup("JustBeforeMidnight"); }
TEST(WhenPhrases, OnASunday) { ExpectGroup("OnASunday"); }
TEST(WhenPhrases, OnNewYearsEve) { ExpectGroup("OnNewYearsEve"); }
TEST(WhenPhrases, OnTheTwentyEighthOfFebruaryInALeapYear) { ExpectGroup("OnTheTwentyEighthOfFebruaryInALeapYear"); }
// No false alarms, and never a wrong one.
TEST(WhenPhrases, NoTimeFound) { ExpectGroup("NoTimeFound"); }

// Nothing after the day a repeat without end is stored as ending on.
TEST(WhenPhrases, NoAlarmAfterTheLastDayAnAlarmKnows) {
    const LocalTime lastDays = At(2999, 12, 29, 23, 0);
    EXPECT_EQ(FormatWhenLine(ReadWhen("tomorrow", lastDays, DateOrder::DayMonthYear)),
              R"(due=2999-12-30T09:00 repeat=none text="")");
    EXPECT_EQ(FormatWhenLine(ReadWhen("in 3 days", lastDays, DateOrder::DayMonthYear)), "none");
    EXPECT_EQ(FormatWhenLine(ReadWhen("jan 5", lastDays, DateOrder::DayMonthYear)), "none");
    EXPECT_EQ(FormatWhenLine(ReadWhen("every day until 3000-01-02", lastDays, DateOrder::DayMonthYear)), "none");
}

TEST(WhenPhrases, TheTextLeftOver) {
    const struct {
        const char* phrase;
        const char* text;
    } rows[] = {
        {"call Ann, in 20 min, about the car", "call Ann, about the car"},
        {"at 9:30 dentist with Bob tomorrow", "dentist with Bob"},
        {"Dentist: tomorrow 9:30", "Dentist"},
        {"call Ann at 9.30.", "call Ann."},
        {"every day at 8 until 31 dec", ""},
        {"  Pick up   the kids  at 15:30 ", "Pick up   the kids"},
        {"Café mit Anna morgen at 10", "Café mit Anna morgen"},
        {"Café ☕ Привет tomorrow 9:30 你好", "Café ☕ Привет 你好"},
        {"ВСТРЕЧА TOMORROW 9:30 Ünïcödé", "ВСТРЕЧА Ünïcödé"},
        {"tea☕ in 20 min", "tea☕"},
    };
    for (const auto& row : rows) {
        const WhenFound when = ReadWhen(row.phrase, kMonday, DateOrder::DayMonthYear);
        EXPECT_TRUE(when.found) << row.phrase;
        EXPECT_EQ(when.text, row.text) << row.phrase;
    }
    EXPECT_EQ(WithoutReminderLead("me to call Ann in 20 min"), "call Ann in 20 min");
    EXPECT_EQ(WithoutReminderLead("Me: call Ann"), "call Ann");
    EXPECT_EQ(WithoutReminderLead("call Ann"), "call Ann");
    EXPECT_EQ(WithoutReminderLead("me"), "");
}

TEST(WhenPhrases, LinesQuoteTheText) {
    EXPECT_EQ(FormatWhenLine(ReadWhen("say \"hi\" \\o/ in 5 min", kMonday, DateOrder::DayMonthYear)),
              R"(due=2026-12-07T19:05 repeat=none text="say \"hi\" \\o/")");
}

TEST(WhenPhrases, DescribedInTheUsersWords) {
    auto describe = [](const char* phrase, bool todayAsTime) {
        return DescribeWhen(ReadWhen(phrase, kMonday, DateOrder::DayMonthYear), kMonday, todayAsTime);
    };
    EXPECT_EQ(describe("call Ann in 55 min", true), "19:55");
    EXPECT_EQ(describe("call Ann in 55 min", false), "Mon 7 Dec 19:55");
    EXPECT_EQ(describe("dentist tomorrow 9:30", true), "Tue 8 Dec 09:30");
    EXPECT_EQ(describe("jan 3", true), "Sun 3 Jan 2027 09:00");
    EXPECT_EQ(describe("every day at 8 until 31 dec", true), "08:00 every day from Tue 8 Dec until Thu 31 Dec");
    EXPECT_EQ(describe("every mon and thu at 10", true), "10:00 every Mon, Thu");
    EXPECT_EQ(describe("later", true), "");
}

TEST(WhenPhrases, CivilDaysRoundTrip) {
    EXPECT_EQ(DaysFromCivil(CivilDate{1970, 1, 1}), 0);
    EXPECT_EQ(DaysFromCivil(CivilDate{2000, 3, 1}), 11017);
    for (long d = -800000; d < 3000000; d += 997) {
        const CivilDate c = CivilFromDays(d);
        ASSERT_EQ(DaysFromCivil(c), d);
        ASSERT_GE(c.day, 1);
        ASSERT_LE(c.day, DaysInMonth(c.year, c.month));
    }
}

}  // namespace
}  // namespace pinora
