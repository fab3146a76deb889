#include "DayFiles.h"

#include <gtest/gtest.h>

namespace pinora {
namespace {

LocalTime Date(int y, int m, int d) { return LocalTime{y, m, d, 12, 0, 0, DayOfWeek(y, m, d)}; }

TEST(DayFiles, SingleDigitDayAndMonth) {
    DayFiles f = MakeDayFiles(Date(2009, 3, 5), "C:\\P\\", "anna");
    EXPECT_EQ(f.userDataDir, "C:\\P\\anna\\data\\");
    EXPECT_EQ(f.diaryFile, "C:\\P\\anna\\data\\2009-03-05.txt");
    EXPECT_EQ(f.dayStickFile, "C:\\P\\anna\\data\\sticks\\2009-3-05.stk");
}

TEST(DayFiles, TwoDigitDayAndMonth) {
    DayFiles f = MakeDayFiles(Date(2009, 11, 12), "C:\\P\\", "anna");
    EXPECT_EQ(f.diaryFile, "C:\\P\\anna\\data\\2009-11-12.txt");
    EXPECT_EQ(f.dayStickFile, "C:\\P\\anna\\data\\sticks\\2009-11-12.stk");
}

TEST(DayFiles, NobodyLoggedInPointsAtTheDriveRoot) {
    DayFiles f = MakeDayFiles(Date(2009, 3, 5), "C:\\P\\", "");
    EXPECT_EQ(f.userDataDir, "\\");
    EXPECT_EQ(f.diaryFile, "\\2009-03-05.txt");
    EXPECT_EQ(f.dayStickFile, "\\sticks\\2009-3-05.stk");
}

TEST(DayFiles, NamesFollowTheDateAcrossMidnight) {
    EXPECT_EQ(DiaryFileName(Date(2009, 12, 31)), "2009-12-31.txt");
    EXPECT_EQ(DiaryFileName(Date(2010, 1, 1)), "2010-01-01.txt");
    EXPECT_EQ(DayStickFileName(Date(2010, 1, 1)), "2010-1-01.stk");
}

TEST(Clock, DayOfWeekAndInstalledClock) {
    EXPECT_EQ(DayOfWeek(2009, 3, 5), 4);    // Thursday
    EXPECT_EQ(DayOfWeek(2026, 12, 7), 1);   // Monday
    EXPECT_EQ(DayOfWeek(2000, 2, 29), 2);   // Tuesday, leap day
    ManualClock manual(Date(2009, 3, 5), 1234);
    SetClock(&manual);
    EXPECT_EQ(CurrentClock().Now().day, 5);
    EXPECT_EQ(CurrentClock().TickCount(), 1234u);
    SetClock(nullptr);
    EXPECT_GE(CurrentClock().Now().year, 2020);
}

}  // namespace
}  // namespace pinora
