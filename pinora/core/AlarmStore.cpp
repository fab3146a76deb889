#include "AlarmStore.h"

#include <cstdio>
#include <cstring>

#include "StickStore.h"
#include "StickTableLayouts.h"
#include "Tabulo.h"

namespace pinora {
namespace {

AlarmAppendFault g_appendFault = nullptr;


bool WriteAlarmFields(FileDBF& table, const AlarmRecord& r) {
    const std::string stick = StoredText(r.stick);
    const char* values[kAlarmFieldCount] = {r.code.c_str(),   r.alarm5.c_str(), r.alarm30.c_str(), stick.c_str(),
                                            r.weekly.c_str(), r.date.c_str(),   r.state.c_str()};
    for (int i = 0; i < kAlarmFieldCount; ++i)
        if (table.WriteField(i + 1, values[i]) != 0) return false;
    return true;
}

bool OpenOrCreate(FileDBF& table, const std::string& path) {
    return OpenToWriteOrCreate(table, path, kAlarmTableLayout, kAlarmTableFieldCount,
                               [&path] { return CreateAlarmTable(path); });
}

// Record n of a table laid out as an alarm table; writing needs a sound one.
bool OpenAt(FileDBF& table, const std::string& path, int n, bool forWriting = true) {
    const bool opened = forWriting ? OpenToWrite(table, path, kAlarmTableLayout, kAlarmTableFieldCount)
                                   : OpenToRead(table, path, kAlarmTableLayout, kAlarmTableFieldCount);
    return n >= 1 && opened && n <= table.GetRecords() && table.Go(n) == 0;
}

// Whether the table may be written: sound, or not there yet.
bool SoundOrMissing(const std::string& path, const FieldLayout* fields, int count) {
    FileDBF table;
    const TableState state = OpenTableChecked(table, path, fields, count);
    return state == TableState::Sound || state == TableState::Missing;
}

// A record that stands in for a stick whose other half was never written.
AlarmRecord FinishedFiller(const std::string& date, const std::string& text) {
    AlarmRecord r;
    r.stick = text;
    r.date = date;
    r.state = kStateFinished;
    return r;
}

// A table that does not exist yet counts as empty.
long RecordsOrNone(const std::string& path) {
    const long n = CountRecords(path);
    return n < 0 ? 0 : n;
}

// Neither table may be written while one of them is not sound (unreadable, of
// another layout, short of the records its header claims): its records are
// unknown, so nothing can be paired with them. Both are looked at, so each
// damaged one is copied aside and reported.
bool BothTablesReadable(const std::string& sticksFolder) {
    const bool index = SoundOrMissing(sticksFolder + kStickIndexName, kStickIndexLayout, kStickIndexFieldCount);
    const bool alarms = SoundOrMissing(sticksFolder + kAlarmTableName, kAlarmTableLayout, kAlarmTableFieldCount);
    return index && alarms;
}

}  // namespace

bool CreateAlarmTable(const std::string& path) {
    return CreateTableWithLayout(path, kAlarmTableLayout, kAlarmTableFieldCount);
}

bool AppendAlarm(const std::string& path, const AlarmRecord& record) {
    if (g_appendFault && g_appendFault()) return false;
    FileDBF table;
    if (!OpenOrCreate(table, path) || table.AppendRecord() != 0) return false;
    return table.Go(table.GetRecords()) == 0 && WriteAlarmFields(table, record);
}

bool UpdateAlarm(const std::string& path, int n, const AlarmRecord& record) {
    FileDBF table;
    return OpenAt(table, path, n) && WriteAlarmFields(table, record);
}

bool SetAlarmField(const std::string& path, int n, int field, const char* value) {
    FileDBF table;
    return OpenAt(table, path, n) && table.WriteField(field, value) == 0;
}

int ReadAlarmField(const std::string& path, int n, int field, char* buf) {
    if (!File::IsExist(path.c_str())) return -1;
    FileDBF table;
    return OpenAt(table, path, n, /*forWriting=*/false) && table.ReadField(field, buf) == 0 ? 1 : 0;
}

void SetAlarmAppendFault(AlarmAppendFault fault) { g_appendFault = fault; }

bool RepairStickPairing(const std::string& sticksFolder) {
    if (!BothTablesReadable(sticksFolder)) return false;
    const std::string alarmPath = sticksFolder + kAlarmTableName;
    const long sticks = RecordsOrNone(sticksFolder + kStickIndexName);
    const long alarms = RecordsOrNone(alarmPath);

    // Alarm records missing: the sticks they belong to were never saved whole.
    for (long n = alarms + 1; n <= sticks; ++n) {
        FileDBF index;
        char date[256] = {}, text[256] = {};  // what any field may give
        if (OpenToRead(index, sticksFolder + kStickIndexName, kStickIndexLayout, kStickIndexFieldCount) &&
            index.Go(n) == 0) {
            index.ReadField(kStickDate, date);
            index.ReadField(kStickText, text);
        }
        if (!AppendAlarm(alarmPath, FinishedFiller(date, text))) return false;
    }
    // Stick records missing: fill them with empty dated records so that no
    // calendar day lists them and the numbers line up again.
    for (long n = sticks + 1; n <= alarms; ++n) {
        FileDBF index;
        const std::string path = sticksFolder + kStickIndexName;
        if (!OpenToWriteOrCreate(index, path, kStickIndexLayout, kStickIndexFieldCount,
                                 [&sticksFolder] { return CreateStickIndex(sticksFolder); }))
            return false;
        if (index.AppendRecord() != 0) return false;
        char number[16];
        std::snprintf(number, sizeof number, "%ld", index.GetRecords());
        if (index.WriteField(kStickNumber, number) != 0) return false;
    }
    return RecordsOrNone(sticksFolder + kStickIndexName) == RecordsOrNone(alarmPath);
}

int SaveNewStick(const std::string& sticksFolder, int dateNumber, const std::string& text, const AlarmRecord& alarm) {
    if (sticksFolder.empty() || text.empty()) return 0;
    if (!RepairStickPairing(sticksFolder)) return 0;
    const long before = RecordsOrNone(sticksFolder + kStickIndexName);
    const int n = AppendStick(sticksFolder, dateNumber, text);
    // Even a partly written stick record occupies its number: its alarm record
    // goes to the same number, so the tables stay in step.
    if (RecordsOrNone(sticksFolder + kStickIndexName) != before + 1) return 0;
    if (!AppendAlarm(sticksFolder + kAlarmTableName, alarm)) return 0;  // repaired on the next save
    return n;
}

int SaveExistingStick(const std::string& sticksFolder, int n, int dateNumber, const std::string& text,
                      const AlarmRecord& alarm) {
    if (!BothTablesReadable(sticksFolder)) return 0;
    RepairStickPairing(sticksFolder);
    const int written = UpdateStick(sticksFolder, n, dateNumber, text);
    const bool alarmWritten = UpdateAlarm(sticksFolder + kAlarmTableName, n, alarm);
    return written && alarmWritten ? n : 0;
}

}  // namespace pinora
