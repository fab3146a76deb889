#include "TabuloTestSupport.h"

namespace tabulo_test {
namespace {

using FileTest = TableTest;

TEST_F(FileTest, RefusesEmptyAndOverlongNames) {
    File file;
    const std::string tooLong(261, 'a');
    EXPECT_EQ(-1, file.Creat(""));
    EXPECT_EQ(-1, file.Open(""));
    EXPECT_EQ(-1, file.OpenReadOnly(nullptr));
    EXPECT_EQ(-1, file.Creat(tooLong.c_str()));
    EXPECT_EQ(-1, file.Open(tooLong.c_str()));
    EXPECT_EQ(-1, file.OpenReadOnly(tooLong.c_str()));
    EXPECT_EQ(0, file.IsOpen());
    EXPECT_EQ(0, File::IsExist(tooLong.c_str()));
}

TEST_F(FileTest, CreatReadWriteAndPositions) {
    const std::string path = PathOf("plain.bin");
    WriteBytes(path, Bytes{'o', 'l', 'd', ' ', 'd', 'a', 't', 'a'});

    File file;
    ASSERT_EQ(0, file.Creat(path.c_str()));  // truncates what was there
    EXPECT_EQ(1, file.IsOpen());
    EXPECT_EQ(0, file.GetSize());
    EXPECT_EQ(1, file.IsEOF());
    EXPECT_EQ(-1, file.Creat(path.c_str()));  // already open
    EXPECT_EQ(-1, file.Open(path.c_str()));
    EXPECT_EQ(1, file.IsOpen());

    ASSERT_EQ(0, file.Write("abcdef", 6));
    EXPECT_EQ(6, file.GetPosition());
    EXPECT_EQ(0, file.LseekPosition(2));
    EXPECT_EQ(6, file.GetSize());
    EXPECT_EQ(2, file.GetPosition());  // GetSize moves back
    EXPECT_EQ(0, file.IsEOF());

    char buf[8] = {};
    EXPECT_EQ(0, file.Read(buf, 3));
    EXPECT_STREQ("cde", buf);
    EXPECT_EQ(-1, file.Read(buf, 3));  // only one byte left: a short read fails
    EXPECT_EQ(-1, file.LseekPosition(-1));
    EXPECT_EQ(0, file.LseekEnd());
    EXPECT_EQ(1, file.IsEOF());
    EXPECT_EQ(0, file.LseekBegin());
    EXPECT_EQ(0, file.GetPosition());

    EXPECT_EQ(0, file.Close());
    EXPECT_EQ(0, file.IsOpen());
    EXPECT_EQ(0, file.Close());
    EXPECT_EQ(-1, file.GetPosition());
    EXPECT_EQ(-1, file.GetSize());
    EXPECT_EQ(-1, file.Read(buf, 1));
    EXPECT_EQ(-1, file.Write("x", 1));
    EXPECT_EQ(nullptr, file.GetName());
    EXPECT_EQ(Bytes({'a', 'b', 'c', 'd', 'e', 'f'}), ReadBytes(path));
}

TEST_F(FileTest, NamesAndExistence) {
    const std::string path = PathOf("names.dat");
    EXPECT_EQ(0, File::IsExist(path.c_str()));
    File file;
    EXPECT_EQ(-1, file.Open(path.c_str()));  // Open never creates
    ASSERT_EQ(0, file.Creat(path.c_str()));
    EXPECT_EQ(1, File::IsExist(path.c_str()));
    EXPECT_STREQ(path.c_str(), file.GetName());
    EXPECT_STREQ("names.dat", file.GetFileName());
    file.Close();
    EXPECT_EQ(nullptr, file.GetFileName());

    // Both separators end the folder part. On Windows "x\\y.dat" is a file in
    // folder x; elsewhere it is one name with a backslash in it: same base name.
    std::filesystem::create_directories(m_dir / "x");
    WriteBytes((m_dir / "x" / "y.dat").string(), Bytes{1});
#if !defined(_WIN32)
    WriteBytes((m_dir / "x\\y.dat").string(), Bytes{1});
#endif
    ASSERT_EQ(0, file.Open((m_dir.string() + "/x\\y.dat").c_str()));
    EXPECT_STREQ("y.dat", file.GetFileName());
}

TEST_F(FileTest, ReadOnlyRefusesWrites) {
    const std::string path = PathOf("ro.dat");
    WriteBytes(path, Bytes{1, 2, 3});
    File file;
    ASSERT_EQ(0, file.OpenReadOnly(path.c_str()));
    EXPECT_EQ(-1, file.Write("z", 1));
    char buf[3];
    EXPECT_EQ(0, file.Read(buf, 3));
    EXPECT_EQ(3, buf[2]);
}

// The copy borrows the descriptor: destroying it must leave the source usable.
TEST_F(FileTest, CopyDoesNotCloseTheSharedDescriptor) {
    const std::string path = PathOf("shared.dat");
    WriteBytes(path, Bytes{'h', 'e', 'l', 'l', 'o'});
    File source;
    ASSERT_EQ(0, source.Open(path.c_str()));
    {
        File copy;
        copy = source;
        EXPECT_EQ(1, copy.IsOpen());
        EXPECT_STREQ("shared.dat", copy.GetFileName());
        EXPECT_EQ(0, copy.LseekPosition(1));
        File constructed(copy);
        EXPECT_EQ(0, constructed.Close());
        EXPECT_EQ(0, constructed.IsOpen());
    }
    EXPECT_EQ(1, source.GetPosition());  // one shared descriptor, one position
    char buf[4] = {};
    EXPECT_EQ(0, source.Read(buf, 3));
    EXPECT_STREQ("ell", buf);
    EXPECT_EQ(0, source.Close());
}

}  // namespace
}  // namespace tabulo_test
