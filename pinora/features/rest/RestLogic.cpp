#include "RestLogic.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

#include "Clock.h"

namespace pinora {
namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

int StepToward(int from, int to) {
    if (from < to) return std::min(from + NotifierMotion::kStep, to);
    if (from > to) return std::max(from - NotifierMotion::kStep, to);
    return from;
}

}  // namespace

RestActions PlanReminder(const RestSettings& s) {
    RestActions a;
    if (s.checkRest != "1") return a;
    a.playWink = std::atoi(s.checkEachTime.c_str()) != 0 && !s.autoWink.empty();
    if (a.playWink) a.winkFile = s.autoWink;
    a.showNotifier = EqualsIgnoringCase(s.checkTipWnd, "1");
    a.showDrawing = s.checkRestDraw == "1";
    return a;
}

RestPeriod::RestPeriod(ActivitySource lastActiveTick) : lastActiveTick_(std::move(lastActiveTick)) {}

void RestPeriod::Start() { workStart_ = CurrentClock().TickCount(); }

RestPeriod::Outcome RestPeriod::Tick(const RestSettings& settings) {
    Outcome out;
    const int period = std::atoi(settings.eachTime.c_str());
    const std::uint32_t now = CurrentClock().TickCount();
    const std::uint32_t lastActive = lastActiveTick_ ? lastActiveTick_() : 0;
    const std::uint32_t idleMinutes = (now - lastActive) / kMinuteMs;
    if (idleMinutes > kIdleMinutesAllowed) {
        // Away: the next period starts when the user is back (within a tick).
        Start();
        out.restarted = true;
        return out;
    }
    const std::uint32_t workedMinutes = (now - workStart_) / kMinuteMs;
    if (static_cast<std::int32_t>(workedMinutes) < period) return out;

    out.remind = true;
    out.actions = PlanReminder(settings);
    Start();
    out.restarted = true;
    return out;
}

ScreenRect WorkAreaBesideTaskbar(const ScreenRect& work, int screenWidth, int screenHeight,
                                 const ScreenRect* taskbar) {
    const bool wholeScreen =
        work.left == 0 && work.top == 0 && work.right == screenWidth && work.bottom == screenHeight;
    if (!wholeScreen || !taskbar) return work;
    const ScreenRect bar{std::max(taskbar->left, 0), std::max(taskbar->top, 0), std::min(taskbar->right, screenWidth),
                         std::min(taskbar->bottom, screenHeight)};
    if (bar.right <= bar.left || bar.bottom <= bar.top) return work;  // off the screen
    ScreenRect beside = work;
    if (bar.right - bar.left == screenWidth) {
        if (bar.top == 0)
            beside.top = bar.bottom;
        else
            beside.bottom = bar.top;
    } else if (bar.bottom - bar.top == screenHeight) {
        if (bar.left == 0)
            beside.left = bar.right;
        else
            beside.right = bar.left;
    }
    return beside;
}

TaskbarEdge FindTaskbarEdge(const ScreenRect& work, int screenWidth, int screenHeight) {
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    if (workWidth < screenWidth) return work.left == 0 ? TaskbarEdge::Right : TaskbarEdge::Left;
    if (workHeight < screenHeight && work.top != 0) return TaskbarEdge::Top;
    return TaskbarEdge::Bottom;
}

NotifierMotion NotifierMotion::Plan(TaskbarEdge edge, const ScreenRect& work, int width, int height, int showMs,
                                    int hideMs) {
    NotifierMotion m;
    m.edge = edge;
    const bool sideways = edge == TaskbarEdge::Left || edge == TaskbarEdge::Right;
    if (width <= 0 || height <= 0) return m;
    // A window one pixel deep still takes one step.
    m.steps = std::max(1, (sideways ? width : height) / kStep);
    m.appearPeriodMs = showMs / m.steps;
    m.hidePeriodMs = hideMs / m.steps;
    switch (edge) {
    case TaskbarEdge::Right:
        m.start = {work.right, work.bottom - height};
        m.shown = {work.right - width, work.bottom - height};
        break;
    case TaskbarEdge::Left:
        m.start = {work.left - width, work.bottom - height};
        m.shown = {work.left, work.bottom - height};
        break;
    case TaskbarEdge::Top:
        m.start = {work.right - width, work.top - height};
        m.shown = {work.right - width, work.top};
        break;
    case TaskbarEdge::Bottom:
        m.start = {work.right - width, work.bottom};
        m.shown = {work.right - width, work.bottom - height};
        break;
    }
    return m;
}

bool NotifierMotion::MoveToward(ScreenPoint& at, ScreenPoint target) const {
    at.x = StepToward(at.x, target.x);
    at.y = StepToward(at.y, target.y);
    return at == target;
}

}  // namespace pinora
