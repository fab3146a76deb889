// Writes movies in the same subset the reader understands: the winks are made
// with this at build time, and the tests use it to build their cases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf_types.h"

namespace swf {

// Builds the records of one shape: styles first, then a pen that moves and
// draws edges in twips, choosing the styles on either side as it goes.
class ShapeBuilder {
 public:
  uint32_t addFill(Rgba color);  // returns its 1-based style number
  uint32_t addLine(uint16_t widthTwips, Rgba color);
  // Style numbers take effect with the next moveTo/edge; 0 = none.
  void setFill0(uint32_t style);
  void setFill1(uint32_t style);
  void setLine(uint32_t style);
  void moveTo(int32_t x, int32_t y);
  void lineTo(int32_t x, int32_t y);
  void curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);

  // Convenience outlines, filled with `fill` on their inside (fill0 for the
  // direction they are drawn in) and stroked with `line`.
  void polygon(const std::vector<Point>& points, uint32_t fill, uint32_t line = 0);
  void circle(int32_t cx, int32_t cy, int32_t r, uint32_t fill, uint32_t line = 0);

  const std::vector<FillStyle>& fills() const { return fills_; }
  const std::vector<LineStyle>& lines() const { return lines_; }
  Rect bounds() const;

 private:
  friend class MovieWriter;
  struct Record {
    enum Kind { Style, Straight, Curve } kind;
    bool moveTo = false, setFill0 = false, setFill1 = false, setLine = false;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    int32_t x = 0, y = 0, cx = 0, cy = 0;  // absolute target (and control)
  };
  Record& pendingStyle();
  void include(int32_t x, int32_t y);

  std::vector<FillStyle> fills_;
  std::vector<LineStyle> lines_;
  std::vector<Record> records_;
  Point pen_;
  bool styleOpen_ = false;
  bool any_ = false;
  Rect bounds_;
};

class MovieWriter {
 public:
  // Stage in pixels, frame rate in frames per second.
  MovieWriter(int widthPixels, int heightPixels, double frameRate, uint8_t version = 8);

  void setBackground(Rgba color);
  // shapeVersion 1, 2 or 3 picks DefineShape, DefineShape2 or DefineShape3.
  void defineShape(uint16_t id, const ShapeBuilder& shape, int shapeVersion = 3);
  void place(uint16_t depth, uint16_t characterId, const Matrix& m,
             const ColorTransform* cx = nullptr, bool usePlaceObject3 = false);
  void move(uint16_t depth, const Matrix& m, const ColorTransform* cx = nullptr);
  void remove(uint16_t depth);
  void removeCharacter(uint16_t characterId, uint16_t depth);  // RemoveObject (1)
  void showFrame();
  // Any tag, written as given: lets tests add tags the reader must pass over.
  void rawTag(uint16_t code, const std::vector<uint8_t>& body);

  int framesShown() const { return frames_; }
  // The whole file, with End appended; the header counts the frames shown
  // unless a count is forced (tests use that to make the header lie).
  std::vector<uint8_t> finish(bool compressed, int forcedFrameCount = -1) const;

 private:
  std::vector<uint8_t> tags_;
  Rect stage_;
  uint16_t rate_;
  uint8_t version_;
  int frames_ = 0;
};

// Fixed-point encoding used by the tags, exposed for tests.
void writeTagHeader(std::vector<uint8_t>& out, uint16_t code, uint32_t length, bool forceLong);

}  // namespace swf
