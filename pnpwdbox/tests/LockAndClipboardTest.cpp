// What keeps secrets from lying about: the lock (by command and when idle),
// and copied passwords taken off the clipboard again.
#include <gtest/gtest.h>

#include "BoxFixture.h"
#include "HiddenWindowCheck.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdClipboard.h"

namespace {

using namespace pbtest;

class LockTest : public LoggedInBox {};

TEST_F(LockTest, LockEmptiesAndFocusesTheLoginPanelAndClosesWhatShowsRecords) {
    AddThroughDialog("https://a", "anna", "pass", "Mail");
    Command(ID_PB_SEARCH);
    ASSERT_NE(Control().SearchDialogWindow(), nullptr);
    ShowWindow(Frame(), SW_SHOW);
    SetForegroundWindow(Frame());
    HWND panel = pwdbox::CurrentFrame()->LoginPanel().hwnd();
    SetItemText(panel, IDC_PB_LOGIN_PWD, "left over");

    // The lock comes while the record dialog is open (as the idle lock would):
    // the dialog ends, so the command returns.
    HWND record = nullptr;
    DialogDriver driver({[&](HWND d) {
        record = d;
        SendMessageA(Frame(), WM_COMMAND, ID_PB_LOCK, 0);
    }});
    Command(ID_PB_ADD_RECORD);
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(IsWindow(record));
    EXPECT_EQ(pwdbox::LoggedIn(), 0);
    EXPECT_EQ(Control().SearchDialogWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Control().hwnd()));
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_EQ(ItemText(panel, IDC_PB_LOGIN_PWD), "");
    EXPECT_EQ(GetFocus(), GetDlgItem(panel, IDC_PB_LOGIN_PWD));
}

TEST_F(LockTest, LockWipesTheListAndUnlockReadsItAgain) {
    AddThroughDialog("https://a.example", "anna", "pass-1", "Mail");
    ClickRow(RowOfUser("anna"));
    SetWindowTextA(Control().CommentPane(), "what the pane showed");
    ASSERT_EQ(List().RecordCount(), 1);
    const int record = List().RecordKeyOfRow(RowOfUser("anna"));

    Command(ID_PB_LOCK);
    EXPECT_EQ(List().RecordCount(), 0);
    EXPECT_EQ(List().GroupCount(), 0);
    EXPECT_EQ(List().CellSecondText(record, CPnPwdBoxCtrl::kPasswordColumn), "");
    char pane[64] = {};
    GetWindowTextA(Control().CommentPane(), pane, sizeof pane);
    EXPECT_STREQ(pane, "");

    SubmitMasterPassword(pwdbox::CurrentFrame()->LoginPanel().hwnd(), "master-1");
    ASSERT_EQ(pwdbox::LoggedIn(), 1);
    WaitForList();
    EXPECT_EQ(List().RecordCount(), 1);
    EXPECT_EQ(List().CellSecondText(record, CPnPwdBoxCtrl::kPasswordColumn), "pass-1");
}

class IdleLockTest : public LoggedInBox {
protected:
    static DWORD LastInput() { return lastInput; }
    static DWORD Now() { return now; }
    void SetUp() override {
        lastInput = 1000;
        now = 1000;
        pwdbox::IdleClock clock{LastInput, Now, 20};
        pwdbox::SetIdleClock(&clock);
        LoggedInBox::SetUp();
    }
    static DWORD lastInput, now;
};
DWORD IdleLockTest::lastInput, IdleLockTest::now;

TEST_F(IdleLockTest, LocksAfterTheIdleMinutesOfTheIni) {
    now = lastInput + 10 * 60000 - 1;  // the default is 10 minutes
    PumpFor(100);
    EXPECT_EQ(pwdbox::LoggedIn(), 1);
    now = lastInput + 10 * 60000;
    EXPECT_TRUE(PumpUntil([] { return pwdbox::LoggedIn() == 0; }, 1000));
}

TEST_F(IdleLockTest, MinutesFromTheIniAndZeroForNever) {
    box_.SetIni("idle_lock_minutes", "0");
    now = lastInput + 24 * 3600000u;
    PumpFor(100);
    EXPECT_EQ(pwdbox::LoggedIn(), 1);
    box_.SetIni("idle_lock_minutes", "2");
    now = lastInput + 2 * 60000 - 1;
    PumpFor(100);
    EXPECT_EQ(pwdbox::LoggedIn(), 1);
    now = lastInput + 2 * 60000;
    EXPECT_TRUE(PumpUntil([] { return pwdbox::LoggedIn() == 0; }, 1000));
    // The tick count wraps after 49 days; idle time is still right.
    lastInput = 0xFFFFFF00u;
    now = 0x100u;
    SubmitMasterPassword(pwdbox::CurrentFrame()->LoginPanel().hwnd(), "master-1");
    PumpFor(100);
    EXPECT_EQ(pwdbox::LoggedIn(), 1);
}

// The idle timer runs only while the box is logged in, and wakes when the lock
// could first be due rather than polling.
class IdleTimerTest : public LoggedInBox {
protected:
    static DWORD LastInput() { return lastInput; }
    static DWORD Now() { return GetTickCount(); }
    void Start(DWORD untilDueMs, UINT maxCheckMs) {
        lastInput = GetTickCount() - (10 * 60000 - untilDueMs);
        pwdbox::IdleClock clock{LastInput, Now, maxCheckMs};
        pwdbox::SetIdleClock(&clock);
        LoggedInBox::SetUp();
    }
    void SetUp() override {}
    static DWORD lastInput;
};
DWORD IdleTimerTest::lastInput;

TEST_F(IdleTimerTest, LockedBoxRunsNoTimerWhileHidden) {
    Start(10 * 60000, 50);
    Command(ID_PB_LOCK);
    ShowWindow(Frame(), SW_HIDE);
    EXPECT_TRUE(pinora::test::NoTimerRunsWhileHidden(Frame()));
}

TEST_F(IdleTimerTest, HiddenBoxLocksWhenDueWithoutPolling) {
    Start(3000, 60000);  // the lock is due in 3 s; the longest sleep is a minute
    ShowWindow(Frame(), SW_HIDE);
    EXPECT_TRUE(PumpUntil([] { return pwdbox::LoggedIn() == 0; }, 8000));
}

class ClipboardTest : public LoggedInBox {
protected:
    void SetUp() override {
        LoggedInBox::SetUp();
        AddThroughDialog("https://a", "anna", "the-password", "Mail");
        ClickRow(RowOfUser("anna"));
        other_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(other_);
        LoggedInBox::TearDown();
    }
    HWND other_ = nullptr;
};

TEST_F(ClipboardTest, CopiedPasswordLeavesTheClipboardAfterTheDelay) {
    box_.SetIni("clip_clear_seconds", "1");
    Command(ID_PB_COPY_PASSWORD);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "the-password");
    PumpFor(500);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "the-password");
    EXPECT_TRUE(PumpUntil([] { return pwdbox::ReadClipboardText().empty(); }, 3000));
}

TEST_F(ClipboardTest, WhatSomeoneElseCopiedSinceIsLeftAlone) {
    box_.SetIni("clip_clear_seconds", "1");
    Command(ID_PB_COPY_USER);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "anna");
    ASSERT_TRUE(pwdbox::PutClipboardText(other_, "someone else's text"));
    PumpFor(1600);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "someone else's text");
}

TEST_F(ClipboardTest, ZeroSecondsKeepsItAndTheUrlIsNoSecret) {
    box_.SetIni("clip_clear_seconds", "0");
    Command(ID_PB_COPY_PASSWORD);
    PumpFor(1300);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "the-password");
    box_.SetIni("clip_clear_seconds", "1");
    Command(ID_PB_COPY_URL);
    PumpFor(1600);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "https://a");
}

// The clipboard's 32-bit value of a registered format; -1 when it holds none.
long long ClipboardDword(const char* format) {
    long long value = -1;
    if (!OpenClipboard(nullptr)) return value;
    if (HANDLE data = GetClipboardData(RegisterClipboardFormatA(format))) {
        if (GlobalSize(data) >= sizeof(DWORD)) {
            if (const DWORD* p = static_cast<const DWORD*>(GlobalLock(data))) {
                value = *p;
                GlobalUnlock(data);
            }
        }
    }
    CloseClipboard();
    return value;
}

TEST_F(ClipboardTest, CopiesStayOutOfClipboardHistoryMonitorsAndTheCloud) {
    for (int command : {ID_PB_COPY_PASSWORD, ID_PB_COPY_USER, ID_PB_COPY_URL}) {
        Command(command);
        EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing")))
            << command;
        EXPECT_EQ(ClipboardDword("CanIncludeInClipboardHistory"), 0) << command;
        EXPECT_EQ(ClipboardDword("CanUploadToCloudClipboard"), 0) << command;
    }
    Command(ID_PB_COPY_PASSWORD);
    EXPECT_EQ(pwdbox::ReadClipboardText(), "the-password");
}

// Another program pastes what it reads as Unicode text: every script whole.
TEST_F(ClipboardTest, OtherProgramsPasteTheTextInEveryScript) {
    const std::string text = "Пароль ☕ 你好";
    ASSERT_TRUE(pwdbox::PutClipboardText(other_, text));
    std::wstring pasted;
    ASSERT_TRUE(OpenClipboard(nullptr));
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted.assign(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    EXPECT_EQ(pasted, L"\u041F\u0430\u0440\u043E\u043B\u044C \u2615 \u4F60\u597D");
    EXPECT_EQ(pwdbox::ReadClipboardText(), text);
}

TEST_F(ClipboardTest, ClosingTheBoxTakesAWaitingPasswordAlong) {
    Command(ID_PB_COPY_PASSWORD);  // the default: 12 seconds
    EXPECT_EQ(pwdbox::ReadClipboardText(), "the-password");
    PB_DestroyPwdBox();
    EXPECT_EQ(pwdbox::ReadClipboardText(), "");
}

}  // namespace
