// A reminder typed into the quick-note box, timed under Wine as the program
// runs it: the real main window, Enter on "remind tea in 20 min". Prints the
// median of the runs in milliseconds: from Enter until the handler is done (the
// phrase read, the stick in both tables, the notification area told) and until
// the balloon is on the screen; and the phrase reader alone.
//   phrases_wine_bench <program folder holding DoRoRaz.dll>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "App.h"
#include "Clock.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "Settings.h"
#include "WhenPhrases.h"
#include "wine_bench_timing.h"

namespace {

constexpr int kRuns = 11;

// A balloon of the notification area: a shown tooltip window of another process.
bool BalloonShown() {
    struct Search {
        DWORD self;
        bool found;
    } search{GetCurrentProcessId(), false};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char cls[64] = {};
            GetClassNameA(w, cls, sizeof cls);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != s->self && std::strcmp(cls, "tooltips_class32") == 0 && IsWindowVisible(w)) {
                s->found = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double Now() {
    LARGE_INTEGER freq, t;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Waits (pumping) until shown() is what is wanted; the time it took, or -1.
template <typename F>
double WaitFor(F shown, bool wanted, double start, double limitMs) {
    while (shown() != wanted) {
        if (Now() - start > limitMs) return -1;
        Pump();
        Sleep(1);
    }
    return Now() - start;
}

double Median(double* values, int count) {
    std::sort(values, values + count);
    return values[count / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: phrases_wine_bench <program folder holding DoRoRaz.dll>\n");
        return 2;
    }
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "pinora-phrases-bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA((std::string(argv[1]) + "\\DoRoRaz.dll").c_str(), (folder + "DoRoRaz.dll").c_str(), FALSE);
    pinora::SetProgramFolder(folder);
    // As at start-up: the note box is a drop target, which needs OLE.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    pinora::CMainDlg dlg;
    if (!dlg.CreateMain()) {
        std::fprintf(stderr, "the main window could not be created (DoRoRaz.dll in %s?)\n", argv[1]);
        return 1;
    }
    ShowWindow(dlg.Login().hwnd(), SW_HIDE);
    pinora::App().bLoggedIn = 1;
    std::strcpy(pinora::App().szCurrentUser, "bench");
    // A desktop started for this program announces its notification area a little later.
    WaitFor([&] { return dlg.TrayIconAdded(); }, true, Now(), 10000);
    if (!dlg.TrayIconAdded()) std::fprintf(stderr, "no notification area: the balloon cannot be timed\n");

    HWND note = dlg.Item(IDC_QUICK_NOTE);
    double handled[kRuns], onScreen[kRuns];
    int shownRuns = 0;
    for (int run = 0; run < kRuns; ++run) {
        ShowWindow(dlg.hwnd(), SW_SHOW);
        SetWindowTextA(note, "remind tea in 20 min");
        const double start = Now();
        SendMessageA(note, WM_CHAR, VK_RETURN, 1);
        handled[run] = Now() - start;
        const double shown = WaitFor(BalloonShown, true, start, 5000);
        if (shown >= 0) onScreen[shownRuns++] = shown;
        // Take the balloon away before the next run (an empty text removes it).
        NOTIFYICONDATAA nid = {};
        nid.cbSize = sizeof nid;
        nid.hWnd = dlg.hwnd();
        nid.uID = pinora::kTrayIconId;
        nid.uFlags = NIF_INFO;
        Shell_NotifyIconA(NIM_MODIFY, &nid);
        WaitFor(BalloonShown, false, Now(), 15000);
    }
    const pinora::LocalTime now = pinora::CurrentClock().Now();
    const pinora::DateOrder order = pinora::UserDateOrder();
    const double reader = wine_bench::MedianMicroseconds(kRuns, [&] {
        for (int i = 0; i < 100; ++i) pinora::ReadWhen("tea in 20 min", now, order);
    }) / 100.0;

    std::printf("Enter to the reminder saved and the notification area told: %.1f ms\n", Median(handled, kRuns));
    if (shownRuns > 0)
        std::printf("Enter to the balloon on the screen: %.1f ms (%d of %d runs)\n", Median(onScreen, shownRuns),
                    shownRuns, kRuns);
    else
        std::printf("Enter to the balloon on the screen: no balloon was seen\n");
    std::printf("the phrase reader alone: %.1f us a phrase\n", reader);
    std::printf("balloon: %s\n", dlg.LastBalloon().c_str());
    dlg.Destroy();
    return 0;
}
