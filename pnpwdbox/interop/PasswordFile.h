// One door for every password file the box imports: the format is told from
// the bytes (XML, or a CSV whose header says whose it is), then read.
#pragma once
#include <string_view>

#include "KeePassTime.h"
#include "PasswordEntry.h"

namespace pninterop {

ReadResult ReadPasswordFile(std::string_view bytes, LocalOffset offset = SystemLocalOffset);

}  // namespace pninterop
