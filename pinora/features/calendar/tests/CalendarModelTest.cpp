// The calendar's month view and what its day cells list, without windows: the
// grid of 42 days, the month buttons' steps, and the sticks read for each day.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AlarmStore.h"
#include "CalendarModel.h"
#include "StickTestSupport.h"

namespace pinora {
namespace {

std::vector<int> Records(const DaySticks& sticks) {
    std::vector<int> records;
    for (const ListedStick& s : sticks) records.push_back(s.record);
    return records;
}

int CurrentCells(const MonthGrid& grid) {
    int n = 0;
    for (const DayDate& d : grid) n += d.currentMonth;
    return n;
}

TEST(MonthGridTest, LeapFebruaryShowsItsTwentyNineDaysBetweenGreyNeighbours) {
    const MonthGrid grid = BuildMonthGrid(2012, 2);  // 1 February 2012 is a Wednesday
    EXPECT_EQ(CurrentCells(grid), 29);
    // Sunday to Tuesday of the week before: the last days of January.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(grid[i].month, 1);
        EXPECT_EQ(grid[i].day, 29 + i);
        EXPECT_EQ(grid[i].currentMonth, 0);
    }
    EXPECT_EQ(grid[3].month, 2);
    EXPECT_EQ(grid[3].day, 1);
    EXPECT_EQ(grid[3 + 28].day, 29);
    EXPECT_EQ(grid[3 + 28].currentMonth, 1);
    // Then March, grey, up to the 42nd cell.
    EXPECT_EQ(grid[32].month, 3);
    EXPECT_EQ(grid[32].day, 1);
    EXPECT_EQ(grid[41].month, 3);
    EXPECT_EQ(grid[41].day, 10);
    EXPECT_EQ(grid[41].currentMonth, 0);
}

TEST(MonthGridTest, MonthBeginningOnSundayKeepsAWholeWeekBeforeIt) {
    const MonthGrid grid = BuildMonthGrid(2009, 2);  // 1 February 2009 is a Sunday
    EXPECT_EQ(grid[0].month, 1);
    EXPECT_EQ(grid[0].day, 25);
    EXPECT_EQ(grid[7].month, 2);
    EXPECT_EQ(grid[7].day, 1);
    EXPECT_EQ(CurrentCells(grid), 28);
    EXPECT_EQ(grid[41].month, 3);
    EXPECT_EQ(grid[41].day, 7);
}

TEST(MonthGridTest, EveryMonthIsFortyTwoFollowingDaysUnderTheirWeekdays) {
    for (int year : {1900, 2000, 2008, 2009, 2010, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month));
            const MonthGrid grid = BuildMonthGrid(year, month);
            EXPECT_EQ(CurrentCells(grid), DaysInMonth(year, month));
            int firstCurrent = -1;
            for (int i = 0; i < kCalendarCells; ++i) {
                const DayDate& d = grid[i];
                EXPECT_EQ(d.dayOfWeek, i % 7);
                EXPECT_EQ(d.dayOfWeek, DayOfWeek(d.year, d.month, d.day)) << "cell " << i;
                EXPECT_EQ(d.currentMonth, d.year == year && d.month == month ? 1 : 0);
                if (firstCurrent < 0 && d.currentMonth) firstCurrent = i;
                if (i > 0) {
                    const CivilDate next = NextDay(CivilDate{grid[i - 1].year, grid[i - 1].month, grid[i - 1].day});
                    EXPECT_EQ(DateNumber(next.year, next.month, next.day), DateNumberOf(d)) << "cell " << i;
                }
            }
            EXPECT_GE(firstCurrent, 1);
            EXPECT_LE(firstCurrent, 7);
            EXPECT_EQ(grid[firstCurrent].day, 1);
        }
    }
}

TEST(MonthGridTest, MonthButtonsCrossTheYearOnTheTwentieth) {
    CivilDate d = StepMonth(CivilDate{2009, 1, 31}, -1);
    EXPECT_EQ(DateNumber(d.year, d.month, d.day), 20081220);
    d = StepMonth(d, +1);
    EXPECT_EQ(DateNumber(d.year, d.month, d.day), 20090120);
    d = StepMonth(CivilDate{2009, 12, 5}, +1);
    EXPECT_EQ(DateNumber(d.year, d.month, d.day), 20100120);
    d = StepMonth(CivilDate{2009, 3, 5}, 0);
    EXPECT_EQ(DateNumber(d.year, d.month, d.day), 20090320);
    // The tables keep eight-digit dates: no step leaves the years 1000 to 9999.
    d = StepMonth(CivilDate{9999, 12, 1}, +1);
    EXPECT_EQ(DateNumber(d.year, d.month, d.day), 99991220);
    d = StepMonth(CivilDate{1000, 1, 1}, -1);
    EXPECT_EQ(DateNumber(d.year, d.month, d.day), 10000120);
}

TEST(MonthGridTest, CellHeaderAndNewStickCode) {
    const DayDate day{2009, 3, 10, 2, 1};
    EXPECT_EQ(CellHeaderText(day), "2,3-10.2009");
    const std::string code = NewStickCode(day, 14, 7);
    EXPECT_EQ(code, "20090310|2009|3|10|14|7|2|0|20090310");
    const AlarmCode a = DecodeAlarmCode(code.c_str());
    EXPECT_EQ(a.repeatKind, kRepeatNone);
    EXPECT_EQ(a.startDate, 20090310);
    EXPECT_EQ(a.endDate, 20090310);

    const LocalTime now{2009, 3, 10, 23, 59, 0, 2};
    EXPECT_FALSE(IsPastDay(day, now));
    EXPECT_TRUE(IsPastDay(DayDate{2009, 3, 9, 1, 1}, now));
    EXPECT_TRUE(IsPastDay(DayDate{2008, 12, 31, 3, 0}, now));
    EXPECT_FALSE(IsPastDay(DayDate{2009, 4, 1, 3, 0}, now));
}

TEST(MonthGridTest, CellsFillTheirGridSquaresBelowTheHeader) {
    const CellBox first = CellBoxOf(0, 706, 674);  // columns 100 wide, rows 101 high
    EXPECT_EQ(first.left, 3);
    EXPECT_EQ(first.top, 70);
    EXPECT_EQ(first.right, 97);
    EXPECT_EQ(first.bottom, 67 + 101 - 3);
    const CellBox last = CellBoxOf(41, 706, 674);
    EXPECT_EQ(last.left, 603);
    EXPECT_EQ(last.top, 67 + 5 * 101 + 3);
    EXPECT_EQ(last.right, 697);
    EXPECT_EQ(last.bottom, 67 + 6 * 101 - 3);
}

class DaySticksTest : public test::SticksFolderTest {
protected:
    void Put(const std::string& date, const char* state, const std::string& text) {
        AlarmRecord r;
        r.code = date + "|2009|03|05|9|0|4|0|" + date;
        r.date = date;
        r.state = state;
        r.stick = text;
        ASSERT_TRUE(AppendAlarm(alarmPath, r));
    }
};

TEST_F(DaySticksTest, ItemsCarryTheirRecordsWhenFinishedSticksAreHidden) {
    Put("20090305", "0", "finished first");
    Put("20090304", "1", "the day before");
    Put("20090305", "1", "second");
    Put("20090305", "3", "third");

    const DaySticks hidden = LoadDaySticks(alarmPath, 20090305, true);
    EXPECT_EQ(Records(hidden), (std::vector<int>{3, 4}));
    ASSERT_EQ(hidden.size(), 2u);
    EXPECT_EQ(hidden[0].text, "second");
    EXPECT_EQ(hidden[0].finished, 0);
    EXPECT_EQ(hidden[1].text, "third");

    const DaySticks all = LoadDaySticks(alarmPath, 20090305, false);
    EXPECT_EQ(Records(all), (std::vector<int>{1, 3, 4}));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].finished, 1);
    EXPECT_EQ(all[0].text, "finished first");
    EXPECT_EQ(all[1].finished, 0);
    EXPECT_EQ(all[2].finished, 0);

    EXPECT_TRUE(HidesFinished("1"));
    EXPECT_TRUE(HidesFinished(""));  // never written: hidden
    EXPECT_FALSE(HidesFinished("0"));
}

TEST_F(DaySticksTest, OnePassForTheMonthListsWhatEachDayReadsForItself) {
    const char* states[] = {"1", "0", "3", "", "1"};
    int n = 0;
    // March 2009 shows 22 to 28 February and 1 to 4 April around it.
    for (const char* date : {"20090222", "20090221", "20090301", "20090305", "20090331", "20090404", "20090405",
                             "2009035", "020090305", "20090305 ", "", "20090305", "20090228", "20090301"}) {
        Put(date, states[n % 5], "stick " + std::to_string(n));
        ++n;
    }
    const MonthGrid grid = BuildMonthGrid(2009, 3);
    for (bool hide : {true, false}) {
        const auto month = LoadMonthSticks(alarmPath, grid, hide);
        size_t listed = 0;
        for (int i = 0; i < kCalendarCells; ++i) {
            const DaySticks day = LoadDaySticks(alarmPath, DateNumberOf(grid[i]), hide);
            ASSERT_EQ(Records(month[i]), Records(day)) << "cell " << i << (hide ? " hiding" : "");
            for (size_t k = 0; k < day.size(); ++k) {
                EXPECT_EQ(month[i][k].text, day[k].text);
                EXPECT_EQ(month[i][k].finished, day[k].finished);
            }
            listed += day.size();
        }
        // 22 Feb, 1 Mar (twice), 5 Mar (twice), 31 Mar, 4 Apr, 28 Feb, less the finished ones.
        EXPECT_EQ(listed, hide ? 5u : 8u);
    }
}

TEST_F(DaySticksTest, MissingTableListsNothing) {
    EXPECT_TRUE(LoadDaySticks(alarmPath, 20090305, false).empty());
    const auto month = LoadMonthSticks(alarmPath, BuildMonthGrid(2009, 3), false);
    for (const DaySticks& day : month) EXPECT_TRUE(day.empty());
}

}  // namespace
}  // namespace pinora
