// Any bytes as a table file: opened, every header value and every field of
// every record read, a record appended and written, its marks set; then the
// same bytes as the alarm table of the reminder pass and the today window,
// and as the stick index of a day's lookup.
#include <algorithm>
#include <cstring>
#include <vector>

#include "AlarmStore.h"
#include "Clock.h"
#include "Scheduler.h"
#include "Scratch.h"
#include "StickStore.h"
#include "TableScan.h"
#include "Tabulo.h"
#include "TodayList.h"

namespace {

using fuzz::Require;

constexpr long kMostRecords = 2000;  // enough to cover a file of max_len bytes

void ReadEverything(FileDBF& table) {
    Require(table.GetRecords() >= 0 && table.GetFieldCount() >= 1);
    table.GetVersion(), table.GetYear(), table.GetMon(), table.GetDay(), table.GetHeaderLength();
    const int fields = table.GetFieldCount();
    for (int i = 1; i <= fields; ++i) {
        Require(table.GetFieldName(i) != nullptr && table.GetFieldType(i) != nullptr);
        Require(table.GetFieldLength(i) >= 1 && table.GetFieldOffset(i) >= 1);
        table.GetFieldDecimals(i);
    }
    std::vector<char> record(static_cast<size_t>(table.GetRecordSize()));
    char field[256];
    const long records = std::min(table.GetRecords(), kMostRecords);
    for (long r = 1; r <= records; ++r) {
        Require(table.Go(r) == 0);
        Require(table.ReadRecord(record.data()) == 0);
        table.IsRecordDeleted();
        for (int i = 1; i <= fields; ++i) {
            Require(table.ReadField(i, field) == 0);
            Require(std::strlen(field) < static_cast<size_t>(table.GetFieldLength(i)));
        }
    }
}

void AppendAndWrite(FileDBF& table) {
    const long before = table.GetRecords();
    if (table.AppendRecord() != 0) return;
    Require(table.GetRecords() == before + 1);
    const std::string value(300, 'v');
    for (int i = 1; i <= table.GetFieldCount(); ++i) Require(table.WriteField(i, value.c_str()) == 0);
    Require(table.SetDeleteRecordMarker() == 0 && table.IsRecordDeleted() == 1);
    Require(table.SetUnDeleteRecordMarker() == 0 && table.IsRecordDeleted() == 0);
}

void ScanEverything(const std::string& path) {
    pinora::TableScan scan;
    if (!scan.Open(path)) return;
    char small[8], field[300];
    const long records = std::min(scan.Records(), kMostRecords);
    for (long r = 1; r <= records; ++r) {
        Require(scan.Go(r));
        for (int i = 1; i <= scan.FieldCount(); ++i) {
            Require(scan.ReadField(i, field, sizeof field) && scan.ReadField(i, small, sizeof small));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static pinora::ManualClock clock(pinora::LocalTime{2009, 3, 5, 13, 50, 0, 4});
    pinora::SetClock(&clock);

    const std::string path = fuzz::WriteScratch("table.dbf", data, size);
    {
        FileDBF table;
        if (table.Open(path.c_str()) == 0) {
            ReadEverything(table);
            AppendAndWrite(table);
        }
    }
    ScanEverything(path);

    const std::string alarms = fuzz::WriteScratch(pinora::kAlarmTableName, data, size);
    pinora::CheckAlarms(alarms);
    pinora::BuildTodayList(alarms, 20090305, 0);
    fuzz::WriteScratch(pinora::kStickIndexName, data, size);
    int first = 0, last = 0;
    if (pinora::FindStickRange(fuzz::ScratchFolder(), 20090305, &first, &last)) Require(first >= 1 && first <= last);
    return 0;
}
