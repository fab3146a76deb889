// Searching the diary: does a note file hold the keyword text? Upper case on
// both sides, one contiguous substring, spaces included, no wildcards; only the
// text before the first NUL byte counts and an empty file never matches.
#pragma once
#include <string>

namespace pinora {

// The system's rules for comparing text: upper-casing in place and the substring
// search. Windows uses CharUpperA and the multibyte-aware _mbsstr; the host build
// a code-page-1252 table and a byte search, so the rules can be tested anywhere.
struct KeywordFolding {
    void (*toUpper)(char* text);
    const char* (*find)(const char* text, const char* keywords);
};
const KeywordFolding& SystemFolding();

// Reads a whole file, shared with other readers and writers. False when it
// cannot be opened or read.
bool ReadNoteFile(const char* path, std::string& bytes);

// Whether text (cut at its first NUL) holds the keywords under the folding.
bool TextContainsKeywords(std::string text, std::string keywords, const KeywordFolding& folding);

// The file at path holds the keywords. False when it cannot be read or is empty.
bool NoteContainsKeywords(const char* path, const char* keywords);

}  // namespace pinora
