// pnwhen: what the phrase reader makes of a phrase, one line per phrase.
//   pnwhen --now 2026-12-07T19:00 [--dates dmy|mdy|ymd] "dentist tomorrow 9:30"
//   due=2026-12-08T09:30 repeat=none text="dentist"
// With no phrase on the command line it reads one phrase per line from the
// standard input. "none" when no time is found; the exit code is 0 either way
// (2 for a command line it cannot read).
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "Clock.h"
#include "WhenPhrases.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: pnwhen [--now YYYY-MM-DDTHH:MM] [--dates dmy|mdy|ymd] [phrase...]\n"
                 "  prints due=YYYY-MM-DDTHH:MM repeat=R text=\"...\" or none, for the phrase\n"
                 "  or for each line of the standard input; dates default to dmy, now to the clock\n");
    return 2;
}

bool ParseNow(const char* text, pinora::LocalTime* now) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    char tail = 0;
    if (std::sscanf(text, "%4d-%2d-%2dT%2d:%2d%c", &y, &mo, &d, &h, &mi, &tail) != 5) return false;
    if (y < 1000 || mo < 1 || mo > 12 || d < 1 || d > pinora::DaysInMonth(y, mo) || h > 23 || mi > 59 || h < 0 ||
        mi < 0)
        return false;
    *now = pinora::LocalTime{y, mo, d, h, mi, 0, pinora::DayOfWeek(y, mo, d)};
    return true;
}

bool ParseOrder(const char* text, pinora::DateOrder* order) {
    if (std::strcmp(text, "dmy") == 0) *order = pinora::DateOrder::DayMonthYear;
    else if (std::strcmp(text, "mdy") == 0) *order = pinora::DateOrder::MonthDayYear;
    else if (std::strcmp(text, "ymd") == 0) *order = pinora::DateOrder::YearMonthDay;
    else return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    pinora::LocalTime now = pinora::CurrentClock().Now();
    pinora::DateOrder order = pinora::DateOrder::DayMonthYear;
    std::string phrase;
    bool havePhrase = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--now") == 0 && i + 1 < argc) {
            if (!ParseNow(argv[++i], &now)) return Usage();
        } else if (std::strcmp(arg, "--dates") == 0 && i + 1 < argc) {
            if (!ParseOrder(argv[++i], &order)) return Usage();
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return Usage();
        } else {
            if (havePhrase) phrase += ' ';
            phrase += arg;
            havePhrase = true;
        }
    }
    if (havePhrase) {
        std::printf("%s\n", pinora::FormatWhenLine(pinora::ReadWhen(phrase, now, order)).c_str());
        return 0;
    }
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::printf("%s\n", pinora::FormatWhenLine(pinora::ReadWhen(line, now, order)).c_str());
    }
    return 0;
}
