// The program's text is UTF-8 (the manifest makes it the active code page), and
// the stored fields keep their sizes in bytes. These are the rules for cutting
// and checking such text; they never split a character. Portable: the host
// build tests them too.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace uikit {

// Bytes of the well-formed UTF-8 character that starts at text[pos] (1 to 4), or
// 0 when the bytes there are none: a stray continuation byte, a lead byte
// without its continuations, an overlong form, a surrogate or a value past
// U+10FFFF.
size_t Utf8CharLengthAt(std::string_view text, size_t pos);

bool IsValidUtf8(std::string_view text);
bool IsAscii(std::string_view text);

// The longest prefix of at most maxBytes bytes that ends between two
// characters. A byte that belongs to no well-formed character counts as a
// character of its own, so text that is not UTF-8 is still cut somewhere.
size_t Utf8PrefixLength(std::string_view text, size_t maxBytes);
std::string Utf8Prefix(std::string_view text, size_t maxBytes);

// The first `count` characters of the text (a byte that belongs to no
// well-formed character counts as one), for a limit in characters, not bytes.
std::string Utf8FirstCharacters(std::string_view text, size_t count);

// The text whole when it takes at most maxBytes bytes; else as much of its
// start as leaves room for the mark, cut as Utf8Prefix cuts, then the mark.
std::string Utf8Shortened(std::string_view text, size_t maxBytes, std::string_view mark = "...");

// Copies from (null: empty) into to[size] with its NUL, cut as Utf8Prefix cuts
// to size - 1 bytes. Nothing happens for size 0.
void CopyUtf8(char* to, size_t size, const char* from);

// The code points of the text; every byte that belongs to no well-formed
// character becomes U+FFFD, as the system shows it.
std::u32string DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);
std::string EncodeUtf8(std::u32string_view codePoints);

}  // namespace uikit
