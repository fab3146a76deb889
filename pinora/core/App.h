// Process-wide state of Pinora.exe: who is logged in and where the main window is.
#pragma once
#include <windows.h>

namespace pinora {

class CMainDlg;

struct AppState {
    HMODULE hPwdBoxLib = nullptr;  // the password box, loaded on demand
    int bLoggedIn = 0;
    char szCurrentUser[64] = {};
    CMainDlg* pMainDlg = nullptr;
};

AppState& App();

}  // namespace pinora
