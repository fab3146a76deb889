#include "Skins.h"

#include "Settings.h"
#include "Skin.h"

namespace pinora {
namespace {

constexpr int kSkinNameSize = 64;
constexpr int kSkinFileSize = MAX_PATH;

BOOL CALLBACK TellSkinChanged(HWND wnd, LPARAM) noexcept {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(wnd, uikit::kSkinChangedMsg, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    return TRUE;
}

}  // namespace

void LoadCurrentSkin(std::string& name, std::string& file) {
    name = ReadSetting("CUR_SKIN", "skin_name", kSkinNameSize);
    file = ReadSetting("CUR_SKIN", "skin_file", kSkinFileSize);
}

bool SaveCurrentSkin(const std::string& name, const std::string& file) {
    return WriteSetting(name.c_str(), "CUR_SKIN", "skin_name") && WriteSetting(file.c_str(), "CUR_SKIN", "skin_file");
}

int ApplySkin(const char* skinFile, HWND /*wnd*/) {
    if (!uikit::SetSkin(skinFile)) return -1;
    EnumWindows(TellSkinChanged, 0);
    return 1;
}

int ApplyCurrentSkin(HWND wnd) {
    std::string name, file;
    LoadCurrentSkin(name, file);
    return file.empty() ? 0 : ApplySkin(file.c_str(), wnd);
}

}  // namespace pinora
