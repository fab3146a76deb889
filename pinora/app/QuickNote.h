// Saving a quick note: the text and a line break at the end of the day's diary file.
#pragma once
#include <string>

namespace pinora {

// Appends text + "\r\n" to the file, creating it if missing. The file is opened
// exclusively for the write. Returns false when it cannot be opened or written.
bool AppendNote(const std::string& path, const std::string& text);

}  // namespace pinora
