// Times as iCalendar writes them (a date, a UTC time, a local time with a TZID,
// a floating time) and the zones they are read in: the computer's own zone (on
// Windows from the system, in tests a fixed or a VTIMEZONE one) and the
// VTIMEZONE components an object carries.
#pragma once
#include <string>
#include <vector>

#include "ICalendar.h"

namespace pnsync {

struct CivilTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Days since 1970-01-01 of a Gregorian date, and back.
long long DaysFromCivil(int year, int month, int day);
CivilTime CivilFromDays(long long days);
long long SecondsFromCivil(const CivilTime& t);
CivilTime CivilFromSeconds(long long seconds);
int WeekdayOf(int year, int month, int day);  // 0 = Sunday
int DaysInMonthOf(int year, int month);
bool IsRealDate(int year, int month, int day);

// A zone: wall-clock time to UTC seconds and back.
class ZoneRules {
public:
    virtual ~ZoneRules() = default;
    virtual long long ToUtc(const CivilTime& local) const = 0;
    virtual CivilTime FromUtc(long long utcSeconds) const = 0;
};

class FixedZone : public ZoneRules {
public:
    explicit FixedZone(int offsetSeconds) : offset_(offsetSeconds) {}
    long long ToUtc(const CivilTime& local) const override { return SecondsFromCivil(local) - offset_; }
    CivilTime FromUtc(long long utc) const override { return CivilFromSeconds(utc + offset_); }

private:
    int offset_;
};

// The rules of one VTIMEZONE: STANDARD and DAYLIGHT observances with their
// onsets (DTSTART, yearly RRULE by month and weekday or month day, RDATE).
class VTimezoneRules : public ZoneRules {
public:
    bool Load(const IcalComponent& vtimezone, std::string* error);
    long long ToUtc(const CivilTime& local) const override;
    CivilTime FromUtc(long long utc) const override;
    int OffsetAt(long long utc) const;

private:
    struct Observance {
        int from = 0, to = 0;  // offsets in seconds
        CivilTime start;       // local, in the "from" offset
        int byMonth = 0;
        int byDayOrdinal = 0;  // 1..5, -1..-5; 0 with byMonthDay
        int byDayWeekday = -1;
        int byMonthDay = 0;
        bool yearly = false;
        long long until = 0;  // UTC seconds; 0: none
        std::vector<long long> extraOnsets;  // RDATEs, UTC
    };
    // The last onset of an observance at or before utc; false when none.
    bool LastOnset(const Observance& o, long long utc, long long* onset) const;
    std::vector<Observance> observances_;
};

struct IcalTime {
    enum Kind { Floating, Utc, Zoned };
    CivilTime time;
    bool dateOnly = false;
    Kind kind = Floating;
    std::string tzid;
};

// DATE ("20090305") or DATE-TIME ("20090305T140500", with "Z" for UTC) and its
// TZID parameter. False for anything else or a date that does not exist.
bool ParseIcalTime(const IcalProperty& prop, IcalTime* out);
bool ParseIcalTimeValue(const std::string& value, IcalTime* out);

// The wall-clock time of t in the local zone: UTC through the local zone, a
// TZID through the VTIMEZONE of that name in the calendar (an unknown TZID is
// read as floating), a floating time as it stands. Dates stay dates.
CivilTime ToLocal(const IcalTime& t, const IcalComponent& calendar, const ZoneRules& local);

std::string FormatUtc(long long utcSeconds);  // 20090305T130500Z
std::string FormatDate(int year, int month, int day);  // 20090305
// "+0100" / "-013000" to seconds.
bool ParseUtcOffset(const std::string& text, int* seconds);

}  // namespace pnsync
