// Searching the diary: does a note file hold the keyword text? Case aside in
// every script (a Cyrillic word typed in small letters finds it written with a
// capital; uikit/TextFold.h), one contiguous
// substring, spaces included, no wildcards; only the text before the first NUL
// byte counts and an empty file never matches. A note that is not UTF-8 is
// searched as it is shown, its stray bytes matching nothing typed.
#pragma once
#include <string>

namespace pinora {

// Reads a whole file, shared with other readers and writers. False when it
// cannot be opened or read.
bool ReadNoteFile(const char* path, std::string& bytes);

// Whether text (cut at its first NUL) holds the keywords.
bool TextContainsKeywords(const std::string& text, const std::string& keywords);

// The file at path holds the keywords. False when it cannot be read or is empty.
bool NoteContainsKeywords(const char* path, const char* keywords);

}  // namespace pinora
