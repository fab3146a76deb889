#include "SyncController.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "Clock.h"
#include "DoRoRazIds.h"
#include "FilledText.h"
#include "MainMessages.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "WindowText.h"

namespace pinora {
namespace {

constexpr int kMaxBackoffMinutes = 60;

void __cdecl CallOnWindowThread(PnSyncFunction fn, void* arg, void* host) {
    // Sent, not posted: the worker waits until the window thread has run it.
    SendMessageA(static_cast<HWND>(host), MWM_SYNCCALL, reinterpret_cast<WPARAM>(fn), reinterpret_cast<LPARAM>(arg));
}


bool Refused(int status) {
    return status == PNSYNC_AUTH_FAILED || status == PNSYNC_CERTIFICATE || status == PNSYNC_NOT_A_CALENDAR ||
           status == PNSYNC_SUSPICIOUS || status == PNSYNC_LOCAL_UNREADABLE;
}

}  // namespace

SyncController::SyncController(HWND mainWnd) : main_(mainWnd) {
    balloon_ = [this](const std::string& title, const std::string& text) {
        NOTIFYICONDATAA nid = {};
        nid.cbSize = sizeof nid;
        nid.hWnd = main_;
        nid.uID = 1000;  // the program's notification icon
        nid.dwInfoFlags = NIIF_WARNING;
        uikit::SetBalloonText(nid, title, text);
        Shell_NotifyIconA(NIM_MODIFY, &nid);
    };
}

SyncController::~SyncController() {
    Stop();
    if (library_) FreeLibrary(library_);
}

void SyncController::Stop() {
    KillTimer(main_, kSyncTimer);
    KillTimer(main_, kSyncSoonTimer);
    timerRunning_ = false;
    if (!thread_.joinable()) return;
    if (cancel_) cancel_();
    // The worker may be waiting for this thread (MWM_SYNCCALL): serve it while waiting.
    while (!finished_) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread_.join();
    report_.running = false;
}

bool SyncController::LoadSyncLibrary() {
    if (library_) return true;
    const std::string folder = libraryFolder_.empty() ? ProgramFolder() : libraryFolder_;
    // Its own libraries (Tabulo.dll) are looked for beside it.
    library_ = LoadLibraryExA((folder + "PnSync.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library_) return false;
    run_ = reinterpret_cast<decltype(run_)>(reinterpret_cast<void*>(GetProcAddress(library_, "PnSync_Run")));
    cancel_ = reinterpret_cast<decltype(cancel_)>(reinterpret_cast<void*>(GetProcAddress(library_, "PnSync_Cancel")));
    export_ = reinterpret_cast<decltype(export_)>(reinterpret_cast<void*>(GetProcAddress(library_, "PnSync_ExportIcs")));
    import_ = reinterpret_cast<decltype(import_)>(reinterpret_cast<void*>(GetProcAddress(library_, "PnSync_ImportIcs")));
    if (!run_ || !cancel_ || !export_ || !import_) {
        FreeLibrary(library_);
        library_ = nullptr;
        return false;
    }
    return true;
}

void SyncController::FreeLibraryIfIdle() {
    if (!library_ || thread_.joinable() || (loggedIn_ && settings_.SetUp())) return;
    FreeLibrary(library_);
    library_ = nullptr;
    run_ = nullptr;
    cancel_ = nullptr;
    export_ = nullptr;
    import_ = nullptr;
}

void SyncController::Update(bool loggedIn, const std::string& userFolder) {
    const bool sameUser = userFolder == userFolder_;
    const bool wasActive = loggedIn_ && settings_.SetUp() && sameUser;
    if (!sameUser) {
        // Another user's sticks: nothing of the last one's sync goes on.
        if (thread_.joinable()) Stop();
        stopped_ = false;
        backoffMinutes_ = 0;
        report_ = SyncReport();
    }
    const SyncSettings old = settings_;
    loggedIn_ = loggedIn;
    userFolder_ = userFolder;
    settings_ = ReadSyncSettings();
    const bool active = loggedIn_ && settings_.SetUp();
    if (!active) {
        if (thread_.joinable()) Stop();
        KillTimer(main_, kSyncTimer);
        KillTimer(main_, kSyncSoonTimer);
        timerRunning_ = false;
        FreeLibraryIfIdle();
        return;
    }
    // New settings: whatever stopped the automatic syncs is worth another try.
    if (old.url != settings_.url || old.user != settings_.user || old.password != settings_.password ||
        old.certSha256 != settings_.certSha256)
        stopped_ = false;
    timerRunning_ = SetTimer(main_, kSyncTimer, static_cast<UINT>(settings_.minutes) * 60000u, nullptr) != 0;
    if (!wasActive) StartSoon(kSyncAtLoginMs);
}

void SyncController::StartSoon(UINT ms) {
    if (!loggedIn_ || !settings_.SetUp()) return;
    SetTimer(main_, kSyncSoonTimer, ms, nullptr);
}

void SyncController::OnTimer(UINT_PTR id) {
    if (id == kSyncSoonTimer) KillTimer(main_, kSyncSoonTimer);
    if (id != kSyncTimer && id != kSyncSoonTimer) return;
    if (stopped_) return;  // the user has to act first
    if (backoffMinutes_ && id == kSyncTimer) return;  // the retry timer decides
    StartRun();
}

void SyncController::SyncNow() {
    settings_ = ReadSyncSettings();
    stopped_ = false;
    backoffMinutes_ = 0;
    if (!loggedIn_ || !settings_.SetUp()) {
        if (statusChanged_) statusChanged_();
        return;
    }
    StartRun();
}

void SyncController::SoonAfterSave() {
    if (!loggedIn_ || !settings_.SetUp() || stopped_) return;
    if (thread_.joinable()) {
        again_ = true;
        return;
    }
    StartSoon(kSyncAfterSaveMs);
}

PnSyncJob SyncController::MakeJob() {
    jobText_.dataFolder = userFolder_ + "data\\";
    jobText_.stateFile = userFolder_ + "sync.db";
    jobText_.url = settings_.url;
    jobText_.user = settings_.user;
    jobText_.password = settings_.password;
    jobText_.cert = settings_.certSha256;
    PnSyncJob job = {};
    job.version = PNSYNC_VERSION;
    job.dataFolder = jobText_.dataFolder.c_str();
    job.stateFile = jobText_.stateFile.c_str();
    job.url = jobText_.url.c_str();
    job.user = jobText_.user.c_str();
    job.password = jobText_.password.c_str();
    job.certSha256 = jobText_.cert.c_str();
    const LocalTime now = CurrentClock().Now();
    const int values[6] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
    std::memcpy(job.now, values, sizeof values);
    job.uiCall = &CallOnWindowThread;
    job.host = main_;
    return job;
}

void SyncController::StartRun() {
    if (thread_.joinable() || userFolder_.empty()) return;
    if (!LoadSyncLibrary()) {
        report_.ran = true;
        report_.result = {};
        report_.result.status = PNSYNC_LOCAL_UNREADABLE;
        std::strcpy(report_.result.detail, "PnSync.dll cannot be loaded");
        if (statusChanged_) statusChanged_();
        return;
    }
    job_ = MakeJob();
    workerResult_ = {};
    report_.running = true;
    ++runs_;
    if (statusChanged_) statusChanged_();
    finished_ = false;
    thread_ = std::thread([this] {
        run_(&job_, &workerResult_);
        finished_ = true;
        PostMessageA(main_, MWM_SYNCDONE, 0, 0);
    });
}

void SyncController::OnCall(WPARAM fn, LPARAM arg) {
    reinterpret_cast<PnSyncFunction>(fn)(reinterpret_cast<void*>(arg));
}

void SyncController::OnDone() {
    if (!thread_.joinable()) return;
    thread_.join();
    report_.running = false;
    report_.ran = true;
    report_.result = workerResult_;
    const LocalTime now = CurrentClock().Now();
    report_.hour = now.hour;
    report_.minute = now.minute;
    const PnSyncResult& r = report_.result;
    if (r.localChanged && localChanged_) localChanged_();
    if (Refused(r.status)) {
        // Wrong password, a changed certificate, ...: said once, and no more
        // tries until the settings change or the user asks.
        stopped_ = true;
        backoffMinutes_ = 0;
        Tell(uikit::FillByPosition(LoadResString(IDS_SYNC_BALLOON_STOPPED, 512), {r.detail}));
    } else if (r.status == PNSYNC_OFFLINE || r.status == PNSYNC_SERVER_ERROR) {
        backoffMinutes_ = backoffMinutes_ ? backoffMinutes_ * 2 : 1;
        if (backoffMinutes_ > kMaxBackoffMinutes) backoffMinutes_ = kMaxBackoffMinutes;
        if (backoffMinutes_ > settings_.minutes) backoffMinutes_ = settings_.minutes;
        UINT ms = static_cast<UINT>(backoffMinutes_) * 60000u;
        if (r.retryAfterSeconds > 0 && static_cast<UINT>(r.retryAfterSeconds) * 1000u > ms)
            ms = static_cast<UINT>(r.retryAfterSeconds) * 1000u;
        StartSoon(ms);
    } else {
        backoffMinutes_ = 0;
        if (r.notices[0]) Tell(r.notices);
        if (again_) StartSoon(kSyncAfterSaveMs);
    }
    again_ = false;
    if (statusChanged_) statusChanged_();
    FreeLibraryIfIdle();
}

void SyncController::Tell(const std::string& text) {
    if (balloon_) balloon_(LoadResString(IDS_SYNC_BALLOON_TITLE), text);
}

std::string SyncController::StatusText() const {
    if (!settings_.SetUp() && !report_.ran) return LoadResString(IDS_SYNC_STATUS_OFF, 512);
    if (report_.running) return LoadResString(IDS_SYNC_STATUS_RUNNING);
    if (!report_.ran) return LoadResString(IDS_SYNC_STATUS_NEVER);
    char when[16];
    std::snprintf(when, sizeof when, "%02d:%02d", report_.hour, report_.minute);
    const PnSyncResult& r = report_.result;
    // Filled, not printed: the library's text is the translator's, and the
    // whole detail is kept (a fixed buffer would cut it inside a character).
    if (r.status == PNSYNC_OK)
        return uikit::FillByPosition(LoadResString(IDS_SYNC_STATUS_OK, 512),
                                     {when, std::to_string(r.pulled), std::to_string(r.pushed),
                                      std::to_string(r.deletedHere + r.deletedThere)});
    return uikit::FillByPosition(LoadResString(IDS_SYNC_STATUS_FAILED, 512), {when, r.detail});
}

bool SyncController::ExportIcs(const std::string& path, int onlyDate, PnSyncResult* result) {
    if (userFolder_.empty() || !LoadSyncLibrary()) return false;
    PnSyncJob job = MakeJob();
    job.uiCall = nullptr;  // on this thread: nothing else uses the tables meanwhile
    const bool ok = export_(&job, path.c_str(), onlyDate, result) != 0;
    FreeLibraryIfIdle();
    return ok;
}

bool SyncController::ImportIcs(const std::string& path, PnSyncResult* result) {
    if (userFolder_.empty() || thread_.joinable() || !LoadSyncLibrary()) return false;
    PnSyncJob job = MakeJob();
    job.uiCall = nullptr;
    const bool ok = import_(&job, path.c_str(), result) != 0;
    FreeLibraryIfIdle();
    if (ok && result->localChanged) SoonAfterSave();
    return ok;
}

}  // namespace pinora
