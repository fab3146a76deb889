// The sync's decisions, apart from any network or file: what to do with one
// item given what each side did since the last sync (one table, below), and how
// two changed copies of one item are merged field by field.
#pragma once
#include <string>

namespace pnsync {

// One side of an item, compared with what was last synced.
enum class Side { Absent, Unchanged, Changed };

enum class Action {
    None,
    CreateRemote,    // new here: upload
    CreateLocal,     // new there: make it here
    Adopt,           // new on both sides (a day both wrote, a run cut short): compare, merge
    PushUpdate,
    PullUpdate,
    Merge,           // changed on both sides
    DeleteRemote,
    DeleteLocal,
    RecreateRemote,  // edited here, deleted there: an edit beats a delete
    RestoreLocal,    // deleted here, edited there: likewise
    Forget,          // gone on both sides
};

// known: the item was synced before (the state holds it).
Action Decide(bool known, Side local, Side remote);
const char* ActionName(Action action);

// An item's fields (serialized) on each side and what each side held at the
// last sync (the two bases differ where the local copy could not be the
// server's exactly). Each group of fields (a stick's text, its day/alarm/repeat,
// its status; a day's text) is taken from the side that changed it. A group
// both sides changed differently is a conflict: for a stick the server's copy
// is kept and the local one becomes a new stick; a day keeps both texts, the
// server's first. Empty bases: nothing is known, every differing group conflicts.
struct MergeResult {
    std::string fields;          // the merged item
    bool conflict = false;
    std::string conflictCopy;    // a stick: the local copy to add as a new stick
};
MergeResult MergeFields(const std::string& localBase, const std::string& local, const std::string& remoteBase,
                        const std::string& remote);

// What the local tables are to hold for an item of the server: a live alarm
// whose last time is already over (today is the date, hh:mm the time now) is
// kept as finished, so it does not come back as an out-of-date reminder.
std::string ProjectForLocal(const std::string& fields, int today, int hour, int minute);

// Whether two field records say the same (the stick's groups; a day's text).
bool SameContent(const std::string& a, const std::string& b);
// Whether local differs from base in any group that remote does not also hold
// the same way: what would have to be pushed.
bool DiffersFrom(const std::string& fields, const std::string& base);

}  // namespace pnsync
