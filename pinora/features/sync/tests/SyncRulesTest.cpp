// The sync state survives being closed and opened again, refuses a newer
// format, and forgets everything when the calendar changes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "SyncState.h"

namespace pnsync {
namespace {

TEST(SyncStateStore, RowsAndTokenSurviveReopeningANewerFormatIsRefused) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("pinora-sync-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".db");
    std::filesystem::remove(path);
    {
        SyncState state;
        std::string error;
        ASSERT_TRUE(state.Open(path.string(), &error)) << error;
        ItemState row;
        row.uid = "u1";
        row.localKey = "s:4";
        row.href = "/a/u1.ics";
        row.etag = "\"7\"";
        row.base = "S|x";
        row.exact = false;
        ASSERT_TRUE(state.Put(row));
        ASSERT_TRUE(state.SetMeta("token", "t-1"));
    }
    {
        SyncState state;
        ASSERT_TRUE(state.Open(path.string(), nullptr));
        const auto rows = state.LoadAll();
        ASSERT_EQ(rows.count("u1"), 1u);
        EXPECT_EQ(rows.at("u1").localKey, "s:4");
        EXPECT_EQ(rows.at("u1").etag, "\"7\"");
        EXPECT_FALSE(rows.at("u1").exact);
        EXPECT_EQ(state.Meta("token"), "t-1");
        ASSERT_TRUE(state.Clear());
        EXPECT_TRUE(state.LoadAll().empty());
        EXPECT_EQ(state.Meta("token"), "");
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.string().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA user_version=9", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    SyncState state;
    std::string error;
    EXPECT_FALSE(state.Open(path.string(), &error));
    EXPECT_NE(error.find("newer"), std::string::npos);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace pnsync
