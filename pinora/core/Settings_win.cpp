#include "Settings.h"

#include <windows.h>

#include <cstring>

#include "TextConversion.h"
#include "TextFold.h"
#include "Utf8Text.h"

namespace pinora {

const char* const kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValueName = "Pinora notes";

namespace {

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

// The program's full path in the program's text (UTF-8). Read in UTF-16: a
// path of MAX_PATH characters may take three times as many bytes.
std::string ProgramPath() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(n), s.data(), bytes, nullptr, nullptr);
    return s;
}

std::string ModuleFolder() {
    const std::string s = ProgramPath();
    auto slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

}  // namespace

const std::string& ProgramFolder() {
    static const std::string real = ModuleFolder();
    return FolderOverride().empty() ? real : FolderOverride();
}

void SetProgramFolder(const std::string& folder) {
    FolderOverride() = folder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') FolderOverride() += '\\';
}

std::string SettingsPath() { return ProgramFolder() + "pinora.ini"; }

namespace {

// The whole value: the system cuts a value too long for the buffer anywhere,
// also inside a character, so it is read whole and cut here.
std::string WholeSetting(const char* section, const char* key) {
    std::string buf(256, '\0');
    for (;;) {
        const DWORD n = GetPrivateProfileStringA(section, key, "", buf.data(), static_cast<DWORD>(buf.size()),
                                                 SettingsPath().c_str());
        if (n + 1 < buf.size() || buf.size() >= (1u << 20)) {
            buf.resize(std::strlen(buf.c_str()));
            return buf;
        }
        buf.resize(buf.size() * 4);
    }
}

}  // namespace

void ReadSetting(const char* section, const char* key, char* buf, int size) {
    if (!buf || size <= 0) return;
    uikit::CopyUtf8(buf, static_cast<size_t>(size), WholeSetting(section, key).c_str());
}

std::string ReadSetting(const char* section, const char* key, int size) {
    return uikit::Utf8Prefix(WholeSetting(section, key), static_cast<size_t>(size > 0 ? size - 1 : 0));
}

bool WriteSetting(const char* value, const char* section, const char* key) {
    // A null value would delete the key; that is DeleteSetting's job.
    if (value == nullptr) return false;
    return WritePrivateProfileStringA(section, key, value, SettingsPath().c_str()) != FALSE;
}

bool WriteFlag(bool on, const char* section, const char* key) { return WriteSetting(on ? "1" : "0", section, key); }

bool DeleteSetting(const char* section, const char* key) {
    return WritePrivateProfileStringA(section, key, nullptr, SettingsPath().c_str()) != FALSE;
}

bool SettingsFileWritable() {
    // Opened as the profile functions open it (others may read and write beside us).
    HANDLE file = CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool SetRunAtLogon(bool on) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        // The Run key may not exist yet in a new profile; creating it is what opening means there.
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
    }
    LONG r;
    if (on) {
        const std::string path = ProgramPath();
        r = RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1));
    } else {
        r = RegDeleteValueA(key, kRunValueName);
    }
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool IsRunAtLogon() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char stored[3 * MAX_PATH + 1] = {};  // UTF-8: up to three bytes a character
    DWORD size = 3 * MAX_PATH, type = 0;
    LONG r = RegQueryValueExA(key, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // A value left by a copy of the program elsewhere starts that copy, not this one.
    return uikit::SameTextIgnoringCase(stored, ProgramPath());
}

bool WriteFirstRunSettings(const std::string& defaultWinkPath) {
    if (GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    // The flag shows what the registry holds, so the settings page tells the truth.
    bool registered = SetRunAtLogon(true);
    WriteFlag(registered, "SETTINGS", "auto_start_os");
    WriteSetting("1", "SETTINGS", "auto_start_dk");
    WriteSetting("1", "ALERTS", "check_dlg");
    WriteSetting("1", "ALERTS", "check_each_time");
    WriteSetting("45", "ALERTS", "each_time");
    WriteSetting("1", "ALERTS", "check_rest");
    WriteSetting("242", "HOTKEY", "hotkey");
    WriteSetting(defaultWinkPath.c_str(), "ALERTS", "stick_wink");
    WriteSetting(defaultWinkPath.c_str(), "ALERTS", "auto_wink");
    // A new folder holds no text of an earlier version: nothing to convert.
    WriteSetting(kTextEncodingUtf8, "SETTINGS", kTextEncodingKey);
    return true;
}

}  // namespace pinora
