#include "Handles.h"
#include "MessageBox.h"

#include <gtest/gtest.h>

namespace {

bool HandleIsOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

TEST(Handles, CloseOnResetAndDestructionButNotAfterRelease) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        uikit::UniqueKernelHandle owner(raw);
        EXPECT_TRUE(owner);
        EXPECT_TRUE(HandleIsOpen(raw));
    }
    EXPECT_FALSE(HandleIsOpen(raw));

    HANDLE kept = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        uikit::UniqueKernelHandle owner(kept);
        EXPECT_EQ(owner.release(), kept);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(HandleIsOpen(kept));
    CloseHandle(kept);
}

TEST(Handles, MoveTransfersOwnershipOnce) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uikit::UniqueKernelHandle a(raw);
    uikit::UniqueKernelHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), raw);
    uikit::UniqueKernelHandle c;
    c = std::move(b);
    EXPECT_TRUE(HandleIsOpen(raw));
    c.reset();
    EXPECT_FALSE(HandleIsOpen(raw));
}

TEST(Handles, FileOwnerTreatsInvalidHandleAsEmpty) {
    uikit::UniqueFile f(CreateFileA("Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(f);
}

TEST(Handles, GlobalAtomIsDeletedWithItsOwner) {
    const char* name = "Pinora handles test atom";
    {
        uikit::UniqueGlobalAtom atom(GlobalAddAtomA(name));
        ASSERT_TRUE(atom);
        EXPECT_EQ(GlobalFindAtomA(name), atom.get());
    }
    EXPECT_EQ(GlobalFindAtomA(name), 0);
}

TEST(Handles, WindowAndMenuOwnersDestroyThem) {
    HMENU menu = CreatePopupMenu();
    HWND wnd = CreateWindowA("STATIC", "t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(menu && wnd);
    {
        uikit::UniqueMenu m(menu);
        uikit::UniqueHwnd w(wnd);
    }
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IsWindow(wnd));
}

int g_calls = 0;
int RecordingBox(HWND, const char* text, const char* caption, UINT) {
    ++g_calls;
    return (std::string(text) == "question" && std::string(caption) == "cap") ? IDYES : IDNO;
}

TEST(MessageBoxSeam, ReplacedHandlerSeesTextAndCaptionAndGivesTheAnswer) {
    auto old = uikit::SetMessageBoxHandler(RecordingBox);
    EXPECT_EQ(uikit::ShowMessageBox(nullptr, "question", "cap", MB_YESNO), IDYES);
    EXPECT_EQ(uikit::ShowMessageBox(nullptr, nullptr, nullptr, MB_OK), IDNO);
    EXPECT_EQ(g_calls, 2);
    uikit::SetMessageBoxHandler(old);
}

}  // namespace
