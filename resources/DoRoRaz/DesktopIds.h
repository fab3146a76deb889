// Numbers of the resources for busy and away: the alerts page's quiet-while-busy
// box and the day's break count. Shared by code and .rc.
#pragma once

// Alerts page
#define IDC_ALERTS_QUIET 1110         // "[ALERTS] quiet_when_busy"
#define IDC_ALERTS_BREAKS_TODAY 1111  // the day's break count, while the break record is kept

// Strings
#define IDS_BREAKS_TODAY 2750  // %d: breaks taken today
