// Our own small, strict iCalendar reader and writer: content lines folded at 75
// octets, TEXT escaping, parameters, nested components. An object read from a
// server is kept whole (every property and component, known or not), so what
// Pinora does not understand goes back to the server untouched.
#pragma once
#include <string>
#include <vector>

namespace pnsync {

struct IcalParam {
    std::string name;                 // upper case
    std::vector<std::string> values;  // unquoted
};

struct IcalProperty {
    std::string name;  // upper case
    std::vector<IcalParam> params;
    std::string value;  // as on the wire: TEXT values still escaped

    const IcalParam* Param(const char* name) const;
    std::string ParamValue(const char* name) const;  // first value, or ""
    void SetParam(const char* name, const std::string& value);
    void RemoveParam(const char* name);
};

struct IcalComponent {
    std::string name;  // upper case: VCALENDAR, VTODO, VALARM, ...
    std::vector<IcalProperty> props;
    std::vector<IcalComponent> children;

    const IcalProperty* Find(const char* name) const;
    IcalProperty* Find(const char* name);
    std::vector<const IcalProperty*> FindAll(const char* name) const;
    // Replaces every property of that name by one with this value (and params).
    IcalProperty& Set(const char* name, const std::string& value);
    void Remove(const char* name);
    // Text of a TEXT property, unescaped; "" when absent.
    std::string Text(const char* name) const;
    void SetText(const char* name, const std::string& text);

    const IcalComponent* Child(const char* name) const;
    IcalComponent* Child(const char* name);
    std::vector<const IcalComponent*> ChildrenNamed(const char* name) const;
    void RemoveChildren(const char* name);
};

// Reads one iCalendar stream (one VCALENDAR). False with a reason naming the
// line for anything outside the subset: unbalanced BEGIN/END, a line without a
// colon, a bad name, invalid UTF-8, nesting deeper than 8, more than 1 MiB.
bool ParseICalendar(const std::string& text, IcalComponent* calendar, std::string* error);

// Writes with CRLF line ends, folding every line longer than 75 octets (never
// inside a UTF-8 character).
std::string WriteICalendar(const IcalComponent& calendar);
// One content line, folded, ending in CRLF.
std::string FoldLine(const std::string& line);

// TEXT values: backslash, semicolon, comma and line breaks (CRLF, LF or CR all
// become \n).
std::string EscapeText(const std::string& text);
// The reverse; "\n" and "\N" give LF.
std::string UnescapeText(const std::string& value);

}  // namespace pnsync
