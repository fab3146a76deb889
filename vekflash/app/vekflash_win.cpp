#include "vekflash_win.h"

#include <cstdio>
#include <memory>
#include <string>

#include "command_line.h"
#include "flash_host_win.h"
#include "resource.h"
#include "ui_seams_win.h"

namespace vekflash {

namespace {

constexpr int kMainWidth = 600;
constexpr int kMainHeight = 400;

// What the window procedure needs while the player runs.
struct PlayerState {
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  std::unique_ptr<FlashHost> host;
};
PlayerState* g_state = nullptr;

std::string LoadText(HINSTANCE instance, UINT id, const char* fallback) {
  char buffer[256];
  int n = LoadStringA(instance, id, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string(fallback);
}

std::string ProgramFolder() {
  char exe[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  return programFolderOf(std::string(exe, n));
}

bool BareNameExists(const std::string& name) {
  OFSTRUCT info = {};
  info.cBytes = sizeof info;
  return OpenFile(name.c_str(), &info, OF_EXIST) != HFILE_ERROR;
}

// Poll the movie; once its last frame is reached, close a moment later.
void OnPollTimer(HWND window) {
  FlashHost* host = g_state->host.get();
  if (!host) {
    // No movie could be loaded: close as if an empty one had played, rather
    // than wait for ever, unseen.
    KillTimer(window, kPollTimer);
    SetTimer(window, kCloseTimer, kCloseDelayMs, nullptr);
    return;
  }
  const int frame = host->CurrentFrame();
  char line[512];
  std::snprintf(line, sizeof line, "20081119 g_flashWnd->GetCurrentFrame()=%d", frame);
  OutputDebugStringA(line);
  if (frame < host->TotalFrames() - 1) return;
  host->StopPlay();
  KillTimer(window, kPollTimer);
  SetTimer(window, kCloseTimer, kCloseDelayMs, nullptr);
}

void OnCloseTimer(HWND window) {
  if (g_state->host) {
    g_state->host->StopPlay();
    g_state->host->DestroyContainer();
    g_state->host.reset();
  }
  KillTimer(window, kCloseTimer);
  PostQuitMessage(0);
}

void PaintMain(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT rect;
  GetClientRect(window, &rect);
  std::string hello = LoadText(g_state->instance, IDS_HELLO, "");
  DrawTextA(dc, hello.c_str(), -1, &rect, DT_CENTER);
  EndPaint(window, &ps);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    if (g_state) {
      switch (message) {
        case WM_CREATE:
          SetTimer(window, kPollTimer, kPollPeriodMs, nullptr);
          return 0;
        case WM_COMMAND:
          if (LOWORD(wParam) == IDM_ABOUT) {
            ShowAboutBox(g_state->instance);
            return 0;
          }
          if (LOWORD(wParam) == IDM_EXIT) {
            DestroyWindow(window);
            return 0;
          }
          break;
        case WM_TIMER:
          if (wParam == kPollTimer) OnPollTimer(window);
          if (wParam == kCloseTimer) OnCloseTimer(window);
          return 0;
        case WM_PAINT:
          PaintMain(window);
          return 0;
        case WM_DESTROY:
          g_state->mainWindow = nullptr;
          PostQuitMessage(0);
          return 0;
      }
    }
  } catch (...) {
    // Nothing here throws but allocation; the player simply carries on.
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateMainWindow(PlayerState& state) {
  const std::string className = LoadText(state.instance, IDC_VEKFLASH, "FLASH");
  const std::string title = LoadText(state.instance, IDS_APP_TITLE, "flash");
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = state.instance;
  wc.hIcon = LoadIconA(state.instance, MAKEINTRESOURCEA(IDI_VEKFLASH));
  wc.hIconSm = LoadIconA(state.instance, MAKEINTRESOURCEA(IDI_SMALL));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEA(IDC_VEKFLASH);
  wc.lpszClassName = className.c_str();
  RegisterClassExA(&wc);  // a second run in one process finds it registered
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kMainWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kMainHeight) / 2;
  // Never shown: it only owns the timers and the movie's window.
  state.mainWindow = CreateWindowExA(0, className.c_str(), title.c_str(),
                                     WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, kMainWidth,
                                     kMainHeight, nullptr, nullptr, state.instance, nullptr);
  return state.mainWindow != nullptr;
}

int RunMessageLoop(PlayerState& state) {
  HACCEL accelerators = LoadAcceleratorsA(state.instance, MAKEINTRESOURCEA(IDC_VEKFLASH));
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!state.mainWindow || !TranslateAcceleratorA(state.mainWindow, accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

int Play(HINSTANCE instance, const std::string& path) {
  PlayerState state;
  state.instance = instance;
  g_state = &state;
  int exitCode = 0;
  if (CreateMainWindow(state)) {
    auto host = std::make_unique<FlashHost>();
    host->SetMoviePath(path.c_str());
    if (host->CreateControl(state.mainWindow, WS_EX_LAYERED | WS_EX_TOPMOST,
                            WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS)) {
      SetWindowPos(host->Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      state.host = std::move(host);
    }
    exitCode = RunMessageLoop(state);
  }
  state.host.reset();
  if (state.mainWindow) {
    DestroyWindow(state.mainWindow);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the one WM_DESTROY posted
  }
  g_state = nullptr;
  return exitCode;
}

}  // namespace

int RunVekFlash(HINSTANCE instance, const char* commandLine) {
  const StartDecision decision =
      decideStart(commandLine ? commandLine : "", ProgramFolder(), BareNameExists);
  switch (decision.action) {
    case StartAction::About:
      ShowAboutBox(instance);
      return 0;
    case StartAction::Version:
      ShowMessageBox(kVersionText, kVersionCaption);
      return 0;
    case StartAction::FileMissing:
      ShowMessageBox(kCannotOpenText, kErrorCaption);
      return 0;
    case StartAction::NotSwf:
      ShowMessageBox(kNonSwfText, kErrorCaption);
      return 0;
    case StartAction::Play:
      break;
  }
  return Play(instance, decision.path);
}

}  // namespace vekflash
