// The winks shipped with the program, drawn in code so that the build makes
// them from source: each is a short movie on a transparent stage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

struct WinkInfo {
  std::string name;         // file stem: bell, note, stars
  std::string displayName;  // what the wink chooser lists
  bool compressed;          // shipped as "CWS" rather than "FWS"
  int previewFrame;         // frame that best shows what the wink is
};

const std::vector<WinkInfo>& winkCatalog();
// The movie file, or empty for an unknown name.
std::vector<uint8_t> makeWink(const std::string& name);

// A 24-bit bottom-up Windows bitmap of the buffer laid over a solid colour.
struct FrameBuffer;
std::vector<uint8_t> encodeBmp24(const FrameBuffer& fb, uint8_t r, uint8_t g, uint8_t b);

}  // namespace swf
