// Numbers of the resources of reminders typed in words: the stick editor's hint
// and the quick-note box's balloons. Shared by code and .rc.
#pragma once

// Stick editor (dialog 205): the line under the text that names the alarm read
// from it; a click on it sets the alarm.
#define IDC_STICK_WHEN_HINT 1090

// Strings
#define IDS_WHEN_HINT 2700           // %s: the alarm in words
#define IDS_REMINDER_SET 2701        // %s: when, %s: the stick's text
#define IDS_REMINDER_NO_TIME 2702    // %s: the line
#define IDS_REMINDER_NOT_SAVED 2703  // %s: the line
#define IDS_REMINDER_TITLE 2704
