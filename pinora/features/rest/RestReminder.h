// The rest reminder the main window runs on each tick of its 30-second timer,
// after the alarm check: it follows the work period and, when it is over, plays
// the rest wink, slides the taskbar notifier in and shows the bitmap message
// window, each as the settings of section "ALERTS" ask. It owns both windows;
// the bitmap message window also serves the alarms and the settings' sample.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "BitmapMessageWnd.h"
#include "Presence.h"
#include "RestLogic.h"
#include "TaskbarNotifier.h"

namespace pinora {

// The notifier's slide times.
constexpr int kNotifierShowMs = 500;
constexpr int kNotifierStayMs = 10000;
constexpr int kNotifierHideMs = 500;

// Section "ALERTS" as the rest check reads it.
RestSettings ReadRestSettings();
// Whether a due reminder may interrupt: CurrentPresence, with Busy taken for
// Here while "[ALERTS] quiet_when_busy" is "0".
Presence PresenceForReminders();

class RestReminder {
public:
    // lastActiveTick: the tick of the last input anywhere on the desktop;
    // presence: whether the user is busy or away, asked when a reminder is due.
    explicit RestReminder(RestPeriod::ActivitySource lastActiveTick,
                          RestPeriod::PresenceSource presence = PresenceForReminders);
    RestReminder(const RestReminder&) = delete;
    RestReminder& operator=(const RestReminder&) = delete;

    // The window that owns the notifier and the message window and hears the
    // notifier's click (message 0x8E11).
    void SetOwner(HWND owner) { owner_ = owner; }
    // A new work period begins now.
    void StartPeriod() { period_.Start(); }
    // One tick of timer 10. Returns what the tick decided.
    RestPeriod::Outcome Check();
    // The session was locked or unlocked, the machine went to sleep or woke.
    void SetAway(RestPeriod::AwayReason reason, bool away);
    // The displays changed: a notifier that is out moves to where it belongs.
    void KeepOnScreen() { notifier_.KeepOnScreen(); }
    // The reminder itself, as the settings ask for it now.
    void Remind(const RestActions& actions);

    // The bitmap message window with text; an empty text shows the rest message.
    void ShowBitmapMessage(const std::string& text);
    // The notifier was clicked: it goes away (the next reminder makes a new one).
    void CloseNotifier() { notifier_.Destroy(); }
    // Both windows go (the owner is being destroyed).
    void CloseWindows();

    RestPeriod& Period() { return period_; }
    const CTaskbarNotifier& Notifier() const { return notifier_; }
    const CBitmapMessageWnd& MessageWindow() const { return message_; }

private:
    void ShowNotifier();
    // Into the user's break record, when "[ALERTS] rest_log" asks for it.
    static void Record(const std::vector<RestEvent>& events);

    HWND owner_ = nullptr;
    RestPeriod period_;
    CTaskbarNotifier notifier_;
    CBitmapMessageWnd message_;
};

}  // namespace pinora
