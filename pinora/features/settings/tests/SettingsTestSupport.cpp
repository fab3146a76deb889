#include "SettingsTestSupport.h"

#include "MainMessages.h"

namespace pinora::test {
namespace {

constexpr const char* kFakeMainClass = "PinoraSettingsTestMain";
int g_todayRebuilds = 0;

LRESULT CALLBACK FakeMainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MWM_STICKSCHANGED) {
        ++g_todayRebuilds;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

FakeMainWindow::FakeMainWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FakeMainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kFakeMainClass;
    RegisterClassA(&wc);  // once per process; later calls fail harmlessly
    g_todayRebuilds = 0;
    hwnd_ = CreateWindowA(kFakeMainClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

FakeMainWindow::~FakeMainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

int FakeMainWindow::TodayRebuilds() const { return g_todayRebuilds; }

void Click(HWND dlg, int id) {
    HWND button = GetDlgItem(dlg, id);
    const LONG_PTR type = GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX)
        CheckDlgButton(dlg, id, IsDlgButtonChecked(dlg, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Type(HWND dlg, int id, const std::string& text) { SetDlgItemTextA(dlg, id, text.c_str()); }

std::string TextOf(HWND dlg, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

bool IsChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

std::vector<std::string> KeysOf(const IniLines& lines, const std::string& section) {
    std::vector<std::string> keys;
    const std::string prefix = section + "/";
    for (const auto& [key, value] : lines)
        if (key.compare(0, prefix.size(), prefix) == 0) keys.push_back(key.substr(prefix.size()));
    return keys;
}

std::string ValueOf(const IniLines& lines, const std::string& sectionKey) {
    for (const auto& [key, value] : lines)
        if (key == sectionKey) return value;
    return "<missing>";
}

}  // namespace pinora::test
