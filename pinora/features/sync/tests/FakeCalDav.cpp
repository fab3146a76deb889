#include "FakeCalDav.h"

#include <cstdlib>
#include <set>

#include "DavXml.h"
#include "ICalendar.h"

namespace pnsync::test {
namespace {

std::string Between(const std::string& s, const std::string& open, const std::string& close, size_t* from = nullptr) {
    size_t start = s.find(open, from ? *from : 0);
    if (start == std::string::npos) return "";
    start += open.size();
    const size_t end = s.find(close, start);
    if (end == std::string::npos) return "";
    if (from) *from = end + close.size();
    return s.substr(start, end - start);
}

std::string HeaderOf(const HttpRequest& r, const std::string& name) {
    for (const auto& [k, v] : r.headers)
        if (k == name) return v;
    return "";
}

std::string UidOf(const std::string& ics) {
    IcalComponent cal;
    if (!ParseICalendar(ics, &cal, nullptr)) return "";
    for (const IcalComponent& c : cal.children)
        if (c.Find("UID")) return c.Text("UID");
    return "";
}

}  // namespace

FakeCalDav::FakeCalDav(std::string user, std::string password) : user_(std::move(user)), password_(std::move(password)) {}

void FakeCalDav::Changed(const std::string& name, bool deleted) {
    ++token_;
    log_.push_back({token_, name, deleted});
}

void FakeCalDav::PutObject(const std::string& name, const std::string& ics) {
    items_[name] = {"\"e" + std::to_string(++etagCounter_) + "\"", ics};
    Changed(name, false);
}

void FakeCalDav::DeleteObject(const std::string& name) {
    items_.erase(name);
    Changed(name, true);
}

std::map<std::string, std::string> FakeCalDav::Objects() const {
    std::map<std::string, std::string> all;
    for (const auto& [name, item] : items_) all[name] = item.body;
    return all;
}

std::string FakeCalDav::Object(const std::string& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? "" : it->second.body;
}

std::string FakeCalDav::NameOfUid(const std::string& uid) const {
    for (const auto& [name, item] : items_)
        if (UidOf(item.body) == uid) return name;
    return "";
}

HttpResponse FakeCalDav::Multistatus(const std::string& inner, bool withToken) const {
    HttpResponse r;
    r.status = 207;
    r.body = "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">" + inner;
    if (withToken) r.body += "<sync-token>http://fake/sync/" + std::to_string(token_) + "</sync-token>";
    r.body += "</multistatus>";
    return r;
}

HttpResponse FakeCalDav::Report(const HttpRequest& r, const std::string& path) {
    (void)path;
    std::string inner;
    auto entry = [](const std::string& name, const std::string& etag, const std::string* data) {
        std::string s = "<response><href>" + std::string(kPath) + name + "</href><propstat><prop><getetag>" +
                        XmlEscape(etag) + "</getetag>";
        if (data) s += "<C:calendar-data>" + XmlEscape(*data) + "</C:calendar-data>";
        return s + "</prop><status>HTTP/1.1 200 OK</status></propstat></response>";
    };
    if (r.body.find("sync-collection") != std::string::npos) {
        if (noSyncToken) return HttpResponse{403, "", {}, TransportError::None, ""};
        const std::string token = Between(r.body, "<d:sync-token>", "</d:sync-token>");
        if (token.empty()) {
            for (const auto& [name, item] : items_) inner += entry(name, item.etag, nullptr);
            return Multistatus(inner, true);
        }
        const std::string prefix = "http://fake/sync/";
        if (token.compare(0, prefix.size(), prefix) != 0) return HttpResponse{403, "", {}, TransportError::None, ""};
        const int since = std::atoi(token.c_str() + prefix.size());
        if (since < oldestToken_ || since > token_) return HttpResponse{403, "", {}, TransportError::None, ""};
        std::set<std::string> names;
        for (const Change& c : log_)
            if (c.token > since) names.insert(c.name);
        for (const std::string& name : names) {
            const auto it = items_.find(name);
            if (it == items_.end())
                inner += "<response><href>" + std::string(kPath) + name +
                         "</href><status>HTTP/1.1 404 Not Found</status></response>";
            else
                inner += entry(name, it->second.etag, nullptr);
        }
        return Multistatus(inner, true);
    }
    if (r.body.find("calendar-query") != std::string::npos) {
        for (const auto& [name, item] : items_) inner += entry(name, item.etag, nullptr);
        return Multistatus(inner, false);
    }
    if (r.body.find("calendar-multiget") != std::string::npos) {
        size_t from = 0;
        for (;;) {
            const std::string href = Between(r.body, "<d:href>", "</d:href>", &from);
            if (href.empty()) break;
            const std::string name = PercentDecode(href).substr(std::string(kPath).size());
            const auto it = items_.find(name);
            if (it == items_.end())
                inner += "<response><href>" + href + "</href><status>HTTP/1.1 404 Not Found</status></response>";
            else
                inner += entry(name, it->second.etag, &it->second.body);
        }
        return Multistatus(inner, false);
    }
    return HttpResponse{400, "", {}, TransportError::None, ""};
}

HttpResponse FakeCalDav::Send(const HttpRequest& r) {
    ++requests_;
    HttpResponse resp;
    if (failAfter == 0) {
        resp.error = TransportError::Network;
        resp.detail = "connection refused";
        return resp;
    }
    if (failAfter > 0) --failAfter;
    if (serverError) return HttpResponse{serverError, "", {{"retry-after", "120"}}, TransportError::None, ""};
    if (HeaderOf(r, "Authorization") != "Basic " + Base64(user_ + ":" + password_)) return HttpResponse{401, "", {}, TransportError::None, ""};
    const std::string origin = kOrigin;
    if (r.url.compare(0, origin.size(), origin) != 0) return HttpResponse{404, "", {}, TransportError::None, ""};
    const std::string path = PercentDecode(r.url.substr(origin.size()));
    const bool onCollection = path == kPath;
    const std::string name = onCollection ? "" : path.substr(std::string(kPath).size());
    if (r.method == "PROPFIND") {
        if (onCollection)
            return Multistatus(std::string("<response><href>") + kPath +
                                   "</href><propstat><prop><resourcetype><collection/><C:calendar/></resourcetype>"
                                   "<C:supported-calendar-component-set><C:comp name=\"VTODO\"/><C:comp name=\"VJOURNAL\"/>"
                                   "</C:supported-calendar-component-set>" +
                                   (noSyncToken ? "" : "<sync-token>http://fake/sync/" + std::to_string(token_) + "</sync-token>") +
                                   "</prop><status>HTTP/1.1 200 OK</status></propstat></response>",
                               false);
        const auto it = items_.find(name);
        if (it == items_.end()) return HttpResponse{404, "", {}, TransportError::None, ""};
        return Multistatus("<response><href>" + path + "</href><propstat><prop><getetag>" + it->second.etag +
                               "</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>",
                           false);
    }
    if (r.method == "REPORT") return Report(r, path);
    const auto it = items_.find(name);
    const std::string ifMatch = HeaderOf(r, "If-Match"), ifNoneMatch = HeaderOf(r, "If-None-Match");
    if (r.method == "PUT") {
        if (ifNoneMatch == "*" && it != items_.end()) return HttpResponse{412, "", {}, TransportError::None, ""};
        if (!ifMatch.empty() && (it == items_.end() || it->second.etag != ifMatch))
            return HttpResponse{412, "", {}, TransportError::None, ""};
        IcalComponent cal;
        if (!ParseICalendar(r.body, &cal, nullptr)) return HttpResponse{400, "", {}, TransportError::None, ""};
        const bool existed = it != items_.end();
        PutObject(name, r.body);
        if (loseReplies) {
            resp.error = TransportError::Network;
            return resp;
        }
        resp.status = existed ? 204 : 201;
        if (!noEtagOnPut) resp.headers["etag"] = items_[name].etag;
        return resp;
    }
    if (r.method == "DELETE") {
        if (it == items_.end()) return HttpResponse{404, "", {}, TransportError::None, ""};
        if (!ifMatch.empty() && it->second.etag != ifMatch) return HttpResponse{412, "", {}, TransportError::None, ""};
        DeleteObject(name);
        if (loseReplies) {
            resp.error = TransportError::Network;
            return resp;
        }
        resp.status = 204;
        return resp;
    }
    if (r.method == "GET") {
        if (it == items_.end()) return HttpResponse{404, "", {}, TransportError::None, ""};
        resp.status = 200;
        resp.body = it->second.body;
        resp.headers["etag"] = it->second.etag;
        return resp;
    }
    return HttpResponse{405, "", {}, TransportError::None, ""};
}

}  // namespace pnsync::test
