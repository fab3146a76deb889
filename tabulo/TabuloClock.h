// Today's local date for the header stamp, behind a seam so tests can fix the
// day. Internal to the library: not part of the exported interface.
#pragma once

namespace tabulo {

struct CalendarDate {
    int year;   // e.g. 2009
    int month;  // 1 to 12
    int day;    // 1 to 31
};

using TodayFunction = CalendarDate (*)();

// The date the library stamps into headers.
CalendarDate Today() noexcept;

// Replaces the date source; nullptr restores the local clock. Returns the
// previous source (nullptr when it was the local clock).
TodayFunction SetTodayFunction(TodayFunction today) noexcept;

}  // namespace tabulo
