// What VekFlash does with its command line, decided without touching the system.
#pragma once

#include <functional>
#include <string>

#include "PinoraVersion.h"

namespace vekflash {

inline constexpr char kVersionText[] = VEKFLASH_PRODUCT_AND_VERSION;
inline constexpr char kVersionCaption[] = "version";
inline constexpr char kErrorCaption[] = "error";
inline constexpr char kCannotOpenText[] = "Can not open the file.";
inline constexpr char kNonSwfText[] = "Can not open the non-swf file.";
inline constexpr size_t kMaxPathChars = 1023;

enum class StartAction { About, Version, Play, FileMissing, NotSwf };

struct StartDecision {
  StartAction action = StartAction::About;
  std::string path;  // the movie to play (Play only)
};

// The folder of the program, up to and including its last backslash.
std::string programFolderOf(const std::string& exePath);

// The extension as the path splitter gives it: from the last dot of the last
// path component, at most 11 characters; empty when there is none.
std::string extensionOf(const std::string& path);

// `argument` is the whole command line after the program name, not split; one
// pair of quotes around all of it is taken off. `bareNameExists` is the system's search for a name without a
// folder, which starts in the program's folder.
StartDecision decideStart(const std::string& argument, const std::string& programFolder,
                          const std::function<bool(const std::string&)>& bareNameExists);

}  // namespace vekflash
