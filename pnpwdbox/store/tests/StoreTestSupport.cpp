#include "StoreTestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace storetest {
namespace {

pncrypto::ClockReading FixedClock() { return {2009, 3, 5, 14, 7, 9, 0}; }

}  // namespace

std::string MakeTempFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("pnstore-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(dir);
    std::string s = dir.string();
#ifdef _WIN32
    return s + "\\";
#else
    return s + "/";
#endif
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

void RemoveTree(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void StoreTest::SetUp() {
    folder_ = MakeTempFolder();
    path_ = folder_ + "pnpb.dat";
    ASSERT_TRUE(pnstore::setDatabasePath(path_.c_str()));
    pnstore::SetStoreClock(FixedClock);
    pncrypto::SetNewKdfParameters(&kTestKdf);
}

void StoreTest::TearDown() {
    pnstore::EndSession();
    pncrypto::SetNewKdfParameters(nullptr);
    pnstore::SetStoreClock(nullptr);
    pnstore::SetUpdateNoticeSink(nullptr);
    pnstore::clearDatabasePath();
    RemoveTree(folder_);
}

std::vector<std::string> StoreTest::Column(const std::string& sql, int index) {
    std::vector<std::string> values;
    CppSQLite3Connection db;
    db.open(path_.c_str());
    for (CppSQLite3ResultSet rows = db.query(sql.c_str()); !rows.atEnd(); rows.next())
        values.push_back(rows.fieldType(index) == 5 ? std::string("<null>") : rows.textField(index, ""));
    return values;
}

void StoreTest::OpenBox(const char* master) {
    pnstore::createSchema(true);
    ASSERT_EQ(store_.createMasterUser(master), 1);
    ASSERT_EQ(store_.checkMasterPassword(master), 1);
}

std::string StoreTest::RawBytes() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int StoreTest::Count(const std::string& sql) { return static_cast<int>(Column(sql).size()); }

void StoreTest::Exec(const std::string& sql) {
    CppSQLite3Connection db;
    db.open(path_.c_str());
    db.execute(sql.c_str());
}

}  // namespace storetest
