// The rules of the quick command box, free of windows: which text is a command
// word, the file name a program is run by, the dictionary address, and where the
// dictionary popup docks beside the main window.
#pragma once
#include <cstddef>
#include <string>

namespace pinora {

// WM_NOTIFY codes the note box (control 1001) sends the main window on Enter.
constexpr unsigned kCmdCompanionEditor = 2425;  // "VekPad"
constexpr unsigned kCmdSetHotkey = 2426;        // "setkey"
constexpr unsigned kCmdPaint = 2427;            // "mspaint", "mspt"
constexpr unsigned kCmdCalculator = 2428;       // "calc"
constexpr unsigned kCmdConsole = 2429;          // "cmd"
constexpr unsigned kCmdNewStick = 2430;         // "stk"
constexpr unsigned kCmdRemind = 32815;          // a line starting with the word "remind"

// The code of the command word the whole text is, compared without regard to
// case, alone or followed by one "\r\n"; 0 when the text is no command word.
unsigned MatchCommandWord(const std::string& text);

// A reminder line: the whole text is one line (alone or followed by one
// "\r\n", as for the command words) that starts with the word "remind" in any
// case ("remind call Ann in 20 min", "Remind: dentist tomorrow"; not
// "reminders"). rest gets what follows the word, without the blanks and colon
// after it.
bool MatchReminderLine(const std::string& text, std::string* rest);

// The program a run-by-name code starts ("calc" for 2428), or nullptr.
const char* ProgramForCommand(unsigned code);

// The file a program is run by: the name cut to 255 characters, with ".exe"
// appended unless the name already contains ".exe" (case-sensitive, anywhere).
std::string ProgramFileName(const std::string& name);

// The dictionary address: prefix and words exactly as typed (no trimming, no
// escaping), cut to 1023 characters; empty when there are no words.
constexpr std::size_t kLookupUrlMax = 1023;
extern const char* const kDefaultDictionaryPrefix;
std::string BuildLookupUrl(const std::string& prefix, const std::string& words);

// The popup docked to the left of the main window: half its width (signed
// integer division), its height, its top, ending where the main window begins.
struct DockPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
DockPlace DockBeside(int mainLeft, int mainTop, int mainWidth, int mainHeight);

}  // namespace pinora
