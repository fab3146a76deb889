// The taskbar notifier waits hidden between rest reminders: created and not yet
// shown, or back out of sight after its slide, it runs none of its timers.
#include <windows.h>

#include <gtest/gtest.h>

#include "DoRoRazIds.h"
#include "Handles.h"
#include "HiddenWindowCheck.h"
#include "ResourceLibrary.h"
#include "TaskbarNotifier.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

TEST(NotifierAsleepTest, HiddenBeforeAndAfterItsSlideRunsNoTimer) {
    test::ProgramFolderFixture folder;
    uikit::UniqueHwnd owner(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    CTaskbarNotifier n;
    ASSERT_TRUE(n.Create(owner.get(), static_cast<HBITMAP>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDB_REST_NOTIFIER),
                                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
    EXPECT_TRUE(test::NoTimerRunsWhileHidden(n.hwnd()));

    ASSERT_TRUE(n.Show("rest", 40, 100, 40));
    ASSERT_TRUE(test::PumpUntil([&] { return n.CurrentPhase() == CTaskbarNotifier::Showing; }, 5000));
    ASSERT_TRUE(test::PumpUntil([&] { return n.CurrentPhase() == CTaskbarNotifier::Hidden; }, 8000));
    ASSERT_FALSE(IsWindowVisible(n.hwnd()));
    EXPECT_TRUE(test::NoTimerRunsWhileHidden(n.hwnd()));
}

}  // namespace
}  // namespace pinora
