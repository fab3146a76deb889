// The sync state of one user, "<user>\sync.db" (SQLite): one row per item
// (UID, the local record it belongs to, href, ETag, what was last synced on
// each side, the server's raw object) and the collection's sync token. Written
// item by item, so a run cut short anywhere leaves a state the next run can
// finish from.
#pragma once
#include <map>
#include <string>
#include <vector>

struct sqlite3;

namespace pnsync {

struct ItemState {
    std::string uid;
    std::string localKey;  // "s:12" (stick 12), "d:20090305" (that day's file), "" (not Pinora's)
    std::string href;      // decoded path on the server
    std::string etag;      // "" until the server confirmed a version
    std::string base;      // fields as the server had them at the last sync ("" never synced)
    std::string local;     // fields as the local record was left at the last sync
    std::string raw;       // the server's object as last seen
    std::string pending;   // fields being pushed (identity before the network)
    std::string localSig;  // a day file's size and time when last read
    bool exact = true;     // false: never written back unless edited here
    bool told = false;     // the user was told about this item's loss or conflict
};

class SyncState {
public:
    SyncState() = default;
    ~SyncState();
    SyncState(const SyncState&) = delete;
    SyncState& operator=(const SyncState&) = delete;

    // Opens (creating) the state at a UTF-8 path. False with a reason when it
    // cannot be opened or was written by a newer Pinora.
    bool Open(const std::string& path, std::string* error);
    void Close();

    std::string Meta(const std::string& key) const;
    bool SetMeta(const std::string& key, const std::string& value);

    // Every row, by UID.
    std::map<std::string, ItemState> LoadAll() const;
    bool Put(const ItemState& item);
    bool Remove(const std::string& uid);
    // Forgets every row and the token.
    bool Clear();
    // Another calendar: forgets what was known of the old one (rows with an href,
    // the token), keeps the UIDs files gave sticks that no server has seen yet.
    bool ForgetCollection();

    // Several writes in one transaction.
    bool Begin();
    bool Commit();
    const std::string& LastError() const { return error_; }

private:
    bool Exec(const char* sql);
    sqlite3* db_ = nullptr;
    mutable std::string error_;
};

}  // namespace pnsync
