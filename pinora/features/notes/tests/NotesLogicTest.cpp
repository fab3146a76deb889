#include "NotesLogic.h"

#include <gtest/gtest.h>

namespace pinora {
namespace {

LocalTime Picker(int y, int m, int d) { return LocalTime{y, m, d, 0, 0, 0, DayOfWeek(y, m, d)}; }

// Every entry of the list carries the weekend tag its date really has, whichever
// day of the month the picker stands on.
void ExpectWeekendTagsMatchTheCalendar(int y, int m) {
    const int days = DaysInMonth(y, m);
    for (int pickerDay = 1; pickerDay <= days; ++pickerDay) {
        auto entries = MonthEntries({y, m, 1}, {y, m, days}, Picker(y, m, pickerDay));
        ASSERT_EQ(static_cast<int>(entries.size()), days);
        for (int d = 1; d <= days; ++d) {
            const int weekday = DayOfWeek(y, m, d);
            const std::string tag = weekday == 0 ? ":Sunday" : weekday == 6 ? ":Saturday" : "";
            char name[32];
            std::snprintf(name, sizeof name, "%d-%02d-%02d.txt", y, m, d);
            EXPECT_EQ(entries[static_cast<size_t>(d - 1)], name + tag) << "picker on day " << pickerDay;
        }
    }
}

TEST(MonthEntries, September2008ListsThirtyDaysWithItsWeekends) {
    auto entries = MonthEntries({2008, 9, 1}, {2008, 9, 30}, Picker(2008, 9, 9));
    ASSERT_EQ(entries.size(), 30u);
    EXPECT_EQ(entries[0], "2008-09-01.txt");
    EXPECT_EQ(entries[5], "2008-09-06.txt:Saturday");
    EXPECT_EQ(entries[6], "2008-09-07.txt:Sunday");
    EXPECT_EQ(entries[29], "2008-09-30.txt");
    ExpectWeekendTagsMatchTheCalendar(2008, 9);
}

TEST(MonthEntries, MonthStartingOnASunday) {
    // 1 February 2009 was a Sunday; from the 28th the count runs backwards.
    auto entries = MonthEntries({2009, 2, 1}, {2009, 2, 28}, Picker(2009, 2, 28));
    ASSERT_EQ(entries.size(), 28u);
    EXPECT_EQ(entries[0], "2009-02-01.txt:Sunday");
    EXPECT_EQ(entries[6], "2009-02-07.txt:Saturday");
    EXPECT_EQ(entries[27], "2009-02-28.txt:Saturday");
    ExpectWeekendTagsMatchTheCalendar(2009, 2);
    ExpectWeekendTagsMatchTheCalendar(2008, 2);  // leap year: 29 days
}

TEST(MonthEntries, DaysOutsideThePickersMonthGetNoWeekday) {
    auto entries = MonthEntries({2008, 10, 1}, {2008, 10, 31}, Picker(2008, 9, 9));
    ASSERT_EQ(entries.size(), 31u);
    EXPECT_EQ(entries[3], "2008-10-04.txt");  // a Saturday, but not of the picker's month
    auto otherYear = MonthEntries({2009, 9, 1}, {2009, 9, 30}, Picker(2008, 9, 9));
    EXPECT_EQ(otherYear[4], "2009-09-05.txt");
}

TEST(MonthEntries, ARangeOverSeveralMonthsNeverNamesADayThatDoesNotExist) {
    auto entries = MonthEntries({2008, 9, 1}, {2008, 10, 31}, Picker(2008, 9, 9));
    ASSERT_EQ(entries.size(), 30u);
    EXPECT_EQ(entries.back(), "2008-09-30.txt");
    EXPECT_TRUE(MonthEntries({0, 0, 0}, {0, 0, 0}, Picker(2008, 9, 9)).empty());
}

TEST(EntryFileName, CutsAtTheLastColon) {
    EXPECT_EQ(EntryFileName("2008-09-06.txt:Saturday"), "2008-09-06.txt");
    EXPECT_EQ(EntryFileName("2008-09-09.txt"), "2008-09-09.txt");
    EXPECT_EQ(EntryFileName("a:b:Sunday"), "a:b");
    EXPECT_EQ(EntryFileName(""), "");
}

TEST(MoveTarget, EndsOfTheListAndNoSelectionStayPut) {
    EXPECT_EQ(MoveTarget(0, MoveKind::Up, 5), -1);
    EXPECT_EQ(MoveTarget(4, MoveKind::Down, 5), -1);
    EXPECT_EQ(MoveTarget(0, MoveKind::Top, 5), -1);
    EXPECT_EQ(MoveTarget(4, MoveKind::Bottom, 5), -1);
    EXPECT_EQ(MoveTarget(-1, MoveKind::Down, 5), -1);
    EXPECT_EQ(MoveTarget(0, MoveKind::Down, 0), -1);

    EXPECT_EQ(MoveTarget(2, MoveKind::Up, 5), 1);
    EXPECT_EQ(MoveTarget(2, MoveKind::Down, 5), 3);
    EXPECT_EQ(MoveTarget(2, MoveKind::Top, 5), 0);
    EXPECT_EQ(MoveTarget(2, MoveKind::Bottom, 5), 4);
}

TEST(NoteText, ShownUpToTheFirstNulAndSavedWithOneLineEnd) {
    EXPECT_EQ(NoteTextOf(std::string("kept\r\n\0dropped", 15)), "kept\r\n");
    EXPECT_EQ(NoteTextOf("whole"), "whole");

    EXPECT_EQ(NoteFileBytesFor("abc"), "abc\r\n");
    // Saving what was shown writes the file back as it was.
    EXPECT_EQ(NoteFileBytesFor("abc\r\n"), "abc\r\n");
    EXPECT_EQ(NoteFileBytesFor("line\r\n\r\n"), "line\r\n\r\n");
}

}  // namespace
}  // namespace pinora
