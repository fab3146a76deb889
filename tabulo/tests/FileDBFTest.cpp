#include "TabuloTestSupport.h"

namespace tabulo_test {
namespace {

using FileDBFTest = TableTest;

TEST_F(FileDBFTest, CreatWritesTheEmptyTableLayout) {
    const std::string path = CreateThreeFieldTable();
    const Bytes b = ReadBytes(path);
    ASSERT_EQ(130u, b.size());
    EXPECT_EQ(0x03, b[0]);
    EXPECT_EQ(109, b[1]);  // 2009 as years since 1900
    EXPECT_EQ(5, b[2]);
    EXPECT_EQ(17, b[3]);
    EXPECT_EQ(0, Little32(b, 4));
    EXPECT_EQ(129u, Little16(b, 8));
    EXPECT_EQ(332u, Little16(b, 10));
    for (int i = 12; i < 32; ++i) EXPECT_EQ(0, b[i]) << "header byte " << i;
    EXPECT_EQ(0x0D, b[128]);
    EXPECT_EQ(0x1A, b[129]);

    // Descriptor 3: name, type, length; the reserved bytes were garbage on input.
    const size_t d = 3 * 32;
    EXPECT_EQ(0, std::memcmp(&b[d], "NOTE\0\0\0\0\0\0\0", 11));
    EXPECT_EQ('C', b[d + 11]);
    EXPECT_EQ(255, b[d + 16]);
    EXPECT_EQ(0, b[d + 17]);
    for (int i : {12, 13, 14, 15, 18, 25, 31}) EXPECT_EQ(0, b[d + i]) << "descriptor byte " << i;
}

TEST_F(FileDBFTest, OpenLoadsFieldTableOfAnEmptyTable) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    EXPECT_EQ(-1, table.Open(path.c_str()));  // already open: refused, stays open
    EXPECT_EQ(1, table.IsOpen());
    EXPECT_EQ(0, table.GetRecords());
    EXPECT_EQ(1, table.GetCurrentRecordNumber());
    EXPECT_EQ(-1, table.Go(1));
    EXPECT_EQ(3, table.GetFieldCount());
    EXPECT_EQ(332, table.GetRecordSize());
    EXPECT_EQ(129, table.GetHeaderLength());
    EXPECT_EQ(3, table.GetVersion());
    EXPECT_STREQ("TITLE", table.GetFieldName(1));
    EXPECT_STREQ("BODY", table.GetFieldName(2));
    EXPECT_EQ('C', *table.GetFieldType(3));
    EXPECT_EQ(1, table.GetFieldOffset(1));
    EXPECT_EQ(13, table.GetFieldOffset(2));
    EXPECT_EQ(77, table.GetFieldOffset(3));
    EXPECT_EQ(255, table.GetFieldLength(3));
    EXPECT_EQ(nullptr, table.GetFieldName(0));
    EXPECT_EQ(nullptr, table.GetFieldType(4));
    EXPECT_EQ(-1, table.GetFieldLength(4));
    EXPECT_EQ(-1, table.GetFieldOffset(0));
    EXPECT_STREQ("three.dbf", table.GetFileName());
    char buf[255];
    EXPECT_EQ(-1, table.ReadField(1, buf));  // record 1 does not exist yet
    EXPECT_EQ(-1, table.ReadRecord(buf));
}

TEST_F(FileDBFTest, CreatNormalisesDescriptorsByType) {
    FieldHeaderCreat fields[] = {
        Field("date", 'd', 3, 2),         Field("amount", 'N', 25, 30),
        Field("small", 'N', 2, 1),        Field("flag", 'L', 5, 3),
        Field("memo", 'M', 10, 4),        Field("empty", 'C', 0, 7),
        Field("abcdefghijkl", 'f', 0, 0), Field("ratio", 'F', 6, 5),
    };
    const std::string path = PathOf("types.dbf");
    FileDBF table;
    ASSERT_EQ(0, table.Creat(path.c_str(), 8, fields));

    struct Expected {
        const char* name;
        char type;
        int length;
        int decimals;
    };
    const Expected expected[] = {
        {"DATE", 'D', 8, 0},       {"AMOUNT", 'N', 19, 17}, {"SMALL", 'N', 2, 0},
        {"FLAG", 'L', 1, 0},       {"MEMO", 'C', 10, 0},    {"EMPTY", 'C', 1, 0},
        {"ABCDEFGHIJ", 'F', 1, 0}, {"RATIO", 'F', 6, 4},
    };
    const Bytes b = ReadBytes(path);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(expected[i].name);
        // In the caller's array, on disk and as read back.
        EXPECT_STREQ(expected[i].name, fields[i].name);
        EXPECT_EQ(expected[i].length, fields[i].length);
        const size_t d = 32 * (i + 1);
        EXPECT_EQ(0, b[d + 10]);
        EXPECT_EQ(expected[i].type, b[d + 11]);
        EXPECT_EQ(expected[i].length, b[d + 16]);
        EXPECT_EQ(expected[i].decimals, b[d + 17]);
        EXPECT_STREQ(expected[i].name, table.GetFieldName(i + 1));
        EXPECT_EQ(expected[i].type, *table.GetFieldType(i + 1));
        EXPECT_EQ(expected[i].length, table.GetFieldLength(i + 1));
        EXPECT_EQ(expected[i].decimals, table.GetFieldDecimals(i + 1));
    }
    EXPECT_EQ(1 + 8 + 19 + 2 + 1 + 10 + 1 + 1 + 6, table.GetRecordSize());
    EXPECT_EQ(table.GetRecordSize(), static_cast<int>(Little16(b, 10)));
}

TEST_F(FileDBFTest, CreatRefusesImpossibleFieldLists) {
    FieldHeaderCreat one[] = {Field("a", 'C', 10)};
    FileDBF table;
    EXPECT_EQ(-1, table.Creat(PathOf("none.dbf").c_str(), 0, one));
    EXPECT_EQ(-1, table.Creat(PathOf("none.dbf").c_str(), 1, nullptr));
    // 129 fields of 255 bytes: offsets would not fit in 16 bits.
    std::vector<FieldHeaderCreat> wide(129, Field("w", 'C', 255));
    EXPECT_EQ(-1, table.Creat(PathOf("wide.dbf").c_str(), 129, wide.data()));
    EXPECT_EQ(0, File::IsExist(PathOf("wide.dbf").c_str()));
    EXPECT_EQ(0, table.IsOpen());
    // The object is still usable afterwards.
    EXPECT_EQ(0, table.Creat(PathOf("ok.dbf").c_str(), 1, one));
    EXPECT_EQ(-1, table.Creat(PathOf("again.dbf").c_str(), 1, one));  // already open
}

TEST_F(FileDBFTest, AppendRecordAddsAnEmptyCurrentRecord) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.WriteField(2, "first"));
    ASSERT_EQ(0, table.AppendRecord());
    EXPECT_EQ(2, table.GetRecords());
    EXPECT_EQ(2, table.GetCurrentRecordNumber());
    char buf[255];
    for (int i = 1; i <= 3; ++i) {
        std::memset(buf, 'x', sizeof buf);
        ASSERT_EQ(0, table.ReadField(i, buf));
        EXPECT_STREQ("", buf);
    }
    table.Close();

    const Bytes b = ReadBytes(path);
    ASSERT_EQ(129u + 2 * 332 + 1, b.size());
    EXPECT_EQ(2, Little32(b, 4));
    EXPECT_EQ(0x1A, b.back());
    EXPECT_EQ(0x00, b[129]);        // flag of a record just appended
    EXPECT_EQ('f', b[129 + 13]);    // first record kept its value
    EXPECT_EQ(0x00, b[129 + 332]);  // the second record starts where 0x1A stood

    ASSERT_EQ(0, table.Open(path.c_str()));
    EXPECT_EQ(2, table.GetRecords());
    EXPECT_EQ(1, table.GetCurrentRecordNumber());
    ASSERT_EQ(0, table.ReadField(2, buf));
    EXPECT_STREQ("first", buf);
}

TEST_F(FileDBFTest, FieldValuesAreCutAndPaddedAtTheFieldLength) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.WriteField(3, "neighbour"));
    char buf[255];

    ASSERT_EQ(0, table.WriteField(1, "ABCDEFGHIJKL"));  // exactly 12
    ASSERT_EQ(0, table.ReadField(1, buf));
    EXPECT_STREQ("ABCDEFGHIJK", buf);  // a full field loses its last character

    ASSERT_EQ(0, table.WriteField(1, "abcdefghijk"));  // 11 fit with room for the end
    ASSERT_EQ(0, table.ReadField(1, buf));
    EXPECT_STREQ("abcdefghijk", buf);

    const char* longValue =
        "a much longer value than sixty-four characters, which this is not quite yet but now it is";
    ASSERT_EQ(0, table.WriteField(2, longValue));
    ASSERT_EQ(0, table.WriteField(1, "0123456789abcdefXYZ"));
    ASSERT_EQ(0, table.WriteField(1, "hi"));  // shorter value: zero padding, not blanks
    ASSERT_EQ(0, table.ReadField(1, buf));
    EXPECT_STREQ("hi", buf);
    ASSERT_EQ(0, table.ReadField(3, buf));
    EXPECT_STREQ("neighbour", buf);
    table.Close();

    const Bytes b = ReadBytes(path);
    const size_t record = 129;
    EXPECT_EQ(0, std::memcmp(&b[record + 1], "hi\0\0\0\0\0\0\0\0\0\0", 12));
    // The long value is cut to 64 bytes and field 3 still starts with its own value.
    EXPECT_EQ(0, std::memcmp(&b[record + 13], longValue, 64));
    EXPECT_EQ(0, std::memcmp(&b[record + 77], "neighbour", 10));
    EXPECT_EQ(0x00, b[record]);  // the flag byte is never written by WriteField
}

TEST_F(FileDBFTest, RecordsReadAndWriteWhole) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.AppendRecord());
    std::vector<char> record(332, 'r');
    record[0] = ' ';
    record[12] = '\0';
    ASSERT_EQ(0, table.WriteRecord(record.data()));
    std::vector<char> back(332, 0);
    ASSERT_EQ(0, table.ReadRecord(back.data()));
    EXPECT_EQ(record, back);
    char buf[255];
    ASSERT_EQ(0, table.ReadField(1, buf));
    EXPECT_STREQ("rrrrrrrrrrr", buf);
    ASSERT_EQ(0, table.Go(1));
    ASSERT_EQ(0, table.ReadRecord(back.data()));
    EXPECT_EQ(std::vector<char>(332, 0), back);
}

TEST_F(FileDBFTest, OutOfRangeRequestsLeaveTheCurrentRecord) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.Go(2));
    char buf[255] = "untouched";
    EXPECT_EQ(-1, table.Go(0));
    EXPECT_EQ(-1, table.Go(4));
    EXPECT_EQ(-1, table.Go(-1));
    EXPECT_EQ(-1, table.ReadField(0, buf));
    EXPECT_EQ(-1, table.ReadField(4, buf));
    EXPECT_EQ(-1, table.WriteField(0, "x"));
    EXPECT_EQ(-1, table.WriteField(4, "x"));
    EXPECT_STREQ("untouched", buf);
    EXPECT_EQ(2, table.GetCurrentRecordNumber());
    EXPECT_EQ(0, table.Go(3));
    EXPECT_EQ(3, table.GetCurrentRecordNumber());
}

TEST_F(FileDBFTest, WritesStampTheHeaderButNotTheOpenTimeCopy) {
    const std::string path = CreateThreeFieldTable();  // stamped 2009-05-17
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    tabulo::SetTodayFunction([] { return tabulo::CalendarDate{2024, 12, 31}; });

    ASSERT_EQ(0, table.AppendRecord());
    Bytes b = ReadBytes(path);
    EXPECT_EQ(124, b[1]);
    EXPECT_EQ(12, b[2]);
    EXPECT_EQ(31, b[3]);
    EXPECT_EQ(109, table.GetYear());
    EXPECT_EQ(5, table.GetMon());
    EXPECT_EQ(17, table.GetDay());

    tabulo::SetTodayFunction([] { return tabulo::CalendarDate{2030, 2, 3}; });
    ASSERT_EQ(0, table.WriteField(1, "x"));
    b = ReadBytes(path);
    EXPECT_EQ(130, b[1]);
    EXPECT_EQ(2, b[2]);
    EXPECT_EQ(3, b[3]);

    tabulo::SetTodayFunction([] { return tabulo::CalendarDate{2031, 7, 8}; });
    std::vector<char> record(332, 0);
    ASSERT_EQ(0, table.WriteRecord(record.data()));
    b = ReadBytes(path);
    EXPECT_EQ(131, b[1]);
    EXPECT_EQ(7, b[2]);
    EXPECT_EQ(8, b[3]);
    EXPECT_EQ(109, table.GetYear());
    table.Close();

    ASSERT_EQ(0, table.Open(path.c_str()));
    EXPECT_EQ(131, table.GetYear());  // a new open reads the new stamp
}

TEST_F(FileDBFTest, DeleteMarkersSetTheFlagByteOnly) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    EXPECT_EQ(-1, table.IsRecordDeleted());  // no record yet
    EXPECT_EQ(-1, table.SetDeleteRecordMarker());
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.WriteField(1, "keep"));
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.Go(1));
    EXPECT_EQ(0, table.IsRecordDeleted());

    ASSERT_EQ(0, table.SetDeleteRecordMarker());
    EXPECT_EQ(1, table.IsRecordDeleted());
    Bytes b = ReadBytes(path);
    EXPECT_EQ('*', b[129]);
    EXPECT_EQ('k', b[130]);
    EXPECT_EQ(0x00, b[129 + 332]);  // record 2 untouched
    ASSERT_EQ(0, table.Go(2));
    EXPECT_EQ(0, table.IsRecordDeleted());

    ASSERT_EQ(0, table.Go(1));
    ASSERT_EQ(0, table.SetUnDeleteRecordMarker());
    EXPECT_EQ(0, table.IsRecordDeleted());
    b = ReadBytes(path);
    EXPECT_EQ(' ', b[129]);
    EXPECT_EQ('k', b[130]);
}

TEST_F(FileDBFTest, ClosedTableRefusesEverything) {
    FileDBF table;
    char buf[332];
    EXPECT_EQ(0, table.IsOpen());
    EXPECT_EQ(1, table.GetCurrentRecordNumber());
    EXPECT_EQ(-1, table.GetRecords());
    EXPECT_EQ(-1, table.GetRecordSize());
    EXPECT_EQ(-1, table.GetFieldCount());
    EXPECT_EQ(-1, table.Go(1));
    EXPECT_EQ(-1, table.ReadField(1, buf));
    EXPECT_EQ(-1, table.ReadRecord(buf));
    EXPECT_EQ(-1, table.WriteField(1, "x"));
    EXPECT_EQ(-1, table.WriteRecord(buf));
    EXPECT_EQ(-1, table.AppendRecord());
    EXPECT_EQ(-1, table.SetRecords(1));
    EXPECT_EQ(-1, table.SetYYMMDD());
    EXPECT_EQ(-1, table.IsRecordDeleted());
    EXPECT_EQ(-1, table.SetUnDeleteRecordMarker());
    EXPECT_EQ(nullptr, table.GetFieldName(1));
    EXPECT_EQ(nullptr, table.GetName());
    table.Close();  // harmless

    const std::string path = CreateThreeFieldTable();
    ASSERT_EQ(0, table.Open(path.c_str()));
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.AppendRecord());
    table.Close();
    EXPECT_EQ(1, table.GetCurrentRecordNumber());
    EXPECT_EQ(-1, table.GetRecords());
    EXPECT_EQ(-1, table.Go(1));
    EXPECT_EQ(-1, table.GetYear());
}

TEST_F(FileDBFTest, SetRecordsWritesTheCountAndKeepsIt) {
    const std::string path = CreateThreeFieldTable();
    FileDBF table;
    ASSERT_EQ(0, table.Open(path.c_str()));
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.AppendRecord());
    ASSERT_EQ(0, table.SetRecords(1));
    EXPECT_EQ(1, table.GetRecords());
    EXPECT_EQ(1, Little32(ReadBytes(path), 4));
    EXPECT_EQ(-1, table.Go(2));
    EXPECT_EQ(-1, table.SetRecords(-3));
    EXPECT_EQ(1, table.GetRecords());
}

// A second object keeps the count it read when it opened the table.
TEST_F(FileDBFTest, TwoObjectsShareOneFileWithoutLocking) {
    const std::string path = CreateThreeFieldTable();
    FileDBF writer;
    FileDBF reader;
    ASSERT_EQ(0, writer.Open(path.c_str()));
    ASSERT_EQ(0, reader.Open(path.c_str()));
    ASSERT_EQ(0, writer.AppendRecord());
    ASSERT_EQ(0, writer.WriteField(1, "shared"));
    EXPECT_EQ(0, reader.GetRecords());
    reader.Close();
    ASSERT_EQ(0, reader.Open(path.c_str()));
    char buf[12];
    ASSERT_EQ(0, reader.ReadField(1, buf));
    EXPECT_STREQ("shared", buf);
}

// Copies borrow the file and the field table; only the source frees them, so
// destroying both must neither free twice nor close the source's file.
TEST_F(FileDBFTest, CopiesBorrowAndNeverFreeTwice) {
    const std::string path = CreateThreeFieldTable();
    FileDBF source;
    ASSERT_EQ(0, source.Open(path.c_str()));
    ASSERT_EQ(0, source.AppendRecord());
    ASSERT_EQ(0, source.WriteField(1, "original"));
    char buf[255];
    {
        FileDBF copy;
        copy = source;
        EXPECT_EQ(1, copy.IsOpen());
        EXPECT_EQ(1, copy.GetRecords());
        EXPECT_STREQ("BODY", copy.GetFieldName(2));
        ASSERT_EQ(0, copy.ReadField(1, buf));
        EXPECT_STREQ("original", buf);
        FileDBF constructed(copy);
        ASSERT_EQ(0, constructed.WriteField(2, "through a copy"));
        constructed.Close();
        EXPECT_EQ(0, constructed.IsOpen());
    }
    EXPECT_STREQ("BODY", source.GetFieldName(2));
    ASSERT_EQ(0, source.ReadField(2, buf));
    EXPECT_STREQ("through a copy", buf);

    // Assigning over an open table releases what that table owned.
    const std::string other = CreateThreeFieldTable("other.dbf");
    FileDBF target;
    ASSERT_EQ(0, target.Open(other.c_str()));
    target = source;
    EXPECT_STREQ("three.dbf", target.GetFileName());
    target = target;
    EXPECT_EQ(1, target.IsOpen());
}

}  // namespace
}  // namespace tabulo_test
