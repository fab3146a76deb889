#include "NotesLogic.h"

#include "DayFiles.h"

namespace pinora {

int WeekdayFromPicker(int day, int pickerDay, int pickerWeekday) {
    // The remainder truncates toward zero, so it is negative or 0 before the picker day.
    const int r = (day - pickerDay) % 7;
    return day < pickerDay ? (r + pickerWeekday + 7) % 7 : (r + pickerWeekday) % 7;
}

std::vector<std::string> MonthEntries(const CivilDate& first, const CivilDate& last, const LocalTime& picker) {
    std::vector<std::string> entries;
    if (first.year <= 0 || first.month < 1 || first.month > 12) return entries;
    const bool sameMonth = last.year == first.year && last.month == first.month;
    const int lastDay = sameMonth ? last.day : DaysInMonth(first.year, first.month);
    const bool pickerMonth = picker.year == first.year && picker.month == first.month;
    for (int day = first.day < 1 ? 1 : first.day; day <= lastDay; ++day) {
        LocalTime date;
        date.year = first.year;
        date.month = first.month;
        date.day = day;
        std::string entry = DiaryFileName(date);
        if (pickerMonth) {
            const int weekday = WeekdayFromPicker(day, picker.day, picker.dayOfWeek);
            if (weekday == 0) entry += ":Sunday";
            if (weekday == 6) entry += ":Saturday";
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string EntryFileName(const std::string& entry) {
    const size_t colon = entry.rfind(':');
    return colon == std::string::npos ? entry : entry.substr(0, colon);
}

int MoveTarget(int from, MoveKind kind, int count) {
    int to = -1;
    switch (kind) {
    case MoveKind::Up: to = from - 1; break;
    case MoveKind::Down: to = from + 1; break;
    case MoveKind::Top: to = 0; break;
    case MoveKind::Bottom: to = count - 1; break;
    }
    if (from < 0 || from >= count || to < 0 || to >= count || to == from) return -1;
    return to;
}

std::string NoteTextOf(const std::string& fileBytes) {
    return fileBytes.substr(0, fileBytes.find('\0'));
}

std::string NoteFileBytesFor(const std::string& text) {
    const bool endsWithBreak = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    return endsWithBreak ? text : text + "\r\n";
}

}  // namespace pinora
