// A fresh sticks folder per test, removed afterwards; and a way to look inside
// the two tables.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AlarmStore.h"
#include "StickStore.h"
#include "Tabulo.h"

namespace pinora::test {

class SticksFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("pinora-sticks-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                std::to_string(++counter));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        folder = (dir_ / "").string();
        alarmPath = folder + kAlarmTableName;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Field of record n, or "<unreadable>".
    static std::string Field(const std::string& path, long n, int field) {
        FileDBF table;
        char buf[300] = {};
        if (table.Open(path.c_str()) != 0 || table.Go(n) != 0 || table.ReadField(field, buf) != 0)
            return "<unreadable>";
        return buf;
    }
    std::string Alarm(long n, int field) const { return Field(alarmPath, n, field); }
    std::string Stick(long n, int field) const { return Field(folder + kStickIndexName, n, field); }

    std::string folder;
    std::string alarmPath;

private:
    std::filesystem::path dir_;
};

}  // namespace pinora::test
