#include "PnPwdBox.h"

#include <memory>

#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdBoxFrame.h"
#include "CodePage.h"
#include "PwdStore.h"
#include "SmallDialogs.h"
#include "StoreText.h"
#include "UpdateChannel.h"
#include "Window.h"

extern "C" {
PNPWDBOX_API int nPnPwdBox = 0;
}

namespace {

std::unique_ptr<CPwdBoxFrame>& Frame() {
    static std::unique_ptr<CPwdBoxFrame> frame;
    return frame;
}

// What SetPBDBFile made of the path it was given.
enum class PathChoice { None, Home, Chosen, Refused };
PathChoice g_path = PathChoice::None;

void Start() {
    pwdbox::EnsureToolkit();
    ConnectStoreToUpdateChannel();
}

// The wizard is due when the database has no master password. Each user's
// database decides for itself; "pnpb.ini" is shared by everyone who uses this
// program folder. It is still created here, as other settings are written
// only into a file that exists.
bool FirstUseDue() {
    if (!pwdbox::IniExists()) pwdbox::WriteIniAlways("HAVE_USED", "0");
    return !pnstore::HasMaster();
}

int VerdictText(pnstore::FileVerdict verdict) {
    switch (verdict) {
    case pnstore::FileVerdict::Foreign: return IDS_PB_DB_FOREIGN;
    case pnstore::FileVerdict::Newer: return IDS_PB_DB_NEWER;
    default: return IDS_PB_DB_UNREADABLE;
    }
}

// The database is made ready (tables, migration) if it is ours. A chosen one
// that is not is forgotten, so the next start does not meet it again, and the
// user's own database is used.
bool PrepareDatabase() {
    pnstore::FileVerdict verdict = pnstore::createSchema(false);
    if (verdict != pnstore::FileVerdict::Usable && g_path == PathChoice::Chosen) {
        pwdbox::ShowInfo(GetActiveWindow(), VerdictText(verdict), IDS_PB_MESSAGE_TITLE);
        pwdbox::ForgetChosenDatabase();
        if (!pnstore::setDatabasePath(pwdbox::HomeDatabase().c_str())) return false;
        g_path = PathChoice::Home;
        verdict = pnstore::createSchema(false);
    }
    if (verdict == pnstore::FileVerdict::Usable) return true;
    pwdbox::ShowInfo(GetActiveWindow(), VerdictText(verdict), IDS_PB_MESSAGE_TITLE);
    return false;
}

}  // namespace

extern "C" HWND LaunchPwdBox() {
    uikit::HandlerScope running;  // the wizard's modal loop runs in here
    try {
        Start();
        // A path that could not be taken is never replaced by the one beside
        // the module, which is no user's own.
        if (g_path == PathChoice::Refused) return nullptr;
        if (!PrepareDatabase()) return nullptr;
        if (!HaveRunFirstUseWizzard()) return nullptr;
        Frame().reset();  // an earlier frame, shown or hidden, goes first
        auto frame = std::make_unique<CPwdBoxFrame>();
        HWND window = frame->Create();
        if (!window) return nullptr;
        Frame() = std::move(frame);
        return window;
    } catch (...) {
        return nullptr;
    }
}

extern "C" void PB_DestroyPwdBox() {
    try {
        if (uikit::HandlersRunning() > 0) {
            // The box's own code is below us: nothing of it may be deleted now.
            if (CPwdBoxFrame* frame = Frame().get()) frame->LockAndHide();
            CSetMainPwdDlg::CancelOpenWizards();
        } else {
            Frame().reset();
        }
    } catch (...) {
    }
    // Whatever held the keys, they go with the box.
    pnstore::EndSession();
    pwdbox::LoggedIn() = 0;
}

extern "C" int PB_InUse() { return uikit::HandlersRunning() > 0 ? 1 : 0; }

extern "C" int SetPBDBFile(const char* path) {
    try {
        if (!path || !*path) return 0;
        Start();
        pwdbox::SetHomeDatabase(path);
        // The user's own choice, kept beside their database (not in the
        // shared "pnpb.ini", where it would be every user's).
        const std::string chosen = pwdbox::ChosenDatabase();
        if (!chosen.empty() && pnstore::setDatabasePath(chosen.c_str())) {
            g_path = PathChoice::Chosen;
            return 1;
        }
        if (pnstore::setDatabasePath(path)) {
            g_path = PathChoice::Home;
            return 1;
        }
        g_path = PathChoice::Refused;
        pwdbox::ShowInfo(GetActiveWindow(), IDS_PB_PATH_TOO_LONG, IDS_PB_MESSAGE_TITLE);
        return 0;
    } catch (...) {
        return 0;
    }
}

extern "C" int PB_ConvertLegacyText(const char* path, const char* backup, unsigned codePage, int* passwordsLeft) {
    try {
        if (passwordsLeft) *passwordsLeft = 0;
        if (!path || !backup || codePage == 0) return -1;
        const auto keepBackup = [&] {
            if (GetFileAttributesA(backup) != INVALID_FILE_ATTRIBUTES) return true;
            const std::string part = std::string(backup) + ".part";
            return CopyFileA(path, part.c_str(), FALSE) &&
                   MoveFileExA(part.c_str(), backup, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        };
        const auto decode = [codePage](std::string_view legacy, std::string& utf8) {
            return uikit::LegacyToUtf8(codePage, legacy, utf8);
        };
        const pnstore::StoreTextResult result = pnstore::ConvertStoreText(path, decode, keepBackup);
        if (passwordsLeft) *passwordsLeft = result.passwordsLeft;
        switch (result.outcome) {
        case pnstore::StoreTextOutcome::Converted: return 1;
        case pnstore::StoreTextOutcome::Unchanged: return 0;
        default: return -1;
        }
    } catch (...) {
        return -1;
    }
}

HWND CreatePwdBox(HWND parent) {
    try {
        if (!parent || !IsWindow(parent)) return nullptr;
        Start();
        auto* control = new CPnPwdBoxCtrl;
        HWND window = control->Create(parent, false, true);
        if (!window) delete control;
        return window;
    } catch (...) {
        return nullptr;
    }
}

int HaveRunFirstUseWizzard() {
    uikit::HandlerScope running;
    try {
        Start();
        if (!FirstUseDue()) return 1;
        CSetMainPwdDlg wizard;
        return wizard.Run(GetActiveWindow()) == 1 ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int fnPnPwdBox() { return 42; }

namespace pwdbox {

HWND CurrentFrameWindow() noexcept {
    const auto& frame = Frame();
    return frame && frame->IsAlive() ? frame->hwnd() : nullptr;
}

CPwdBoxFrame* CurrentFrame() noexcept { return Frame().get(); }

void ShutDown() noexcept {
    try {
        Frame().reset();
    } catch (...) {
    }
    pnstore::EndSession();
    uikit::Window::UnregisterWindowClasses();
}

}  // namespace pwdbox
