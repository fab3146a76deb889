// The rest reminder's decisions, free of windows: when a work period is over,
// what the reminder then shows, and how the taskbar notifier slides in and out.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Presence.h"

namespace pinora {

constexpr std::uint32_t kMinuteMs = 60000;
// Away longer than this many whole minutes: the work period starts again.
constexpr std::uint32_t kIdleMinutesAllowed = 3;
// So a pause of this long (4:00) is a break, one a second shorter is not.
constexpr std::uint32_t kBreakMs = (kIdleMinutesAllowed + 1) * kMinuteMs;

// The keys of section "ALERTS" the reminder reads, as read (cut to their buffers).
struct RestSettings {
    std::string eachTime;       // period in minutes, atoi
    std::string checkRest;      // on only when exactly "1"
    std::string checkEachTime;  // atoi not 0: play "auto_wink"
    std::string autoWink;
    std::string checkTipWnd;    // "1" ignoring case: the taskbar notifier
    std::string checkRestDraw;  // exactly "1": the bitmap message window
};

// What one reminder shows; all false while the reminder is switched off.
struct RestActions {
    bool playWink = false;
    std::string winkFile;  // when playWink
    bool showNotifier = false;
    bool showDrawing = false;
};
RestActions PlanReminder(const RestSettings& settings);

// What the break record keeps of a reminder or of a break that ended.
struct RestEvent {
    bool isBreak = false;
    int workedMinutes = 0;  // before the reminder or the break
    int breakMinutes = 0;
};

// The work period, measured with the clock in force and the tick of the last
// keyboard or mouse input anywhere on the desktop. A pause of kBreakMs or more
// starts it again: no input for that long, or the session locked or the machine
// asleep for that long. A reminder that falls due while the user is busy or away
// waits, and comes once at the first tick after.
class RestPeriod {
public:
    using ActivitySource = std::function<std::uint32_t()>;
    // Asked only when a reminder is due. Busy means: do not interrupt (the
    // source says Here when the user lets reminders interrupt a busy screen).
    using PresenceSource = std::function<Presence()>;
    explicit RestPeriod(ActivitySource lastActiveTick, PresenceSource presence = {});

    // A new period begins now.
    void Start();
    std::uint32_t WorkStartTick() const { return workStart_; }

    // Why the user is not at the desk; the reasons come and go independently.
    enum AwayReason : unsigned { kLocked = 1, kAsleep = 2, kSwitchedAway = 4 };
    // The user left or came back. Coming back after kBreakMs or more is a break
    // (returned, for the record) and starts a new period; a shorter absence
    // counts as work, and coming back counts as input.
    std::vector<RestEvent> SetAway(AwayReason reason, bool away);
    bool IsAway() const { return awayReasons_ != 0; }

    struct Outcome {
        bool remind = false;            // the period was over
        bool restarted = false;         // a new period begins (after a reminder or a pause)
        bool waiting = false;           // over, but the reminder waits: the user is busy or away
        RestActions actions;            // what the reminder shows
        std::vector<RestEvent> record;  // for the break record: a break that ended, a reminder given
    };
    // One tick of the 30-second timer.
    Outcome Tick(const RestSettings& settings);

private:
    // The tick of the last sign of the user: input, or coming back.
    std::uint32_t LastPresence(std::uint32_t now) const;
    bool MustWait(const RestSettings& settings) const;

    ActivitySource lastActiveTick_;
    PresenceSource presence_;
    std::uint32_t workStart_ = 0;
    std::uint32_t backAt_ = 0;         // when the user last came back (a sign of presence)
    bool cameBack_ = false;
    // A pause the ticks found (no input for kBreakMs): from its first input-less
    // moment to the last tick that still found it.
    bool onPause_ = false;
    std::uint32_t pauseStart_ = 0;
    std::uint32_t pauseLastSeen_ = 0;
    int workedBeforePause_ = 0;
    // An absence the system told of (locked, asleep).
    unsigned awayReasons_ = 0;
    std::uint32_t awaySince_ = 0;
    int workedBeforeAway_ = 0;
};

// Notifier geometry, in screen pixels.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
};

// The work area the notifier slides into, on a monitor. Some shells (Wine's
// virtual desktop) report the whole monitor while a taskbar stands on it: then
// the taskbar's own rectangle (null when there is none) is left out along the
// edge it stands at, where it stands on this monitor.
ScreenRect WorkAreaBesideTaskbar(const ScreenRect& workArea, const ScreenRect& monitor, const ScreenRect* taskbar);
inline ScreenRect WorkAreaBesideTaskbar(const ScreenRect& workArea, int screenWidth, int screenHeight,
                                        const ScreenRect* taskbar) {
    return WorkAreaBesideTaskbar(workArea, ScreenRect{0, 0, screenWidth, screenHeight}, taskbar);
}

// The monitor edge the notifier comes out of, where the taskbar is.
enum class TaskbarEdge { Top = 1, Left = 2, Right = 3, Bottom = 4 };
TaskbarEdge FindTaskbarEdge(const ScreenRect& workArea, const ScreenRect& monitor);
inline TaskbarEdge FindTaskbarEdge(const ScreenRect& workArea, int screenWidth, int screenHeight) {
    return FindTaskbarEdge(workArea, ScreenRect{0, 0, screenWidth, screenHeight});
}

// How the notifier moves: 2 pixels a step from just outside the work area to
// fully inside it and back.
struct NotifierMotion {
    static constexpr int kStep = 2;

    // Invalid (steps 0) when the window has no size in the direction it moves.
    static NotifierMotion Plan(TaskbarEdge edge, const ScreenRect& workArea, int width, int height,
                               int showMs, int hideMs);
    bool Valid() const { return steps > 0; }

    // One step inward (outward); true once the shown (start) position is reached.
    bool StepIn(ScreenPoint& at) const { return MoveToward(at, shown); }
    bool StepOut(ScreenPoint& at) const { return MoveToward(at, start); }

    TaskbarEdge edge = TaskbarEdge::Bottom;
    ScreenPoint start;   // just outside the work area
    ScreenPoint shown;   // fully inside
    int steps = 0;
    int appearPeriodMs = 0;
    int hidePeriodMs = 0;

private:
    bool MoveToward(ScreenPoint& at, ScreenPoint target) const;
};

}  // namespace pinora
