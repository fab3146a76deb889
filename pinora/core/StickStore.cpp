#include "StickStore.h"

#include <cstdio>
#include <cstring>

#include "StickTableLayouts.h"
#include "Tabulo.h"
#include "Utf8Text.h"

namespace pinora {
namespace {


std::string IndexPath(const std::string& folder) { return folder + kStickIndexName; }

std::string NumberText(long n) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", n);
    return text;
}

bool WriteStickFields(FileDBF& table, long n, int dateNumber, const std::string& text) {
    return table.WriteField(kStickNumber, NumberText(n).c_str()) == 0 &&
           table.WriteField(kStickDate, NumberText(dateNumber).c_str()) == 0 &&
           table.WriteField(kStickText, StoredText(text).c_str()) == 0;
}

}  // namespace

std::string StoredText(const std::string& text) { return uikit::Utf8Prefix(text, kStoredTextLength); }

long CountRecords(const std::string& path) {
    FileDBF table;
    if (table.Open(path.c_str()) != 0) return -1;
    return table.GetRecords();
}

bool CreateStickIndex(const std::string& sticksFolder) {
    return CreateTableWithLayout(IndexPath(sticksFolder), kStickIndexLayout, kStickIndexFieldCount);
}

int AppendStick(const std::string& sticksFolder, int dateNumber, const std::string& text) {
    if (sticksFolder.empty() || text.empty()) return 0;
    const std::string path = IndexPath(sticksFolder);
    FileDBF table;
    if (!OpenToWriteOrCreate(table, path, kStickIndexLayout, kStickIndexFieldCount,
                             [&sticksFolder] { return CreateStickIndex(sticksFolder); }))
        return 0;
    if (table.AppendRecord() != 0) return 0;
    const long n = table.GetRecords();
    if (table.Go(n) != 0 || !WriteStickFields(table, n, dateNumber, text)) return 0;
    return static_cast<int>(n);
}

int UpdateStick(const std::string& sticksFolder, int n, int dateNumber, const std::string& text) {
    FileDBF table;
    if (n < 1 || !OpenToWrite(table, IndexPath(sticksFolder), kStickIndexLayout, kStickIndexFieldCount)) return 0;
    if (n > table.GetRecords() || table.Go(n) != 0) return 0;
    return WriteStickFields(table, n, dateNumber, text) ? n : 0;
}

bool FindStickRange(const std::string& sticksFolder, int dateNumber, int* first, int* last) {
    const std::vector<int> records = StickRecordsOfDay(sticksFolder, dateNumber);
    if (records.empty()) return false;
    if (first) *first = records.front();
    if (last) *last = records.back();
    return true;
}

std::vector<int> StickRecordsOfDay(const std::string& sticksFolder, int dateNumber) {
    std::vector<int> records;
    FileDBF table;
    if (!OpenToRead(table, IndexPath(sticksFolder), kStickIndexLayout, kStickIndexFieldCount)) return records;
    const long count = table.GetRecords();
    const std::string wanted = NumberText(dateNumber);
    char date[256];  // what any field may give
    for (long r = 1; r <= count; ++r) {
        if (table.Go(r) != 0 || table.ReadField(kStickDate, date) != 0) return {};
        if (wanted == date) records.push_back(static_cast<int>(r));
    }
    return records;
}

}  // namespace pinora
