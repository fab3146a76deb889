// One sync of a user's sticks and diary days with a CalDAV collection: pull
// what changed there (sync-collection with the stored token, or a full
// listing), decide per item with the table of SyncRules.h, write here, then
// push there. It sees the network through HttpClient and the user's files
// through LocalStore, so all of it runs on the host in tests.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "StickMapping.h"
#include "SyncState.h"

namespace pnsync {

struct HttpRequest {
    std::string method;
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

enum class TransportError { None, Network, Tls, CertificateChanged, BadAddress, Cancelled };

struct HttpResponse {
    int status = 0;
    std::string body;
    std::map<std::string, std::string> headers;  // names in lower case
    TransportError error = TransportError::None;
    std::string detail;
    std::string Header(const std::string& lowerName) const {
        const auto it = headers.find(lowerName);
        return it == headers.end() ? std::string() : it->second;
    }
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse Send(const HttpRequest& request) = 0;
};

// The user's items as the program keeps them.
struct LocalItem {
    std::string key;     // "s:12", "d:20090305"
    std::string fields;  // serialized; "" for a day file whose signature is the known one (not read)
    std::string sig;     // a day file's size and time
};

struct LocalChange {
    enum class Op { Create, Update, Delete };
    Op op = Op::Update;
    std::string key;       // Update, Delete
    std::string fields;    // Create, Update
    std::string expected;  // Update, Delete: the fields the record must still hold, else it is left alone
};

struct LocalResult {
    bool done = false;
    std::string key;     // of a created item
    std::string fields;  // as now stored
    std::string sig;
};

class LocalStore {
public:
    virtual ~LocalStore() = default;
    // Every stick and day file; a day file whose signature is in knownSigs
    // (key -> sig) is not read. False with a reason when the tables cannot be read.
    virtual bool Snapshot(const std::map<std::string, std::string>& knownSigs, std::vector<LocalItem>* items,
                          std::string* error) = 0;
    virtual std::vector<LocalResult> Apply(const std::vector<LocalChange>& changes) = 0;
};

enum class SyncStatus {
    Ok,
    Offline,             // the server could not be reached: try again later
    AuthFailed,          // wrong user or password: stop and tell the user
    CertificateProblem,  // the certificate is not trusted, or not the pinned one
    ServerError,         // 5xx and the like: try again later
    NotACalendar,        // the address is no calendar collection for tasks
    LocalUnreadable,     // the tables or the state cannot be read: nothing is touched
    Suspicious,          // one side suddenly looks empty: nothing is deleted
    Cancelled,
};

struct SyncConfig {
    std::string collectionUrl;
    std::string user;
    std::string password;
};

struct SyncOutcome {
    SyncStatus status = SyncStatus::Ok;
    std::string detail;
    int pulled = 0, pushed = 0, deletedHere = 0, deletedThere = 0, conflicts = 0;
    int requests = 0;
    int retryAfterSeconds = 0;
    bool localChanged = false;      // sticks or days were written here
    std::vector<std::string> notices;  // conflicts and texts not held exactly, once each
};

const char* StatusName(SyncStatus status);

class SyncEngine {
public:
    SyncEngine(HttpClient& http, LocalStore& local, SyncState& state, const MapContext& ctx,
               std::function<std::string()> newUid)
        : http_(http), local_(local), state_(state), ctx_(ctx), newUid_(std::move(newUid)) {}

    // state is open; runs one whole sync.
    SyncOutcome Run(const SyncConfig& config);
    // Checked between requests: a set flag ends the run as Cancelled.
    void SetCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }

private:
    struct Remote;
    struct Work;
    bool Discover(SyncOutcome* out);
    bool List(SyncOutcome* out, std::map<std::string, std::string>* changed, std::vector<std::string>* gone,
              bool* full, std::string* token);
    bool Fetch(const std::vector<std::string>& hrefs, std::map<std::string, Remote>* byHref, SyncOutcome* out);
    bool Push(Work& w, SyncOutcome* out);
    bool Delete(Work& w, SyncOutcome* out);
    bool FetchEtag(const std::string& href, std::string* etag, SyncOutcome* out);
    HttpResponse Send(const std::string& method, const std::string& path, const std::string& body,
                      std::vector<std::pair<std::string, std::string>> headers, SyncOutcome* out);
    bool Failed(const HttpResponse& r, SyncOutcome* out, const char* what);
    std::string HrefFor(const std::string& uid) const;
    std::string DayUid(int date) const;

    HttpClient& http_;
    LocalStore& local_;
    SyncState& state_;
    MapContext ctx_;
    std::function<std::string()> newUid_;
    std::function<bool()> cancelled_;
    SyncConfig config_;
    std::string origin_;          // scheme://host[:port]
    std::string collectionPath_;  // decoded, with a trailing slash
    std::string auth_;
};

// Splits "https://host:port/path/" into origin and path; false when it is no
// http(s) address.
bool SplitUrl(const std::string& url, std::string* origin, std::string* path);
std::string Base64(const std::string& bytes);

}  // namespace pnsync
