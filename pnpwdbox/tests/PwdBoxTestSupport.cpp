// Process set-up for the password box's in-process tests and their helpers.
#include "PwdBoxTestSupport.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "MessageBox.h"
#include "PNPBResIds.h"
#include "PnPwdBox.h"
#include "PwdBoxFrame.h"
#include "PwdBoxEnv.h"
#include "PwdStore.h"
#include "ShellOpen.h"

namespace pbtest {

MessageLog g_messages;

namespace {

int Answer(HWND, const char* text, const char* caption, UINT type) {
    g_messages.texts.push_back(text);
    g_messages.titles.push_back(caption);
    if (g_messages.answer) return g_messages.answer;
    UINT buttons = type & MB_TYPEMASK;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        OleInitialize(nullptr);
        uikit::SetMessageBoxHandler(Answer);
        // New boxes derive their keys quickly here; the real parameters are
        // for people (the end-to-end run uses them).
        pncrypto::SetNewKdfParameters(&kTestKdf);
    }
    void TearDown() override {
        pncrypto::SetNewKdfParameters(nullptr);
        OleUninitialize();
    }
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new Environment);

// ---- The dialog driver ----

struct DriverState {
    std::vector<std::function<void(HWND)>> actions;
    size_t next = 0;
    std::vector<HWND> seen;
    std::vector<std::string> titles;
    UINT_PTR timer = 0;
    bool busy = false;
};
// Drivers by their timer; the newest one acts on a new dialog.
std::vector<DriverState*> g_drivers;

struct Finder {
    DriverState* driver;
    HWND found;
};

BOOL CALLBACK FindNewDialog(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Finder*>(lp);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w) &&
        std::find(f->driver->seen.begin(), f->driver->seen.end(), w) == f->driver->seen.end()) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriverTick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto it = std::find_if(g_drivers.begin(), g_drivers.end(), [&](DriverState* d) { return d->timer == timer; });
    if (it == g_drivers.end()) return;
    DriverState* driver = *it;
    if (driver->busy || driver->next >= driver->actions.size()) return;
    Finder finder{driver, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindNewDialog, LPARAM(&finder));
    if (!finder.found) return;
    driver->seen.push_back(finder.found);
    char title[128] = {};
    GetWindowTextA(finder.found, title, sizeof title);
    driver->titles.push_back(title);
    driver->busy = true;
    auto action = driver->actions[driver->next++];
    action(finder.found);
    driver->busy = false;
}

}  // namespace

std::string Res(int id) { return pwdbox::ResString(id); }

BoxFolder::BoxFolder() : folder_(MakeTempFolder("pnpwdbox-")) {
    for (const char* dll : {"PNPBRes.dll", "DORORod.dll"})
        CopyFileA((std::string(PINORA_DIST_DIR "/") + dll).c_str(), (folder_ + dll).c_str(), FALSE);
    pwdbox::FreeResLib();
    pnstore::SetModuleFolderOverride(folder_);
    pnstore::clearDatabasePath();
    pwdbox::LoggedIn() = 0;
    g_messages.Clear();
}

BoxFolder::~BoxFolder() {
    PB_DestroyPwdBox();
    pwdbox::FreeResLib();
    uikit::SetShellOpenHandler(nullptr);
    pwdbox::SetFileChooser(nullptr);
    pwdbox::SetIdleClock(nullptr);
    pwdbox::LoggedIn() = 0;
    pnstore::clearDatabasePath();
    pnstore::SetModuleFolderOverride("");
    g_messages.Clear();
    RemoveFolder(folder_);
}

std::string BoxFolder::IniValue(const char* key) const {
    char value[1024] = {};
    GetPrivateProfileStringA("UI", key, "<missing>", value, sizeof value, Ini().c_str());
    return value;
}

void BoxFolder::SetIni(const char* key, const char* value) const {
    WritePrivateProfileStringA("UI", key, value, Ini().c_str());
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

DialogDriver::DialogDriver(std::vector<std::function<void(HWND)>> actions) : state_(new DriverState) {
    auto* state = static_cast<DriverState*>(state_);
    state->actions = std::move(actions);
    // Dialogs already up (a modeless search) are not the ones to come.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            reinterpret_cast<DriverState*>(lp)->seen.push_back(w);
            return TRUE;
        },
        LPARAM(state));
    state->timer = SetTimer(nullptr, 0, 30, DriverTick);
    g_drivers.push_back(state);
}

DialogDriver::~DialogDriver() {
    auto* state = static_cast<DriverState*>(state_);
    KillTimer(nullptr, state->timer);
    g_drivers.erase(std::remove(g_drivers.begin(), g_drivers.end(), state), g_drivers.end());
    delete state;
}

size_t DialogDriver::Done() const { return static_cast<DriverState*>(state_)->next; }
std::vector<std::string> DialogDriver::Titles() const { return static_cast<DriverState*>(state_)->titles; }

std::string ItemText(HWND dialog, int id) {
    char text[2048] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

HWND LaunchLoggedIn(const char* master) {
    std::string password = master;
    DialogDriver wizard({[password](HWND d) {
        SetItemText(d, IDC_PB_MASTER_PWD, password);
        SetItemText(d, IDC_PB_MASTER_CONFIRM, password);
        Click(d, IDOK);
    }});
    HWND frame = LaunchPwdBox();
    if (!frame) return nullptr;
    ShowWindow(frame, SW_SHOW);
    HWND panel = nullptr;
    EnumChildWindows(
        frame,
        [](HWND w, LPARAM lp) -> BOOL {
            if (GetDlgItem(w, IDC_PB_LOGIN_PWD)) {
                *reinterpret_cast<HWND*>(lp) = w;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&panel));
    if (!panel) return nullptr;
    SubmitMasterPassword(panel, password);
    return pwdbox::LoggedIn() ? frame : nullptr;
}

void SubmitMasterPassword(HWND panel, const std::string& password) {
    SetItemText(panel, IDC_PB_LOGIN_PWD, password);
    Click(panel, IDOK);
    PumpUntil([] {
        CPwdBoxFrame* frame = pwdbox::CurrentFrame();
        return !frame || !frame->LoginPanel().Checking();
    }, 20000);
}

}  // namespace pbtest
