// Lists of integers kept as text: decimal numbers separated by single spaces.
#pragma once
#include <cstdint>

extern "C" {

// Writes count values; the caller's buffer must hold 12 characters a value
// (sign, ten digits, separator). Count 0 gives an empty text.
void ar2str(char* text, const int32_t* values, uint32_t count);

// Reads up to count values. Where the text ends first, the remaining values
// are set to 0 and nothing past the text is read.
void str2ar(const char* text, int32_t* values, uint32_t count);

}  // extern "C"
