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

void Start() {
    pwdbox::EnsureToolkit();
    ConnectStoreToUpdateChannel();
}

// The wizard is due when "pnpb.ini" is missing (which creates it) or its
// "HAVE_USED" is empty or "0".
bool FirstUseDue() {
    if (!pwdbox::IniExists()) {
        pwdbox::WriteIniAlways("HAVE_USED", "0");
        return true;
    }
    std::string used = pwdbox::ReadIni("HAVE_USED");
    return used.empty() || lstrcmpiA(used.c_str(), "0") == 0;
}

}  // namespace

extern "C" HWND LaunchPwdBox() {
    try {
        Start();
        pnstore::createSchema(false);
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
        Frame().reset();
    } catch (...) {
    }
}

extern "C" int SetPBDBFile(const char* path) {
    try {
        if (!path || !*path) return 0;
        std::string chosen = pwdbox::ReadIni("CUR_DB_FILE");
        return pnstore::setDatabasePath(chosen.empty() ? path : chosen.c_str()) ? 1 : 0;
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
    uikit::Window::UnregisterWindowClasses();
}

}  // namespace pwdbox
