#include <gtest/gtest.h>

#include <vector>

#include "App.h"
#include "Catalogues_win.h"
#include "Settings.h"
#include "SkinsTestSupport.h"
#include "Tabulo.h"

namespace pinora {
namespace {

using test::SkinsWinksTest;

std::vector<std::vector<std::string>> Records(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    FileDBF dbf;
    if (dbf.Open(table.c_str()) != 0) return rows;
    for (long n = 1; n <= dbf.GetRecords(); ++n) {
        std::vector<std::string> row;
        dbf.Go(n);
        for (int f = 1; f <= 3; ++f) {
            char buf[256] = {};
            dbf.ReadField(f, buf);
            row.push_back(buf);
        }
        rows.push_back(row);
    }
    dbf.Close();
    return rows;
}

TEST_F(SkinsWinksTest, NoFolderLeavesAnEmptyTableAndTheFirstFoundStaysTheDefault) {
    EXPECT_FALSE(RebuildWinkCatalogue());
    EXPECT_TRUE(test::FileExists(WinkCataloguePath()));
    EXPECT_TRUE(Records(WinkCataloguePath()).empty());
    EXPECT_EQ(DefaultWinkPath(), "");

    CreateDirectoryA((folder.Path() + "winks").c_str(), nullptr);
    EXPECT_FALSE(RebuildWinkCatalogue());
    EXPECT_EQ(DefaultWinkPath(), "");

    std::string b = Stage("b.ewf", "winks");
    EXPECT_TRUE(RebuildWinkCatalogue());
    EXPECT_EQ(DefaultWinkPath(), b);
    DeleteFileA(b.c_str());
    std::string a = Stage("a.ewf", "winks");
    EXPECT_TRUE(RebuildWinkCatalogue());
    EXPECT_EQ(Records(WinkCataloguePath()).at(0)[2], a);
    EXPECT_EQ(DefaultWinkPath(), b);  // set once, by the first rebuild that found one
}

TEST_F(SkinsWinksTest, SkinCatalogueNamesAndAStaleTableReplaced) {
    test::WriteFileBytes(SkinCataloguePath(), "not a table at all");
    std::string alpha = Stage("alpha.dll", "skins");
    std::string nameless = Stage("nameless.dll", "skins");
    Stage("a.ewf", "skins");
    ASSERT_TRUE(RebuildSkinCatalogue());
    auto entries = ReadCatalogue(SkinCataloguePath());
    ASSERT_EQ(entries.size(), 2u);
    for (const CatalogueEntry& e : entries) {
        if (e.file == alpha) {
            EXPECT_EQ(e.name, "Alpha");
        } else {
            EXPECT_EQ(e.file, nameless);
            EXPECT_EQ(e.name, "nameless.dll");  // no string 1: its file name
        }
    }
    EXPECT_EQ(DefaultWinkPath(), "");  // skins never set the default wink
}

TEST_F(SkinsWinksTest, LibraryStringsAndBitmaps) {
    std::string a = Stage("a.ewf", "winks");
    std::string alpha = Stage("alpha.dll", "skins");
    char buf[64];
    EXPECT_EQ(LoadLibraryString(a.c_str(), kWinkNameString, buf, sizeof buf), 6);
    EXPECT_STREQ(buf, "Wink A");
    EXPECT_EQ(LoadLibraryString(a.c_str(), kWinkNameString, buf, 4), 3);
    EXPECT_STREQ(buf, "Win");
    EXPECT_EQ(LoadLibraryString(a.c_str(), 7, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(LoadLibraryString((folder.Path() + "missing.dll").c_str(), 1, buf, sizeof buf), 0);

    HBITMAP bmp = LoadLibraryBitmap(alpha.c_str(), kSkinPreviewBitmap);
    ASSERT_NE(bmp, nullptr);
    BITMAP bm = {};
    ASSERT_TRUE(GetObjectA(bmp, sizeof bm, &bm));  // still valid with the library freed
    EXPECT_EQ(bm.bmWidth, 200);
    EXPECT_EQ(bm.bmHeight, 100);
    DeleteObject(bmp);
    EXPECT_EQ(LoadLibraryBitmap(a.c_str(), kSkinPreviewBitmap), nullptr);
    // Nothing of the library stays loaded: it can be deleted at once.
    EXPECT_TRUE(DeleteFileA(alpha.c_str()));
}

}  // namespace
}  // namespace pinora
