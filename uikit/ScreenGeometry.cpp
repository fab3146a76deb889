#include "ScreenGeometry.h"

#include <algorithm>
#include <cstdint>

namespace uikit {
namespace {

// Squared distance between two rectangles (0 when they touch or overlap).
std::int64_t DistanceSquared(const Rect& a, const Rect& b) {
    const std::int64_t dx = std::max({0, b.left - a.right, a.left - b.right});
    const std::int64_t dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

std::int64_t Area(const Rect& r) {
    return r.Empty() ? 0 : static_cast<std::int64_t>(r.Width()) * r.Height();
}

// Index of the rectangle (of each monitor, as `pick` chooses it) that overlaps r
// most, else the closest one.
template <class Pick>
int Nearest(const Rect& r, const Monitors& monitors, Pick pick) {
    int best = -1;
    std::int64_t bestOverlap = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const std::int64_t overlap = Area(Intersection(r, pick(monitors[i])));
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = static_cast<int>(i);
        }
    }
    if (best >= 0) return best;
    std::int64_t bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const std::int64_t d = DistanceSquared(r, pick(monitors[i]));
        if (best < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

Rect Intersection(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return r.Empty() ? Rect{} : r;
}

bool IsReachable(const Rect& window, const Monitors& monitors) {
    const Rect grip{window.left, window.top, window.right, window.top + std::min(kTitleGripHeight, window.Height())};
    const int needWidth = std::min(kTitleGripMinWidth, window.Width());
    for (const Monitor& m : monitors) {
        if (m.work.Contains(window.left, window.top)) return true;
        const Rect onArea = Intersection(grip, m.work);
        if (!onArea.Empty() && onArea.Height() == grip.Height() && onArea.Width() >= needWidth) return true;
    }
    return false;
}

int NearestMonitor(const Rect& r, const Monitors& monitors) {
    return Nearest(r, monitors, [](const Monitor& m) { return m.work; });
}

int MonitorAt(int x, int y, const Monitors& monitors) {
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].bounds.Contains(x, y)) return static_cast<int>(i);
    return Nearest(Rect{x, y, x + 1, y + 1}, monitors, [](const Monitor& m) { return m.bounds; });
}

Rect FitInside(const Rect& r, const Rect& area) {
    const int width = std::min(r.Width(), area.Width());
    const int height = std::min(r.Height(), area.Height());
    const int left = Clamp(r.left, area.left, area.right - width);
    const int top = Clamp(r.top, area.top, area.bottom - height);
    return Rect{left, top, left + width, top + height};
}

Rect PlaceOnScreen(const Rect& window, const Monitors& monitors) {
    if (monitors.empty() || IsReachable(window, monitors)) return window;
    return FitInside(window, monitors[static_cast<size_t>(NearestMonitor(window, monitors))].work);
}

bool CoversMonitor(const Rect& window, const Rect& monitor) {
    return !monitor.Empty() && window.left <= monitor.left && window.top <= monitor.top &&
           window.right >= monitor.right && window.bottom >= monitor.bottom;
}

Rect StackedPopupRect(const Monitor& monitor, const PopupStack& stack, int slot) {
    const Rect& work = monitor.work;
    const int width = std::max(0, std::min(stack.width, work.Width()));
    const int height = std::max(0, std::min(stack.height, work.Height()));
    // Slot 0 as far down and right as the monitor's margins allow, never over
    // the taskbar of a work area that ends sooner.
    const int firstTop = std::max(work.top, std::min(monitor.bounds.bottom - stack.bottomLift, work.bottom) - height);
    const int firstLeft = std::max(work.left, std::min(monitor.bounds.right - stack.rightMargin, work.right) - width);
    const int rowStep = height + stack.gap;
    const int columnStep = width + stack.rightMargin;
    const int perColumn = rowStep > 0 ? std::max(1, (firstTop - work.top) / rowStep + 1) : 1;
    const int columns = columnStep > 0 ? std::max(1, (firstLeft - work.left) / columnStep + 1) : 1;
    slot = std::max(0, slot);
    const int row = slot % perColumn;
    const int column = (slot / perColumn) % columns;
    const int top = firstTop - row * rowStep;
    const int left = firstLeft - column * columnStep;
    return Rect{left, top, left + width, top + height};
}

}  // namespace uikit
