// Names of the day's files: the diary text file and the day stick file, and the
// folder they live in for the logged-in user.
#pragma once
#include <string>

#include "Clock.h"

namespace pinora {

struct DayFiles {
    std::string userDataDir;   // with a trailing backslash
    std::string diaryFile;
    std::string dayStickFile;
};

// "2009-03-05.txt": month and day always two digits.
std::string DiaryFileName(const LocalTime& date);
// "2009-3-05.stk": the day has two digits, the month is written as it is.
std::string DayStickFileName(const LocalTime& date);

// programFolder ends with a backslash. With no user (empty name) the files sit at
// the root of the current drive: "\" + name.
DayFiles MakeDayFiles(const LocalTime& date, const std::string& programFolder, const std::string& user);

}  // namespace pinora
