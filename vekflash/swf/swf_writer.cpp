#include "swf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "swf_bits.h"
#include "swf_parser.h"

namespace swf {

namespace {

unsigned bitsForAll(std::initializer_list<int32_t> values) {
  unsigned n = 0;
  for (int32_t v : values) n = std::max(n, signedBitsFor(v));
  return n;
}

void writeRect(BitWriter& w, const Rect& r) {
  unsigned n = bitsForAll({r.xmin, r.xmax, r.ymin, r.ymax});
  w.ubits(n, 5);
  w.sbits(r.xmin, n);
  w.sbits(r.xmax, n);
  w.sbits(r.ymin, n);
  w.sbits(r.ymax, n);
  w.align();
}

int32_t toFixed16(double v) { return static_cast<int32_t>(std::lround(v * 65536.0)); }

// The scale and the rotate parts of a matrix: a flag, then, when set, the two
// 16.16 numbers in the fewest bits that hold both.
void writeOptionalFixedPair(BitWriter& w, bool present, double first, double second) {
  w.ubits(present, 1);
  if (!present) return;
  int32_t x = toFixed16(first), y = toFixed16(second);
  unsigned n = bitsForAll({x, y});
  w.ubits(n, 5);
  w.sbits(x, n);
  w.sbits(y, n);
}

void writeMatrix(BitWriter& w, const Matrix& m) {
  writeOptionalFixedPair(w, m.a != 1 || m.d != 1, m.a, m.d);
  writeOptionalFixedPair(w, m.b != 0 || m.c != 0, m.b, m.c);
  int32_t tx = static_cast<int32_t>(std::lround(m.tx)), ty = static_cast<int32_t>(std::lround(m.ty));
  unsigned n = (tx == 0 && ty == 0) ? 0 : bitsForAll({tx, ty});
  w.ubits(n, 5);
  w.sbits(tx, n);
  w.sbits(ty, n);
  w.align();
}

void writeColorTransform(BitWriter& w, const ColorTransform& cx) {
  bool hasMul = cx.mulR != 256 || cx.mulG != 256 || cx.mulB != 256 || cx.mulA != 256;
  bool hasAdd = cx.addR != 0 || cx.addG != 0 || cx.addB != 0 || cx.addA != 0;
  unsigned n = bitsForAll({cx.mulR, cx.mulG, cx.mulB, cx.mulA, cx.addR, cx.addG, cx.addB, cx.addA});
  w.ubits(hasAdd, 1);
  w.ubits(hasMul, 1);
  w.ubits(n, 4);
  if (hasMul) {
    for (int16_t v : {cx.mulR, cx.mulG, cx.mulB, cx.mulA}) w.sbits(v, n);
  }
  if (hasAdd) {
    for (int16_t v : {cx.addR, cx.addG, cx.addB, cx.addA}) w.sbits(v, n);
  }
  w.align();
}

void writeColor(BitWriter& w, Rgba c, bool withAlpha) {
  w.u8(c.r);
  w.u8(c.g);
  w.u8(c.b);
  if (withAlpha) w.u8(c.a);
}

void writeCount(BitWriter& w, size_t n, int shapeVersion) {
  if (n >= 0xFF && shapeVersion >= 2) {
    w.u8(0xFF);
    w.u16(static_cast<uint16_t>(n));
  } else {
    w.u8(static_cast<uint8_t>(n));
  }
}


// Edge deltas have at most 17 bits; longer edges are written in pieces.
constexpr unsigned kMaxEdgeBits = 17;

void writeStraight(BitWriter& w, int32_t dx, int32_t dy) {
  unsigned n = std::max(2u, bitsForAll({dx, dy}));
  if (n > kMaxEdgeBits) {
    writeStraight(w, dx / 2, dy / 2);
    writeStraight(w, dx - dx / 2, dy - dy / 2);
    return;
  }
  w.ubits(1, 1);
  w.ubits(1, 1);
  w.ubits(n - 2, 4);
  if (dx != 0 && dy != 0) {
    w.ubits(1, 1);
    w.sbits(dx, n);
    w.sbits(dy, n);
  } else {
    w.ubits(0, 1);
    w.ubits(dx == 0, 1);  // vertical
    w.sbits(dx == 0 ? dy : dx, n);
  }
}

// A curve from the pen by control delta (cdx, cdy) and anchor delta (adx, ady);
// too long a one is split in half (de Casteljau), rounded to whole twips.
void writeCurve(BitWriter& w, int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) {
  unsigned n = std::max(2u, bitsForAll({cdx, cdy, adx, ady}));
  if (n > kMaxEdgeBits) {
    const int32_t c1x = cdx / 2, c1y = cdy / 2;                       // p0..c midpoint
    const int32_t c2x = cdx + adx / 2, c2y = cdy + ady / 2;           // c..p1 midpoint
    const int32_t mx = (c1x + c2x) / 2, my = (c1y + c2y) / 2;         // on the curve
    writeCurve(w, c1x, c1y, mx - c1x, my - c1y);
    writeCurve(w, c2x - mx, c2y - my, cdx + adx - c2x, cdy + ady - c2y);
    return;
  }
  w.ubits(1, 1);
  w.ubits(0, 1);
  w.ubits(n - 2, 4);
  w.sbits(cdx, n);
  w.sbits(cdy, n);
  w.sbits(adx, n);
  w.sbits(ady, n);
}

}  // namespace

void writeTagHeader(std::vector<uint8_t>& out, uint16_t code, uint32_t length, bool forceLong) {
  BitWriter w;
  if (length < 0x3F && !forceLong) {
    w.u16(static_cast<uint16_t>((code << 6) | length));
  } else {
    w.u16(static_cast<uint16_t>((code << 6) | 0x3F));
    w.u32(length);
  }
  out.insert(out.end(), w.data().begin(), w.data().end());
}

uint32_t ShapeBuilder::addFill(Rgba color) {
  fills_.push_back({color, true});
  return static_cast<uint32_t>(fills_.size());
}

uint32_t ShapeBuilder::addLine(uint16_t widthTwips, Rgba color) {
  lines_.push_back({widthTwips, color});
  return static_cast<uint32_t>(lines_.size());
}

ShapeBuilder::Record& ShapeBuilder::pendingStyle() {
  if (!styleOpen_) {
    records_.push_back(Record{Record::Style});
    styleOpen_ = true;
  }
  return records_.back();
}

void ShapeBuilder::setFill0(uint32_t style) {
  Record& r = pendingStyle();
  r.setFill0 = true;
  r.fill0 = style;
}

void ShapeBuilder::setFill1(uint32_t style) {
  Record& r = pendingStyle();
  r.setFill1 = true;
  r.fill1 = style;
}

void ShapeBuilder::setLine(uint32_t style) {
  Record& r = pendingStyle();
  r.setLine = true;
  r.line = style;
}

void ShapeBuilder::include(int32_t x, int32_t y) {
  if (!any_) {
    bounds_ = {x, x, y, y};
    any_ = true;
    return;
  }
  bounds_.xmin = std::min(bounds_.xmin, x);
  bounds_.xmax = std::max(bounds_.xmax, x);
  bounds_.ymin = std::min(bounds_.ymin, y);
  bounds_.ymax = std::max(bounds_.ymax, y);
}

void ShapeBuilder::moveTo(int32_t x, int32_t y) {
  Record& r = pendingStyle();
  r.moveTo = true;
  r.x = x;
  r.y = y;
  pen_ = {x, y};
  include(x, y);
}

void ShapeBuilder::lineTo(int32_t x, int32_t y) {
  styleOpen_ = false;
  Record r{Record::Straight};
  r.x = x;
  r.y = y;
  records_.push_back(r);
  pen_ = {x, y};
  include(x, y);
}

void ShapeBuilder::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
  styleOpen_ = false;
  Record r{Record::Curve};
  r.cx = cx;
  r.cy = cy;
  r.x = x;
  r.y = y;
  records_.push_back(r);
  pen_ = {x, y};
  include(cx, cy);
  include(x, y);
}

void ShapeBuilder::polygon(const std::vector<Point>& points, uint32_t fill, uint32_t line) {
  if (points.empty()) return;
  setFill0(fill);
  setFill1(0);
  setLine(line);
  moveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) lineTo(points[i].x, points[i].y);
  lineTo(points[0].x, points[0].y);
}

void ShapeBuilder::circle(int32_t cx, int32_t cy, int32_t r, uint32_t fill, uint32_t line) {
  // Eight quadratic arcs; the control points sit on the tangents' crossings.
  constexpr double kPi = 3.14159265358979323846;
  const double controlRadius = r / std::cos(kPi / 8);
  setFill0(fill);
  setFill1(0);
  setLine(line);
  moveTo(cx + r, cy);
  for (int i = 1; i <= 8; ++i) {
    double mid = (i - 0.5) * kPi / 4, end = i * kPi / 4;
    curveTo(cx + static_cast<int32_t>(std::lround(controlRadius * std::cos(mid))),
            cy + static_cast<int32_t>(std::lround(controlRadius * std::sin(mid))),
            i == 8 ? cx + r : cx + static_cast<int32_t>(std::lround(r * std::cos(end))),
            i == 8 ? cy : cy + static_cast<int32_t>(std::lround(r * std::sin(end))));
  }
}

Rect ShapeBuilder::bounds() const {
  double widest = 0;
  for (const LineStyle& l : lines_) widest = std::max<double>(widest, l.width);
  int32_t pad = static_cast<int32_t>(widest / 2 + 1);
  return {bounds_.xmin - pad, bounds_.xmax + pad, bounds_.ymin - pad, bounds_.ymax + pad};
}

MovieWriter::MovieWriter(int widthPixels, int heightPixels, double frameRate, uint8_t version)
    : stage_{0, widthPixels * kTwipsPerPixel, 0, heightPixels * kTwipsPerPixel},
      rate_(static_cast<uint16_t>(std::lround(frameRate * 256))),
      version_(version) {}

void MovieWriter::rawTag(uint16_t code, const std::vector<uint8_t>& body) {
  writeTagHeader(tags_, code, static_cast<uint32_t>(body.size()), false);
  tags_.insert(tags_.end(), body.begin(), body.end());
}

void MovieWriter::setBackground(Rgba color) {
  BitWriter w;
  writeColor(w, color, false);
  rawTag(kTagSetBackgroundColor, w.data());
}

void MovieWriter::defineShape(uint16_t id, const ShapeBuilder& shape, int shapeVersion) {
  const bool alpha = shapeVersion >= 3;
  BitWriter w;
  w.u16(id);
  writeRect(w, shape.bounds());
  writeCount(w, shape.fills().size(), shapeVersion);
  for (const FillStyle& f : shape.fills()) {
    w.u8(0x00);
    writeColor(w, f.color, alpha);
  }
  writeCount(w, shape.lines().size(), shapeVersion);
  for (const LineStyle& l : shape.lines()) {
    w.u16(l.width);
    writeColor(w, l.color, alpha);
  }
  const unsigned fillBits = unsignedBitsFor(static_cast<uint32_t>(shape.fills().size()));
  const unsigned lineBits = unsignedBitsFor(static_cast<uint32_t>(shape.lines().size()));
  w.ubits(fillBits, 4);
  w.ubits(lineBits, 4);
  Point pen;
  for (const ShapeBuilder::Record& r : shape.records_) {
    if (r.kind == ShapeBuilder::Record::Style) {
      w.ubits(0, 1);
      w.ubits(0, 1);  // no new styles
      w.ubits(r.setLine, 1);
      w.ubits(r.setFill1, 1);
      w.ubits(r.setFill0, 1);
      w.ubits(r.moveTo, 1);
      if (r.moveTo) {
        unsigned n = bitsForAll({r.x, r.y});
        w.ubits(n, 5);
        w.sbits(r.x, n);
        w.sbits(r.y, n);
        pen = {r.x, r.y};
      }
      if (r.setFill0) w.ubits(r.fill0, fillBits);
      if (r.setFill1) w.ubits(r.fill1, fillBits);
      if (r.setLine) w.ubits(r.line, lineBits);
    } else if (r.kind == ShapeBuilder::Record::Straight) {
      writeStraight(w, r.x - pen.x, r.y - pen.y);
      pen = {r.x, r.y};
    } else {
      writeCurve(w, r.cx - pen.x, r.cy - pen.y, r.x - r.cx, r.y - r.cy);
      pen = {r.x, r.y};
    }
  }
  w.ubits(0, 6);  // end of shape
  const uint16_t code =
      shapeVersion == 1 ? kTagDefineShape : shapeVersion == 2 ? kTagDefineShape2 : kTagDefineShape3;
  std::vector<uint8_t>& body = w.data();
  // Shapes always take the long header, as the format expects of them.
  writeTagHeader(tags_, code, static_cast<uint32_t>(body.size()), true);
  tags_.insert(tags_.end(), body.begin(), body.end());
}

void MovieWriter::place(uint16_t depth, uint16_t characterId, const Matrix& m,
                        const ColorTransform* cx, bool usePlaceObject3) {
  BitWriter w;
  w.u8(static_cast<uint8_t>(0x02 | 0x04 | (cx ? 0x08 : 0)));
  if (usePlaceObject3) w.u8(0);
  w.u16(depth);
  w.u16(characterId);
  writeMatrix(w, m);
  if (cx) writeColorTransform(w, *cx);
  rawTag(usePlaceObject3 ? kTagPlaceObject3 : kTagPlaceObject2, w.data());
}

void MovieWriter::move(uint16_t depth, const Matrix& m, const ColorTransform* cx) {
  BitWriter w;
  w.u8(static_cast<uint8_t>(0x01 | 0x04 | (cx ? 0x08 : 0)));
  w.u16(depth);
  writeMatrix(w, m);
  if (cx) writeColorTransform(w, *cx);
  rawTag(kTagPlaceObject2, w.data());
}

void MovieWriter::remove(uint16_t depth) {
  BitWriter w;
  w.u16(depth);
  rawTag(kTagRemoveObject2, w.data());
}

void MovieWriter::removeCharacter(uint16_t characterId, uint16_t depth) {
  BitWriter w;
  w.u16(characterId);
  w.u16(depth);
  rawTag(kTagRemoveObject, w.data());
}

void MovieWriter::showFrame() {
  rawTag(kTagShowFrame, {});
  ++frames_;
}

std::vector<uint8_t> MovieWriter::finish(bool compressed, int forcedFrameCount) const {
  BitWriter body;
  writeRect(body, stage_);
  body.u16(rate_);
  body.u16(static_cast<uint16_t>(forcedFrameCount >= 0 ? forcedFrameCount : frames_));
  std::vector<uint8_t> payload = body.data();
  payload.insert(payload.end(), tags_.begin(), tags_.end());
  writeTagHeader(payload, kTagEnd, 0, false);

  std::vector<uint8_t> out = {static_cast<uint8_t>(compressed ? 'C' : 'F'), 'W', 'S', version_};
  const uint32_t total = static_cast<uint32_t>(payload.size() + 8);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(total >> (8 * i)));
  if (!compressed) {
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
  }
  uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, payload.data(), static_cast<uLong>(payload.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return {};
  out.insert(out.end(), packed.begin(), packed.begin() + static_cast<ptrdiff_t>(packedSize));
  return out;
}

}  // namespace swf
