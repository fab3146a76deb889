#include "HookCore.h"

#include <gtest/gtest.h>

#include <vector>

namespace pnhook {
namespace {

constexpr std::uint32_t kMinute = 60000;

// Hands out the handles it is told to and remembers what was unhooked.
class FakeHooks : public HookSystem {
public:
    std::uint32_t keyboard = 0x101;
    std::uint32_t mouse = 0x202;
    std::uint32_t tick = 5000;
    std::vector<std::uint32_t> unhooked;

    std::uint32_t InstallKeyboardHook() noexcept override { return keyboard; }
    std::uint32_t InstallMouseHook() noexcept override { return mouse; }
    void Unhook(std::uint32_t hook) noexcept override { unhooked.push_back(hook); }
    std::uint32_t Tick() noexcept override { return tick++; }
};

HookShared Fresh() { return HookShared{}; }

TEST(HookCore, KeyPressesAddTheirGapsAndReleasesOnlyMarkActivity) {
    HookShared s = Fresh();
    NoteKeyEvent(s, 1000, false);  // the first press only starts counting
    EXPECT_EQ(s.dwPrevKeyTick, 1000u);
    EXPECT_EQ(s.dwKeySpan, 0u);
    EXPECT_EQ(s.dwLastActiveTick, 1000u);

    NoteKeyEvent(s, 1400, true);  // release
    EXPECT_EQ(s.dwLastActiveTick, 1400u);
    EXPECT_EQ(s.dwKeySpan, 0u);
    EXPECT_EQ(s.dwPrevKeyTick, 1000u);

    NoteKeyEvent(s, 1500, false);  // auto-repeat and presses count alike
    NoteKeyEvent(s, 1530, false);
    EXPECT_EQ(s.dwKeySpan, 530u);
    EXPECT_EQ(s.dwPrevKeyTick, 1530u);
    EXPECT_EQ(s.dwMouseSpan, 0u);
    EXPECT_EQ(s.dwPrevMouseTick, 0u);
}

TEST(HookCore, MouseEventsCountEveryOneAndKeepTheirOwnSpan) {
    HookShared s = Fresh();
    NoteMouseEvent(s, 200);
    NoteMouseEvent(s, 260);
    NoteMouseEvent(s, 300);
    EXPECT_EQ(s.dwMouseSpan, 100u);
    EXPECT_EQ(s.dwPrevMouseTick, 300u);
    EXPECT_EQ(s.dwLastActiveTick, 300u);
    EXPECT_EQ(s.dwKeySpan, 0u);
}

TEST(HookCore, TickArithmeticWrapsAround) {
    HookShared s = Fresh();
    NoteKeyEvent(s, 0xFFFFFF00u, false);
    NoteKeyEvent(s, 0x100u, false);
    EXPECT_EQ(s.dwKeySpan, 0x200u);

    s.dwMouseSpan = 0xFFFFFFFFu;  // the sum of both spans wraps as well
    s.dwKeySpan = kMinute + 1;
    EXPECT_EQ(ActiveMinutes(s), 1u);
    EXPECT_EQ(s.nActiveMinutes, 1u);
}

TEST(HookCore, ActiveMinutesAddBothSpansAndIgnoreHowLongAPauseWas) {
    HookShared s = Fresh();
    // Two presses an hour apart: the gap is not capped.
    NoteKeyEvent(s, 10, false);
    NoteKeyEvent(s, 10 + 60 * kMinute, false);
    EXPECT_EQ(ActiveMinutes(s), 60u);

    HookShared t = Fresh();
    for (std::uint32_t ms = 1; ms <= 10 * kMinute + 1; ms += kMinute / 2) {
        NoteKeyEvent(t, ms, false);
        NoteMouseEvent(t, ms);
    }
    EXPECT_EQ(ActiveMinutes(t), 20u);
    EXPECT_EQ(t.nActiveMinutes, 20u);
}

TEST(HookCore, InstallSetsHandlesAndTicksButKeepsTheCounters) {
    HookShared s = Fresh();
    s.dwKeySpan = 777;
    s.dwPrevKeyTick = 42;
    FakeHooks hooks;
    EXPECT_EQ(Install(s, 0xABC, hooks), 1);
    EXPECT_EQ(s.hKeyboardHook, 0x101u);
    EXPECT_EQ(s.hMouseHook, 0x202u);
    EXPECT_EQ(s.hWndOwner, 0xABCu);
    EXPECT_EQ(s.dwInstallTick, 5000u);
    EXPECT_EQ(s.dwLastActiveTick, 5001u);  // right after installing: not 0
    EXPECT_EQ(s.dwKeySpan, 777u);
    EXPECT_EQ(s.dwPrevKeyTick, 42u);

    // Installing again without removing replaces the handles, unhooks nothing.
    hooks.keyboard = 0x303;
    hooks.mouse = 0x404;
    EXPECT_EQ(Install(s, 0xABC, hooks), 1);
    EXPECT_EQ(s.hKeyboardHook, 0x303u);
    EXPECT_EQ(s.hMouseHook, 0x404u);
    EXPECT_TRUE(hooks.unhooked.empty());
}

TEST(HookCore, RefusedHooksLeaveNothingInstalled) {
    HookShared s = Fresh();
    FakeHooks hooks;
    hooks.keyboard = 0;
    EXPECT_EQ(Install(s, 0x1, hooks), 0);
    EXPECT_EQ(s.hKeyboardHook, 0u);
    EXPECT_EQ(s.dwLastActiveTick, 0u);
    EXPECT_TRUE(hooks.unhooked.empty());

    // A refused mouse hook takes the keyboard hook away again.
    hooks.keyboard = 0x101;
    hooks.mouse = 0;
    EXPECT_EQ(Install(s, 0x1, hooks), 0);
    EXPECT_EQ(hooks.unhooked, std::vector<std::uint32_t>{0x101u});
    EXPECT_EQ(s.hKeyboardHook, 0u);
    EXPECT_EQ(s.hMouseHook, 0u);
    EXPECT_EQ(s.dwLastActiveTick, 0u);
}

TEST(HookCore, RemoveUnhooksAndClearsAllButOwnerAndInstallTick) {
    HookShared s = Fresh();
    FakeHooks hooks;
    ASSERT_EQ(Install(s, 0xABC, hooks), 1);
    NoteKeyEvent(s, 9000, false);
    NoteKeyEvent(s, 9500, false);
    NoteMouseEvent(s, 9600);
    NoteMouseEvent(s, 9700);
    ActiveMinutes(s);
    s.nActiveMinutes = 3;

    Remove(s, hooks);
    EXPECT_EQ(hooks.unhooked, (std::vector<std::uint32_t>{0x101u, 0x202u}));
    EXPECT_EQ(s.hKeyboardHook, 0u);
    EXPECT_EQ(s.hMouseHook, 0u);
    EXPECT_EQ(s.dwPrevKeyTick, 0u);
    EXPECT_EQ(s.dwPrevMouseTick, 0u);
    EXPECT_EQ(s.dwKeySpan, 0u);
    EXPECT_EQ(s.dwMouseSpan, 0u);
    EXPECT_EQ(s.nActiveMinutes, 0u);
    EXPECT_EQ(s.dwLastActiveTick, 0u);
    EXPECT_EQ(s.hWndOwner, 0xABCu);
    EXPECT_EQ(s.dwInstallTick, 5000u);

    // After a reset the first event of each kind only starts counting again.
    NoteKeyEvent(s, 20000, false);
    EXPECT_EQ(s.dwKeySpan, 0u);

    hooks.unhooked.clear();
    HookShared none = Fresh();
    Remove(none, hooks);
    EXPECT_TRUE(hooks.unhooked.empty());
}

}  // namespace
}  // namespace pnhook
