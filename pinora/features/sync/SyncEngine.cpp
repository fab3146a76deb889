#include "SyncEngine.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "DavXml.h"
#include "SyncRules.h"
#include "Utf8Text.h"

namespace pnsync {
namespace {

constexpr size_t kMultigetBatch = 100;
// A side that had at least this many synced items and now has none stops the sync.
constexpr size_t kEmptySideAlarm = 3;

bool IsSuccess(int status) { return status >= 200 && status < 300; }

bool IsDeletedStick(const std::string& fields) {
    StickFields f;
    return ParseStick(fields, &f) && f.status == StickStatus::Deleted;
}

std::string StickText(const std::string& fields) {
    StickFields f;
    if (ParseStick(fields, &f)) return f.text;
    DayFields d;
    if (ParseDay(fields, &d)) return "diary of " + std::to_string(d.date);
    return "";
}

std::string Quoted(const std::string& text) {
    std::string shown = uikit::Utf8Shortened(text, 63);
    for (char& c : shown)
        if (c == '\r' || c == '\n') c = ' ';
    return "\"" + shown + "\"";
}

}  // namespace

struct SyncEngine::Remote {
    std::string href, etag, raw;
    RemoteItem item;
};

struct SyncEngine::Work {
    std::string uid;
    ItemState row;
    bool hasRow = false;
    std::string key;
    std::string local;        // current local fields ("" when there is none)
    bool localPresent = false;
    std::string remote;       // current remote fields
    std::string raw, etag;
    bool fetched = false;
    bool remoteExact = true;
    Action action = Action::None;
    std::string localBase, remoteBase;
    // What is to happen.
    bool writeLocal = false;
    LocalChange change;
    std::string localAfter;   // fields of the local record after this run
    bool push = false;
    bool create = false;      // If-None-Match: * rather than If-Match
    std::string pushFields;
    bool deleteRemote = false;
    bool forget = false;
    bool settled = true;      // false: left for the next run (the token is not moved on)
    std::string conflictCopy;
};

const char* StatusName(SyncStatus s) {
    switch (s) {
    case SyncStatus::Ok: return "ok";
    case SyncStatus::Offline: return "offline";
    case SyncStatus::AuthFailed: return "auth-failed";
    case SyncStatus::CertificateProblem: return "certificate";
    case SyncStatus::ServerError: return "server-error";
    case SyncStatus::NotACalendar: return "not-a-calendar";
    case SyncStatus::LocalUnreadable: return "local-unreadable";
    case SyncStatus::Suspicious: return "suspicious";
    case SyncStatus::Cancelled: return "cancelled";
    }
    return "?";
}

bool SplitUrl(const std::string& url, std::string* origin, std::string* path) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return false;
    std::string lower = url.substr(0, scheme);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower != "http" && lower != "https") return false;
    const size_t slash = url.find('/', scheme + 3);
    const size_t hostEnd = slash == std::string::npos ? url.size() : slash;
    if (hostEnd == scheme + 3) return false;
    *origin = lower + url.substr(scheme, hostEnd - scheme);
    *path = slash == std::string::npos ? "/" : url.substr(slash);
    return true;
}

std::string Base64(const std::string& bytes) {
    static const char* kTable = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kTable[v >> 18];
        out += kTable[(v >> 12) & 63];
        out += kTable[(v >> 6) & 63];
        out += kTable[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kTable[v >> 18];
        out += kTable[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kTable[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

HttpResponse SyncEngine::Send(const std::string& method, const std::string& path, const std::string& body,
                              std::vector<std::pair<std::string, std::string>> headers, SyncOutcome* out) {
    if (cancelled_ && cancelled_()) {
        HttpResponse r;
        r.error = TransportError::Cancelled;
        return r;
    }
    HttpRequest req;
    req.method = method;
    req.url = origin_ + PercentEncodePath(path);
    req.body = body;
    req.headers = std::move(headers);
    req.headers.emplace_back("Authorization", auth_);
    if (!body.empty() && method != "PUT") req.headers.emplace_back("Content-Type", "application/xml; charset=utf-8");
    ++out->requests;
    return http_.Send(req);
}

bool SyncEngine::Failed(const HttpResponse& r, SyncOutcome* out, const char* what) {
    switch (r.error) {
    case TransportError::None:
        break;
    case TransportError::Cancelled:
        out->status = SyncStatus::Cancelled;
        out->detail = "the sync was stopped";
        return true;
    case TransportError::Tls:
        out->status = SyncStatus::CertificateProblem;
        out->detail = "the server's certificate is not trusted" + (r.detail.empty() ? "" : " (" + r.detail + ")");
        return true;
    case TransportError::CertificateChanged:
        out->status = SyncStatus::CertificateProblem;
        out->detail = "the server's certificate is not the one pinned in sync_cert_sha256";
        return true;
    case TransportError::BadAddress:
        out->status = SyncStatus::NotACalendar;
        out->detail = "the server address cannot be used" + (r.detail.empty() ? "" : " (" + r.detail + ")");
        return true;
    case TransportError::Network:
        out->status = SyncStatus::Offline;
        out->detail = "the server cannot be reached" + (r.detail.empty() ? "" : " (" + r.detail + ")");
        return true;
    }
    if (r.status == 401) {
        out->status = SyncStatus::AuthFailed;
        out->detail = "the server refused the user name or password";
        return true;
    }
    if (r.status == 429 || r.status >= 500) {
        out->status = SyncStatus::ServerError;
        out->detail = std::string("the server failed while ") + what + " (HTTP " + std::to_string(r.status) + ")";
        out->retryAfterSeconds = std::atoi(r.Header("retry-after").c_str());
        return true;
    }
    return false;
}

std::string SyncEngine::HrefFor(const std::string& uid) const { return collectionPath_ + uid + ".ics"; }

std::string SyncEngine::DayUid(int date) const { return "pinora-diary-" + std::to_string(date); }

bool SyncEngine::Discover(SyncOutcome* out) {
    const HttpResponse r = Send("PROPFIND", collectionPath_, PropfindCollectionBody(), {{"Depth", "0"}}, out);
    if (Failed(r, out, "looking at the calendar")) return false;
    Multistatus ms;
    std::string error;
    if (r.status == 404 || r.status == 403 || r.status == 405 || !IsSuccess(r.status) ||
        !ParseMultistatus(r.body, &ms, &error) || ms.responses.empty()) {
        out->status = SyncStatus::NotACalendar;
        out->detail = r.status == 403 ? "the server does not let this user see that calendar"
                                      : "there is no calendar at this address (HTTP " + std::to_string(r.status) + ")";
        return false;
    }
    const DavResponse& c = ms.responses.front();
    const bool tasks = c.components.empty() ||
                       std::find(c.components.begin(), c.components.end(), "VTODO") != c.components.end();
    if (!c.isCalendar || !tasks) {
        out->status = SyncStatus::NotACalendar;
        out->detail = !c.isCalendar ? "the address is not a calendar" : "the calendar takes no tasks (VTODO)";
        return false;
    }
    state_.SetMeta("caps", c.syncToken.empty() ? "query" : "sync");
    return true;
}

bool SyncEngine::List(SyncOutcome* out, std::map<std::string, std::string>* changed, std::vector<std::string>* gone,
                      bool* full, std::string* token) {
    const bool sync = state_.Meta("caps") == "sync";
    std::string oldToken = sync ? state_.Meta("token") : "";
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HttpResponse r =
            sync ? Send("REPORT", collectionPath_, SyncCollectionBody(oldToken), {{"Depth", "1"}}, out)
                 : Send("REPORT", collectionPath_, CalendarQueryBody(), {{"Depth", "1"}}, out);
        if (Failed(r, out, "listing the calendar")) return false;
        if (sync && !oldToken.empty() && (r.status == 403 || r.status == 409 || r.status == 400)) {
            // The token has expired on the server: a full listing.
            oldToken.clear();
            continue;
        }
        Multistatus ms;
        std::string error;
        if (!IsSuccess(r.status) || !ParseMultistatus(r.body, &ms, &error)) {
            out->status = SyncStatus::ServerError;
            out->detail = "the server's list of items cannot be read" + (error.empty() ? "" : ": " + error);
            return false;
        }
        *full = !sync || oldToken.empty();
        *token = ms.syncToken;
        for (const DavResponse& resp : ms.responses) {
            if (resp.href == collectionPath_ || resp.href + "/" == collectionPath_) continue;
            if (resp.status == 404) gone->push_back(resp.href);
            else changed->emplace(resp.href, resp.etag);
        }
        return true;
    }
    out->status = SyncStatus::ServerError;
    out->detail = "the server refuses to list the calendar";
    return false;
}

bool SyncEngine::Fetch(const std::vector<std::string>& hrefs, std::map<std::string, Remote>* byHref, SyncOutcome* out) {
    for (size_t start = 0; start < hrefs.size(); start += kMultigetBatch) {
        const std::vector<std::string> batch(hrefs.begin() + static_cast<long>(start),
                                             hrefs.begin() + static_cast<long>(std::min(hrefs.size(), start + kMultigetBatch)));
        const HttpResponse r = Send("REPORT", collectionPath_, MultigetBody(batch), {{"Depth", "1"}}, out);
        if (Failed(r, out, "fetching items")) return false;
        Multistatus ms;
        std::string error;
        if (!IsSuccess(r.status) || !ParseMultistatus(r.body, &ms, &error)) {
            out->status = SyncStatus::ServerError;
            out->detail = "the server's items cannot be read" + (error.empty() ? "" : ": " + error);
            return false;
        }
        for (const DavResponse& resp : ms.responses) {
            if (resp.status == 404 || !resp.hasCalendarData) continue;
            Remote remote;
            remote.href = resp.href;
            remote.etag = resp.etag;
            remote.raw = resp.calendarData;
            std::string why;
            if (!ReadObject(remote.raw, ctx_, &remote.item, &why)) {
                out->notices.push_back("An item on the server cannot be read and is left alone (" + resp.href + ": " +
                                       why + ").");
                continue;
            }
            (*byHref)[resp.href] = std::move(remote);
        }
    }
    return true;
}

bool SyncEngine::FetchEtag(const std::string& href, std::string* etag, SyncOutcome* out) {
    const HttpResponse r = Send("PROPFIND", href, PropfindEtagBody(), {{"Depth", "0"}}, out);
    if (Failed(r, out, "asking for a version")) return false;
    Multistatus ms;
    if (IsSuccess(r.status) && ParseMultistatus(r.body, &ms, nullptr) && !ms.responses.empty())
        *etag = ms.responses.front().etag;
    return true;
}

bool SyncEngine::Push(Work& w, SyncOutcome* out) {
    const std::string base = w.fetched || w.hasRow ? w.remote : std::string();
    const std::string body = WriteObject(w.pushFields, w.uid, w.raw, base, ctx_);
    if (body.empty()) {
        w.settled = false;
        return true;
    }
    // Identity first: the UID, the href and what is being sent are kept before
    // the request, so a repeated create reaches the same item.
    w.row.uid = w.uid;
    w.row.localKey = w.key;
    if (w.row.href.empty()) w.row.href = HrefFor(w.uid);
    w.row.pending = w.pushFields;
    w.row.local = w.localAfter;
    if (!state_.Put(w.row)) {
        out->status = SyncStatus::LocalUnreadable;
        out->detail = "the sync state cannot be written: " + state_.LastError();
        return false;
    }
    std::vector<std::pair<std::string, std::string>> headers = {{"Content-Type", "text/calendar; charset=utf-8"}};
    if (w.create || w.etag.empty()) headers.emplace_back("If-None-Match", "*");
    else headers.emplace_back("If-Match", w.etag);
    const HttpResponse r = Send("PUT", w.row.href, body, headers, out);
    if (Failed(r, out, "storing an item")) return false;
    if (r.status == 412) {
        // Changed there since it was read: the next run merges both.
        w.settled = false;
        return true;
    }
    if (!IsSuccess(r.status)) {
        out->notices.push_back("The server refused " + Quoted(StickText(w.pushFields)) + " (HTTP " +
                               std::to_string(r.status) + ").");
        w.settled = false;
        return true;
    }
    std::string etag = r.Header("etag");
    if (etag.empty() && !FetchEtag(w.row.href, &etag, out)) return false;
    w.row.etag = etag;
    w.row.base = w.pushFields;
    w.row.raw = body;
    w.row.pending.clear();
    w.row.exact = true;
    ++out->pushed;
    state_.Put(w.row);
    return true;
}

bool SyncEngine::Delete(Work& w, SyncOutcome* out) {
    const HttpResponse r = Send("DELETE", w.row.href, "", {{"If-Match", w.etag}}, out);
    if (Failed(r, out, "deleting an item")) return false;
    if (r.status == 412) {
        w.settled = false;  // edited there meanwhile: restored here next time
        return true;
    }
    if (IsSuccess(r.status) || r.status == 404 || r.status == 410) {
        state_.Remove(w.uid);
        ++out->deletedThere;
    } else {
        w.settled = false;
    }
    return true;
}

SyncOutcome SyncEngine::Run(const SyncConfig& config) {
    SyncOutcome out;
    config_ = config;
    std::string url = config.collectionUrl;
    if (url.empty() || url.back() != '/') url += '/';
    if (!SplitUrl(url, &origin_, &collectionPath_)) {
        out.status = SyncStatus::NotACalendar;
        out.detail = "the server address is not an http:// or https:// address";
        return out;
    }
    collectionPath_ = PercentDecode(collectionPath_);
    auth_ = "Basic " + Base64(config.user + ":" + config.password);

    if (state_.Meta("collection") != url) {
        // Another calendar: what was known of the old one says nothing here.
        state_.ForgetCollection();
        state_.SetMeta("collection", url);
    }
    if (state_.Meta("caps").empty() && !Discover(&out)) return out;

    std::map<std::string, ItemState> rows = state_.LoadAll();
    std::map<std::string, std::string> knownSigs;
    size_t confirmedLocal = 0;
    for (const auto& [uid, row] : rows) {
        if (row.localKey.compare(0, 2, "d:") == 0 && !row.localSig.empty() && row.pending.empty())
            knownSigs[row.localKey] = row.localSig;
        if (!row.localKey.empty() && !row.etag.empty()) ++confirmedLocal;
    }
    std::vector<LocalItem> items;
    std::string error;
    if (!local_.Snapshot(knownSigs, &items, &error)) {
        out.status = SyncStatus::LocalUnreadable;
        out.detail = error;
        return out;
    }
    std::map<std::string, const LocalItem*> localByKey;
    for (const LocalItem& item : items) localByKey[item.key] = &item;
    if (items.empty() && confirmedLocal >= kEmptySideAlarm) {
        out.status = SyncStatus::Suspicious;
        out.detail = "no sticks or diary days were found here, though " + std::to_string(confirmedLocal) +
                     " were synced before; nothing was deleted on the server";
        return out;
    }

    std::map<std::string, std::string> changed;
    std::vector<std::string> goneList;
    bool full = false;
    std::string token;
    if (!List(&out, &changed, &goneList, &full, &token)) return out;

    std::map<std::string, std::string> uidByHref;
    size_t confirmed = 0;
    for (const auto& [uid, row] : rows) {
        uidByHref[row.href] = uid;
        if (!row.etag.empty()) ++confirmed;
    }
    std::set<std::string> gone(goneList.begin(), goneList.end());
    if (full)
        for (const auto& [uid, row] : rows)
            if (!row.etag.empty() && !changed.count(row.href)) gone.insert(row.href);
    size_t goneConfirmed = 0;
    for (const auto& [uid, row] : rows)
        if (!row.etag.empty() && gone.count(row.href)) ++goneConfirmed;
    if (confirmed >= kEmptySideAlarm && goneConfirmed == confirmed && changed.empty()) {
        out.status = SyncStatus::Suspicious;
        out.detail = "the calendar on the server is suddenly empty, though " + std::to_string(confirmed) +
                     " items were synced before; nothing was deleted here";
        return out;
    }

    std::vector<std::string> need;
    for (const auto& [href, etag] : changed) {
        const auto it = uidByHref.find(href);
        if (it == uidByHref.end() || rows[it->second].etag != etag || etag.empty()) need.push_back(href);
    }
    std::map<std::string, Remote> fetchedByHref;
    if (!Fetch(need, &fetchedByHref, &out)) return out;
    bool allRead = true;
    for (const std::string& href : need)
        if (!fetchedByHref.count(href) && !gone.count(href)) allRead = false;
    std::map<std::string, Remote*> fetchedByUid;
    for (auto& [href, remote] : fetchedByHref) {
        if (remote.item.uid.empty()) {
            // Not Pinora's (an event, ...): remembered, so it is not fetched again.
            const auto it = uidByHref.find(href);
            ItemState foreign;
            foreign.uid = it != uidByHref.end() ? it->first : "href:" + href;
            if (it != uidByHref.end()) foreign = rows[it->second];
            foreign.href = href;
            foreign.etag = remote.etag;
            foreign.raw.clear();
            if (foreign.uid.empty()) foreign.uid = "href:" + href;
            if (foreign.localKey.empty()) state_.Put(foreign);
            continue;
        }
        fetchedByUid[remote.item.uid] = &remote;
    }

    // Every item either side knows of.
    std::vector<Work> works;
    std::set<std::string> claimedKeys;
    for (auto& [uid, row] : rows) {
        if (row.localKey.empty()) {
            if (gone.count(row.href)) state_.Remove(uid);
            continue;
        }
        Work w;
        w.uid = uid;
        w.row = row;
        w.hasRow = true;
        w.key = row.localKey;
        claimedKeys.insert(w.key);
        const auto lit = localByKey.find(w.key);
        if (lit != localByKey.end()) {
            w.local = lit->second->fields.empty() ? row.local : lit->second->fields;
            w.localPresent = !IsDeletedStick(w.local);
        }
        const auto fit = fetchedByUid.find(uid);
        if (fit != fetchedByUid.end()) {
            w.fetched = true;
            w.remote = fit->second->item.fields;
            w.raw = fit->second->raw;
            w.etag = fit->second->etag;
            w.remoteExact = fit->second->item.exact;
            if (!w.remoteExact && !row.told) {
                out.notices.push_back(Quoted(StickText(w.remote)) + " is shown here as well as this computer can, since " +
                                      fit->second->item.lossReason + "; it stays as it is on the server unless you edit it.");
                w.row.told = true;
            }
            w.row.exact = w.remoteExact;
            fetchedByUid.erase(fit);
        } else {
            w.remote = row.base;
            w.raw = row.raw;
            w.etag = row.etag;
            w.remoteExact = row.exact;
        }
        const bool goneThere = gone.count(row.href) && !w.fetched;
        if (row.etag.empty()) {
            // A create that was cut short: did it reach the server?
            w.localBase = row.local;
            w.remoteBase = row.pending;
            w.action = w.fetched ? Action::Adopt : (w.localPresent ? Action::CreateRemote : Action::Forget);
        } else {
            const Side local = !w.localPresent ? Side::Absent
                               : (row.pending.empty() && SameContent(w.local, row.local)) ? Side::Unchanged
                                                                                         : Side::Changed;
            const Side remote = goneThere ? Side::Absent : SameContent(w.remote, row.base) ? Side::Unchanged : Side::Changed;
            w.localBase = row.local;
            w.remoteBase = row.base;
            w.action = Decide(true, local, remote);
        }
        works.push_back(std::move(w));
    }
    // New on the server.
    for (auto& [uid, remote] : fetchedByUid) {
        Work w;
        w.uid = uid;
        w.fetched = true;
        w.remote = remote->item.fields;
        w.raw = remote->raw;
        w.etag = remote->etag;
        w.remoteExact = remote->item.exact;
        w.row.href = remote->href;
        w.row.uid = uid;
        w.row.exact = w.remoteExact;
        if (!w.remoteExact) {
            out.notices.push_back(Quoted(StickText(w.remote)) + " is shown here as well as this computer can, since " +
                                  remote->item.lossReason + "; it stays as it is on the server unless you edit it.");
            w.row.told = true;
        }
        if (remote->item.kind == ItemKind::Day) {
            DayFields d;
            ParseDay(w.remote, &d);
            w.key = "d:" + std::to_string(d.date);
            if (claimedKeys.count(w.key)) {
                // A second journal for a day that has one: kept there, not merged in.
                ItemState foreign = w.row;
                foreign.etag = w.etag;
                state_.Put(foreign);
                continue;
            }
        } else {
            // A stick made here whose state was lost: the same content is the same stick.
            for (const LocalItem& item : items) {
                if (item.key.compare(0, 2, "s:") != 0 || claimedKeys.count(item.key)) continue;
                if (SameContent(item.fields, w.remote)) {
                    w.key = item.key;
                    break;
                }
            }
        }
        const auto lit = w.key.empty() ? localByKey.end() : localByKey.find(w.key);
        if (lit != localByKey.end()) {
            w.local = lit->second->fields;
            w.localPresent = !IsDeletedStick(w.local);
            w.action = Action::Adopt;
        } else {
            w.action = Action::CreateLocal;
        }
        if (!w.key.empty()) claimedKeys.insert(w.key);
        works.push_back(std::move(w));
    }
    // New here.
    for (const LocalItem& item : items) {
        if (claimedKeys.count(item.key) || IsDeletedStick(item.fields) || item.fields.empty()) continue;
        Work w;
        w.key = item.key;
        w.local = item.fields;
        w.localPresent = true;
        DayFields d;
        w.uid = ParseDay(item.fields, &d) ? DayUid(d.date) : newUid_();
        w.action = Action::CreateRemote;
        works.push_back(std::move(w));
    }

    // Decide what each side gets.
    const CivilTime now = ctx_.local->FromUtc(ctx_.nowUtc);
    const int today = now.year * 10000 + now.month * 100 + now.day;
    auto project = [&](const std::string& fields) { return ProjectForLocal(fields, today, now.hour, now.minute); };
    std::vector<LocalChange> changes;
    std::vector<size_t> changeOwner;  // index into works; conflict copies too
    std::vector<bool> changeIsCopy;
    for (size_t i = 0; i < works.size(); ++i) {
        Work& w = works[i];
        w.localAfter = w.local;
        switch (w.action) {
        case Action::None:
            break;
        case Action::CreateLocal:
            w.writeLocal = true;
            w.change.op = LocalChange::Op::Create;
            w.change.fields = project(w.remote);
            break;
        case Action::DeleteLocal:
            w.writeLocal = true;
            w.change.op = LocalChange::Op::Delete;
            w.change.key = w.key;
            w.change.expected = w.local;
            w.forget = true;
            break;
        case Action::RestoreLocal:
            w.writeLocal = true;
            w.change.op = LocalChange::Op::Update;
            w.change.key = w.key;
            w.change.fields = project(w.remote);
            w.change.expected = w.local;
            break;
        case Action::CreateRemote:
        case Action::RecreateRemote:
            w.push = true;
            w.create = true;
            w.pushFields = w.local;
            if (w.action == Action::RecreateRemote) w.etag.clear();
            break;
        case Action::DeleteRemote:
            w.deleteRemote = true;
            break;
        case Action::Forget:
            w.forget = true;
            break;
        case Action::PushUpdate:
        case Action::PullUpdate:
        case Action::Merge:
        case Action::Adopt: {
            const MergeResult m = MergeFields(w.localBase, w.local, w.remoteBase, w.remote);
            const bool stickConflict = m.conflict && !m.conflictCopy.empty();
            if (m.conflict) {
                ++out.conflicts;
                out.notices.push_back(stickConflict
                                          ? Quoted(StickText(w.local)) +
                                                " was changed here and on the server: the server's copy is kept and "
                                                "yours is added as a new stick."
                                          : "The " + StickText(w.local) +
                                                " was written here and on the server: both texts are kept, the "
                                                "server's first.");
            }
            const std::string target = project(m.fields);
            if (!SameContent(target, w.local) || !w.localPresent) {
                w.writeLocal = true;
                w.change.op = LocalChange::Op::Update;
                w.change.key = w.key;
                w.change.fields = target;
                w.change.expected = w.local;
            }
            if (!SameContent(m.fields, w.remote)) {
                w.push = true;
                w.pushFields = m.fields;
            }
            w.conflictCopy = m.conflictCopy;
            break;
        }
        }
        if (w.writeLocal) {
            changes.push_back(w.change);
            changeOwner.push_back(i);
            changeIsCopy.push_back(false);
        }
        if (!w.conflictCopy.empty()) {
            LocalChange copy;
            copy.op = LocalChange::Op::Create;
            copy.fields = w.conflictCopy;
            changes.push_back(copy);
            changeOwner.push_back(i);
            changeIsCopy.push_back(true);
        }
    }

    // Here first: what the server holds is safe there already.
    std::vector<Work> copies;
    if (!changes.empty()) {
        const std::vector<LocalResult> results = local_.Apply(changes);
        for (size_t c = 0; c < changes.size(); ++c) {
            Work& w = works[changeOwner[c]];
            const bool done = c < results.size() && results[c].done;
            if (!done) {
                w.settled = false;
                w.push = w.deleteRemote = w.forget = false;
                continue;
            }
            out.localChanged = true;
            if (changeIsCopy[c]) {
                Work copy;
                copy.uid = newUid_();
                copy.key = results[c].key;
                copy.local = copy.localAfter = results[c].fields;
                copy.localPresent = true;
                copy.push = copy.create = true;
                copy.pushFields = results[c].fields;
                copy.action = Action::CreateRemote;
                copies.push_back(std::move(copy));
                continue;
            }
            if (changes[c].op == LocalChange::Op::Create) {
                w.key = results[c].key;
                ++out.pulled;
            } else if (changes[c].op == LocalChange::Op::Delete) {
                ++out.deletedHere;
            } else {
                ++out.pulled;
            }
            w.localAfter = results[c].fields;
            w.row.localSig = results[c].sig;
        }
    }
    for (Work& copy : copies) works.push_back(std::move(copy));

    // Record what is settled here, then push and delete there.
    for (Work& w : works) {
        if (!w.settled) continue;
        if (w.forget) {
            if (w.hasRow) state_.Remove(w.uid);
            continue;
        }
        if (w.key.empty() || w.action == Action::None) {
            if (w.fetched && w.hasRow) {
                // Same content, a new version there: keep its ETag and object.
                w.row.etag = w.etag;
                w.row.raw = w.raw;
                state_.Put(w.row);
            }
            continue;
        }
        if (w.writeLocal || w.fetched || w.action == Action::Adopt) {
            w.row.uid = w.uid;
            w.row.localKey = w.key;
            w.row.etag = w.etag;
            w.row.raw = w.raw;
            w.row.base = w.remote;
            w.row.local = w.localAfter;
            if (!w.fetched && !w.hasRow) w.row.base.clear();
            if (!w.push && !w.deleteRemote) state_.Put(w.row);
        }
    }
    for (Work& w : works) {
        if (!w.settled) continue;
        if (w.push) {
            if (w.row.localSig.empty()) {
                const auto lit = localByKey.find(w.key);
                if (lit != localByKey.end()) w.row.localSig = lit->second->sig;
            }
            if (!Push(w, &out)) return out;
        } else if (w.deleteRemote) {
            if (!Delete(w, &out)) return out;
        } else if (w.hasRow && !w.writeLocal && !w.fetched && w.action == Action::None) {
            // A day file read again with the same content: remember its new signature.
            const auto lit = localByKey.find(w.key);
            if (lit != localByKey.end() && !lit->second->sig.empty() && lit->second->sig != w.row.localSig) {
                w.row.localSig = lit->second->sig;
                state_.Put(w.row);
            }
        }
    }

    bool settled = allRead;
    for (const Work& w : works)
        if (!w.settled) settled = false;
    if (settled && !token.empty() && token != state_.Meta("token")) state_.SetMeta("token", token);
    return out;
}

}  // namespace pnsync
