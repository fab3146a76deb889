// PnSync.dll's entry points: a sync run over WinHTTP, the .ics export and
// import. The user's tables are read and written on the thread the host names
// (its window thread), so they are never used from two threads at once.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "IcsFiles.h"
#include "PnSyncApi.h"
#include "SyncEngine.h"
#include "SyncPlatform_win.h"
#include "TableLocalStore.h"
#include "Utf8Text.h"
#include "WinHttpClient_win.h"

namespace pnsync {
namespace {

std::mutex g_runLock;  // one sync at a time
std::mutex g_clientLock;
WinHttpClient* g_client = nullptr;

// The local store, each call made on the host's window thread.
class MarshalledStore : public LocalStore {
public:
    MarshalledStore(LocalStore& inner, PnSyncUiCall call, void* host) : inner_(inner), call_(call), host_(host) {}

    bool Snapshot(const std::map<std::string, std::string>& knownSigs, std::vector<LocalItem>* items,
                  std::string* error) override {
        bool ok = false;
        OnUi([&] { ok = inner_.Snapshot(knownSigs, items, error); });
        return ok;
    }
    std::vector<LocalResult> Apply(const std::vector<LocalChange>& changes) override {
        std::vector<LocalResult> results;
        OnUi([&] { results = inner_.Apply(changes); });
        return results;
    }

private:
    template <typename F>
    void OnUi(F&& f) {
        if (!call_) {
            f();
            return;
        }
        struct Thunk {
            static void __cdecl Run(void* arg) {
                try {
                    (*static_cast<F*>(arg))();
                } catch (...) {
                }
            }
        };
        call_(&Thunk::Run, &f, host_);
    }
    LocalStore& inner_;
    PnSyncUiCall call_;
    void* host_;
};

// Into the result's fields, cut between characters.
void Copy(char* to, size_t size, const std::string& text) { uikit::CopyUtf8(to, size, text.c_str()); }

long long NowUtc(const PnSyncJob& job, const ZoneRules& zone) {
    CivilTime t;
    t.year = job.now[0];
    t.month = job.now[1];
    t.day = job.now[2];
    t.hour = job.now[3];
    t.minute = job.now[4];
    t.second = job.now[5];
    if (!IsRealDate(t.year, t.month, t.day)) {
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        const unsigned long long ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        return static_cast<long long>(ticks / 10000000ULL) - 11644473600LL;
    }
    return zone.ToUtc(t);
}

std::string Utf8(const AnsiCodec& codec, const char* text) {
    std::string out;
    codec.ToUtf8(text ? text : "", &out);
    return out;
}

bool ValidJob(const PnSyncJob* job, PnSyncResult* result) {
    if (!result) return false;
    std::memset(result, 0, sizeof *result);
    if (!job || job->version != PNSYNC_VERSION || !job->dataFolder || !job->stateFile) {
        result->status = PNSYNC_LOCAL_UNREADABLE;
        Copy(result->detail, sizeof result->detail, "the sync was called wrongly");
        return false;
    }
    return true;
}

void Fill(const SyncOutcome& o, PnSyncResult* r) {
    r->status = static_cast<int>(o.status);
    r->pulled = o.pulled;
    r->pushed = o.pushed;
    r->deletedHere = o.deletedHere;
    r->deletedThere = o.deletedThere;
    r->conflicts = o.conflicts;
    r->requests = o.requests;
    r->retryAfterSeconds = o.retryAfterSeconds;
    r->localChanged = o.localChanged ? 1 : 0;
    Copy(r->detail, sizeof r->detail, o.detail);
    std::string notices;
    for (const std::string& n : o.notices) notices += n + "\n";
    Copy(r->notices, sizeof r->notices, notices);
}

int Run(const PnSyncJob* job, PnSyncResult* result) {
    if (!ValidJob(job, result)) return 0;
    std::lock_guard<std::mutex> one(g_runLock);
    const AnsiCodec codec;
    const WindowsZone zone;
    SyncState state;
    std::string error;
    if (!state.Open(Utf8(codec, job->stateFile), &error)) {
        result->status = PNSYNC_LOCAL_UNREADABLE;
        Copy(result->detail, sizeof result->detail, "the sync state cannot be opened: " + error);
        return 1;
    }
    WinHttpClient client(job->certSha256 ? job->certSha256 : "");
    {
        std::lock_guard<std::mutex> hold(g_clientLock);
        g_client = &client;
    }
    TableLocalStore tables(job->dataFolder);
    MarshalledStore store(tables, job->uiCall, job->host);
    MapContext ctx{&zone, &codec, NowUtc(*job, zone)};
    SyncEngine engine(client, store, state, ctx, NewUid);
    SyncConfig config{job->url ? job->url : "", Utf8(codec, job->user), Utf8(codec, job->password)};
    const SyncOutcome outcome = engine.Run(config);
    {
        std::lock_guard<std::mutex> hold(g_clientLock);
        g_client = nullptr;
    }
    Fill(outcome, result);
    return 1;
}

int Export(const PnSyncJob* job, const char* path, int onlyDate, PnSyncResult* result) {
    if (!ValidJob(job, result) || !path) return 0;
    const AnsiCodec codec;
    const WindowsZone zone;
    SyncState state;
    std::string error;
    if (!state.Open(Utf8(codec, job->stateFile), &error)) {
        Copy(result->detail, sizeof result->detail, error);
        return 0;
    }
    TableLocalStore tables(job->dataFolder);
    MapContext ctx{&zone, &codec, NowUtc(*job, zone)};
    std::string ics;
    IcsCounts counts;
    if (!ExportSticks(tables, state, ctx, onlyDate, NewUid, &ics, &counts) || !ReplaceFileWith(path, ics)) {
        Copy(result->detail, sizeof result->detail, counts.error.empty() ? "the file cannot be written" : counts.error);
        return 0;
    }
    result->pushed = counts.written;
    return 1;
}

int Import(const PnSyncJob* job, const char* path, PnSyncResult* result) {
    if (!ValidJob(job, result) || !path) return 0;
    const AnsiCodec codec;
    const WindowsZone zone;
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        Copy(result->detail, sizeof result->detail, "the file cannot be read");
        return 0;
    }
    SyncState state;
    std::string error;
    if (!state.Open(Utf8(codec, job->stateFile), &error)) {
        Copy(result->detail, sizeof result->detail, error);
        return 0;
    }
    TableLocalStore tables(job->dataFolder);
    MarshalledStore store(tables, job->uiCall, job->host);
    MapContext ctx{&zone, &codec, NowUtc(*job, zone)};
    IcsCounts counts;
    const bool ok = ImportCalendar(text, store, state, ctx, &counts);
    result->pulled = counts.added;
    result->pushed = counts.updated;
    result->conflicts = counts.duplicates;
    result->localChanged = counts.added + counts.updated > 0;
    Copy(result->detail, sizeof result->detail, counts.error);
    return ok ? 1 : 0;
}

}  // namespace
}  // namespace pnsync

// No exception leaves the library.
extern "C" int __cdecl PnSync_Run(const PnSyncJob* job, PnSyncResult* result) {
    try {
        return pnsync::Run(job, result);
    } catch (...) {
        if (result) result->status = PNSYNC_LOCAL_UNREADABLE;
        return 0;
    }
}

extern "C" void __cdecl PnSync_Cancel(void) {
    std::lock_guard<std::mutex> hold(pnsync::g_clientLock);
    if (pnsync::g_client) pnsync::g_client->Cancel();
}

extern "C" int __cdecl PnSync_ExportIcs(const PnSyncJob* job, const char* path, int onlyDate, PnSyncResult* result) {
    try {
        return pnsync::Export(job, path, onlyDate, result);
    } catch (...) {
        return 0;
    }
}

extern "C" int __cdecl PnSync_ImportIcs(const PnSyncJob* job, const char* path, PnSyncResult* result) {
    try {
        return pnsync::Import(job, path, result);
    } catch (...) {
        return 0;
    }
}
