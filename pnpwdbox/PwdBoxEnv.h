// What every window of the password box shares: its resource library, its
// settings file "pnpb.ini", the logged-in flag, message boxes by number, and
// the seams through which tests replace the file dialogs and the idle clock
// (the shell's "open" is uikit::ShellOpen's).
#pragma once
#include <windows.h>

#include <string>

namespace pwdbox {

// PNPBRes.dll beside the password-box module, loaded on first need.
HMODULE ResLib() noexcept;
void FreeResLib() noexcept;
std::string ResString(int id);

// Starts the common controls and the toolkit's skin (DORORod.dll) once.
void EnsureToolkit() noexcept;

// An information box with numbered text (whole, however long) and title;
// returns the button.
int ShowInfo(HWND owner, int textId, int titleId, UINT buttons = MB_OK) noexcept;
int ShowText(HWND owner, const std::string& text, const std::string& title, UINT type) noexcept;

// "pnpb.ini" in the module's folder, section "UI".
std::string IniPath();
bool IniExists();
std::string ReadIni(const char* key, const char* fallback = "");
int ReadIniInt(const char* key, int fallback);
// Writes only into an existing file; the first-use check is what creates it.
bool WriteIni(const char* key, const char* value);
// Creates the file if need be (the first-use check).
bool WriteIniAlways(const char* key, const char* value);

// The process-wide logged-in flag (0 after load).
int& LoggedIn() noexcept;

// ---- The user's own database ----
// Two Pinora users of one program folder share PnPwdBox.dll and its
// "pnpb.ini", but not their databases: the database a user chose with "Open
// database" is kept beside their own (the one the main program names), in a
// "pnpb.ini" of that folder.

// The database the main program named (ANSI), "" when none was.
void SetHomeDatabase(const std::string& ansiPath);
std::string HomeDatabase();
// The user's settings file: beside their home database, else the shared one.
std::string UserIniPath();
// The database the user chose last ("" for none), remembering it, forgetting it.
std::string ChosenDatabase();
bool RememberChosenDatabase(const std::string& ansiPath);
void ForgetChosenDatabase();

// ---- Seams ----

enum class FileDialogKind { OpenDatabase, BackupDatabase, SaveCsv, ImportPasswords, ExportPasswords };
// Asks for a file name; false when cancelled.
using FileChooser = bool (*)(HWND owner, FileDialogKind kind, std::string& path);
bool ChooseFile(HWND owner, FileDialogKind kind, std::string& path) noexcept;
void SetFileChooser(FileChooser chooser) noexcept;  // nullptr: the common dialogs

// The idle lock's view of time: when input was last seen, and now (ticks).
// The box looks again when the lock could first be due, but never later than
// maxCheckMs after its last look (a changed "idle_lock_minutes" is seen then).
struct IdleClock {
    DWORD (*lastInput)();
    DWORD (*now)();
    UINT maxCheckMs;
};
IdleClock CurrentIdleClock() noexcept;
void SetIdleClock(const IdleClock* clock) noexcept;  // nullptr: the system's
// The last input tick: pnhook's when that library is in the process,
// otherwise GetLastInputInfo.
DWORD SystemLastInputTick() noexcept;

}  // namespace pwdbox
