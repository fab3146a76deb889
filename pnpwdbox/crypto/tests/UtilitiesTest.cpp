#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "NumberList.h"
#include "PwTime.h"
#include "SecureDelete.h"
#include "TestHex.h"

namespace fs = std::filesystem;

namespace {

struct Unpacked {
    uint32_t year, month, day, hour, minute, second;
    bool operator==(const Unpacked& o) const {
        return year == o.year && month == o.month && day == o.day && hour == o.hour &&
               minute == o.minute && second == o.second;
    }
};

Unpacked RoundTrip(const Unpacked& in) {
    uint8_t packed[5];
    _PackTimeToStruct(packed, in.year, in.month, in.day, in.hour, in.minute, in.second);
    Unpacked out{};
    _UnpackStructToTime(packed, &out.year, &out.month, &out.day, &out.hour, &out.minute, &out.second);
    return out;
}

PW_TIME Time(uint16_t y, uint8_t mo, uint8_t d, uint8_t h, uint8_t mi, uint8_t s) {
    return PW_TIME{y, mo, d, h, mi, s};
}

fs::path WriteTempFile(const char* name, const std::string& content) {
    const fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));
    return path;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(PackedTime, KnownLayoutAndRoundTrips) {
    uint8_t packed[5];
    _PackTimeToStruct(packed, 2024, 12, 31, 23, 59, 58);
    EXPECT_EQ(ToHex(packed, 5), "1fa33f7efa");

    for (const Unpacked& t : {Unpacked{2024, 12, 31, 23, 59, 58}, Unpacked{16383, 15, 31, 31, 63, 63},
                              Unpacked{0, 0, 0, 0, 0, 0}, Unpacked{1999, 1, 1, 0, 0, 1}}) {
        EXPECT_TRUE(RoundTrip(t) == t) << t.year << "-" << t.month << "-" << t.day;
    }
    // Higher bits of each value are dropped, not carried into the next field.
    EXPECT_TRUE((RoundTrip({16384 + 5, 16 + 2, 32 + 3, 32 + 4, 64 + 5, 64 + 6}) == Unpacked{5, 2, 3, 4, 5, 6}));
    _PackTimeToStruct(nullptr, 1, 2, 3, 4, 5, 6);  // absent buffer: nothing happens
}

TEST(PackedTime, CompareDecidesOnFirstDifference) {
    const PW_TIME a = Time(2024, 5, 6, 7, 8, 9);
    PW_TIME b = a;
    EXPECT_EQ(_pwtimecmp(&a, &b), 0);
    b.second = 8;
    EXPECT_EQ(_pwtimecmp(&a, &b), 1);
    EXPECT_EQ(_pwtimecmp(&b, &a), -1);
    const PW_TIME earlierYearLaterMonth = Time(2023, 12, 31, 23, 59, 59);
    EXPECT_EQ(_pwtimecmp(&earlierYearLaterMonth, &a), -1);
}

TEST(PackedTime, CurrentTimeIsTheLocalClock) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    PW_TIME t{};
    _GetCurrentPwTime(&t);
    EXPECT_EQ(t.year, local->tm_year + 1900);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
    EXPECT_GE(t.day, 1);
    EXPECT_LE(t.hour, 23);
}

TEST(NumberList, WritesAndReadsSpaceSeparatedValues) {
    const int32_t values[] = {1, 22, 333};
    char text[64];
    ar2str(text, values, 3);
    EXPECT_STREQ(text, "1 22 333");

    int32_t back[3] = {};
    str2ar(text, back, 3);
    EXPECT_EQ(back[0], 1);
    EXPECT_EQ(back[1], 22);
    EXPECT_EQ(back[2], 333);

    const int32_t extremes[] = {-2147483647 - 1, 0, 2147483647};
    ar2str(text, extremes, 3);
    EXPECT_STREQ(text, "-2147483648 0 2147483647");
    int32_t read[3];
    str2ar(text, read, 3);
    EXPECT_TRUE(std::equal(std::begin(read), std::end(read), std::begin(extremes)));

    ar2str(text, values, 0);
    EXPECT_STREQ(text, "");
}

// Asking for more values than the text holds must not read past its end
// (the text sits in an exact-size allocation so the sanitizer sees it).
TEST(NumberList, ReadingStopsAtEndOfText) {
    const char source[] = "7 8";
    std::unique_ptr<char[]> text(new char[sizeof source]);
    std::memcpy(text.get(), source, sizeof source);
    int32_t values[5] = {9, 9, 9, 9, 9};
    str2ar(text.get(), values, 4);
    EXPECT_EQ(values[0], 7);
    EXPECT_EQ(values[1], 8);
    EXPECT_EQ(values[2], 0);
    EXPECT_EQ(values[3], 0);
    EXPECT_EQ(values[4], 9) << "wrote past count";
}

TEST(SecureDelete, RemovesFilesOfAnySizeAndReportsMissingOnes) {
    for (size_t size : {0u, 1u, 4096u, 10000u}) {
        const fs::path path = WriteTempFile("pncrypto_secure_delete.bin", std::string(size, 'A'));
        EXPECT_EQ(SecureDeleteFile(path.string().c_str()), 1) << size;
        EXPECT_FALSE(fs::exists(path)) << size;
    }
    const fs::path missing = fs::temp_directory_path() / "pncrypto_not_there.bin";
    fs::remove(missing);
    EXPECT_EQ(SecureDeleteFile(missing.string().c_str()), 0);
    EXPECT_EQ(SecureDeleteFile(nullptr), 0);
}

// The last pass writes generator bytes: the old text is gone and the file is
// not left as zeros or 0xFF (which a never-seeded generator would give).
TEST(SecureDelete, OverwritesWithGeneratorBytes) {
    const size_t size = 10000;
    const fs::path path = WriteTempFile("pncrypto_overwrite.bin", std::string(size, 'A'));
    EXPECT_EQ(pncrypto::OverwriteFileForDeletion(path.string().c_str()), pncrypto::OverwriteOutcome::Overwritten);
    const std::string after = ReadFile(path);
    ASSERT_EQ(after.size(), size + 4);
    const auto count = [&](char c) { return std::count(after.begin(), after.begin() + size, c); };
    EXPECT_LT(count('A'), 200);
    EXPECT_LT(count('\0'), 200);
    EXPECT_LT(count('\xFF'), 200);
    fs::remove(path);
}
