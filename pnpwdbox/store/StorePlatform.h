// What the password store needs from the operating system, one implementation
// per platform (StorePlatform_win.cpp, StorePlatform_host.cpp).
#pragma once
#include <string>

namespace pnstore {

// The ANSI code page's text as UTF-8 and back; false when it cannot be
// converted (or does not fit `limit` bytes with its NUL; on Windows, also
// when it is a longer path than the system opens, MAX_PATH with its NUL).
bool AnsiToUtf8(const char* ansi, std::string& utf8, size_t limit);
bool Utf8ToAnsi(const char* utf8, std::string& ansi);

// Whether the byte starts a double-byte character in the ANSI code page.
bool IsLeadByte(unsigned char byte);

// The folder of the password-box module, with its trailing backslash; "" when
// it cannot be read.
std::string ModuleFolderFromSystem();

}  // namespace pnstore
