#include "swf_raster.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {
constexpr double kPi = 3.14159265358979323846;
// Bounds that keep every coordinate far inside int range once clamped.
constexpr double kCoordLimit = 1e7;
constexpr int kMaxCurveSegments = 64;

bool finite(double v) { return std::isfinite(v) && std::fabs(v) < 1e12; }
}  // namespace

void FrameBuffer::resize(int w, int h) {
  width = std::max(w, 0);
  height = std::max(h, 0);
  pixels.assign(static_cast<size_t>(width) * height, 0);
}

void FrameBuffer::clear(uint32_t value) { std::fill(pixels.begin(), pixels.end(), value); }

void Rasterizer::addLine(double x0, double y0, double x1, double y1) {
  if (!finite(x0) || !finite(y0) || !finite(x1) || !finite(y1)) return;
  if (y0 == y1) return;  // crosses no scanline
  x0 = std::clamp(x0, -kCoordLimit, kCoordLimit);
  x1 = std::clamp(x1, -kCoordLimit, kCoordLimit);
  y0 = std::clamp(y0, -kCoordLimit, kCoordLimit);
  y1 = std::clamp(y1, -kCoordLimit, kCoordLimit);
  if (y0 < y1)
    edges_.push_back({x0, y0, x1, y1, 1});
  else
    edges_.push_back({x1, y1, x0, y0, -1});
}

void Rasterizer::addQuadratic(double x0, double y0, double cx, double cy, double x1, double y1) {
  // The flattening error of n chords is about |p0 - 2c + p1| / (8 n^2); a tenth
  // of a pixel is below what the eye sees at the edge of a filled shape.
  double ddx = x0 - 2 * cx + x1, ddy = y0 - 2 * cy + y1;
  double deviation = std::sqrt(ddx * ddx + ddy * ddy);
  int n = 1;
  if (finite(deviation))
    n = static_cast<int>(std::clamp(std::ceil(std::sqrt(deviation * 1.25)), 1.0,
                                    double{kMaxCurveSegments}));
  double px = x0, py = y0;
  for (int i = 1; i <= n; ++i) {
    double t = static_cast<double>(i) / n, u = 1 - t;
    double qx = u * u * x0 + 2 * u * t * cx + t * t * x1;
    double qy = u * u * y0 + 2 * u * t * cy + t * t * y1;
    addLine(px, py, qx, qy);
    px = qx;
    py = qy;
  }
}

void Rasterizer::addDisc(double x, double y, double radius) {
  if (!finite(x) || !finite(y) || !finite(radius) || radius <= 0) return;
  int n = static_cast<int>(std::clamp(std::ceil(radius * 2), 8.0, 48.0));
  double px = x + radius, py = y;
  for (int i = 1; i <= n; ++i) {
    double angle = 2 * kPi * i / n;
    double qx = x + radius * std::cos(angle), qy = y + radius * std::sin(angle);
    addLine(px, py, qx, qy);
    px = qx;
    py = qy;
  }
}

void Rasterizer::addThickSegment(double x0, double y0, double x1, double y1, double width) {
  double dx = x1 - x0, dy = y1 - y0;
  double len = std::sqrt(dx * dx + dy * dy);
  if (!finite(len) || len == 0) return;
  double half = width / 2;
  // Turned so that the rectangle runs the same way round as the discs.
  double nx = -dy / len * half, ny = dx / len * half;
  addLine(x0 - nx, y0 - ny, x1 - nx, y1 - ny);
  addLine(x1 - nx, y1 - ny, x1 + nx, y1 + ny);
  addLine(x1 + nx, y1 + ny, x0 + nx, y0 + ny);
  addLine(x0 + nx, y0 + ny, x0 - nx, y0 - ny);
}

void Rasterizer::addSpan(double x0, double x1, float weight, int width) {
  x0 = std::clamp(x0, 0.0, static_cast<double>(width));
  x1 = std::clamp(x1, 0.0, static_cast<double>(width));
  if (x1 <= x0) return;
  int i0 = static_cast<int>(x0), i1 = static_cast<int>(x1);
  if (i0 == i1) {
    cover_[i0] += static_cast<float>(x1 - x0) * weight;
    return;
  }
  cover_[i0] += static_cast<float>(i0 + 1 - x0) * weight;
  // Whole pixels in between are added as a run, summed once per row.
  runs_[i0 + 1] += weight;
  runs_[i1] -= weight;
  if (i1 < width) cover_[i1] += static_cast<float>(x1 - i1) * weight;
}

void Rasterizer::compositeRow(FrameBuffer& fb, int y, int xmin, int xmax, Rgba color) {
  uint32_t* row = &fb.pixels[static_cast<size_t>(y) * fb.width];
  float run = 0;
  for (int x = xmin; x <= xmax && x < fb.width; ++x) {
    run += runs_[x];
    float coverage = std::min(cover_[x] + run, 1.0f);
    cover_[x] = 0;
    runs_[x] = 0;
    if (coverage <= 0) continue;
    unsigned a = static_cast<unsigned>(color.a * coverage + 0.5f);
    if (a == 0) continue;
    uint32_t d = row[x];
    unsigned inv = 255 - a;
    auto mix = [&](unsigned src, unsigned dst) { return (src * a + dst * inv + 127) / 255; };
    unsigned oa = a + (alphaOf(d) * inv + 127) / 255;
    unsigned orr = mix(color.r, redOf(d)), og = mix(color.g, greenOf(d)),
             ob = mix(color.b, blueOf(d));
    row[x] = (oa << 24) | (orr << 16) | (og << 8) | ob;
  }
  runs_[static_cast<size_t>(std::min(xmax + 1, fb.width))] = 0;
}

void Rasterizer::fill(FrameBuffer& fb, Rgba color, FillRule rule) {
  if (edges_.empty() || fb.width <= 0 || fb.height <= 0 || color.a == 0) {
    edges_.clear();
    return;
  }
  std::sort(edges_.begin(), edges_.end(),
            [](const RasterEdge& a, const RasterEdge& b) { return a.y0 < b.y0; });
  double ymin = edges_.front().y0, ymax = ymin, xmin = edges_.front().x0, xmax = xmin;
  for (const RasterEdge& e : edges_) {
    ymax = std::max(ymax, e.y1);
    xmin = std::min({xmin, e.x0, e.x1});
    xmax = std::max({xmax, e.x0, e.x1});
  }
  int rowFirst = static_cast<int>(std::clamp(std::floor(ymin), 0.0, double(fb.height)));
  int rowEnd = static_cast<int>(std::clamp(std::ceil(ymax), 0.0, double(fb.height)));
  int colFirst = static_cast<int>(std::clamp(std::floor(xmin), 0.0, double(fb.width - 1)));
  int colLast = static_cast<int>(std::clamp(std::ceil(xmax), 0.0, double(fb.width - 1)));
  cover_.assign(static_cast<size_t>(fb.width) + 1, 0.0f);
  runs_.assign(static_cast<size_t>(fb.width) + 1, 0.0f);
  active_.clear();
  size_t next = 0;
  const float weight = 1.0f / kSubRows;
  for (int y = rowFirst; y < rowEnd; ++y) {
    for (int s = 0; s < kSubRows; ++s) {
      double sy = y + (s + 0.5) / kSubRows;
      while (next < edges_.size() && edges_[next].y0 <= sy) active_.push_back(&edges_[next++]);
      active_.erase(std::remove_if(active_.begin(), active_.end(),
                                   [sy](const RasterEdge* e) { return e->y1 <= sy; }),
                    active_.end());
      crossings_.clear();
      for (const RasterEdge* e : active_) {
        if (e->y0 > sy) continue;
        double t = (sy - e->y0) / (e->y1 - e->y0);
        crossings_.push_back({e->x0 + t * (e->x1 - e->x0), e->winding});
      }
      std::sort(crossings_.begin(), crossings_.end(),
                [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
      int winding = 0;
      for (size_t i = 0; i + 1 < crossings_.size(); ++i) {
        winding += rule == FillRule::NonZero ? crossings_[i].winding : 1;
        bool inside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
        if (inside) addSpan(crossings_[i].x, crossings_[i + 1].x, weight, fb.width);
      }
    }
    compositeRow(fb, y, colFirst, colLast, color);
  }
  edges_.clear();
}

uint64_t Rasterizer::fillWork(const FrameBuffer& fb) const {
  if (edges_.empty() || fb.width <= 0 || fb.height <= 0) return 0;
  double ymin = edges_.front().y0, ymax = ymin;
  uint64_t crossings = 0;
  for (const RasterEdge& e : edges_) {
    ymin = std::min(ymin, e.y0);
    ymax = std::max(ymax, e.y1);
    const double top = std::clamp(e.y0, 0.0, double(fb.height));
    const double bottom = std::clamp(e.y1, 0.0, double(fb.height));
    crossings += static_cast<uint64_t>(std::ceil((bottom - top) * kSubRows));
  }
  const double rows = std::clamp(std::ceil(ymax), 0.0, double(fb.height)) -
                      std::clamp(std::floor(ymin), 0.0, double(fb.height));
  // Each sample row sorts its crossings: the more edges, the dearer each one.
  uint64_t sortFactor = 1;
  for (size_t n = edges_.size(); n > 1; n >>= 1) ++sortFactor;
  return crossings * sortFactor + 2 * static_cast<uint64_t>(rows) * static_cast<uint64_t>(fb.width);
}

Matrix stageToBuffer(const Rect& stage, int width, int height) {
  double sw = std::max(stage.width(), 1), sh = std::max(stage.height(), 1);
  double scale = std::min(width / sw, height / sh);
  double ox = (width - sw * scale) / 2, oy = (height - sh * scale) / 2;
  return {scale, 0, 0, scale, ox - stage.xmin * scale, oy - stage.ymin * scale};
}

namespace {

void addEdgePath(Rasterizer& raster, const Edge& e, const Matrix& m) {
  double x0, y0, x1, y1;
  m.apply(e.from.x, e.from.y, x0, y0);
  m.apply(e.to.x, e.to.y, x1, y1);
  if (e.curved) {
    double cx, cy;
    m.apply(e.control.x, e.control.y, cx, cy);
    raster.addQuadratic(x0, y0, cx, cy, x1, y1);
  } else {
    raster.addLine(x0, y0, x1, y1);
  }
}

// The stroke follows the same chords as the fill so that outlines sit on it.
void addEdgeStroke(Rasterizer& raster, const Edge& e, const Matrix& m, double width) {
  double x0, y0, x1, y1;
  m.apply(e.from.x, e.from.y, x0, y0);
  m.apply(e.to.x, e.to.y, x1, y1);
  raster.addDisc(x0, y0, width / 2);
  raster.addDisc(x1, y1, width / 2);
  if (!e.curved) {
    raster.addThickSegment(x0, y0, x1, y1, width);
    return;
  }
  double cx, cy;
  m.apply(e.control.x, e.control.y, cx, cy);
  double ddx = x0 - 2 * cx + x1, ddy = y0 - 2 * cy + y1;
  double deviation = std::sqrt(ddx * ddx + ddy * ddy);
  int n = finite(deviation) ? static_cast<int>(std::clamp(std::ceil(std::sqrt(deviation * 1.25)),
                                                          1.0, double{kMaxCurveSegments}))
                            : 1;
  double px = x0, py = y0;
  for (int i = 1; i <= n; ++i) {
    double t = static_cast<double>(i) / n, u = 1 - t;
    double qx = u * u * x0 + 2 * u * t * cx + t * t * x1;
    double qy = u * u * y0 + 2 * u * t * cy + t * t * y1;
    raster.addThickSegment(px, py, qx, qy, width);
    if (i < n) raster.addDisc(qx, qy, width / 2);  // rounds the bend between chords
    px = qx;
    py = qy;
  }
}

double lineScale(const Matrix& m) {
  // Stroke widths follow the average scale of the transform.
  double sx = std::sqrt(m.a * m.a + m.b * m.b), sy = std::sqrt(m.c * m.c + m.d * m.d);
  return (sx + sy) / 2;
}

}  // namespace

namespace {

// Fills what the rasteriser collected, if the budget allows it.
bool fillWithin(Rasterizer& raster, FrameBuffer& fb, Rgba color, FillRule rule,
                RenderBudget& budget) {
  if (raster.empty()) return true;
  if (!budget.spend(raster.fillWork(fb))) {
    raster.clear();
    return false;
  }
  raster.fill(fb, color, rule);
  return true;
}

// Collecting edges is work too: a stroke along a curve gives thousands.
bool collectedWithin(const Rasterizer& raster, const RenderBudget& budget) {
  return raster.size() * Rasterizer::kEdgeWork <= budget.left();
}

}  // namespace

bool renderShape(const Shape& shape, const Matrix& toPixels, const ColorTransform& cx,
                 FrameBuffer& fb, Rasterizer& raster, RenderBudget& budget) {
  // Each fill style is the region bounded by the edges that have it on one
  // side only; an edge with the same fill on both sides is interior.
  for (size_t f = 1; f <= shape.fills.size(); ++f) {
    const FillStyle& style = shape.fills[f - 1];
    if (!style.visible) continue;
    if (!budget.spend(shape.edges.size())) return false;
    raster.clear();
    for (const ShapeEdge& se : shape.edges) {
      if ((se.fill0 == f) != (se.fill1 == f)) addEdgePath(raster, se.edge, toPixels);
      if (!collectedWithin(raster, budget)) return false;
    }
    if (!budget.spend(raster.size() * Rasterizer::kEdgeWork) ||
        !fillWithin(raster, fb, cx.apply(style.color), FillRule::EvenOdd, budget))
      return false;
  }
  const double scale = lineScale(toPixels);
  for (size_t l = 1; l <= shape.lines.size(); ++l) {
    const LineStyle& style = shape.lines[l - 1];
    double width = std::max(style.width * scale, 1.0);  // hairlines stay one pixel wide
    if (!budget.spend(shape.edges.size())) return false;
    raster.clear();
    for (const ShapeEdge& se : shape.edges) {
      if (se.line == l) addEdgeStroke(raster, se.edge, toPixels, width);
      if (!collectedWithin(raster, budget)) return false;
    }
    if (!budget.spend(raster.size() * Rasterizer::kEdgeWork) ||
        !fillWithin(raster, fb, cx.apply(style.color), FillRule::NonZero, budget))
      return false;
  }
  return true;
}

bool renderFrame(const Movie& movie, const DisplayList& list, FrameBuffer& fb,
                 const RenderOptions& options) {
  if (options.drawBackground && movie.hasBackground) {
    const Rgba& bg = movie.background;
    fb.clear(0xFF000000u | (uint32_t{bg.r} << 16) | (uint32_t{bg.g} << 8) | bg.b);
  } else {
    fb.clear(0);
  }
  const Matrix view = stageToBuffer(movie.frameRect, fb.width, fb.height);
  Rasterizer raster;
  RenderBudget budget(kMaxRenderWork);
  for (const auto& [depth, placement] : list) {
    auto it = movie.shapes.find(placement.characterId);
    if (it == movie.shapes.end()) continue;
    // Every placement costs a pass over the buffer's rows, drawn or not.
    if (!budget.spend(static_cast<uint64_t>(fb.height)) ||
        !renderShape(it->second, view * placement.matrix, placement.colorTransform, fb, raster,
                     budget)) {
      fb.clear(0);
      return false;
    }
  }
  return true;
}

}  // namespace swf
