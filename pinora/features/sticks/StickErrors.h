// Texts the sticks windows show when a table lets them down.
#pragma once
#include <string>

namespace pinora {

// Names the unreadable table, says it is left as it is, and where its copy is
// when one could be kept.
std::string DamagedTableMessage(const std::string& path);

// A text of the resource library that names a table, filled with its path.
std::string TableMessageText(const std::string& text, const std::string& path);

}  // namespace pinora
