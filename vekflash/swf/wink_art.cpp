#include "wink_art.h"

#include <algorithm>
#include <cmath>

#include "swf_raster.h"
#include "swf_writer.h"

namespace swf {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kStagePixels = 300;
constexpr int kStageTwips = kStagePixels * kTwipsPerPixel;
constexpr double kRate = 24;

// Opaque winks look the same whether or not the desktop blends partly
// transparent pixels, so effects change colour and size rather than alpha.
ColorTransform brighten(double amount) {
  ColorTransform cx;
  const int16_t add = static_cast<int16_t>(std::lround(std::clamp(amount, 0.0, 1.0) * 255));
  cx.addR = cx.addG = cx.addB = add;
  cx.mulR = cx.mulG = cx.mulB = static_cast<int16_t>(256 - add);
  return cx;
}

double easeOut(double t) { return 1 - (1 - t) * (1 - t) * (1 - t); }

// Bell hanging from its pivot at the origin, mouth down.
ShapeBuilder bellShape() {
  ShapeBuilder s;
  const uint32_t gold = s.addFill({244, 196, 48, 255});
  const uint32_t rim = s.addFill({214, 160, 32, 255});
  const uint32_t dark = s.addFill({128, 84, 12, 255});
  const uint32_t outline = s.addLine(60, {120, 78, 10, 255});
  s.circle(0, 60, 130, dark, outline);
  s.circle(0, 1780, 180, dark, outline);  // clapper, drawn under the body
  s.setFill0(gold);
  s.setFill1(0);
  s.setLine(outline);
  s.moveTo(-300, 260);
  s.curveTo(0, 40, 300, 260);
  s.curveTo(430, 900, 700, 1520);
  s.lineTo(-700, 1520);
  s.curveTo(-430, 900, -300, 260);
  s.polygon({{-780, 1480}, {780, 1480}, {800, 1680}, {-800, 1680}}, rim, outline);
  // A highlight on the left flank.
  const uint32_t shine = s.addFill({255, 240, 170, 200});
  s.setFill0(shine);
  s.setFill1(0);
  s.setLine(0);
  s.moveTo(-200, 420);
  s.curveTo(-330, 900, -470, 1380);
  s.lineTo(-380, 1380);
  s.curveTo(-250, 900, -200, 420);
  return s;
}

std::vector<uint8_t> makeBell(bool compressed) {
  MovieWriter w(kStagePixels, kStagePixels, kRate);
  w.setBackground({255, 255, 255, 255});
  w.defineShape(1, bellShape(), 3);
  const int frames = 48;  // two seconds
  for (int f = 0; f < frames; ++f) {
    double t = static_cast<double>(f) / (frames - 1);
    double angle = 0.5 * std::sin(2 * kPi * 1.5 * t) * (1 - 0.6 * t);
    Matrix m = Matrix::translate(kStageTwips / 2.0, 900) * Matrix::rotate(angle) *
               Matrix::scale(1.7, 1.7);
    // Each swing flashes the bell a little brighter as it passes the middle.
    ColorTransform shine = brighten(0.25 * std::fabs(std::cos(2 * kPi * 1.5 * t)));
    if (f == 0)
      w.place(1, 1, m, &shine);
    else
      w.move(1, m, &shine);
    w.showFrame();
  }
  return w.finish(compressed);
}

// An eighth note with its head's centre at the origin.
ShapeBuilder noteShape(Rgba color) {
  ShapeBuilder s;
  const uint32_t ink = s.addFill(color);
  const uint32_t outline = s.addLine(40, {30, 30, 80, 255});
  s.setFill0(ink);
  s.setFill1(0);
  s.setLine(outline);
  // Slanted oval head.
  s.moveTo(-330, 120);
  s.curveTo(-420, -160, -60, -260);
  s.curveTo(300, -330, 330, -100);
  s.curveTo(380, 200, 40, 250);
  s.curveTo(-280, 300, -330, 120);
  s.polygon({{230, -150}, {320, -150}, {320, -1600}, {230, -1600}}, ink, outline);
  s.setFill0(ink);
  s.setFill1(0);
  s.setLine(outline);
  s.moveTo(320, -1600);
  s.curveTo(420, -1150, 820, -1000);
  s.curveTo(900, -700, 700, -450);
  s.curveTo(760, -850, 320, -1150);
  s.lineTo(320, -1600);
  return s;
}

std::vector<uint8_t> makeNote(bool compressed) {
  MovieWriter w(kStagePixels, kStagePixels, kRate);
  w.defineShape(1, noteShape({80, 96, 224, 255}), 3);
  w.defineShape(2, noteShape({224, 80, 150, 255}), 2);  // older shape form, opaque colours
  const int frames = 36;  // a second and a half
  for (int f = 0; f < frames; ++f) {
    auto slide = [&](int start, double restX, double restY, uint16_t depth, uint16_t id) {
      if (f < start) return;
      double t = std::min(1.0, (f - start) / 16.0);
      double x = kStageTwips + 1200 - (kStageTwips + 1200 - restX) * easeOut(t);
      double bob = std::sin(t * kPi) * -400;
      Matrix m = Matrix::translate(x, restY + bob) * Matrix::rotate(-0.3 * (1 - t)) *
                 Matrix::scale(1.3, 1.3);
      ColorTransform cx = brighten(0.8 * (1 - t));  // comes in pale, gains its colour
      if (f == start)
        w.place(depth, id, m, &cx, depth == 2);
      else
        w.move(depth, m, &cx);
    };
    slide(0, 2100, 4200, 1, 1);
    slide(8, 3900, 3500, 2, 2);
    w.showFrame();
  }
  return w.finish(compressed);
}

ShapeBuilder starShape(Rgba color) {
  ShapeBuilder s;
  const uint32_t fill = s.addFill(color);
  const uint32_t edge = s.addLine(30, {255, 255, 255, 255});
  std::vector<Point> points;
  for (int i = 0; i < 10; ++i) {
    double r = (i % 2) ? 130 : 320;
    double a = -kPi / 2 + i * kPi / 5;
    points.push_back({static_cast<int32_t>(std::lround(r * std::cos(a))),
                      static_cast<int32_t>(std::lround(r * std::sin(a)))});
  }
  s.polygon(points, fill, edge);
  return s;
}

std::vector<uint8_t> makeStars(bool compressed) {
  MovieWriter w(kStagePixels, kStagePixels, kRate);
  const Rgba colors[] = {{255, 210, 40, 255}, {255, 120, 60, 255}, {120, 220, 255, 255},
                         {180, 120, 255, 255}};
  for (uint16_t i = 0; i < 4; ++i) w.defineShape(static_cast<uint16_t>(i + 1), starShape(colors[i]));
  ShapeBuilder glow;
  glow.circle(0, 0, 600, glow.addFill({255, 236, 140, 255}), glow.addLine(40, {255, 200, 60, 255}));
  w.defineShape(10, glow, 3);
  const int frames = 40;
  const int count = 10;
  const double centre = kStageTwips / 2.0;
  for (int f = 0; f < frames; ++f) {
    double t = static_cast<double>(f) / (frames - 1);
    // A flash at the centre that swells and collapses before the stars go.
    double glowScale = 1.2 * std::sin(std::min(1.0, t * 2.2) * kPi);
    ColorTransform glowFade = brighten(0.6 * t * 2.2);
    Matrix gm = Matrix::translate(centre, centre) * Matrix::scale(glowScale, glowScale);
    if (f == 0)
      w.place(1, 10, gm, &glowFade);
    else if (t * 2.2 < 1.05)
      w.move(1, gm, &glowFade);
    else if (t * 2.2 < 1.15)
      w.remove(1);
    for (int s = 0; s < count; ++s) {
      double dir = 2 * kPi * s / count + 0.3;
      double reach = (s % 2 ? 2300 : 2700) * easeOut(t);
      double scale = 0.4 + 1.0 * std::sin(std::min(t * 1.4, 1.0) * kPi / 2);
      if (t > 0.7) scale *= (1 - t) / 0.3;  // shrink away at the end
      Matrix m = Matrix::translate(centre + reach * std::cos(dir), centre + reach * std::sin(dir)) *
                 Matrix::rotate(t * 4 + s) * Matrix::scale(scale, scale);
      ColorTransform fade = brighten(t < 0.7 ? 0.0 : (t - 0.7));
      uint16_t depth = static_cast<uint16_t>(2 + s);
      if (f == 0)
        w.place(depth, static_cast<uint16_t>(1 + s % 4), m, &fade);
      else
        w.move(depth, m, &fade);
    }
    w.showFrame();
  }
  return w.finish(compressed);
}

}  // namespace

const std::vector<WinkInfo>& winkCatalog() {
  static const std::vector<WinkInfo> catalog = {
      {"bell", "Swinging bell", true, 8},
      {"note", "Sliding note", false, 30},
      {"stars", "Star burst", true, 12},
  };
  return catalog;
}

std::vector<uint8_t> makeWink(const std::string& name) {
  for (const WinkInfo& w : winkCatalog()) {
    if (w.name != name) continue;
    if (name == "bell") return makeBell(w.compressed);
    if (name == "note") return makeNote(w.compressed);
    if (name == "stars") return makeStars(w.compressed);
  }
  return {};
}

std::vector<uint8_t> encodeBmp24(const FrameBuffer& fb, uint8_t r, uint8_t g, uint8_t b) {
  const uint32_t rowBytes = (static_cast<uint32_t>(fb.width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(fb.height);
  std::vector<uint8_t> out;
  auto put16 = [&](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  out.push_back('B');
  out.push_back('M');
  put32(14 + 40 + imageBytes);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(static_cast<uint32_t>(fb.width));
  put32(static_cast<uint32_t>(fb.height));  // positive: bottom-up rows
  put16(1);
  put16(24);
  put32(0);
  put32(imageBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = fb.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < fb.width; ++x) {
      uint32_t p = fb.at(x, y);
      unsigned inv = 255 - alphaOf(p);
      // Premultiplied colour over the backdrop.
      out.push_back(static_cast<uint8_t>(blueOf(p) + (b * inv + 127) / 255));
      out.push_back(static_cast<uint8_t>(greenOf(p) + (g * inv + 127) / 255));
      out.push_back(static_cast<uint8_t>(redOf(p) + (r * inv + 127) / 255));
    }
    out.resize(start + rowBytes, 0);
  }
  return out;
}

}  // namespace swf
