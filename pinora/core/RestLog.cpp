#include "RestLog.h"

#include <cstdio>
#include <cstring>

namespace pinora {
namespace {

// "2009-03-05" for the day.
std::string DayText(int year, int month, int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

// The kind word of a line of the day, or "" when the line is not one.
std::string KindOfLineOnDay(const char* line, const std::string& day) {
    if (std::strncmp(line, day.c_str(), day.size()) != 0) return "";
    // "yyyy-MM-dd HH:mm kind ..."
    const char* rest = line + day.size();
    int hour = -1, minute = -1;
    char kind[16] = {};
    if (std::sscanf(rest, " %2d:%2d %15s", &hour, &minute, kind) != 3) return "";
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return "";
    return kind;
}

}  // namespace

std::string FormatRestLogLine(const RestLogEntry& e) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %02d:%02d %s worked=%d break=%d\r\n",
                  DayText(e.when.year, e.when.month, e.when.day).c_str(), e.when.hour, e.when.minute,
                  e.isBreak ? "break" : "reminder", e.workedMinutes, e.breakMinutes);
    return line;
}

bool AppendRestLog(const std::string& path, const RestLogEntry& entry) {
    if (path.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return false;
    const std::string line = FormatRestLogLine(entry);
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
}

RestDayCount CountRestLogDay(const std::string& path, int year, int month, int day) {
    RestDayCount count;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return count;
    const std::string dayText = DayText(year, month, day);
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        const bool whole = std::strchr(line, '\n') != nullptr;
        const std::string kind = KindOfLineOnDay(line, dayText);
        if (kind == "break") ++count.breaks;
        if (kind == "reminder") ++count.reminders;
        // The rest of an over-long line is no line of its own.
        while (!whole && std::fgets(line, sizeof line, file) && !std::strchr(line, '\n')) {
        }
    }
    std::fclose(file);
    return count;
}

}  // namespace pinora
