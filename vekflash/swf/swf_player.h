// The display list of a playing movie: what sits at each depth after a given frame.
#pragma once

#include <cstdint>
#include <map>

#include "swf_types.h"

namespace swf {

struct Placement {
  uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
};

using DisplayList = std::map<uint16_t, Placement>;  // drawn in depth order

class Player {
 public:
  explicit Player(const Movie& movie) : movie_(movie) {}

  // Index of the frame whose changes have been applied last; -1 before the first.
  int currentFrame() const { return current_; }
  // Frames the header announces; playback is measured against this.
  int totalFrames() const { return movie_.frameCount; }
  // Brings the display list to frame n (0-based). Going back replays from the
  // start; frames past those in the file keep the last picture.
  void gotoFrame(int n);
  const DisplayList& displayList() const { return list_; }
  const Movie& movie() const { return movie_; }

 private:
  void apply(const Frame& frame);

  const Movie& movie_;
  DisplayList list_;
  int current_ = -1;
};

}  // namespace swf
