// Reads a Flash movie file (uncompressed "FWS" or zlib-compressed "CWS") into a Movie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "swf_types.h"

namespace swf {

enum class ParseError {
  None,
  NotSwf,          // no "FWS"/"CWS" signature
  Unsupported,     // another compression
  TooLarge,        // declared length beyond what we accept
  Truncated,       // the data ends before the movie does
  BadCompression,  // the zlib stream is damaged
  BadRect,         // inverted, empty-sized or huge stage
  BadTag,          // a tag's content contradicts its length or itself
  TooCostly,       // a frame asks more drawing work than any movie may
};

const char* describe(ParseError e);

struct ParseResult {
  ParseError error = ParseError::None;
  Movie movie;
  bool ok() const { return error == ParseError::None; }
};

// Largest stage we accept, per side, in pixels; the largest uncompressed movie.
constexpr int32_t kMaxStagePixels = 8192;
constexpr uint32_t kMaxMovieBytes = 64u << 20;
// A bound on the work one file can ask of the renderer.
constexpr size_t kMaxEdgesPerMovie = 1u << 20;
constexpr size_t kMaxDisplayOpsPerMovie = 1u << 20;
constexpr size_t kMaxFrames = 65535;
// A bound on one frame: the renderer visits every edge of a shape once per
// style of the shape, for every placement of it. Our winks need a few
// thousand; a frame over this is refused with the movie.
constexpr uint64_t kMaxFrameWork = uint64_t{1} << 25;
// Coordinates, in twips, that a shape's pen may reach: far beyond any stage,
// and far inside int32 whatever the next edge adds.
constexpr int32_t kMaxPenCoordinate = int32_t{1} << 30;

// The work of drawing one placement of the shape, as counted against kMaxFrameWork.
uint64_t shapeWork(const Shape& shape);

ParseResult parseMovie(const uint8_t* data, size_t size);
inline ParseResult parseMovie(const std::vector<uint8_t>& bytes) {
  return parseMovie(bytes.data(), bytes.size());
}

// The tag codes this reader understands.
enum TagCode : uint16_t {
  kTagEnd = 0,
  kTagShowFrame = 1,
  kTagDefineShape = 2,
  kTagRemoveObject = 5,
  kTagSetBackgroundColor = 9,
  kTagDefineShape2 = 22,
  kTagPlaceObject2 = 26,
  kTagRemoveObject2 = 28,
  kTagDefineShape3 = 32,
  kTagPlaceObject3 = 70,
};

}  // namespace swf
