// The byte-level rules every reader and writer of password files shares: UTF-8
// that is really UTF-8, the characters XML can carry, line numbers.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "PasswordEntry.h"
#include "Utf8Text.h"

namespace pninterop {

// The length of the UTF-8 sequence at the start of `text` and its code point;
// 0 for bytes that are no well-formed sequence (overlong forms, surrogates and
// values past U+10FFFF included).
size_t DecodeUtf8(std::string_view text, uint32_t& codePoint);
// Whole-text checks and writing code points: uikit::IsValidUtf8, uikit::AppendUtf8.

// The characters XML 1.0 allows in a document (tab, line feed and carriage
// return are the only control characters).
bool IsXmlChar(uint32_t codePoint);
// True when every character of the (UTF-8) text may appear in XML 1.0.
bool HoldsOnlyXmlChars(std::string_view text);

// Drops a UTF-8 byte order mark. False for a UTF-16 one, which no reader takes.
bool SkipByteOrderMark(std::string_view& text);

// Checks a whole file before a reader looks at it: UTF-8 throughout, no NUL,
// and with `xml` only characters XML allows. The problem and its line, or
// ReadProblem::None.
ReadError CheckFileText(std::string_view text, bool xml);

// What every reader does first: refuses a file over kMaxFileBytes or in
// UTF-16, drops a UTF-8 byte order mark from `bytes`, then CheckFileText.
ReadError OpenFileText(std::string_view& bytes, bool xml);

// Counts lines as editors do: "\r\n", "\n" and a lone "\r" each end one.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    // The 1-based line of the byte at `offset` (offsets must not go back).
    int lineAt(size_t offset);

private:
    std::string_view text_;
    size_t counted_ = 0;
    int line_ = 1;
};

// "\r\n" and a lone "\r" become "\n".
std::string WithUnixLineBreaks(std::string_view text);

}  // namespace pninterop
