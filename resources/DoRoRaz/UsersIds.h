// Numbers of the users windows' resources, shared by code and .rc.
#pragma once

#define IDD_LOGIN 213
#define IDD_NEW_USER 214

#define IDC_NEW_USER 1000
#define IDC_REMEMBER_PWD 1036
#define IDC_AUTO_LOGIN 1037
#define IDC_PASSWORD 1038
#define IDC_PASSWORD_AGAIN 1039
#define IDC_NEW_USER_NAME 1040
#define IDC_USER_NAME 1041

#define IDS_CAPTION 14
#define IDS_PASSWORDS_DIFFER 23
#define IDS_USER_EXISTS 24
#define IDS_NAME_EMPTY 25
#define IDS_LOGIN_FAILED 26
