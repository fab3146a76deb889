// Where windows may stand on a desktop of one or more monitors: the arithmetic
// behind every window Pinora places itself or remembers, free of <windows.h> so
// it is tested on the host against any monitor layout (negative coordinates,
// monitors of different sizes, a monitor that is gone).
#pragma once
#include <vector>

namespace uikit {

// A rectangle in virtual-screen pixels; right and bottom are outside it.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// One monitor: its whole rectangle and its work area (without the taskbar).
struct Monitor {
    Rect bounds;
    Rect work;
};
using Monitors = std::vector<Monitor>;

// The strip along a window's top edge a user takes with the mouse to move it,
// and how much of it must be on a work area for that to be possible.
constexpr int kTitleGripHeight = 20;
constexpr int kTitleGripMinWidth = 40;

Rect Intersection(const Rect& a, const Rect& b);

// Whether the user can still reach the window: its top-left corner lies on a
// work area, or a piece of its title strip (kTitleGripHeight high, at least
// kTitleGripMinWidth wide, or the whole width of a narrower window) lies wholly
// on one work area.
bool IsReachable(const Rect& window, const Monitors& monitors);

// The monitor nearest a rectangle: the one whose work area it overlaps most,
// else the one whose work area is closest; -1 when there is none.
int NearestMonitor(const Rect& r, const Monitors& monitors);
// The monitor holding a point (the cursor), else the nearest to it; -1 when none.
int MonitorAt(int x, int y, const Monitors& monitors);

// The rectangle moved the least to lie inside area; its size is kept where it
// fits and cut to the area's where it does not.
Rect FitInside(const Rect& r, const Rect& area);

// Where a window belongs: where it is while it is reachable, else fitted into
// the work area of the nearest monitor. Unchanged when no monitor is known.
Rect PlaceOnScreen(const Rect& window, const Monitors& monitors);

// Whether a window covers the whole of a monitor (full-screen work).
bool CoversMonitor(const Rect& window, const Rect& monitor);

// Where stacked pop-ups rest on a monitor: slot 0 at the lower right corner,
// `bottomLift` above the monitor's bottom and `rightMargin` from its right edge
// (nearer where the work area ends sooner), each further slot one pop-up and a
// gap higher, then a new column to the left once the work area's height is used
// up; columns start again at the right when the width is used up too. Returns
// the rectangle the pop-up rests in.
struct PopupStack {
    int width = 0, height = 0;
    int gap = 10;
    int bottomLift = 30;
    int rightMargin = 5;
};
Rect StackedPopupRect(const Monitor& monitor, const PopupStack& stack, int slot);

}  // namespace uikit
