// What the sync needs of Windows besides the network: the ANSI code page and
// UTF-8, the computer's time zone, new UIDs.
#pragma once
#include <string>

#include "StickMapping.h"
#include "TimeZones.h"

namespace pnsync {

// Through CP_ACP both ways, noticing characters the code page lacks: right
// before and after the program's code page becomes UTF-8.
class AnsiCodec : public TextCodec {
public:
    bool ToUtf8(const std::string& local, std::string* utf8) const override;
    bool FromUtf8(const std::string& utf8, std::string* local) const override;
    bool MultiByte() const override;
};

// The zone Windows is set to, with its daylight-saving rules.
class WindowsZone : public ZoneRules {
public:
    long long ToUtc(const CivilTime& local) const override;
    CivilTime FromUtc(long long utc) const override;
};

// "pinora-" and 32 hex digits from the system's random source.
std::string NewUid();

}  // namespace pnsync
