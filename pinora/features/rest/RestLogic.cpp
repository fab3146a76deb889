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

RestPeriod::RestPeriod(ActivitySource lastActiveTick, PresenceSource presence)
    : lastActiveTick_(std::move(lastActiveTick)), presence_(std::move(presence)) {}

void RestPeriod::Start() { workStart_ = CurrentClock().TickCount(); }

std::uint32_t RestPeriod::LastPresence(std::uint32_t now) const {
    const std::uint32_t input = lastActiveTick_ ? lastActiveTick_() : 0;
    if (!cameBack_) return input;
    // The more recent of the two is the fewer milliseconds ago (ticks wrap).
    return now - backAt_ < now - input ? backAt_ : input;
}

namespace {

// Whole minutes worked from the period's start to `until`; 0 when until came first.
int MinutesWorked(std::uint32_t workStart, std::uint32_t until, std::uint32_t now) {
    const std::uint32_t sinceStart = now - workStart, sinceUntil = now - until;
    return sinceStart > sinceUntil ? static_cast<int>((sinceStart - sinceUntil) / kMinuteMs) : 0;
}

}  // namespace

std::vector<RestEvent> RestPeriod::SetAway(AwayReason reason, bool away) {
    std::vector<RestEvent> record;
    const std::uint32_t now = CurrentClock().TickCount();
    const bool wasAway = IsAway();
    if (away)
        awayReasons_ |= reason;
    else
        awayReasons_ &= ~static_cast<unsigned>(reason);
    if (!wasAway && IsAway()) {
        if (onPause_) {
            // Already pausing when the screen locked: one break, from the pause's start.
            awaySince_ = pauseStart_;
            workedBeforeAway_ = workedBeforePause_;
            onPause_ = false;
        } else {
            // Away since the last sign of the user, not only since the lock.
            awaySince_ = LastPresence(now);
            workedBeforeAway_ = MinutesWorked(workStart_, awaySince_, now);
        }
    } else if (wasAway && !IsAway()) {
        const std::uint32_t length = now - awaySince_;
        if (length >= kBreakMs) {
            record.push_back(RestEvent{true, workedBeforeAway_, static_cast<int>(length / kMinuteMs)});
            Start();
        }
        // Unlocking (or waking the machine) is the user's doing: input, in effect.
        backAt_ = now;
        cameBack_ = true;
    }
    return record;
}

bool RestPeriod::MustWait(const RestSettings& settings) const {
    if (settings.checkRest != "1") return false;  // nothing to show: the period restarts silently
    const Presence presence = presence_ ? presence_() : Presence::Here;
    return presence != Presence::Here;
}

RestPeriod::Outcome RestPeriod::Tick(const RestSettings& settings) {
    Outcome out;
    const int period = std::atoi(settings.eachTime.c_str());
    const std::uint32_t now = CurrentClock().TickCount();
    if (IsAway()) {
        // Nobody to remind; the break is judged when the user comes back.
        out.waiting = static_cast<std::int32_t>((now - workStart_) / kMinuteMs) >= period;
        return out;
    }
    const std::uint32_t idle = now - LastPresence(now);
    if (idle >= kBreakMs) {
        // Away: the next period starts when the user is back (within a tick).
        if (!onPause_) {
            onPause_ = true;
            pauseStart_ = now - idle;
            workedBeforePause_ = MinutesWorked(workStart_, pauseStart_, now);
        }
        pauseLastSeen_ = now;
        Start();
        out.restarted = true;
        return out;
    }
    if (onPause_) {
        onPause_ = false;
        out.record.push_back(
            RestEvent{true, workedBeforePause_, static_cast<int>((pauseLastSeen_ - pauseStart_) / kMinuteMs)});
    }
    const std::uint32_t workedMinutes = (now - workStart_) / kMinuteMs;
    if (static_cast<std::int32_t>(workedMinutes) < period) return out;

    if (MustWait(settings)) {
        // The period stays over; the first tick the user is free reminds, once.
        out.waiting = true;
        return out;
    }
    out.remind = true;
    out.actions = PlanReminder(settings);
    if (settings.checkRest == "1") out.record.push_back(RestEvent{false, static_cast<int>(workedMinutes), 0});
    Start();
    out.restarted = true;
    return out;
}

ScreenRect WorkAreaBesideTaskbar(const ScreenRect& work, const ScreenRect& monitor, const ScreenRect* taskbar) {
    const bool wholeMonitor = work.left == monitor.left && work.top == monitor.top && work.right == monitor.right &&
                              work.bottom == monitor.bottom;
    if (!wholeMonitor || !taskbar) return work;
    const ScreenRect bar{std::max(taskbar->left, monitor.left), std::max(taskbar->top, monitor.top),
                         std::min(taskbar->right, monitor.right), std::min(taskbar->bottom, monitor.bottom)};
    if (bar.right <= bar.left || bar.bottom <= bar.top) return work;  // not on this monitor
    ScreenRect beside = work;
    if (bar.right - bar.left == monitor.right - monitor.left) {
        if (bar.top == monitor.top)
            beside.top = bar.bottom;
        else
            beside.bottom = bar.top;
    } else if (bar.bottom - bar.top == monitor.bottom - monitor.top) {
        if (bar.left == monitor.left)
            beside.left = bar.right;
        else
            beside.right = bar.left;
    }
    return beside;
}

TaskbarEdge FindTaskbarEdge(const ScreenRect& work, const ScreenRect& monitor) {
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    if (workWidth < monitor.right - monitor.left)
        return work.left == monitor.left ? TaskbarEdge::Right : TaskbarEdge::Left;
    if (workHeight < monitor.bottom - monitor.top && work.top != monitor.top) return TaskbarEdge::Top;
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
