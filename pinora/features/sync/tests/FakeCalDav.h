// An in-memory CalDAV collection behind the engine's HttpClient: ETags, sync
// tokens (sync-collection, expiring on request), calendar-query and -multiget,
// conditional PUT and DELETE, Basic authentication, and faults: the network
// gone after a number of requests, a reply lost after the change was made, 5xx.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "SyncEngine.h"

namespace pnsync::test {

class FakeCalDav : public HttpClient {
public:
    static constexpr const char* kOrigin = "http://127.0.0.1:5232";
    static constexpr const char* kPath = "/alice/tasks/";
    static std::string Url() { return std::string(kOrigin) + kPath; }

    FakeCalDav(std::string user = "alice", std::string password = "secret");
    HttpResponse Send(const HttpRequest& request) override;

    // What the phone does: straight into the collection.
    void PutObject(const std::string& name, const std::string& ics);
    void DeleteObject(const std::string& name);
    // Objects by file name ("x.ics").
    std::map<std::string, std::string> Objects() const;
    std::string Object(const std::string& name) const;
    // The object holding the UID, by file name; "" when none.
    std::string NameOfUid(const std::string& uid) const;
    int Requests() const { return requests_; }
    void ResetCount() { requests_ = 0; }

    // Faults.
    int failAfter = -1;         // requests that still succeed, then the network is gone
    bool loseReplies = false;   // changes are made but the reply never arrives
    bool noEtagOnPut = false;
    bool noSyncToken = false;   // a server without sync-collection
    int serverError = 0;        // every request answers this status
    void ExpireTokens() { oldestToken_ = token_; }

private:
    struct Item {
        std::string etag;
        std::string body;
    };
    HttpResponse Multistatus(const std::string& inner, bool withToken) const;
    HttpResponse Report(const HttpRequest& r, const std::string& path);
    void Changed(const std::string& name, bool deleted);
    std::string user_, password_;
    std::map<std::string, Item> items_;  // by file name
    struct Change {
        int token;
        std::string name;
        bool deleted;
    };
    std::vector<Change> log_;
    int token_ = 1, oldestToken_ = 0, etagCounter_ = 0, requests_ = 0;
};

}  // namespace pnsync::test
