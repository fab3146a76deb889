// The built pnhook.dll under Wine: its exports and shared section, real hooks
// driven by synthetic input, and a second process that loads the same file.
// Each test works on a private copy of the DLL, so its shared record starts at
// zero whatever other processes of the desktop hold in theirs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SharedSection.h"

namespace {

using pnhook::test::FindHookSection;
using pnhook::test::SectionView;

std::string Windows(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string DistFolder() {
    const char* dist = std::getenv("PINORA_TEST_DIST");
    return Windows(dist ? dist : "") + "\\";
}

std::string TempFile(const char* name) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "pnhook-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string PeerPath() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path = exe;
    return path.substr(0, path.find_last_of('\\') + 1) + PNHOOK_PEER;
}

// A private copy of the staged DLL, loaded, with its exports.
class HookDll {
public:
    explicit HookDll(const char* name) : path_(TempFile(name)) {
        CopyFileA((DistFolder() + "pnhook.dll").c_str(), path_.c_str(), FALSE);
        module_ = LoadLibraryA(path_.c_str());
        if (!module_) return;
        install = Find<int(__cdecl*)(HWND)>("installhook");
        remove = Find<void(__cdecl*)()>("removehook");
        keyProc = Find<HOOKPROC>("hookproc");
        mouseProc = Find<HOOKPROC>("hookMouseProc");
        count = Find<int(__cdecl*)()>("HK_GetCount");
        lastActive = Find<DWORD(__cdecl*)()>("HK_GetLastActiveTick");
        section = FindHookSection(module_);
    }
    ~HookDll() {
        if (module_) {
            if (remove) remove();
            FreeLibrary(module_);
        }
        // Other processes may still hold the copy the hooks loaded there.
        DeleteFileA(path_.c_str());
    }
    HookDll(const HookDll&) = delete;
    HookDll& operator=(const HookDll&) = delete;

    bool Complete() const {
        return module_ && install && remove && keyProc && mouseProc && count && lastActive && section.record;
    }
    const std::string& Path() const { return path_; }
    volatile pnhook::HookShared& Record() const { return *section.record; }

    int(__cdecl* install)(HWND) = nullptr;
    void(__cdecl* remove)() = nullptr;
    HOOKPROC keyProc = nullptr;
    HOOKPROC mouseProc = nullptr;
    int(__cdecl* count)() = nullptr;
    DWORD(__cdecl* lastActive)() = nullptr;
    SectionView section;

private:
    template <typename Fn>
    Fn Find(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    std::string path_;
    HMODULE module_ = nullptr;
};

// A plain top-level window of this thread that takes the keyboard and the mouse.
class InputWindow {
public:
    InputWindow() {
        hwnd_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "pnhook input", WS_POPUP | WS_VISIBLE | SS_NOTIFY,
                                100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(hwnd_);
        SetFocus(hwnd_);
        SetCursorPos(250, 200);
        Pump();
    }
    ~InputWindow() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

private:
    HWND hwnd_ = nullptr;
};

// Pumps this thread's messages (the hooks run as they are retrieved) until the
// condition holds; other processes of the desktop may run them too.
template <typename Cond>
bool PumpUntil(Cond cond, DWORD timeoutMs = 3000) {
    DWORD start = GetTickCount();
    while (!cond()) {
        InputWindow::Pump();
        if (GetTickCount() - start > timeoutMs) return cond();
        Sleep(5);
    }
    return true;
}

void SendKey(WORD vk, bool release) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

void MoveMouse(int dx, int dy) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
}

std::vector<unsigned long> RunPeer(const HookDll& dll) {
    const std::string out = TempFile("peer.txt");
    DeleteFileA(out.c_str());
    std::string command = "\"" + PeerPath() + "\" \"" + dll.Path() + "\" \"" + out + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<unsigned long> words;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return words;
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::ifstream in(out);
    unsigned long w;
    while (in >> w) words.push_back(w);
    DeleteFileA(out.c_str());
    return words;
}

TEST(PnhookDll, ExportsSixFunctionsOverOneSharedZeroFilledSection) {
    HookDll dll("exports.dll");
    ASSERT_TRUE(dll.Complete()) << dll.Path() << " error " << GetLastError();
    EXPECT_EQ(dll.section.virtualSize, sizeof(pnhook::HookShared));
    const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE;
    EXPECT_EQ(dll.section.characteristics & wanted, wanted);
    const volatile std::uint32_t* words = reinterpret_cast<const volatile std::uint32_t*>(dll.section.record);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(words[i], 0u) << "word " << i;
    EXPECT_EQ(dll.lastActive(), 0u);
    EXPECT_EQ(dll.count(), 0);
}

TEST(PnhookDll, SyntheticInputMovesTheTickAndTheSpans) {
    HookDll dll("input.dll");
    ASSERT_TRUE(dll.Complete());
    InputWindow window;
    ASSERT_EQ(dll.install(window.get()), 1);
    volatile pnhook::HookShared& r = dll.Record();
    const DWORD installed = dll.lastActive();
    EXPECT_NE(installed, 0u);  // the install time, not 0
    EXPECT_EQ(r.dwInstallTick, installed);
    EXPECT_NE(r.hKeyboardHook, 0u);
    EXPECT_NE(r.hMouseHook, 0u);

    Sleep(40);
    SendKey(VK_F13, false);
    ASSERT_TRUE(PumpUntil([&] { return r.dwPrevKeyTick != 0; })) << "the keyboard hook never ran";
    EXPECT_EQ(r.dwKeySpan, 0u);  // a first press only starts counting
    EXPECT_NE(dll.lastActive(), installed);

    Sleep(60);
    const DWORD beforeRelease = dll.lastActive();
    SendKey(VK_F13, true);
    ASSERT_TRUE(PumpUntil([&] { return dll.lastActive() != beforeRelease; })) << "the release was not seen";
    EXPECT_EQ(r.dwKeySpan, 0u);  // releases are not counted

    Sleep(60);
    SendKey(VK_F13, false);
    ASSERT_TRUE(PumpUntil([&] { return r.dwKeySpan != 0; }));
    SendKey(VK_F13, true);
    EXPECT_GE(r.dwKeySpan, 100u);   // two sleeps between the presses
    EXPECT_LT(r.dwKeySpan, 3000u);

    MoveMouse(5, 0);
    ASSERT_TRUE(PumpUntil([&] { return r.dwPrevMouseTick != 0; })) << "the mouse hook never ran";
    Sleep(60);
    MoveMouse(0, 5);
    ASSERT_TRUE(PumpUntil([&] { return r.dwMouseSpan != 0; }));
    EXPECT_EQ(dll.count(), 0);  // well under a minute

    dll.remove();
    EXPECT_EQ(dll.lastActive(), 0u);
    EXPECT_EQ(r.dwKeySpan, 0u);
    EXPECT_EQ(r.dwMouseSpan, 0u);
    EXPECT_EQ(r.hKeyboardHook, 0u);
    EXPECT_EQ(r.hMouseHook, 0u);
    EXPECT_EQ(dll.count(), 0);
}

TEST(PnhookDll, HookProceduresCountOnlyActionCodes) {
    HookDll dll("direct.dll");
    ASSERT_TRUE(dll.Complete());
    volatile pnhook::HookShared& r = dll.Record();
    dll.keyProc(HC_NOREMOVE, 'A', 1);
    dll.mouseProc(HC_NOREMOVE, WM_MOUSEMOVE, 0);
    EXPECT_EQ(r.dwLastActiveTick, 0u);
    EXPECT_EQ(r.dwPrevKeyTick, 0u);
    EXPECT_EQ(r.dwPrevMouseTick, 0u);

    dll.keyProc(HC_ACTION, 'A', static_cast<LPARAM>(0xC0000001u));  // a release
    EXPECT_NE(r.dwLastActiveTick, 0u);
    EXPECT_EQ(r.dwPrevKeyTick, 0u);
    dll.keyProc(HC_ACTION, 'A', 1);
    EXPECT_NE(r.dwPrevKeyTick, 0u);
    dll.mouseProc(HC_ACTION, WM_MOUSEMOVE, 0);
    EXPECT_NE(r.dwPrevMouseTick, 0u);
}

TEST(PnhookDll, ASecondProcessSeesTheSameRecord) {
    HookDll dll("shared.dll");
    ASSERT_TRUE(dll.Complete());
    InputWindow window;
    ASSERT_EQ(dll.install(window.get()), 1);
    volatile pnhook::HookShared& r = dll.Record();

    std::vector<unsigned long> seen = RunPeer(dll);
    ASSERT_EQ(seen.size(), 11u) << "the peer did not report";
    EXPECT_EQ(seen[0], r.hKeyboardHook);
    EXPECT_EQ(seen[1], r.hWndOwner);
    EXPECT_EQ(seen[2], r.hMouseHook);
    EXPECT_EQ(seen[4], r.dwInstallTick);
    EXPECT_EQ(seen[9], r.dwLastActiveTick);
    EXPECT_EQ(seen[10], dll.lastActive());
    EXPECT_NE(seen[10], 0u);

    dll.remove();
    seen = RunPeer(dll);
    ASSERT_EQ(seen.size(), 11u);
    EXPECT_EQ(seen[0], 0u);
    EXPECT_EQ(seen[1], r.hWndOwner);  // the owner stays
    EXPECT_NE(seen[1], 0u);
    EXPECT_EQ(seen[10], 0u);
}

}  // namespace
