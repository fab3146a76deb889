// The stick index "sticks.esf": one record per stick (its own number, its date
// and its text), only ever appended or rewritten in place. Record n belongs with
// record n of the alarm table. Every call opens the table, works and closes it.
#pragma once
#include <string>
#include <vector>


namespace pinora {

constexpr const char* kStickIndexName = "sticks.esf";
constexpr int kStoredTextLength = 254;  // what a 255-byte field gives back

// Field numbers of "sticks.esf".
enum StickField { kStickNumber = 1, kStickDate = 2, kStickText = 3 };

// Every function takes the sticks folder with its trailing separator.
bool CreateStickIndex(const std::string& sticksFolder);
// The new record's number, or 0 on failure.
int AppendStick(const std::string& sticksFolder, int dateNumber, const std::string& text);
// n, or 0 on failure; a missing table is not created.
int UpdateStick(const std::string& sticksFolder, int n, int dateNumber, const std::string& text);
// First and last record whose DATE equals the date; false when there is none or
// the table cannot be read. The records between them need not all be of that
// day: StickRecordsOfDay gives exactly the day's records, in table order, and is
// what turns a position in a day's list into a record number.
bool FindStickRange(const std::string& sticksFolder, int dateNumber, int* first, int* last);
std::vector<int> StickRecordsOfDay(const std::string& sticksFolder, int dateNumber);

// The text as it is stored: cut to 254 characters.
std::string StoredText(const std::string& text);
// Record count of the table, or -1 when it cannot be opened.
long CountRecords(const std::string& path);

}  // namespace pinora
