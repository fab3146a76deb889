// PnPwdBox.dll's entry point: nothing is started at load (the first call
// does that); at unload the windows and window classes go, so a later load
// at another address starts clean.
#include <windows.h>

#include "PnPwdBox.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) return TRUE;
    // At process exit (reserved set) Windows tears everything down itself.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) pwdbox::ShutDown();
    return TRUE;
}
