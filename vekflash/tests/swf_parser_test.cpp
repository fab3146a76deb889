#include <gtest/gtest.h>

#include "swf_parser.h"
#include "swf_player.h"
#include "swf_test_util.h"
#include "wink_art.h"

using namespace swf;

namespace {

using swftest::withTag;

const Rect kStage{0, 2000, 0, 2000};

}  // namespace

TEST(SwfParser, ReadsHeaderAndFramesInBothCompressions) {
  for (bool compressed : {false, true}) {
    std::vector<uint8_t> bytes = swftest::squareMovie(compressed);
    EXPECT_EQ(bytes[0], compressed ? 'C' : 'F');
    ParseResult r = parseMovie(bytes);
    ASSERT_TRUE(r.ok()) << describe(r.error);
    const Movie& m = r.movie;
    EXPECT_EQ(m.compressed, compressed);
    EXPECT_EQ(m.version, 8);
    EXPECT_EQ(m.frameRect.xmax, 2000);
    EXPECT_EQ(m.frameRect.ymax, 2000);
    EXPECT_DOUBLE_EQ(m.frameRate, 12.0);
    EXPECT_EQ(m.frameCount, 3);
    ASSERT_EQ(m.frames.size(), 3u);
    ASSERT_TRUE(m.hasBackground);
    EXPECT_EQ(m.background, (Rgba{10, 20, 30, 255}));
    ASSERT_EQ(m.shapes.count(1), 1u);
    EXPECT_EQ(m.shapes.at(1).edges.size(), 4u);
  }
}

TEST(SwfParser, ShapeVersionsEdgesAndStyles) {
  for (int version : {1, 2, 3}) {
    MovieWriter w(100, 100, 24);
    ShapeBuilder s;
    uint32_t fill = s.addFill({1, 2, 3, 128});
    uint32_t line = s.addLine(40, {4, 5, 6, 64});
    s.setFill0(0);
    s.setFill1(fill);
    s.setLine(line);
    s.moveTo(100, 200);
    s.lineTo(700, 200);               // horizontal
    s.lineTo(700, 900);               // vertical
    s.curveTo(400, 1200, 100, 900);   // curved
    s.lineTo(100, 200);               // vertical back
    s.setLine(0);
    s.lineTo(-50000, 60000);          // general, wide deltas
    w.defineShape(7, s, version);
    std::vector<uint8_t> bytes = w.finish(false);
    ParseResult r = parseMovie(bytes);
    ASSERT_TRUE(r.ok()) << "DefineShape" << version << ": " << describe(r.error);
    const Shape& shape = r.movie.shapes.at(7);
    ASSERT_EQ(shape.fills.size(), 1u);
    ASSERT_EQ(shape.lines.size(), 1u);
    // Only DefineShape3 carries alpha; the older forms are opaque.
    uint8_t alpha = version == 3 ? 128 : 255;
    EXPECT_EQ(shape.fills[0].color, (Rgba{1, 2, 3, alpha}));
    EXPECT_EQ(shape.lines[0].width, 40);
    EXPECT_EQ(shape.lines[0].color, (Rgba{4, 5, 6, version == 3 ? uint8_t{64} : uint8_t{255}}));
    ASSERT_EQ(shape.edges.size(), 5u);
    EXPECT_EQ(shape.edges[0].edge.from.x, 100);
    EXPECT_EQ(shape.edges[0].edge.to.x, 700);
    EXPECT_EQ(shape.edges[1].edge.to.y, 900);
    const Edge& curve = shape.edges[2].edge;
    EXPECT_TRUE(curve.curved);
    EXPECT_EQ(curve.control.x, 400);
    EXPECT_EQ(curve.control.y, 1200);
    EXPECT_EQ(curve.to.x, 100);
    EXPECT_EQ(curve.to.y, 900);
    EXPECT_EQ(shape.edges[3].edge.to.y, 200);
    EXPECT_EQ(shape.edges[4].edge.to.x, -50000);
    EXPECT_EQ(shape.edges[4].edge.to.y, 60000);
    EXPECT_EQ(shape.edges[0].fill0, 0u);
    EXPECT_EQ(shape.edges[0].fill1, 1u);
    EXPECT_EQ(shape.edges[0].line, 1u);
    EXPECT_EQ(shape.edges[4].line, 0u);  // the style change took effect
    EXPECT_EQ(shape.edges[4].fill1, 1u);  // and left the fill alone
  }
}

TEST(SwfParser, NewStylesInsideAShapeReferToTheNewTables) {
  BitWriter w;
  w.u16(3);                                    // shape id
  w.ubits(0, 5);                               // empty bounds
  w.u8(1), w.u8(0x00), w.u8(255), w.u8(0), w.u8(0);  // fills: red
  w.u8(0);                                     // no lines
  w.ubits(1, 4), w.ubits(0, 4);
  w.ubits(0b000011, 6);                        // fill0 + moveTo
  w.ubits(2, 5), w.sbits(0, 2), w.sbits(0, 2);
  w.ubits(1, 1);                               // fill0 = 1 (red)
  w.ubits(1, 1), w.ubits(1, 1), w.ubits(8, 4), w.ubits(1, 1);  // general straight edge
  w.sbits(100, 10), w.sbits(100, 10);
  w.ubits(0b010010, 6);                        // new styles + fill0
  w.ubits(1, 1);                               // fill0 = 1 of the new table (blue)
  w.u8(2), w.u8(0x00), w.u8(0), w.u8(0), w.u8(255), w.u8(0x00), w.u8(0), w.u8(255), w.u8(0);
  w.u8(0);
  w.ubits(2, 4), w.ubits(0, 4);
  w.ubits(1, 1), w.ubits(1, 1), w.ubits(8, 4), w.ubits(1, 1);
  w.sbits(-100, 10), w.sbits(-100, 10);
  w.ubits(0, 6);
  std::vector<uint8_t> bytes =
      swftest::rawMovie(kStage, 0, [&] {
        auto t = withTag(kTagDefineShape2, w.data());
        auto e = swftest::endTag();
        t.insert(t.end(), e.begin(), e.end());
        return t;
      }());
  ParseResult r = parseMovie(bytes);
  ASSERT_TRUE(r.ok()) << describe(r.error);
  const Shape& shape = r.movie.shapes.at(3);
  ASSERT_EQ(shape.fills.size(), 3u);
  ASSERT_EQ(shape.edges.size(), 2u);
  EXPECT_EQ(shape.fills[shape.edges[0].fill0 - 1].color, (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(shape.fills[shape.edges[1].fill0 - 1].color, (Rgba{0, 0, 255, 255}));
}

TEST(SwfParser, PlaceMoveAndRemoveDriveTheDisplayList) {
  MovieWriter w(100, 100, 24);
  ShapeBuilder s;
  s.circle(0, 0, 100, s.addFill({0, 255, 0, 255}));
  w.defineShape(1, s, 3);
  w.defineShape(2, s, 3);
  ColorTransform cx;
  cx.mulA = 128;
  cx.addR = -20;
  Matrix m = Matrix::translate(300, -400) * Matrix::rotate(0.5) * Matrix::scale(2, 0.5);
  w.place(1, 1, m, &cx, false);
  w.place(5, 2, Matrix::translate(10, 10), nullptr, true);  // PlaceObject3
  w.showFrame();
  w.move(1, Matrix::translate(1000, 1000));
  w.removeCharacter(2, 5);  // RemoveObject
  w.showFrame();
  w.remove(1);  // RemoveObject2
  w.showFrame();
  ParseResult r = parseMovie(w.finish(true));
  ASSERT_TRUE(r.ok()) << describe(r.error);
  const DisplayOp& op = r.movie.frames[0].ops[0];
  EXPECT_NEAR(op.matrix.a, m.a, 1e-4);
  EXPECT_NEAR(op.matrix.b, m.b, 1e-4);
  EXPECT_NEAR(op.matrix.c, m.c, 1e-4);
  EXPECT_NEAR(op.matrix.d, m.d, 1e-4);
  EXPECT_EQ(op.matrix.tx, 300);
  EXPECT_EQ(op.matrix.ty, -400);
  EXPECT_EQ(op.colorTransform.mulA, 128);
  EXPECT_EQ(op.colorTransform.addR, -20);
  EXPECT_EQ(op.colorTransform.mulR, 256);

  Player player(r.movie);
  EXPECT_EQ(player.totalFrames(), 3);
  player.gotoFrame(0);
  ASSERT_EQ(player.displayList().size(), 2u);
  EXPECT_EQ(player.displayList().at(5).characterId, 2);
  EXPECT_EQ(player.displayList().at(1).colorTransform.mulA, 128);
  player.gotoFrame(1);
  ASSERT_EQ(player.displayList().size(), 1u);
  EXPECT_EQ(player.displayList().at(1).matrix.tx, 1000);
  EXPECT_EQ(player.displayList().at(1).colorTransform.mulA, 128);  // a move keeps what it omits
  player.gotoFrame(2);
  EXPECT_TRUE(player.displayList().empty());
  player.gotoFrame(0);  // going back replays from the start
  EXPECT_EQ(player.displayList().size(), 2u);
  player.gotoFrame(10);  // past the last frame the picture stays
  EXPECT_TRUE(player.displayList().empty());
  EXPECT_EQ(player.currentFrame(), 10);
}

TEST(SwfParser, UnknownTagsArePassedOverByTheirLength) {
  MovieWriter w(100, 100, 24);
  w.rawTag(777, std::vector<uint8_t>(5, 0xEE));
  w.rawTag(69, std::vector<uint8_t>(200, 0x01));  // long header
  w.showFrame();
  ParseResult r = parseMovie(w.finish(false));
  ASSERT_TRUE(r.ok()) << describe(r.error);
  EXPECT_EQ(r.movie.frames.size(), 1u);
}

TEST(SwfParser, ZeroFramesIsAValidMovie) {
  ParseResult r = parseMovie(swftest::rawMovie(kStage, 0, swftest::endTag()));
  ASSERT_TRUE(r.ok()) << describe(r.error);
  EXPECT_EQ(r.movie.frameCount, 0);
  EXPECT_TRUE(r.movie.frames.empty());
  Player p(r.movie);
  p.gotoFrame(0);
  EXPECT_TRUE(p.displayList().empty());
}

TEST(SwfParser, EveryTruncationIsRefused) {
  for (bool compressed : {false, true}) {
    std::vector<uint8_t> bytes = swftest::squareMovie(compressed);
    for (size_t n = 0; n < bytes.size(); ++n) {
      std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n));
      EXPECT_FALSE(parseMovie(cut).ok()) << "prefix of " << n << " bytes, compressed=" << compressed;
    }
  }
}

TEST(SwfParser, LyingLengthsAreRefused) {
  // The header promises more than the file holds.
  EXPECT_EQ(parseMovie(swftest::rawMovie(kStage, 1, swftest::endTag(), 10)).error,
            ParseError::Truncated);
  // A tag claims more bytes than remain.
  std::vector<uint8_t> tags;
  writeTagHeader(tags, 777, 500, true);
  tags.resize(tags.size() + 20, 0);
  EXPECT_EQ(parseMovie(swftest::rawMovie(kStage, 1, tags)).error, ParseError::Truncated);
  // A shape tag shorter than its content.
  MovieWriter w(10, 10, 24);
  ShapeBuilder s;
  s.polygon({{0, 0}, {100, 0}, {100, 100}}, s.addFill({1, 1, 1, 255}));
  w.defineShape(1, s, 3);
  std::vector<uint8_t> good = w.finish(false);
  ASSERT_TRUE(parseMovie(good).ok());
  // Find the shape's long header.
  size_t at = 8;
  for (; at + 6 < good.size(); ++at) {
    if ((good[at] | (good[at + 1] << 8)) == ((kTagDefineShape3 << 6) | 0x3F)) break;
  }
  ASSERT_LT(at + 6, good.size());
  std::vector<uint8_t> shortened = good;
  shortened[at + 2] = 5;  // 5 bytes cannot hold the shape
  shortened[at + 3] = shortened[at + 4] = shortened[at + 5] = 0;
  EXPECT_FALSE(parseMovie(shortened).ok());
  // A compressed file whose stream is damaged.
  std::vector<uint8_t> packed = swftest::squareMovie(true);
  for (size_t i = 12; i < packed.size(); i += 3) packed[i] ^= 0x5A;
  EXPECT_FALSE(parseMovie(packed).ok());
}

TEST(SwfParser, BadStagesAreRefused) {
  const int32_t huge = (kMaxStagePixels + 1) * kTwipsPerPixel;
  EXPECT_EQ(parseMovie(swftest::rawMovie({0, huge, 0, 2000}, 1, swftest::endTag())).error,
            ParseError::BadRect);
  EXPECT_EQ(parseMovie(swftest::rawMovie({-huge, huge, -huge, huge}, 1, swftest::endTag())).error,
            ParseError::BadRect);
  EXPECT_EQ(parseMovie(swftest::rawMovie({2000, 0, 0, 2000}, 1, swftest::endTag())).error,
            ParseError::BadRect);
  EXPECT_EQ(parseMovie(swftest::rawMovie({0, 0, 0, 0}, 1, swftest::endTag())).error,
            ParseError::BadRect);
  const int32_t largest = kMaxStagePixels * kTwipsPerPixel;
  EXPECT_TRUE(parseMovie(swftest::rawMovie({0, largest, 0, largest}, 1, swftest::endTag())).ok());
}

TEST(SwfParser, RefusesWhatIsNotAMovie) {
  EXPECT_EQ(parseMovie(std::vector<uint8_t>{}).error, ParseError::NotSwf);
  std::vector<uint8_t> text(40, 'a');
  EXPECT_EQ(parseMovie(text).error, ParseError::NotSwf);
  std::vector<uint8_t> lzma = swftest::squareMovie(false);
  lzma[0] = 'Z';
  EXPECT_EQ(parseMovie(lzma).error, ParseError::Unsupported);
  std::vector<uint8_t> big = swftest::squareMovie(false);
  big[7] = 0x7F;  // declares about 2 GB
  EXPECT_EQ(parseMovie(big).error, ParseError::TooLarge);
}

TEST(SwfParser, StyleNumbersPastTheTableAreDamage) {
  BitWriter w;
  w.u16(1);
  w.ubits(0, 5);
  w.u8(1), w.u8(0x00), w.u8(1), w.u8(2), w.u8(3);  // one fill
  w.u8(0);
  w.ubits(2, 4), w.ubits(0, 4);
  w.ubits(0b000010, 6);  // fill0
  w.ubits(3, 2);         // style 3 of 1
  w.ubits(0, 6);
  std::vector<uint8_t> tags = withTag(kTagDefineShape, w.data());
  tags.push_back(0), tags.push_back(0);
  EXPECT_EQ(parseMovie(swftest::rawMovie(kStage, 0, tags)).error, ParseError::BadTag);
}

TEST(SwfParser, ShippedWinksReadBack) {
  for (const WinkInfo& info : winkCatalog()) {
    std::vector<uint8_t> bytes = makeWink(info.name);
    ParseResult r = parseMovie(bytes);
    ASSERT_TRUE(r.ok()) << info.name << ": " << describe(r.error);
    EXPECT_EQ(r.movie.compressed, info.compressed);
    // One to three seconds long.
    double seconds = r.movie.frameCount / r.movie.frameRate;
    EXPECT_GE(seconds, 1.0) << info.name;
    EXPECT_LE(seconds, 3.0) << info.name;
    EXPECT_EQ(r.movie.frames.size(), r.movie.frameCount);
  }
  EXPECT_TRUE(makeWink("no such wink").empty());
}
