// A reminder typed into the quick-note box: "remind call Ann in 20 min" becomes
// a stick with that alarm, saved as the stick editor saves one; a balloon at the
// notification icon says when it will ring. A line whose time cannot be read
// goes to the diary as any note does, and the balloon says so.
#include <windows.h>

#include <string>

#include "AlarmStore.h"
#include "App.h"
#include "Clock.h"
#include "DoRoRazIds.h"
#include "MainDlg.h"
#include "QuickNote.h"
#include "ResourceLibrary.h"
#include "StickEditLogic.h"
#include "StickEditorMessages.h"
#include "StickWindows.h"
#include "WhenPhrases.h"

namespace pinora {
namespace {

// The pattern with each "%s" replaced by the next text.
std::string FillIn(std::string pattern, std::initializer_list<std::string> texts) {
    std::size_t from = 0;
    for (const std::string& text : texts) {
        const std::size_t at = pattern.find("%s", from);
        if (at == std::string::npos) {
            pattern += " " + text;
            from = pattern.size();
            continue;
        }
        pattern.replace(at, 2, text);
        from = at + text.size();
    }
    return pattern;
}

// The line as one diary line: without the line break the first Enter may have added.
std::string AsDiaryLine(std::string line) {
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) line.resize(line.size() - 2);
    return line;
}

}  // namespace

bool CMainDlg::SaveReminderLine(const std::string& line, const std::string& afterWord) {
    if (!App().bLoggedIn) {
        SendMessageA(hwnd(), WM_COMMAND, ID_LOGIN, 0);  // nobody's sticks: ask who is there
        return false;
    }
    RefreshDayFiles();
    const LocalTime now = CurrentClock().Now();
    const std::string note = WithoutReminderLead(afterWord);
    const WhenFound when = ReadWhen(note, now, UserDateOrder());
    UINT failure = IDS_REMINDER_NO_TIME;
    if (when.found) {
        // "remind in 20 min" leaves no text of its own: the stick keeps what was typed.
        const std::string text = when.text.empty() ? note : when.text;
        const StickToSave stick = ReminderToSave(when, text, now);
        const std::string folder = UserSticksFolder();
        if (!folder.empty()) CreateDirectoryA(folder.substr(0, folder.size() - 1).c_str(), nullptr);
        if (!folder.empty() && SaveNewStick(folder, stick.dateNumber, stick.text, stick.alarm) != 0) {
            ShowTrayBalloon(FillIn(LoadResString(IDS_REMINDER_SET, 512), {DescribeWhen(when, now, true), stick.text}));
            SendMessageA(hwnd(), MWM_STICKSCHANGED, 0, 0);
            if (HWND calendar = CalendarWindow(); calendar && IsWindowVisible(calendar))
                SendMessageA(calendar, CAL_REFRESH, 0, -1);
            return true;
        }
        failure = IDS_REMINDER_NOT_SAVED;
    }
    // The line is kept as the note it also is.
    const std::string diaryLine = AsDiaryLine(line);
    if (!AppendNote(files_.diaryFile, diaryLine)) {
        MessageBeep(MB_ICONWARNING);  // the box keeps it
        return false;
    }
    ShowTrayBalloon(FillIn(LoadResString(failure, 512), {diaryLine}));
    return true;
}

}  // namespace pinora
