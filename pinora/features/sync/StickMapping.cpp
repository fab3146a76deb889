#include "StickMapping.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AlarmCode.h"
#include "Utf8Text.h"

namespace pnsync {
namespace {

constexpr size_t kStickTextBytes = 254;
const char* const kByDay[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
constexpr const char* kProdId = "-//Pinora//Pinora sync//EN";

std::vector<std::string> Split(const std::string& s, char sep, size_t maxParts = std::string::npos) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < maxParts) {
        const size_t end = s.find(sep, start);
        if (end == std::string::npos) break;
        parts.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    parts.push_back(s.substr(start));
    return parts;
}

bool ParseInt(const std::string& s, int* v) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    *v = std::atoi(s.c_str());
    return true;
}

int DateOf(const CivilTime& t) { return pinora::DateNumber(t.year, t.month, t.day); }

CivilTime CivilOfDate(int date, int hour = 0, int minute = 0) {
    CivilTime t;
    t.year = date / 10000;
    t.month = date / 100 % 100;
    t.day = date % 100;
    t.hour = hour;
    t.minute = minute;
    return t;
}

// Canonical form, so that equal sticks serialize alike.
StickFields Canonical(StickFields f) {
    if (!f.hasAlarm) {
        f.hour = f.minute = 0;
        f.repeat = 0;
        f.endDate = f.date;
    } else if (f.repeat == 0) {
        f.repeat = pinora::kRepeatDaily;
        f.endDate = f.date;
    }
    if (f.repeat != pinora::kRepeatWeekly) f.weekly = "0000000";
    return f;
}

// A DURATION such as -PT30M, PT0S, -P1D; seconds.
bool ParseDuration(const std::string& text, long long* seconds) {
    size_t i = 0;
    int sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '-' ? -1 : 1;
    if (i >= text.size() || text[i] != 'P') return false;
    ++i;
    long long total = 0;
    bool inTime = false, any = false;
    while (i < text.size()) {
        if (text[i] == 'T') {
            inTime = true;
            ++i;
            continue;
        }
        long long n = 0;
        size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 9) n = n * 10 + (text[i++] - '0');
        if (i == start || i >= text.size()) return false;
        const char unit = text[i++];
        if (unit == 'W' && !inTime) total += n * 604800;
        else if (unit == 'D' && !inTime) total += n * 86400;
        else if (unit == 'H' && inTime) total += n * 3600;
        else if (unit == 'M' && inTime) total += n * 60;
        else if (unit == 'S' && inTime) total += n;
        else return false;
        any = true;
    }
    if (!any) return false;
    *seconds = sign * total;
    return true;
}

struct RuleRead {
    int repeat = pinora::kRepeatDaily;
    int endDate = 0;
    std::string weekly = "0000000";
    bool exact = true;
};

// The repeats a stick can hold: daily, weekly on chosen days, until a day or
// for a count. Anything else reads as a one-time alarm, not exactly.
RuleRead ReadRule(const std::string& rule, const CivilTime& start, const IcalComponent& cal, const MapContext& ctx) {
    RuleRead r;
    r.endDate = pinora::kEndlessDate;
    std::string freq;
    int interval = 1, count = 0;
    bool haveUntil = false;
    for (const std::string& part : Split(rule, ';')) {
        const size_t eq = part.find('=');
        if (eq == std::string::npos) {
            r.exact = false;
            continue;
        }
        const std::string key = part.substr(0, eq), val = part.substr(eq + 1);
        if (key == "FREQ") {
            freq = val;
        } else if (key == "INTERVAL") {
            if (!ParseInt(val, &interval)) r.exact = false;
        } else if (key == "COUNT") {
            if (!ParseInt(val, &count) || count < 1) r.exact = false;
        } else if (key == "UNTIL") {
            IcalTime until;
            if (!ParseIcalTimeValue(val, &until)) {
                r.exact = false;
                continue;
            }
            r.endDate = DateOf(ToLocal(until, cal, *ctx.local));
            haveUntil = true;
        } else if (key == "BYDAY") {
            r.weekly = "0000000";
            for (const std::string& day : Split(val, ',')) {
                int index = -1;
                for (int d = 0; d < 7; ++d)
                    if (day == kByDay[d]) index = d;
                if (index < 0) {
                    r.exact = false;  // "1MO" and the like
                    continue;
                }
                r.weekly[static_cast<size_t>(index)] = '1';
            }
        } else if (key == "WKST") {
            // The week's first day changes nothing for these rules.
        } else {
            r.exact = false;
        }
    }
    const bool byDay = r.weekly != "0000000";
    if (interval != 1 || (freq != "DAILY" && freq != "WEEKLY")) {
        r.exact = false;
        r.repeat = pinora::kRepeatDaily;
        r.endDate = DateOf(start);
        r.weekly = "0000000";
        return r;
    }
    if (freq == "WEEKLY" && !byDay) r.weekly[static_cast<size_t>(WeekdayOf(start.year, start.month, start.day))] = '1';
    r.repeat = (freq == "DAILY" && !byDay) ? pinora::kRepeatDaily : pinora::kRepeatWeekly;
    if (count > 0 && !haveUntil) {
        // The day of the count-th occurrence.
        long long day = DaysFromCivil(start.year, start.month, start.day);
        int seen = 0;
        for (int guard = 0; guard < 366 * 50; ++guard, ++day) {
            const CivilTime t = CivilFromDays(day);
            const bool occurs = r.repeat == pinora::kRepeatDaily ||
                                r.weekly[static_cast<size_t>(WeekdayOf(t.year, t.month, t.day))] == '1';
            if (occurs && ++seen == count) {
                r.endDate = DateOf(t);
                break;
            }
        }
    }
    return r;
}

std::string RuleText(const StickFields& f, const MapContext& ctx) {
    if (!f.hasAlarm) return "";
    if (f.repeat == pinora::kRepeatDaily && f.endDate == f.date) return "";
    if (f.repeat != pinora::kRepeatDaily && f.repeat != pinora::kRepeatWeekly) return "";
    if (f.repeat == pinora::kRepeatWeekly && f.weekly.find('1') == std::string::npos) return "";
    std::string rule = f.repeat == pinora::kRepeatDaily ? "FREQ=DAILY" : "FREQ=WEEKLY;BYDAY=";
    if (f.repeat == pinora::kRepeatWeekly) {
        bool first = true;
        for (size_t d = 0; d < 7 && d < f.weekly.size(); ++d)
            if (f.weekly[d] == '1') {
                if (!first) rule += ',';
                rule += kByDay[d];
                first = false;
            }
    }
    if (f.endDate != pinora::kEndlessDate)
        rule += ";UNTIL=" + FormatUtc(ctx.local->ToUtc(CivilOfDate(f.endDate, f.hour, f.minute)));
    return rule;
}

bool LocalText(const std::string& utf8, const MapContext& ctx, bool cut, std::string* out, RemoteItem* item) {
    std::string local;
    if (!ctx.codec->FromUtf8(utf8, &local)) {
        item->exact = false;
        item->lossReason = "its text holds characters this computer's code page lacks";
    }
    local = NormalizeLineBreaks(local);
    if (cut && local.size() > kStickTextBytes) {
        local = CutText(local, kStickTextBytes, ctx.codec->MultiByte());
        item->exact = false;
        item->lossReason = "its text is longer than a stick holds";
    }
    *out = local;
    return true;
}

// The text of a stick: the SUMMARY, or the DESCRIPTION when it holds more (it
// starts with the summary, as Pinora writes it), or both.
std::string TodoText(const IcalComponent& todo) {
    const std::string summary = todo.Text("SUMMARY");
    const std::string description = todo.Text("DESCRIPTION");
    if (description.empty()) return summary;
    if (summary.empty() || description.compare(0, summary.size(), summary) == 0) return description;
    return summary + "\n" + description;
}

bool ReadTodo(const IcalComponent& cal, const IcalComponent& todo, const MapContext& ctx, RemoteItem* item,
              std::string* error) {
    StickFields f;
    LocalText(TodoText(todo), ctx, true, &f.text, item);
    if (f.text.empty()) f.text = "-";
    IcalTime due, start;
    const IcalProperty* dueProp = todo.Find("DUE");
    if (!dueProp) dueProp = todo.Find("DTEND");  // a VEVENT being imported
    const IcalProperty* startProp = todo.Find("DTSTART");
    const bool haveDue = dueProp && ParseIcalTime(*dueProp, &due);
    const bool haveStart = startProp && ParseIcalTime(*startProp, &start);
    if ((dueProp && !haveDue) || (startProp && !haveStart)) {
        if (error) *error = "a date of the item cannot be read";
        return false;
    }
    // The alarm is the due time, or (for an event) its start time.
    const bool isEvent = todo.name == "VEVENT";
    const IcalTime* alarmTime = nullptr;
    if (isEvent && haveStart && !start.dateOnly) alarmTime = &start;
    else if (haveDue && !due.dateOnly) alarmTime = &due;
    CivilTime when;
    if (alarmTime) {
        when = ToLocal(*alarmTime, cal, *ctx.local);
        f.hasAlarm = true;
        f.hour = when.hour;
        f.minute = when.minute;
    } else if (haveDue || haveStart) {
        when = ToLocal(haveStart ? start : due, cal, *ctx.local);
    } else {
        when = ctx.local->FromUtc(ctx.nowUtc);
    }
    f.date = DateOf(when);
    f.endDate = f.date;
    f.repeat = f.hasAlarm ? pinora::kRepeatDaily : 0;
    const IcalProperty* rrule = todo.Find("RRULE");
    if (rrule) {
        if (!f.hasAlarm) {
            item->exact = false;
            item->lossReason = "it repeats without a time, which a stick cannot";
        } else {
            const RuleRead r = ReadRule(rrule->value, when, cal, ctx);
            f.repeat = r.repeat;
            f.endDate = r.endDate < f.date ? f.date : r.endDate;
            f.weekly = r.weekly;
            if (!r.exact) {
                item->exact = false;
                item->lossReason = "it repeats in a way a stick cannot";
            }
        }
    } else if (const IcalProperty* own = todo.Find("X-PINORA-REPEAT")) {
        // A repeat no RRULE says: the third kind, or weekly without days.
        // Servers may treat it as TEXT and escape what they like: "2 0000000".
        std::string value = UnescapeText(own->value);
        for (char& c : value)
            if (c == ';' || c == ',') c = ' ';
        const std::vector<std::string> parts = Split(value, ' ');
        int kind = 0;
        if (f.hasAlarm && parts.size() == 2 && ParseInt(parts[0], &kind) && kind >= 1 && kind <= 3 &&
            parts[1].size() == 7) {
            f.repeat = kind;
            f.weekly = parts[1];
        }
    }
    if (todo.FindAll("RDATE").size() || todo.FindAll("EXDATE").size()) {
        item->exact = false;
        item->lossReason = "it has extra or left-out dates a stick cannot hold";
    }
    const std::string status = todo.Find("STATUS") ? todo.Find("STATUS")->value : "";
    f.status = (status == "COMPLETED" || status == "CANCELLED" || todo.Find("COMPLETED")) ? StickStatus::Finished
                                                                                          : StickStatus::Live;
    // Only an alarm 5 minutes or more before the time counts as the advance reminder.
    bool anyAlarm = false, early = false;
    for (const IcalComponent* alarm : todo.ChildrenNamed("VALARM")) {
        anyAlarm = true;
        const IcalProperty* trigger = alarm->Find("TRIGGER");
        long long seconds = 0;
        if (trigger && trigger->ParamValue("VALUE") != "DATE-TIME" && ParseDuration(trigger->value, &seconds) &&
            seconds <= -300)
            early = true;
    }
    f.advance = !anyAlarm || early;
    item->kind = ItemKind::Stick;
    item->fields = SerializeStick(f);
    return true;
}

bool ReadJournal(const IcalComponent& cal, const IcalComponent& journal, const MapContext& ctx, RemoteItem* item) {
    const IcalProperty* startProp = journal.Find("DTSTART");
    IcalTime start;
    if (!startProp || !ParseIcalTime(*startProp, &start)) return false;  // no day: not a diary day
    DayFields f;
    f.date = DateOf(ToLocal(start, cal, *ctx.local));
    std::string utf8;
    for (const IcalProperty* d : journal.FindAll("DESCRIPTION")) {
        if (!utf8.empty()) utf8 += "\n";
        utf8 += UnescapeText(d->value);
    }
    if (utf8.empty()) utf8 = journal.Text("SUMMARY");
    LocalText(utf8, ctx, false, &f.text, item);
    item->kind = ItemKind::Day;
    item->fields = SerializeDay(f);
    return true;
}

// The one item of an object: the first VTODO (or VJOURNAL) without a
// RECURRENCE-ID; exceptions to a repeat stay in the object but are not read.
const IcalComponent* MainItem(const IcalComponent& cal, const char* name, bool* overrides) {
    const IcalComponent* main = nullptr;
    for (const IcalComponent& c : cal.children) {
        if (c.name != name) continue;
        if (c.Find("RECURRENCE-ID")) {
            *overrides = true;
            continue;
        }
        if (!main) main = &c;
    }
    return main;
}

void SetDateProp(IcalComponent* c, const char* name, int date) {
    IcalProperty& p = c->Set(name, FormatDate(date / 10000, date / 100 % 100, date % 100));
    p.SetParam("VALUE", "DATE");
}

IcalComponent MakeAlarm(const std::string& trigger, const std::string& text) {
    IcalComponent a;
    a.name = "VALARM";
    a.Set("ACTION", "DISPLAY");
    a.SetText("DESCRIPTION", text);
    a.Set("TRIGGER", trigger);
    return a;
}

void WriteStickText(IcalComponent* todo, const std::string& utf8) {
    const size_t lineEnd = utf8.find('\n');
    if (lineEnd == std::string::npos) {
        todo->SetText("SUMMARY", utf8);
        todo->Remove("DESCRIPTION");
    } else {
        todo->SetText("SUMMARY", utf8.substr(0, lineEnd));
        todo->SetText("DESCRIPTION", utf8);
    }
}

void WriteStickSchedule(IcalComponent* todo, const StickFields& f, const std::string& utf8Text, const MapContext& ctx) {
    todo->Remove("DTSTART");
    todo->Remove("DUE");
    todo->Remove("RRULE");
    todo->Remove("X-PINORA-REPEAT");
    todo->RemoveChildren("VALARM");
    if (!f.hasAlarm) {
        SetDateProp(todo, "DTSTART", f.date);
        return;
    }
    // A due time needs a start of the same kind: both the alarm time, in UTC.
    const std::string at = FormatUtc(ctx.local->ToUtc(CivilOfDate(f.date, f.hour, f.minute)));
    todo->Set("DTSTART", at);
    todo->Set("DUE", at);
    const std::string rule = RuleText(f, ctx);
    if (!rule.empty()) todo->Set("RRULE", rule);
    else if (f.repeat == pinora::kRepeatWeekly || f.repeat == pinora::kRepeatThird)
        todo->Set("X-PINORA-REPEAT", std::to_string(f.repeat) + " " + f.weekly);
    const std::string summary = utf8Text.substr(0, utf8Text.find('\n'));
    if (f.advance) todo->children.push_back(MakeAlarm("-PT30M", summary));
    todo->children.push_back(MakeAlarm("PT0S", summary));
}

void WriteStickStatus(IcalComponent* todo, const StickFields& f, const MapContext& ctx) {
    if (f.status == StickStatus::Finished) {
        todo->Set("STATUS", "COMPLETED");
        if (!todo->Find("COMPLETED")) todo->Set("COMPLETED", FormatUtc(ctx.nowUtc));
        todo->Set("PERCENT-COMPLETE", "100");
    } else {
        todo->Set("STATUS", "NEEDS-ACTION");
        todo->Remove("COMPLETED");
        todo->Remove("PERCENT-COMPLETE");
    }
}

bool SameText(const StickFields& a, const StickFields& b) { return a.text == b.text; }
bool SameSchedule(const StickFields& a, const StickFields& b) {
    return a.date == b.date && a.hasAlarm == b.hasAlarm && a.hour == b.hour && a.minute == b.minute &&
           a.repeat == b.repeat && a.endDate == b.endDate && a.weekly == b.weekly;
}
bool SameStatus(const StickFields& a, const StickFields& b) { return a.status == b.status; }

void StampItem(IcalComponent* item, const std::string& uid, const MapContext& ctx) {
    item->Set("UID", uid);
    item->Set("DTSTAMP", FormatUtc(ctx.nowUtc));
    item->Set("LAST-MODIFIED", FormatUtc(ctx.nowUtc));
}

}  // namespace

bool Latin1Codec::ToUtf8(const std::string& local, std::string* utf8) const {
    utf8->clear();
    for (unsigned char c : local) {
        if (c < 0x80) {
            *utf8 += static_cast<char>(c);
        } else {
            *utf8 += static_cast<char>(0xC0 | (c >> 6));
            *utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

bool Latin1Codec::FromUtf8(const std::string& utf8, std::string* local) const {
    local->clear();
    bool exact = true;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = s[i];
        size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        if (i + extra >= utf8.size() + (extra ? 0 : 1)) extra = utf8.size() - i - 1;
        unsigned cp = extra == 0 ? c : extra == 1 ? (c & 0x1Fu) : extra == 2 ? (c & 0x0Fu) : (c & 0x07u);
        for (size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (s[i + k] & 0x3Fu);
        if (cp <= 0xFF) {
            *local += static_cast<char>(cp);
        } else {
            *local += '?';
            exact = false;
        }
        i += extra + 1;
    }
    return exact;
}

std::string NormalizeLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 4);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string CutText(const std::string& text, size_t maxBytes, bool multiByte) {
    if (text.size() <= maxBytes) return text;
    // The program's only code page of several bytes a character is UTF-8.
    size_t cut = multiByte ? uikit::Utf8PrefixLength(text, maxBytes) : maxBytes;
    // Never leave half a CRLF.
    if (cut > 0 && text[cut - 1] == '\r') --cut;
    return text.substr(0, cut);
}

std::string SerializeStick(const StickFields& in) {
    const StickFields f = Canonical(in);
    char head[128];
    const char status = f.status == StickStatus::Live ? 'L' : f.status == StickStatus::Finished ? 'F' : 'D';
    std::snprintf(head, sizeof head, "S|%d|%d|%d|%d|%d|%d|%s|%c|%d|", f.date, f.hasAlarm ? 1 : 0, f.hour, f.minute,
                  f.repeat, f.endDate, f.weekly.c_str(), status, f.advance ? 1 : 0);
    return head + f.text;
}

bool ParseStick(const std::string& text, StickFields* f) {
    const std::vector<std::string> p = Split(text, '|', 11);
    if (p.size() != 11 || p[0] != "S") return false;
    StickFields r;
    int alarm = 0, advance = 0;
    if (!ParseInt(p[1], &r.date) || !ParseInt(p[2], &alarm) || !ParseInt(p[3], &r.hour) || !ParseInt(p[4], &r.minute) ||
        !ParseInt(p[5], &r.repeat) || !ParseInt(p[6], &r.endDate) || p[7].size() != 7 || p[8].size() != 1 ||
        !ParseInt(p[9], &advance))
        return false;
    r.hasAlarm = alarm != 0;
    r.weekly = p[7];
    r.status = p[8] == "L" ? StickStatus::Live : p[8] == "F" ? StickStatus::Finished : StickStatus::Deleted;
    r.advance = advance != 0;
    r.text = p[10];
    *f = r;
    return true;
}

std::string SerializeDay(const DayFields& f) { return "D|" + std::to_string(f.date) + "|" + f.text; }

bool ParseDay(const std::string& text, DayFields* f) {
    const std::vector<std::string> p = Split(text, '|', 3);
    if (p.size() != 3 || p[0] != "D" || !ParseInt(p[1], &f->date)) return false;
    f->text = p[2];
    return true;
}

ItemKind KindOfFields(const std::string& fields) {
    if (fields.compare(0, 2, "S|") == 0) return ItemKind::Stick;
    if (fields.compare(0, 2, "D|") == 0) return ItemKind::Day;
    return ItemKind::Other;
}

StickFields StickFromRecord(int date, const std::string& text, const pinora::AlarmRecord& alarm) {
    StickFields f;
    f.text = CutText(NormalizeLineBreaks(text), kStickTextBytes, false);
    f.date = date;
    pinora::AlarmCode code;
    const bool decoded = pinora::DecodeAlarmCode(alarm.code.c_str(), &code);
    if (decoded && code.repeatKind != pinora::kRepeatNone && alarm.state != pinora::kStateNoAlarm) {
        f.hasAlarm = true;
        f.hour = code.hour;
        f.minute = code.minute;
        f.repeat = code.repeatKind;
        f.endDate = code.endDate;
        f.weekly = alarm.weekly.size() == 7 ? alarm.weekly : "0000000";
    }
    if (alarm.state == pinora::kStateFinished)
        f.status = alarm.alarm5 == kDeletedMark ? StickStatus::Deleted : StickStatus::Finished;
    return Canonical(f);
}

pinora::AlarmRecord RecordFromStick(const StickFields& in) {
    const StickFields f = Canonical(in);
    pinora::AlarmRecord r;
    pinora::AlarmCode code;
    code.year = f.date / 10000;
    code.month = f.date / 100 % 100;
    code.day = f.date % 100;
    code.startDate = f.date;
    code.hour = f.hour;
    code.minute = f.minute;
    code.dayOfWeek = WeekdayOf(code.year, code.month, code.day);
    code.repeatKind = f.hasAlarm ? f.repeat : pinora::kRepeatNone;
    code.endDate = f.hasAlarm ? f.endDate : f.date;
    r.code = pinora::EncodeAlarmCode(code);
    const bool live = f.status == StickStatus::Live;
    r.alarm5 = f.status == StickStatus::Deleted ? kDeletedMark : (f.hasAlarm && live ? "0" : "1");
    r.alarm30 = f.hasAlarm && live && f.advance ? "0" : "1";
    r.stick = f.text;
    r.weekly = f.weekly;
    r.date = std::to_string(f.date);
    r.state = !live ? pinora::kStateFinished : f.hasAlarm ? pinora::kStateLive : pinora::kStateNoAlarm;
    return r;
}

bool ReadCalendar(const IcalComponent& cal, const MapContext& ctx, RemoteItem* item, std::string* error,
                  bool importing) {
    *item = RemoteItem();
    bool overrides = false;
    const IcalComponent* todo = MainItem(cal, "VTODO", &overrides);
    if (!todo && importing) todo = MainItem(cal, "VEVENT", &overrides);
    const IcalComponent* journal = todo ? nullptr : MainItem(cal, "VJOURNAL", &overrides);
    const IcalComponent* main = todo ? todo : journal;
    if (!main) return true;  // an event, a free/busy, ...: not Pinora's
    item->uid = main->Text("UID");
    if (item->uid.empty()) {
        if (error) *error = "the item has no UID";
        return false;
    }
    if (todo && !ReadTodo(cal, *todo, ctx, item, error)) return false;
    if (journal && !ReadJournal(cal, *journal, ctx, item)) {
        *item = RemoteItem();
        return true;
    }
    if (overrides) {
        item->exact = false;
        item->lossReason = "some of its repeats were changed one by one, which a stick cannot hold";
    }
    return true;
}

bool ReadObject(const std::string& raw, const MapContext& ctx, RemoteItem* item, std::string* error, bool importing) {
    IcalComponent cal;
    if (!ParseICalendar(raw, &cal, error)) return false;
    return ReadCalendar(cal, ctx, item, error, importing);
}

bool WriteComponentInto(const std::string& fields, const std::string& uid, IcalComponent* item,
                        const std::string& baseFields, const MapContext& ctx) {
    StampItem(item, uid, ctx);
    if (KindOfFields(fields) == ItemKind::Day) {
        DayFields d;
        if (!ParseDay(fields, &d)) return false;
        std::string utf8;
        ctx.codec->ToUtf8(d.text, &utf8);
        SetDateProp(item, "DTSTART", d.date);
        item->SetText("DESCRIPTION", utf8);
        return true;
    }
    StickFields f;
    if (!ParseStick(fields, &f)) return false;
    StickFields base;
    const bool haveBase = !baseFields.empty() && ParseStick(baseFields, &base);
    std::string utf8;
    ctx.codec->ToUtf8(f.text, &utf8);
    if (!haveBase || !SameText(f, base)) WriteStickText(item, utf8);
    if (!haveBase || !SameSchedule(f, base)) WriteStickSchedule(item, f, utf8, ctx);
    if (!haveBase || !SameStatus(f, base)) WriteStickStatus(item, f, ctx);
    return true;
}

std::string WriteObject(const std::string& fields, const std::string& uid, const std::string& raw,
                        const std::string& base, const MapContext& ctx) {
    const ItemKind kind = KindOfFields(fields);
    const char* name = kind == ItemKind::Day ? "VJOURNAL" : "VTODO";
    IcalComponent cal;
    IcalComponent* item = nullptr;
    bool overrides = false;
    if (!raw.empty() && ParseICalendar(raw, &cal, nullptr))
        item = const_cast<IcalComponent*>(MainItem(cal, name, &overrides));
    if (!item) {
        cal = IcalComponent();
        cal.name = "VCALENDAR";
        cal.Set("VERSION", "2.0");
        cal.Set("PRODID", kProdId);
        IcalComponent fresh;
        fresh.name = name;
        cal.children.push_back(std::move(fresh));
        item = &cal.children.back();
        if (!WriteComponentInto(fields, uid, item, "", ctx)) return "";
        return WriteICalendar(cal);
    }
    if (!WriteComponentInto(fields, uid, item, base, ctx)) return "";
    return WriteICalendar(cal);
}

}  // namespace pnsync
