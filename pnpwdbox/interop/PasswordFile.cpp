#include "PasswordFile.h"

#include "KeePassXml.h"
#include "PasswordCsv.h"

namespace pninterop {

ReadResult ReadPasswordFile(std::string_view bytes, LocalOffset offset) {
    std::string_view start = bytes;
    if (start.substr(0, 3) == "\xEF\xBB\xBF") start.remove_prefix(3);
    const size_t first = start.find_first_not_of(" \t\r\n");
    // No CSV export starts with '<': a field that did would be quoted.
    if (first != std::string_view::npos && start[first] == '<') return ReadKeePassXml(bytes, offset);
    return ReadPasswordCsv(bytes);
}

}  // namespace pninterop
