// The hotkey dialog opened modeless (a page may hold it before showing it):
// while hidden, its focused hotkey box blinks no caret.
#include <windows.h>

#include <gtest/gtest.h>

#include "Handles.h"
#include "HiddenWindowCheck.h"
#include "HotkeyDialog.h"
#include "WinTestSupport.h"

namespace pinora {
namespace {

TEST(HotkeyDialogAsleepTest, CreatedHiddenRunsNoTimer) {
    test::ProgramFolderFixture folder;
    uikit::UniqueHwnd main(CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    HotkeySet set;
    CHotkeyDlg dlg(kHotkeyModeMain, set);
    HWND h = dlg.OpenModeless(main.get());
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(test::NoTimerRunsWhileHidden(h));
}

}  // namespace
}  // namespace pinora
