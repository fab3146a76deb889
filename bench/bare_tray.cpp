// The yardstick for Pinora's idle cost: the least a notification-area program
// can be. One hidden window, one tray icon, one 30-second timer that does
// nothing, one message loop. bench/idle_cost.sh runs it beside Pinora.
//
// Words on the command line add one start-up step of Pinora's each, so that what
// the step costs can be measured alone: "ole" (OleInitialize), "comctl"
// (InitCommonControlsEx with Pinora's classes). The libraries are loaded only
// then, so the plain program stays bare.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
constexpr UINT_PTR kTimer = 10;
constexpr UINT kTimerPeriodMs = 30000;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
    case WM_TIMER:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

bool Asked(const char* commandLine, const char* word) {
    const size_t n = std::strlen(word);
    for (const char* p = std::strstr(commandLine, word); p; p = std::strstr(p + 1, word))
        if ((p == commandLine || p[-1] == ' ') && (p[n] == '\0' || p[n] == ' ')) return true;
    return false;
}

template <typename Fn>
Fn Entry(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

void AddStartUpSteps(const char* commandLine) {
    if (Asked(commandLine, "ole")) {
        if (auto oleInitialize = Entry<HRESULT(WINAPI*)(void*)>("ole32.dll", "OleInitialize")) oleInitialize(nullptr);
    }
    if (Asked(commandLine, "comctl")) {
        INITCOMMONCONTROLSEX icc = {sizeof icc,
                                    ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES};
        if (auto init = Entry<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>("comctl32.dll", "InitCommonControlsEx"))
            init(&icc);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    AddStartUpSteps(commandLine ? commandLine : "");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "PN_BARETRAY";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "bare tray", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;

    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayMessage;
    nid.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    std::strcpy(nid.szTip, "bare tray");
    const bool added = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
    OutputDebugStringA(added ? "bare tray: notification icon added\n" : "bare tray: notification icon not added\n");
    SetTimer(window, kTimer, kTimerPeriodMs, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &nid);
    return 0;
}
