// The store's view of a POSIX host: text is taken to be UTF-8 already, and
// there are no double-byte code pages.
#include "StorePlatform.h"

#include <cstring>

namespace pnstore {

bool AnsiToUtf8(const char* ansi, std::string& utf8, size_t limit) {
    if (!ansi || std::strlen(ansi) + 1 > limit) return false;
    utf8 = ansi;
    return true;
}

bool Utf8ToAnsi(const char* utf8, std::string& ansi) {
    if (!utf8) return false;
    ansi = utf8;
    return true;
}

bool IsLeadByte(unsigned char) { return false; }

std::string ModuleFolderFromSystem() { return ""; }

}  // namespace pnstore
