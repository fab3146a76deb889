#include "PwdBoxFrame.h"

#include <algorithm>
#include <vector>

#include "DialogMessageHook.h"
#include "ExcelExport.h"
#include "PNPBResIds.h"
#include "PwdBoxEnv.h"
#include "PwdMessages.h"
#include "PwdStore.h"
#include "ShellOpen.h"
#include "Skin.h"
#include "SmallDialogs.h"
#include "UpdateChannel.h"

namespace {

constexpr char kFrameClass[] = "PN_PWDBOXFRAME";
constexpr char kForumPage[] = "https://pinora.example.org/forum/";
constexpr int kDororodCommandBarBitmap = 2;

HBITMAP LoadBarBackground() {
    HMODULE skin = LoadLibraryExA((pnstore::ModuleFolder() + "DORORod.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!skin) return nullptr;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(skin, MAKEINTRESOURCEA(kDororodCommandBarBitmap), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    FreeLibrary(skin);
    return bitmap;
}

}  // namespace

CPwdBoxFrame::CPwdBoxFrame() = default;

CPwdBoxFrame::~CPwdBoxFrame() {
    // The window goes while this object is still whole, so WM_DESTROY reaches OnDestroy.
    Destroy();
}

HWND CPwdBoxFrame::Create() noexcept {
    pwdbox::EnsureToolkit();
    if (!RegisterWindowClass(kFrameClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE))) return nullptr;
    return CreateWindowOf(WS_EX_APPWINDOW, kFrameClass, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
}

LRESULT CPwdBoxFrame::OnCreate() {
    pwdbox::WriteIni("cmdbar_bk_color", "0");
    HMODULE res = pwdbox::ResLib();
    login_.onLoggedIn = [this] {
        Layout();
        // What the lock wiped is read again, with the keys just given.
        control_.ReadDBToListView();
        SetFocus(control_.List().ListHwnd());
        CheckIdle();
    };
    login_.Open(hwnd());
    menu_.reset(res ? LoadMenuA(res, MAKEINTRESOURCEA(IDR_PB_MAINMENU)) : nullptr);
    control_.Create(hwnd(), true);
    barBackground_.reset(LoadBarBackground());
    commandBar_.Create(hwnd(), menu_.get(), barBackground_.get());
    SetMenu(hwnd(), nullptr);
    SetWindowTextA(hwnd(), pwdbox::ResString(IDS_PB_FRAME_TITLE).c_str());
    hookAcquired_ = uikit::AcquireDialogMessageHook();
    Layout();
    return 0;
}

void CPwdBoxFrame::OnDestroy() {
    KillTimer(hwnd(), kIdleTimer);
    // The box's keys live no longer than its window.
    pnstore::EndSession();
    pwdbox::LoggedIn() = 0;
    commandBar_.Destroy();
    control_.Destroy();
    login_.Destroy();
    menu_.reset();
    barBackground_.reset();
    if (hookAcquired_) uikit::ReleaseDialogMessageHook();
    hookAcquired_ = false;
    pwdbox::FreeResLib();
}

void CPwdBoxFrame::Layout() {
    if (!hwnd()) return;
    RECT rc;
    GetClientRect(hwnd(), &rc);
    const bool in = pwdbox::LoggedIn() != 0;
    if (in) {
        ShowWindow(login_.hwnd(), SW_HIDE);
        commandBar_.Move(0, 0, rc.right, kCommandBarHeight);
        commandBar_.Show(true);
        MoveWindow(control_.hwnd(), 0, kCommandBarHeight, rc.right, std::max<LONG>(0, rc.bottom - kCommandBarHeight),
                   TRUE);
        ShowWindow(control_.hwnd(), SW_SHOW);
    } else {
        commandBar_.Show(false);
        ShowWindow(control_.hwnd(), SW_HIDE);
        MoveWindow(login_.hwnd(), 0, 0, rc.right, rc.bottom, TRUE);
        ShowWindow(login_.hwnd(), SW_SHOW);
    }
}

LRESULT CPwdBoxFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        Layout();
        return 0;
    case WM_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SETFOCUS:
        SetFocus(pwdbox::LoggedIn() ? control_.List().ListHwnd() : login_.Item(IDC_PB_LOGIN_PWD));
        return 0;
    case WM_TIMER:
        if (wp == kIdleTimer) {
            CheckIdle();
            return 0;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case ID_PB_HIDE:
            OnHideBox();
            return 0;
        case ID_PB_EXPORT:
            OnExportExcel();
            return 0;
        case ID_PB_ABOUT:
            OnAbout();
            return 0;
        case ID_PB_FORUM:
            OnVisitForum();
            return 0;
        case ID_PB_LOCK:
            OnLock();
            return 0;
        }
        if (lp == 0 && control_.hwnd()) SendMessageA(control_.hwnd(), WM_COMMAND, wp, lp);
        return 0;
    }
    if (INT_PTR skinned = uikit::HandleSkinMessage(hwnd(), msg, wp, lp)) return skinned;
    return Default(msg, wp, lp);
}

void CPwdBoxFrame::OnHideBox() { ShowWindow(hwnd(), SW_HIDE); }

int CPwdBoxFrame::OnExportExcel() { return ExportRecordsToSpreadsheet(hwnd()); }

void CPwdBoxFrame::OnAbout() {
    CPwdAboutDlg about;
    about.Run(hwnd());
}

void CPwdBoxFrame::OnVisitForum() { uikit::ShellOpen(hwnd(), kForumPage); }

void CPwdBoxFrame::OnLock() {
    pwdbox::LoggedIn() = 0;
    KillTimer(hwnd(), kIdleTimer);  // a locked box has nothing to lock
    // The keys are erased, and nothing decrypted stays in memory or on the
    // screen: the list's rows, open dialogs and message boxes of the box
    // (closed), the modeless ones (hidden). The unlock reads them again.
    pnstore::EndSession();
    CloseOpenDialogs();
    control_.HideDialogs();
    control_.WipeList();
    Layout();
    CPwdUpdateChannel::Instance().Publish(kPbEventLocked, kPbLockedParam, 0);
    OutputDebugStringA("PnPwdBox: locked\n");
}

void CPwdBoxFrame::LockAndHide() {
    if (!IsAlive()) return;
    OnLock();
    ShowWindow(hwnd(), SW_HIDE);
}

void CPwdBoxFrame::CloseOpenDialogs() {
    struct Search {
        HWND frame;
        std::vector<HWND> dialogs;
    } search{hwnd(), {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char cls[16] = {};
            GetClassNameA(w, cls, sizeof cls);
            if (w != s->frame && lstrcmpA(cls, "#32770") == 0 && GetAncestor(w, GA_ROOTOWNER) == s->frame)
                s->dialogs.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    // Each ends as if Escape was pressed (one still being created too); nested
    // modal loops then unwind.
    for (HWND dialog : search.dialogs) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CPwdBoxFrame::CheckIdle() {
    if (!pwdbox::LoggedIn()) return;
    const int minutes = pwdbox::ReadIniInt("idle_lock_minutes", 10);
    const pwdbox::IdleClock clock = pwdbox::CurrentIdleClock();
    const DWORD limit = minutes > 0 ? DWORD(minutes) * 60000u : 0;
    const DWORD idle = clock.now() - clock.lastInput();  // unsigned: right across the tick's wrap
    if (limit && idle >= limit) {
        SendMessageA(hwnd(), WM_COMMAND, ID_PB_LOCK, 0);
        return;
    }
    // Asleep until the lock could first be due: input meanwhile only moves it later.
    const DWORD dueIn = limit ? limit - idle : clock.maxCheckMs;
    SetTimer(hwnd(), kIdleTimer, std::min<DWORD>(std::max<DWORD>(dueIn, 1), clock.maxCheckMs), nullptr);
}
