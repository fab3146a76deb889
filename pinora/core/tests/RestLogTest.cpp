#include "RestLog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "StickTestSupport.h"

namespace pinora {
namespace {

LocalTime At(int y, int m, int d, int hh, int mm) { return LocalTime{y, m, d, hh, mm, 0, DayOfWeek(y, m, d)}; }

using RestLogTest = test::SticksFolderTest;

TEST_F(RestLogTest, LinesAreAppendedAndTodaysBreaksCounted) {
    const std::string path = folder + kRestLogName;
    EXPECT_EQ(CountRestLogDay(path, 2009, 3, 5).breaks, 0);  // no file yet

    EXPECT_EQ(FormatRestLogLine({At(2009, 3, 5, 9, 7), false, 45, 0}),
              "2009-03-05 09:07 reminder worked=45 break=0\r\n");
    ASSERT_TRUE(AppendRestLog(path, {At(2009, 3, 4, 23, 50), true, 20, 6}));  // yesterday
    ASSERT_TRUE(AppendRestLog(path, {At(2009, 3, 5, 9, 7), false, 45, 0}));
    ASSERT_TRUE(AppendRestLog(path, {At(2009, 3, 5, 10, 2), true, 50, 12}));
    {
        // What people or other programs may leave in the file is skipped, however long.
        std::ofstream junk(path, std::ios::binary | std::ios::app);
        junk << "2009-03-05 break\r\n" << "2009-03-05 25:00 break worked=1 break=1\r\n"
             << std::string(600, 'x') << " 2009-03-05 10:00 break\r\n" << "2009-03-05 11:15 break worked=5";
    }
    ASSERT_TRUE(AppendRestLog(path, {At(2009, 3, 5, 12, 30), true, 70, 4}));

    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string firstTwo =
        "2009-03-04 23:50 break worked=20 break=6\r\n2009-03-05 09:07 reminder worked=45 break=0\r\n";
    EXPECT_EQ(all.str().substr(0, firstTwo.size()), firstTwo);

    const RestDayCount today = CountRestLogDay(path, 2009, 3, 5);
    // 10:02 and 12:30; the unfinished 11:15 line ran into the 12:30 one, which counts once.
    EXPECT_EQ(today.breaks, 2);
    EXPECT_EQ(today.reminders, 1);
    EXPECT_EQ(CountRestLogDay(path, 2009, 3, 4).breaks, 1);
    EXPECT_EQ(CountRestLogDay(path, 2009, 3, 6).breaks, 0);
}

TEST_F(RestLogTest, AFolderThatIsNotThereIsAFailureNotACrash) {
    EXPECT_FALSE(AppendRestLog(folder + "missing/" + kRestLogName, {At(2009, 3, 5, 9, 0), false, 45, 0}));
    EXPECT_FALSE(AppendRestLog("", {At(2009, 3, 5, 9, 0), false, 45, 0}));
}

}  // namespace
}  // namespace pinora
