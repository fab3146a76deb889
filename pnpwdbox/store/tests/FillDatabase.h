// Many records at once, for tests and benchmarks: one transaction instead of
// one opened file per record.
#pragma once
#include <string>

namespace storetest {

// Groups 1..groups named "group <n>"; records 1..records, record n in group
// (n % groups) + 1, user "user<n>", password "pw<n>" (encrypted), url
// "https://site<n>.example.com/login". All tables are created first.
void FillDatabase(const std::string& path, int groups, int records);

}  // namespace storetest
