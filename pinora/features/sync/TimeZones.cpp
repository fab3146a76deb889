#include "TimeZones.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pnsync {
namespace {

bool Digits(const std::string& s, size_t pos, size_t count, int* value) {
    if (pos + count > s.size()) return false;
    int v = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    *value = v;
    return true;
}

const char* const kWeekdays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

int WeekdayIndex(const std::string& two) {
    for (int i = 0; i < 7; ++i)
        if (two == kWeekdays[i]) return i;
    return -1;
}

// Day of the month of the n-th (1..5, or -1..-5 from the end) weekday.
int NthWeekday(int year, int month, int ordinal, int weekday) {
    const int days = DaysInMonthOf(year, month);
    if (ordinal > 0) {
        const int first = WeekdayOf(year, month, 1);
        const int day = 1 + (weekday - first + 7) % 7 + 7 * (ordinal - 1);
        return day <= days ? day : 0;
    }
    const int last = WeekdayOf(year, month, days);
    const int day = days - (last - weekday + 7) % 7 - 7 * (-ordinal - 1);
    return day >= 1 ? day : 0;
}

std::vector<std::string> SplitRule(const std::string& rule, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = rule.find(sep, start);
        parts.push_back(rule.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace

long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

CivilTime CivilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    CivilTime t;
    t.year = static_cast<int>(y + (m <= 2));
    t.month = static_cast<int>(m);
    t.day = static_cast<int>(d);
    return t;
}

long long SecondsFromCivil(const CivilTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

CivilTime CivilFromSeconds(long long s) {
    long long days = s / 86400;
    long long rest = s % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    CivilTime t = CivilFromDays(days);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest % 3600 / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

int WeekdayOf(int year, int month, int day) {
    const long long days = DaysFromCivil(year, month, day);
    return static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
}

int DaysInMonthOf(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsRealDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonthOf(year, month);
}

bool ParseUtcOffset(const std::string& text, int* seconds) {
    if (text.size() != 5 && text.size() != 7) return false;
    if (text[0] != '+' && text[0] != '-') return false;
    int h = 0, m = 0, s = 0;
    if (!Digits(text, 1, 2, &h) || !Digits(text, 3, 2, &m)) return false;
    if (text.size() == 7 && !Digits(text, 5, 2, &s)) return false;
    if (h > 23 || m > 59 || s > 59) return false;
    const int v = h * 3600 + m * 60 + s;
    *seconds = text[0] == '-' ? -v : v;
    return true;
}

bool ParseIcalTimeValue(const std::string& value, IcalTime* out) {
    IcalTime t;
    if (!Digits(value, 0, 4, &t.time.year) || !Digits(value, 4, 2, &t.time.month) || !Digits(value, 6, 2, &t.time.day))
        return false;
    if (!IsRealDate(t.time.year, t.time.month, t.time.day)) return false;
    if (value.size() == 8) {
        t.dateOnly = true;
        *out = t;
        return true;
    }
    if (value.size() < 15 || value[8] != 'T') return false;
    if (!Digits(value, 9, 2, &t.time.hour) || !Digits(value, 11, 2, &t.time.minute) ||
        !Digits(value, 13, 2, &t.time.second))
        return false;
    if (t.time.hour > 23 || t.time.minute > 59 || t.time.second > 60) return false;
    if (t.time.second == 60) t.time.second = 59;
    if (value.size() == 16 && value[15] == 'Z')
        t.kind = IcalTime::Utc;
    else if (value.size() != 15)
        return false;
    *out = t;
    return true;
}

bool ParseIcalTime(const IcalProperty& prop, IcalTime* out) {
    IcalTime t;
    if (!ParseIcalTimeValue(prop.value, &t)) return false;
    if (prop.ParamValue("VALUE") == "DATE" && !t.dateOnly) return false;
    const std::string tzid = prop.ParamValue("TZID");
    if (!tzid.empty() && t.kind != IcalTime::Utc && !t.dateOnly) {
        t.kind = IcalTime::Zoned;
        t.tzid = tzid;
    }
    *out = t;
    return true;
}

std::string FormatUtc(long long utc) {
    const CivilTime t = CivilFromSeconds(utc);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

std::string FormatDate(int year, int month, int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

bool VTimezoneRules::Load(const IcalComponent& tz, std::string* error) {
    observances_.clear();
    for (const IcalComponent& c : tz.children) {
        if (c.name != "STANDARD" && c.name != "DAYLIGHT") continue;
        Observance o;
        const IcalProperty* from = c.Find("TZOFFSETFROM");
        const IcalProperty* to = c.Find("TZOFFSETTO");
        const IcalProperty* start = c.Find("DTSTART");
        IcalTime startTime;
        if (!from || !to || !start || !ParseUtcOffset(from->value, &o.from) || !ParseUtcOffset(to->value, &o.to) ||
            !ParseIcalTimeValue(start->value, &startTime) || startTime.dateOnly) {
            if (error) *error = "a time zone observance lacks its offsets or start";
            return false;
        }
        o.start = startTime.time;
        if (const IcalProperty* rrule = c.Find("RRULE")) {
            for (const std::string& part : SplitRule(rrule->value, ';')) {
                const size_t eq = part.find('=');
                if (eq == std::string::npos) continue;
                const std::string key = part.substr(0, eq), val = part.substr(eq + 1);
                if (key == "FREQ") {
                    o.yearly = val == "YEARLY";
                } else if (key == "BYMONTH") {
                    o.byMonth = std::atoi(val.c_str());
                } else if (key == "BYMONTHDAY") {
                    o.byMonthDay = std::atoi(val.c_str());
                } else if (key == "BYDAY" && val.size() >= 2) {
                    o.byDayWeekday = WeekdayIndex(val.substr(val.size() - 2));
                    const std::string n = val.substr(0, val.size() - 2);
                    o.byDayOrdinal = n.empty() ? 1 : std::atoi(n.c_str());
                } else if (key == "UNTIL") {
                    IcalTime until;
                    if (ParseIcalTimeValue(val, &until)) o.until = SecondsFromCivil(until.time);
                }
            }
            const bool usable = o.yearly && o.byMonth >= 1 && o.byMonth <= 12 &&
                                ((o.byDayWeekday >= 0 && o.byDayOrdinal != 0 && o.byDayOrdinal >= -5 &&
                                  o.byDayOrdinal <= 5) ||
                                 (o.byMonthDay >= 1 && o.byMonthDay <= 31));
            if (!usable) {
                if (error) *error = "a time zone rule is beyond what Pinora reads";
                return false;
            }
        }
        for (const IcalProperty* rdate : c.FindAll("RDATE"))
            for (const std::string& v : SplitRule(rdate->value, ',')) {
                IcalTime t;
                if (ParseIcalTimeValue(v, &t)) o.extraOnsets.push_back(SecondsFromCivil(t.time) - o.from);
            }
        observances_.push_back(o);
    }
    if (observances_.empty()) {
        if (error) *error = "the time zone has no STANDARD or DAYLIGHT part";
        return false;
    }
    return true;
}

bool VTimezoneRules::LastOnset(const Observance& o, long long utc, long long* onset) const {
    bool found = false;
    long long best = 0;
    auto consider = [&](long long candidate) {
        if (candidate <= utc && (!found || candidate > best)) {
            best = candidate;
            found = true;
        }
    };
    consider(SecondsFromCivil(o.start) - o.from);
    for (long long extra : o.extraOnsets) consider(extra);
    if (o.yearly) {
        const int year = CivilFromSeconds(utc).year;
        for (int y = std::max(o.start.year, year - 1); y <= year + 1; ++y) {
            const int day = o.byMonthDay ? o.byMonthDay : NthWeekday(y, o.byMonth, o.byDayOrdinal, o.byDayWeekday);
            if (day < 1 || day > DaysInMonthOf(y, o.byMonth)) continue;
            CivilTime local = o.start;
            local.year = y;
            local.month = o.byMonth;
            local.day = day;
            const long long candidate = SecondsFromCivil(local) - o.from;
            if (candidate < SecondsFromCivil(o.start) - o.from) continue;
            if (o.until && candidate > o.until) continue;
            consider(candidate);
        }
    }
    *onset = best;
    return found;
}

int VTimezoneRules::OffsetAt(long long utc) const {
    bool found = false;
    long long best = 0;
    int offset = observances_.empty() ? 0 : observances_.front().from;
    long long earliest = 0;
    bool haveEarliest = false;
    for (const Observance& o : observances_) {
        long long onset;
        if (LastOnset(o, utc, &onset) && (!found || onset > best)) {
            best = onset;
            offset = o.to;
            found = true;
        }
        const long long first = SecondsFromCivil(o.start) - o.from;
        if (!found && (!haveEarliest || first < earliest)) {
            earliest = first;
            haveEarliest = true;
            offset = o.from;
        }
    }
    return offset;
}

long long VTimezoneRules::ToUtc(const CivilTime& local) const {
    const long long wall = SecondsFromCivil(local);
    const int guess = OffsetAt(wall);
    const int second = OffsetAt(wall - guess);
    // In a gap or an overlap the second guess is the offset in force afterwards.
    return wall - second;
}

CivilTime VTimezoneRules::FromUtc(long long utc) const { return CivilFromSeconds(utc + OffsetAt(utc)); }

CivilTime ToLocal(const IcalTime& t, const IcalComponent& calendar, const ZoneRules& local) {
    if (t.dateOnly) return t.time;
    switch (t.kind) {
    case IcalTime::Utc:
        return local.FromUtc(SecondsFromCivil(t.time));
    case IcalTime::Zoned:
        for (const IcalComponent* tz : calendar.ChildrenNamed("VTIMEZONE")) {
            const IcalProperty* id = tz->Find("TZID");
            if (!id || id->value != t.tzid) continue;
            VTimezoneRules rules;
            if (!rules.Load(*tz, nullptr)) break;
            return local.FromUtc(rules.ToUtc(t.time));
        }
        return t.time;
    case IcalTime::Floating:
    default:
        return t.time;
    }
}

}  // namespace pnsync
