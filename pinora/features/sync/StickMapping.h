// What a stick and a diary day are on a CalDAV server: a stick is a VTODO (its
// text, its day, its alarm as DUE with two VALARMs, its repeat as RRULE, a
// finished alarm as STATUS:COMPLETED), a day file a VJOURNAL. Both directions
// go through plain field records, which is also what the sync compares and
// merges: the reminder flags the scheduler keeps are not part of them.
#pragma once
#include <string>

#include "AlarmStore.h"
#include "ICalendar.h"
#include "TimeZones.h"

namespace pnsync {

// Pinora's text (the ANSI code page) and UTF-8.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    // False when the text cannot be read in the code page; *utf8 then gets
    // what can be read, with U+FFFD for the rest.
    virtual bool ToUtf8(const std::string& local, std::string* utf8) const = 0;
    // False when the code page cannot hold the text exactly; *local then gets
    // what it can hold.
    virtual bool FromUtf8(const std::string& utf8, std::string* local) const = 0;
    // Whether one character may take several bytes in the code page (then a
    // text is cut only where a character starts).
    virtual bool MultiByte() const { return false; }
};

// The code page as ISO 8859-1 (tests and tools).
class Latin1Codec : public TextCodec {
public:
    bool ToUtf8(const std::string& local, std::string* utf8) const override;
    bool FromUtf8(const std::string& utf8, std::string* local) const override;
};

enum class ItemKind { Stick, Day, Other };
enum class StickStatus { Live, Finished, Deleted };

struct StickFields {
    std::string text;  // CRLF line breaks, at most 254 bytes
    int date = 0;      // yyyymmdd
    bool hasAlarm = false;
    int hour = 0, minute = 0;
    int repeat = 0;    // pinora::RepeatKind
    int endDate = 0;
    std::string weekly = "0000000";
    StickStatus status = StickStatus::Live;
    bool advance = true;  // the reminder 30 minutes before is wanted; not compared
};

struct DayFields {
    int date = 0;
    std::string text;  // CRLF line breaks
};

// The field records as one text each, the form the sync state keeps ("" for
// none). Equal texts are equal items.
std::string SerializeStick(const StickFields& f);
bool ParseStick(const std::string& text, StickFields* f);
std::string SerializeDay(const DayFields& f);
bool ParseDay(const std::string& text, DayFields* f);
ItemKind KindOfFields(const std::string& fields);

// Line breaks of any kind become CRLF; a stick's text is then cut to 254 bytes.
std::string NormalizeLineBreaks(const std::string& text);
// Cut to at most maxBytes, never inside a character of a multi-byte code page.
std::string CutText(const std::string& text, size_t maxBytes, bool multiByte);

// Stick n as the two tables hold it, and back. The alarm record's ALARM5 reads
// "D" for a stick deleted by the user (STATE "0" alone is a finished alarm).
StickFields StickFromRecord(int date, const std::string& text, const pinora::AlarmRecord& alarm);
pinora::AlarmRecord RecordFromStick(const StickFields& f);
constexpr const char* kDeletedMark = "D";

struct MapContext {
    const ZoneRules* local = nullptr;
    const TextCodec* codec = nullptr;
    long long nowUtc = 0;  // DTSTAMP, and the day of an item that has none
};

// What a server object is to Pinora.
struct RemoteItem {
    ItemKind kind = ItemKind::Other;
    std::string uid;
    std::string fields;  // serialized; "" for Other
    // False when Pinora's copy cannot be the server's exactly (a text the code
    // page lacks, a repeat it cannot hold): such an item is never written back
    // unless the user edits it.
    bool exact = true;
    std::string lossReason;
};

// Reads one object. False (with a reason) for a broken object; an object that
// holds neither a VTODO nor a VJOURNAL with a day is kind Other. With
// importing, a VEVENT reads as a stick too.
bool ReadObject(const std::string& raw, const MapContext& ctx, RemoteItem* item, std::string* error,
                bool importing = false);
bool ReadCalendar(const IcalComponent& calendar, const MapContext& ctx, RemoteItem* item, std::string* error,
                  bool importing = false);

// The object to store on the server for these fields. Over a server copy (raw)
// only the groups of properties whose fields differ from base are rewritten
// (text; day, alarm and repeat; status), so what Pinora does not hold exactly
// and every property it does not know stay as the server had them.
std::string WriteObject(const std::string& fields, const std::string& uid, const std::string& raw,
                        const std::string& base, const MapContext& ctx);
// The same into a component (for files holding many).
bool WriteComponentInto(const std::string& fields, const std::string& uid, IcalComponent* item,
                        const std::string& baseFields, const MapContext& ctx);

}  // namespace pnsync
