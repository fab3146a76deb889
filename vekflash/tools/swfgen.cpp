// Build-time generator of the shipped winks: writes one wink's movie and its
// preview picture, rendered with the same code the player draws with.
//
//   swfgen NAME OUT.swf OUT.bmp    one wink (bell, note, stars)
//   swfgen --list                  the names, one a line
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "swf_parser.h"
#include "swf_player.h"
#include "swf_raster.h"
#include "wink_art.h"

namespace {

constexpr int kPreviewPixels = 96;

bool writeFile(const char* path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

int generate(const std::string& name, const char* swfPath, const char* bmpPath) {
  const swf::WinkInfo* info = nullptr;
  for (const swf::WinkInfo& w : swf::winkCatalog())
    if (w.name == name) info = &w;
  if (!info) {
    std::fprintf(stderr, "swfgen: no wink named %s\n", name.c_str());
    return 2;
  }
  std::vector<uint8_t> movieBytes = swf::makeWink(name);
  // What we ship must be what the player reads: check it the player's way.
  swf::ParseResult parsed = swf::parseMovie(movieBytes);
  if (!parsed.ok()) {
    std::fprintf(stderr, "swfgen: %s does not read back: %s\n", name.c_str(),
                 swf::describe(parsed.error));
    return 1;
  }
  swf::Player player(parsed.movie);
  player.gotoFrame(info->previewFrame);
  swf::FrameBuffer fb;
  fb.resize(kPreviewPixels, kPreviewPixels);
  swf::renderFrame(parsed.movie, player.displayList(), fb);
  if (!writeFile(swfPath, movieBytes) || !writeFile(bmpPath, swf::encodeBmp24(fb, 255, 255, 255))) {
    std::fprintf(stderr, "swfgen: cannot write %s / %s\n", swfPath, bmpPath);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const swf::WinkInfo& w : swf::winkCatalog()) std::printf("%s\n", w.name.c_str());
    return 0;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: swfgen NAME OUT.swf OUT.bmp | swfgen --list\n");
    return 2;
  }
  return generate(argv[1], argv[2], argv[3]);
}
