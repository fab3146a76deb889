/* PnSync.dll, loaded by Pinora only when sync is set up or an iCalendar file
 * is exported or imported: the CalDAV sync (WinHTTP, SQLite) and the .ics
 * files. Plain C across the boundary; texts are in the ANSI code page, as
 * everywhere in Pinora; nothing crosses but these structures, which the
 * caller owns. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define PNSYNC_VERSION 1

/* Runs fn(arg) on the thread that owns the user's tables (the window thread)
 * and returns when it has run. */
typedef void(__cdecl* PnSyncFunction)(void* arg);
typedef void(__cdecl* PnSyncUiCall)(PnSyncFunction fn, void* arg, void* host);

typedef struct PnSyncJob {
    int version;               /* PNSYNC_VERSION */
    const char* dataFolder;    /* the user's data folder, with its trailing backslash */
    const char* stateFile;     /* <user>\sync.db */
    const char* url;           /* the calendar collection */
    const char* user;
    const char* password;
    const char* certSha256;    /* pinned certificate (hex), or "" */
    int now[6];                /* local year, month, day, hour, minute, second */
    PnSyncUiCall uiCall;       /* null: the tables are used from the calling thread */
    void* host;
} PnSyncJob;

/* Outcome statuses, as the engine's SyncStatus. */
enum {
    PNSYNC_OK = 0,
    PNSYNC_OFFLINE = 1,
    PNSYNC_AUTH_FAILED = 2,
    PNSYNC_CERTIFICATE = 3,
    PNSYNC_SERVER_ERROR = 4,
    PNSYNC_NOT_A_CALENDAR = 5,
    PNSYNC_LOCAL_UNREADABLE = 6,
    PNSYNC_SUSPICIOUS = 7,
    PNSYNC_CANCELLED = 8,
};

typedef struct PnSyncResult {
    int status;
    int pulled, pushed, deletedHere, deletedThere, conflicts, requests, retryAfterSeconds, localChanged;
    char detail[512];
    char notices[2048]; /* one notice a line */
} PnSyncResult;

/* One whole sync; 1 when it ran to its end (result->status says how). */
int __cdecl PnSync_Run(const PnSyncJob* job, PnSyncResult* result);
/* Ends the request in flight of the running sync, from any thread. */
void __cdecl PnSync_Cancel(void);
/* Every stick (onlyDate 0) or one day's sticks into an .ics file; pushed =
 * sticks written. */
int __cdecl PnSync_ExportIcs(const PnSyncJob* job, const char* path, int onlyDate, PnSyncResult* result);
/* VTODOs and VEVENTs of an .ics file as sticks, merged by UID; pulled = new
 * sticks, pushed = sticks updated, conflicts = duplicates skipped. */
int __cdecl PnSync_ImportIcs(const PnSyncJob* job, const char* path, PnSyncResult* result);

#ifdef __cplusplus
}
#endif
