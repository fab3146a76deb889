#include "StickWindows.h"

#include <cstdlib>

#include "AlarmEffects.h"
#include "AlarmStore.h"
#include "App.h"
#include "DayFiles.h"
#include "DoRoRazIds.h"
#include "MessageBox.h"
#include "ResourceLibrary.h"
#include "Settings.h"

namespace pinora {

std::string UserSticksFolder() {
    if (!App().bLoggedIn || App().szCurrentUser[0] == '\0') return "";
    const DayFiles files = MakeDayFiles(CurrentClock().Now(), ProgramFolder(), App().szCurrentUser);
    CreateDirectoryA((ProgramFolder() + App().szCurrentUser).c_str(), nullptr);
    CreateDirectoryA(files.userDataDir.c_str(), nullptr);
    return files.userDataDir + "sticks\\";
}

StickWindows::StickWindows(HWND mainWindow, HMENU mainMenu)
    : main_(mainWindow), menu_(mainMenu), editor_(UserSticksFolder) {}

StickWindows::~StickWindows() {
    today_.Destroy();
    popup_.Destroy();
    editor_.Destroy();
}

HWND StickWindows::OpenNewStickEditor(HWND notify) {
    if (!editor_.CreateEditor(main_)) return nullptr;
    editor_.OpenForNewStick(notify);
    return editor_.hwnd();
}

HWND StickWindows::EditorWindow() const { return editor_.IsWindowAlive() ? editor_.hwnd() : nullptr; }

bool StickWindows::RunAlarmCheck() {
    const std::string folder = UserSticksFolder();
    if (folder.empty()) return true;
    const AlarmPassResult pass = CheckAlarms(folder + kAlarmTableName);
    for (const AlarmEvent& event : pass.events) ShowAlarm(event);
    if (pass.readErrors > 0) {
        // One box per pass, however many fields failed.
        uikit::ShowMessageBox(main_, LoadResString(IDS_ALARM_READ_ERROR).c_str(),
                              LoadResString(IDS_STICK_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void StickWindows::ShowAlarm(const AlarmEvent& event) {
    if (event.text.empty()) return;
    const std::string folder = UserSticksFolder();
    if (!popup_.Fill(main_, event.alarm, event.text, event.record, folder + kAlarmTableName)) return;
    popup_.ShowAndSlide();
    if (std::atoi(ReadSetting("ALERTS", "check_winks", 2).c_str()) != 0) {
        const std::string wink = ReadSetting("ALERTS", "stick_wink", 260);
        if (!wink.empty()) PlayAlarmWink(wink);
    }
    if (ReadSetting("ALERTS", "check_draw", 2) == "1") ShowAlarmDrawing(event.text);
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
    today_.Destroy();
    CreateToday();
}

void StickWindows::CreateToday() {
    const std::string folder = UserSticksFolder();
    if (!today_.Create(main_, menu_, Agent(), todayFilter_, folder.empty() ? "" : folder + kAlarmTableName)) return;
    today_.Draw();
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
