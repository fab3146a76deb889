// Numbers of the resources in DORORod.dll, the password box's skin library.
#pragma once

#define IDS_DR_NAME 1
#define IDB_DR_COMMANDBAR 2
// The colour table, where every skin library keeps it (uikit::kSkinColorsResource).
#define IDR_DR_COLORS 3
