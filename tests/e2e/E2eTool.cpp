// A helper for the end-to-end scripts: prepares a program folder and reads the
// tables the program wrote, through the same code the program uses.
//   pinora_e2e_tool seed-user <program folder> <name> <password>
//   pinora_e2e_tool field <table> <record> <field>
//   pinora_e2e_tool records <table>
//   pinora_e2e_tool add-alarm <sticks folder> <alarm code> <text>
//   pinora_e2e_tool window <class or -> <title or ->   visible top-level window's rectangle
//   pinora_e2e_tool control <title> <id>              rectangle of a visible control of that
//                                                     window (in any of its pages)
//   pinora_e2e_tool control-text <title> <id>         the text of a visible control of that window
//   pinora_e2e_tool hotkey-dialog <mode>              asks the running Pinora to open it
//   pinora_e2e_tool hold-hotkey <hex value> <release file>
//                                                     keeps a combination registered until
//                                                     the file exists ("held" or "refused")
//   pinora_e2e_tool hotkey-of <window title> <control id>  what a hotkey control holds ("%x")
//   pinora_e2e_tool hold-desktop <release file>       keeps the Wine desktop up (a hidden
//                                                     window) until the file exists
//   pinora_e2e_tool last-active <pnhook.dll>          HK_GetLastActiveTick of that file
//   pinora_e2e_tool item-rect <window title> <control id>  a control's rectangle on the screen
//   pinora_e2e_tool seed-stick <sticks folder> <yyyyMMdd> <state> <text>
//   pinora_e2e_tool pwd-records <pnpb.dat>            id|user|url|group name|state, a line each
//   pinora_e2e_tool old-cipher <text>                 the text in the old text cipher (hex)
//   pinora_e2e_tool command <id>                      posts that command to the running Pinora
//   pinora_e2e_tool legacy-folder <program folder> <yyyyMMdd>
//                                                     a folder as an earlier version wrote it on a
//                                                     Western Windows (code page 1252): a user
//                                                     "Zoe" with a diaeresis, password "cafe" with
//                                                     an accent, a stick and a diary line that day,
//                                                     a password database with a group "Cafes"
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AlarmStore.h"
#include "Clock.h"
#include "CppSQLite3.h"
#include "PwdStore.h"
#include "HotkeyValue.h"
#include "MainMessages.h"
#include "Settings.h"
#include "Tabulo.h"
#include "Users.h"

namespace {

int SeedUser(const std::string& folder, const char* name, const char* password) {
    pinora::SetProgramFolder(folder);
    const std::string table = pinora::userTablePath();
    pinora::createUserTable(table);
    if (pinora::addUserTo(table, name, password) != 1) {
        std::fprintf(stderr, "could not add %s to %s\n", name, table.c_str());
        return 1;
    }
    // As the login dialog leaves them: the password protected for this Windows user.
    if (pinora::RememberPassword(password) != pinora::Remembering::Remembered) return 1;
    return pinora::WriteSetting("1", "SETTINGS", "auto_login_in") && pinora::WriteSetting(name, "SETTINGS", "auto_user") &&
                   pinora::WriteSetting("1", "SETTINGS", "auto_remember_pwd")
               ? 0
               : 1;
}

int PrintField(const char* path, long record, int field) {
    FileDBF table;
    if (table.Open(path) != 0 || table.Go(record) != 0) return 1;
    char value[256] = {};
    if (table.ReadField(field, value) != 0) return 1;
    std::printf("%s\n", value);
    return 0;
}

// A live alarm as the editor saves it, both reminders still to come.
int AddAlarm(const std::string& sticksFolder, const char* code, const char* text) {
    pinora::AlarmRecord r;
    r.code = code;
    r.alarm5 = "0";
    r.alarm30 = "0";
    r.stick = text;
    r.date = r.code.substr(0, 8);
    r.state = pinora::kStateLive;
    return pinora::SaveNewStick(sticksFolder, std::atoi(r.date.c_str()), text, r) > 0 ? 0 : 1;
}

int PrintRecords(const char* path) {
    FileDBF table;
    if (table.Open(path) != 0) return 1;
    std::printf("%ld\n", table.GetRecords());
    return 0;
}

int PrintPasswordRecords(const char* path) {
    try {
        CppSQLite3Connection db;
        db.open(path);
        const char* sql =
            "select pwd_id, pwd_user, pwd_url, (select grp_name from pn_group where grp_id = pwd_grp_id), pwd_state "
            "from pn_pwd order by pwd_id";
        for (CppSQLite3ResultSet rows = db.query(sql); !rows.atEnd(); rows.next())
            std::printf("%d|%s|%s|%s|%d\n", rows.intField(0), rows.textField(1, ""), rows.textField(2, ""),
                        rows.textField(3, ""), rows.intField(4));
        return 0;
    } catch (const CppSQLite3Exception& e) {
        std::fprintf(stderr, "%s\n", e.errorMessage());
        return 1;
    }
}

// A stick without alarm saved as the editor saves it (record n of both tables),
// with the state given: "3" a plain stick, "0" a finished one.
int SeedStick(const std::string& folder, const char* date, const char* state, const char* text) {
    const std::string d = date;
    if (d.size() != 8) return 2;
    const int year = std::atoi(d.substr(0, 4).c_str()), month = std::atoi(d.substr(4, 2).c_str()),
              day = std::atoi(d.substr(6, 2).c_str());
    pinora::AlarmRecord r;
    r.code = d + "|" + d.substr(0, 4) + "|" + d.substr(4, 2) + "|" + d.substr(6, 2) + "|9|0|" +
             std::to_string(pinora::DayOfWeek(year, month, day)) + "|0|" + d;
    r.stick = text;
    r.date = d;
    r.state = state;
    const int n = pinora::SaveNewStick(folder, std::atoi(date), text, r);
    if (n == 0) return 1;
    std::printf("%d\n", n);
    return 0;
}

// What the earlier version wrote, byte for byte: its text in code page 1252,
// through the same table writers; the settings file as the profile calls of
// that version left it. The user's folder has the name's Unicode form, as the
// file system kept it.
int LegacyFolder(const std::string& folder, const std::string& date) {
    pinora::SetProgramFolder(folder);
    // That version kept the login password in the old cipher, as the
    // remembered one, not as a hash.
    char password[kCipherFieldSize] = {};
    if (cryptField("caf\xE9", password, 0) != 1) return 1;
    const std::string table = pinora::userTablePath();
    if (pinora::createUserTable(table) != 1) return 1;
    {
        FileDBF users;
        if (users.Open(table.c_str()) != 0 || users.AppendRecord() != 0 || users.WriteField(1, "1") != 0 ||
            users.WriteField(2, "Zo\xEB") != 0 || users.WriteField(3, password) != 0)
            return 1;
    }
    const std::string ini = std::string("[SETTINGS]\r\nauto_start_os=0\r\nauto_start_dk=1\r\nauto_login_in=1\r\n") +
                            "auto_user=Zo\xEB\r\nauto_pwd=" + password + "\r\nauto_remember_pwd=1\r\n";
    std::FILE* f = std::fopen(pinora::SettingsPath().c_str(), "wb");
    if (!f) return 1;
    std::fwrite(ini.data(), 1, ini.size(), f);
    std::fclose(f);
    const std::string user = pinora::ProgramFolder() + "Zo\xC3\xAB";
    CreateDirectoryA(user.c_str(), nullptr);
    CreateDirectoryA((user + "\\data").c_str(), nullptr);
    CreateDirectoryA((user + "\\data\\sticks").c_str(), nullptr);
    if (SeedStick(user + "\\data\\sticks\\", date.c_str(), "1", "Caf\xE9 au lait \x80 5") != 0) return 1;
    const std::string diary = user + "\\data\\" + date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2) + ".txt";
    f = std::fopen(diary.c_str(), "wb");
    if (!f) return 1;
    std::fputs("Caf\xE9 mit Zo\xEB\r\n", f);
    std::fclose(f);
    // The password box's database, its statements as that version ran them.
    try {
        CppSQLite3Connection db;
        db.open((user + "\\pnpb.dat").c_str());
        for (const char* sql : {pnstore::kCreatePwdTable, pnstore::kCreateGroupTable, pnstore::kCreateUserTable})
            db.execute(sql);
        db.execute("insert into pn_group values(1,'Caf\xE9s')");
        db.execute((std::string("insert into pn_pwd values(1,'Zo\xEB','") + password +
                    "','https://caf\xE9.example',1,1)").c_str());
    } catch (const CppSQLite3Exception& e) {
        std::fprintf(stderr, "%s\n", e.errorMessage());
        return 1;
    }
    return 0;
}

const char* OrNull(const char* arg) { return std::strcmp(arg, "-") == 0 ? nullptr : arg; }

// A window's place on the screen as "left top right bottom".
int PrintHotkeyOf(const char* title, const char* id) {
    HWND control = GetDlgItem(FindWindowA(nullptr, title), std::atoi(id));
    if (!control) return 1;
    std::printf("%lx\n", static_cast<unsigned long>(SendMessageA(control, HKM_GETHOTKEY, 0, 0) & 0xFFFF));
    return 0;
}

int PrintRect(HWND w) {
    RECT rc;
    if (!w || !GetWindowRect(w, &rc)) return 1;
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    return 0;
}

int PrintWindow(const char* windowClass, const char* title) {
    HWND w = FindWindowExA(nullptr, nullptr, OrNull(windowClass), OrNull(title));
    while (w && !IsWindowVisible(w)) w = FindWindowExA(nullptr, w, OrNull(windowClass), OrNull(title));
    return PrintRect(w);
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleControl(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child)) return TRUE;
    search->found = child;
    return FALSE;
}

HWND VisibleControl(const char* title, int id) {
    HWND w = FindWindowExA(nullptr, nullptr, nullptr, title);
    while (w && !IsWindowVisible(w)) w = FindWindowExA(nullptr, w, nullptr, title);
    if (!w) return nullptr;
    ControlSearch search = {id, nullptr};
    EnumChildWindows(w, FindVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int PrintControl(const char* title, int id) { return PrintRect(VisibleControl(title, id)); }

int PrintControlText(const char* title, int id) {
    HWND control = VisibleControl(title, id);
    if (!control) return 1;
    char text[4096] = {};
    GetWindowTextA(control, text, sizeof text);
    std::printf("%s\n", text);
    return 0;
}

int OpenHotkeyDialog(int mode) {
    HWND main = static_cast<HWND>(GetPropA(GetDesktopWindow(), "Pinora prop"));
    if (!main) return 1;
    return PostMessageA(main, pinora::MWM_HOTKEYDIALOG, static_cast<WPARAM>(mode), 0) ? 0 : 1;
}

int PostCommand(int id) {
    HWND main = static_cast<HWND>(GetPropA(GetDesktopWindow(), "Pinora prop"));
    if (!main) return 1;
    return PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(id), 0) ? 0 : 1;
}

int HoldHotkey(const char* hex, const char* releaseFile) {
    unsigned value = 0;
    if (!pinora::ParseHotkey(hex, &value)) return 2;
    const pinora::HotkeyRegistration r = pinora::ToRegistration(value);
    if (!RegisterHotKey(nullptr, 1, r.modifiers, r.virtualKey)) {
        std::printf("refused\n");
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    for (int i = 0; i < 1200 && GetFileAttributesA(releaseFile) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    UnregisterHotKey(nullptr, 1);
    return 0;
}

// Wine closes its virtual desktop when the last program on it ends and opens it
// again, slowly, for the next one; scripts that start short programs one after
// another keep it up with this.
int HoldDesktop(const char* releaseFile) {
    HWND keeper = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "pinora e2e desktop keeper", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, nullptr, nullptr);
    if (!keeper) return 1;
    for (int i = 0; i < 6000 && GetFileAttributesA(releaseFile) == INVALID_FILE_ATTRIBUTES; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(100);
    }
    DestroyWindow(keeper);
    return 0;
}

// A presentation: a black window over the whole primary monitor, in front, until
// the release file appears (or, at most, ten minutes).
int HoldFullScreen(const char* releaseFile) {
    // SS_NOTIFY: a click lands on it (a plain static lets clicks through).
    HWND slides = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "pinora e2e full screen",
                                  WS_POPUP | SS_BLACKRECT | SS_NOTIFY, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    if (!slides) return 1;
    ShowWindow(slides, SW_SHOW);
    SetForegroundWindow(slides);
    for (int i = 0; i < 6000 && GetFileAttributesA(releaseFile) == INVALID_FILE_ATTRIBUTES; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(100);
    }
    DestroyWindow(slides);
    return 0;
}

// The first shown top-level window whose class name begins with the prefix (the
// today window's class is "ATL:" and eight hex digits).
struct ClassSearch {
    std::string prefix;
    HWND found = nullptr;
};

BOOL CALLBACK FindByClassPrefix(HWND w, LPARAM param) {
    auto* search = reinterpret_cast<ClassSearch*>(param);
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (!IsWindowVisible(w) || std::strncmp(name, search->prefix.c_str(), search->prefix.size()) != 0) return TRUE;
    search->found = w;
    return FALSE;
}

int PrintWindowOfClassPrefix(const char* prefix) {
    ClassSearch search{prefix};
    EnumWindows(FindByClassPrefix, reinterpret_cast<LPARAM>(&search));
    return PrintRect(search.found);
}

int PrintLastActive(const char* dll) {
    HMODULE hooks = LoadLibraryA(dll);
    if (!hooks) return 1;
    using TickFn = DWORD(__cdecl*)();
    auto lastActive = reinterpret_cast<TickFn>(reinterpret_cast<void*>(GetProcAddress(hooks, "HK_GetLastActiveTick")));
    if (!lastActive) return 1;
    std::printf("%lu\n", static_cast<unsigned long>(lastActive()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "seed-user" && argc == 5) return SeedUser(argv[2], argv[3], argv[4]);
    if (verb == "field" && argc == 5) return PrintField(argv[2], std::atol(argv[3]), std::atoi(argv[4]));
    if (verb == "records" && argc == 3) return PrintRecords(argv[2]);
    if (verb == "add-alarm" && argc == 5) return AddAlarm(argv[2], argv[3], argv[4]);
    if (verb == "window" && argc == 4) return PrintWindow(argv[2], argv[3]);
    if (verb == "window-of-class-prefix" && argc == 3) return PrintWindowOfClassPrefix(argv[2]);
    if (verb == "hold-full-screen" && argc == 3) return HoldFullScreen(argv[2]);
    if (verb == "hotkey-of" && argc == 4) return PrintHotkeyOf(argv[2], argv[3]);
    if (verb == "item-rect" && argc == 4) return PrintRect(GetDlgItem(FindWindowA(nullptr, argv[2]), std::atoi(argv[3])));
    if (verb == "control" && argc == 4) return PrintControl(argv[2], std::atoi(argv[3]));
    if (verb == "control-text" && argc == 4) return PrintControlText(argv[2], std::atoi(argv[3]));
    if (verb == "hotkey-dialog" && argc == 3) return OpenHotkeyDialog(std::atoi(argv[2]));
    if (verb == "hold-hotkey" && argc == 4) return HoldHotkey(argv[2], argv[3]);
    if (verb == "last-active" && argc == 3) return PrintLastActive(argv[2]);
    if (verb == "hold-desktop" && argc == 3) return HoldDesktop(argv[2]);
    if (verb == "seed-stick" && argc == 6) return SeedStick(argv[2], argv[3], argv[4], argv[5]);
    if (verb == "pwd-records" && argc == 3) return PrintPasswordRecords(argv[2]);
    if (verb == "old-cipher" && argc == 3) {
        char hex[kCipherFieldSize] = {};
        if (cryptField(argv[2], hex, 0) != 1) return 1;
        std::printf("%s\n", hex);
        return 0;
    }
    if (verb == "command" && argc == 3) return PostCommand(std::atoi(argv[2]));
    if (verb == "legacy-folder" && argc == 4) return LegacyFolder(argv[2], argv[3]);
    std::fprintf(stderr,
                 "usage: seed-user <folder> <name> <password> | field <table> <record> <field> | records <table>\n"
                 "     | add-alarm <sticks folder> <code> <text> | window <class|-> <title|-> | item-rect <title> <id>\n"
                 "     | control <title> <id> | control-text <title> <id> | hotkey-dialog <mode> | hold-hotkey <hex> <release file>\n"
                 "     | last-active <pnhook.dll> | seed-stick <sticks folder> <yyyyMMdd> <state> <text>\n"
                 "     | hold-desktop <release file> | hotkey-of <title> <id> | pwd-records <pnpb.dat>\n"
                 "     | old-cipher <text>\n"
                 "     | command <id>\n"
                 "     | legacy-folder <folder> <yyyyMMdd>\n");
    return 2;
}
