// Numbers of the stick manager's and calendar's resources, shared by code and .rc.
#pragma once

// The texts of one day's sticks.
#define IDD_DAY_LIST 211
#define IDC_DAY_LIST_ITEMS 1002
#define IDC_DAY_LIST_TEXT 1004

// The day cell's context menu (submenu 0).
#define IDR_CALENDAR_MENU 3000
#define ID_CAL_NEW_STICK 3001
#define ID_CAL_DAY_LIST 3002

// Strings
#define IDS_DAYNAME_FIRST 32   // 32 Sunday ... 38 Saturday
#define IDS_PREVIOUS_MONTH 55
#define IDS_NEXT_MONTH 56
#define IDS_DAY_LIST_CAPTION 2200  // "%s": the day's date
