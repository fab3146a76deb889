#include "DavXml.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace pnsync {
namespace {

constexpr size_t kMaxXmlBytes = 64u << 20;
constexpr int kMaxXmlDepth = 64;

void AppendUtf8(unsigned cp, std::string* out) {
    if (cp < 0x80) {
        *out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out += static_cast<char>(0xC0 | (cp >> 6));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out += static_cast<char>(0xE0 | (cp >> 12));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (cp >> 18));
        *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class XmlReader {
public:
    explicit XmlReader(const std::string& text) : s_(text) {}

    bool Read(XmlElement* root, std::string* error) {
        SkipMisc();
        std::vector<std::map<std::string, std::string>> scopes;
        if (!ReadElement(root, scopes, 0)) {
            if (error) *error = error_.empty() ? "the XML is not well-formed" : error_;
            return false;
        }
        return true;
    }

private:
    bool Fail(const char* why) {
        if (error_.empty()) error_ = std::string(why) + " at byte " + std::to_string(pos_);
        return false;
    }

    bool StartsWith(const char* prefix) const { return s_.compare(pos_, std::char_traits<char>::length(prefix), prefix) == 0; }

    void SkipSpace() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
    }

    // Declarations, comments, processing instructions and a DOCTYPE before the root.
    void SkipMisc() {
        for (;;) {
            SkipSpace();
            if (StartsWith("<?")) {
                const size_t end = s_.find("?>", pos_);
                pos_ = end == std::string::npos ? s_.size() : end + 2;
            } else if (StartsWith("<!--")) {
                const size_t end = s_.find("-->", pos_);
                pos_ = end == std::string::npos ? s_.size() : end + 3;
            } else if (StartsWith("<!DOCTYPE")) {
                const size_t end = s_.find('>', pos_);
                pos_ = end == std::string::npos ? s_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    std::string Name() {
        const size_t start = pos_;
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/' || c == '=') break;
            ++pos_;
        }
        return s_.substr(start, pos_ - start);
    }

    bool Entity(std::string* out) {
        const size_t end = s_.find(';', pos_);
        if (end == std::string::npos || end - pos_ > 12) return Fail("an entity is not closed");
        const std::string name = s_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end + 1;
        if (name == "amp") *out += '&';
        else if (name == "lt") *out += '<';
        else if (name == "gt") *out += '>';
        else if (name == "quot") *out += '"';
        else if (name == "apos") *out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            char* stop = nullptr;
            const unsigned long cp = std::strtoul(name.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
            if (!stop || *stop || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                return Fail("a character reference is invalid");
            AppendUtf8(static_cast<unsigned>(cp), out);
        } else {
            return Fail("an unknown entity");
        }
        return true;
    }

    static std::string Resolve(const std::string& qname, const std::vector<std::map<std::string, std::string>>& scopes,
                               std::string* local, bool isAttribute) {
        const size_t colon = qname.find(':');
        const std::string prefix = colon == std::string::npos ? "" : qname.substr(0, colon);
        *local = colon == std::string::npos ? qname : qname.substr(colon + 1);
        if (prefix.empty() && isAttribute) return "";
        for (size_t i = scopes.size(); i-- > 0;) {
            const auto it = scopes[i].find(prefix);
            if (it != scopes[i].end()) return it->second;
        }
        return "";
    }

    bool ReadElement(XmlElement* el, std::vector<std::map<std::string, std::string>>& scopes, int depth) {
        if (depth > kMaxXmlDepth) return Fail("elements are nested too deeply");
        if (pos_ >= s_.size() || s_[pos_] != '<') return Fail("an element was expected");
        ++pos_;
        const std::string qname = Name();
        if (qname.empty()) return Fail("an element has no name");
        std::map<std::string, std::string> scope;
        bool empty = false;
        for (;;) {
            SkipSpace();
            if (pos_ >= s_.size()) return Fail("a tag is not closed");
            if (s_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (StartsWith("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            const std::string attr = Name();
            SkipSpace();
            if (attr.empty() || pos_ >= s_.size() || s_[pos_] != '=') return Fail("an attribute is malformed");
            ++pos_;
            SkipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return Fail("an attribute has no quotes");
            const char quote = s_[pos_++];
            std::string value;
            while (pos_ < s_.size() && s_[pos_] != quote) {
                if (s_[pos_] == '&') {
                    if (!Entity(&value)) return false;
                } else {
                    value += s_[pos_++];
                }
            }
            if (pos_ >= s_.size()) return Fail("an attribute is not closed");
            ++pos_;
            if (attr == "xmlns") scope[""] = value;
            else if (attr.compare(0, 6, "xmlns:") == 0) scope[attr.substr(6)] = value;
            else el->attributes.emplace_back(attr, value);
        }
        scopes.push_back(scope);
        el->ns = Resolve(qname, scopes, &el->local, false);
        if (!empty) {
            for (;;) {
                if (pos_ >= s_.size()) return Fail("an element is not closed");
                if (StartsWith("</")) {
                    pos_ += 2;
                    const std::string closing = Name();
                    SkipSpace();
                    if (closing != qname || pos_ >= s_.size() || s_[pos_] != '>') return Fail("a closing tag does not match");
                    ++pos_;
                    break;
                }
                if (StartsWith("<!--")) {
                    const size_t end = s_.find("-->", pos_);
                    if (end == std::string::npos) return Fail("a comment is not closed");
                    pos_ = end + 3;
                } else if (StartsWith("<![CDATA[")) {
                    const size_t end = s_.find("]]>", pos_);
                    if (end == std::string::npos) return Fail("a CDATA section is not closed");
                    el->text.append(s_, pos_ + 9, end - pos_ - 9);
                    pos_ = end + 3;
                } else if (StartsWith("<?")) {
                    const size_t end = s_.find("?>", pos_);
                    if (end == std::string::npos) return Fail("a processing instruction is not closed");
                    pos_ = end + 2;
                } else if (s_[pos_] == '<') {
                    XmlElement child;
                    if (!ReadElement(&child, scopes, depth + 1)) return false;
                    el->children.push_back(std::move(child));
                } else if (s_[pos_] == '&') {
                    if (!Entity(&el->text)) return false;
                } else {
                    el->text += s_[pos_++];
                }
            }
        }
        scopes.pop_back();
        return true;
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::string error_;
};

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

int StatusCode(const std::string& line) {
    // "HTTP/1.1 404 Not Found"
    const size_t space = line.find(' ');
    return space == std::string::npos ? 0 : std::atoi(line.c_str() + space + 1);
}

// A path: "https://host/a/b" gives "/a/b".
std::string PathOf(const std::string& href) {
    const size_t scheme = href.find("://");
    if (scheme == std::string::npos) return href;
    const size_t slash = href.find('/', scheme + 3);
    return slash == std::string::npos ? "/" : href.substr(slash);
}

void ReadProps(const XmlElement& prop, DavResponse* r) {
    for (const XmlElement& p : prop.children) {
        if (p.Is(kNsDav, "getetag")) {
            r->etag = Trim(p.text);
        } else if (p.Is(kNsCalDav, "calendar-data")) {
            r->calendarData = p.text;
            r->hasCalendarData = true;
        } else if (p.Is(kNsDav, "resourcetype")) {
            r->isCalendar = p.Child(kNsCalDav, "calendar") != nullptr;
        } else if (p.Is(kNsCalDav, "supported-calendar-component-set")) {
            for (const XmlElement& comp : p.children)
                if (comp.Is(kNsCalDav, "comp")) r->components.push_back(comp.Attribute("name"));
        } else if (p.Is(kNsCalServer, "getctag")) {
            r->ctag = Trim(p.text);
        } else if (p.Is(kNsDav, "sync-token")) {
            r->syncToken = Trim(p.text);
        } else if (p.Is(kNsDav, "displayname")) {
            r->displayName = p.text;
        }
    }
}

}  // namespace

const XmlElement* XmlElement::Child(const char* wantNs, const char* wantLocal) const {
    for (const XmlElement& c : children)
        if (c.Is(wantNs, wantLocal)) return &c;
    return nullptr;
}

std::string XmlElement::Attribute(const char* name) const {
    for (const auto& a : attributes)
        if (a.first == name) return a.second;
    return "";
}

std::vector<const XmlElement*> XmlElement::ChildrenNamed(const char* wantNs, const char* wantLocal) const {
    std::vector<const XmlElement*> found;
    for (const XmlElement& c : children)
        if (c.Is(wantNs, wantLocal)) found.push_back(&c);
    return found;
}

bool ParseXml(const std::string& text, XmlElement* root, std::string* error) {
    if (text.size() > kMaxXmlBytes) {
        if (error) *error = "the answer is larger than 64 MiB";
        return false;
    }
    return XmlReader(text).Read(root, error);
}

bool ParseMultistatus(const std::string& body, Multistatus* out, std::string* error) {
    XmlElement root;
    if (!ParseXml(body, &root, error)) return false;
    if (!root.Is(kNsDav, "multistatus")) {
        if (error) *error = "the answer is not a multistatus";
        return false;
    }
    *out = Multistatus();
    for (const XmlElement& child : root.children) {
        if (child.Is(kNsDav, "sync-token")) {
            out->syncToken = Trim(child.text);
            continue;
        }
        if (!child.Is(kNsDav, "response")) continue;
        DavResponse r;
        const XmlElement* href = child.Child(kNsDav, "href");
        if (!href) continue;
        r.href = PercentDecode(PathOf(Trim(href->text)));
        if (const XmlElement* status = child.Child(kNsDav, "status")) r.status = StatusCode(Trim(status->text));
        bool sawOk = false;
        for (const XmlElement* propstat : child.ChildrenNamed(kNsDav, "propstat")) {
            const XmlElement* status = propstat->Child(kNsDav, "status");
            const int code = status ? StatusCode(Trim(status->text)) : 200;
            const XmlElement* prop = propstat->Child(kNsDav, "prop");
            if (code >= 200 && code < 300 && prop) {
                ReadProps(*prop, &r);
                sawOk = true;
            }
        }
        if (!child.Child(kNsDav, "status") && !sawOk && !child.ChildrenNamed(kNsDav, "propstat").empty())
            r.status = 404;
        out->responses.push_back(std::move(r));
    }
    return true;
}

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string PercentDecode(const std::string& path) {
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(path[i + 2]))) {
            out += static_cast<char>(std::strtol(path.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

std::string PercentEncodePath(const std::string& path) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '_' || c == '.' || c == '~' || c == '@' || c == ':';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

static const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

std::string PropfindCollectionBody() {
    return std::string(kXmlHead) +
           "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\" "
           "xmlns:cs=\"http://calendarserver.org/ns/\"><d:prop><d:resourcetype/><d:displayname/>"
           "<c:supported-calendar-component-set/><cs:getctag/><d:sync-token/></d:prop></d:propfind>";
}

std::string SyncCollectionBody(const std::string& token) {
    return std::string(kXmlHead) + "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" + XmlEscape(token) +
           "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
}

std::string CalendarQueryBody() {
    return std::string(kXmlHead) +
           "<c:calendar-query xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop><d:getetag/>"
           "</d:prop><c:filter><c:comp-filter name=\"VCALENDAR\"/></c:filter></c:calendar-query>";
}

std::string MultigetBody(const std::vector<std::string>& hrefs) {
    std::string body = std::string(kXmlHead) +
                       "<c:calendar-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                       "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
    for (const std::string& href : hrefs) body += "<d:href>" + XmlEscape(PercentEncodePath(href)) + "</d:href>";
    return body + "</c:calendar-multiget>";
}

std::string PropfindEtagBody() {
    return std::string(kXmlHead) + "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:getetag/></d:prop></d:propfind>";
}

}  // namespace pnsync
