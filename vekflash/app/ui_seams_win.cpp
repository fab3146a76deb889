#include "ui_seams_win.h"

#include "resource.h"

namespace vekflash {

namespace {

int RealMessageBox(const char* text, const char* caption) {
  return MessageBoxA(nullptr, text, caption, MB_OK);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

void RealAboutBox(HINSTANCE instance) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, AboutProc, 0);
}

MessageBoxHandler g_messageBox = RealMessageBox;
AboutBoxHandler g_aboutBox = RealAboutBox;

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
  g_messageBox = handler ? handler : RealMessageBox;
}

void SetAboutBoxHandler(AboutBoxHandler handler) { g_aboutBox = handler ? handler : RealAboutBox; }

int ShowMessageBox(const char* text, const char* caption) { return g_messageBox(text, caption); }

void ShowAboutBox(HINSTANCE instance) { g_aboutBox(instance); }

}  // namespace vekflash
