#include "StickStore.h"

#include <cstdio>
#include <cstring>

#include "TableFields.h"
#include "Tabulo.h"

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

std::string StoredText(const std::string& text) { return text.substr(0, kStoredTextLength); }

long CountRecords(const std::string& path) {
    FileDBF table;
    if (table.Open(path.c_str()) != 0) return -1;
    return table.GetRecords();
}

bool CreateStickIndex(const std::string& sticksFolder) {
    FieldHeaderCreat fields[] = {CharField("NUMBER", 12), CharField("DATE", 9), CharField("STICK", 255)};
    FileDBF table;
    return table.Creat(IndexPath(sticksFolder).c_str(), 3, fields) == 0;
}

int AppendStick(const std::string& sticksFolder, int dateNumber, const std::string& text) {
    if (sticksFolder.empty() || text.empty()) return 0;
    const std::string path = IndexPath(sticksFolder);
    FileDBF table;
    if (table.Open(path.c_str()) != 0) {
        if (!CreateStickIndex(sticksFolder) || table.Open(path.c_str()) != 0) return 0;
    }
    if (table.AppendRecord() != 0) return 0;
    const long n = table.GetRecords();
    if (table.Go(n) != 0 || !WriteStickFields(table, n, dateNumber, text)) return 0;
    return static_cast<int>(n);
}

int UpdateStick(const std::string& sticksFolder, int n, int dateNumber, const std::string& text) {
    FileDBF table;
    if (n < 1 || table.Open(IndexPath(sticksFolder).c_str()) != 0) return 0;
    if (n > table.GetRecords() || table.Go(n) != 0) return 0;
    return WriteStickFields(table, n, dateNumber, text) ? n : 0;
}

bool FindStickRange(const std::string& sticksFolder, int dateNumber, int* first, int* last) {
    FileDBF table;
    if (table.Open(IndexPath(sticksFolder).c_str()) != 0) return false;
    const long count = table.GetRecords();
    if (count <= 0) return false;
    const std::string wanted = NumberText(dateNumber);
    char date[16];
    long matches = 0, lastMatch = 0;
    for (long r = 1; r <= count; ++r) {
        if (table.Go(r) != 0 || table.ReadField(kStickDate, date) != 0) return false;
        if (wanted == date) {
            ++matches;
            lastMatch = r;
        }
    }
    if (matches == 0) return false;
    if (first) *first = static_cast<int>(lastMatch - matches + 1);
    if (last) *last = static_cast<int>(lastMatch);
    return true;
}

std::vector<int> StickRecordsOfDay(const std::string& sticksFolder, int dateNumber) {
    std::vector<int> records;
    int first = 0, last = 0;
    if (FindStickRange(sticksFolder, dateNumber, &first, &last))
        for (int r = first; r <= last; ++r) records.push_back(r);
    return records;
}

}  // namespace pinora
