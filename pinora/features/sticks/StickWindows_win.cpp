#include "StickWindows.h"

#include <algorithm>
#include <cstdlib>

#include "AlarmEffects.h"
#include "AlarmStore.h"
#include "App.h"
#include "DamagedTables.h"
#include "DayFiles.h"
#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "Presence.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "StickErrors.h"
#include "StoredNumber.h"

namespace pinora {

std::string UserSticksFolder() {
    if (!App().bLoggedIn || App().szCurrentUser[0] == '\0') return "";
    const DayFiles files = MakeDayFiles(CurrentClock().Now(), ProgramFolder(), App().szCurrentUser);
    CreateDirectoryA((ProgramFolder() + App().szCurrentUser).c_str(), nullptr);
    CreateDirectoryA(files.userDataDir.c_str(), nullptr);
    return files.userDataDir + "sticks\\";
}

StickWindows::StickWindows(HWND mainWindow, HMENU mainMenu)
    : main_(mainWindow), menu_(mainMenu), editor_(UserSticksFolder) {
    editor_.SetStickChangedHandler([this](int record) { ForgetPopupsOf(record); });
}

StickWindows::~StickWindows() {
    today_.Destroy();
    for (auto& popup : popups_) popup->Destroy();  // a checked "remind me again" still snoozes
    editor_.Destroy();
}

HWND StickWindows::OpenNewStickEditor(HWND notify) {
    if (!editor_.CreateEditor(main_)) return nullptr;
    editor_.OpenForNewStick(notify);
    return editor_.hwnd();
}

HWND StickWindows::EditorWindow() const { return editor_.IsWindowAlive() ? editor_.hwnd() : nullptr; }

namespace {

// Asked only when a pop-up is about to come, so a pass with nothing due asks nothing.
bool PopupsComeQuietly() {
    const Presence presence = CurrentPresence();
    return presence == Presence::Away || (presence == Presence::Busy && QuietWhenBusy());
}

// The today window's remembered place: "[SETTINGS] today_x" and "today_y".
bool SavedTodayPlace(POINT& at) {
    const std::string x = ReadSetting("SETTINGS", "today_x", 12), y = ReadSetting("SETTINGS", "today_y", 12);
    if (x.empty() || y.empty()) return false;
    at = POINT{SettingNumber(x), SettingNumber(y)};
    return true;
}

void SaveTodayPlace(POINT at) {
    WriteSetting(std::to_string(at.x).c_str(), "SETTINGS", "today_x");
    WriteSetting(std::to_string(at.y).c_str(), "SETTINGS", "today_y");
}

}  // namespace

bool StickWindows::RunAlarmCheck(const std::function<void()>& stopTimer, const LocalTime* missedSince) {
    const std::string folder = UserSticksFolder();
    if (folder.empty()) return true;
    const std::string alarmPath = folder + kAlarmTableName;
    const AlarmPassResult pass = CheckAlarms(alarmPath, missedSince);
    if (pass.tableDamaged) ReportDamagedTable(alarmPath);
    const bool quiet = !pass.events.empty() && PopupsComeQuietly();
    if (quiet) OutputDebugStringA("Pinora: alarm pop-ups come quietly\n");
    bool winkPlayed = false;
    for (const AlarmEvent& event : pass.events) {
        ShowAlarm(event, !winkPlayed, quiet);
        winkPlayed = true;
    }
    RefreshTodayIfStale(pass.statesChanged);
    if (pass.readErrors > 0) {
        // One box per pass, however many fields failed; no tick runs meanwhile.
        if (stopTimer) stopTimer();
        uikit::ShowMessageBox(main_, LoadResString(IDS_ALARM_READ_ERROR).c_str(),
                              LoadResString(IDS_STICK_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void StickWindows::ReportDamagedTable(const std::string& path) {
    if (!FirstReportOfDamage(path)) return;
    uikit::ShowMessageBox(main_, DamagedTableMessage(path).c_str(), LoadResString(IDS_STICK_CAPTION).c_str(),
                          MB_OK | MB_ICONWARNING);
}

void StickWindows::RefreshTodayIfStale(bool statesChanged) {
    if (!today_.IsAlive()) return;
    const LocalTime now = CurrentClock().Now();
    // A new day lists other sticks; a finished alarm leaves the list of live ones.
    if (statesChanged || today_.BuiltForDate() != DateNumber(now.year, now.month, now.day)) RebuildToday();
}

void StickWindows::ShowAlarm(const AlarmEvent& event, bool playWink, bool quiet) {
    if (event.text.empty()) return;
    const std::string folder = UserSticksFolder();
    popups_.erase(std::remove_if(popups_.begin(), popups_.end(),
                                 [](const std::unique_ptr<CAlarmDlg>& p) { return !p->IsWindowAlive(); }),
                  popups_.end());
    CAlarmDlg* popup = nullptr;
    for (auto& shown : popups_)
        if (shown->Record() == event.record) popup = shown.get();
    if (!popup) {
        popups_.push_back(std::make_unique<CAlarmDlg>());
        popup = popups_.back().get();
        popup->SetStackSlot(FreeStackSlot());
        popup->SetSnoozedHandler([this] { RebuildToday(); });
    }
    if (!popup->Fill(main_, event.alarm, event.text, event.record, folder + kAlarmTableName, event.outOfDate)) {
        if (!popup->IsWindowAlive()) popups_.pop_back();
        return;
    }
    popup->ShowAndSlide(quiet);
    // The wink plays and the picture stands in the middle of the screen: neither
    // over a presentation. The pop-up holds the same text.
    if (quiet) return;
    if (playWink && std::atoi(ReadSetting("ALERTS", "check_winks", 2).c_str()) != 0) {
        const std::string wink = ReadSetting("ALERTS", "stick_wink", 260);
        if (!wink.empty()) PlayAlarmWink(wink);
    }
    if (ReadSetting("ALERTS", "check_draw", 2) == "1") ShowAlarmDrawing(event.text);
}

void StickWindows::KeepOnScreen() {
    if (today_.IsAlive()) {
        RECT where;
        GetWindowRect(today_.hwnd(), &where);
        today_.MoveTo(POINT{where.left, where.top});
    }
    for (CAlarmDlg* popup : Popups()) popup->KeepOnScreen();
}

int StickWindows::FreeStackSlot() {
    for (int slot = 0;; ++slot) {
        bool taken = false;
        for (auto& popup : popups_)
            if (popup->IsWindowAlive() && popup->StackSlot() == slot) taken = true;
        if (!taken) return slot;
    }
}

std::vector<CAlarmDlg*> StickWindows::Popups() {
    std::vector<CAlarmDlg*> alive;
    for (auto& popup : popups_)
        if (popup->IsWindowAlive()) alive.push_back(popup.get());
    return alive;
}

CAlarmDlg& StickWindows::Popup() {
    if (popups_.empty()) popups_.push_back(std::make_unique<CAlarmDlg>());
    return *popups_.back();
}

void StickWindows::ForgetPopupsOf(int record) {
    for (auto& popup : popups_)
        if (popup->IsWindowAlive() && popup->Record() == record) popup->ForgetRecord();
}

bool StickWindows::ToggleToday() {
    if (today_.IsAlive()) {
        today_.Destroy();
        return false;
    }
    CreateToday();
    return today_.IsAlive();
}

void StickWindows::RebuildToday() {
    if (!today_.IsAlive()) return;
    // Built anew where the user left it, not back at the corner.
    RECT where;
    GetWindowRect(today_.hwnd(), &where);
    today_.Destroy();
    CreateToday();
    today_.MoveTo(POINT{where.left, where.top});
}

void StickWindows::CreateToday() {
    const std::string folder = UserSticksFolder();
    // "agent_bmp" is read at each making, so a picture chosen in the settings shows
    // at the next rebuild (the old window and its borrowed picture are gone by now).
    agentLoaded_ = false;
    if (!today_.Create(main_, menu_, Agent(), todayFilter_, folder.empty() ? "" : folder + kAlarmTableName)) return;
    today_.SetMovedHandler(SaveTodayPlace);
    today_.Draw();
    // Where the user left it last time, if that is on a monitor still there;
    // else on the nearest one.
    POINT saved;
    if (SavedTodayPlace(saved)) today_.MoveTo(saved);
}

HBITMAP StickWindows::Agent() {
    if (!agentLoaded_) LoadAgent();
    return agent_.get();
}

void StickWindows::LoadAgent() {
    agentLoaded_ = true;
    const std::string path = ReadSetting("SETTINGS", "agent_bmp", 260);
    // "0" and a key never written both mean the picture of the resource library.
    if (path.empty() || path == "0")
        agent_.reset(static_cast<HBITMAP>(LoadImageA(ResLib(), MAKEINTRESOURCEA(IDB_AGENT), IMAGE_BITMAP, 0, 0, 0)));
    else
        agent_.reset(static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

}  // namespace pinora
