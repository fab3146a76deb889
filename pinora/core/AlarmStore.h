// The alarm table "alarm.ser": record n holds the alarm, the reminder flags, the
// state and a copy of the text of stick n. Every call opens the table by its
// path, works and closes it.
#pragma once
#include <string>

namespace pinora {

constexpr const char* kAlarmTableName = "alarm.ser";

// Field numbers of "alarm.ser".
enum AlarmField {
    kAlarmCode = 1,
    kAlarm5 = 2,
    kAlarm30 = 3,
    kAlarmStick = 4,
    kAlarmWeekly = 5,
    kAlarmDate = 6,
    kAlarmState = 7,
};
constexpr int kAlarmFieldCount = 7;
constexpr int kLongestAlarmField = 255;

// STATE values.
constexpr const char* kStateLive = "1";
constexpr const char* kStateNoAlarm = "3";
constexpr const char* kStateFinished = "0";

struct AlarmRecord {
    std::string code;
    std::string alarm5 = "1";
    std::string alarm30 = "1";
    std::string stick;
    std::string weekly = "0000000";
    std::string date;
    std::string state = kStateNoAlarm;
};

bool CreateAlarmTable(const std::string& path);
// Appends one record (creating the table when it cannot be opened).
bool AppendAlarm(const std::string& path, const AlarmRecord& record);
bool UpdateAlarm(const std::string& path, int n, const AlarmRecord& record);
bool SetAlarmField(const std::string& path, int n, int field, const char* value);
// 1 on success, 0 on failure, -1 when the file does not exist. buf holds at
// least the field's length.
int ReadAlarmField(const std::string& path, int n, int field, char* buf);

// Tests make an append fail here to leave the two tables out of step.
using AlarmAppendFault = bool (*)();
void SetAlarmAppendFault(AlarmAppendFault fault);

// Writing a stick keeps record n of both tables together. Before anything is
// written, tables that an earlier failed append left out of step are evened out:
// the shorter one gets finished records (STATE "0"), so every later stick lands
// at the same number in both. Returns the record number written, or 0.
int SaveNewStick(const std::string& sticksFolder, int dateNumber, const std::string& text, const AlarmRecord& alarm);
int SaveExistingStick(const std::string& sticksFolder, int n, int dateNumber, const std::string& text,
                      const AlarmRecord& alarm);
// Pads the shorter of the two tables; true when they are even afterwards.
bool RepairStickPairing(const std::string& sticksFolder);

}  // namespace pinora
