// A fresh database file per test, a fixed clock, and direct reads of what the
// store wrote.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CppSQLite3.h"
#include "PwdStore.h"

namespace storetest {

// The store pointed at an empty file in a folder of its own; 5 March 2009,
// 14:07:09 on the store's clock; new boxes with small key-derivation
// parameters (the real ones are for people, not for tests).
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One column of every row of a query, as text ("<null>" for NULL).
    std::vector<std::string> Column(const std::string& sql, int index = 0);
    int Count(const std::string& sql);
    void Exec(const std::string& sql);
    // Sets the master password and unlocks the box with it.
    void OpenBox(const char* master = "master");
    // The whole file as it is on disk.
    std::string RawBytes();

    std::string folder_;
    std::string path_;
    pnstore::CPwdStore& store_ = pnstore::PwdStore();
};

constexpr pncrypto::KdfParameters kTestKdf = {64, 1, 1};

std::string MakeTempFolder();
bool FileExists(const std::string& path);
void RemoveTree(const std::string& folder);

}  // namespace storetest
