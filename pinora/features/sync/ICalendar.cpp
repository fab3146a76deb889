#include "ICalendar.h"

#include <cstring>
#include <string_view>

#include "Utf8Text.h"

namespace pnsync {
namespace {

constexpr size_t kMaxObjectBytes = 1u << 20;
constexpr size_t kMaxDepth = 8;
constexpr size_t kFoldOctets = 75;

bool SameName(const std::string& a, const char* b) { return a == b; }

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// Control characters other than tab are not allowed in content lines.
bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

std::string LineError(size_t line, const char* what) { return "line " + std::to_string(line) + ": " + what; }

struct LogicalLine {
    std::string text;
    size_t number;  // of its first physical line
};

std::vector<LogicalLine> Unfold(const std::string& text) {
    std::vector<LogicalLine> lines;
    size_t pos = 0, number = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > pos && text[stop - 1] == '\r') --stop;
        ++number;
        std::string physical = text.substr(pos, stop - pos);
        pos = end + 1;
        if (!physical.empty() && (physical[0] == ' ' || physical[0] == '\t') && !lines.empty()) {
            lines.back().text.append(physical, 1, std::string::npos);
            continue;
        }
        lines.push_back({std::move(physical), number});
    }
    return lines;
}

// name *(";" param) ":" value
bool ParseContentLine(const std::string& line, IcalProperty* prop, const char** why) {
    size_t i = 0;
    while (i < line.size() && IsNameChar(line[i])) ++i;
    if (i == 0) {
        *why = "a property name is missing";
        return false;
    }
    prop->name = Upper(line.substr(0, i));
    while (i < line.size() && line[i] == ';') {
        ++i;
        size_t start = i;
        while (i < line.size() && IsNameChar(line[i])) ++i;
        if (i == start || i >= line.size() || line[i] != '=') {
            *why = "a parameter is malformed";
            return false;
        }
        IcalParam param;
        param.name = Upper(line.substr(start, i - start));
        ++i;
        for (;;) {
            std::string value;
            if (i < line.size() && line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::string::npos) {
                    *why = "a quoted parameter value is not closed";
                    return false;
                }
                value = line.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                size_t vstart = i;
                while (i < line.size() && line[i] != ';' && line[i] != ':' && line[i] != ',' && line[i] != '"') ++i;
                value = line.substr(vstart, i - vstart);
            }
            param.values.push_back(std::move(value));
            if (i < line.size() && line[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        prop->params.push_back(std::move(param));
    }
    if (i >= line.size() || line[i] != ':') {
        *why = "the line has no colon before its value";
        return false;
    }
    prop->value = line.substr(i + 1);
    for (unsigned char c : prop->value)
        if (IsControl(c)) {
            *why = "a value holds a control character";
            return false;
        }
    return true;
}

void WriteComponent(const IcalComponent& c, std::string* out) {
    *out += FoldLine("BEGIN:" + c.name);
    for (const IcalProperty& p : c.props) {
        std::string line = p.name;
        for (const IcalParam& param : p.params) {
            line += ';';
            line += param.name;
            line += '=';
            for (size_t v = 0; v < param.values.size(); ++v) {
                if (v) line += ',';
                const std::string& value = param.values[v];
                const bool quote = value.find_first_of(";:,") != std::string::npos;
                if (quote) line += '"';
                line += value;
                if (quote) line += '"';
            }
        }
        line += ':';
        line += p.value;
        *out += FoldLine(line);
    }
    for (const IcalComponent& child : c.children) WriteComponent(child, out);
    *out += FoldLine("END:" + c.name);
}

}  // namespace

const IcalParam* IcalProperty::Param(const char* wanted) const {
    for (const IcalParam& p : params)
        if (SameName(p.name, wanted)) return &p;
    return nullptr;
}

std::string IcalProperty::ParamValue(const char* wanted) const {
    const IcalParam* p = Param(wanted);
    return p && !p->values.empty() ? p->values.front() : std::string();
}

void IcalProperty::SetParam(const char* wanted, const std::string& value) {
    RemoveParam(wanted);
    params.push_back({wanted, {value}});
}

void IcalProperty::RemoveParam(const char* wanted) {
    for (size_t i = params.size(); i-- > 0;)
        if (SameName(params[i].name, wanted)) params.erase(params.begin() + static_cast<long>(i));
}

const IcalProperty* IcalComponent::Find(const char* wanted) const {
    for (const IcalProperty& p : props)
        if (SameName(p.name, wanted)) return &p;
    return nullptr;
}

IcalProperty* IcalComponent::Find(const char* wanted) {
    for (IcalProperty& p : props)
        if (SameName(p.name, wanted)) return &p;
    return nullptr;
}

std::vector<const IcalProperty*> IcalComponent::FindAll(const char* wanted) const {
    std::vector<const IcalProperty*> found;
    for (const IcalProperty& p : props)
        if (SameName(p.name, wanted)) found.push_back(&p);
    return found;
}

IcalProperty& IcalComponent::Set(const char* wanted, const std::string& value) {
    // Keeps the first one's place, so a rewritten object reads like the original.
    size_t at = props.size();
    for (size_t i = 0; i < props.size(); ++i)
        if (SameName(props[i].name, wanted)) {
            at = i;
            break;
        }
    Remove(wanted);
    IcalProperty p;
    p.name = wanted;
    p.value = value;
    if (at > props.size()) at = props.size();
    return *props.insert(props.begin() + static_cast<long>(at), std::move(p));
}

void IcalComponent::Remove(const char* wanted) {
    for (size_t i = props.size(); i-- > 0;)
        if (SameName(props[i].name, wanted)) props.erase(props.begin() + static_cast<long>(i));
}

std::string IcalComponent::Text(const char* wanted) const {
    const IcalProperty* p = Find(wanted);
    return p ? UnescapeText(p->value) : std::string();
}

void IcalComponent::SetText(const char* wanted, const std::string& text) { Set(wanted, EscapeText(text)); }

const IcalComponent* IcalComponent::Child(const char* wanted) const {
    for (const IcalComponent& c : children)
        if (SameName(c.name, wanted)) return &c;
    return nullptr;
}

IcalComponent* IcalComponent::Child(const char* wanted) {
    for (IcalComponent& c : children)
        if (SameName(c.name, wanted)) return &c;
    return nullptr;
}

std::vector<const IcalComponent*> IcalComponent::ChildrenNamed(const char* wanted) const {
    std::vector<const IcalComponent*> found;
    for (const IcalComponent& c : children)
        if (SameName(c.name, wanted)) found.push_back(&c);
    return found;
}

void IcalComponent::RemoveChildren(const char* wanted) {
    for (size_t i = children.size(); i-- > 0;)
        if (SameName(children[i].name, wanted)) children.erase(children.begin() + static_cast<long>(i));
}

bool ParseICalendar(const std::string& text, IcalComponent* calendar, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (text.size() > kMaxObjectBytes) return fail("the object is larger than 1 MiB");
    if (!uikit::IsValidUtf8(text)) return fail("the object is not valid UTF-8");
    std::vector<IcalComponent> stack;
    bool done = false;
    for (const LogicalLine& line : Unfold(text)) {
        if (line.text.empty()) continue;
        if (done) return fail(LineError(line.number, "text after the end of the calendar"));
        IcalProperty prop;
        const char* why = nullptr;
        if (!ParseContentLine(line.text, &prop, &why)) return fail(LineError(line.number, why));
        if (prop.name == "BEGIN") {
            const std::string name = Upper(prop.value);
            if (name.empty() || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-") != std::string::npos)
                return fail(LineError(line.number, "BEGIN names no component"));
            if (stack.empty() && name != "VCALENDAR") return fail(LineError(line.number, "the object is not a VCALENDAR"));
            if (stack.size() >= kMaxDepth) return fail(LineError(line.number, "components are nested too deeply"));
            IcalComponent c;
            c.name = name;
            stack.push_back(std::move(c));
        } else if (prop.name == "END") {
            if (stack.empty() || stack.back().name != Upper(prop.value))
                return fail(LineError(line.number, "END does not match its BEGIN"));
            IcalComponent finished = std::move(stack.back());
            stack.pop_back();
            if (stack.empty()) {
                *calendar = std::move(finished);
                done = true;
            } else {
                stack.back().children.push_back(std::move(finished));
            }
        } else {
            if (stack.empty()) return fail(LineError(line.number, "a property stands outside any component"));
            stack.back().props.push_back(std::move(prop));
        }
    }
    if (!stack.empty()) return fail("the object ends inside " + stack.back().name);
    if (!done) return fail("the object holds no VCALENDAR");
    return true;
}

std::string FoldLine(const std::string& line) {
    std::string out;
    size_t pos = 0;
    size_t room = kFoldOctets;
    while (line.size() - pos > room) {
        // Never between the bytes of one character.
        size_t cut = pos + uikit::Utf8PrefixLength(std::string_view(line).substr(pos), room);
        if (cut == pos) cut = pos + room;
        out.append(line, pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        room = kFoldOctets - 1;  // the leading space counts
    }
    out.append(line, pos, std::string::npos);
    out += "\r\n";
    return out;
}

std::string WriteICalendar(const IcalComponent& calendar) {
    std::string out;
    WriteComponent(calendar, &out);
    return out;
}

std::string EscapeText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ';': out += "\\;"; break;
        case ',': out += "\\,"; break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
            break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeText(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const char next = value[++i];
        out += (next == 'n' || next == 'N') ? '\n' : next;
    }
    return out;
}

}  // namespace pnsync
