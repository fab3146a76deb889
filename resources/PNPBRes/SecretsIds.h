// Numbers of the password box's texts about its database file and the
// secrets in it: damaged or foreign files, the upgrade of an older one,
// damaged records, paths and numbers it cannot use.
#pragma once

#define IDS_PB_DB_DAMAGED 3040
#define IDS_PB_DB_FOREIGN 3041
#define IDS_PB_DB_NEWER 3042
#define IDS_PB_DB_UNREADABLE 3043
#define IDS_PB_UPGRADE_FAILED 3044
#define IDS_PB_DAMAGED_CELL 3045
#define IDS_PB_RECORD_DAMAGED 3046
#define IDS_PB_PATH_TOO_LONG 3047
#define IDS_PB_NO_NUMBERS 3048
#define IDS_PB_NO_MASTER 3049
#define IDS_PB_HAS_MASTER 3050
#define IDS_PB_UNLOCKING 3051

// Login panel (109): what it is doing while the master password is checked.
#define IDC_PB_LOGIN_STATUS 1030
