#include "flash_host_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vekflash {

namespace {

constexpr UINT_PTR kFrameTimer = 1;
// A rate of zero would never advance; play such a movie at a common pace.
constexpr double kFallbackRate = 12.0;

class UniqueFile {
 public:
  explicit UniqueFile(HANDLE h) : h_(h) {}
  ~UniqueFile() {
    if (valid()) CloseHandle(h_);
  }
  UniqueFile(const UniqueFile&) = delete;
  UniqueFile& operator=(const UniqueFile&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

bool ReadWholeFile(const char* path, std::vector<uint8_t>& out) {
  UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > swf::kMaxMovieBytes) return false;
  out.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  return out.empty() ||
         (ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr) &&
          read == out.size());
}

void RegisterContainerClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = FlashHost::kClassName;
  RegisterClassExA(&wc);  // already registered by an earlier host: fine
}

double RateOf(const swf::Movie& movie) {
  return movie.frameRate > 0 ? movie.frameRate : kFallbackRate;
}

}  // namespace

bool LayeredSurface::Create(int width, int height) {
  Reset();
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down, as the frame buffer is
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return false;
  bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
  if (!bitmap_ || !bits_) {
    Reset();
    return false;
  }
  previous_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  return true;
}

void LayeredSurface::Reset() {
  if (dc_ && previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  previous_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

void FlashHost::SetMoviePath(const char* path) {
  lstrcpynA(path_, path ? path : "", sizeof path_);
}

bool FlashHost::CreateControl(HWND parent, DWORD exStyle, DWORD style) {
  layered_ = (exStyle & WS_EX_LAYERED) != 0;
  child_ = (style & WS_CHILD) != 0;
  parent_ = parent;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterContainerClass(instance, WindowProc);

  RECT rect = {};
  if (child_)
    GetClientRect(parent, &rect);
  else
    GetWindowRect(parent, &rect);
  if (!LoadMovie()) return false;
  window_ = CreateWindowExA(exStyle, kClassName, kWindowName, style, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                            instance, this);
  if (!window_) return false;
  Play();
  return true;
}

bool FlashHost::LoadMovie() {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path_, bytes)) return false;
  swf::ParseResult parsed = swf::parseMovie(bytes);
  if (!parsed.ok()) return false;
  movie_ = std::make_unique<swf::Movie>(std::move(parsed.movie));
  player_ = std::make_unique<swf::Player>(*movie_);
  return true;
}

void FlashHost::Play() {
  startTick_ = GetTickCount();
  playing_ = true;
  const UINT period = static_cast<UINT>(std::clamp(1000.0 / RateOf(*movie_), 10.0, 1000.0));
  SetTimer(window_, kFrameTimer, period, nullptr);
  ShowFrame(0);
}

void FlashHost::StopPlay() {
  playing_ = false;
  if (window_) KillTimer(window_, kFrameTimer);
}

void FlashHost::DestroyContainer() {
  StopPlay();
  if (window_) {
    HWND w = window_;
    window_ = nullptr;
    SetWindowLongPtrA(w, GWLP_USERDATA, 0);
    DestroyWindow(w);
  }
  surface_.Reset();
}

void FlashHost::OnFrameTimer() {
  if (!playing_ || !player_) return;
  // Frames follow the clock, so a slow draw skips frames rather than
  // stretching the movie; one pass, resting on the last frame.
  const double elapsed = static_cast<double>(GetTickCount() - startTick_);
  int frame = static_cast<int>(elapsed * RateOf(*movie_) / 1000.0);
  const int last = std::max(TotalFrames() - 1, 0);
  frame = std::min(frame, last);
  if (frame != frameShown_) ShowFrame(frame);
  if (frame >= last && window_) KillTimer(window_, kFrameTimer);
}

void FlashHost::ShowFrame(int frame) {
  player_->gotoFrame(frame);
  frameShown_ = frame;
  if (!window_) return;
  if (layered_)
    DrawLayered();
  else
    InvalidateRect(window_, nullptr, FALSE);
}

void FlashHost::RenderToFrameBuffer(int width, int height) {
  if (frame_.width != width || frame_.height != height) frame_.resize(width, height);
  if (!movie_ || !player_ || givenUp_) {
    frame_.clear(0);
    return;
  }
  if (!swf::renderFrame(*movie_, player_->displayList(), frame_)) {
    givenUp_ = true;  // nothing more is drawn; the poll sees the last frame
    StopPlay();
  }
}

void FlashHost::DrawLayered() {
  RECT rect;
  GetWindowRect(window_, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  if (surface_.width() != width || surface_.height() != height) {
    if (!surface_.Create(width, height)) return;
  }
  if (displayBits_ == 0) {
    HDC screen = GetDC(nullptr);
    displayBits_ = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
  }
  RenderToFrameBuffer(width, height);
  uint32_t* bits = surface_.bits();
  const bool trueAlpha = displayBits_ == 32;
  if (trueAlpha) {
    // Our buffer already has the layered window's layout: premultiplied BGRA.
    std::memcpy(bits, frame_.pixels.data(), frame_.pixels.size() * sizeof(uint32_t));
  } else {
    // No per-pixel alpha on this display: lay the picture over a copy of what
    // lies behind the window and show that opaque.
    HDC screen = GetDC(nullptr);
    BitBlt(surface_.dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    for (size_t i = 0; i < frame_.pixels.size(); ++i) {
      uint32_t s = frame_.pixels[i], d = bits[i];
      unsigned inv = 255 - swf::alphaOf(s);
      auto over = [&](unsigned sc, unsigned dc) { return sc + (dc * inv + 127) / 255; };
      bits[i] = 0xFF000000u | (over(swf::redOf(s), swf::redOf(d)) << 16) |
                (over(swf::greenOf(s), swf::greenOf(d)) << 8) | over(swf::blueOf(s), swf::blueOf(d));
    }
  }
  POINT position = {rect.left, rect.top};
  SIZE size = {width, height};
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  HDC screen = GetDC(nullptr);
  UpdateLayeredWindow(window_, screen, &position, &size, surface_.dc(), &origin, 0, &blend,
                      trueAlpha ? ULW_ALPHA : ULW_OPAQUE);
  ReleaseDC(nullptr, screen);
}

void FlashHost::PaintOpaque(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  RenderToFrameBuffer(width, height);
  // Over the window colour, since a plain window has no alpha of its own.
  const COLORREF back = GetSysColor(COLOR_WINDOW);
  std::vector<uint32_t> opaque(frame_.pixels.size());
  for (size_t i = 0; i < opaque.size(); ++i) {
    uint32_t s = frame_.pixels[i];
    unsigned inv = 255 - swf::alphaOf(s);
    auto over = [&](unsigned sc, unsigned bc) { return sc + (bc * inv + 127) / 255; };
    opaque[i] = (over(swf::redOf(s), GetRValue(back)) << 16) |
                (over(swf::greenOf(s), GetGValue(back)) << 8) | over(swf::blueOf(s), GetBValue(back));
  }
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), opaque.data(), &bi, DIB_RGB_COLORS);
}

bool FlashHost::IsOpaqueAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= frame_.width || y >= frame_.height) return false;
  return swf::alphaOf(frame_.at(x, y)) != 0;
}

LRESULT FlashHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kFrameTimer) OnFrameTimer();
      return 0;
    case WM_SIZE:
      if (layered_ && player_) DrawLayered();
      return 0;
    case WM_NCHITTEST: {
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ScreenToClient(window_, &pt);
      return IsOpaqueAt(pt.x, pt.y) ? HTCLIENT : HTTRANSPARENT;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      if (!layered_) PaintOpaque(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK FlashHost::WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  try {
    if (message == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      auto* host = static_cast<FlashHost*>(cs->lpCreateParams);
      host->window_ = window;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<FlashHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host && host->window_ == window) {
      if (message == WM_NCDESTROY) {
        // Destroyed with its owner (File, Exit): forget the handle.
        host->playing_ = false;
        host->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
      }
      return host->HandleMessage(message, wParam, lParam);
    }
  } catch (...) {
    // A failed draw (out of memory) leaves the last picture in place.
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace vekflash
