// Case-blind comparison of the program's text (UTF-8) over the whole of
// Unicode: a Cyrillic word in small letters finds it with a capital, an
// accented name typed in capitals is the same name. Windows folds with
// its own upper-case table (LCMapStringEx in the invariant locale: the same
// for every user, like the file system's rule for names); the host build
// stands in with the cases of Latin, Greek and Cyrillic, so the rules can be
// tested anywhere. Words the program itself knows (command words, tags, field
// names) stay ASCII and are compared as such.
#pragma once
#include <string>
#include <string_view>

namespace uikit {

// The text upper-cased, as UTF-16. A byte that belongs to no UTF-8 character
// becomes a value of its own (U+DC80 + its low seven bits and the high bit),
// so two different texts that are not UTF-8 never fold to the same.
std::u16string FoldCase(std::string_view text);

bool SameTextIgnoringCase(std::string_view a, std::string_view b);
// Whether `what` occurs in `text` as one piece, case aside. An empty `what`
// occurs in every text.
bool ContainsIgnoringCase(std::string_view text, std::string_view what);

// The platform's upper case of UTF-16 text, in place (TextFold_win.cpp,
// TextFold_host.cpp).
void UpperCaseInPlace(std::u16string& text);

}  // namespace uikit
