// What the dictionary popup may hand to the web browser instead of its own
// control, and in which form.
#pragma once
#include <string>

namespace pinora {

// An address that starts with "http://" or "https://" (any case) and has
// something after it. Anything else (a file, a program, "about:blank", "") is
// never handed to the shell.
bool IsWebAddress(const std::string& url);

// The address as the shell passes it on a browser's command line: spaces,
// quotes and control characters are percent-encoded so the address stays one
// argument; everything else is left as typed.
std::string AddressForShell(const std::string& url);

}  // namespace pinora
