#include "IcsFiles.h"

#include <map>

#include "SyncRules.h"

namespace pnsync {
namespace {

std::map<std::string, std::string> UidsByKey(const std::map<std::string, ItemState>& rows) {
    std::map<std::string, std::string> uids;
    for (const auto& [uid, row] : rows)
        if (!row.localKey.empty()) uids[row.localKey] = uid;
    return uids;
}

}  // namespace

bool ExportSticks(const TableLocalStore& tables, SyncState& state, const MapContext& ctx, int onlyDate,
                  const std::function<std::string()>& newUid, std::string* ics, IcsCounts* counts) {
    std::vector<std::pair<int, std::string>> sticks;
    if (!tables.ReadSticks(&sticks, &counts->error)) return false;
    std::map<std::string, std::string> uids = UidsByKey(state.LoadAll());
    IcalComponent cal;
    cal.name = "VCALENDAR";
    cal.Set("VERSION", "2.0");
    cal.Set("PRODID", "-//Pinora//Pinora sticks//EN");
    for (const auto& [n, fields] : sticks) {
        StickFields f;
        if (!ParseStick(fields, &f) || f.status == StickStatus::Deleted) continue;
        if (onlyDate && f.date != onlyDate) continue;
        const std::string key = "s:" + std::to_string(n);
        std::string& uid = uids[key];
        if (uid.empty()) {
            // The UID this stick keeps from now on, here, in files and on a server.
            uid = newUid();
            ItemState row;
            row.uid = uid;
            row.localKey = key;
            row.local = fields;
            state.Put(row);
        }
        IcalComponent todo;
        todo.name = "VTODO";
        if (!WriteComponentInto(fields, uid, &todo, "", ctx)) continue;
        cal.children.push_back(std::move(todo));
        ++counts->written;
    }
    *ics = WriteICalendar(cal);
    return true;
}

bool ImportCalendar(const std::string& ics, LocalStore& store, SyncState& state, const MapContext& ctx,
                    IcsCounts* counts) {
    IcalComponent cal;
    if (!ParseICalendar(ics, &cal, &counts->error)) return false;
    std::map<std::string, ItemState> rows = state.LoadAll();
    std::vector<LocalItem> items;
    std::map<std::string, std::string> skipDays;
    if (!store.Snapshot(skipDays, &items, &counts->error)) return false;
    std::map<std::string, std::string> fieldsByKey;
    for (const LocalItem& item : items) fieldsByKey[item.key] = item.fields;

    struct Wanted {
        std::string uid, fields;
        bool update;
        std::string key;
    };
    std::vector<Wanted> wanted;
    std::map<std::string, bool> seenUids;
    for (const IcalComponent& c : cal.children) {
        if ((c.name != "VTODO" && c.name != "VEVENT") || c.Find("RECURRENCE-ID")) continue;
        // Each item read on its own, with the file's time zones.
        IcalComponent one;
        one.name = "VCALENDAR";
        for (const IcalComponent* tz : cal.ChildrenNamed("VTIMEZONE")) one.children.push_back(*tz);
        one.children.push_back(c);
        RemoteItem item;
        std::string why;
        if (!ReadCalendar(one, ctx, &item, &why, true) || item.kind != ItemKind::Stick) {
            ++counts->unreadable;
            continue;
        }
        if (seenUids[item.uid]) continue;
        seenUids[item.uid] = true;
        const CivilTime now = ctx.local->FromUtc(ctx.nowUtc);
        const std::string fields =
            ProjectForLocal(item.fields, now.year * 10000 + now.month * 100 + now.day, now.hour, now.minute);
        const auto row = rows.find(item.uid);
        if (row != rows.end() && fieldsByKey.count(row->second.localKey)) {
            const std::string& current = fieldsByKey[row->second.localKey];
            if (SameContent(current, fields)) {
                ++counts->duplicates;
                continue;
            }
            wanted.push_back({item.uid, fields, true, row->second.localKey});
            continue;
        }
        bool duplicate = false;
        for (const auto& [key, existing] : fieldsByKey)
            if (key.compare(0, 2, "s:") == 0 && SameContent(existing, fields)) duplicate = true;
        if (duplicate) {
            ++counts->duplicates;
            continue;
        }
        wanted.push_back({item.uid, fields, false, ""});
    }
    std::vector<LocalChange> changes;
    for (const Wanted& w : wanted) {
        LocalChange change;
        change.op = w.update ? LocalChange::Op::Update : LocalChange::Op::Create;
        change.key = w.key;
        change.fields = w.fields;
        change.expected = w.update ? fieldsByKey[w.key] : std::string();
        changes.push_back(change);
    }
    const std::vector<LocalResult> results = store.Apply(changes);
    for (size_t i = 0; i < wanted.size() && i < results.size(); ++i) {
        if (!results[i].done) continue;
        ItemState row = rows.count(wanted[i].uid) ? rows[wanted[i].uid] : ItemState();
        row.uid = wanted[i].uid;
        row.localKey = results[i].key;
        if (row.etag.empty()) row.local = results[i].fields;  // to be uploaded with its own UID
        state.Put(row);
        ++(wanted[i].update ? counts->updated : counts->added);
    }
    return true;
}

}  // namespace pnsync
