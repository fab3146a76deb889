#include "RestReminder.h"

#include <utility>

#include "DoRoRazIds.h"
#include "ResourceLibrary.h"
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

RestReminder::RestReminder(RestPeriod::ActivitySource lastActiveTick) : period_(std::move(lastActiveTick)) {}

RestPeriod::Outcome RestReminder::Check() {
    const RestPeriod::Outcome outcome = period_.Tick(ReadRestSettings());
    if (outcome.remind) Remind(outcome.actions);
    return outcome;
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
