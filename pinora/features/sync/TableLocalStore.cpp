#include "TableLocalStore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <cctype>

#include "AlarmStore.h"
#include "StickStore.h"
#include "StickTableLayouts.h"
#include "TableCheck.h"
#include "TableScan.h"

namespace pnsync {
namespace {

std::string Sig(const DiaryFileInfo& info) { return std::to_string(info.size) + ":" + std::to_string(info.modified); }

struct TableRow {
    std::string date, text;
};

// Both tables read front to back; false when either is there but unusable.
bool ReadTables(const std::string& folder, std::vector<TableRow>* index, std::vector<pinora::AlarmRecord>* alarms,
                std::string* error) {
    const std::string indexPath = folder + pinora::kStickIndexName;
    const std::string alarmPath = folder + pinora::kAlarmTableName;
    for (const std::string& path : {indexPath, alarmPath}) {
        FileDBF table;
        const pinora::TableState st =
            path == indexPath
                ? pinora::OpenTableChecked(table, path, pinora::kStickIndexLayout, pinora::kStickIndexFieldCount)
                : pinora::OpenTableChecked(table, path, pinora::kAlarmTableLayout, pinora::kAlarmTableFieldCount);
        if (st == pinora::TableState::Refused) {
            if (error) *error = "the table " + path + " cannot be read";
            return false;
        }
    }
    char field[256];
    pinora::TableScan scan;
    if (scan.Open(indexPath)) {
        for (long r = 1; r <= scan.Records(); ++r) {
            TableRow row;
            if (scan.Go(r)) {
                if (scan.ReadField(pinora::kStickDate, field, sizeof field)) row.date = field;
                if (scan.ReadField(pinora::kStickText, field, sizeof field)) row.text = field;
            }
            index->push_back(row);
        }
    }
    pinora::TableScan alarmScan;
    if (alarmScan.Open(alarmPath)) {
        for (long r = 1; r <= alarmScan.Records(); ++r) {
            pinora::AlarmRecord a;
            if (alarmScan.Go(r)) {
                std::string* parts[] = {&a.code, &a.alarm5, &a.alarm30, &a.stick, &a.weekly, &a.date, &a.state};
                for (int f = 0; f < pinora::kAlarmFieldCount; ++f)
                    if (alarmScan.ReadField(f + 1, field, sizeof field)) *parts[f] = field;
            }
            alarms->push_back(a);
        }
    }
    return true;
}

bool ValidDateText(const std::string& date, int* number) {
    if (date.size() != 8) return false;
    for (char c : date)
        if (c < '0' || c > '9') return false;
    *number = std::atoi(date.c_str());
    return IsRealDate(*number / 10000, *number / 100 % 100, *number % 100);
}

}  // namespace

#ifdef _WIN32
const char TableLocalStore::kSeparator = '\\';
#else
const char TableLocalStore::kSeparator = '/';
#endif

int DiaryDateOfName(const std::string& name) {
    // yyyy-MM-dd.txt
    if (name.size() != 14 || name[4] != '-' || name[7] != '-') return 0;
    std::string ext = name.substr(10);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".txt") return 0;
    const std::string digits = name.substr(0, 4) + name.substr(5, 2) + name.substr(8, 2);
    int date = 0;
    return ValidDateText(digits, &date) ? date : 0;
}

std::string DiaryNameOfDate(int date) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d.txt", date / 10000, date / 100 % 100, date % 100);
    return name;
}

bool TableLocalStore::ReadSticks(std::vector<std::pair<int, std::string>>* sticks, std::string* error) const {
    std::vector<TableRow> index;
    std::vector<pinora::AlarmRecord> alarms;
    if (!ReadTables(SticksFolder(), &index, &alarms, error)) return false;
    // A record belongs to both tables; one the other lacks is half written.
    const size_t count = std::min(index.size(), alarms.size());
    for (size_t i = 0; i < count; ++i) {
        int date = 0;
        if (index[i].text.empty() || !ValidDateText(index[i].date, &date)) continue;  // filler of a repair
        const StickFields f = StickFromRecord(date, index[i].text, alarms[i]);
        sticks->emplace_back(static_cast<int>(i + 1), SerializeStick(f));
    }
    return true;
}

std::string TableLocalStore::StickFieldsOf(int record) const {
    const std::string folder = SticksFolder();
    FileDBF index, alarms;
    if (record < 1 ||
        !pinora::OpenToRead(index, folder + pinora::kStickIndexName, pinora::kStickIndexLayout,
                            pinora::kStickIndexFieldCount) ||
        !pinora::OpenToRead(alarms, folder + pinora::kAlarmTableName, pinora::kAlarmTableLayout,
                            pinora::kAlarmTableFieldCount) ||
        record > index.GetRecords() || record > alarms.GetRecords() || index.Go(record) != 0 ||
        alarms.Go(record) != 0)
        return "";
    char field[256] = {};
    if (index.ReadField(pinora::kStickDate, field) != 0) return "";
    int date = 0;
    if (!ValidDateText(field, &date)) return "";
    if (index.ReadField(pinora::kStickText, field) != 0 || !field[0]) return "";
    const std::string text = field;
    pinora::AlarmRecord a;
    std::string* parts[] = {&a.code, &a.alarm5, &a.alarm30, &a.stick, &a.weekly, &a.date, &a.state};
    for (int f = 0; f < pinora::kAlarmFieldCount; ++f) {
        if (alarms.ReadField(f + 1, field) != 0) return "";
        *parts[f] = field;
    }
    return SerializeStick(StickFromRecord(date, text, a));
}

std::string TableLocalStore::DayFieldsOf(int date, DiaryFileInfo* info) const {
    const std::string path = data_ + DiaryNameOfDate(date);
    std::string text;
    if (!StatFile(path, info) || !ReadWholeFile(path, &text)) return "";
    // The notes manager shows a note up to its first NUL.
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    DayFields d;
    d.date = date;
    d.text = NormalizeLineBreaks(text);
    return SerializeDay(d);
}

bool TableLocalStore::Snapshot(const std::map<std::string, std::string>& knownSigs, std::vector<LocalItem>* items,
                               std::string* error) {
    std::vector<std::pair<int, std::string>> sticks;
    if (!ReadSticks(&sticks, error)) return false;
    for (const auto& [n, fields] : sticks) items->push_back({"s:" + std::to_string(n), fields, ""});
    for (const DiaryFileInfo& file : ListDiaryFiles(data_)) {
        const int date = DiaryDateOfName(file.name);
        if (!date) continue;
        LocalItem item;
        item.key = "d:" + std::to_string(date);
        item.sig = Sig(file);
        const auto known = knownSigs.find(item.key);
        if (known == knownSigs.end() || known->second != item.sig) {
            DiaryFileInfo info;
            item.fields = DayFieldsOf(date, &info);
            if (item.fields.empty()) continue;  // gone or unreadable this moment: next time
            item.sig = Sig(info);
        }
        items->push_back(item);
    }
    return true;
}

LocalResult TableLocalStore::ApplyOne(const LocalChange& c) {
    LocalResult result;
    const std::string& fields = c.op == LocalChange::Op::Delete ? c.expected : c.fields;
    const ItemKind kind = c.op == LocalChange::Op::Create ? KindOfFields(c.fields)
                          : c.key.compare(0, 2, "d:") == 0 ? ItemKind::Day
                                                           : ItemKind::Stick;
    if (kind == ItemKind::Day) {
        DayFields d;
        if (!ParseDay(fields, &d) && c.op != LocalChange::Op::Delete) return result;
        const int date = c.op == LocalChange::Op::Create ? d.date : std::atoi(c.key.c_str() + 2);
        if (!date) return result;
        const std::string path = data_ + DiaryNameOfDate(date);
        DiaryFileInfo info;
        const std::string now = DayFieldsOf(date, &info);
        // Only over what the sync read: an edit made meanwhile is left for the next run.
        const std::string expected = c.op == LocalChange::Op::Create ? std::string() : c.expected;
        if (!(now == expected || (now.empty() && expected.empty()))) return result;
        result.key = "d:" + std::to_string(date);
        if (c.op == LocalChange::Op::Delete) {
            result.done = now.empty() || RemoveFileAt(path);
            return result;
        }
        if (!ReplaceFileWith(path, d.text)) return result;
        result.fields = DayFieldsOf(date, &info);
        result.sig = Sig(info);
        result.done = !result.fields.empty();
        return result;
    }
    StickFields s;
    if (c.op != LocalChange::Op::Delete && !ParseStick(c.fields, &s)) return result;
    const std::string folder = SticksFolder();
    if (c.op == LocalChange::Op::Create) {
        const pinora::AlarmRecord record = RecordFromStick(s);
        const int n = pinora::SaveNewStick(folder, s.date, s.text, record);
        if (!n) return result;
        result.key = "s:" + std::to_string(n);
        result.fields = StickFieldsOf(n);
        result.done = !result.fields.empty();
        return result;
    }
    const int n = std::atoi(c.key.c_str() + 2);
    const std::string now = StickFieldsOf(n);
    if (n < 1 || now != c.expected) return result;
    result.key = c.key;
    if (c.op == LocalChange::Op::Delete) {
        // The record stays (the tables only grow); its state says it is deleted.
        const std::string alarms = folder + pinora::kAlarmTableName;
        result.done = pinora::SetAlarmField(alarms, n, pinora::kAlarm5, kDeletedMark) &&
                      pinora::SetAlarmField(alarms, n, pinora::kAlarmState, pinora::kStateFinished);
        result.fields = StickFieldsOf(n);
        return result;
    }
    if (!pinora::SaveExistingStick(folder, n, s.date, s.text, RecordFromStick(s))) return result;
    result.fields = StickFieldsOf(n);
    result.done = !result.fields.empty();
    return result;
}

std::vector<LocalResult> TableLocalStore::Apply(const std::vector<LocalChange>& changes) {
    std::vector<LocalResult> results;
    // A user who never saved a stick has no sticks folder yet.
    if (!changes.empty()) {
        MakeFolder(data_);
        MakeFolder(SticksFolder());
    }
    results.reserve(changes.size());
    for (const LocalChange& c : changes) results.push_back(ApplyOne(c));
    return results;
}

}  // namespace pnsync
