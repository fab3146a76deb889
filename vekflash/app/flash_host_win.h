// FlashHost: the window a movie plays in. It keeps the role of the control
// container the player was built around (a "MyOleControl" window over the
// parent, played once, polled for its frame), but draws with our own renderer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "swf_parser.h"
#include "swf_player.h"
#include "swf_raster.h"

namespace vekflash {

// A 32-bit top-down DIB section selected into its own memory DC.
class LayeredSurface {
 public:
  LayeredSurface() = default;
  ~LayeredSurface() { Reset(); }
  LayeredSurface(const LayeredSurface&) = delete;
  LayeredSurface& operator=(const LayeredSurface&) = delete;

  bool Create(int width, int height);
  void Reset();
  HDC dc() const { return dc_; }
  uint32_t* bits() const { return static_cast<uint32_t*>(bits_); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

class FlashHost {
 public:
  static constexpr char kClassName[] = "MyOleControl";
  static constexpr char kWindowName[] = "MyOleControlWindow";

  FlashHost() = default;
  ~FlashHost() { DestroyContainer(); }
  FlashHost(const FlashHost&) = delete;
  FlashHost& operator=(const FlashHost&) = delete;

  void SetMoviePath(const char* path);
  // Creates the container window over the parent, loads the movie and starts
  // playing it. False when the window or the movie could not be had.
  bool CreateControl(HWND parent, DWORD exStyle, DWORD style);
  void DestroyContainer();

  HWND Window() const { return window_; }
  bool IsLayered() const { return layered_; }
  // The frame shown now (0-based) and the frame count the movie's header gives.
  // A movie given up (a frame over the drawing budget) stands at its last frame,
  // so the player closes as it does after an unreadable one.
  int CurrentFrame() const {
    if (givenUp_) return TotalFrames() > 0 ? TotalFrames() - 1 : 0;
    return frameShown_ < 0 ? 0 : frameShown_;
  }
  int TotalFrames() const { return player_ ? player_->totalFrames() : 0; }
  void StopPlay();
  // Whether anything is drawn at a point of the window (client coordinates):
  // where nothing is, clicks go to the windows below.
  bool IsOpaqueAt(int x, int y) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool LoadMovie();
  void Play();
  void OnFrameTimer();
  void ShowFrame(int frame);
  void RenderToFrameBuffer(int width, int height);
  void DrawLayered();
  void PaintOpaque(HDC dc);

  char path_[1024] = {};
  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  bool layered_ = false;
  bool child_ = false;
  std::unique_ptr<swf::Movie> movie_;
  std::unique_ptr<swf::Player> player_;
  swf::FrameBuffer frame_;
  LayeredSurface surface_;
  int displayBits_ = 0;
  DWORD startTick_ = 0;
  bool playing_ = false;
  int frameShown_ = -1;
  bool givenUp_ = false;
};

}  // namespace vekflash
