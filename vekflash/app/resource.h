// Resource numbers of VekFlash.exe, shared by the code and vekflash.rc.
#pragma once

#define IDD_ABOUTBOX 103
#define IDS_APP_TITLE 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDS_HELLO 106
#define IDI_VEKFLASH 107
#define IDI_SMALL 108
#define IDC_VEKFLASH 109
#define IDC_STATIC_USAGE 1000
