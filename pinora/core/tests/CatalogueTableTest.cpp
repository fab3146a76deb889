#include "CatalogueTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DamagedTableTestSupport.h"
#include "TableCheck.h"
#include "TableFields.h"
#include "Tabulo.h"

namespace pinora {
namespace {

class CatalogueTableTest : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        std::remove(path.c_str());
        std::remove(DamagedCopyPath(path).c_str());
    }
    std::string Field(long record, int field) {
        FileDBF dbf;
        char buf[256] = {};
        if (dbf.Open(path.c_str()) != 0) return "<no table>";
        if (dbf.Go(record) != 0 || dbf.ReadField(field, buf) != 0) buf[0] = '\0';
        dbf.Close();
        return buf;
    }
    std::string path = ::testing::TempDir() + "catalogue-test.dat";
    test::DamageReports reports;
};

TEST_F(CatalogueTableTest, FieldsAndNumberedRecords) {
    ASSERT_TRUE(CreateCatalogue(path, "WINKNAME"));
    ASSERT_TRUE(AppendCatalogueEntries(path, {{"Bell", "C:\\P\\winks\\bell.ewf"}, {"Note", "C:\\P\\winks\\note.ewf"}}));

    FileDBF dbf;
    ASSERT_EQ(dbf.Open(path.c_str()), 0);
    EXPECT_EQ(dbf.GetRecords(), 2);
    ASSERT_EQ(dbf.GetFieldCount(), 3);
    EXPECT_STREQ(dbf.GetFieldName(1), "NUMBER");
    EXPECT_STREQ(dbf.GetFieldName(2), "WINKNAME");
    EXPECT_STREQ(dbf.GetFieldName(3), "RESFILE");
    EXPECT_EQ(dbf.GetFieldLength(1), 12);
    EXPECT_EQ(dbf.GetFieldLength(2), 64);
    EXPECT_EQ(dbf.GetFieldLength(3), 255);
    EXPECT_STREQ(dbf.GetFieldType(2), "C");
    dbf.Close();

    EXPECT_EQ(Field(1, 1), "1");
    EXPECT_EQ(Field(2, 1), "2");
    auto entries = ReadCatalogue(path);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Bell");
    EXPECT_EQ(entries[1].file, "C:\\P\\winks\\note.ewf");
}

TEST_F(CatalogueTableTest, CreatingAgainStartsEmpty) {
    ASSERT_TRUE(CreateCatalogue(path, "SKINNAME"));
    ASSERT_TRUE(AppendCatalogueEntries(path, {{"Old", "C:\\old.dll"}}));
    ASSERT_TRUE(CreateCatalogue(path, "SKINNAME"));
    EXPECT_TRUE(ReadCatalogue(path).empty());
    ASSERT_TRUE(AppendCatalogueEntries(path, {{"New", "C:\\new.dll"}}));
    EXPECT_EQ(Field(1, 1), "1");
    EXPECT_EQ(Field(1, 2), "New");
}

TEST_F(CatalogueTableTest, LongNamesAreCutToSixtyThreeAndLongPathsDoNotFit) {
    ASSERT_TRUE(CreateCatalogue(path, "SKINNAME"));
    std::string longName(100, 'n');
    ASSERT_TRUE(AppendCatalogueEntries(path, {{longName, "C:\\x.dll"}}));
    EXPECT_EQ(ReadCatalogue(path).at(0).name, std::string(63, 'n'));

    EXPECT_TRUE(FitsCataloguePath(std::string(254, 'p')));
    EXPECT_FALSE(FitsCataloguePath(std::string(255, 'p')));
    EXPECT_FALSE(FitsCataloguePath(""));
}

TEST_F(CatalogueTableTest, MissingTableReadsEmptyAndCannotBeAppendedTo) {
    EXPECT_TRUE(ReadCatalogue(path).empty());
    EXPECT_FALSE(AppendCatalogueEntries(path, {{"A", "B"}}));
    EXPECT_FALSE(CreateCatalogue(::testing::TempDir() + "no/such/folder/t.dat", "SKINNAME"));
}

// A name field 255 wide holding 200 characters overran a buffer sized for 64.
TEST_F(CatalogueTableTest, TableOfAnotherLayoutIsRefusedAndReportedOnce) {
    FieldHeaderCreat fields[3] = {CharField("NUMBER", 12), CharField("SKINNAME", 255), CharField("RESFILE", 255)};
    {
        FileDBF dbf;
        ASSERT_EQ(dbf.Creat(path.c_str(), 3, fields), 0);
        ASSERT_EQ(dbf.AppendRecord(), 0);
        ASSERT_EQ(dbf.WriteField(2, std::string(200, 'n').c_str()), 0);
    }
    const test::Bytes before = test::ReadFileBytes(path);
    EXPECT_TRUE(ReadCatalogue(path).empty());
    EXPECT_TRUE(ReadCatalogue(path).empty());
    EXPECT_FALSE(AppendCatalogueEntries(path, {{"A", "B"}}));
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(reports.paths(), std::vector<std::string>{path});
}

// A header claiming four million records over two: the two are listed.
TEST_F(CatalogueTableTest, HeaderClaimingMoreRecordsListsThoseTheFileHolds) {
    ASSERT_TRUE(CreateCatalogue(path, "WINKNAME"));
    ASSERT_TRUE(AppendCatalogueEntries(path, {{"Bell", "C:\\bell.ewf"}, {"Note", "C:\\note.ewf"}}));
    test::SetHeaderRecordCount(path, 4000000);
    const test::Bytes damaged = test::ReadFileBytes(path);
    const auto entries = ReadCatalogue(path);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "Note");
    EXPECT_FALSE(AppendCatalogueEntries(path, {{"A", "B"}}));
    EXPECT_EQ(test::ReadFileBytes(path), damaged);
    EXPECT_EQ(reports.paths().size(), 1u);
}

}  // namespace
}  // namespace pinora
