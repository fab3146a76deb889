// What the month calendar shows, without a window: the 42 days of a month view,
// the sticks listed under each day (read from the alarm table in one pass), the
// month the buttons step to, and the small texts and codes the cells hand on.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "AlarmCode.h"
#include "Clock.h"

namespace pinora {

constexpr int kCalendarCells = 42;
constexpr int kCalendarColumns = 7;
constexpr int kCalendarRows = 6;
// Months the calendar shows: their dates print as eight digits, as the tables keep them.
constexpr int kFirstShownYear = 1000;
constexpr int kLastShownYear = 9999;

// One day of the grid, as each cell keeps it and hands it on in its messages.
struct DayDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int dayOfWeek = 0;     // 0 = Sunday; also the cell's column
    int currentMonth = 0;  // 1 for a day of the month shown
};

inline int DateNumberOf(const DayDate& d) { return DateNumber(d.year, d.month, d.day); }

using MonthGrid = std::array<DayDate, kCalendarCells>;

// The 42 days of the month view of (year, month), Sunday first: the last days of
// the month before (a whole week of them when the month begins on a Sunday), every
// day of the month, then the first days of the month after.
MonthGrid BuildMonthGrid(int year, int month);

// The date the month buttons go to: months forward (negative: back), on day 20.
// Stays where it is rather than leave the years the tables can hold.
CivilDate StepMonth(const CivilDate& shown, int months);

// The cell header: "%d,%d-%d.%d" of day of the week, month, day and year.
std::string CellHeaderText(const DayDate& d);

// One stick as a day cell lists it. The record number travels with the item, so
// opening it reaches that stick whatever else the list leaves out.
struct ListedStick {
    int finished = 0;  // 1 for STATE 0, drawn struck through
    int record = 0;    // its record in "alarm.ser" and "sticks.esf"
    std::string text;
};
using DaySticks = std::vector<ListedStick>;

// "del_stick_directly": finished sticks are hidden unless it reads "0".
bool HidesFinished(const std::string& delStickDirectly);

// The sticks whose DATE is the date, in table order. A missing or unreadable
// table lists nothing.
DaySticks LoadDaySticks(const std::string& alarmPath, int dateNumber, bool hideFinished);
// The sticks of every day of the grid from one pass over the table: day i gets
// exactly what LoadDaySticks gives for its date.
std::array<DaySticks, kCalendarCells> LoadMonthSticks(const std::string& alarmPath, const MonthGrid& grid,
                                                     bool hideFinished);

// The alarm code a new stick on the day starts from: the day at the given time,
// without alarm, ending that day.
std::string NewStickCode(const DayDate& d, int hour, int minute);
// New sticks are not made on days before today.
bool IsPastDay(const DayDate& d, const LocalTime& now);

// Where cell i lies in a calendar of the given client size: 7 columns and 6 rows
// below the top band and the day-name header, 3 pixels inside its grid square.
struct CellBox {
    int left = 0, top = 0, right = 0, bottom = 0;
};
constexpr int kCalendarTopBand = 50;
constexpr int kCalendarHeader = 17;
constexpr int kCellInset = 3;
CellBox CellBoxOf(int index, int width, int height);

}  // namespace pinora
