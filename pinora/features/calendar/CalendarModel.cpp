#include "CalendarModel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AlarmStore.h"
#include "TableScan.h"

namespace pinora {
namespace {

DayDate MakeDay(const CivilDate& c, int column, bool current) {
    return DayDate{c.year, c.month, c.day, column, current ? 1 : 0};
}

CivilDate PreviousDay(CivilDate d) {
    if (--d.day >= 1) return d;
    if (--d.month < 1) {
        d.month = 12;
        --d.year;
    }
    d.day = DaysInMonth(d.year, d.month);
    return d;
}

std::string NumberText(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", n);
    return text;
}

// Both loads decide here whether and how a record is listed, so a day shows the
// same whichever of them filled it. The table is positioned on the record.
bool ListRecord(const TableScan& table, long record, bool hideFinished, ListedStick* out) {
    char state[8] = {}, text[kLongestAlarmField + 1] = {};
    if (!table.ReadField(kAlarmState, state, sizeof state)) return false;
    const bool finished = std::atoi(state) == 0;
    if (finished && hideFinished) return false;
    if (!table.ReadField(kAlarmStick, text, sizeof text)) return false;
    out->finished = finished ? 1 : 0;
    out->record = static_cast<int>(record);
    out->text = text;
    return true;
}

// The number whose "%d" text is exactly this one: digits only, no leading zero,
// at most nine of them. A DATE that is not such a text equals no day's text.
bool ParseDateNumber(const char* text, int* number) {
    int n = 0, digits = 0;
    for (const char* c = text; *c; ++c, ++digits) {
        if (*c < '0' || *c > '9' || digits == 9 || (digits == 0 && *c == '0')) return false;
        n = n * 10 + (*c - '0');
    }
    *number = n;
    return digits > 0;
}

}  // namespace

MonthGrid BuildMonthGrid(int year, int month) {
    MonthGrid grid;
    const int first = DayOfWeek(year, month, 1);
    const int trailing = first == 0 ? kCalendarColumns : first;
    CivilDate d{year, month, 1};
    for (int i = 0; i < trailing; ++i) d = PreviousDay(d);
    for (int i = 0; i < kCalendarCells; ++i) {
        grid[static_cast<size_t>(i)] = MakeDay(d, i % kCalendarColumns, d.year == year && d.month == month);
        d = NextDay(d);
    }
    return grid;
}

CivilDate StepMonth(const CivilDate& shown, int months) {
    const int index = shown.year * 12 + (shown.month - 1) + months;
    const int year = index / 12, month = index % 12 + 1;
    if (index < 0 || year < kFirstShownYear || year > kLastShownYear) return CivilDate{shown.year, shown.month, 20};
    return CivilDate{year, month, 20};
}

std::string CellHeaderText(const DayDate& d) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d-%d.%d", d.dayOfWeek, d.month, d.day, d.year);
    return text;
}

bool HidesFinished(const std::string& delStickDirectly) { return delStickDirectly != "0"; }

DaySticks LoadDaySticks(const std::string& alarmPath, int dateNumber, bool hideFinished) {
    DaySticks sticks;
    TableScan table;
    if (!table.Open(alarmPath)) return sticks;
    const std::string wanted = NumberText(dateNumber);
    char date[16];
    for (long r = 1; r <= table.Records(); ++r) {
        if (!table.Go(r) || !table.ReadField(kAlarmDate, date, sizeof date) || wanted != date) continue;
        ListedStick stick;
        if (ListRecord(table, r, hideFinished, &stick)) sticks.push_back(std::move(stick));
    }
    return sticks;
}

std::array<DaySticks, kCalendarCells> LoadMonthSticks(const std::string& alarmPath, const MonthGrid& grid,
                                                     bool hideFinished) {
    std::array<DaySticks, kCalendarCells> days;
    TableScan table;
    if (!table.Open(alarmPath)) return days;
    // The grid's days follow one another, so their numbers rise with the index.
    std::array<int, kCalendarCells> numbers;
    for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = DateNumberOf(grid[i]);
    char date[16];
    for (long r = 1; r <= table.Records(); ++r) {
        int number = 0;
        if (!table.Go(r) || !table.ReadField(kAlarmDate, date, sizeof date) || !ParseDateNumber(date, &number)) continue;
        const auto at = std::lower_bound(numbers.begin(), numbers.end(), number);
        if (at == numbers.end() || *at != number) continue;
        ListedStick stick;
        if (ListRecord(table, r, hideFinished, &stick)) days[static_cast<size_t>(at - numbers.begin())].push_back(std::move(stick));
    }
    return days;
}

std::string NewStickCode(const DayDate& d, int hour, int minute) {
    const int date = DateNumberOf(d);
    char code[96];
    std::snprintf(code, sizeof code, "%d|%d|%d|%d|%d|%d|%d|%d|%d", date, d.year, d.month, d.day, hour, minute,
                  d.dayOfWeek, kRepeatNone, date);
    return code;
}

bool IsPastDay(const DayDate& d, const LocalTime& now) {
    return DateNumber(now.year, now.month, now.day) > DateNumberOf(d);
}

CellBox CellBoxOf(int index, int width, int height) {
    const int gridTop = kCalendarTopBand + kCalendarHeader;
    const int columnWidth = width / kCalendarColumns;
    const int rowHeight = (height - gridTop) / kCalendarRows;
    const int column = index % kCalendarColumns, row = index / kCalendarColumns;
    CellBox box;
    box.left = column * columnWidth + kCellInset;
    box.top = gridTop + row * rowHeight + kCellInset;
    box.right = (column + 1) * columnWidth - kCellInset;
    box.bottom = gridTop + (row + 1) * rowHeight - kCellInset;
    return box;
}

}  // namespace pinora
