// Times as KeePass files write them, and the local days the password box keeps.
#pragma once
#include <string>
#include <string_view>

namespace pninterop {

// Seconds to add to a UTC time (seconds since 1970) to get local time at that
// instant.
using LocalOffset = long long (*)(long long utcSeconds);
// The C library's time zone (the system's).
long long SystemLocalOffset(long long utcSeconds);

// KeePass writes a time either as "2027-03-04T23:00:00Z" or (KDBX 4) as the
// base64 of a little-endian 64-bit count of seconds since 0001-01-01 UTC. False
// for anything else or a year outside 1..9999.
bool ParseKeePassTime(std::string_view text, long long& utcSeconds);
std::string FormatKeePassTime(long long utcSeconds);  // "yyyy-MM-ddTHH:mm:ssZ"

// A day as the box keeps it: "yyyyMMdd" of a real date.
bool IsDay(std::string_view day);
// The local day of an instant.
std::string LocalDayOf(long long utcSeconds, LocalOffset offset);
// The instant the local day starts (its midnight); false when `day` is no day.
bool StartOfLocalDay(std::string_view day, LocalOffset offset, long long& utcSeconds);

}  // namespace pninterop
