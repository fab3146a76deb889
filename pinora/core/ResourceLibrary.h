// DoRoRaz.dll, the resource library that holds the whole user interface. Loaded
// once from the program folder by the first code that needs it and kept.
#pragma once
#include <windows.h>

#include <string>

namespace pinora {

// The library's handle, or nullptr when it cannot be loaded.
HINSTANCE ResLib();
// Tests load it from elsewhere; also used to drop it at the end of the process.
void FreeResLib();

// A numbered string, at most bufSize - 1 characters; "" when missing.
std::string LoadResString(UINT id, int bufSize = 256);

}  // namespace pinora
