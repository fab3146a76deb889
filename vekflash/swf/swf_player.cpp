#include "swf_player.h"

#include <cstddef>

namespace swf {

void Player::apply(const Frame& frame) {
  for (const DisplayOp& op : frame.ops) {
    if (op.kind == DisplayOp::Kind::Remove) {
      list_.erase(op.depth);
      continue;
    }
    auto it = list_.find(op.depth);
    if (op.move && it == list_.end()) continue;  // nothing there to change
    if (!op.move) it = list_.insert_or_assign(op.depth, Placement{}).first;
    Placement& p = it->second;
    if (op.hasCharacter) p.characterId = op.characterId;
    if (op.hasMatrix) p.matrix = op.matrix;
    if (op.hasColorTransform) p.colorTransform = op.colorTransform;
  }
}

void Player::gotoFrame(int n) {
  if (n < current_) {
    list_.clear();
    current_ = -1;
  }
  const int available = static_cast<int>(movie_.frames.size());
  while (current_ < n) {
    ++current_;
    if (current_ < available) apply(movie_.frames[static_cast<size_t>(current_)]);
  }
}

}  // namespace swf
