// The in-memory form of a Flash movie: the small part of the format that the
// winks use (solid-filled shapes placed, moved and removed frame by frame).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace swf {

// One twentieth of a pixel: the unit of every coordinate in a movie.
constexpr int kTwipsPerPixel = 20;

struct Rect {
  int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;  // twips
  int32_t width() const { return xmax - xmin; }
  int32_t height() const { return ymax - ymin; }
};

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// x' = a*x + c*y + tx,  y' = b*x + d*y + ty  (tx, ty in twips).
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  static Matrix translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Matrix scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  static Matrix rotate(double radians);
  // this applied after `inner`.
  Matrix operator*(const Matrix& inner) const;
  void apply(double x, double y, double& ox, double& oy) const {
    ox = a * x + c * y + tx;
    oy = b * x + d * y + ty;
  }
};

// Multiply terms are 8.8 fixed point (256 = unchanged), add terms are added after.
struct ColorTransform {
  int16_t mulR = 256, mulG = 256, mulB = 256, mulA = 256;
  int16_t addR = 0, addG = 0, addB = 0, addA = 0;
  Rgba apply(Rgba c) const;
  bool isIdentity() const {
    return mulR == 256 && mulG == 256 && mulB == 256 && mulA == 256 && addR == 0 && addG == 0 &&
           addB == 0 && addA == 0;
  }
};

struct Point {
  int32_t x = 0, y = 0;  // twips
};

// A straight edge has control == to (curved = false).
struct Edge {
  Point from, control, to;
  bool curved = false;
};

struct LineStyle {
  uint16_t width = 0;  // twips
  Rgba color;
};

// Fill styles other than solid colours are kept as their average colour
// (gradients) or as nothing at all (bitmaps): the winks use solid fills only.
struct FillStyle {
  Rgba color;
  bool visible = true;
};

// Edges carry indices into the shape-wide style tables; 0 means "no style".
struct ShapeEdge {
  Edge edge;
  uint32_t fill0 = 0, fill1 = 0, line = 0;
};

struct Shape {
  uint16_t id = 0;
  Rect bounds;
  std::vector<FillStyle> fills;  // index i+1 in ShapeEdge
  std::vector<LineStyle> lines;  // index i+1 in ShapeEdge
  std::vector<ShapeEdge> edges;
};

// One change to the display list, in the order the file gives them.
struct DisplayOp {
  enum class Kind { Place, Remove } kind = Kind::Place;
  uint16_t depth = 0;
  bool move = false;  // modify what is at the depth instead of placing anew
  bool hasCharacter = false;
  uint16_t characterId = 0;
  bool hasMatrix = false;
  Matrix matrix;
  bool hasColorTransform = false;
  ColorTransform colorTransform;
};

struct Frame {
  std::vector<DisplayOp> ops;
};

struct Movie {
  uint8_t version = 0;
  bool compressed = false;
  Rect frameRect;
  double frameRate = 0;     // frames per second
  uint16_t frameCount = 0;  // as the header states it
  bool hasBackground = false;
  Rgba background;
  std::map<uint16_t, Shape> shapes;
  std::vector<Frame> frames;  // one per ShowFrame found
};

}  // namespace swf
