// Numbers of the settings dialog's resources, shared by code and .rc.
#pragma once

// Dialogs: the frame with its page list, the three pages and the wink chooser.
#define IDD_SETTINGS 215
#define IDD_SETTINGS_GENERAL 216
#define IDD_SETTINGS_ALERTS 217
#define IDD_WINK_CHOOSER 218
#define IDD_SETTINGS_STICKS 226

// The frame
#define IDC_SETTINGS_PAGES 1045
#define IDC_SETTINGS_TITLE 1046

// General page
#define IDC_GENERAL_AGENT 1000
#define IDC_GENERAL_AUTOSTART 1037
#define IDC_GENERAL_TODAY 1061
#define IDC_GENERAL_CHOOSE_AGENT 1067
#define IDC_GENERAL_AGENT_HINT 1101  // how large a picture may be

// Alerts page
#define IDC_ALERTS_STICK_WINK 1000
#define IDC_ALERTS_TIP 1001
#define IDC_ALERTS_TIP_TEXT 1003
#define IDC_ALERTS_DRAW 1017
#define IDC_ALERTS_WINKS 1047
#define IDC_ALERTS_DLG 1048
#define IDC_ALERTS_SPIN 1050
#define IDC_ALERTS_EACH_TIME_WINK 1051
#define IDC_ALERTS_REST_WINK 1052
#define IDC_ALERTS_EACH_TIME 1053
#define IDC_ALERTS_STICK_PREVIEW 1054
#define IDC_ALERTS_REST_PREVIEW 1055
#define IDC_ALERTS_REST 1058
#define IDC_ALERTS_REST_DRAW 1059
#define IDC_ALERTS_SAMPLE 1060

// Sticks page
#define IDC_STICKS_MAIN_HOTKEY 1000
#define IDC_STICKS_CAPTURE_HOTKEY 1004
#define IDC_STICKS_KEEP_DELETED 1069
#define IDC_STICKS_DROP_DELETED 1070
#define IDC_STICKS_NOTE_FONT 1081

// Wink chooser
#define IDC_WINK_PLAY 1000
#define IDC_WINK_LIST 1100   // the list view, made when the dialog opens

// Strings
#define IDS_PAGE_GENERAL 29
#define IDS_PAGE_ALERTS 30
#define IDS_WINK_PREVIEW_TIP 31
#define IDS_REST_SAMPLE 49    // the sample button's tooltip and the sample's text
#define IDS_PAGE_STICKS 58
#define IDS_RUN_AT_LOGON_FAILED 2350
#define IDS_REST_PERIOD_BAD 2351
#define IDS_NOTE_FONT_BAD 2352
#define IDS_PICTURE_UNREADABLE 2353  // %s: the file
#define IDS_PICTURE_TOO_BIG 2354     // %d x %d: the picture, %d x %d: the most the frame takes
#define IDS_WINK_CHOOSER_STICK 2355
#define IDS_WINK_CHOOSER_REST 2356
#define IDS_WINK_COLUMN_NUMBER 2357
#define IDS_WINK_COLUMN_NAME 2358
#define IDS_WINK_COLUMN_PREVIEW 2359
#define IDS_NO_WINK 2360
#define IDS_PICTURE_FILTER 2361
#define IDS_PICTURE_HINT 2362        // %d x %d: the most the frame takes
