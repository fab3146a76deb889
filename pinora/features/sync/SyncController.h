// Pinora's side of the sync: reads "[SYNC]" of "pinora.ini", loads PnSync.dll
// when sync is set up (never otherwise), runs each sync on a worker thread of
// its own, and tells the main window what came of it. The worker reaches the
// user's tables only through the main window's thread (MWM_SYNCCALL), so the
// windows never wait on the network and the tables have one user at a time.
// With sync off there is no timer, no thread and no library.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "PnSyncApi.h"
#include "SyncSettings.h"

namespace pinora {

constexpr UINT_PTR kSyncTimer = 11;      // every sync_minutes, while set up and logged in
constexpr UINT_PTR kSyncSoonTimer = 12;  // once: after a save, at login, after a failure
constexpr UINT kSyncAfterSaveMs = 3000;
constexpr UINT kSyncAtLoginMs = 2000;

// What the last sync came to, for the settings page.
struct SyncReport {
    bool ran = false;
    bool running = false;
    PnSyncResult result = {};
    int hour = 0, minute = 0;
};

class SyncController {
public:
    explicit SyncController(HWND mainWnd);
    ~SyncController();
    SyncController(const SyncController&) = delete;
    SyncController& operator=(const SyncController&) = delete;

    // Login, log-out and changed settings: the timer runs only while somebody is
    // logged in and sync is set up; the first sync comes soon after.
    void Update(bool loggedIn, const std::string& userFolder);
    // Timers 11 and 12 of the main window.
    void OnTimer(UINT_PTR id);
    // "Sync now": also after an error that stopped the automatic syncs.
    void SyncNow();
    // A stick or a note was saved: a sync follows in a few seconds.
    void SoonAfterSave();
    // MWM_SYNCCALL and MWM_SYNCDONE of the main window.
    void OnCall(WPARAM fn, LPARAM arg);
    void OnDone();

    // Export and import of .ics files (PnSync.dll is loaded for them).
    bool ExportIcs(const std::string& path, int onlyDate, PnSyncResult* result);
    bool ImportIcs(const std::string& path, PnSyncResult* result);

    // What the page shows ("Synced at 14:05: ...").
    std::string StatusText() const;
    bool Running() const { return thread_.joinable(); }
    bool AutomaticStopped() const { return stopped_; }
    bool TimerRunning() const { return timerRunning_; }
    bool LibraryLoaded() const { return library_ != nullptr; }
    const SyncReport& LastReport() const { return report_; }
    int Runs() const { return runs_; }

    // Seams: how the user is told (a tray balloon), what follows local changes
    // (the today window and the calendar), and the status shown on the page.
    void SetBalloon(std::function<void(const std::string& title, const std::string& text)> balloon) { balloon_ = std::move(balloon); }
    void SetLocalChanged(std::function<void()> changed) { localChanged_ = std::move(changed); }
    void SetStatusChanged(std::function<void()> changed) { statusChanged_ = std::move(changed); }
    // The library's folder (tests put it elsewhere); "" for the program folder.
    void SetLibraryFolder(const std::string& folder) { libraryFolder_ = folder; }

    // Stops the worker (the request in flight is ended) and waits for it.
    void Stop();

private:
    bool LoadSyncLibrary();
    void FreeLibraryIfIdle();
    void StartSoon(UINT ms);
    void StartRun();
    void Tell(const std::string& text);
    PnSyncJob MakeJob();

    HWND main_;
    std::string userFolder_;
    bool loggedIn_ = false;
    SyncSettings settings_;
    bool timerRunning_ = false;
    bool stopped_ = false;     // an error that needs the user: no automatic syncs
    bool again_ = false;       // a save came while a sync ran
    int backoffMinutes_ = 0;
    int runs_ = 0;
    HMODULE library_ = nullptr;
    std::string libraryFolder_;
    decltype(&PnSync_Run) run_ = nullptr;
    decltype(&PnSync_Cancel) cancel_ = nullptr;
    decltype(&PnSync_ExportIcs) export_ = nullptr;
    decltype(&PnSync_ImportIcs) import_ = nullptr;
    std::thread thread_;
    std::atomic<bool> finished_{true};
    // What the worker reads and writes; the window thread touches them only
    // before the worker starts and after it posted MWM_SYNCDONE.
    struct JobText {
        std::string dataFolder, stateFile, url, user, password, cert;
    } jobText_;
    PnSyncJob job_ = {};
    PnSyncResult workerResult_ = {};
    SyncReport report_;
    std::function<void(const std::string&, const std::string&)> balloon_;
    std::function<void()> localChanged_;
    std::function<void()> statusChanged_;
};

}  // namespace pinora
