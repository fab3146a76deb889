#include "swf_parser.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <map>

#include "swf_bits.h"

namespace swf {

const char* describe(ParseError e) {
  switch (e) {
    case ParseError::None: return "ok";
    case ParseError::NotSwf: return "not a flash movie";
    case ParseError::Unsupported: return "unsupported compression";
    case ParseError::TooLarge: return "movie too large";
    case ParseError::Truncated: return "movie truncated";
    case ParseError::BadCompression: return "damaged compressed data";
    case ParseError::BadRect: return "bad stage rectangle";
    case ParseError::BadTag: return "bad tag";
    case ParseError::TooCostly: return "movie too costly to draw";
  }
  return "?";
}

namespace {

constexpr size_t kHeaderBytes = 8;

Rect readRect(BitReader& r) {
  Rect rect;
  unsigned n = r.ubits(5);
  rect.xmin = r.sbits(n);
  rect.xmax = r.sbits(n);
  rect.ymin = r.sbits(n);
  rect.ymax = r.sbits(n);
  r.align();
  return rect;
}

Matrix readMatrix(BitReader& r) {
  Matrix m;
  if (r.ubits(1)) {
    unsigned n = r.ubits(5);
    m.a = r.fbits(n);
    m.d = r.fbits(n);
  }
  if (r.ubits(1)) {
    unsigned n = r.ubits(5);
    m.b = r.fbits(n);
    m.c = r.fbits(n);
  }
  unsigned n = r.ubits(5);
  m.tx = r.sbits(n);
  m.ty = r.sbits(n);
  r.align();
  return m;
}

ColorTransform readColorTransformWithAlpha(BitReader& r) {
  ColorTransform cx;
  bool hasAdd = r.ubits(1) != 0;
  bool hasMul = r.ubits(1) != 0;
  unsigned n = r.ubits(4);
  if (hasMul) {
    cx.mulR = static_cast<int16_t>(r.sbits(n));
    cx.mulG = static_cast<int16_t>(r.sbits(n));
    cx.mulB = static_cast<int16_t>(r.sbits(n));
    cx.mulA = static_cast<int16_t>(r.sbits(n));
  }
  if (hasAdd) {
    cx.addR = static_cast<int16_t>(r.sbits(n));
    cx.addG = static_cast<int16_t>(r.sbits(n));
    cx.addB = static_cast<int16_t>(r.sbits(n));
    cx.addA = static_cast<int16_t>(r.sbits(n));
  }
  r.align();
  return cx;
}

Rgba readColor(BitReader& r, bool withAlpha) {
  Rgba c;
  c.r = r.u8();
  c.g = r.u8();
  c.b = r.u8();
  c.a = withAlpha ? r.u8() : 255;
  return c;
}

// Reads one shape's worth of tags: DefineShape (1), DefineShape2 (2), DefineShape3 (3).
class ShapeReader {
 public:
  ShapeReader(BitReader& r, int shapeVersion, size_t& edgeBudget)
      : r_(r), version_(shapeVersion), edgeBudget_(edgeBudget) {}

  bool read(Shape& shape) {
    shape.id = r_.u16();
    shape.bounds = readRect(r_);
    if (!readStyles(shape)) return false;
    return readRecords(shape) && !r_.failed();
  }

 private:
  bool withAlpha() const { return version_ >= 3; }

  size_t readCount() {
    size_t n = r_.u8();
    if (n == 0xFF && version_ >= 2) n = r_.u16();
    return n;
  }

  bool readGradient(FillStyle& fill) {
    readMatrix(r_);
    r_.ubits(4);  // spread and interpolation modes
    unsigned count = r_.ubits(4);
    if (count == 0) {
      fill.visible = false;
      return !r_.failed();
    }
    unsigned sr = 0, sg = 0, sb = 0, sa = 0;
    for (unsigned i = 0; i < count; ++i) {
      r_.u8();  // ratio
      Rgba c = readColor(r_, withAlpha());
      sr += c.r, sg += c.g, sb += c.b, sa += c.a;
    }
    fill.color = {static_cast<uint8_t>(sr / count), static_cast<uint8_t>(sg / count),
                  static_cast<uint8_t>(sb / count), static_cast<uint8_t>(sa / count)};
    return !r_.failed();
  }

  bool readFillStyle(FillStyle& fill) {
    uint8_t type = r_.u8();
    if (type == 0x00) {
      fill.color = readColor(r_, withAlpha());
    } else if (type == 0x10 || type == 0x12) {
      if (!readGradient(fill)) return false;
    } else if (type >= 0x40 && type <= 0x43) {
      r_.u16();  // bitmap id: no bitmaps are defined here, so nothing shows
      readMatrix(r_);
      fill.visible = false;
    } else {
      return false;
    }
    return !r_.failed();
  }

  bool readStyles(Shape& shape) {
    fillBase_ = static_cast<uint32_t>(shape.fills.size());
    size_t fillCount = readCount();
    for (size_t i = 0; i < fillCount && !r_.failed(); ++i) {
      FillStyle f;
      if (!readFillStyle(f)) return false;
      shape.fills.push_back(f);
    }
    lineBase_ = static_cast<uint32_t>(shape.lines.size());
    size_t lineCount = readCount();
    for (size_t i = 0; i < lineCount && !r_.failed(); ++i) {
      LineStyle l;
      l.width = r_.u16();
      l.color = readColor(r_, withAlpha());
      shape.lines.push_back(l);
    }
    fillCount_ = static_cast<uint32_t>(fillCount);
    lineCount_ = static_cast<uint32_t>(lineCount);
    fillBits_ = r_.ubits(4);
    lineBits_ = r_.ubits(4);
    return !r_.failed();
  }

  // Maps a style number of the current table to the shape-wide index; a
  // number past the table is damage, not "no style".
  bool mapStyle(uint32_t local, uint32_t count, uint32_t base, uint32_t& out) const {
    if (local > count) return false;
    out = local == 0 ? 0 : base + local;
    return true;
  }

  bool addEdge(Shape& shape, const Edge& e) {
    if (edgeBudget_ == 0) return false;
    --edgeBudget_;
    shape.edges.push_back({e, fill0_, fill1_, line_});
    return true;
  }

  bool readStyleChange(Shape& shape, uint32_t flags) {
    const bool newStyles = flags & 0x10, lineStyle = flags & 0x08, fill1 = flags & 0x04,
               fill0 = flags & 0x02, moveTo = flags & 0x01;
    if (moveTo) {
      unsigned n = r_.ubits(5);
      pen_.x = r_.sbits(n);
      pen_.y = r_.sbits(n);
    }
    uint32_t f0 = fill0 ? r_.ubits(fillBits_) : 0;
    uint32_t f1 = fill1 ? r_.ubits(fillBits_) : 0;
    uint32_t ln = lineStyle ? r_.ubits(lineBits_) : 0;
    if (newStyles) {
      // The style numbers of this very record already refer to the new tables.
      r_.align();
      if (!readStyles(shape)) return false;
      fill0_ = fill1_ = line_ = 0;
    }
    if (fill0 && !mapStyle(f0, fillCount_, fillBase_, fill0_)) return false;
    if (fill1 && !mapStyle(f1, fillCount_, fillBase_, fill1_)) return false;
    if (lineStyle && !mapStyle(ln, lineCount_, lineBase_, line_)) return false;
    return !r_.failed();
  }

  bool readEdgeRecord(Shape& shape) {
    bool straight = r_.ubits(1) != 0;
    unsigned n = r_.ubits(4) + 2;
    Edge e;
    e.from = pen_;
    if (straight) {
      int32_t dx = 0, dy = 0;
      if (r_.ubits(1)) {
        dx = r_.sbits(n);
        dy = r_.sbits(n);
      } else if (r_.ubits(1)) {
        dy = r_.sbits(n);
      } else {
        dx = r_.sbits(n);
      }
      if (!moved(pen_, dx, dy, e.to)) return false;
      e.control = e.to;
    } else {
      int32_t cx = r_.sbits(n), cy = r_.sbits(n), ax = r_.sbits(n), ay = r_.sbits(n);
      if (!moved(pen_, cx, cy, e.control) || !moved(e.control, ax, ay, e.to)) return false;
      e.curved = true;
    }
    pen_ = e.to;
    return !r_.failed() && addEdge(shape, e);
  }

  // from + (dx, dy); a point beyond kMaxPenCoordinate is damage, which also
  // keeps the sums of many edges inside int32.
  static bool moved(const Point& from, int32_t dx, int32_t dy, Point& to) {
    const int64_t x = int64_t{from.x} + dx, y = int64_t{from.y} + dy;
    if (x < -kMaxPenCoordinate || x > kMaxPenCoordinate || y < -kMaxPenCoordinate ||
        y > kMaxPenCoordinate)
      return false;
    to = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
    return true;
  }

  bool readRecords(Shape& shape) {
    fill0_ = fill1_ = line_ = 0;
    while (!r_.failed()) {
      if (r_.ubits(1)) {
        if (!readEdgeRecord(shape)) return false;
        continue;
      }
      uint32_t flags = r_.ubits(5);
      if (flags == 0) return true;  // end of shape
      if ((flags & 0x10) && version_ < 2) return false;
      if (!readStyleChange(shape, flags)) return false;
    }
    return false;
  }

  BitReader& r_;
  int version_;
  size_t& edgeBudget_;
  Point pen_;
  uint32_t fillBase_ = 0, lineBase_ = 0, fillCount_ = 0, lineCount_ = 0;
  unsigned fillBits_ = 0, lineBits_ = 0;
  uint32_t fill0_ = 0, fill1_ = 0, line_ = 0;
};

bool readPlaceObject(BitReader& r, bool version3, DisplayOp& op) {
  uint8_t flags = r.u8();
  uint8_t flags2 = version3 ? r.u8() : 0;
  op.kind = DisplayOp::Kind::Place;
  op.depth = r.u16();
  op.move = flags & 0x01;
  op.hasCharacter = flags & 0x02;
  op.hasMatrix = flags & 0x04;
  op.hasColorTransform = flags & 0x08;
  const bool hasImage = flags2 & 0x10, hasClassName = flags2 & 0x08;
  if (hasClassName || (hasImage && op.hasCharacter)) r.cstring();
  if (op.hasCharacter) op.characterId = r.u16();
  if (op.hasMatrix) op.matrix = readMatrix(r);
  if (op.hasColorTransform) op.colorTransform = readColorTransformWithAlpha(r);
  // Ratio, name, clip depth, filters, blend mode and clip actions follow; none
  // of them changes how a solid shape looks, so the rest of the tag is left.
  return !r.failed() && (op.move || op.hasCharacter);
}

class MovieReader {
 public:
  explicit MovieReader(Movie& movie) : movie_(movie) {}

  ParseError readTags(BitReader& r) {
    while (true) {
      if (r.remaining() < 2) return ParseError::Truncated;
      uint16_t header = r.u16();
      uint16_t code = header >> 6;
      uint32_t length = header & 0x3F;
      if (length == 0x3F) {
        if (r.remaining() < 4) return ParseError::Truncated;
        length = r.u32();
      }
      if (length > r.remaining()) return ParseError::Truncated;
      const uint8_t* body = r.remaining() ? bodyAt(r) : nullptr;
      r.skip(length);
      if (code == kTagEnd) return ParseError::None;
      BitReader tag(body, length);
      if (!readTag(code, tag)) return ParseError::BadTag;
    }
  }

  void setData(const uint8_t* base) { base_ = base; }

 private:
  const uint8_t* bodyAt(const BitReader& r) const { return base_ + r.position(); }

  bool readTag(uint16_t code, BitReader& tag) {
    switch (code) {
      case kTagShowFrame:
        // The header cannot count more frames than this; later ones only
        // merge their changes into the last.
        if (movie_.frames.size() >= kMaxFrames) return true;
        movie_.frames.push_back(std::move(pending_));
        pending_ = Frame{};
        return true;
      case kTagSetBackgroundColor:
        movie_.background = readColor(tag, false);
        movie_.hasBackground = !tag.failed();
        return !tag.failed();
      case kTagDefineShape: return readShape(tag, 1);
      case kTagDefineShape2: return readShape(tag, 2);
      case kTagDefineShape3: return readShape(tag, 3);
      case kTagPlaceObject2:
      case kTagPlaceObject3: {
        DisplayOp op;
        if (!readPlaceObject(tag, code == kTagPlaceObject3, op)) return false;
        return addOp(op);
      }
      case kTagRemoveObject:
      case kTagRemoveObject2: {
        DisplayOp op;
        op.kind = DisplayOp::Kind::Remove;
        if (code == kTagRemoveObject) op.characterId = tag.u16();
        op.depth = tag.u16();
        if (tag.failed()) return false;
        return addOp(op);
      }
      default: return true;  // not ours to understand: its length lets us pass it
    }
  }

  bool addOp(const DisplayOp& op) {
    if (opBudget_ == 0) return false;
    --opBudget_;
    pending_.ops.push_back(op);
    return true;
  }

  bool readShape(BitReader& tag, int version) {
    Shape shape;
    if (!ShapeReader(tag, version, edgeBudget_).read(shape)) return false;
    movie_.shapes[shape.id] = std::move(shape);
    return true;
  }

  Movie& movie_;
  const uint8_t* base_ = nullptr;
  Frame pending_;
  size_t edgeBudget_ = kMaxEdgesPerMovie;
  size_t opBudget_ = kMaxDisplayOpsPerMovie;
};

// Inflates exactly `expected` bytes (the body after the 8-byte header).
ParseError inflateBody(const uint8_t* src, size_t srcSize, size_t expected,
                       std::vector<uint8_t>& out) {
  out.assign(expected, 0);
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  if (inflateInit(&zs) != Z_OK) return ParseError::BadCompression;
  zs.next_in = const_cast<Bytef*>(src);
  zs.avail_in = static_cast<uInt>(srcSize);
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(expected);
  int rc = expected == 0 ? Z_STREAM_END : inflate(&zs, Z_FINISH);
  size_t produced = expected - zs.avail_out;
  inflateEnd(&zs);
  if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR)
    return ParseError::BadCompression;
  if (produced < expected) return ParseError::Truncated;
  // The stream must end, checksum and all, exactly where the header says the
  // movie ends: a missing tail is truncation, a longer stream a lying header.
  if (rc != Z_STREAM_END) return zs.avail_in == 0 ? ParseError::Truncated : ParseError::BadCompression;
  return ParseError::None;
}

// The work of the heaviest frame, followed through the display list as the
// player builds it: what sits at each depth after each frame's changes.
ParseError checkFrameWork(const Movie& movie) {
  std::map<uint16_t, uint64_t> shapeCosts;
  for (const auto& [id, shape] : movie.shapes) shapeCosts[id] = shapeWork(shape);
  auto costOf = [&shapeCosts](uint16_t id) {
    auto it = shapeCosts.find(id);
    return it == shapeCosts.end() ? uint64_t{0} : it->second;
  };
  std::map<uint16_t, uint64_t> costAtDepth;
  uint64_t frameWork = 0;
  for (const Frame& frame : movie.frames) {
    for (const DisplayOp& op : frame.ops) {
      auto it = costAtDepth.find(op.depth);
      if (op.kind == DisplayOp::Kind::Remove) {
        if (it != costAtDepth.end()) {
          frameWork -= it->second;
          costAtDepth.erase(it);
        }
        continue;
      }
      if (op.move && it == costAtDepth.end()) continue;  // nothing there to change
      if (!op.move) it = costAtDepth.try_emplace(op.depth, 0).first;
      if (op.hasCharacter) {  // a new placement always has one
        frameWork -= it->second;
        it->second = costOf(op.characterId);
        frameWork += it->second;
      }
    }
    if (frameWork > kMaxFrameWork) return ParseError::TooCostly;
  }
  return ParseError::None;
}

ParseError checkStage(const Rect& rect) {
  constexpr int64_t kMaxTwips = int64_t{kMaxStagePixels} * kTwipsPerPixel;
  int64_t w = int64_t{rect.xmax} - rect.xmin, h = int64_t{rect.ymax} - rect.ymin;
  if (w <= 0 || h <= 0 || w > kMaxTwips || h > kMaxTwips) return ParseError::BadRect;
  return ParseError::None;
}

}  // namespace

ParseResult parseMovie(const uint8_t* data, size_t size) {
  ParseResult result;
  Movie& movie = result.movie;
  if (size < kHeaderBytes) {
    result.error = size >= 3 && data[1] == 'W' && data[2] == 'S' ? ParseError::Truncated
                                                                  : ParseError::NotSwf;
    return result;
  }
  if (data[1] != 'W' || data[2] != 'S' || (data[0] != 'F' && data[0] != 'C' && data[0] != 'Z')) {
    result.error = ParseError::NotSwf;
    return result;
  }
  if (data[0] == 'Z') {
    result.error = ParseError::Unsupported;
    return result;
  }
  movie.version = data[3];
  movie.compressed = data[0] == 'C';
  uint32_t declared = static_cast<uint32_t>(data[4]) | (static_cast<uint32_t>(data[5]) << 8) |
                      (static_cast<uint32_t>(data[6]) << 16) |
                      (static_cast<uint32_t>(data[7]) << 24);
  if (declared > kMaxMovieBytes) {
    result.error = ParseError::TooLarge;
    return result;
  }
  if (declared < kHeaderBytes) {
    result.error = ParseError::Truncated;
    return result;
  }

  std::vector<uint8_t> inflated;
  const uint8_t* body = data + kHeaderBytes;
  size_t bodySize = declared - kHeaderBytes;
  if (movie.compressed) {
    ParseError e = inflateBody(body, size - kHeaderBytes, bodySize, inflated);
    if (e != ParseError::None) {
      result.error = e;
      return result;
    }
    body = inflated.data();
  } else if (size < declared) {
    result.error = ParseError::Truncated;
    return result;
  }

  BitReader r(body, bodySize);
  movie.frameRect = readRect(r);
  uint16_t rate = r.u16();
  movie.frameRate = rate / 256.0;
  movie.frameCount = r.u16();
  if (r.failed()) {
    result.error = ParseError::Truncated;
    return result;
  }
  if ((result.error = checkStage(movie.frameRect)) != ParseError::None) return result;

  MovieReader reader(movie);
  reader.setData(body);
  result.error = reader.readTags(r);
  if (result.ok()) result.error = checkFrameWork(movie);
  return result;
}

uint64_t shapeWork(const Shape& shape) {
  // At most 2^20 edges and 2 x 65,535 styles: no overflow.
  return uint64_t{shape.edges.size()} * (shape.fills.size() + shape.lines.size());
}

}  // namespace swf
