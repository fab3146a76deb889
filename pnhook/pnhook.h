// pnhook.dll: system-wide keyboard and mouse hooks that record the tick of the
// user's last input in a data section every process shares. Pinora imports
// installhook, removehook and HK_GetLastActiveTick; hookproc and hookMouseProc
// are exported for the system, which runs them in every process with input.
#pragma once
#include <windows.h>

#ifdef PNHOOK_BUILD_DLL
#define PNHOOK_API
#else
#define PNHOOK_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// 1 when both hooks are installed, 0 otherwise (then none is).
PNHOOK_API int __cdecl installhook(HWND owner);
PNHOOK_API void __cdecl removehook(void);
PNHOOK_API LRESULT CALLBACK hookproc(int code, WPARAM wParam, LPARAM lParam);
PNHOOK_API LRESULT CALLBACK hookMouseProc(int code, WPARAM wParam, LPARAM lParam);
// Whole minutes of counted keyboard and mouse activity since the last removehook.
PNHOOK_API int __cdecl HK_GetCount(void);
// GetTickCount at the last input anywhere on the desktop; 0 while no hooks are in.
PNHOOK_API DWORD __cdecl HK_GetLastActiveTick(void);

#ifdef __cplusplus
}
#endif
