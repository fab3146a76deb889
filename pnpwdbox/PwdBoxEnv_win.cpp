#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstdlib>

#include "MessageBox.h"
#include "PwdBoxEnv.h"
#include "PwdStore.h"
#include "Skin.h"
#include "Utf8Text.h"
#include "WindowText.h"

namespace pwdbox {
namespace {

constexpr char kSection[] = "UI";

HMODULE g_resLib = nullptr;
std::string g_homeDatabase;
FileChooser g_fileChooser = nullptr;
bool g_hasIdleClock = false;
IdleClock g_idleClock = {};

DWORD SystemNow() { return GetTickCount(); }

bool CommonFileDialog(HWND owner, FileDialogKind kind, std::string& path) {
    char name[MAX_PATH + 1] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner ? owner : GetActiveWindow();
    ofn.lpstrFile = name;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    switch (kind) {
    case FileDialogKind::SaveCsv:
        ofn.lpstrFilter = "CSV Files (*.csv)\0*.csv\0All Files (*.*)\0*.*\0";
        ofn.lpstrDefExt = "csv";
        break;
    case FileDialogKind::ImportPasswords:
        ofn.lpstrFilter = "Password files (*.csv;*.xml)\0*.csv;*.xml\0All Files (*.*)\0*.*\0";
        ofn.Flags |= OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
        break;
    case FileDialogKind::ExportPasswords:
        // The name's extension decides the format (ExportFormatOf).
        ofn.lpstrFilter = "KeePass 2 XML (*.xml)\0*.xml\0KeePassXC CSV (*.csv)\0*.csv\0";
        ofn.lpstrDefExt = "xml";
        ofn.Flags |= OFN_NOCHANGEDIR;
        break;
    default:
        ofn.lpstrFilter = "All Files (*.*)\0*.*\0DB Files (*.dat)\0*.dat\0";
        break;
    }
    const bool opens = kind == FileDialogKind::OpenDatabase || kind == FileDialogKind::ImportPasswords;
    BOOL ok = opens ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (!ok) return false;
    path = name;
    return true;
}

}  // namespace

HMODULE ResLib() noexcept {
    if (!g_resLib) {
        try {
            g_resLib = LoadLibraryA((pnstore::ModuleFolder() + "PNPBRes.dll").c_str());
        } catch (...) {
        }
    }
    return g_resLib;
}

void FreeResLib() noexcept {
    if (g_resLib) FreeLibrary(g_resLib);
    g_resLib = nullptr;
}

std::string ResString(int id) {
    HMODULE lib = ResLib();
    return lib ? uikit::Utf8Prefix(uikit::ResourceText(lib, UINT(id)), 1023) : std::string();
}

void EnsureToolkit() noexcept {
    static bool started = false;
    if (started) return;
    started = true;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES |
                                                ICC_DATE_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    try {
        uikit::SetSkin((pnstore::ModuleFolder() + "DORORod.dll").c_str());
    } catch (...) {
    }
}

int ShowText(HWND owner, const std::string& text, const std::string& title, UINT type) noexcept {
    return uikit::ShowMessageBox(owner, text.c_str(), title.c_str(), type);
}

int ShowInfo(HWND owner, int textId, int titleId, UINT buttons) noexcept {
    try {
        // The whole text: a warning cut short (the plain-text export's) warns
        // of less than it should. Titles stay short, cut between characters.
        std::string text = ResString(textId);
        std::string title = uikit::Utf8Prefix(ResString(titleId), 31);
        return ShowText(owner, text, title, buttons | MB_ICONINFORMATION);
    } catch (...) {
        return IDCANCEL;
    }
}

std::string IniPath() { return pnstore::ModuleFolder() + "pnpb.ini"; }

bool IniExists() {
    OFSTRUCT of = {};
    of.cBytes = sizeof of;
    return OpenFile(IniPath().c_str(), &of, OF_EXIST) != HFILE_ERROR;
}

std::string ReadIni(const char* key, const char* fallback) {
    char value[1024] = {};
    GetPrivateProfileStringA(kSection, key, fallback, value, sizeof value, IniPath().c_str());
    return value;
}

int ReadIniInt(const char* key, int fallback) {
    std::string text = ReadIni(key, "");
    if (text.empty()) return fallback;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || value < 0 || value > 1000000) return fallback;
    return int(value);
}

bool WriteIni(const char* key, const char* value) {
    if (!IniExists()) return false;
    return WritePrivateProfileStringA(kSection, key, value, IniPath().c_str()) != FALSE;
}

bool WriteIniAlways(const char* key, const char* value) {
    return WritePrivateProfileStringA(kSection, key, value, IniPath().c_str()) != FALSE;
}

void SetHomeDatabase(const std::string& ansiPath) { g_homeDatabase = ansiPath; }

std::string HomeDatabase() { return g_homeDatabase; }

std::string UserIniPath() {
    const size_t slash = g_homeDatabase.find_last_of("\\/");
    return slash == std::string::npos ? IniPath() : g_homeDatabase.substr(0, slash + 1) + "pnpb.ini";
}

std::string ChosenDatabase() {
    char value[1024] = {};
    GetPrivateProfileStringA(kSection, "CUR_DB_FILE", "", value, sizeof value, UserIniPath().c_str());
    return value;
}

bool RememberChosenDatabase(const std::string& ansiPath) {
    return WritePrivateProfileStringA(kSection, "CUR_DB_FILE", ansiPath.c_str(), UserIniPath().c_str()) != FALSE;
}

void ForgetChosenDatabase() { WritePrivateProfileStringA(kSection, "CUR_DB_FILE", nullptr, UserIniPath().c_str()); }

int& LoggedIn() noexcept {
    static int loggedIn = 0;
    return loggedIn;
}

bool ChooseFile(HWND owner, FileDialogKind kind, std::string& path) noexcept {
    try {
        return (g_fileChooser ? g_fileChooser : CommonFileDialog)(owner, kind, path);
    } catch (...) {
        return false;
    }
}

void SetFileChooser(FileChooser chooser) noexcept { g_fileChooser = chooser; }

DWORD SystemLastInputTick() noexcept {
    // pnhook records input anywhere on the desktop; when the main program has
    // it loaded, that is the better source.
    if (HMODULE hook = GetModuleHandleA("pnhook.dll")) {
        using LastTick = DWORD (*)();
        if (auto last = reinterpret_cast<LastTick>(reinterpret_cast<void*>(GetProcAddress(hook, "HK_GetLastActiveTick"))))
            return last();
    }
    LASTINPUTINFO info = {sizeof info};
    return GetLastInputInfo(&info) ? info.dwTime : GetTickCount();
}

IdleClock CurrentIdleClock() noexcept {
    if (g_hasIdleClock) return g_idleClock;
    return IdleClock{SystemLastInputTick, SystemNow, 60000};
}

void SetIdleClock(const IdleClock* clock) noexcept {
    g_hasIdleClock = clock != nullptr;
    if (clock) g_idleClock = *clock;
}

}  // namespace pwdbox
