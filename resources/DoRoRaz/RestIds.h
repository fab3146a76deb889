// Numbers of the rest reminder's resources, shared by code and .rc.
#pragma once

#define IDB_REST_NOTIFIER 45   // the taskbar notifier's skin; magenta is left out
#define IDS_REST_MESSAGE 46
#define IDB_REST_MESSAGE 47    // the bitmap message window's picture; magenta is left out
#define IDS_REST_TOOLTIP 48
