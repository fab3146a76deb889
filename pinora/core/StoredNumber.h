// Numbers kept as text (settings, the alarm code), read without trusting them.
#pragma once
#include <string>

namespace pinora {

// As atoi reads it (blanks, a sign, digits up to the first other character;
// 0 when there are none), but held within int instead of overflowing.
int LenientNumber(const char* text);

// A number of the settings file, read as the program always read them (flags
// "1"/"0", sizes): LenientNumber of the stored text.
inline int SettingNumber(const std::string& text) { return LenientNumber(text.c_str()); }

}  // namespace pinora
