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

// Collects edges in pixel coordinates, then fills them into a frame buffer.
class Rasterizer {
 public:
  // Vertical samples per pixel row; horizontal coverage is computed exactly.
  static constexpr int kSubRows = 5;

  void clear() { edges_.clear(); }
  bool empty() const { return edges_.empty(); }
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
// movie's background colour is asked for.
struct RenderOptions {
  bool drawBackground = false;
};
Matrix stageToBuffer(const Rect& stage, int width, int height);
void renderFrame(const Movie& movie, const DisplayList& list, FrameBuffer& fb,
                 const RenderOptions& options = {});
void renderShape(const Shape& shape, const Matrix& toPixels, const ColorTransform& cx,
                 FrameBuffer& fb, Rasterizer& raster);

}  // namespace swf
