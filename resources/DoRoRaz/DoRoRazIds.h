// Numbers of every resource in DoRoRaz.dll, shared by the .rc and the program.
#pragma once

// Dialogs
#define IDD_ABOUT 100
#define IDD_MAIN 129

// Menus
#define IDR_TRAYMENU 201
#define TRAYMENU_LOGGED_IN 0
#define TRAYMENU_LOGGED_OUT 2
#define TRAYMENU_DISPLAY_MODE 3

// Icons
#define IDI_PINORA 128

// Controls of the main window
#define IDC_DIARY_OPEN 1000
#define IDC_QUICK_NOTE 1001
#define IDC_NOTES_MANAGER 1005
#define IDC_DICT_LOOKUP 1074
#define IDC_DICT_INPUT 1075
#define IDC_HELP_BUTTON 57670
#define IDC_ABOUT_TEXT 1100

// Commands of the main window
#define ID_NOTES_MANAGER 32772
#define ID_EXIT 32773
#define ID_SHOW_MAIN 32774
#define ID_NEW_STICK 32775
#define ID_CALENDAR 32776
#define ID_SETTINGS 32777
#define ID_NO_ACTION_1 32778
#define ID_PNMONEY 32779
#define ID_SKINS 32789
#define ID_LOGIN 32791
#define ID_SWITCH_USER 32792
#define ID_LOGOUT 32793
#define ID_TODAY_WINDOW 32794
#define ID_TODAY_MODE_1 32800
#define ID_TODAY_MODE_0 32801
#define ID_PASSWORD_BOX 32802
#define ID_NO_ACTION_2 32803
#define ID_VEKPAD 32805
#define ID_SCREEN_CAPTURE 40001
#define ID_ABOUT 57664
#define ID_HELP 57670

// Strings
#define IDS_APP_NAME 19
#define IDS_APP_TITLE 20
#define IDS_CALENDAR_TITLE 22
#define IDS_LOGIN_CAPTION_SWITCH 27
#define IDS_LOGIN_CAPTION 28
#define IDS_HIDE_TODAY 50
#define IDS_SHOW_TODAY 51

#include "UsersIds.h"
#include "SticksIds.h"
#include "SkinsIds.h"
#include "RestIds.h"
#include "HotkeysIds.h"
#include "NotesIds.h"
#include "CommandIds.h"
#include "CalendarIds.h"
#include "HardeningIds.h"
#include "SettingsIds.h"
#include "DesktopIds.h"
#include "SafekeepingIds.h"
#include "SyncIds.h"
#include "PhrasesIds.h"
#include "TextIds.h"
