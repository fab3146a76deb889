// The password box as the main window opens it: one box per person. The real
// PnPwdBox.dll from the program folder, for users whose databases the test
// writes (quick key-derivation parameters, stored in each file).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "App.h"
#include "DoRoRazIds.h"
#include "Kdf.h"
#include "MainWindowFixture.h"
#include "PwdStore.h"
#include "Settings.h"

namespace pinora {
namespace {

constexpr pncrypto::KdfParameters kQuick = {64, 1, 1};

// The box's frame and its login panel, found among this thread's windows.
HWND FindThreadWindow(const char* cls, const char* title = nullptr) {
    struct Search {
        const char* cls;
        const char* title;
        HWND found;
    } search{cls, title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char name[64] = {}, text[128] = {};
            GetClassNameA(w, name, sizeof name);
            GetWindowTextA(w, text, sizeof text);
            if (std::strcmp(name, s->cls) != 0 || (s->title && std::strcmp(text, s->title) != 0)) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildWithItem(HWND parent, int id) {
    HWND found = nullptr;
    struct Search {
        int id;
        HWND* found;
    } search{id, &found};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (!GetDlgItem(w, s->id)) return TRUE;
            *s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

class PasswordBoxTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const char* dll : {"PnPwdBox.dll", "PNPBRes.dll", "DORORod.dll"})
            CopyFileA((std::string(PINORA_DIST_DIR "/") + dll).c_str(), (folder.Path() + dll).c_str(), FALSE);
    }
    void TearDown() override {
        pncrypto::SetNewKdfParameters(nullptr);
        pnstore::clearDatabasePath();
        MainWindowTest::TearDown();
    }
    // A user with a box of one record, its master password being their name.
    void MakeBox(const std::string& user) {
        const std::string home = folder.Path() + user + "\\";
        CreateDirectoryA(home.c_str(), nullptr);
        pncrypto::SetNewKdfParameters(&kQuick);
        ASSERT_TRUE(pnstore::setDatabasePath((home + "pnpb.dat").c_str()));
        pnstore::createSchema(true);
        ASSERT_EQ(pnstore::PwdStore().createMasterUser(user.c_str()), 1);
        ASSERT_EQ(pnstore::PwdStore().checkMasterPassword(user.c_str()), 1);
        ASSERT_EQ(pnstore::PwdStore().insertRecord(1, user.c_str(), (user + "-secret").c_str(), "https://x.example",
                                                    1, 1, "", ""),
                  1);
        pnstore::EndSession();
        pnstore::clearDatabasePath();
    }
    void LogInAs(const char* user) {
        App().bLoggedIn = 1;
        std::strcpy(App().szCurrentUser, user);
    }
    void Command(UINT id) { SendMessageA(dlg.hwnd(), WM_COMMAND, id, 0); }
};

TEST_F(PasswordBoxTest, NothingOpensWhileNobodyIsLoggedIn) {
    MakeBox("anna");
    Command(ID_PASSWORD_BOX);
    EXPECT_EQ(App().hPwdBoxLib, nullptr);
    EXPECT_EQ(FindThreadWindow("PN_PWDBOXFRAME"), nullptr);
}

TEST_F(PasswordBoxTest, LoggingOutTakesTheBoxAndTheNextUserGetsTheirOwn) {
    MakeBox("anna");
    LogInAs("anna");
    Command(ID_PASSWORD_BOX);
    HWND frame = FindThreadWindow("PN_PWDBOXFRAME");
    ASSERT_NE(frame, nullptr);
    HWND panel = ChildWithItem(frame, 1010);  // the master password's edit
    ASSERT_NE(panel, nullptr);
    SetDlgItemTextA(panel, 1010, "anna");
    SendMessageA(panel, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(panel); }, 20000));  // unlocked

    Command(ID_LOGOUT);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(App().hPwdBoxLib, nullptr);
    EXPECT_EQ(GetModuleHandleA("PnPwdBox.dll"), nullptr);  // its keys and rows went with it
    Command(ID_PASSWORD_BOX);
    EXPECT_EQ(FindThreadWindow("PN_PWDBOXFRAME"), nullptr);

    // Bert, in the same program folder, has no box yet: the wizard is his,
    // not Anna's login. Cancelled, no box.
    LogInAs("bert");
    CreateDirectoryA((folder.Path() + "bert\\").c_str(), nullptr);
    static bool wizardSeen;
    wizardSeen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND wizard = FindThreadWindow("#32770", "Password box - master password")) {
            wizardSeen = true;
            PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
        }
    });
    Command(ID_PASSWORD_BOX);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(wizardSeen);
    EXPECT_EQ(FindThreadWindow("PN_PWDBOXFRAME"), nullptr);

    // Switching user takes the box as logging out does.
    LogInAs("anna");
    Command(ID_PASSWORD_BOX);
    frame = FindThreadWindow("PN_PWDBOXFRAME");
    ASSERT_NE(frame, nullptr);
    Command(ID_SWITCH_USER);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(GetModuleHandleA("PnPwdBox.dll"), nullptr);
}

// The tray menu works while a dialog of the box is up: a log-out then cannot
// delete the box from under the dialog's loop, nor unload its library. The
// box is locked and hidden at once; it goes, with its library, after.
TEST_F(PasswordBoxTest, LoggingOutWhileADialogOfTheBoxIsUpLocksItAtOnce) {
    MakeBox("anna");
    LogInAs("anna");
    Command(ID_PASSWORD_BOX);
    HWND frame = FindThreadWindow("PN_PWDBOXFRAME");
    ASSERT_NE(frame, nullptr);
    HWND panel = ChildWithItem(frame, 1010);
    SetDlgItemTextA(panel, 1010, "anna");
    SendMessageA(panel, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(panel); }, 20000));

    static HWND mainWindow, boxFrame;
    static bool hiddenAtOnce, keptLoaded;
    mainWindow = dlg.hwnd();
    boxFrame = frame;
    hiddenAtOnce = keptLoaded = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (!FindThreadWindow("#32770", "New record")) return;
        KillTimer(nullptr, id);
        SendMessageA(mainWindow, WM_COMMAND, ID_LOGOUT, 0);
        hiddenAtOnce = !IsWindowVisible(boxFrame);
        keptLoaded = App().hPwdBoxLib != nullptr && GetModuleHandleA("PnPwdBox.dll") != nullptr;
    });
    SendMessageA(frame, WM_COMMAND, 40001, 0);  // Record, Add record: its dialog's loop
    KillTimer(nullptr, timer);
    EXPECT_TRUE(hiddenAtOnce);
    EXPECT_TRUE(keptLoaded);
    EXPECT_EQ(FindThreadWindow("#32770", "New record"), nullptr);  // the lock closed it

    // Once the box's code has returned, the next opening lets it go.
    LogInAs("bert");
    CreateDirectoryA((folder.Path() + "bert\\").c_str(), nullptr);
    UINT_PTR cancel = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND wizard = FindThreadWindow("#32770", "Password box - master password"))
            PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
    });
    Command(ID_PASSWORD_BOX);
    KillTimer(nullptr, cancel);
    EXPECT_FALSE(IsWindow(frame));
    Command(ID_LOGOUT);
    EXPECT_EQ(GetModuleHandleA("PnPwdBox.dll"), nullptr);
}

}  // namespace
}  // namespace pinora
