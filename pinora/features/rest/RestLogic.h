// The rest reminder's decisions, free of windows: when a work period is over,
// what the reminder then shows, and how the taskbar notifier slides in and out.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace pinora {

constexpr std::uint32_t kMinuteMs = 60000;
// Away longer than this many whole minutes: the work period starts again.
constexpr std::uint32_t kIdleMinutesAllowed = 3;

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

// The work period, measured with the clock in force and the tick of the last
// keyboard or mouse input anywhere on the desktop.
class RestPeriod {
public:
    using ActivitySource = std::function<std::uint32_t()>;
    explicit RestPeriod(ActivitySource lastActiveTick);

    // A new period begins now.
    void Start();
    std::uint32_t WorkStartTick() const { return workStart_; }

    struct Outcome {
        bool remind = false;           // the period was over
        bool restarted = false;        // a new period begins (after a reminder or a pause)
        RestActions actions;           // what the reminder shows
    };
    // One tick of the 30-second timer.
    Outcome Tick(const RestSettings& settings);

private:
    ActivitySource lastActiveTick_;
    std::uint32_t workStart_ = 0;
};

// Notifier geometry, in screen pixels.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
};

// The work area the notifier slides into. Some shells (Wine's virtual desktop)
// report the whole screen while a taskbar stands on it: then the taskbar's own
// rectangle (null when there is none) is left out along the edge it stands at.
ScreenRect WorkAreaBesideTaskbar(const ScreenRect& workArea, int screenWidth, int screenHeight,
                                 const ScreenRect* taskbar);

// The screen edge the notifier comes out of, where the taskbar is.
enum class TaskbarEdge { Top = 1, Left = 2, Right = 3, Bottom = 4 };
TaskbarEdge FindTaskbarEdge(const ScreenRect& workArea, int screenWidth, int screenHeight);

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
