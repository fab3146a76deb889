#include "AppMain.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "DamagedTableMessage.h"
#include "Handles.h"
#include "MainDlg.h"
#include "ResourceLibrary.h"
#include "SingleInstance.h"
#include "TextConversion.h"
#include "Users.h"

namespace pinora {

int RunPinora() noexcept {
    try {
        if (HandOverToRunningCopy()) return 0;
        uikit::UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            // Started at the same moment as another copy: that one wins.
            return HandOverToRunningCopy(), 0;
        }
        if (!ResLib()) return 0;
        // Text is UTF-8 throughout; where the manifest's code page is not in
        // force, nothing may be read or written in another one.
        if (RefuseLegacyCodePage(GetACP())) return 1;
        InstallDamagedTableMessage();
        HoldDamagedTableMessages();
        // Before anything reads or writes a file: the settings API would read
        // a file of an earlier version in the wrong code page and write it back so.
        if (!ConvertFolderTextOnce()) return 1;
        ReadRememberedPasswordEarly();

        HRESULT ole = OleInitialize(nullptr);
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES |
                                                    ICC_COOL_CLASSES};
        InitCommonControlsEx(&icc);

        int code = 0;
        {
            CMainDlg mainDlg;
            if (HWND main = mainDlg.CreateMain()) {
                ShowWindow(main, SW_HIDE);
                PublishMainWindow(main);
                // Start-up is over (notification icon and mark in place): what it
                // found damaged is told now.
                ShowHeldDamagedTableMessages();
                code = uikit::RunMessageLoop();
                WithdrawMainWindow();
            }
        }
        if (SUCCEEDED(ole)) OleUninitialize();
        if (mutex) ReleaseMutex(mutex.get());
        FreeResLib();
        return code;
    } catch (...) {
        return 0;
    }
}

}  // namespace pinora
