// Table files damaged or written by other programs: every one is either
// refused at Open or read short, never read out of bounds (the host build
// runs these under AddressSanitizer).
#include "TabuloTestSupport.h"

namespace tabulo_test {
namespace {

struct RawField {
    const char* name;
    char type;
    int length;
    int decimals;
};

// A well-formed table file of zero-filled records, for the tests to damage.
Bytes RawTable(const std::vector<RawField>& fields, int records) {
    const size_t headerLength = 32 + 32 * fields.size() + 1;
    size_t recordSize = 1;
    for (const RawField& f : fields) recordSize += f.length;
    Bytes b(headerLength + records * recordSize + 1, 0);
    b[0] = 0x03;
    PutLittle32(b, 4, static_cast<uint32_t>(records));
    PutLittle16(b, 8, static_cast<unsigned>(headerLength));
    PutLittle16(b, 10, static_cast<unsigned>(recordSize));
    for (size_t i = 0; i < fields.size(); ++i) {
        const size_t d = 32 * (i + 1);
        std::memcpy(&b[d], fields[i].name, std::min<size_t>(11, std::strlen(fields[i].name)));
        b[d + 11] = static_cast<unsigned char>(fields[i].type);
        b[d + 16] = static_cast<unsigned char>(fields[i].length);
        b[d + 17] = static_cast<unsigned char>(fields[i].decimals);
    }
    b[headerLength - 1] = 0x0D;
    b.back() = 0x1A;
    return b;
}

const std::vector<RawField> kTwoFields = {{"NAME", 'C', 10, 0}, {"VALUE", 'N', 6, 2}};

class MalformedTableTest : public TableTest {
protected:
    // Writes the bytes and tries to open them; the table is left open on success.
    int OpenBytes(const Bytes& bytes) {
        m_path = PathOf("damaged.dbf");
        WriteBytes(m_path, bytes);
        return m_table.Open(m_path.c_str());
    }

    std::string m_path;
    FileDBF m_table;
};

TEST_F(MalformedTableTest, WellFormedRawTableOpens) {
    ASSERT_EQ(0, OpenBytes(RawTable(kTwoFields, 2)));
    EXPECT_EQ(2, m_table.GetFieldCount());
    EXPECT_EQ(2, m_table.GetRecords());
    EXPECT_EQ(17, m_table.GetRecordSize());
    EXPECT_EQ(2, m_table.GetFieldDecimals(2));
    char buf[10];
    EXPECT_EQ(0, m_table.ReadField(1, buf));
}

TEST_F(MalformedTableTest, TruncatedHeadersAreRefused) {
    const Bytes good = RawTable(kTwoFields, 1);
    for (size_t size : {0, 1, 11, 12, 31, 32, 40, 64, 95}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(-1, OpenBytes(Bytes(good.begin(), good.begin() + size)));
        EXPECT_EQ(0, m_table.IsOpen());
    }
}

TEST_F(MalformedTableTest, HeaderLengthOutOfRangeIsRefused) {
    for (unsigned headerLength : {0u, 1u, 31u, 32u, 32768u, 40000u, 65535u}) {
        SCOPED_TRACE(headerLength);
        Bytes b = RawTable(kTwoFields, 1);
        PutLittle16(b, 8, headerLength);
        EXPECT_EQ(-1, OpenBytes(b));
        EXPECT_EQ(0, m_table.IsOpen());
    }
}

// A header claiming 32767 bytes over a small file: the descriptors found before
// the terminator were read, so the short read is accepted.
TEST_F(MalformedTableTest, ShortHeaderReadIsAcceptedWhenTheDescriptorsWereRead) {
    Bytes b = RawTable(kTwoFields, 0);
    b.pop_back();  // the file ends right after the terminator
    PutLittle16(b, 8, 32767);
    ASSERT_EQ(0, OpenBytes(b));
    EXPECT_EQ(2, m_table.GetFieldCount());
    EXPECT_EQ(32767, m_table.GetHeaderLength());
    EXPECT_EQ(0, m_table.GetRecords());
}

// Without a terminator the header length decides how many descriptors there
// are; any of them past the end of the file makes the file unusable.
TEST_F(MalformedTableTest, DescriptorsPastTheEndOfTheFileAreRefused) {
    Bytes b = RawTable(kTwoFields, 0);
    b[96] = 0;  // terminator gone: header length 97 still says two fields
    ASSERT_EQ(0, OpenBytes(b));
    EXPECT_EQ(2, m_table.GetFieldCount());
    m_table.Close();

    Bytes cut = RawTable(kTwoFields, 0);
    PutLittle16(cut, 8, 32 * 5 + 1);  // claims four descriptors, holds two
    cut[96] = 0;                     // and no terminator
    EXPECT_EQ(-1, OpenBytes(cut));

    Bytes half = RawTable(kTwoFields, 0);
    half.resize(80);  // the second descriptor is cut in two
    EXPECT_EQ(-1, OpenBytes(half));
}

TEST_F(MalformedTableTest, TablesWithoutUsableFieldsAreRefused) {
    Bytes noFields(34, 0);
    noFields[0] = 0x03;
    PutLittle16(noFields, 8, 33);
    noFields[32] = 0x0D;
    noFields[33] = 0x1A;
    EXPECT_EQ(-1, OpenBytes(noFields));

    // A zero-length field would make ReadField write before the caller's buffer.
    Bytes zeroLength = RawTable({{"A", 'C', 4, 0}, {"B", 'C', 0, 0}}, 1);
    EXPECT_EQ(-1, OpenBytes(zeroLength));
    EXPECT_EQ(0, m_table.IsOpen());

    // Records longer than 32767 bytes cannot be addressed with 16-bit offsets.
    std::vector<RawField> wide(129, RawField{"W", 'C', 255, 0});
    EXPECT_EQ(-1, OpenBytes(RawTable(wide, 0)));
}

TEST_F(MalformedTableTest, NegativeRecordCountIsRefused) {
    Bytes b = RawTable(kTwoFields, 1);
    PutLittle32(b, 4, 0xFFFFFFFFu);
    EXPECT_EQ(-1, OpenBytes(b));
    PutLittle32(b, 4, 0x80000000u);
    EXPECT_EQ(-1, OpenBytes(b));
}

// A header that claims more records than the file holds: the table has the
// records that are there, says it is short of the others, and refuses to
// append (which would rewrite the count over the damage).
TEST_F(MalformedTableTest, RecordCountIsBoundedByWhatTheFileHolds) {
    Bytes b = RawTable(kTwoFields, 1);
    b[97 + 1] = 'a';  // field 1 of record 1, the only one the file holds
    PutLittle32(b, 4, 1000);
    ASSERT_EQ(0, OpenBytes(b));
    EXPECT_EQ(1, m_table.GetRecords());
    EXPECT_EQ(1, m_table.HasMissingRecords());
    char buf[17];
    ASSERT_EQ(0, m_table.ReadField(1, buf));
    EXPECT_STREQ("a", buf);
    EXPECT_EQ(-1, m_table.Go(2));
    EXPECT_EQ(-1, m_table.Go(1000));

    EXPECT_EQ(-1, m_table.AppendRecord());
    m_table.Close();
    EXPECT_EQ(b, ReadBytes(m_path));  // not a byte changed

    // A last record cut short still counts, its missing bytes read as zeros.
    Bytes cut = RawTable(kTwoFields, 2);
    cut[97 + 17 + 1] = 'b';
    cut.resize(97 + 17 + 5);
    ASSERT_EQ(0, OpenBytes(cut));
    EXPECT_EQ(2, m_table.GetRecords());
    EXPECT_EQ(1, m_table.HasMissingRecords());
    ASSERT_EQ(0, m_table.Go(2));
    std::memset(buf, 'x', sizeof buf);
    ASSERT_EQ(0, m_table.ReadRecord(buf));
    EXPECT_EQ('b', buf[1]);
    EXPECT_EQ(Bytes(13, 0), Bytes(buf + 4, buf + 17));
    m_table.Close();

    // A sound table, with or without its end marker, is not short of anything.
    for (bool marker : {true, false}) {
        Bytes sound = RawTable(kTwoFields, 3);
        if (!marker) sound.pop_back();
        ASSERT_EQ(0, OpenBytes(sound));
        EXPECT_EQ(3, m_table.GetRecords());
        EXPECT_EQ(0, m_table.HasMissingRecords());
        m_table.Close();
    }
}

TEST_F(MalformedTableTest, HugeRecordCountNeverOverflowsPositions) {
    Bytes b = RawTable(kTwoFields, 0);
    PutLittle32(b, 4, 0x7FFFFFFFu);
    ASSERT_EQ(0, OpenBytes(b));
    EXPECT_EQ(0, m_table.GetRecords());
    EXPECT_EQ(-1, m_table.Go(0x7FFFFFFF));
    EXPECT_EQ(-1, m_table.AppendRecord());
}

// Descriptors that do not add up to the records: reading them would cut every
// field at the wrong place, so the table is refused at open.
TEST_F(MalformedTableTest, HeadersThatDoNotDescribeTheirRecordsAreRefused) {
    const std::vector<RawField> three = {{"A", 'C', 4, 0}, {"B", 'C', 6, 0}, {"C", 'C', 8, 0}};
    ASSERT_EQ(0, OpenBytes(RawTable(three, 1)));
    m_table.Close();

    for (unsigned recordLength : {18u, 20u, 5u, 0u}) {
        SCOPED_TRACE(recordLength);
        Bytes b = RawTable(three, 1);
        PutLittle16(b, 10, recordLength);  // 1 + 4 + 6 + 8 = 19
        EXPECT_EQ(-1, OpenBytes(b));
        EXPECT_EQ(0, m_table.IsOpen());
    }

    // A name that starts with 0x0D is not the end of the descriptors.
    Bytes early = RawTable(three, 1);
    early[64] = 0x0D;
    EXPECT_EQ(-1, OpenBytes(early));

    for (int type : {0x00, 0x01, 0x20, 0x7F, 0xC3}) {
        SCOPED_TRACE(type);
        Bytes b = RawTable(three, 1);
        b[64 + 11] = static_cast<unsigned char>(type);
        EXPECT_EQ(-1, OpenBytes(b));
    }
}

// Other dBase writers pad character fields with blanks; those blanks are
// padding, as they are to dBase itself. Other types keep their bytes.
TEST_F(MalformedTableTest, TrailingBlanksOfCharacterFieldsArePadding) {
    Bytes b = RawTable({{"TEXT", 'C', 10, 0}, {"NUM", 'N', 6, 0}}, 3);
    auto put = [&b](int record, int offset, const char* text) {
        std::memcpy(&b[97 + 17 * (record - 1) + offset], text, std::strlen(text));
    };
    put(1, 1, "a b       ");
    put(1, 11, "12    ");
    put(2, 1, "          ");
    put(3, 1, "abc  ");  // then zero bytes, as our own writes pad
    ASSERT_EQ(0, OpenBytes(b));
    char buf[17];
    ASSERT_EQ(0, m_table.ReadField(1, buf));
    EXPECT_STREQ("a b", buf);
    ASSERT_EQ(0, m_table.ReadField(2, buf));
    EXPECT_STREQ("12   ", buf);
    ASSERT_EQ(0, m_table.Go(2));
    ASSERT_EQ(0, m_table.ReadField(1, buf));
    EXPECT_STREQ("", buf);
    ASSERT_EQ(0, m_table.Go(3));
    ASSERT_EQ(0, m_table.ReadField(1, buf));
    EXPECT_STREQ("abc", buf);
}

// A name using all eleven bytes is still handed out terminated.
TEST_F(MalformedTableTest, ElevenCharacterNamesComeBackTerminated) {
    Bytes b = RawTable({{"ABCDEFGHIJK", 'C', 5, 0}}, 0);
    ASSERT_EQ(0, OpenBytes(b));
    EXPECT_STREQ("ABCDEFGHIJK", m_table.GetFieldName(1));
}

// Character fields ignore the stored decimal count; other types keep it.
TEST_F(MalformedTableTest, DecimalsOfCharacterFieldsAreIgnored) {
    ASSERT_EQ(0, OpenBytes(RawTable({{"TEXT", 'C', 255, 3}, {"NUM", 'N', 8, 3}}, 0)));
    EXPECT_EQ(0, m_table.GetFieldDecimals(1));
    EXPECT_EQ(255, m_table.GetFieldLength(1));
    EXPECT_EQ(3, m_table.GetFieldDecimals(2));
    EXPECT_EQ(256, m_table.GetFieldOffset(2));
}

}  // namespace
}  // namespace tabulo_test
