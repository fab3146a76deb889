// The player run in-process under Wine, with its dialogs replaced.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "command_line.h"
#include "swf_writer.h"
#include "ui_seams_win.h"
#include "vekflash_win.h"

using namespace vekflash;

namespace {

std::vector<std::pair<std::string, std::string>> g_boxes;
int g_aboutCount = 0;

int RecordBox(const char* text, const char* caption) {
  g_boxes.emplace_back(text, caption);
  return IDOK;
}
void RecordAbout(HINSTANCE) { ++g_aboutCount; }

std::string ProgramFolder() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  return programFolderOf(exe);
}

void WriteMovieFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_EQ(written, bytes.size());
}

// A filled square in the middle of a 100x100 stage, shown for `frames` frames.
std::vector<uint8_t> SquareMovie(int frames, double rate = 24) {
  swf::MovieWriter w(100, 100, rate);
  swf::ShapeBuilder s;
  s.polygon({{500, 500}, {1500, 500}, {1500, 1500}, {500, 1500}}, s.addFill({200, 30, 30, 255}));
  w.defineShape(1, s, 3);
  w.place(1, 1, {});
  for (int i = 0; i < frames; ++i) w.showFrame();
  return w.finish(true);
}

// What a check during playback saw of the windows.
struct Observed {
  bool containerFound = false, layered = false, topmost = false, visible = false;
  bool mainFound = false, mainVisible = true, sameRect = false;
  LRESULT hitCentre = 0, hitCorner = 0;
} g_seen;

void CALLBACK ObserveWindows(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND container = FindWindowA("MyOleControl", "MyOleControlWindow");
  HWND main = FindWindowA("FLASH", "flash");
  g_seen.containerFound = container != nullptr;
  g_seen.mainFound = main != nullptr;
  if (!container || !main) return;
  LONG_PTR ex = GetWindowLongPtrA(container, GWL_EXSTYLE);
  g_seen.layered = (ex & WS_EX_LAYERED) != 0;
  g_seen.topmost = (ex & WS_EX_TOPMOST) != 0;
  g_seen.visible = IsWindowVisible(container) != 0;
  g_seen.mainVisible = IsWindowVisible(main) != 0;
  RECT rc, rm;
  GetWindowRect(container, &rc);
  GetWindowRect(main, &rm);
  g_seen.sameRect = EqualRect(&rc, &rm) != 0;
  const int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
  g_seen.hitCentre = SendMessageA(container, WM_NCHITTEST, 0, MAKELPARAM(cx, cy));
  g_seen.hitCorner = SendMessageA(container, WM_NCHITTEST, 0, MAKELPARAM(rc.left + 2, rc.top + 2));
}

class VekFlashRun : public ::testing::Test {
 protected:
  void SetUp() override {
    g_boxes.clear();
    g_aboutCount = 0;
    g_seen = Observed{};
    SetMessageBoxHandler(RecordBox);
    SetAboutBoxHandler(RecordAbout);
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    SetAboutBoxHandler(nullptr);
  }
  // Runs the player; returns the milliseconds it took.
  DWORD Run(const std::string& commandLine, int* exitCode = nullptr) {
    DWORD start = GetTickCount();
    int rc = RunVekFlash(GetModuleHandleA(nullptr), commandLine.c_str());
    if (exitCode) *exitCode = rc;
    return GetTickCount() - start;
  }
};

}  // namespace

TEST_F(VekFlashRun, CommandLineRulesShowTheirBoxesAndNoWindow) {
  struct Case {
    const char* argument;
    const char* text;
    const char* caption;
  } cases[] = {
      {"version", kVersionText, "version"},
      {"VERSION", kVersionText, "version"},
      {"C:\\no\\such\\folder\\notes.txt", "Can not open the non-swf file.", "error"},
      {"\"C:\\quoted dir\\notes.txt\"", "Can not open the non-swf file.", "error"},
      {"no-such-wink.swf", "Can not open the file.", "error"},
  };
  for (const Case& c : cases) {
    g_boxes.clear();
    int rc = -1;
    Run(c.argument, &rc);
    EXPECT_EQ(rc, 0) << c.argument;
    ASSERT_EQ(g_boxes.size(), 1u) << c.argument;
    EXPECT_EQ(g_boxes[0].first, c.text) << c.argument;
    EXPECT_EQ(g_boxes[0].second, c.caption) << c.argument;
    EXPECT_EQ(FindWindowA("FLASH", nullptr), nullptr) << c.argument;
  }
  for (const char* about : {"", "?"}) {
    g_boxes.clear();
    g_aboutCount = 0;
    Run(about);
    EXPECT_EQ(g_aboutCount, 1) << "'" << about << "'";
    EXPECT_TRUE(g_boxes.empty());
  }
}

TEST_F(VekFlashRun, BareNameBesideTheProgramPlaysInALayeredWindowAndCloses) {
  const std::string name = "VFTEST1.SWF";
  WriteMovieFile(ProgramFolder() + name, SquareMovie(1));
  UINT_PTR timer = SetTimer(nullptr, 0, 300, ObserveWindows);
  int rc = -1;
  DWORD ms = Run(name, &rc);
  KillTimer(nullptr, timer);
  DeleteFileA((ProgramFolder() + name).c_str());
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(g_boxes.empty());
  ASSERT_TRUE(g_seen.containerFound);
  ASSERT_TRUE(g_seen.mainFound);
  EXPECT_TRUE(g_seen.layered);
  EXPECT_TRUE(g_seen.topmost);
  EXPECT_TRUE(g_seen.visible);
  EXPECT_FALSE(g_seen.mainVisible);
  EXPECT_TRUE(g_seen.sameRect);
  EXPECT_EQ(g_seen.hitCentre, HTCLIENT);
  EXPECT_EQ(g_seen.hitCorner, HTTRANSPARENT);  // clicks fall through where nothing is drawn
  // One frame: over at the first poll, closed 1.5 s later.
  EXPECT_GE(ms, 1450u);
  EXPECT_LT(ms, 5000u);
  EXPECT_EQ(FindWindowA("MyOleControl", nullptr), nullptr);
  EXPECT_EQ(FindWindowA("FLASH", nullptr), nullptr);
}

TEST_F(VekFlashRun, FullPathWithCapitalExtensionPlaysToItsLastFrame) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "vf_twelve.SWF";
  WriteMovieFile(path, SquareMovie(12, 24));  // half a second
  int rc = -1;
  DWORD ms = Run(path, &rc);
  DeleteFileA(path.c_str());
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_GE(ms, 1850u);  // about 0.46 s of frames, then 1.5 s
  EXPECT_LT(ms, 6000u);
}

TEST_F(VekFlashRun, MoviesThatCannotBePlayedStillEndTheProgram) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string damaged = std::string(temp) + "vf_damaged.swf";
  std::vector<uint8_t> bytes = SquareMovie(5);
  bytes.resize(bytes.size() / 2);
  WriteMovieFile(damaged, bytes);
  const std::string empty = std::string(temp) + "vf_empty.swf";
  WriteMovieFile(empty, SquareMovie(0));
  for (const std::string& path :
       {damaged, empty, std::string(temp) + "vf_not_there.swf"}) {
    int rc = -1;
    DWORD ms = Run(path, &rc);
    EXPECT_EQ(rc, 0) << path;
    EXPECT_LT(ms, 5000u) << path;
    EXPECT_GE(ms, 1450u) << path;
    EXPECT_TRUE(g_boxes.empty()) << path;
  }
  DeleteFileA(damaged.c_str());
  DeleteFileA(empty.c_str());
}

// Ten seconds of a square stacked at 2,000 depths: each frame asks more
// drawing than any may, so the movie is given up at its first frame and the
// player closes as after an unreadable one, without playing on.
TEST_F(VekFlashRun, MovieOverTheDrawingBudgetEndsLikeAnUnreadableOne) {
  swf::MovieWriter w(100, 100, 24);
  swf::ShapeBuilder s;
  s.polygon({{0, 0}, {2000, 0}, {2000, 2000}, {0, 2000}}, s.addFill({200, 30, 30, 255}));
  w.defineShape(1, s, 3);
  for (int depth = 1; depth <= 2000; ++depth) w.place(static_cast<uint16_t>(depth), 1, {});
  for (int i = 0; i < 240; ++i) w.showFrame();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "vf_costly.swf";
  WriteMovieFile(path, w.finish(true));
  int rc = -1;
  DWORD ms = Run(path, &rc);
  DeleteFileA(path.c_str());
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_GE(ms, 1450u);
  EXPECT_LT(ms, 5000u);  // not the ten seconds of its frames
}
