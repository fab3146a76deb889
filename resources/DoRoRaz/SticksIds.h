// Numbers of the sticks windows' resources, shared by code and .rc.
#pragma once

// Dialogs
#define IDD_STICK_EDITOR 205
#define IDD_ALARM_POPUP 209

// Bitmaps
#define IDB_AGENT 100

// Stick editor controls
#define IDC_STICK_WEEKDAYS 1002
#define IDC_STICK_TEXT 1004
#define IDC_STICK_ALARM_ON 1016
#define IDC_STICK_REPEAT 1017
#define IDC_STICK_KIND1 1018
#define IDC_STICK_KIND2 1019
#define IDC_STICK_KIND3 1020
#define IDC_STICK_END_DATE 1023
#define IDC_STICK_TIME 1025
#define IDC_STICK_UNTIL 1026
#define IDC_STICK_DATE 1028
#define IDC_STICK_CAPTION 1030
#define IDC_STICK_DELETE 1031
#define IDC_STICK_QUICK 1056
#define IDC_STICK_QUICK_DELAY 1057
#define IDC_STICK_CLOCK 1065

// Alarm pop-up controls
#define IDC_ALARM_MANAGER 1000
#define IDC_ALARM_TEXT 1027
#define IDC_ALARM_AGAIN 1068
#define IDC_ALARM_DELAY 1071

// Strings
#define IDS_ALARM_TIME_INVALID 1
#define IDS_STICK_EMPTY 2
#define IDS_ALARM_READ_ERROR 3
#define IDS_STICK_CAPTION 4
#define IDS_WEEKDAY_FIRST 5   // 5 Sunday ... 11 Saturday
#define IDS_STICK_SAVED 12
#define IDS_STICK_DELETE_ASK 13
#define IDS_STICK_DELETE_CAPTION 14  // the program caption, kept in Users.rc
#define IDS_STICK_NEW 15
#define IDS_STICK_FINISHED 16
#define IDS_STICK_EDIT 17
#define IDS_STICK_NO_ALARM 21
#define IDS_DELAY_FIRST 39    // 39 five minutes ... 44 two hours
#define IDS_CLOCK_PREFIX 57
#define IDS_STICK_NOT_SAVED 2100
#define IDS_TABLE_UNREADABLE 2101  // %s: the table's path
#define IDS_TABLE_COPY_KEPT 2102   // %s: the copy's path
