// libFuzzer target: any bytes must parse to a movie or an error, and any
// movie that parses must play and draw without touching memory it does not own.
#include <cstddef>
#include <cstdint>

#include "swf_parser.h"
#include "swf_player.h"
#include "swf_raster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  swf::ParseResult parsed = swf::parseMovie(data, size);
  if (!parsed.ok()) return 0;
  swf::Player player(parsed.movie);
  swf::FrameBuffer fb;
  fb.resize(48, 32);
  // The first frames, one far past the end, and back to the start.
  const int frames[] = {0, 1, 2, parsed.movie.frameCount + 3, 0};
  for (int frame : frames) {
    player.gotoFrame(frame);
    swf::renderFrame(parsed.movie, player.displayList(), fb, swf::RenderOptions{frame == 1});
  }
  return 0;
}
