// The stick editor's decisions, apart from its window: which repeat kind and end
// date the controls stand for, whether the alarm time may be taken, and the two
// records a save writes.
#pragma once
#include <string>

#include "AlarmCode.h"
#include "AlarmStore.h"
#include "Clock.h"
#include "WhenPhrases.h"

namespace pinora {

// What the editor's controls hold when OK is pressed.
struct StickEditorState {
    std::string text;
    bool alarmOn = false;  // 1016
    bool repeat = false;   // 1017
    bool until = false;    // 1026
    bool quick = false;    // 1056
    bool kind1 = false, kind2 = false, kind3 = false;  // check marks of 1018..1020
    CivilDate start;       // date picker 1028
    int hour = 0, minute = 0;
    int timeDayOfWeek = 0;  // of the value the time picker holds
    CivilDate end;          // date picker 1023
    int quickDelay = 0;     // selection of 1057
    std::string weekly = "0000000";
    int keptStartDate = 0;  // the stored start of the stick being edited, 0 for a new one
};

struct EditorDateTime {
    CivilDate date;
    int hour = 0, minute = 0;
};
// What ticking "alarm on" puts into the pickers: an hour from now, on tomorrow's
// date when that is past midnight.
EditorDateTime AlarmOnPreset(const LocalTime& now);

// Seven "0"/"1" characters from the weekday list; all "0" when it is disabled.
std::string WeekdayText(const bool checked[7], bool listEnabled);

int EditorRepeatKind(const StickEditorState& s);
// The end date the alarm is stored with.
int EditorEndDate(const StickEditorState& s, int startDate);
// Only an alarm that is on is checked; at least five minutes ahead today, within
// its date range when it repeats. A stored alarm loaded with its start date
// unchanged may have started already, as long as it still has a day to ring on.
bool IsAlarmTimeValid(const StickEditorState& s, const LocalTime& now);

// When the quick reminder's five-minute warning falls at the chosen delay: now
// plus the delay plus five minutes; past midnight it moves into the next day.
CarriedTime QuickReminderTime(const LocalTime& now, int delayIndex);

struct StickToSave {
    int dateNumber = 0;  // the stick's date in both tables
    std::string text;
    AlarmRecord alarm;
};
StickToSave BuildStickToSave(const StickEditorState& s, const LocalTime& now);

// The controls as an alarm read from words sets them: alarm on at its first
// time, repeat daily or on its weekdays, until its end; no quick reminder.
StickEditorState EditorStateForWhen(const WhenFound& when, const std::string& text);

// What a reminder typed in words is saved as: the records the editor would save
// for it. One due within the half hour gets no advance reminder, which would
// come at the next check as though the reminder itself went off early.
StickToSave ReminderToSave(const WhenFound& when, const std::string& text, const LocalTime& now);

}  // namespace pinora
