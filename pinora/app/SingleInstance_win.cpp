#include "SingleInstance.h"

#include "DoRoRazIds.h"
#include "Handles.h"
#include "MainDlg.h"

namespace pinora {

const char* const kMutexName = "PinoraNotes";
const char* const kDesktopProp = "Pinora prop";

bool HandOverToRunningCopy() {
    uikit::UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName));
    if (!mutex) return false;
    HWND running = static_cast<HWND>(GetPropA(GetDesktopWindow(), kDesktopProp));
    if (!running || !IsWindow(running)) return true;
    // A running copy that does not answer within a few seconds is left alone
    // rather than hanging this one.
    DWORD_PTR loggedIn = 0;
    if (!SendMessageTimeoutA(running, MWM_ISLOGGEDIN, 0, 0, SMTO_ABORTIFHUNG, 5000, &loggedIn)) return true;
    if (loggedIn == 0) {
        // Posted: the login dialog is modal in the running copy and must not hold us.
        PostMessageA(running, WM_COMMAND, ID_LOGIN, 0);
    } else {
        ShowWindowAsync(running, SW_SHOW);
    }
    return true;
}

void PublishMainWindow(HWND main) { SetPropA(GetDesktopWindow(), kDesktopProp, main); }

void WithdrawMainWindow() { RemovePropA(GetDesktopWindow(), kDesktopProp); }

}  // namespace pinora
