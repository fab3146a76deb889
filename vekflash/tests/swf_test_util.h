// Small movies for the tests, built with the writer or byte by byte.
#pragma once

#include <vector>

#include "swf_bits.h"
#include "swf_writer.h"

namespace swftest {

// A 100x100-pixel stage (2000 twips) with one red square of 1000 twips at (500,500)
// placed on frame 1, moved on frame 2 and removed on frame 3.
inline std::vector<uint8_t> squareMovie(bool compressed) {
  swf::MovieWriter w(100, 100, 12);
  w.setBackground({10, 20, 30, 255});
  swf::ShapeBuilder s;
  uint32_t red = s.addFill({255, 0, 0, 255});
  s.polygon({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, red);
  w.defineShape(1, s, 3);
  w.place(1, 1, swf::Matrix::translate(500, 500));
  w.showFrame();
  w.move(1, swf::Matrix::translate(0, 0));
  w.showFrame();
  w.remove(1);
  w.showFrame();
  return w.finish(compressed);
}

// A header for an uncompressed movie with the given stage and frame count,
// followed by `tags`; the declared length matches unless told otherwise.
inline std::vector<uint8_t> rawMovie(const swf::Rect& stage, uint16_t frames,
                                     const std::vector<uint8_t>& tags, int lengthDelta = 0) {
  swf::BitWriter body;
  unsigned n = 0;
  for (int32_t v : {stage.xmin, stage.xmax, stage.ymin, stage.ymax})
    n = std::max(n, swf::signedBitsFor(v));
  body.ubits(n, 5);
  body.sbits(stage.xmin, n);
  body.sbits(stage.xmax, n);
  body.sbits(stage.ymin, n);
  body.sbits(stage.ymax, n);
  body.u16(24 << 8);
  body.u16(frames);
  std::vector<uint8_t> payload = body.data();
  payload.insert(payload.end(), tags.begin(), tags.end());
  uint32_t total = static_cast<uint32_t>(payload.size() + 8 + lengthDelta);
  std::vector<uint8_t> out = {'F', 'W', 'S', 8};
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(total >> (8 * i)));
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

inline std::vector<uint8_t> endTag() { return {0, 0}; }

// One tag: its header (the long form when asked for) and its body.
inline std::vector<uint8_t> withTag(uint16_t code, const std::vector<uint8_t>& body,
                                    bool forceLong = false) {
  std::vector<uint8_t> tags;
  swf::writeTagHeader(tags, code, static_cast<uint32_t>(body.size()), forceLong);
  tags.insert(tags.end(), body.begin(), body.end());
  return tags;
}

}  // namespace swftest
