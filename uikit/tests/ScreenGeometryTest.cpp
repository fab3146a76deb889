#include "ScreenGeometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace uikit {

std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

Rect At(int left, int top, int width, int height) { return Rect{left, top, left + width, top + height}; }

// A taskbar 40 pixels high along the bottom of the primary monitor.
const Monitor kPrimary{At(0, 0, 1920, 1080), At(0, 0, 1920, 1040)};
// Left of the primary, its top lower: every coordinate negative in x.
const Monitor kLeft{At(-1280, 200, 1280, 1024), At(-1280, 200, 1280, 1024)};
// Right of the primary, turned on its side and raised above it.
const Monitor kRightPortrait{At(1920, -400, 1080, 1920), At(1920, -400, 1080, 1920)};

const Monitors kOne{kPrimary};
const Monitors kTwo{kPrimary, kLeft};
const Monitors kThree{kPrimary, kLeft, kRightPortrait};

TEST(ScreenGeometry, ReachableWindowsStayWhereTheyAre) {
    const Rect onLeft = At(-1200, 300, 400, 300);
    EXPECT_EQ(PlaceOnScreen(onLeft, kTwo), onLeft);
    const Rect acrossTwo = At(-200, 400, 600, 300);
    EXPECT_EQ(PlaceOnScreen(acrossTwo, kTwo), acrossTwo);
    const Rect onPortrait = At(2000, -350, 300, 300);  // above the primary's top, on the third
    EXPECT_EQ(PlaceOnScreen(onPortrait, kThree), onPortrait);
    // Top-left corner off the screen, but enough of the title strip on it to take.
    const Rect hangingLeft = At(-100, 100, 300, 200);
    EXPECT_EQ(PlaceOnScreen(hangingLeft, kOne), hangingLeft);
    // Corner on the work area, the rest far beyond the edge.
    const Rect mostlyOff = At(1900, 1000, 800, 600);
    EXPECT_EQ(PlaceOnScreen(mostlyOff, kOne), mostlyOff);
}

TEST(ScreenGeometry, AWindowNobodyCanReachMovesToTheNearestWorkAreaWithItsSize) {
    // Saved far to the right (x = 5000) of a single monitor.
    EXPECT_EQ(PlaceOnScreen(At(5000, 50, 300, 420), kOne), At(1620, 50, 300, 420));
    // Its title strip above the top edge: the corner is off and so is the strip.
    EXPECT_EQ(PlaceOnScreen(At(500, -15, 400, 300), kOne), At(500, 0, 400, 300));
    // Only 30 pixels of the title strip on the screen: too little to take.
    EXPECT_EQ(PlaceOnScreen(At(-370, 100, 400, 300), kOne), At(0, 100, 400, 300));
    EXPECT_EQ(PlaceOnScreen(At(-360, 100, 400, 300), kOne), At(-360, 100, 400, 300));  // 40 is enough
    // Behind the taskbar: the work area ends 40 pixels above the monitor's bottom.
    EXPECT_EQ(PlaceOnScreen(At(600, 1050, 400, 300), kOne), At(600, 740, 400, 300));
}

TEST(ScreenGeometry, AWindowOnARemovedMonitorComesToTheOneNearestIt) {
    // Left on the left monitor, which is gone.
    const Rect wasOnLeft = At(-900, 600, 500, 400);
    EXPECT_EQ(PlaceOnScreen(wasOnLeft, kTwo), wasOnLeft);
    EXPECT_EQ(PlaceOnScreen(wasOnLeft, kOne), At(0, 600, 500, 400));
    // Left high on the portrait monitor, which is gone: down onto the primary.
    EXPECT_EQ(PlaceOnScreen(At(2200, -300, 300, 200), Monitors{kPrimary, kLeft}), At(1620, 0, 300, 200));
    // In the gap under the left monitor's top (it starts at y = 200): the
    // nearest work area is the left monitor's, straight below.
    EXPECT_EQ(PlaceOnScreen(At(-800, 20, 300, 100), kThree), At(-800, 200, 300, 100));
    // A window larger than what remains keeps what fits.
    EXPECT_EQ(PlaceOnScreen(At(-1280, 200, 1280, 1024), kOne), At(0, 16, 1280, 1024));
    EXPECT_EQ(PlaceOnScreen(At(2000, -400, 1000, 1900), kOne), At(920, 0, 1000, 1040));
}

TEST(ScreenGeometry, NoMonitorsKnownLeavesTheWindowAlone) {
    EXPECT_EQ(PlaceOnScreen(At(5000, 5000, 10, 10), Monitors{}), At(5000, 5000, 10, 10));
    EXPECT_EQ(NearestMonitor(At(0, 0, 10, 10), Monitors{}), -1);
    EXPECT_EQ(MonitorAt(0, 0, Monitors{}), -1);
}

TEST(ScreenGeometry, TheCursorsMonitor) {
    EXPECT_EQ(MonitorAt(10, 10, kThree), 0);
    EXPECT_EQ(MonitorAt(-1, 700, kThree), 1);            // negative coordinates
    EXPECT_EQ(MonitorAt(-1280, 200, kThree), 1);         // its first pixel
    EXPECT_EQ(MonitorAt(0, 1079, kThree), 0);            // on the taskbar is on the monitor
    EXPECT_EQ(MonitorAt(2500, -399, kThree), 2);
    EXPECT_EQ(MonitorAt(-600, 100, kThree), 1);          // in a gap: the nearest
    EXPECT_EQ(MonitorAt(1000, -50, kThree), 0);
}

TEST(ScreenGeometry, FullScreenMeansTheWholeMonitor) {
    EXPECT_TRUE(CoversMonitor(kPrimary.bounds, kPrimary.bounds));
    EXPECT_TRUE(CoversMonitor(At(-8, -8, 1936, 1096), kPrimary.bounds));  // borders beyond the edges
    EXPECT_FALSE(CoversMonitor(kPrimary.work, kPrimary.bounds));          // maximised: not over the taskbar
    EXPECT_FALSE(CoversMonitor(At(0, 0, 1919, 1080), kPrimary.bounds));
    EXPECT_TRUE(CoversMonitor(kLeft.bounds, kLeft.bounds));
    EXPECT_FALSE(CoversMonitor(kLeft.bounds, kPrimary.bounds));
    EXPECT_FALSE(CoversMonitor(At(0, 0, 100, 100), Rect{}));
}

TEST(ScreenGeometry, PopupsStackInsideTheWorkAreaOfTheirMonitor) {
    const PopupStack stack{300, 200, 10, 30, 5};
    // Slot 0 at the lower right: never over the 40-pixel taskbar.
    EXPECT_EQ(StackedPopupRect(kPrimary, stack, 0), At(1615, 840, 300, 200));
    EXPECT_EQ(StackedPopupRect(kPrimary, stack, 1), At(1615, 630, 300, 200));
    // Five fit in a column of 1040 pixels (840, 630, 420, 210, 0); the sixth
    // starts a column to the left.
    EXPECT_EQ(StackedPopupRect(kPrimary, stack, 4), At(1615, 0, 300, 200));
    EXPECT_EQ(StackedPopupRect(kPrimary, stack, 5), At(1310, 840, 300, 200));
    // No taskbar: 30 pixels above the monitor's bottom, as on a plain screen.
    EXPECT_EQ(StackedPopupRect(kLeft, stack, 0), At(-305, 200 + 1024 - 30 - 200, 300, 200));
    // Whatever the slot, inside the work area.
    for (const Monitor& m : kThree) {
        for (int slot = 0; slot < 200; ++slot) {
            const Rect r = StackedPopupRect(m, stack, slot);
            EXPECT_EQ(Intersection(r, m.work), r) << "slot " << slot << " at " << r;
        }
    }
    // A pop-up larger than a tiny work area is cut to it.
    const Monitor tiny{At(0, 0, 200, 150), At(0, 0, 200, 150)};
    EXPECT_EQ(StackedPopupRect(tiny, stack, 3), At(0, 0, 200, 150));
}

}  // namespace
}  // namespace uikit
