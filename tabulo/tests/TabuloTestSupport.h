// Shared helpers for the table-file tests: a private temporary folder, a fixed
// "today" for header stamps, and raw byte access to the files under test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tabulo.h"
#include "TabuloClock.h"

namespace tabulo_test {

using Bytes = std::vector<unsigned char>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline unsigned Little16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }

inline int32_t Little32(const Bytes& b, size_t at) {
    const uint32_t u = b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
                       (static_cast<uint32_t>(b.at(at + 3)) << 24);
    return static_cast<int32_t>(u);
}

inline void PutLittle16(Bytes& b, size_t at, unsigned v) {
    b.at(at) = v & 0xFF;
    b.at(at + 1) = (v >> 8) & 0xFF;
}

inline void PutLittle32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = (v >> (8 * i)) & 0xFF;
}

inline FieldHeaderCreat Field(const char* name, char type, int length, int decimals = 0) {
    FieldHeaderCreat f;
    std::memset(&f, 0x5A, sizeof f);  // garbage in the bytes creation must clear
    std::memset(f.name, 0, sizeof f.name);
    std::memcpy(f.name, name, std::min(std::strlen(name), sizeof f.name));
    f.type = type;
    f.length = static_cast<unsigned char>(length);
    f.decimals = static_cast<unsigned char>(decimals);
    return f;
}

constexpr tabulo::CalendarDate kFixedToday{2009, 5, 17};
inline tabulo::CalendarDate FixedToday() { return kFixedToday; }

// Each test gets its own folder and a fixed date; both are undone afterwards.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_dir = std::filesystem::temp_directory_path() /
                ("tabulo-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_dir);
        m_previousToday = tabulo::SetTodayFunction(&FixedToday);
    }

    void TearDown() override {
        tabulo::SetTodayFunction(m_previousToday);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    // A table of three character fields of lengths 12, 64 and 255.
    std::string CreateThreeFieldTable(const std::string& name = "three.dbf") {
        FieldHeaderCreat fields[3] = {Field("title", 'C', 12), Field("body", 'C', 64),
                                      Field("note", 'C', 255)};
        const std::string path = PathOf(name);
        FileDBF table;
        EXPECT_EQ(0, table.Creat(path.c_str(), 3, fields));
        return path;
    }

    std::filesystem::path m_dir;
    tabulo::TodayFunction m_previousToday = nullptr;
};

}  // namespace tabulo_test
