// Messages of the stick editor (dialog 205), which the windows that open it for
// a stick (the main window, the calendar) send it, and the calendar's refresh
// message, which the editor sends back to the window it was told to notify.
#pragma once
#include <windows.h>

namespace pinora {

constexpr UINT SEM_SETTEXT = 0x8961;
constexpr UINT SEM_ENABLEOK = 0x8962;
constexpr UINT SEM_RESET = 0x8963;
constexpr UINT SEM_LOADSTICK = 0x8964;
constexpr UINT SEM_DELETE = 0x8965;
constexpr UINT SEM_SETRECORD = 0x8966;
constexpr UINT SEM_SHOWDELETE = 0x8967;
constexpr UINT SEM_SETCAPTION = 0x8968;
constexpr UINT SEM_SETNOTIFY = 0x8969;
constexpr UINT CAL_REFRESH = 0x8BB9;

}  // namespace pinora
