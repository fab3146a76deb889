#include <gtest/gtest.h>

#include <cmath>

#include "swf_parser.h"
#include "swf_raster.h"
#include "swf_test_util.h"
#include "wink_art.h"

using namespace swf;

namespace {

// Renders frame `frame` of the movie into a buffer of the given size.
FrameBuffer render(const std::vector<uint8_t>& bytes, int frame, int w, int h,
                   bool background = false) {
  ParseResult r = parseMovie(bytes);
  EXPECT_TRUE(r.ok()) << describe(r.error);
  static Movie keep;  // the player refers to the movie
  keep = r.movie;
  Player p(keep);
  p.gotoFrame(frame);
  FrameBuffer fb;
  fb.resize(w, h);
  renderFrame(keep, p.displayList(), fb, RenderOptions{background});
  return fb;
}

// One shape on a 100x100-pixel stage, placed at the origin.
std::vector<uint8_t> oneShape(const ShapeBuilder& s, const Matrix& m = {},
                              const ColorTransform* cx = nullptr) {
  MovieWriter w(100, 100, 24);
  w.defineShape(1, s, 3);
  w.place(1, 1, m, cx);
  w.showFrame();
  return w.finish(false);
}

ShapeBuilder square(int32_t x, int32_t y, int32_t side, Rgba color) {
  ShapeBuilder s;
  s.polygon({{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}}, s.addFill(color));
  return s;
}

double coveredPixels(const FrameBuffer& fb) {
  double sum = 0;
  for (uint32_t p : fb.pixels) sum += alphaOf(p) / 255.0;
  return sum;
}

}  // namespace

TEST(SwfRaster, SquareLandsOnItsPixelsAndLeavesTheRestTransparent) {
  FrameBuffer fb = render(swftest::squareMovie(false), 0, 100, 100);
  // 1000 twips at (500,500) = pixels 25..74.
  EXPECT_EQ(fb.at(50, 50), 0xFFFF0000u);
  EXPECT_EQ(fb.at(25, 25), 0xFFFF0000u);
  EXPECT_EQ(fb.at(74, 74), 0xFFFF0000u);
  EXPECT_EQ(fb.at(24, 50), 0u);
  EXPECT_EQ(fb.at(75, 50), 0u);
  EXPECT_EQ(fb.at(50, 75), 0u);
  EXPECT_EQ(fb.at(0, 0), 0u);  // the background colour is not drawn
  EXPECT_NEAR(coveredPixels(fb), 2500, 1);
  // Frame 2 moved it to the corner, frame 3 removed it.
  fb = render(swftest::squareMovie(true), 1, 100, 100);
  EXPECT_EQ(fb.at(10, 10), 0xFFFF0000u);
  EXPECT_EQ(fb.at(50, 50), 0u);
  fb = render(swftest::squareMovie(true), 2, 100, 100);
  EXPECT_EQ(coveredPixels(fb), 0);
  fb = render(swftest::squareMovie(true), 2, 100, 100, true);
  EXPECT_EQ(fb.at(3, 3), 0xFF0A141Eu);  // background asked for
}

TEST(SwfRaster, StageIsScaledToFitAndCentred) {
  FrameBuffer fb = render(swftest::squareMovie(false), 0, 200, 100);
  // Scale 1, centred: 50 pixels of margin on each side.
  EXPECT_EQ(fb.at(74, 50), 0u);
  EXPECT_EQ(fb.at(75, 50), 0xFFFF0000u);
  EXPECT_EQ(fb.at(124, 50), 0xFFFF0000u);
  EXPECT_EQ(fb.at(125, 50), 0u);
  fb = render(swftest::squareMovie(false), 0, 300, 300);
  EXPECT_EQ(fb.at(74, 150), 0u);
  EXPECT_EQ(fb.at(75, 150), 0xFFFF0000u);
  EXPECT_NEAR(coveredPixels(fb), 150.0 * 150.0, 2);
}

TEST(SwfRaster, EdgesBetweenPixelsAreAntialiased) {
  // Half a pixel off the grid horizontally and vertically.
  FrameBuffer fb = render(oneShape(square(510, 510, 1000, {0, 0, 255, 255})), 0, 100, 100);
  uint32_t left = fb.at(25, 50), top = fb.at(50, 25), corner = fb.at(25, 25);
  EXPECT_NEAR(alphaOf(left), 128, 2);
  EXPECT_NEAR(blueOf(left), 128, 2);  // premultiplied
  EXPECT_EQ(redOf(left), 0);
  // Vertical coverage is sampled: within one sample of a half.
  EXPECT_NEAR(alphaOf(top), 128, 255 / Rasterizer::kSubRows);
  EXPECT_LT(alphaOf(corner), alphaOf(left));
  EXPECT_GT(alphaOf(corner), 0);
  EXPECT_EQ(fb.at(50, 50), 0xFF0000FFu);
}

TEST(SwfRaster, AlphaAndColourTransformArePremultiplied) {
  FrameBuffer fb = render(oneShape(square(0, 0, 2000, {200, 100, 0, 128})), 0, 10, 10);
  uint32_t p = fb.at(5, 5);
  EXPECT_EQ(alphaOf(p), 128);
  EXPECT_NEAR(redOf(p), 200 * 128 / 255, 1);
  EXPECT_NEAR(greenOf(p), 100 * 128 / 255, 1);
  ColorTransform cx;
  cx.mulA = 64;   // a quarter
  cx.addB = 255;  // blue forced full
  fb = render(oneShape(square(0, 0, 2000, {200, 100, 0, 255}), {}, &cx), 0, 10, 10);
  p = fb.at(5, 5);
  EXPECT_NEAR(alphaOf(p), 64, 1);
  EXPECT_NEAR(blueOf(p), 64, 1);
  EXPECT_NEAR(redOf(p), 200 * 64 / 255, 1);
}

TEST(SwfRaster, HolesLinesCirclesAndDepthOrder) {
  // A frame: outer and inner outlines of the same fill leave the middle empty.
  ShapeBuilder ring;
  uint32_t f = ring.addFill({0, 255, 0, 255});
  ring.polygon({{0, 0}, {2000, 0}, {2000, 2000}, {0, 2000}}, f);
  ring.polygon({{500, 500}, {1500, 500}, {1500, 1500}, {500, 1500}}, f);
  FrameBuffer fb = render(oneShape(ring), 0, 100, 100);
  EXPECT_EQ(fb.at(10, 10), 0xFF00FF00u);
  EXPECT_EQ(fb.at(50, 50), 0u);

  // A circle of radius 40 pixels covers close to pi r^2.
  ShapeBuilder disc;
  disc.circle(1000, 1000, 800, disc.addFill({255, 255, 255, 255}));
  fb = render(oneShape(disc), 0, 100, 100);
  EXPECT_NEAR(coveredPixels(fb), 3.14159265 * 40 * 40, 3.14159265 * 40 * 40 * 0.01);
  EXPECT_EQ(fb.at(50, 50), 0xFFFFFFFFu);
  EXPECT_EQ(fb.at(50, 8), 0u);

  // A 2-pixel line with no fill: only the stroke is drawn.
  ShapeBuilder line;
  uint32_t ls = line.addLine(40, {0, 0, 0, 255});
  line.setLine(ls);
  line.moveTo(200, 1000);
  line.lineTo(1800, 1000);
  fb = render(oneShape(line), 0, 100, 100);
  EXPECT_EQ(fb.at(50, 49), 0xFF000000u);
  EXPECT_EQ(fb.at(50, 50), 0xFF000000u);
  EXPECT_EQ(fb.at(50, 47), 0u);
  EXPECT_EQ(fb.at(50, 52), 0u);
  EXPECT_NEAR(coveredPixels(fb), 80 * 2 + 3.14159265, 3);  // with round ends

  // The deeper object is drawn over the shallower one.
  MovieWriter w(100, 100, 24);
  w.defineShape(1, square(0, 0, 1000, {255, 0, 0, 255}), 3);
  w.defineShape(2, square(500, 500, 1000, {0, 0, 255, 255}), 3);
  w.place(2, 2, {});
  w.place(1, 1, {});
  w.showFrame();
  fb = render(w.finish(false), 0, 100, 100);
  EXPECT_EQ(fb.at(30, 30), 0xFF0000FFu);
  EXPECT_EQ(fb.at(10, 10), 0xFFFF0000u);
}

TEST(SwfRaster, WildCoordinatesStayInsideTheBuffer) {
  // Far outside the stage in every direction, and a huge scale.
  ShapeBuilder s = square(-60000, -60000, 120000, {9, 9, 9, 255});
  FrameBuffer fb = render(oneShape(s, Matrix::scale(1000, -1000)), 0, 64, 64);
  EXPECT_EQ(fb.at(0, 0), 0xFF090909u);
  EXPECT_EQ(fb.at(63, 63), 0xFF090909u);
  // A shape reduced to nothing draws nothing.
  fb = render(oneShape(square(0, 0, 1000, {9, 9, 9, 255}), Matrix::scale(0, 0)), 0, 64, 64);
  EXPECT_EQ(coveredPixels(fb), 0);
  // Empty and one-pixel buffers.
  fb = render(swftest::squareMovie(false), 0, 0, 0);
  EXPECT_TRUE(fb.pixels.empty());
  fb = render(swftest::squareMovie(false), 0, 1, 1);
  EXPECT_GT(alphaOf(fb.at(0, 0)), 0);
}

TEST(SwfRaster, ShippedWinksDrawSomethingAndLeaveCornersClear) {
  for (const WinkInfo& info : winkCatalog()) {
    FrameBuffer fb = render(makeWink(info.name), info.previewFrame, 120, 120);
    EXPECT_GT(coveredPixels(fb), 120 * 120 * 0.03) << info.name;
    EXPECT_EQ(fb.at(0, 0), 0u) << info.name;
    EXPECT_EQ(fb.at(119, 119), 0u) << info.name;
  }
}

TEST(SwfRaster, BitmapPreviewIsLaidOverItsBackdrop) {
  FrameBuffer fb = render(swftest::squareMovie(false), 0, 4, 3);
  std::vector<uint8_t> bmp = encodeBmp24(fb, 255, 255, 255);
  const size_t rowBytes = 12;  // 4 * 3 bytes, already a multiple of four
  ASSERT_EQ(bmp.size(), 54 + rowBytes * 3);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[18], 4);  // width
  EXPECT_EQ(bmp[22], 3);  // height, bottom-up
  // Bottom row, first pixel: outside the square, so white.
  EXPECT_EQ(bmp[54], 255);
  EXPECT_EQ(bmp[55], 255);
  EXPECT_EQ(bmp[56], 255);
}
