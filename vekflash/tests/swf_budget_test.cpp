// Movies that cost far more than they weigh: the reader and the renderer
// refuse them instead of computing for minutes.
#include <gtest/gtest.h>

#include "swf_bits.h"
#include "swf_parser.h"
#include "swf_player.h"
#include "swf_raster.h"
#include "swf_test_util.h"
#include "swf_writer.h"
#include "wink_art.h"

using namespace swf;

namespace {

// One fill, the pen moved to x, then `count` straight edges of dx each.
std::vector<uint8_t> longLines(int32_t x, int count, int32_t dx) {
  BitWriter w;
  w.u16(1);         // shape id
  w.ubits(0, 5);    // empty bounds
  w.align();
  w.u8(1), w.u8(0x00), w.u8(1), w.u8(2), w.u8(3);  // one solid fill
  w.u8(0);                                        // no lines
  w.ubits(1, 4), w.ubits(0, 4);                   // fill bits 1, line bits 0
  w.ubits(0, 1), w.ubits(0b00011, 5);             // style change: fill0 and move
  w.ubits(31, 5), w.sbits(x, 31), w.sbits(0, 31);
  w.ubits(1, 1);                                  // fill0 = 1
  for (int i = 0; i < count; ++i) {
    w.ubits(1, 1), w.ubits(1, 1), w.ubits(15, 4);  // straight, 17-bit deltas
    w.ubits(0, 1), w.ubits(0, 1), w.sbits(dx, 17);  // horizontal
  }
  w.ubits(0, 6);  // end of shape
  std::vector<uint8_t> tags = swftest::withTag(kTagDefineShape, w.data(), /*forceLong=*/true);
  tags.push_back(0), tags.push_back(0);
  return swftest::rawMovie(Rect{0, 2000, 0, 2000}, 0, tags);
}

// A shape of `edges` edges between `fills` fill styles, placed at `depths` depths.
std::vector<uint8_t> costlyMovie(int fills, int edges, int depths, bool curvedStrokes = false) {
  MovieWriter w(100, 100, 12);
  ShapeBuilder s;
  for (int i = 0; i < fills; ++i) s.addFill({255, 0, 0, 255});
  if (curvedStrokes) s.setLine(s.addLine(2000, {0, 0, 255, 255}));
  s.setFill0(1);
  s.moveTo(0, 0);
  for (int i = 0; i < edges; ++i) {
    if (curvedStrokes)
      s.curveTo(i % 2 ? 4000 : -2000, 1000, i % 2 ? 0 : 2000, 2000);
    else
      s.lineTo((i * 2000) / edges, i % 2 ? 2000 : 0);
  }
  w.defineShape(1, s, 3);
  for (int d = 1; d <= depths; ++d) w.place(static_cast<uint16_t>(d), 1, {});
  w.showFrame();
  return w.finish(false);
}

// A square over the whole stage at `depths` depths.
std::vector<uint8_t> stackedSquares(int depths) {
  MovieWriter w(100, 100, 12);
  ShapeBuilder s;
  s.polygon({{0, 0}, {2000, 0}, {2000, 2000}, {0, 2000}}, s.addFill({255, 0, 0, 255}));
  w.defineShape(1, s, 3);
  for (int d = 1; d <= depths; ++d) w.place(static_cast<uint16_t>(d), 1, {});
  w.showFrame();
  return w.finish(false);
}

bool drawsWhole(const std::vector<uint8_t>& bytes, int width, int height, FrameBuffer& fb) {
  static Movie keep;  // the player refers to the movie
  ParseResult r = parseMovie(bytes);
  EXPECT_TRUE(r.ok()) << describe(r.error);
  keep = r.movie;
  Player p(keep);
  p.gotoFrame(0);
  fb.resize(width, height);
  return renderFrame(keep, p.displayList(), fb);
}

}  // namespace

// 16,400 lines of 65,535 twips each after a move to 2^30 - 1 used to add up
// past int32; such a pen is damage.
TEST(SwfBudget, PenThatLeavesTheCoordinateRangeIsDamage) {
  EXPECT_EQ(parseMovie(longLines((1 << 30) - 1, 16400, 65535)).error, ParseError::BadTag);
  EXPECT_EQ(parseMovie(longLines(-(1 << 30), 16400, -65535)).error, ParseError::BadTag);
  EXPECT_TRUE(parseMovie(longLines(0, 100, 65535)).ok());
  EXPECT_TRUE(parseMovie(longLines(0, 2, -65535)).ok());
}

// Edges x styles x placements of one frame: 32,767 styles (as many as style
// numbers of 15 bits reach) over two thousand edges, or a modest shape at
// thousands of depths, are refused outright.
TEST(SwfBudget, FramesOverTheWorkBudgetAreRefused) {
  EXPECT_EQ(parseMovie(costlyMovie(32767, 2000, 1)).error, ParseError::TooCostly);
  EXPECT_EQ(parseMovie(costlyMovie(10, 1000, 4000)).error, ParseError::TooCostly);
  EXPECT_TRUE(parseMovie(costlyMovie(10, 1000, 10)).ok());
  for (const WinkInfo& info : winkCatalog()) {
    ParseResult r = parseMovie(makeWink(info.name));
    EXPECT_TRUE(r.ok()) << info.name << ": " << describe(r.error);
  }
}

// Within the reader's budget but costly to draw at the player's size: the
// frame is given up, left transparent, and says so.
TEST(SwfBudget, DrawingStopsAtTheFrameBudget) {
  FrameBuffer fb;
  EXPECT_FALSE(drawsWhole(stackedSquares(4000), 600, 400, fb));
  for (uint32_t p : fb.pixels) ASSERT_EQ(p, 0u);
  EXPECT_FALSE(drawsWhole(costlyMovie(1, 100, 1, /*curvedStrokes=*/true), 600, 400, fb));
  EXPECT_TRUE(drawsWhole(stackedSquares(10), 600, 400, fb));
  EXPECT_NE(fb.at(300, 200), 0u);
  for (const WinkInfo& info : winkCatalog()) {
    ParseResult r = parseMovie(makeWink(info.name));
    ASSERT_TRUE(r.ok());
    Player p(r.movie);
    for (int frame = 0; frame < r.movie.frameCount; frame += 4) {
      p.gotoFrame(frame);
      EXPECT_TRUE(renderFrame(r.movie, p.displayList(), fb)) << info.name << " frame " << frame;
    }
  }
}
