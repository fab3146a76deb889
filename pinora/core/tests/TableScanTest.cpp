// The whole-table reader against tables that are not what their headers say.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AlarmStore.h"
#include "DamagedTableTestSupport.h"
#include "StickTestSupport.h"
#include "TableScan.h"

namespace pinora {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::WriteFileBytes;

class TableScanTest : public test::SticksFolderTest {
protected:
    void PutAlarms(int count) {
        for (int i = 1; i <= count; ++i) {
            AlarmRecord r;
            r.stick = "stick " + std::to_string(i);
            r.state = kStateLive;
            ASSERT_TRUE(AppendAlarm(alarmPath, r));
        }
    }
};

// A header that claims 2^31 - 1 records over a file of two: only the two are
// there to read, and no record number reaches bytes of another record, which
// 32-bit positions would (they wrap round past 4 GiB back into the file).
TEST_F(TableScanTest, RecordsBeyondTheFileAreNeverReached) {
    PutAlarms(2);
    const long fileSize = static_cast<long>(ReadFileBytes(alarmPath).size());
    test::SetHeaderRecordCount(alarmPath, 0x7FFFFFFFu);

    TableScan scan;
    ASSERT_TRUE(scan.Open(alarmPath));
    EXPECT_EQ(scan.Records(), 2);
    EXPECT_TRUE(scan.ShortOfRecords());
    char buf[300];
    ASSERT_TRUE(scan.Go(2));
    ASSERT_TRUE(scan.ReadField(kAlarmStick, buf, sizeof buf));
    EXPECT_STREQ(buf, "stick 2");
    EXPECT_FALSE(scan.Go(3));

    // The first record number past 4 GiB whose position, cut to 32 bits, falls
    // inside the file.
    const uint64_t header = 32 * kAlarmFieldCount + 33, size = 341;
    long wrapped = static_cast<long>((uint64_t{1} << 32) / size);
    auto cut = [&](long r) { return static_cast<uint32_t>(header + static_cast<uint64_t>(r - 1) * size); };
    while (cut(wrapped) < header || cut(wrapped) >= static_cast<uint64_t>(fileSize)) ++wrapped;
    ASSERT_GT(wrapped, 6297554);
    if (scan.Go(wrapped)) {
        scan.ReadField(kAlarmStick, buf, sizeof buf);
        ADD_FAILURE() << "record " << wrapped << " was read, its text: \"" << buf << "\"";
    }
    EXPECT_FALSE(scan.Go(0x7FFFFFFF));
}

TEST_F(TableScanTest, SoundTableIsNotShortOfRecords) {
    PutAlarms(3);
    TableScan scan;
    ASSERT_TRUE(scan.Open(alarmPath));
    EXPECT_EQ(scan.Records(), 3);
    EXPECT_FALSE(scan.ShortOfRecords());
}

// A table a dBase tool saved pads with blanks: the values are the same.
TEST_F(TableScanTest, BlanksAfterCharacterValuesArePadding) {
    PutAlarms(1);
    Bytes b = ReadFileBytes(alarmPath);
    const size_t records = 32 * kAlarmFieldCount + 33;
    for (size_t i = records + 1; i + 1 < b.size(); ++i)
        if (b[i] == 0) b[i] = ' ';
    WriteFileBytes(alarmPath, b);

    TableScan scan;
    ASSERT_TRUE(scan.Open(alarmPath));
    ASSERT_TRUE(scan.Go(1));
    char buf[300];
    ASSERT_TRUE(scan.ReadField(kAlarmState, buf, sizeof buf));
    EXPECT_STREQ(buf, "1");
    ASSERT_TRUE(scan.ReadField(kAlarmStick, buf, sizeof buf));
    EXPECT_STREQ(buf, "stick 1");
    char small[4];
    ASSERT_TRUE(scan.ReadField(kAlarmStick, small, sizeof small));
    EXPECT_STREQ(small, "sti");
}

}  // namespace
}  // namespace pinora
