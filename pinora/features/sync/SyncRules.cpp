#include "SyncRules.h"

#include "StickMapping.h"

namespace pnsync {
namespace {

enum Group { kText, kSchedule, kStatus, kGroupCount };

bool SameGroup(const StickFields& a, const StickFields& b, int group) {
    switch (group) {
    case kText:
        return a.text == b.text;
    case kSchedule:
        return a.date == b.date && a.hasAlarm == b.hasAlarm && a.hour == b.hour && a.minute == b.minute &&
               a.repeat == b.repeat && a.endDate == b.endDate && a.weekly == b.weekly;
    default:
        return a.status == b.status;
    }
}

void TakeGroup(StickFields* to, const StickFields& from, int group) {
    switch (group) {
    case kText:
        to->text = from.text;
        break;
    case kSchedule:
        to->date = from.date;
        to->hasAlarm = from.hasAlarm;
        to->hour = from.hour;
        to->minute = from.minute;
        to->repeat = from.repeat;
        to->endDate = from.endDate;
        to->weekly = from.weekly;
        to->advance = from.advance;
        break;
    default:
        to->status = from.status;
    }
}

// Two diary texts: when both only added to the base, the server's text and
// then what was added here; otherwise the server's text, then the local one.
std::string MergeDayText(const std::string& base, const std::string& local, const std::string& remote, bool* conflict) {
    *conflict = false;
    if (local == remote) return remote;
    if (!base.empty() && local.compare(0, base.size(), base) == 0 && remote.compare(0, base.size(), base) == 0) {
        std::string added = local.substr(base.size());
        std::string merged = remote;
        if (!merged.empty() && merged.back() != '\n' && !added.empty()) merged += "\r\n";
        return merged + added;
    }
    if (remote.find(local) != std::string::npos) return remote;
    *conflict = true;
    std::string merged = remote;
    if (!merged.empty() && merged.back() != '\n') merged += "\r\n";
    return merged + local;
}

}  // namespace

Action Decide(bool known, Side local, Side remote) {
    if (!known) {
        const bool here = local != Side::Absent, there = remote != Side::Absent;
        if (here && there) return Action::Adopt;
        if (here) return Action::CreateRemote;
        if (there) return Action::CreateLocal;
        return Action::None;
    }
    // rows: local; columns: remote Unchanged, Changed, Absent
    static const Action kTable[3][3] = {
        /* local Absent    */ {Action::DeleteRemote, Action::RestoreLocal, Action::Forget},
        /* local Unchanged */ {Action::None, Action::PullUpdate, Action::DeleteLocal},
        /* local Changed   */ {Action::PushUpdate, Action::Merge, Action::RecreateRemote},
    };
    auto column = [](Side s) { return s == Side::Unchanged ? 0 : s == Side::Changed ? 1 : 2; };
    auto row = [](Side s) { return s == Side::Absent ? 0 : s == Side::Unchanged ? 1 : 2; };
    return kTable[row(local)][column(remote)];
}

const char* ActionName(Action a) {
    switch (a) {
    case Action::None: return "none";
    case Action::CreateRemote: return "create-remote";
    case Action::CreateLocal: return "create-local";
    case Action::Adopt: return "adopt";
    case Action::PushUpdate: return "push";
    case Action::PullUpdate: return "pull";
    case Action::Merge: return "merge";
    case Action::DeleteRemote: return "delete-remote";
    case Action::DeleteLocal: return "delete-local";
    case Action::RecreateRemote: return "recreate-remote";
    case Action::RestoreLocal: return "restore-local";
    case Action::Forget: return "forget";
    }
    return "?";
}

bool SameContent(const std::string& a, const std::string& b) {
    if (a == b) return true;
    StickFields sa, sb;
    if (ParseStick(a, &sa) && ParseStick(b, &sb)) {
        for (int g = 0; g < kGroupCount; ++g)
            if (!SameGroup(sa, sb, g)) return false;
        return true;
    }
    DayFields da, db;
    if (ParseDay(a, &da) && ParseDay(b, &db)) return da.date == db.date && da.text == db.text;
    return false;
}

bool DiffersFrom(const std::string& fields, const std::string& base) { return !SameContent(fields, base); }

MergeResult MergeFields(const std::string& localBase, const std::string& local, const std::string& remoteBase,
                        const std::string& remote) {
    MergeResult result;
    DayFields dl, dr;
    if (ParseDay(local, &dl) && ParseDay(remote, &dr)) {
        DayFields lb, rb;
        const bool haveLb = ParseDay(localBase, &lb), haveRb = ParseDay(remoteBase, &rb);
        DayFields merged = dr;
        if (haveLb && dl.text == lb.text) merged.text = dr.text;
        else if (haveRb && dr.text == rb.text) merged.text = dl.text;
        else merged.text = MergeDayText(haveRb ? rb.text : std::string(), dl.text, dr.text, &result.conflict);
        result.fields = SerializeDay(merged);
        return result;
    }
    StickFields sl, sr, slb, srb;
    if (!ParseStick(local, &sl) || !ParseStick(remote, &sr)) {
        result.fields = remote;
        return result;
    }
    const bool haveLb = ParseStick(localBase, &slb), haveRb = ParseStick(remoteBase, &srb);
    StickFields merged = sr;
    for (int g = 0; g < kGroupCount; ++g) {
        if (SameGroup(sl, sr, g)) continue;
        const bool localChanged = !haveLb || !SameGroup(sl, slb, g);
        const bool remoteChanged = !haveRb || !SameGroup(sr, srb, g);
        if (localChanged && !remoteChanged) TakeGroup(&merged, sl, g);
        else if (localChanged && remoteChanged) result.conflict = true;
    }
    if (result.conflict) {
        // The server's copy stays as it is; the local one lives on as a new stick.
        StickFields copy = sl;
        if (copy.status == StickStatus::Deleted) copy.status = StickStatus::Live;
        result.fields = remote;
        result.conflictCopy = SerializeStick(copy);
        return result;
    }
    result.fields = SerializeStick(merged);
    return result;
}

std::string ProjectForLocal(const std::string& fields, int today, int hour, int minute) {
    StickFields f;
    if (!ParseStick(fields, &f)) return fields;
    if (f.status != StickStatus::Live || !f.hasAlarm) return fields;
    const bool over = f.endDate < today || (f.endDate == today && f.hour * 60 + f.minute < hour * 60 + minute);
    if (!over) return fields;
    f.status = StickStatus::Finished;
    return SerializeStick(f);
}

}  // namespace pnsync
