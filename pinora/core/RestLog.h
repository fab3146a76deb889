// The break record: with "[ALERTS] rest_log=1" the rest reminder appends one line
// per reminder and per break taken to "rest.log" in the user's folder, and the
// settings show how many breaks were taken today. A line reads
//   2009-03-05 10:45 reminder worked=45 break=0
//   2009-03-05 11:20 break worked=30 break=12
// (the time the reminder came or the break ended, the minutes worked before it,
// the break's length in minutes). Lines of any other form are skipped.
#pragma once
#include <string>

#include "Clock.h"

namespace pinora {

constexpr const char* kRestLogName = "rest.log";

struct RestLogEntry {
    LocalTime when;
    bool isBreak = false;  // else a reminder
    int workedMinutes = 0;
    int breakMinutes = 0;
};

// One line, ending in CR LF.
std::string FormatRestLogLine(const RestLogEntry& entry);
// Appends the line to the file (created when missing); false when it could not.
bool AppendRestLog(const std::string& path, const RestLogEntry& entry);

// How many reminders and breaks the file records on one day.
struct RestDayCount {
    int reminders = 0;
    int breaks = 0;
};
RestDayCount CountRestLogDay(const std::string& path, int year, int month, int day);

// The logged-in user's record ("<program folder><user>\rest.log"), or "" while
// nobody is logged in. (Windows side: it reads the process state.)
std::string CurrentUserRestLog();
// Whether "[ALERTS] rest_log" asks for the record (exactly "1").
bool RestLogWanted();

}  // namespace pinora
