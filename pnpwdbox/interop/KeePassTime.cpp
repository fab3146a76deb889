#include "KeePassTime.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace pninterop {
namespace {

constexpr long long kSecondsPerDay = 86400;
// Seconds from 0001-01-01 to 1970-01-01, both UTC.
constexpr long long kUnixEpochFromYearOne = 62135596800LL;

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

unsigned DaysInMonth(long long y, unsigned m) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// Reads `count` digits at `at`.
bool Digits(std::string_view text, size_t at, size_t count, unsigned& value) {
    if (text.size() < at + count) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return true;
}

bool RealDate(unsigned y, unsigned m, unsigned d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool ParseIsoTime(std::string_view text, long long& utc) {
    // yyyy-MM-ddTHH:mm:ss, then "Z" or nothing (older KeePass wrote no zone).
    unsigned y, mo, d, h, mi, s;
    if (text.size() == 20 && text[19] == 'Z') text.remove_suffix(1);
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':')
        return false;
    if (!Digits(text, 0, 4, y) || !Digits(text, 5, 2, mo) || !Digits(text, 8, 2, d) || !Digits(text, 11, 2, h) ||
        !Digits(text, 14, 2, mi) || !Digits(text, 17, 2, s))
        return false;
    if (!RealDate(y, mo, d) || h > 23 || mi > 59 || s > 59) return false;
    utc = DaysFromCivil(y, mo, d) * kSecondsPerDay + h * 3600 + mi * 60 + s;
    return true;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool ParseBase64Time(std::string_view text, long long& utc) {
    // 8 bytes: 12 characters, the last one "=".
    if (text.size() != 12 || text[11] != '=') return false;
    uint64_t bits = 0;  // 66 bits of the 11 characters, the low 2 must be zero
    unsigned char bytes[8];
    uint32_t buffer = 0;
    int held = 0, out = 0;
    for (size_t i = 0; i < 11; ++i) {
        const int v = Base64Value(text[i]);
        if (v < 0) return false;
        buffer = (buffer << 6) | static_cast<uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes[out++] = static_cast<unsigned char>(buffer >> held);
            buffer &= (1u << held) - 1;
        }
    }
    if (out != 8 || buffer != 0) return false;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
    const long long maxSeconds = DaysFromCivil(10000, 1, 1) * kSecondsPerDay + kUnixEpochFromYearOne;
    if (bits >= static_cast<uint64_t>(maxSeconds)) return false;
    utc = static_cast<long long>(bits) - kUnixEpochFromYearOne;
    return true;
}

}  // namespace

long long SystemLocalOffset(long long utcSeconds) {
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0) return 0;
#else
    if (localtime_r(&t, &local) == nullptr) return 0;
#endif
    const long long asUtc =
        DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) * kSecondsPerDay +
        local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
    return asUtc - utcSeconds;
}

bool ParseKeePassTime(std::string_view text, long long& utcSeconds) {
    return ParseIsoTime(text, utcSeconds) || ParseBase64Time(text, utcSeconds);
}

std::string FormatKeePassTime(long long utcSeconds) {
    long long y;
    unsigned m, d;
    const long long days = FloorDiv(utcSeconds, kSecondsPerDay);
    const long long rest = utcSeconds - days * kSecondsPerDay;
    CivilFromDays(days, y, m, d);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", y, m, d, rest / 3600, rest / 60 % 60,
                  rest % 60);
    return text;
}

bool IsDay(std::string_view day) {
    unsigned y, m, d;
    return day.size() == 8 && Digits(day, 0, 4, y) && Digits(day, 4, 2, m) && Digits(day, 6, 2, d) &&
           RealDate(y, m, d);
}

std::string LocalDayOf(long long utcSeconds, LocalOffset offset) {
    long long y;
    unsigned m, d;
    CivilFromDays(FloorDiv(utcSeconds + offset(utcSeconds), kSecondsPerDay), y, m, d);
    char text[24];
    std::snprintf(text, sizeof text, "%04lld%02u%02u", y, m, d);
    return text;
}

bool StartOfLocalDay(std::string_view day, LocalOffset offset, long long& utcSeconds) {
    unsigned y = 0, m = 0, d = 0;
    if (!IsDay(day) || !Digits(day, 0, 4, y) || !Digits(day, 4, 2, m) || !Digits(day, 6, 2, d)) return false;
    const long long local = DaysFromCivil(y, m, d) * kSecondsPerDay;
    // The offset of the instant itself: guessed from the local time, then
    // taken again at the guess (so a change of summer time that day is met).
    long long utc = local - offset(local);
    utc = local - offset(utc);
    utcSeconds = utc;
    return true;
}

}  // namespace pninterop
