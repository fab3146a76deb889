// Sync with a CalDAV server and iCalendar files: the main window's side. The
// controller runs nothing while sync is not set up; its worker reaches the
// user's tables only through this window's thread (MWM_SYNCCALL).
#include <windows.h>
#include <commdlg.h>

#include <cstdio>

#include "App.h"
#include "CalendarMessages.h"
#include "DoRoRazIds.h"
#include "FilledText.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "Settings.h"
#include "SettingsDlg.h"
#include "StickEditorMessages.h"
#include "SyncController.h"
#include "SyncPage.h"
#include "MessageBox.h"

namespace pinora {
namespace {

// The user's folder: program folder, user name, backslash; "" with nobody logged in.
std::string UserFolder() {
    if (!App().bLoggedIn || !App().szCurrentUser[0]) return "";
    return ProgramFolder() + App().szCurrentUser + "\\";
}

}  // namespace

void CMainDlg::InitSync() {
    sync_ = std::make_unique<SyncController>(hwnd());
    sync_->SetLocalChanged([this] {
        // What the sync wrote: the today window and an open calendar show it.
        syncApplying_ = true;
        SendMessageA(hwnd(), MWM_STICKSCHANGED, 0, 0);
        syncApplying_ = false;
        if (HWND calendar = CalendarWindow(); calendar && IsWindowVisible(calendar))
            SendMessageA(calendar, CAL_REFRESH, 0, -1);
    });
    sync_->SetStatusChanged([this] {
        if (settings_ && settings_->IsWindowAlive()) settings_->Sync().ShowStatus();
    });
}

void CMainDlg::UpdateSync() {
    if (sync_) sync_->Update(App().bLoggedIn != 0, UserFolder());
}

void CMainDlg::SyncAfterSave() {
    if (sync_ && !syncApplying_) sync_->SoonAfterSave();
}

bool CMainDlg::ChooseIcsFile(bool save, std::string* path) {
    if (icsChooser_) return icsChooser_(save, path);
    // In UTF-8 a path of MAX_PATH characters takes up to three bytes each.
    char file[3 * MAX_PATH + 1] = {};
    if (save) std::snprintf(file, sizeof file, "%s", "Pinora sticks.ics");
    std::string filter = LoadResString(IDS_ICS_FILTER);
    filter.push_back('\0');
    filter += "*.ics";
    filter.push_back('\0');
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "ics";
    ofn.Flags = OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return false;
    *path = file;
    return true;
}

void CMainDlg::OnSyncCommand(UINT id) {
    if (!App().bLoggedIn || !sync_) return;
    if (id == ID_SYNC_NOW) {
        sync_->SyncNow();
        return;
    }
    sync_->Update(true, UserFolder());
    std::string path;
    if (!ChooseIcsFile(id != ID_IMPORT_ICS, &path)) return;
    PnSyncResult result = {};
    // The library's texts are filled by position with whole values: a path or
    // a stick's words are never cut inside a character.
    std::string text;
    const std::string caption = LoadResString(IDS_ICS_CAPTION);
    if (id == ID_IMPORT_ICS) {
        if (sync_->ImportIcs(path, &result)) {
            text = uikit::FillByPosition(LoadResString(IDS_ICS_IMPORTED, 512),
                                         {std::to_string(result.pulled), std::to_string(result.pushed),
                                          std::to_string(result.conflicts)});
            if (result.localChanged) SendMessageA(hwnd(), MWM_STICKSCHANGED, 0, 0);
        } else {
            text = uikit::FillByPosition(LoadResString(IDS_ICS_FAILED, 512), {result.detail});
        }
    } else {
        const LocalTime now = CurrentClock().Now();
        const int onlyDate = id == ID_EXPORT_TODAY_ICS ? now.year * 10000 + now.month * 100 + now.day : 0;
        if (sync_->ExportIcs(path, onlyDate, &result))
            text = uikit::FillByPosition(LoadResString(IDS_ICS_EXPORTED, 512), {std::to_string(result.pushed), path});
        else
            text = uikit::FillByPosition(LoadResString(IDS_ICS_FAILED, 512), {result.detail});
    }
    uikit::ShowMessageBox(hwnd(), text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace pinora
