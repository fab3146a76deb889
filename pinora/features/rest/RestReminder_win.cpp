#include "RestReminder.h"

#include <utility>

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
#include "RestLog.h"
#include "Settings.h"
#include "WinkPlayer.h"

namespace pinora {
namespace {

// Strings of at most 127 characters.
constexpr int kRestStringBuffer = 128;

HBITMAP LoadResBitmap(int id) {
    return static_cast<HBITMAP>(
        LoadImageA(ResLib(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

RestSettings ReadRestSettings() {
    RestSettings s;
    s.eachTime = ReadSetting("ALERTS", "each_time", 4);
    s.checkRest = ReadSetting("ALERTS", "check_rest", 2);
    s.checkEachTime = ReadSetting("ALERTS", "check_each_time", 2);
    s.autoWink = ReadSetting("ALERTS", "auto_wink", 260);
    s.checkTipWnd = ReadSetting("ALERTS", "check_tip_wnd", 2);
    s.checkRestDraw = ReadSetting("ALERTS", "check_rest_draw", 2);
    return s;
}

Presence PresenceForReminders() {
    // The setting is read here, when a reminder is due, not on every tick.
    const Presence presence = CurrentPresence();
    return presence == Presence::Busy && !QuietWhenBusy() ? Presence::Here : presence;
}

RestReminder::RestReminder(RestPeriod::ActivitySource lastActiveTick, RestPeriod::PresenceSource presence)
    : period_(std::move(lastActiveTick), std::move(presence)) {}

RestPeriod::Outcome RestReminder::Check() {
    const RestPeriod::Outcome outcome = period_.Tick(ReadRestSettings());
    if (outcome.remind) Remind(outcome.actions);
    if (outcome.waiting) OutputDebugStringA("Pinora: rest reminder waits\n");
    Record(outcome.record);
    return outcome;
}

void RestReminder::SetAway(RestPeriod::AwayReason reason, bool away) { Record(period_.SetAway(reason, away)); }

void RestReminder::Record(const std::vector<RestEvent>& events) {
    if (events.empty() || !RestLogWanted()) return;
    const std::string path = CurrentUserRestLog();
    const LocalTime now = CurrentClock().Now();
    for (const RestEvent& e : events)
        AppendRestLog(path, RestLogEntry{now, e.isBreak, e.workedMinutes, e.breakMinutes});  // a failure is silent
}

void RestReminder::Remind(const RestActions& actions) {
    if (actions.playWink) PlayWink(actions.winkFile.c_str(), kWinkMovieResource);  // failures are silent
    if (actions.showNotifier) ShowNotifier();
    if (actions.showDrawing) ShowBitmapMessage("");
}

void RestReminder::ShowNotifier() {
    if (!notifier_.IsAlive() && !notifier_.Create(owner_, LoadResBitmap(IDB_REST_NOTIFIER))) return;
    std::string text = ReadSetting("ALERTS", "tip_text", 511);
    if (text.empty()) text = LoadResString(IDS_REST_MESSAGE, kRestStringBuffer);
    notifier_.Show(text, kNotifierShowMs, kNotifierStayMs, kNotifierHideMs);
}

void RestReminder::ShowBitmapMessage(const std::string& text) {
    message_.Show(owner_, LoadResBitmap(IDB_REST_MESSAGE),
                  text.empty() ? LoadResString(IDS_REST_MESSAGE, kRestStringBuffer) : text,
                  LoadResString(IDS_REST_TOOLTIP));
}

void RestReminder::CloseWindows() {
    notifier_.Destroy();
    message_.Destroy();
}

}  // namespace pinora
