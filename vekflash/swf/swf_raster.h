// Antialiased scanline rasteriser producing premultiplied BGRA, the layout a
// layered window takes: each pixel is 0xAARRGGBB in a 32-bit word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf_player.h"
#include "swf_types.h"

namespace swf {

struct FrameBuffer {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // top-down rows

  void resize(int w, int h);
  void clear(uint32_t value = 0);
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline uint8_t alphaOf(uint32_t p) { return static_cast<uint8_t>(p >> 24); }
inline uint8_t redOf(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
inline uint8_t greenOf(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
inline uint8_t blueOf(uint32_t p) { return static_cast<uint8_t>(p); }

enum class FillRule { EvenOdd, NonZero };

// The drawing work one frame may take, counted in units of about one edge
// crossing a sample row: a movie that stays within what the reader accepts
// (kMaxFrameWork) can still ask for minutes of drawing in a large window, a
// shape stacked at thousands of depths, say, or wide strokes along thousands
// of curves. A frame is drawn only while its work stays within the budget.
class RenderBudget {
 public:
  explicit RenderBudget(uint64_t units) : left_(units) {}
  // False, spending nothing, when `units` are more than are left; from then
  // on the budget is exceeded.
  bool spend(uint64_t units) {
    if (exceeded_ || units > left_) {
      exceeded_ = true;
      return false;
    }
    left_ -= units;
    return true;
  }
  uint64_t left() const { return exceeded_ ? 0 : left_; }
  bool exceeded() const { return exceeded_; }

 private:
  uint64_t left_;
  bool exceeded_ = false;
};
constexpr uint64_t kMaxRenderWork = uint64_t{1} << 26;

// Collects edges in pixel coordinates, then fills them into a frame buffer.
class Rasterizer {
 public:
  // Vertical samples per pixel row; horizontal coverage is computed exactly.
  static constexpr int kSubRows = 5;

  void clear() { edges_.clear(); }
  bool empty() const { return edges_.empty(); }
  size_t size() const { return edges_.size(); }
  // What fill() will cost in this buffer, in RenderBudget units: every edge
  // at every sample row it crosses, and every pixel of the rows it covers.
  uint64_t fillWork(const FrameBuffer& fb) const;
  // Weight of one collected edge before it crosses anything (memory, sorting).
  static constexpr uint64_t kEdgeWork = 64;
  void addLine(double x0, double y0, double x1, double y1);
  void addQuadratic(double x0, double y0, double cx, double cy, double x1, double y1);
  // A stroke of the given width along one segment: a rectangle plus round
  // ends, wound the same way so that a NonZero fill unites them.
  void addThickSegment(double x0, double y0, double x1, double y1, double width);
  void addDisc(double x, double y, double radius);
  void fill(FrameBuffer& fb, Rgba color, FillRule rule);

 private:
  struct RasterEdge {
    double x0, y0, x1, y1;
    int winding;
  };
  struct Crossing {
    double x;
    int winding;
  };
  void addSpan(double x0, double x1, float weight, int width);
  void compositeRow(FrameBuffer& fb, int y, int xmin, int xmax, Rgba color);

  std::vector<RasterEdge> edges_;
  std::vector<RasterEdge*> active_;
  std::vector<Crossing> crossings_;
  std::vector<float> cover_, runs_;
};

// Draws the display list: the stage scaled to fit the buffer whole, centred
// ("show all"). Where nothing is drawn the buffer stays transparent unless the
// movie's background colour is asked for. False when the frame went over
// kMaxRenderWork: it is then left cleared, and the movie is not worth playing.
struct RenderOptions {
  bool drawBackground = false;
};
Matrix stageToBuffer(const Rect& stage, int width, int height);
bool renderFrame(const Movie& movie, const DisplayList& list, FrameBuffer& fb,
                 const RenderOptions& options = {});
// One placement of a shape, within the budget; false when it ran out.
bool renderShape(const Shape& shape, const Matrix& toPixels, const ColorTransform& cx,
                 FrameBuffer& fb, Rasterizer& raster, RenderBudget& budget);

}  // namespace swf
