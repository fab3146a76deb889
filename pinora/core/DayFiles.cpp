#include "DayFiles.h"

#include <cstdio>

namespace pinora {

std::string DiaryFileName(const LocalTime& date) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%02d-%02d.txt", date.year, date.month, date.day);
    return buf;
}

std::string DayStickFileName(const LocalTime& date) {
    char buf[64];
    std::snprintf(buf, sizeof buf, date.day >= 10 ? "%d-%d-%d.stk" : "%d-%d-0%d.stk", date.year,
                  date.month, date.day);
    return buf;
}

DayFiles MakeDayFiles(const LocalTime& date, const std::string& programFolder, const std::string& user) {
    DayFiles files;
    files.userDataDir = user.empty() ? std::string("\\") : programFolder + user + "\\data\\";
    files.diaryFile = files.userDataDir + DiaryFileName(date);
    files.dayStickFile = files.userDataDir + "sticks\\" + DayStickFileName(date);
    return files;
}

}  // namespace pinora
