// Numbers of the hotkey dialog's resources, shared by code and .rc.
#pragma once

#define IDD_HOTKEY 228
#define IDC_HOTKEY_CURRENT 1005
#define IDC_HOTKEY_INPUT 1073

#define IDS_HOTKEY_MAIN_SET 60
#define IDS_HOTKEY_REFUSED 61
#define IDS_HOTKEY_CAPTION_MAIN 65
#define IDS_HOTKEY_CAPTION_CAPTURE 66
#define IDS_HOTKEY_CAPTURE_SET 67
#define IDS_HOTKEY_TAKEN 2150
