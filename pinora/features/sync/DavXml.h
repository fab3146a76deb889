// The XML a CalDAV server speaks: a small namespace-aware reader for its
// multistatus answers, and the request bodies the sync sends.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace pnsync {

constexpr const char* kNsDav = "DAV:";
constexpr const char* kNsCalDav = "urn:ietf:params:xml:ns:caldav";
constexpr const char* kNsCalServer = "http://calendarserver.org/ns/";

struct XmlElement {
    std::string ns;     // resolved namespace URI
    std::string local;  // name without prefix
    std::string text;   // character data directly inside, entities resolved
    std::vector<XmlElement> children;
    std::vector<std::pair<std::string, std::string>> attributes;  // by their names as written, xmlns left out

    std::string Attribute(const char* name) const;

    const XmlElement* Child(const char* ns, const char* local) const;
    std::vector<const XmlElement*> ChildrenNamed(const char* ns, const char* local) const;
    bool Is(const char* wantNs, const char* wantLocal) const { return ns == wantNs && local == wantLocal; }
};

// False with a reason for text that is not well-formed (or nested deeper than
// 64, or larger than 64 MiB).
bool ParseXml(const std::string& text, XmlElement* root, std::string* error);

// One <response> of a multistatus.
struct DavResponse {
    std::string href;   // percent-decoded path
    int status = 200;   // the response's own status (404 for a deletion), else that of its found props
    std::string etag;   // quotes kept, as If-Match wants it
    std::string calendarData;
    bool hasCalendarData = false;
    // Properties of a collection (discovery).
    bool isCalendar = false;
    std::vector<std::string> components;  // supported-calendar-component-set
    std::string ctag;
    std::string syncToken;
    std::string displayName;
};

struct Multistatus {
    std::vector<DavResponse> responses;
    std::string syncToken;  // of a sync-collection report
};

bool ParseMultistatus(const std::string& body, Multistatus* out, std::string* error);

// Request bodies.
std::string PropfindCollectionBody();
std::string SyncCollectionBody(const std::string& token);
std::string CalendarQueryBody();
std::string MultigetBody(const std::vector<std::string>& hrefs);
std::string PropfindEtagBody();

std::string XmlEscape(const std::string& text);
// "%2F" and the like in a path, decoded; and a path made safe for a URL.
std::string PercentDecode(const std::string& path);
std::string PercentEncodePath(const std::string& path);

}  // namespace pnsync
