#include "RestLogic.h"

#include <gtest/gtest.h>

#include "Clock.h"

namespace pinora {
namespace {

constexpr std::uint32_t kSecond = 1000;
constexpr std::uint32_t kTimerMs = 30 * kSecond;

// A user at the keyboard: the clock and the last input tick move together
// unless the test makes a pause.
class RestPeriodTest : public ::testing::Test {
protected:
    void SetUp() override { SetClock(&clock); }
    void TearDown() override { SetClock(nullptr); }

    void At(std::uint32_t tick, bool active = true) {
        clock.SetTicks(tick);
        if (active) lastInput = tick;
    }
    // Runs timer ticks of 30 s with continuous input until a reminder; returns
    // the minutes it took, or -1 within the limit.
    int MinutesUntilReminder(const RestSettings& s, int limitMinutes = 300) {
        const std::uint32_t begin = clock.TickCount();
        for (std::uint32_t t = begin + kTimerMs; t - begin <= limitMinutes * kMinuteMs; t += kTimerMs) {
            At(t);
            if (period.Tick(s).remind) return static_cast<int>((t - begin) / kMinuteMs);
        }
        return -1;
    }
    static RestSettings Settings(const char* eachTime, const char* checkRest = "1") {
        RestSettings s;
        s.eachTime = eachTime;
        s.checkRest = checkRest;
        return s;
    }

    ManualClock clock{LocalTime{}, 1'000'000};
    std::uint32_t lastInput = 1'000'000;
    Presence presence = Presence::Here;
    int presenceAsked = 0;
    RestPeriod period{[this] { return lastInput; },
                      [this] {
                          ++presenceAsked;
                          return presence;
                      }};
};

TEST_F(RestPeriodTest, ContinuousWorkIsRemindedEveryPeriod) {
    period.Start();
    EXPECT_EQ(period.WorkStartTick(), 1'000'000u);
    RestSettings s = Settings("45");
    EXPECT_EQ(MinutesUntilReminder(s), 45);
    EXPECT_EQ(period.WorkStartTick(), clock.TickCount());  // a new period from the reminder on
    EXPECT_EQ(MinutesUntilReminder(s), 45);
}

TEST_F(RestPeriodTest, APauseOfFourMinutesStartsANewPeriod) {
    period.Start();
    RestSettings s = Settings("45");
    At(1'000'000 + 20 * kMinuteMs);
    EXPECT_FALSE(period.Tick(s).restarted);

    // 3 minutes 59 seconds without input: still the same period.
    At(1'000'000 + 20 * kMinuteMs + 3 * kMinuteMs + 59 * kSecond, false);
    RestPeriod::Outcome o = period.Tick(s);
    EXPECT_FALSE(o.restarted);
    EXPECT_EQ(period.WorkStartTick(), 1'000'000u);

    // 4 minutes: the period starts again, and no reminder is given.
    At(1'000'000 + 24 * kMinuteMs, false);
    o = period.Tick(s);
    EXPECT_TRUE(o.restarted);
    EXPECT_FALSE(o.remind);
    EXPECT_EQ(period.WorkStartTick(), 1'000'000u + 24 * kMinuteMs);

    // Away for an hour: every tick restarts it, so the full period counts from the return.
    At(1'000'000 + 84 * kMinuteMs, false);
    EXPECT_TRUE(period.Tick(s).restarted);
    EXPECT_EQ(MinutesUntilReminder(s), 45);
}

TEST_F(RestPeriodTest, PeriodLengthIsWholeMinutesOfEachTime) {
    period.Start();
    EXPECT_EQ(MinutesUntilReminder(Settings("0")), 0);  // every tick
    EXPECT_EQ(MinutesUntilReminder(Settings("")), 0);
    EXPECT_EQ(MinutesUntilReminder(Settings("x")), 0);

    RestSettings s = Settings("150");
    period.Start();
    At(clock.TickCount() + 150 * kMinuteMs - kSecond);
    EXPECT_FALSE(period.Tick(s).remind);  // 149 minutes 59 seconds
    At(clock.TickCount() + kSecond);
    EXPECT_TRUE(period.Tick(s).remind);
}

TEST_F(RestPeriodTest, TicksWrapAroundZero) {
    At(0xFFFFFFFFu - 10 * kMinuteMs);
    period.Start();
    At(0xFFFFFFFFu - kMinuteMs);
    EXPECT_FALSE(period.Tick(Settings("20")).remind);
    At(10 * kMinuteMs + 5);  // 20 minutes later, past the wrap; input just now
    EXPECT_TRUE(period.Tick(Settings("20")).remind);

    // The last input from before the wrap is 3 minutes old, not 71,000 minutes.
    clock.SetTicks(0xFFFFFFFFu - 2 * kMinuteMs);
    period.Start();
    lastInput = 0xFFFFFFFFu - kMinuteMs;
    clock.SetTicks(2 * kMinuteMs);
    EXPECT_FALSE(period.Tick(Settings("45")).restarted);
}

TEST_F(RestPeriodTest, SwitchedOffReminderStillRestartsThePeriodSilently) {
    period.Start();
    RestSettings s = Settings("0", "0");
    s.checkEachTime = "1";
    s.autoWink = "C:\\winks\\bell.ewf";
    s.checkTipWnd = "1";
    s.checkRestDraw = "1";
    At(clock.TickCount() + kTimerMs);
    RestPeriod::Outcome o = period.Tick(s);
    EXPECT_TRUE(o.remind);
    EXPECT_TRUE(o.restarted);
    EXPECT_FALSE(o.actions.playWink);
    EXPECT_FALSE(o.actions.showNotifier);
    EXPECT_FALSE(o.actions.showDrawing);
    EXPECT_EQ(period.WorkStartTick(), clock.TickCount());
}

// A presentation from minute 40 to minute 70 of a 45-minute period.
TEST_F(RestPeriodTest, BusyAcrossTheDueTimeGivesOneReminderAfterItEnds) {
    period.Start();
    const std::uint32_t begin = clock.TickCount();
    RestSettings s = Settings("45");
    int reminders = 0, waitingTicks = 0;
    std::uint32_t remindedAt = 0;
    for (std::uint32_t t = begin + kTimerMs; t <= begin + 100 * kMinuteMs; t += kTimerMs) {
        At(t);
        presence = t - begin >= 40 * kMinuteMs && t - begin < 70 * kMinuteMs ? Presence::Busy : Presence::Here;
        if (t - begin < 45 * kMinuteMs) {
            EXPECT_EQ(presenceAsked, 0) << "asked before anything was due";
        }
        RestPeriod::Outcome o = period.Tick(s);
        if (o.waiting) ++waitingTicks;
        if (o.remind) {
            ++reminders;
            if (remindedAt == 0) remindedAt = t;
            EXPECT_FALSE(o.waiting);
        }
    }
    EXPECT_EQ(remindedAt - begin, 70 * kMinuteMs);  // the first tick the user is free
    EXPECT_EQ(waitingTicks, 50);                     // minutes 45 to 69:30
    EXPECT_EQ(reminders, 1);                         // the next is due at minute 115

    // The screen saver (away) holds it too.
    presence = Presence::Away;
    period.Start();
    EXPECT_EQ(MinutesUntilReminder(s, 60), -1);
    // With the reminder off nothing waits and nobody is asked: the period restarts silently.
    presenceAsked = 0;
    s.checkRest = "0";
    period.Start();
    EXPECT_EQ(MinutesUntilReminder(s), 45);
    EXPECT_EQ(presenceAsked, 0);
}

// Locked at minute 20 (with input up to the lock), the period counts on through
// a lock of 3:59 and starts again after one of 4:00.
TEST_F(RestPeriodTest, ALockOfFourMinutesIsABreakAndOneOf359IsNot) {
    period.Start();
    const std::uint32_t begin = clock.TickCount();
    RestSettings s = Settings("45");
    At(begin + 20 * kMinuteMs);
    EXPECT_TRUE(period.SetAway(RestPeriod::kLocked, true).empty());
    clock.SetTicks(begin + 20 * kMinuteMs + 3 * kMinuteMs + 59 * kSecond);
    EXPECT_TRUE(period.SetAway(RestPeriod::kLocked, false).empty());
    EXPECT_EQ(period.WorkStartTick(), begin);
    // No input since the lock, yet coming back counts: the tick after is work.
    clock.SetTicks(clock.TickCount() + kTimerMs);
    EXPECT_FALSE(period.Tick(s).restarted);
    // Now 24:29 into the period: the first tick at 45 minutes or more is 21 minutes
    // away, so the lock counted as work.
    EXPECT_EQ(MinutesUntilReminder(s), 21);

    const std::uint32_t lockAt = clock.TickCount() + kTimerMs;
    At(lockAt);
    period.SetAway(RestPeriod::kLocked, true);
    // Ticks while locked remind nobody and ask nobody.
    presenceAsked = 0;
    for (int i = 1; i < 8; ++i) {
        clock.SetTicks(lockAt + i * kTimerMs);
        RestPeriod::Outcome o = period.Tick(Settings("0"));
        EXPECT_FALSE(o.remind || o.restarted);
        EXPECT_TRUE(o.waiting);
    }
    EXPECT_EQ(presenceAsked, 0);
    clock.SetTicks(lockAt + 4 * kMinuteMs);
    const std::vector<RestEvent> back = period.SetAway(RestPeriod::kLocked, false);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(back[0].isBreak);
    EXPECT_EQ(back[0].breakMinutes, 4);
    EXPECT_EQ(period.WorkStartTick(), lockAt + 4 * kMinuteMs);
    clock.SetTicks(clock.TickCount() + kTimerMs);
    RestPeriod::Outcome after = period.Tick(s);
    EXPECT_FALSE(after.restarted);  // no second break found by the ticks
    EXPECT_TRUE(after.record.empty());
    EXPECT_EQ(MinutesUntilReminder(s), 44);  // 45 from the unlock, half a minute ago
}

TEST_F(RestPeriodTest, AbsencesThatOverlapAreOneBreak) {
    period.Start();
    const std::uint32_t begin = clock.TickCount();
    RestSettings s = Settings("45");
    At(begin + 10 * kMinuteMs);
    period.Tick(s);
    // Five minutes without input (found by the ticks), then the screen locks,
    // the machine sleeps, wakes on the lock screen and is unlocked.
    for (std::uint32_t t = begin + 10 * kMinuteMs + kTimerMs; t <= begin + 15 * kMinuteMs; t += kTimerMs) {
        clock.SetTicks(t);
        period.Tick(s);
    }
    EXPECT_TRUE(period.SetAway(RestPeriod::kLocked, true).empty());
    clock.SetTicks(begin + 16 * kMinuteMs);
    EXPECT_TRUE(period.SetAway(RestPeriod::kAsleep, true).empty());
    clock.SetTicks(begin + 76 * kMinuteMs);
    EXPECT_TRUE(period.SetAway(RestPeriod::kAsleep, false).empty());  // still locked
    clock.SetTicks(begin + 77 * kMinuteMs);
    const std::vector<RestEvent> back = period.SetAway(RestPeriod::kLocked, false);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].workedMinutes, 10);
    EXPECT_EQ(back[0].breakMinutes, 67);
    clock.SetTicks(clock.TickCount() + kTimerMs);
    EXPECT_TRUE(period.Tick(s).record.empty());
}

TEST_F(RestPeriodTest, TheRecordHasEachReminderAndEachPauseFoundByTheTicks) {
    period.Start();
    const std::uint32_t begin = clock.TickCount();
    RestSettings s = Settings("45");
    At(begin + 10 * kMinuteMs);
    period.Tick(s);
    // Six minutes without input; the ticks last see the pause at 16:00.
    for (std::uint32_t t = begin + 10 * kMinuteMs + kTimerMs; t <= begin + 16 * kMinuteMs; t += kTimerMs) {
        clock.SetTicks(t);
        EXPECT_TRUE(period.Tick(s).record.empty());
    }
    At(begin + 16 * kMinuteMs + 20 * kSecond);
    clock.SetTicks(begin + 16 * kMinuteMs + kTimerMs);
    RestPeriod::Outcome o = period.Tick(s);
    ASSERT_EQ(o.record.size(), 1u);
    EXPECT_TRUE(o.record[0].isBreak);
    EXPECT_EQ(o.record[0].workedMinutes, 10);
    EXPECT_EQ(o.record[0].breakMinutes, 6);

    for (std::uint32_t t = clock.TickCount() + kTimerMs;; t += kTimerMs) {
        At(t);
        o = period.Tick(s);
        if (o.remind) break;
        EXPECT_TRUE(o.record.empty());
    }
    ASSERT_EQ(o.record.size(), 1u);
    EXPECT_FALSE(o.record[0].isBreak);
    EXPECT_EQ(o.record[0].workedMinutes, 45);
}

TEST(RestReminderPlan, EachWayHasItsOwnSwitch) {
    RestSettings s;
    s.checkRest = "1";
    s.checkEachTime = "1";
    s.autoWink = "bell.ewf";
    s.checkTipWnd = "1";
    s.checkRestDraw = "1";
    RestActions a = PlanReminder(s);
    EXPECT_TRUE(a.playWink);
    EXPECT_EQ(a.winkFile, "bell.ewf");
    EXPECT_TRUE(a.showNotifier);
    EXPECT_TRUE(a.showDrawing);

    s.autoWink = "";  // no wink file: nothing to play
    EXPECT_FALSE(PlanReminder(s).playWink);
    s.autoWink = "bell.ewf";
    s.checkEachTime = "0";
    EXPECT_FALSE(PlanReminder(s).playWink);

    // "check_rest" must be exactly "1".
    for (const char* off : {"", "0", "Y", "11", " 1"}) {
        s.checkRest = off;
        RestActions none = PlanReminder(s);
        EXPECT_FALSE(none.playWink || none.showNotifier || none.showDrawing) << "check_rest=" << off;
    }
}

TEST(RestReminderPlan, NotifierAndDrawingFlagsAreOneAndNothingElse) {
    RestSettings s;
    s.checkRest = "1";
    s.checkTipWnd = "1";
    EXPECT_TRUE(PlanReminder(s).showNotifier);
    EXPECT_FALSE(PlanReminder(s).showDrawing);
    for (const char* off : {"", "0", "Y", "1 "}) {
        s.checkTipWnd = off;
        EXPECT_FALSE(PlanReminder(s).showNotifier) << "check_tip_wnd=" << off;
    }
    s.checkRestDraw = "1 ";
    EXPECT_FALSE(PlanReminder(s).showDrawing);
}

TEST(TaskbarEdge, JudgedFromTheWorkAreaAgainstTheScreen) {
    EXPECT_EQ(FindTaskbarEdge({0, 0, 1280, 760}, 1280, 800), TaskbarEdge::Bottom);
    EXPECT_EQ(FindTaskbarEdge({0, 40, 1280, 800}, 1280, 800), TaskbarEdge::Top);
    EXPECT_EQ(FindTaskbarEdge({60, 0, 1280, 800}, 1280, 800), TaskbarEdge::Left);
    EXPECT_EQ(FindTaskbarEdge({0, 0, 1220, 800}, 1280, 800), TaskbarEdge::Right);
    EXPECT_EQ(FindTaskbarEdge({0, 0, 1280, 800}, 1280, 800), TaskbarEdge::Bottom);  // hidden taskbar
}

TEST(TaskbarEdge, ATaskbarOverAWholeScreenWorkAreaIsLeftOut) {
    const ScreenRect screen{0, 0, 1280, 800};
    const ScreenRect bottom{0, 780, 1280, 800}, top{0, 0, 1280, 30}, left{0, 0, 60, 800}, right{1220, 0, 1280, 800};
    ScreenRect w = WorkAreaBesideTaskbar(screen, 1280, 800, &bottom);
    EXPECT_EQ(w.bottom, 780);
    EXPECT_EQ(FindTaskbarEdge(w, 1280, 800), TaskbarEdge::Bottom);
    w = WorkAreaBesideTaskbar(screen, 1280, 800, &top);
    EXPECT_EQ(w.top, 30);
    EXPECT_EQ(FindTaskbarEdge(w, 1280, 800), TaskbarEdge::Top);
    EXPECT_EQ(FindTaskbarEdge(WorkAreaBesideTaskbar(screen, 1280, 800, &left), 1280, 800), TaskbarEdge::Left);
    EXPECT_EQ(FindTaskbarEdge(WorkAreaBesideTaskbar(screen, 1280, 800, &right), 1280, 800), TaskbarEdge::Right);

    // A work area the system already shrank is taken as it is; so is a bar off the screen.
    const ScreenRect shrunk{0, 0, 1280, 760};
    EXPECT_EQ(WorkAreaBesideTaskbar(shrunk, 1280, 800, &bottom).bottom, 760);
    const ScreenRect hidden{0, 800, 1280, 840};
    EXPECT_EQ(WorkAreaBesideTaskbar(screen, 1280, 800, &hidden).bottom, 800);
    EXPECT_EQ(WorkAreaBesideTaskbar(screen, 1280, 800, nullptr).bottom, 800);
}

TEST(TaskbarEdge, OnAMonitorLeftOfThePrimaryTheEdgeIsItsOwn) {
    const ScreenRect left{-1280, 100, 0, 1124};
    // The taskbar stands on the primary: this monitor has none, the note comes up from its bottom.
    const ScreenRect primaryBar{0, 1040, 1920, 1080};
    EXPECT_EQ(WorkAreaBesideTaskbar(left, left, &primaryBar).bottom, 1124);
    EXPECT_EQ(FindTaskbarEdge(left, left), TaskbarEdge::Bottom);
    // A taskbar of its own along its right edge, work area shrunk by the system or not.
    const ScreenRect ownBar{-60, 100, 0, 1124};
    const ScreenRect beside = WorkAreaBesideTaskbar(left, left, &ownBar);
    EXPECT_EQ(beside.right, -60);
    EXPECT_EQ(FindTaskbarEdge(beside, left), TaskbarEdge::Right);
    EXPECT_EQ(FindTaskbarEdge(ScreenRect{-1280, 140, 0, 1124}, left), TaskbarEdge::Top);
    EXPECT_EQ(FindTaskbarEdge(ScreenRect{-1220, 100, 0, 1124}, left), TaskbarEdge::Left);
}

struct SlideCase {
    TaskbarEdge edge;
    ScreenRect work;
    ScreenPoint start, shown;
    int steps;
};

TEST(NotifierMotion, SlidesTwoPixelsAStepFromTheTaskbarEdgeAndBack) {
    const int w = 200, h = 120;
    const SlideCase cases[] = {
        {TaskbarEdge::Bottom, {0, 0, 1280, 760}, {1080, 760}, {1080, 640}, 60},
        {TaskbarEdge::Top, {0, 40, 1280, 800}, {1080, -80}, {1080, 40}, 60},
        {TaskbarEdge::Left, {60, 0, 1280, 800}, {-140, 680}, {60, 680}, 100},
        {TaskbarEdge::Right, {0, 0, 1220, 800}, {1220, 680}, {1020, 680}, 100},
    };
    for (const SlideCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.edge));
        NotifierMotion m = NotifierMotion::Plan(c.edge, c.work, w, h, 500, 500);
        ASSERT_TRUE(m.Valid());
        EXPECT_EQ(m.start, c.start);
        EXPECT_EQ(m.shown, c.shown);
        EXPECT_EQ(m.steps, c.steps);
        EXPECT_EQ(m.appearPeriodMs, 500 / c.steps);
        EXPECT_EQ(m.hidePeriodMs, 500 / c.steps);

        ScreenPoint at = m.start;
        int stepsIn = 1;
        while (!m.StepIn(at)) ++stepsIn;
        EXPECT_EQ(stepsIn, c.steps);
        EXPECT_EQ(at, c.shown);
        int stepsOut = 1;
        while (!m.StepOut(at)) ++stepsOut;
        EXPECT_EQ(stepsOut, c.steps);
        EXPECT_EQ(at, c.start);
    }
}

TEST(NotifierMotion, OddSizesEndExactlyAndMissingSkinsDoNotSlide) {
    NotifierMotion m = NotifierMotion::Plan(TaskbarEdge::Bottom, {0, 0, 1280, 760}, 151, 101, 500, 1000);
    EXPECT_EQ(m.steps, 50);
    EXPECT_EQ(m.hidePeriodMs, 20);
    ScreenPoint at = m.start;
    int n = 1;
    while (!m.StepIn(at)) ++n;
    EXPECT_EQ(n, 51);  // the last step is one pixel
    EXPECT_EQ(at, (ScreenPoint{1129, 659}));

    // No bitmap, no size: nothing to divide the times by.
    EXPECT_FALSE(NotifierMotion::Plan(TaskbarEdge::Bottom, {0, 0, 1280, 760}, 0, 0, 500, 500).Valid());
    EXPECT_EQ(NotifierMotion::Plan(TaskbarEdge::Left, {60, 0, 1280, 800}, 1, 40, 500, 500).steps, 1);
}

}  // namespace
}  // namespace pinora
