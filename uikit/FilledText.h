// Texts of the resource libraries are the translator's, not the program's: one
// that names a value marks the place with a printf-like code ("%s", "%d"), but it
// is never handed to printf, which would read arguments that are not there for
// codes the program did not expect (and write through "%n"). Portable.
#pragma once
#include <initializer_list>
#include <string>

namespace uikit {

// Replaces the codes of `text` in order with the given values, already written
// as text: each '%' with optional flags, width, precision and size letters
// ("-+ #0123456789.*hlLqjzt") followed by a letter is a code, whatever the
// letter; "%%" is a '%'. Codes beyond the values, and a '%' that begins no code,
// stay as they are written.
std::string FillByPosition(const std::string& text, std::initializer_list<std::string> values);

}  // namespace uikit
