// The notes manager's rules that need no window: which entries a month lists,
// which file an entry names, where the move buttons put an entry, and how a
// note's text is read and written back.
#pragma once
#include <string>
#include <vector>

#include "AlarmCode.h"
#include "Clock.h"

namespace pinora {

// Weekday (0 = Sunday) of a day of the picker's month, counted from the picker's
// own date and weekday in whole weeks.
int WeekdayFromPicker(int day, int pickerDay, int pickerWeekday);

// The entries for the month calendar's visible range: one day file name per day
// from first.day to last.day, in first's month and year. Days of the picker's
// month carry ":Saturday" or ":Sunday" on weekends. A range that runs into a
// later month stops at the end of first's month, so no entry names a day that
// does not exist.
std::vector<std::string> MonthEntries(const CivilDate& first, const CivilDate& last, const LocalTime& picker);

// The file an entry names: its text up to the last colon, or all of it.
std::string EntryFileName(const std::string& entry);

enum class MoveKind { Up, Down, Top, Bottom };
// Where the entry at `from` goes in a list of `count`, or -1 when it stays.
int MoveTarget(int from, MoveKind kind, int count);

// A note file's text as the manager shows it: up to the first NUL byte.
std::string NoteTextOf(const std::string& fileBytes);

// What Save writes for the text in the box: the text and a line break, unless it
// already ends with one, so saving an unchanged note leaves the file unchanged.
std::string NoteFileBytesFor(const std::string& text);

}  // namespace pinora
